// Work handed to the user-interface thread: calls run once on the pumping thread, refreshes
// are coalesced while no run loop pumps, and a host run loop drives the pump.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <utility>
#include <vector>

#include "tests/support/AllocationCounter.h"
#include "tests/vst3/TestHost.h"
#include "vst3/DelayedCalls.h"

using namespace Steinberg;
using testhost::FakeRunLoop;

namespace {

// A host context without a run loop, as Ardour's.
class NoRunLoop : public FUnknown {
public:
    tresult PLUGIN_API queryInterface(const TUID, void** obj) override {
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() override { return 1; }
    uint32 PLUGIN_API release() override { return 1; }
};

using Ranges = std::vector<std::pair<uint32_t, uint32_t>>;

} // namespace

TEST(DelayedCalls, CallFromAnotherThreadRunsOnceOnThePumpingThread) {
    k1DelayedCalls calls;
    std::atomic<int> runs{0};
    std::thread::id ranOn;
    std::thread audio([&] {
        calls.delayCall([&] {
            ++runs;
            ranOn = std::this_thread::get_id();
        });
    });
    audio.join();
    EXPECT_EQ(runs, 0); // nothing runs until the pump does
    EXPECT_TRUE(calls.hasPending());
    EXPECT_EQ(calls.pump(), 1u);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_EQ(calls.pump(), 0u);
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(calls.hasPending());
}

TEST(DelayedCalls, CallsRunInOrderAndACallsOwnCallRunsOnALaterPump) {
    k1DelayedCalls calls;
    std::vector<int> order;
    calls.delayCall([&] {
        order.push_back(1);
        calls.delayCall([&] { order.push_back(3); });
    });
    calls.delayCall([&] { order.push_back(2); });
    calls.pump();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    calls.pump();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(DelayedCalls, DestructionDropsPendingWorkWithoutRunningIt) {
    int runs = 0;
    FakeRunLoop loop;
    {
        k1DelayedCalls calls;
        calls.addRefreshList(224, 10, [&](uint32_t, uint32_t) { ++runs; });
        ASSERT_TRUE(calls.attachRunLoop(&loop));
        calls.delayCall([&] { ++runs; });
        calls.delayRefresh(224, 1, 1);
    }
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(loop.timers.empty()); // no timer left behind
    EXPECT_EQ(loop.references, 1u);
}

TEST(DelayedCalls, RefreshesAreCoalescedPerEntryUntilThePumpRuns) {
    k1DelayedCalls calls;
    Ranges singles, other;
    calls.addRefreshList(224, 1352,
                         [&](uint32_t first, uint32_t count) { singles.emplace_back(first, count); });
    calls.addRefreshList(7, 4, [&](uint32_t first, uint32_t count) { other.emplace_back(first, count); });
    for (int i = 0; i < 1000; ++i)
        calls.delayRefresh(224, 5, 1); // a Single edited a thousand times while no run loop pumps
    calls.delayRefresh(224, 970, 1);
    calls.delayRefresh(224, 6, 2);
    calls.delayRefresh(7, 3, 1);
    calls.pump();
    EXPECT_EQ(singles, (Ranges{{5, 3}, {970, 1}}));
    EXPECT_EQ(other, (Ranges{{3, 1}}));
    singles.clear();
    calls.pump();
    EXPECT_TRUE(singles.empty());
}

TEST(DelayedCalls, RefreshRequestsOutsideAListAreClippedOrIgnored) {
    k1DelayedCalls calls;
    Ranges seen;
    calls.addRefreshList(224, 10, [&](uint32_t first, uint32_t count) { seen.emplace_back(first, count); });
    calls.delayRefresh(224, 8, 0xFFFFFFFFu); // count runs past the end
    calls.delayRefresh(224, 10, 1);          // first is past the end
    calls.delayRefresh(224, 0xFFFFFFFFu, 2);
    calls.delayRefresh(99, 0, 1); // no such list
    calls.delayRefresh(224, 0, 0);
    calls.pump();
    EXPECT_EQ(seen, (Ranges{{8, 2}}));
}

TEST(DelayedCalls, MarkingARefreshNeverAllocates) {
    k1DelayedCalls calls;
    calls.addRefreshList(224, 1352, [](uint32_t, uint32_t) {});
    AllocationCounter counter;
    calls.delayRefresh(224, 5, 1);
    calls.delayRefresh(224, 968, 384);
    EXPECT_EQ(counter.count(), 0u);
}

TEST(DelayedCalls, TheHostRunLoopDrivesThePump) {
    k1DelayedCalls calls;
    NoRunLoop none;
    EXPECT_FALSE(calls.attachRunLoop(&none));
    EXPECT_FALSE(calls.attachRunLoop(nullptr));
    EXPECT_FALSE(calls.isAttached());

    int runs = 0;
    calls.delayCall([&] { ++runs; }); // queued before any run loop exists: kept
    FakeRunLoop loop;
    ASSERT_TRUE(calls.attachRunLoop(&loop));
    EXPECT_TRUE(calls.attachRunLoop(&loop)); // the same loop again registers nothing more
    ASSERT_EQ(loop.timers.size(), 1u);
    EXPECT_EQ(loop.interval, k1DelayedCalls::kPumpIntervalMs);
    loop.tick();
    EXPECT_EQ(runs, 1);

    FakeRunLoop other; // e.g. the editor's frame replacing the host context's loop
    ASSERT_TRUE(calls.attachRunLoop(&other));
    EXPECT_TRUE(loop.timers.empty());
    EXPECT_EQ(other.timers.size(), 1u);
    calls.detachRunLoop();
    EXPECT_TRUE(other.timers.empty());
    EXPECT_EQ(other.references, 1u);
}

TEST(DelayedCalls, ManyThreadsQueueWhileTheUserInterfaceThreadPumps) {
    k1DelayedCalls calls;
    std::atomic<int> runs{0};
    int refreshed = 0;
    calls.addRefreshList(224, 1352, [&](uint32_t, uint32_t count) { refreshed += int(count); });
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 500; ++i) {
                calls.delayCall([&] { ++runs; });
                calls.delayRefresh(224, uint32_t(t * 300 + i % 300), 1);
            }
        });
    while (runs < 2000)
        calls.pump();
    for (std::thread& th : threads)
        th.join();
    calls.pump();
    EXPECT_EQ(runs, 2000);
    // Entries 0-1199 were each marked once or twice: each is refreshed at least once, and
    // never more often than it was marked.
    EXPECT_GE(refreshed, 1200);
    EXPECT_LE(refreshed, 2000);
}
