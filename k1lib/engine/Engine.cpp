// Construction, the preset operations and the settings.
#include "k1lib/engine/Engine.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "k1lib/engine/EngineMultiHost.h"
#include "k1lib/engine/IEngineListener.h"
#include "k1lib/params/ParameterConverter.h"
#include "k1lib/records/FactoryData.h"
#include "k1lib/voice/Multi.h"
#include "log/Log.h"

namespace k1lib {
namespace {

bool samePreset(const SinglePreset& a, const SinglePreset& b) {
    return a == b;
}
bool samePreset(const MultiPreset& a, const MultiPreset& b) {
    return sameMulti(a, b);
}

// Stores presets[0..count) from offset on; onCurrent runs when the current preset changed.
// Returns whether any stored record changed.
template <typename Preset, typename OnCurrent>
bool storePresets(std::vector<Preset>& bank, uint64_t offset, const Preset* presets, uint64_t count,
                  uint64_t current, OnCurrent onCurrent) {
    bool changed = false;
    for (uint64_t k = 0; k < count; ++k) {
        Preset& stored = bank[offset + k];
        if (samePreset(stored, presets[k])) continue;
        stored = presets[k];
        changed = true;
        if (offset + k == current) onCurrent();
    }
    return changed;
}

std::string nameText(const char (&name)[11]) {
    return std::string(name, strnlen(name, sizeof name));
}

std::string withoutTrailingBlanks(std::string text) {
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

// Stores the first 10 characters of text as records keep names, without trailing blanks and
// NUL after the text; true when it changed the name. A name equal but for trailing blanks stays
// as it is, so renaming a preset to its own name changes nothing.
bool rename(char (&name)[11], const std::string& text) {
    const std::string wanted =
        withoutTrailingBlanks(text.substr(0, std::min<size_t>(strnlen(text.c_str(), text.size()), 10)));
    if (wanted == withoutTrailingBlanks(nameText(name))) return false;
    std::memset(name, 0, sizeof name);
    std::memcpy(name, wanted.data(), wanted.size());
    return true;
}

} // namespace

Engine::Engine(IEngineListener* listener, PluginType pluginType)
    : m_listener(listener), m_pluginType(pluginType), m_voiceContext(m_waveforms, m_channelStates, m_random) {
    startLogWriter(); // lines logged on the audio thread are written from there
    m_waveforms.loadFromMemory();
    // The banks exist before the voice manager, which reads the current presets when it is built.
    initFactoryData();
    m_singles = factorySingles;
    m_multis = factoryMultis;
    m_multiHost = std::make_unique<EngineMultiHost>(*this);
    m_multi = std::make_unique<Multi>(*m_multiHost);
    pushSingleParameters();
    pushMultiParameters();
}

Engine::~Engine() = default;

bool Engine::fitsInBank(uint64_t offset, uint64_t count, uint64_t bankSize) {
    return count > 0 && offset <= bankSize && count <= bankSize - offset;
}

void Engine::pushSingleParameters(EParam first, EParam end) {
    const SinglePreset& single = getCurrentSingle();
    for (uint32_t p = first; p < end; ++p) {
        int value = 0;
        if (ParameterConverter::getValue(value, static_cast<EParam>(p), single))
            m_parameterManager.setVSTParamReal(p, static_cast<float>(value), false);
    }
}

void Engine::pushMultiParameters(EParam first, EParam end) {
    const MultiPreset& multi = getCurrentMulti();
    for (uint32_t p = first; p < end; ++p) {
        int value = 0;
        if (ParameterConverter::getValue(value, static_cast<EParam>(p), multi))
            m_parameterManager.setVSTParamReal(p, static_cast<float>(value), false);
    }
}

void Engine::refreshCurrentSingle() {
    m_multi->clearAllVoices();
    pushSingleParameters();
    m_listener->onActiveSingleModified(m_currentSingle);
}

void Engine::refreshCurrentMulti() {
    m_multi->clearAllVoices();
    pushMultiParameters();
    m_listener->onActiveMultiModified(m_currentMulti);
}

bool Engine::setSingle(uint64_t index) {
    if (index >= m_singles.size()) return false;
    if (index == m_currentSingle) return true;
    log("setSingle", 327, "Switching to single ", index);
    const Multi::SectionGains gains = m_multi->getSectionGains();
    m_currentSingle = index;
    m_pitchBendRange = getCurrentSingle().pitchBendDepth;
    m_multi->fadeAllVoices(gains);
    dumpSingle(getCurrentSingle());
    pushSingleParameters();
    m_listener->onActiveSingleChanged(index);
    return true;
}

bool Engine::setMulti(uint64_t index) {
    if (index >= m_multis.size()) return false;
    if (index == m_currentMulti) return true;
    log("setMulti", 432, "Switching to multi ", index);
    const Multi::SectionGains gains = m_multi->getSectionGains();
    m_currentMulti = index;
    m_multi->setMulti(getCurrentMulti());
    m_multi->fadeAllVoices(gains);
    pushMultiParameters();
    m_listener->onActiveMultiChanged(index);
    return true;
}

bool Engine::setSingle(uint64_t index, const SinglePreset& preset) {
    if (index >= m_singles.size()) return false;
    if (storePresets(m_singles, index, &preset, 1, m_currentSingle, [this] { refreshCurrentSingle(); }))
        m_listener->onSingleModified(index);
    return true;
}

bool Engine::setMulti(uint64_t index, const MultiPreset& preset) {
    if (index >= m_multis.size()) return false;
    if (storePresets(m_multis, index, &preset, 1, m_currentMulti, [this] { refreshCurrentMulti(); }))
        m_listener->onMultiModified(index);
    return true;
}

bool Engine::setSingles(uint64_t offset, const std::vector<SinglePreset>& singles) {
    if (!fitsInBank(offset, singles.size(), m_singles.size())) return false;
    if (!storePresets(m_singles, offset, singles.data(), singles.size(), m_currentSingle,
                      [this] { refreshCurrentSingle(); }))
        return false;
    m_listener->onSinglesModified(offset, singles.size());
    return true;
}

bool Engine::setMultis(uint64_t offset, const std::vector<MultiPreset>& multis) {
    if (!fitsInBank(offset, multis.size(), m_multis.size())) return false;
    if (!storePresets(m_multis, offset, multis.data(), multis.size(), m_currentMulti,
                      [this] { refreshCurrentMulti(); }))
        return false;
    m_listener->onMultisModified(offset, multis.size());
    return true;
}

// The name parameters follow, so that they keep mirroring the current record.
void Engine::setCurrentSingleName(const std::string& name) {
    if (!rename(m_singles[m_currentSingle].name, name)) return;
    pushSingleParameters(Param_Name01, Param_Volume);
    m_listener->onActiveSingleModified(m_currentSingle);
}

void Engine::setCurrentMultiName(const std::string& name) {
    if (!rename(m_multis[m_currentMulti].name, name)) return;
    pushMultiParameters(Param_MultiName01, Param_MultiVolume);
    m_listener->onActiveMultiModified(m_currentMulti);
}

bool Engine::isSingleModified(uint64_t index) const {
    return index < m_singles.size() && index < factorySingles.size() &&
           !(m_singles[index] == factorySingles[index]);
}

bool Engine::isMultiModified(uint64_t index) const {
    return index < m_multis.size() && index < factoryMultis.size() &&
           !sameMulti(m_multis[index], factoryMultis[index]);
}

bool Engine::restoreFactorySingle(uint64_t index) {
    return isSingleModified(index) && setSingle(index, factorySingles[index]);
}

bool Engine::restoreFactoryMulti(uint64_t index) {
    return isMultiModified(index) && setMulti(index, factoryMultis[index]);
}

bool Engine::swapSources(uint64_t a, uint64_t b) {
    if (a == b || a >= 4 || b >= 4) return false;
    SinglePreset copy = getCurrentSingle();
    std::swap(copy.sources[a], copy.sources[b]);
    return setSingle(m_currentSingle, copy);
}

void Engine::clearAllVoices() {
    m_multi->clearAllVoices();
}

void Engine::setConfig(const Config& config) {
    if (config == m_config) return;
    const bool omniChanged = (config.omni != 0) != (m_config.omni != 0);
    m_config = config;
    m_listener->onConfigChanged();
    // Only the Single-mode Multi follows the basic channel: K1 Multis carry their own channels.
    if (m_playMode != PlayMode_Single) return;
    // In Single mode Omni folds every channel's keys into one: across a change of it a key's
    // note-off would arrive on another channel than its note-on, so the change ends every held
    // key, as MIDI's mode messages do.
    if (omniChanged)
        for (uint8_t channel = 0; channel < 16; ++channel)
            m_multi->allNotesOff(channel);
    remapSections();
}

void Engine::remapSections() {
    m_multi->setMulti(m_playMode == PlayMode_Multi ? getCurrentMulti() : m_multi->getSingleModeMulti());
}

void Engine::dumpSingle(const SinglePreset& single) const {
    // Built in place: program changes dump from the audio thread, where only the log line may allocate.
    char text[1024];
    size_t used = 0;
    const auto append = [&](const char* format, auto... values) {
        const int written = std::snprintf(text + used, sizeof text - used, format, values...);
        if (written > 0) used = std::min(sizeof text - 1, used + static_cast<size_t>(written));
    };
    append("Single %.*s:\n", static_cast<int>(strnlen(single.name, sizeof single.name)), single.name);
    for (unsigned k = 0; k < 4; ++k) {
        const SingleSource& s = single.sources[k];
        append(" S%u:\n", k + 1);
        append("  coarse=%u, fine=%u\n", s.coarse, s.fine);
        append("  wave=%u %s\n", unsigned{s.wave}, Waveforms::getName(s.wave));
        append("  env: level=%u, dadsr=%u %u %u %u %u\n", s.envLevel, s.envDelay, s.envAttack, s.envDecay,
               s.envSustain, s.envRelease);
    }
    append("ampMod S1S2=%u, S3S4=%u\n", single.ampModS1S2, single.ampModS3S4);
    log("dumpSingle", 1311, "\n", static_cast<const char*>(text));
}

} // namespace k1lib
