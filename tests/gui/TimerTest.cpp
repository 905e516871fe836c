// Timers: created on any thread, fired on the pumping thread, stopping or releasing
// themselves while firing.
#include "gui/TimerHub.h"
#include "gui/vstgui/vstgui.h"
#include "tests/support/ZykGuiTest.h"

#include <gtest/gtest.h>

#include <thread>

using namespace VSTGUI;
using zykgui::test::ManualClock;

TEST(GuiTimer, CreatedOnAnotherThreadFiresOnThePumpingThread) {
    ManualClock clock;
    std::thread::id firedOn;
    int fired = 0;
    CVSTGUITimer* timer = nullptr;
    std::thread creator([&] {
        timer = new CVSTGUITimer(
            [&](CVSTGUITimer* t) {
                firedOn = std::this_thread::get_id();
                ++fired;
                t->stop();
            },
            1, true);
    });
    creator.join();
    EXPECT_EQ(fired, 0) << "nothing fires without a pump";
    clock.advance(5);
    EXPECT_EQ(fired, 1) << "stopped inside its first callback";
    EXPECT_EQ(firedOn, std::this_thread::get_id());
    timer->forget();
    EXPECT_EQ(zykgui::TimerHub::instance().size(), 0u);
}

TEST(GuiTimer, RepeatsAtItsIntervalUntilStopped) {
    ManualClock clock;
    int fired = 0;
    auto timer = owned(new CVSTGUITimer([&](CVSTGUITimer*) { ++fired; }, 100, true));
    clock.advance(99);
    EXPECT_EQ(fired, 0);
    clock.advance(1);
    EXPECT_EQ(fired, 1);
    clock.advance(250);
    EXPECT_EQ(fired, 3);
    EXPECT_EQ(zykgui::TimerHub::instance().timeUntilNext(), 50);
    timer->stop();
    clock.advance(1000);
    EXPECT_EQ(fired, 3);
    EXPECT_EQ(zykgui::TimerHub::instance().timeUntilNext(), -1);
}

TEST(GuiTimer, ReleasingItselfWhileFiringIsSafe) {
    ManualClock clock;
    int fired = 0;
    // The only reference is released inside the callback; the hub keeps it alive until
    // the callback returns.
    new CVSTGUITimer(
        [&](CVSTGUITimer* t) {
            ++fired;
            t->forget();
        },
        10, true);
    clock.advance(100);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(zykgui::TimerHub::instance().size(), 0u);
}

TEST(GuiTimer, ATimerStoppedByAnotherInTheSameRoundDoesNotFire) {
    ManualClock clock;
    int secondFired = 0;
    auto second = owned(new CVSTGUITimer([&](CVSTGUITimer*) { ++secondFired; }, 10, false));
    auto first = owned(new CVSTGUITimer([&](CVSTGUITimer* t) { second->stop(), t->stop(); }, 10, true));
    second->start();
    clock.advance(10);
    EXPECT_EQ(secondFired, 0);
}

TEST(GuiTimer, TargetIsNotifiedWithTheTimerMessage) {
    struct Target : CBaseObject {
        int notified = 0;
        CMessageResult notify(CBaseObject*, IdStringPtr message) override {
            if (message == CVSTGUITimer::kMsgTimer) ++notified;
            return kMessageNotified;
        }
    };
    ManualClock clock;
    auto target = owned(new Target);
    auto timer = owned(new CVSTGUITimer(target.get(), 100, true));
    clock.advance(300);
    EXPECT_EQ(target->notified, 3);
}

TEST(GuiTimer, StartingAndReleasingFromManyThreadsWhilePumping) {
    ManualClock clock;
    std::atomic<int> fired{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 500; ++i) {
                auto* timer = new CVSTGUITimer([&](CVSTGUITimer*) { ++fired; }, 0, true);
                if (i % 2) timer->stop();
                timer->forget();
            }
        });
    }
    for (int i = 0; i < 2000; ++i)
        zykgui::TimerHub::instance().pump();
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(zykgui::TimerHub::instance().size(), 0u) << "every released timer left the hub";
}
