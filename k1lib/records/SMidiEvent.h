#pragma once
// One MIDI event travelling from the host binding into the engine, or from the engine out.
#include <cstdint>
#include <vector>

namespace k1lib {

struct SMidiEvent {
    uint8_t status = 0; // type in the high nibble, channel in the low one; 0 for sysex
    uint8_t data1 = 0;
    uint8_t data2 = 0;
    std::vector<uint8_t> sysex; // F0 ... F7 inclusive; empty for a short message
    int32_t sampleOffset = 0;   // within the block; negative means at once
};

// A channel message (status and up to two data bytes), due at sampleOffset within the block.
inline SMidiEvent shortMessage(uint8_t status, uint8_t data1, uint8_t data2 = 0, int32_t sampleOffset = 0) {
    SMidiEvent event;
    event.status = status;
    event.data1 = data1;
    event.data2 = data2;
    event.sampleOffset = sampleOffset;
    return event;
}

} // namespace k1lib
