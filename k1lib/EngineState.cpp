// The state record: saving everything a host project restores, and loading it back.
#include <iterator>

#include "Engine.h"
#include "EngineStateRecord.h"
#include "IEngineListener.h"
#include "Log.h"
#include "Multi.h"

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

    // Voices, fading ones included, play presets that are about to be overwritten.
    m_multi->clearAllVoices();
    m_multi->clearReleasingVoices();
    const bool configChanged = !(record.config == m_config);
    m_config = record.config;
    if (!record.customData.empty()) m_listener->deserializeCustomData(record.customData);
    const ChangedRange singles = assignBank(
        m_singles, record.singles, [](const SinglePreset& a, const SinglePreset& b) { return a == b; });
    const ChangedRange multis = assignBank(m_multis, record.multis, sameMulti);

    // The preset that does not play shows its fields in the parameters as well.
    if (record.playMode == PlayMode_Single) {
        m_currentSingle = kNoPreset;
        if (!setSingle(record.currentSingle)) log("loadState", 71, "No Single ", record.currentSingle);
        m_currentMulti = record.currentMulti;
        pushMultiParameters();
    } else {
        m_currentSingle = record.currentSingle;
        pushSingleParameters();
        m_currentMulti = kNoPreset;
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
