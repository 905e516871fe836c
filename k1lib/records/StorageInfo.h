#pragma once
// Where one bank's presets lie in a list of factory presets.
#include <cstdint>
#include <string>

namespace k1lib {

struct StorageInfo {
    uint64_t bankIndex = 0; // position in the bank tables, 0-12
    uint32_t type = 0;      // 0 K1 internal, 1 K1 ROM card, 2 PHm module
    std::string shortName;
    std::string longName;
    uint64_t offset = 0; // index of the bank's first preset in its list
    uint64_t count = 0;  // number of presets of the bank in that list
};

} // namespace k1lib
