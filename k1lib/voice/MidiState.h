#pragma once
// What the controllers of one MIDI channel currently say, written by MIDI input, read by sound
// generation. Values are normalised: 0..1, pitch bend -1..+1.
namespace k1lib {

struct MidiState {
    float modWheel = 0.0f;  // CC1 / 127
    float pitchBend = 0.0f; // -1..+1
    float pressure = 0.0f;  // channel pressure / 127
    float panLeft = 1.0f;
    float panRight = 1.0f;
    float volume = 1.0f; // CC7 / 127
};

} // namespace k1lib
