#pragma once
// The log sink: one diagnostic line to standard output per call, no levels.
// A line reads "function@line: text"; the line numbers are part of each message's
// fixed wording, so callers pass them as constants.
#include <sstream>
#include <string>
#include <type_traits>

void g_logUnix(const std::string& line);

namespace k1lib {

// Where g_logUnix sends its lines; standard output unless a test installs another sink.
using LogSink = void (*)(const std::string& line);
LogSink setLogSink(LogSink sink);  // returns the previous sink; nullptr restores standard output

namespace detail {
template <typename T> void appendLogValue(std::ostringstream& s, const T& value) {
    // Small integers print as numbers, never as characters.
    if constexpr (std::is_same_v<T, unsigned char> || std::is_same_v<T, signed char>)
        s << static_cast<int>(value);
    else
        s << value;
}
}  // namespace detail

// Builds "function@line: " followed by the parts and writes it through g_logUnix.
template <typename... Parts> void log(const char* function, int line, const Parts&... parts) {
    std::ostringstream s;
    s << function << '@' << line << ": ";
    (detail::appendLogValue(s, parts), ...);
    g_logUnix(s.str());
}

}  // namespace k1lib
