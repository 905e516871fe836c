#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/AllocationCounter.h"

#include "log/Log.h"
#include "tests/support/LogCapture.h"

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

// Audio threads queue their lines without allocating; each thread's lines arrive whole and in
// order, and lines that found the queue full are counted, never lost unnoticed.
TEST(LogSink, LinesFromAudioThreadsArriveInOrderAndDropsAreCounted) {
    LogCapture capture;
    constexpr int kThreads = 4, kLines = 200;
    std::atomic<size_t> allocations{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t, &allocations] {
            const k1lib::RealtimeLogScope realtime;
            const std::string tail(40, 'x');
            AllocationCounter counter;
            for (int i = 0; i < kLines; ++i)
                k1lib::log("audio", t, "line ", i, " of ", tail);
            allocations += counter.count();
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(allocations, 0u);
    int next[kThreads] = {};
    size_t received = 0, dropped = 0;
    for (const std::string& line : capture.lines()) {
        int t = 0, i = 0;
        unsigned long n = 0;
        if (std::sscanf(line.c_str(), "audio@%d: line %d of ", &t, &i) == 2) {
            ASSERT_EQ(line.size(), std::string("audio@0: line ").size() + std::to_string(i).size() + 44);
            EXPECT_GE(i, next[t]) << line;
            next[t] = i + 1;
            ++received;
        } else {
            ASSERT_EQ(
                std::sscanf(line.c_str(), "g_logUnix@1: %lu lines from the audio thread were dropped", &n), 1)
                << line;
            dropped += n;
        }
    }
    EXPECT_EQ(received + dropped, static_cast<size_t>(kThreads * kLines));
}
