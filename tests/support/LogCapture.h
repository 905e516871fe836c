#pragma once
// Captures the lines written through g_logUnix while it lives, so tests assert exact texts.
#include <mutex>
#include <string>
#include <vector>

#include "log/Log.h"

class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::string> lines() const;
    bool contains(const std::string& line) const;
    void clear();

private:
    static void sink(const std::string& line);
    k1lib::LogSink previousSink;
};
