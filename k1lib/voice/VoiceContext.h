#pragma once
// What voices and sources read from their engine: the wave ROM, the channels' controller states,
// the engine's generator, fine tune and the four source-mix gains. The engine owns one and keeps
// fineTune and sourceGains current; voices hold a pointer to it, so it must not move while they sound.
#include "k1lib/base/StaticArray.h"
#include "k1lib/constants/K1Constants.h"
#include "k1lib/voice/MidiState.h"

namespace k1lib {

class Waveforms;
class Random;

struct VoiceContext {

    VoiceContext(const Waveforms& waves, const StaticArray<MidiState, kMidiChannelCount>& channelStates,
                 Random& noise)
        : waveforms(&waves), midiStates(&channelStates), random(&noise) {}

    const Waveforms* waveforms;
    const StaticArray<MidiState, kMidiChannelCount>* midiStates;
    Random* random;
    float fineTune = 0.0f; // semitones
    float sourceGains[kSourceCount] = {1.0f, 1.0f, 1.0f, 1.0f};
};

} // namespace k1lib
