#pragma once
// Vibrato amount in semitones: the Single's depth in whole semitones, deepened or reduced by
// pressure, plus the modulation wheel, times the LFO value.
namespace k1lib {

struct SinglePreset;

class Vibrato {
public:
    static constexpr float kMaxDepth = 12.0f;

    static float process(const SinglePreset& single, float lfoValue, float pressure, float wheel);
    // The amount the LFO value is multiplied by, in semitones.
    static float depth(const SinglePreset& single, float pressure, float wheel);
};

} // namespace k1lib
