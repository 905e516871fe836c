#include "k1lib/voice/Lfo.h"

#include "k1lib/base/FrameMath.h"
#include "k1lib/base/Random.h"
#include "k1lib/base/SoundMath.h"
#include "k1lib/params/Curves.h"
#include "k1lib/records/SinglePreset.h"

#include <algorithm>
#include <cmath>

namespace k1lib {

namespace {

constexpr float StepsPerUnit = 64.0f;
constexpr int HoldMilliseconds = 17;

// The phase after one step: x - trunc(x) of x = phase + increment. A phase below 1 plus a step
// below 1 stays below 2, where that is x itself or x - 1, both exact: no rounding function per sample.
float nextPhase(float phase, float increment) {
    const float x = phase + increment;
    if (x >= 0.0f && x < 2.0f) return x < 1.0f ? x : x - 1.0f;
    return x - std::trunc(x);
}

float rawValue(LfoState& state, uint32_t shape, float oldPhase, Random& random) {
    const float phase = state.phase;
    switch (std::min<uint32_t>(shape, Lfo::RandomShape)) {
    case Lfo::Triangle:
        return (phase <= 0.5f ? phase : 1.0f - phase) * 4.0f - 1.0f;
    case Lfo::Saw:
        return 2.0f * phase - 1.0f;
    case Lfo::Square:
        return phase >= 0.5f ? 1.0f : 0.0f;
    default:
        // A new random value each time the phase wraps.
        if (oldPhase > phase) Lfo::createRandomValue(state, random);
        return state.randomValue;
    }
}

} // namespace

float Lfo::process(LfoState& state, const SinglePreset& single, float sampleRate, float wheel,
                   Random& random) {
    float value;
    render(state, single, sampleRate, wheel, random, &value, 1);
    return value;
}

void Lfo::render(LfoState& state, const SinglePreset& single, float sampleRate, float wheel, Random& random,
                 float* values, int frames) {
    const float rate = usableProcessingRate(sampleRate);
    int speed = single.lfoSpeed;
    if (single.vibWheelMode == 1)
        speed = std::clamp(speed + truncateClamped(wheel * 32.0f + 0.5f, 0, 32), 0, 100);
    const float increment = lfoSpeed(speed) / rate;

    float phase = state.phase;
    for (int i = 0; i < frames;) {
        // Held: the countdown never goes below 0, so hours of a steady LFO cannot overflow it.
        const int32_t before = state.countdown;
        if (before >= 2) {
            const int held = std::min(frames - i, before - 1);
            fillFrames(values + i, held, static_cast<float>(state.lastStep) / StepsPerUnit);
            for (int k = 0; k < held; ++k)
                phase = nextPhase(phase, increment);
            i += held;
            state.countdown = before - held;
            continue;
        }
        const float oldPhase = phase;
        phase = state.phase = nextPhase(oldPhase, increment);
        state.countdown = before > 0 ? before - 1 : 0;
        const float value = rawValue(state, single.lfoShape, oldPhase, random);
        const int step = truncateClamped(value * StepsPerUnit, -64, 64);
        if (step != state.lastStep) {
            state.lastStep = static_cast<int8_t>(step);
            state.countdown = static_cast<int32_t>(rate) * HoldMilliseconds / 1000;
        }
        values[i++] = static_cast<float>(step) / StepsPerUnit;
    }
    state.phase = phase;
}

void Lfo::createRandomValue(LfoState& state, Random& random) {
    state.randomValue = 2.0f * static_cast<float>(random.next()) / 2147483648.0f - 1.0f;
}

} // namespace k1lib
