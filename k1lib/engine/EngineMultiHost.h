#pragma once
// The Multi's view of its engine: the engine owns one and hands it to its Multi, so the Multi
// itself knows nothing of the engine. Called only from inside engine calls.
#include "k1lib/voice/IMultiHost.h"

namespace k1lib {

class Engine;

class EngineMultiHost final : public IMultiHost {
public:
    explicit EngineMultiHost(Engine& engine) : m_engine(engine) {}

    const std::vector<SinglePreset>& getSingles() const override;
    const SinglePreset* getCurrentSingle() const override;
    uint64_t getSinglesOffset() const override;
    uint8_t getBasicChannel() const override;
    uint32_t getPitchBendRange() const override;
    float getProcessingSamplerate() const override;
    bool isSingleMode() const override;
    uint32_t getAudioOutputMode() const override;
    const StaticArray<MidiState, kMidiChannelCount>& getMidiStates() const override;
    const VoiceContext& getVoiceContext() const override;
    Random& getRandom() override;
    const MultiPreset& getCurrentMulti() const override;
    void setSectionSingle(uint32_t section, uint32_t single) override;

private:
    Engine& m_engine;
};

} // namespace k1lib
