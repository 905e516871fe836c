#pragma once
// The engine's saved state as plain values and its byte form. Version 4 is written; versions 1-4
// are read. Reading validates the whole record before the engine sees any of it, so a refused
// record changes nothing.
//
// Version 4, all integers u32 and all values f32, little-endian:
//   version, config size (52), config (13 u32), play mode, parameter count (209) and values,
//   custom size and data, current Single, Single count, Singles size and the Singles as K1 dumps
//   of at most 32 each, current Multi, Multi count, Multis size and the Multis likewise.
// Version 3 stores the two current indexes as u64. Versions 1 and 2 carry no play mode, no Multi
// fields and no Singles size (the Singles run to the end); version 1 carries no custom data.
#include <cstdint>
#include <vector>

#include "k1lib/engine/Engine.h"
#include "k1lib/params/Parameters.h"
#include "k1lib/records/MultiPreset.h"
#include "k1lib/records/SinglePreset.h"

namespace k1lib {

struct EngineStateRecord {
    static constexpr uint32_t kVersion = 4;
    static constexpr uint32_t kConfigSize = 52;

    Engine::Config config;
    PlayMode playMode = PlayMode_Single;
    // The normalized values the record carries for parameters 0 .. size - 1 (at most all of them).
    std::vector<float> parameterValues;
    std::vector<unsigned char> customData;
    uint64_t currentSingle = 0;
    uint64_t currentMulti = 0;
    // Read: always the whole bank, completed from the factory set.
    std::vector<SinglePreset> singles;
    // Read: the whole bank completed from the factory set, or empty when the record carries no
    // Multis (versions 1 and 2) and the engine keeps its own.
    std::vector<MultiPreset> multis;

    // Appends the version 4 record.
    void write(std::vector<unsigned char>& out) const;
    // Parses and validates a record of version 1-4. The config must hold the engine's current
    // settings: a config block shorter than 52 bytes keeps the later fields. False, with a log
    // line, when the record is empty, unknown, cut short, holds a setting, play mode, value or
    // current index out of range, or a dump that does not read; this record is then left in an
    // unspecified state. Dumps beyond the factory bank sizes are ignored.
    [[nodiscard]] bool read(const std::vector<unsigned char>& in);
};

} // namespace k1lib
