// Keys passed on to the host: each real key at most once, never an echo of our own.
#include <gtest/gtest.h>

#include "gui/x11/KeyForwarding.h"

using zykgui::KeyForwarding;

namespace {
KeyForwarding::Key key(bool press, unsigned keycode, unsigned long time, unsigned state = 0) {
    return {press, keycode, state, time};
}
} // namespace

TEST(KeyForwarding, AHostThatSendsKeysBackGetsEachKeyOnce) {
    KeyForwarding f;
    // An unhandled 'x' (press and release) goes on; the copies the host sends back stop here.
    for (bool press : {true, false}) {
        const auto k = key(press, 53, 1000);
        EXPECT_FALSE(f.isEcho(k, false, 0));
        EXPECT_TRUE(f.shouldForward(k, false, 0));
        EXPECT_TRUE(f.isEcho(k, true, 5)) << "the host's copy is ours";
    }
    // Once the echo came back it is forgotten: the same event again is a new key.
    EXPECT_FALSE(f.isEcho(key(true, 53, 1000), true, 10));
    // Typed keys (not sent by a client) are never echoes, and other keys or times do not match.
    EXPECT_TRUE(f.shouldForward(key(true, 53, 2000), false, 20));
    EXPECT_FALSE(f.isEcho(key(true, 53, 2000), false, 21));
    EXPECT_FALSE(f.isEcho(key(true, 54, 2000), true, 21));
    EXPECT_FALSE(f.isEcho(key(true, 53, 2001), true, 21));
    EXPECT_FALSE(f.isEcho(key(true, 53, 2000, 1), true, 21));
    EXPECT_FALSE(f.isEcho(key(false, 53, 2000), true, 21));
    // A copy that comes back too late is a key of its own.
    EXPECT_FALSE(f.isEcho(key(true, 53, 2000), true, 21 + KeyForwarding::kEchoWindowMs));
}

TEST(KeyForwarding, AReleaseGoesOnOnlyWhenItsPressDid) {
    KeyForwarding f;
    // 'e' switches the page: its press is the panel's, so the host sees neither half.
    EXPECT_FALSE(f.shouldForward(key(true, 26, 1), true, 0));
    EXPECT_FALSE(f.shouldForward(key(false, 26, 2), false, 0));
    // A release without any press (focus came later) stays here too.
    EXPECT_FALSE(f.shouldForward(key(false, 40, 3), false, 0));
    // Space: unhandled press and release both go on, once.
    EXPECT_TRUE(f.shouldForward(key(true, 65, 4), false, 0));
    EXPECT_TRUE(f.shouldForward(key(false, 65, 5), false, 0));
    EXPECT_FALSE(f.shouldForward(key(false, 65, 6), false, 0)) << "a second release has no press";
}
