#include "SectionState.h"

#include "Curves.h"
#include "Lfo.h"
#include "MidiState.h"
#include "SinglePreset.h"
#include "Vibrato.h"

#include <cstdlib>

namespace k1lib {

SectionState::SectionState(Random& random) {
    Lfo::createRandomValue(lfo, random);
}

void SectionState::update(const SinglePreset& single, const MidiState& channel, float bendRange,
                          float sampleRate, Random& random) {
    const float lfoValue = Lfo::process(lfo, single, sampleRate, channel.modWheel, random);
    vibrato = Vibrato::process(single, lfoValue, channel.pressure, channel.modWheel);
    bend = bendRange * channel.pitchBend;
    const int pressureDepth = static_cast<int>(single.pressureToFreq) - 50;
    const float pressureSemitones = pressureToFreq(std::abs(pressureDepth));
    pressurePitch = channel.pressure * (pressureDepth < 0 ? -pressureSemitones : pressureSemitones);
}

} // namespace k1lib
