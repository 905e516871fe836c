#include "k1lib/engine/EngineMultiHost.h"

#include "k1lib/engine/Engine.h"
#include "k1lib/params/Parameters.h"

namespace k1lib {

const std::vector<SinglePreset>& EngineMultiHost::getSingles() const {
    return m_engine.getSingles();
}
const SinglePreset* EngineMultiHost::getCurrentSingle() const {
    const std::vector<SinglePreset>& singles = m_engine.getSingles();
    const uint64_t index = m_engine.getCurrentSingleIndex();
    return index < singles.size() ? &singles[index] : nullptr;
}
uint64_t EngineMultiHost::getSinglesOffset() const {
    return Engine::getSinglesOffsetForMulti(m_engine.getCurrentMultiIndex());
}
uint8_t EngineMultiHost::getBasicChannel() const {
    return m_engine.getBasicChannel();
}
uint32_t EngineMultiHost::getPitchBendRange() const {
    return m_engine.getPitchBendRange();
}
float EngineMultiHost::getProcessingSamplerate() const {
    return m_engine.getProcessingSamplerate();
}
bool EngineMultiHost::isSingleMode() const {
    return m_engine.getPlayMode() == PlayMode_Single;
}
uint32_t EngineMultiHost::getAudioOutputMode() const {
    return m_engine.getConfig().audioOutputMode;
}
const StaticArray<MidiState, kMidiChannelCount>& EngineMultiHost::getMidiStates() const {
    return m_engine.getMidiStates();
}
const VoiceContext& EngineMultiHost::getVoiceContext() const {
    return m_engine.getVoiceContext();
}
Random& EngineMultiHost::getRandom() {
    return m_engine.getRandom();
}
const MultiPreset& EngineMultiHost::getCurrentMulti() const {
    return m_engine.getCurrentMulti();
}
void EngineMultiHost::setSectionSingle(uint32_t section, uint32_t single) {
    const auto param = static_cast<EParam>(Param_MultiS1Single + section);
    const CParam& row = g_params[param];
    m_engine.modifyParameter(param, (static_cast<float>(single) - row.min) * row.rangeInv);
}

} // namespace k1lib
