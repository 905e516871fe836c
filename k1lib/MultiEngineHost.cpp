// Binds the Multi to its engine.
#include "Engine.h"
#include "Multi.h"
#include "Parameters.h"

namespace k1lib {

namespace {

class EngineHost final : public IMultiHost {
public:
    explicit EngineHost(Engine& engine) : m_engine(engine) {}

    const std::vector<SinglePreset>& getSingles() const override { return m_engine.getSingles(); }
    const SinglePreset* getCurrentSingle() const override {
        const std::vector<SinglePreset>& singles = m_engine.getSingles();
        const uint64_t index = m_engine.getCurrentSingleIndex();
        return index < singles.size() ? &singles[index] : nullptr;
    }
    uint64_t getSinglesOffset() const override {
        return Engine::getSinglesOffsetForMulti(m_engine.getCurrentMultiIndex());
    }
    uint8_t getBasicChannel() const override { return m_engine.getBasicChannel(); }
    uint32_t getPitchBendRange() const override { return m_engine.getPitchBendRange(); }
    float getProcessingSamplerate() const override { return m_engine.getProcessingSamplerate(); }
    bool isSingleMode() const override { return m_engine.getPlayMode() == PlayMode_Single; }
    uint32_t getAudioOutputMode() const override { return m_engine.getConfig().audioOutputMode; }
    const StaticArray<MidiState, 16>& getMidiStates() const override { return m_engine.getMidiStates(); }
    const VoiceContext& getVoiceContext() const override { return m_engine.getVoiceContext(); }
    Random& getRandom() override { return m_engine.getRandom(); }
    const MultiPreset& getCurrentMulti() const override { return m_engine.getCurrentMulti(); }
    void setSectionSingle(uint32_t section, uint32_t single) override {
        const auto param = static_cast<EParam>(Param_MultiS1Single + section);
        const CParam& row = g_params[param];
        m_engine.modifyParameter(param, (static_cast<float>(single) - row.min) * row.rangeInv);
    }

private:
    Engine& m_engine;
};

} // namespace

Multi::Multi(Engine& engine) : Multi(std::make_unique<EngineHost>(engine)) {}

} // namespace k1lib
