#include "Log.h"

#include <atomic>
#include <cstring>
#include <unistd.h>

namespace {
std::atomic<k1lib::LogSink> g_sink{nullptr};

void writeToStandardOutput(const std::string& line) {
    // Up to the first NUL, plus the newline, in one write so lines of threads never interleave.
    const size_t length = strnlen(line.data(), line.size());
    std::string out(line.data(), length);
    out.push_back('\n');
    const char* p = out.data();
    size_t left = out.size();
    while (left > 0) {
        const ssize_t written = ::write(STDOUT_FILENO, p, left);
        if (written <= 0) return;
        p += written;
        left -= static_cast<size_t>(written);
    }
}
}  // namespace

void g_logUnix(const std::string& line) {
    const k1lib::LogSink sink = g_sink.load(std::memory_order_acquire);
    if (sink)
        sink(std::string(line.data(), strnlen(line.data(), line.size())));
    else
        writeToStandardOutput(line);
}

namespace k1lib {
LogSink setLogSink(LogSink sink) { return g_sink.exchange(sink, std::memory_order_acq_rel); }
}  // namespace k1lib
