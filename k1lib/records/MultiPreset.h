#pragma once
// One K1 Multi: a name, a volume and eight sections, each playing a Single of the Multi's own bank.
#include <cstdint>

#include "k1lib/base/StaticArray.h"
#include "k1lib/constants/K1Constants.h"

namespace k1lib {

struct MultiSection {
    uint32_t single;   // 0-63 within the Multi's bank, or 255 = the current Single
    uint32_t zoneLow;  // 0-127
    uint32_t zoneHigh; // 0-127
    uint32_t poly;     // 0 VR, 1 off, 2-9 one to eight voices
    uint32_t output;   // 0 R, 1 LR, 2 L
    uint32_t mode;     // 0 Keys, 1 Midi, 2 Both
    uint32_t channel;  // 0-15, or 255 = the engine's receive channel
    uint32_t velocity; // 0 All, 1 Soft, 2 Loud
    int32_t transpose; // -24..+24
    int32_t tune;      // -50..+50
    uint32_t level;    // 0-100

    bool operator==(const MultiSection& other) const = default;
};

struct MultiPreset {
    char name[11];
    uint32_t volume; // 0-99
    StaticArray<MultiSection, kSectionCount> sections;
};

// Whole-record comparison: the 11 raw name bytes, the volume, then the sections.
// (No operator== on purpose: callers compare Multis only where they store or restore one.)
bool sameMulti(const MultiPreset& a, const MultiPreset& b);

} // namespace k1lib
