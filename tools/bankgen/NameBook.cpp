#include "tools/bankgen/NameBook.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace bankgen {

void setPresetName(char (&field)[11], const std::string& name) {
    std::memset(field, 0, sizeof field);
    std::memcpy(field, name.data(), std::min<size_t>(name.size(), 10));
}

bool isDisplayableName(std::string_view name) {
    // Letters, digits, the blank and the punctuation the display has glyphs for.
    static constexpr std::string_view punctuation = "!\"$%&/()=?.,;:{}\\-+<>|[]' ~*#@";
    if (name.empty() || name.size() > 10 || name.back() == ' ') return false;
    for (const char c : name) {
        const bool alphanumeric = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (!alphanumeric && punctuation.find(c) == std::string_view::npos) return false;
    }
    return true;
}

bool NameBook::claim(const std::string& name) {
    return isDisplayableName(name) && m_taken.insert(name).second;
}

std::string NameBook::claimNumbered(const std::string& base) {
    if (claim(base)) return base;
    for (int n = 2; n < 100; ++n) {
        // Built by appending, which gcc 12's optimiser does not misread as overlapping copies.
        const std::string suffix = std::to_string(n);
        std::string name = base.substr(0, 10 - 1 - suffix.size());
        name.append(" ").append(suffix);
        if (claim(name)) return name;
    }
    throw std::runtime_error("no free name for " + base);
}

} // namespace bankgen
