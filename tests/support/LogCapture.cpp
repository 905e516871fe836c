#include "tests/support/LogCapture.h"

#include <algorithm>

namespace {
std::mutex g_mutex;
std::vector<std::string> g_lines;
} // namespace

LogCapture::LogCapture() {
    clear();
    previousSink = k1lib::setLogSink(&LogCapture::sink);
}

LogCapture::~LogCapture() {
    k1lib::setLogSink(previousSink);
}

void LogCapture::sink(const std::string& line) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_lines.push_back(line);
}

// Lines queued by audio threads are written out first, so a test sees every line logged so far.
std::vector<std::string> LogCapture::lines() const {
    k1lib::flushLog();
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_lines;
}

bool LogCapture::contains(const std::string& line) const {
    k1lib::flushLog();
    std::lock_guard<std::mutex> lock(g_mutex);
    return std::find(g_lines.begin(), g_lines.end(), line) != g_lines.end();
}

void LogCapture::clear() {
    k1lib::flushLog();
    std::lock_guard<std::mutex> lock(g_mutex);
    g_lines.clear();
}
