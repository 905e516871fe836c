#pragma once
// The section LFO: triangle, saw, square (0/1) or random, quantised to 1/64 and holding each new
// value for at least 17 ms.
#include <cstdint>

namespace k1lib {

struct SinglePreset;
class Random;

struct LfoState {
    float phase = 0.0f;       // 0 <= phase < 1
    float randomValue = 0.0f; // -1..1, the held value of the Random shape
    int8_t lastStep = 0;      // -64..64, output in 1/64
    int32_t countdown = 0;    // samples until a new output value may be taken
};

class Lfo {
public:
    enum Shape : uint32_t { Triangle = 0, Saw = 1, Square = 2, RandomShape = 3 };

    // One sample; wheel is the channel's modulation wheel 0..1 (it speeds the LFO up in wheel mode 1).
    static float process(LfoState& state, const SinglePreset& single, float sampleRate, float wheel,
                         Random& random);
    // frames samples of process() in a row into values, to the bit: while a value is held only
    // the phase and the countdown move.
    static void render(LfoState& state, const SinglePreset& single, float sampleRate, float wheel,
                       Random& random, float* values, int frames);
    // Stores a new random value in -1..1.
    static void createRandomValue(LfoState& state, Random& random);
};

} // namespace k1lib
