#include "k1lib/voice/SectionState.h"

#include "k1lib/base/FrameMath.h"
#include "k1lib/params/Curves.h"
#include "k1lib/records/SinglePreset.h"
#include "k1lib/voice/Lfo.h"
#include "k1lib/voice/MidiState.h"
#include "k1lib/voice/Vibrato.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace k1lib {

namespace {

// Compared as bit patterns: identical inputs always compare equal, NaN included.
uint32_t changedBits(float now, float before) {
    return std::bit_cast<uint32_t>(now) ^ std::bit_cast<uint32_t>(before);
}

} // namespace

void PitchFrames::findMoves(int frames) {
    moved[0] = false;
    int i = 1;
#if defined(__SSE2__)
    // Four frames at a time, each against the frame before it.
    const auto bits = [](const float* values) { return _mm_castps_si128(_mm_loadu_ps(values)); };
    int anyMoved = 0;
    for (; i + 4 <= frames; i += 4) {
        const __m128i changed =
            _mm_or_si128(_mm_or_si128(_mm_xor_si128(bits(modulation + i), bits(modulation + i - 1)),
                                      _mm_xor_si128(bits(bend + i), bits(bend + i - 1))),
                         _mm_xor_si128(bits(pressurePitch + i), bits(pressurePitch + i - 1)));
        const int same = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(changed, _mm_setzero_si128())));
        anyMoved |= same ^ 0xf;
        for (int k = 0; k < 4; ++k)
            moved[i + k] = (same & (1 << k)) == 0;
    }
#else
    int anyMoved = 0;
#endif
    for (; i < frames; ++i) {
        moved[i] = (changedBits(modulation[i], modulation[i - 1]) | changedBits(bend[i], bend[i - 1]) |
                    changedBits(pressurePitch[i], pressurePitch[i - 1])) != 0;
        anyMoved |= moved[i] ? 1 : 0;
    }
    // Nothing moved (the usual case): every frame's next move is the run's end.
    if (anyMoved == 0) {
        std::fill(nextMove, nextMove + frames, frames);
        return;
    }
    for (int k = frames - 1, next = frames; k >= 0; --k) {
        nextMove[k] = next;
        if (moved[k]) next = k;
    }
}

void PitchFrames::settle(const PitchFrames& section, int frames) {
    for (int i = 0; i < frames; ++i) {
        modulation[i] = section.modulation[i] + 0.0f;
        bend[i] = section.bend[i];
        pressurePitch[i] = section.pressurePitch[i];
    }
    findMoves(frames);
}

bool PitchFrames::settleMoves(int frames) const {
    uint32_t negativeZeros = 0;
    for (int i = 0; i < frames; ++i)
        negativeZeros |= std::bit_cast<uint32_t>(modulation[i]) == 0x80000000u ? 1u : 0u;
    return negativeZeros != 0;
}

SectionState::SectionState(Random& random) {
    Lfo::createRandomValue(lfo, random);
}

void SectionState::update(const SinglePreset& single, const MidiState& channel, float bendRange,
                          float sampleRate, Random& random) {
    PitchFrames frame;
    render(single, channel, bendRange, sampleRate, random, frame, 1);
}

void SectionState::render(const SinglePreset& single, const MidiState& channel, float bendRange,
                          float sampleRate, Random& random, PitchFrames& out, int frames) {
    Lfo::render(lfo, single, sampleRate, channel.modWheel, random, out.modulation, frames);
    const float depth = Vibrato::depth(single, channel.pressure, channel.modWheel);
    for (int i = 0; i < frames; ++i)
        out.modulation[i] *= depth;
    bend = bendRange * channel.pitchBend;
    const int pressureDepth = static_cast<int>(single.pressureToFreq) - 50;
    const float pressureSemitones = pressureToFreq(std::abs(pressureDepth));
    pressurePitch = channel.pressure * (pressureDepth < 0 ? -pressureSemitones : pressureSemitones);
    fillFrames(out.bend, frames, bend);
    fillFrames(out.pressurePitch, frames, pressurePitch);
    vibrato = out.modulation[frames - 1];
}

} // namespace k1lib
