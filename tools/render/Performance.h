#pragma once
// A timed list of MIDI events at the host rate, from a Standard MIDI File or a built-in pattern.
#include <cstdint>
#include <string>
#include <vector>

#include "k1lib/records/SMidiEvent.h"

struct TimedEvent {
    int64_t sample = 0; // host sample position
    k1lib::SMidiEvent event;
};

// Notes, controllers and sysex of every track, timed with the file's tempo map.
[[nodiscard]] bool loadMidiFile(const std::string& path, double hostRate, std::vector<TimedEvent>& out);
// The same for a file already in memory.
[[nodiscard]] bool loadMidiBytes(const std::vector<unsigned char>& bytes, double hostRate,
                                 std::vector<TimedEvent>& out);

// Arpeggios and chords across the keyboard on the first channels, with bends and the wheel.
std::vector<TimedEvent> testPattern(double hostRate, double seconds, int channels);
