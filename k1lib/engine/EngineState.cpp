// The state record: saving everything a host project restores, and loading it back.
#include <iterator>

#include "k1lib/engine/Engine.h"
#include "k1lib/engine/EngineStateRecord.h"
#include "k1lib/engine/IEngineListener.h"
#include "k1lib/voice/Multi.h"
#include "log/Log.h"

namespace k1lib {
namespace {

// No preset: makes setSingle and setMulti act even when the saved index is the current one.
constexpr uint64_t kNoPreset = ~uint64_t{0};

struct ChangedRange {
    size_t first = 0;
    size_t end = 0;
    size_t count() const { return end - first; }
};

// Stores the saved presets record by record: sounding voices point into the bank, so its storage
// must never move. Returns the range of presets that changed.
template <typename Preset, typename Same>
ChangedRange assignBank(std::vector<Preset>& bank, const std::vector<Preset>& saved, Same same) {
    ChangedRange changed;
    for (size_t i = 0; i < bank.size() && i < saved.size(); ++i) {
        if (same(bank[i], saved[i])) continue;
        bank[i] = saved[i];
        if (changed.count() == 0) changed.first = i;
        changed.end = i + 1;
    }
    return changed;
}

bool sameSingleAt(const std::vector<SinglePreset>& bank, const std::vector<SinglePreset>& saved,
                  uint64_t index) {
    return index < bank.size() && index < saved.size() && bank[index] == saved[index];
}

// True when the record leaves everything the sounding voices play as it is: the play mode, the
// settings (they map channels to sections), the current presets and, in Multi mode, the Singles
// its sections play. A host that loads back the state it just read, or one that changed another
// preset or a parameter, then keeps the notes sounding.
bool keepsWhatSounds(const Engine& engine, const EngineStateRecord& record) {
    const uint64_t single = engine.getCurrentSingleIndex();
    if (record.playMode != engine.getPlayMode() || !(record.config == engine.getConfig()) ||
        record.currentSingle != single || !sameSingleAt(engine.getSingles(), record.singles, single))
        return false;
    if (engine.getPlayMode() == PlayMode_Single) return true;
    const uint64_t multi = engine.getCurrentMultiIndex();
    // A record without Multis leaves the engine's own.
    if (record.currentMulti != multi ||
        (!record.multis.empty() &&
         (multi >= record.multis.size() || !sameMulti(engine.getCurrentMulti(), record.multis[multi]))))
        return false;
    const uint64_t offset = Engine::getSinglesOffsetForMulti(multi);
    for (const MultiSection& section : engine.getCurrentMulti().sections)
        if (section.single != Multi::kCurrentSingle &&
            section.single < static_cast<uint32_t>(kSinglesPerBank) &&
            !sameSingleAt(engine.getSingles(), record.singles, offset + section.single))
            return false;
    return true;
}

} // namespace

bool Engine::saveState(std::vector<unsigned char>& out) {
    EngineStateRecord record;
    record.config = m_config;
    record.playMode = m_playMode;
    record.parameterValues.assign(std::begin(m_parameterManager.normalized),
                                  std::end(m_parameterManager.normalized));
    m_listener->serializeCustomData(record.customData);
    record.currentSingle = m_currentSingle;
    record.singles = m_singles;
    record.currentMulti = m_currentMulti;
    record.multis = m_multis;
    record.write(out);
    return true;
}

bool Engine::loadState(const std::vector<unsigned char>& in) {
    // The whole record is read and checked before anything changes, so a refused one changes nothing.
    EngineStateRecord record;
    record.config = m_config;
    if (!record.read(in)) return false;

    // Otherwise voices, fading ones included, play presets that are about to be overwritten.
    const bool keepVoices = keepsWhatSounds(*this, record);
    if (!keepVoices) {
        m_multi->clearAllVoices();
        m_multi->clearReleasingVoices();
    }
    const bool configChanged = !(record.config == m_config);
    m_config = record.config;
    if (!record.customData.empty()) m_listener->deserializeCustomData(record.customData);
    const ChangedRange singles = assignBank(
        m_singles, record.singles, [](const SinglePreset& a, const SinglePreset& b) { return a == b; });
    const ChangedRange multis = assignBank(m_multis, record.multis, sameMulti);

    // The preset that does not play shows its fields in the parameters as well. The one that
    // plays is selected anew unless the voices keep it; the record's values follow either way.
    if (record.playMode == PlayMode_Single) {
        if (!keepVoices) m_currentSingle = kNoPreset;
        if (!setSingle(record.currentSingle)) log("loadState", 71, "No Single ", record.currentSingle);
        m_currentMulti = record.currentMulti;
        pushMultiParameters();
    } else {
        m_currentSingle = record.currentSingle;
        pushSingleParameters();
        if (!keepVoices) m_currentMulti = kNoPreset;
        if (!setMulti(record.currentMulti)) log("loadState", 78, "No Multi ", record.currentMulti);
    }
    if (record.playMode != m_playMode)
        switchPlayMode(record.playMode);
    else if (configChanged)
        remapSections();

    // The play mode is the record's own; a stray parameter 208 would switch it in the next block.
    for (size_t p = 0; p < record.parameterValues.size(); ++p)
        if (p != Param_Mode)
            m_parameterManager.setVSTParam(static_cast<unsigned int>(p), record.parameterValues[p], false);
    // Every value is reported: the selection above already reported values that the record's own
    // replaced since. The facade passes on only those that differ from what it holds.
    for (uint32_t p = 0; p < kParamCount; ++p)
        m_listener->onParameterChanged(static_cast<EParam>(p), m_parameterManager.normalized[p]);
    if (singles.count() > 0) m_listener->onSinglesModified(singles.first, singles.count());
    if (multis.count() > 0) m_listener->onMultisModified(multis.first, multis.count());
    if (configChanged) m_listener->onConfigChanged();
    return true;
}

} // namespace k1lib
