#pragma once
// Preset names: legal for the K1's display and unique across every factory Single and Multi.
#include <set>
#include <string>
#include <string_view>

namespace bankgen {

// Fills a record's name field: the text, then NUL up to the end, as a decoded record has it.
void setPresetName(char (&field)[11], const std::string& name);

// 1-10 characters the display can show, no blank at the end.
bool isDisplayableName(std::string_view name);

class NameBook {
public:
    // Takes the name if it is displayable and still free.
    bool claim(const std::string& name);
    // The base name if free, else the base (cut as needed) with " 2", " 3", ...
    std::string claimNumbered(const std::string& base);

private:
    std::set<std::string> m_taken;
};

} // namespace bankgen
