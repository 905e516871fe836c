#pragma once
// The log sink: one diagnostic line to standard output per call, no levels.
// A line reads "function@line: text"; the line numbers are part of each message's
// fixed wording, so callers pass them as constants.
//
// Lines raised on an audio thread (inside a RealtimeLogScope) are built in a fixed buffer and put
// on a fixed-capacity queue without allocating or blocking; the log's writer thread writes them
// in order. When the queue is full the line is counted and the count reported later.
#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

void g_logUnix(const std::string& line);

namespace k1lib {

// Where g_logUnix sends its lines; standard output unless a test installs another sink.
using LogSink = void (*)(const std::string& line);
LogSink setLogSink(LogSink sink); // returns the previous sink; nullptr restores standard output

// Marks the calling thread as an audio thread while it lives (scopes may nest).
class RealtimeLogScope {
public:
    RealtimeLogScope();
    ~RealtimeLogScope();
    RealtimeLogScope(const RealtimeLogScope&) = delete;
    RealtimeLogScope& operator=(const RealtimeLogScope&) = delete;

private:
    bool previousRealtime;
};

// Starts the thread that writes queued lines (once per process; call it off the audio thread).
void startLogWriter();
// Writes every queued line now, on the calling thread; lines logged before it returns are out.
void flushLog();

namespace detail {
constexpr size_t kQueuedLineCapacity = 1280; // a Single's dump is the longest line

bool onRealtimeThread();
void queueLine(const char* text, size_t length);

// A line in a fixed buffer: what does not fit is cut off.
struct FixedLine {
    char text[kQueuedLineCapacity];
    size_t length = 0;
    void append(const char* s, size_t n) {
        n = std::min(n, kQueuedLineCapacity - length);
        std::memcpy(text + length, s, n);
        length += n;
    }
};

struct GrowingLine {
    std::string text;
    void append(const char* s, size_t n) { text.append(s, n); }
};

template <typename T> inline constexpr bool kUnsupportedLogValue = false;

// Each value as an output stream would print it: small integers as numbers, never as characters.
template <typename Line, typename T> void appendLogValue(Line& line, const T& value) {
    if constexpr (std::is_same_v<T, bool>) {
        line.append(value ? "1" : "0", 1);
    } else if constexpr (std::is_same_v<T, char>) {
        line.append(&value, 1);
    } else if constexpr (std::is_same_v<T, unsigned char> || std::is_same_v<T, signed char>) {
        appendLogValue(line, static_cast<int>(value));
    } else if constexpr (std::is_enum_v<T>) {
        appendLogValue(line, static_cast<std::underlying_type_t<T>>(value));
    } else if constexpr (std::is_integral_v<T>) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        line.append(digits, static_cast<size_t>(end - digits));
    } else if constexpr (std::is_floating_point_v<T>) {
        char digits[32];
        const int n = std::snprintf(digits, sizeof digits, "%g", static_cast<double>(value));
        line.append(digits, static_cast<size_t>(std::clamp(n, 0, static_cast<int>(sizeof digits) - 1)));
    } else if constexpr (std::is_convertible_v<const T&, std::string_view>) {
        const std::string_view text(value);
        line.append(text.data(), text.size());
    } else {
        static_assert(kUnsupportedLogValue<T>, "no log form for this type");
    }
}

template <typename Line, typename... Parts>
void buildLogLine(Line& line, const char* function, int number, const Parts&... parts) {
    appendLogValue(line, std::string_view(function));
    line.append("@", 1);
    appendLogValue(line, number);
    line.append(": ", 2);
    (appendLogValue(line, parts), ...);
}
} // namespace detail

// Builds "function@line: " followed by the parts and writes it through g_logUnix.
template <typename... Parts> void log(const char* function, int line, const Parts&... parts) {
    if (detail::onRealtimeThread()) {
        detail::FixedLine text;
        detail::buildLogLine(text, function, line, parts...);
        detail::queueLine(text.text, text.length);
        return;
    }
    detail::GrowingLine text;
    detail::buildLogLine(text, function, line, parts...);
    g_logUnix(text.text);
}

} // namespace k1lib
