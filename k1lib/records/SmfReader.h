#pragma once
// A bounded reader of Standard MIDI Files: every track's events with their absolute ticks.
// Running status, one- and two-byte channel messages, meta events with variable lengths,
// system exclusive with F7h continuation packets joined. Nothing is read beyond a chunk or the file.
#include <cstdint>
#include <vector>

namespace k1lib {

struct SmfEvent {
    uint32_t track = 0;
    uint64_t tick = 0;
    uint8_t status = 0; // channel message status; 0 for a sysex or tempo event
    uint8_t data1 = 0;
    uint8_t data2 = 0;
    uint32_t tempo = 0;         // microseconds per quarter note, for a tempo event
    std::vector<uint8_t> sysex; // F0h and the data as stored (normally ending with F7h)
};

struct SmfFile {
    uint16_t format = 0;
    uint16_t trackCount = 0;
    uint16_t division = 0;        // ticks per quarter note when bit 15 is clear
    std::vector<SmfEvent> events; // track by track, in file order
};

// False for a file that is not a MIDI file (nothing read) or that is damaged (what was read
// before the damage stays in out, and a line says what went wrong).
[[nodiscard]] bool readSmf(const std::vector<unsigned char>& file, SmfFile& out);

} // namespace k1lib
