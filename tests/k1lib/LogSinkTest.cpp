#include <gtest/gtest.h>

#include <string>

#include "Log.h"
#include "LogCapture.h"

TEST(LogSink, LineIsFunctionAtLineColonTextWithNumbersAsDecimals) {
    LogCapture capture;
    const unsigned char byte = 0x0D;
    k1lib::log("readSingle", 71, "Invalid pitch bend range, valid is 0-12 but got ", byte);
    k1lib::log("readMulti", 161, std::string("Strings"), ": Invalid multi volume ", 120u);
    ASSERT_EQ(capture.lines().size(), 2u);
    EXPECT_EQ(capture.lines()[0], "readSingle@71: Invalid pitch bend range, valid is 0-12 but got 13");
    EXPECT_EQ(capture.lines()[1], "readMulti@161: Strings: Invalid multi volume 120");
}

TEST(LogSink, TextEndsAtTheFirstNul) {
    LogCapture capture;
    g_logUnix(std::string("abc\0def", 7));
    ASSERT_EQ(capture.lines().size(), 1u);
    EXPECT_EQ(capture.lines()[0], "abc");
}
