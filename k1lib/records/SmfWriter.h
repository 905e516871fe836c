#pragma once
// The writing side of Standard MIDI Files, for the tools and tests that make their own: chunks,
// variable-length quantities and tracks built event by event. Byte for byte what the standard
// says, including where a caller asks for a damaged file (a chunk length that lies).
#include <cstdint>
#include <vector>

namespace k1lib::smf {

using Bytes = std::vector<unsigned char>;

// A variable-length quantity: seven bits a byte, most significant first.
void appendVariableLength(Bytes& out, uint32_t value);
// A chunk: four-character id, the length as declared (big-endian), then body.
void appendChunk(Bytes& file, const char* id, const Bytes& body, uint32_t declaredLength);
void appendChunk(Bytes& file, const char* id, const Bytes& body);

// A track body, each event after its delta time in ticks.
struct Track {
    Bytes body;
    // A channel message (or anything else) as it stands, running status included.
    Track& raw(const Bytes& bytes, uint32_t delta = 0);
    // F0h (a message) or F7h (a continuation or escape) with its length.
    Track& sysex(unsigned char status, const Bytes& data, uint32_t delta = 0);
    Track& meta(unsigned char type, const Bytes& data, uint32_t delta = 0);
    Track& end(uint32_t delta = 0) { return meta(0x2F, {}, delta); }
};

// A header chunk (format, track count, ticks per quarter note) and one chunk per track body.
Bytes makeFile(uint16_t format, uint16_t division, const std::vector<Bytes>& tracks);

} // namespace k1lib::smf
