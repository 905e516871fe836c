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

namespace k1lib {

namespace {

// Compared as bit patterns: identical inputs always compare equal, NaN included.
uint32_t changedBits(float now, float before) {
    return std::bit_cast<uint32_t>(now) ^ std::bit_cast<uint32_t>(before);
}

} // namespace

void PitchFrames::findMoves(int frames) {
    moved[0] = false;
    for (int i = 1; i < frames; ++i)
        moved[i] = (changedBits(modulation[i], modulation[i - 1]) | changedBits(bend[i], bend[i - 1]) |
                    changedBits(pressurePitch[i], pressurePitch[i - 1])) != 0;
    for (int i = frames - 1, next = frames; i >= 0; --i) {
        nextMove[i] = next;
        if (moved[i]) next = i;
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
