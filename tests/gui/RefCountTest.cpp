// Reference counting across threads and the shared pointer.
#include "gui/vstgui/vstgui.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace VSTGUI;

namespace {
struct Tracked : CBaseObject {
    explicit Tracked(std::atomic<int>& counter) : destroyed(counter) {}
    ~Tracked() override { ++destroyed; }
    std::atomic<int>& destroyed;
};
} // namespace

TEST(GuiRefCount, RememberAndForgetFromManyThreadsDestroyOnce) {
    std::atomic<int> destroyed{0};
    auto* object = new Tracked(destroyed);
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([object] {
            for (int i = 0; i < 20000; ++i) {
                object->remember();
                object->forget();
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(object->getNbReference(), 1);
    EXPECT_EQ(destroyed.load(), 0);
    object->forget();
    EXPECT_EQ(destroyed.load(), 1);
}

TEST(GuiRefCount, SharedPointerOwnsAndShares) {
    std::atomic<int> destroyed{0};
    {
        SharedPointer<Tracked> first = owned(new Tracked(destroyed));
        EXPECT_EQ(first->getNbReference(), 1);
        SharedPointer<Tracked> second = first;
        EXPECT_EQ(first->getNbReference(), 2);
        SharedPointer<Tracked> moved = std::move(second);
        EXPECT_EQ(first->getNbReference(), 2);
        EXPECT_FALSE(second);
        first = nullptr;
        EXPECT_EQ(destroyed.load(), 0);
    }
    EXPECT_EQ(destroyed.load(), 1);
}

TEST(GuiRefCount, RememberIfAliveRefusesADyingObject) {
    struct Spy : CBaseObject {
        bool* out;
        explicit Spy(bool* o) : out(o) {}
        ~Spy() override { *out = rememberIfAlive(); }
    };
    bool revived = true;
    auto* spy = new Spy(&revived);
    ASSERT_TRUE(spy->rememberIfAlive());
    EXPECT_EQ(spy->getNbReference(), 2);
    spy->forget();
    spy->forget();
    EXPECT_FALSE(revived) << "an object in its last forget cannot be taken again";
}
