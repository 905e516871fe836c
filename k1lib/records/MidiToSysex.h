#pragma once
// Extracts the system-exclusive events of a Standard MIDI File as raw F0h messages.
#include <vector>

namespace k1lib {

class MidiToSysex {
public:
    // Appends F0h and the data of every sysex event (continuation packets joined) to out.
    // True when every track was walked to its end-of-track event without a fault; what was
    // appended before a fault stays in out.
    [[nodiscard]] static bool readFile(std::vector<unsigned char>& out, const char* path);

    // The same walk over a file already in memory.
    [[nodiscard]] static bool readBytes(std::vector<unsigned char>& out,
                                        const std::vector<unsigned char>& file);
};

} // namespace k1lib
