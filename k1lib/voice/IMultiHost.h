#pragma once
// What the Multi reads from and asks of its engine. The engine's own binding is
// EngineMultiHost; tests give the Multi a host of their own.
#include "k1lib/base/StaticArray.h"
#include "k1lib/constants/K1Constants.h"
#include "k1lib/records/MultiPreset.h"
#include "k1lib/records/SinglePreset.h"
#include "k1lib/voice/MidiState.h"

#include <cstdint>
#include <vector>

namespace k1lib {

class Random;
struct VoiceContext;

class IMultiHost {
public:
    virtual ~IMultiHost() = default;

    // The editable Singles; voices point into this list, so it must not reallocate while they sound.
    virtual const std::vector<SinglePreset>& getSingles() const = 0;
    virtual const SinglePreset* getCurrentSingle() const = 0; // null when there is none
    // The index of the first Single of the current Multi's bank.
    virtual uint64_t getSinglesOffset() const = 0;
    virtual uint8_t getBasicChannel() const = 0;
    virtual uint32_t getPitchBendRange() const = 0; // semitones
    virtual float getProcessingSamplerate() const = 0;
    virtual bool isSingleMode() const = 0;
    virtual uint32_t getAudioOutputMode() const = 0; // 0 Stereo, 1 8 Channels
    virtual const StaticArray<MidiState, kMidiChannelCount>& getMidiStates() const = 0;
    virtual const VoiceContext& getVoiceContext() const = 0;
    virtual Random& getRandom() = 0;
    // The engine's stored current Multi, and a program change that sets a section's Single in it
    // as a parameter edit (the listener hears it).
    virtual const MultiPreset& getCurrentMulti() const = 0;
    virtual void setSectionSingle(uint32_t section, uint32_t single) = 0;
};

} // namespace k1lib
