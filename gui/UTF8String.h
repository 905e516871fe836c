// UTF-8 text and the check that keeps invalid bytes away from cairo.
#pragma once

#include <cstdint>
#include <string>

namespace VSTGUI {

class UTF8String {
public:
    UTF8String() = default;
    UTF8String(const char* s) : text(s ? s : "") {}
    UTF8String(std::string s) : text(std::move(s)) {}

    const char* data() const { return text.c_str(); }
    operator const char*() const { return text.c_str(); }
    const std::string& getString() const { return text; }
    size_t length() const { return text.size(); }
    bool empty() const { return text.empty(); }
    bool operator==(const UTF8String& o) const { return text == o.text; }
    bool operator!=(const UTF8String& o) const { return text != o.text; }
    bool operator==(const char* s) const { return text == (s ? s : ""); }

private:
    std::string text;
};

} // namespace VSTGUI

namespace zykgui {

// Replaces every malformed UTF-8 sequence (bad lead or continuation bytes, overlong forms,
// surrogates, code points above U+10FFFF, truncated ends) with '?'.
std::string makeValidUTF8(const std::string& text);

// Byte index of the code point before / after `index` (clamped to the string).
size_t previousCodePoint(const std::string& text, size_t index);
size_t nextCodePoint(const std::string& text, size_t index);

// UTF-8 encoding of one code point; empty for invalid ones.
std::string encodeCodePoint(int32_t codePoint);

} // namespace zykgui
