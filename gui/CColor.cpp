#include "gui/CColor.h"

#include <cstdio>

namespace VSTGUI {

namespace {
int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
} // namespace

bool CColor::fromString(const std::string& text) {
    if ((text.size() != 7 && text.size() != 9) || text[0] != '#') return false;
    uint8_t channels[4] = {0, 0, 0, 255};
    for (size_t i = 0; i + 1 < text.size(); i += 2) {
        const int hi = hexDigit(text[i + 1]);
        const int lo = hexDigit(text[i + 2]);
        if (hi < 0 || lo < 0) return false;
        channels[i / 2] = static_cast<uint8_t>(hi * 16 + lo);
    }
    *this = CColor(channels[0], channels[1], channels[2], channels[3]);
    return true;
}

std::string CColor::toString() const {
    char text[10];
    std::snprintf(text, sizeof(text), "#%02X%02X%02X%02X", red, green, blue, alpha);
    return text;
}

} // namespace VSTGUI
