#include "k1lib/facade/Plugin.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace k1lib {
namespace {

std::string folded(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool isParam(EParam param) {
    return static_cast<uint32_t>(param) < kParamCount;
}

} // namespace

Plugin::Plugin(IPluginListener* pluginListener, PluginType type)
    : engine(this, type), listener(pluginListener) {
    for (uint32_t p = 0; p < kParamCount; ++p)
        parameterCache[p].store(engine.getParameter(static_cast<EParam>(p)), std::memory_order_relaxed);
}

Plugin::~Plugin() = default;

bool Plugin::process(float** outputs, size_t outputCount, size_t samples) {
    {
        std::lock_guard<std::recursive_mutex> lock(midiLock);
        pendingMidiEvents.swap(processingMidiEvents);
    }
    // A host offset outside the block is clamped into it; the engine sorts by offset.
    const int32_t last = samples > 0 ? static_cast<int32_t>(std::min<size_t>(samples - 1, INT32_MAX)) : 0;
    for (SMidiEvent& e : processingMidiEvents)
        e.sampleOffset = std::clamp(e.sampleOffset, 0, last);
    bool silent = false;
    {
        Lock lock(engineLock);
        silent = engine.process(outputs, static_cast<int>(std::min<size_t>(outputCount, INT32_MAX)),
                                static_cast<int>(std::min<size_t>(samples, INT32_MAX)), processingMidiEvents);
    }
    processingMidiEvents.clear();
    return silent;
}

void Plugin::addMidiEvent(const SMidiEvent& event) {
    std::lock_guard<std::recursive_mutex> lock(midiLock);
    pendingMidiEvents.push_back(event);
}

bool Plugin::setParameter(EParam param, float value) {
    // A NaN would stay in the cache and reach the host; values outside 0..1 are clamped.
    if (!isParam(param) || !std::isfinite(value)) return false;
    value = std::clamp(value, 0.0f, 1.0f);
    if (value == parameterCache[param].load(std::memory_order_relaxed)) return false;
    Lock lock(engineLock);
    if (!engine.setParameter(param, value, true)) {
        // Refused (a Single's parameter while a Multi plays): the host and the panel hear back
        // the value the instrument holds, as after any change it makes itself.
        const float held = engine.getParameter(param);
        parameterCache[param].store(held, std::memory_order_relaxed);
        if (editor) editor->onEvent(PluginToEditorEvent::parameterChanged(param, held));
        listener->onParameterChanged(param, held);
        return false;
    }
    // Stored under the lock, so a refresh running concurrently cannot leave an older value.
    parameterCache[param].store(value, std::memory_order_relaxed);
    if (editor) editor->onEvent(PluginToEditorEvent::parameterChanged(param, value));
    return true;
}

float Plugin::getParameter(EParam param) const {
    return isParam(param) ? parameterCache[param].load(std::memory_order_relaxed) : 0.0f;
}

std::string Plugin::getParameterLabel(EParam param) const {
    return isParam(param) ? g_params[param].getUnitLabel() : std::string();
}

std::string Plugin::getParameterDisplay(EParam param) const {
    if (!isParam(param)) return std::string();
    const CParam& row = g_params[param];
    return row.formatValue(param, getParameter(param) * row.range + row.min);
}

std::string Plugin::getParameterName(EParam param) const {
    return isParam(param) ? std::string(g_params[param].group) + g_params[param].name : std::string();
}

void Plugin::setSampleRate(float rate) {
    Lock lock(engineLock);
    engine.setSamplerate(rate);
}

void Plugin::clearAllVoices() {
    Lock lock(engineLock);
    engine.clearAllVoices();
}

void Plugin::reset() {
    {
        std::lock_guard<std::recursive_mutex> lock(midiLock);
        pendingMidiEvents.clear();
    }
    Lock lock(engineLock);
    engine.reset();
}

PlayMode Plugin::getPlayMode() {
    Lock lock(engineLock);
    return engine.getPlayMode();
}

void Plugin::setPlayMode(PlayMode mode) {
    Lock lock(engineLock);
    engine.setPlayMode(mode);
}

Engine::Config Plugin::getConfig() {
    Lock lock(engineLock);
    return engine.getConfig();
}

void Plugin::setConfig(const Engine::Config& config) {
    Lock lock(engineLock);
    engine.setConfig(config);
}

PluginType Plugin::getPluginType() {
    Lock lock(engineLock);
    return engine.getPluginType();
}

size_t Plugin::getSingleCount() {
    Lock lock(engineLock);
    return engine.getSingles().size();
}

size_t Plugin::getMultiCount() {
    Lock lock(engineLock);
    return engine.getMultis().size();
}

size_t Plugin::getCurrentSingleIndex() {
    Lock lock(engineLock);
    return engine.getCurrentSingleIndex();
}

size_t Plugin::getCurrentMultiIndex() {
    Lock lock(engineLock);
    return engine.getCurrentMultiIndex();
}

SinglePreset Plugin::getCurrentSingle() {
    Lock lock(engineLock);
    return engine.getCurrentSingle();
}

MultiPreset Plugin::getCurrentMulti() {
    Lock lock(engineLock);
    return engine.getCurrentMulti();
}

bool Plugin::getSingle(SinglePreset& out, size_t index) {
    Lock lock(engineLock);
    if (index >= engine.getSingles().size()) return false;
    out = engine.getSingles()[index];
    return true;
}

bool Plugin::getMulti(MultiPreset& out, size_t index) {
    Lock lock(engineLock);
    if (index >= engine.getMultis().size()) return false;
    out = engine.getMultis()[index];
    return true;
}

bool Plugin::setSingle(size_t index, const SinglePreset& single) {
    Lock lock(engineLock);
    return engine.setSingle(index, single);
}

bool Plugin::setMulti(size_t index, const MultiPreset& multi) {
    Lock lock(engineLock);
    return engine.setMulti(index, multi);
}

bool Plugin::setSingles(size_t first, const std::vector<SinglePreset>& singles) {
    Lock lock(engineLock);
    return engine.setSingles(first, singles);
}

bool Plugin::setMultis(size_t first, const std::vector<MultiPreset>& multis) {
    Lock lock(engineLock);
    return engine.setMultis(first, multis);
}

void Plugin::setCurrentSingleName(const std::string& name) {
    Lock lock(engineLock);
    engine.setCurrentSingleName(name);
}

void Plugin::setCurrentMultiName(const std::string& name) {
    Lock lock(engineLock);
    engine.setCurrentMultiName(name);
}

bool Plugin::isSingleModified(size_t index) {
    Lock lock(engineLock);
    return engine.isSingleModified(index);
}

bool Plugin::isMultiModified(size_t index) {
    Lock lock(engineLock);
    return engine.isMultiModified(index);
}

bool Plugin::restoreFactorySingle(size_t index) {
    Lock lock(engineLock);
    return engine.restoreFactorySingle(index);
}

bool Plugin::restoreFactoryMulti(size_t index) {
    Lock lock(engineLock);
    return engine.restoreFactoryMulti(index);
}

bool Plugin::swapSources(size_t a, size_t b) {
    Lock lock(engineLock);
    return engine.swapSources(a, b);
}

bool Plugin::sendParameterChangeAsSysex(EParam param, float value) {
    if (!isParam(param) || !std::isfinite(value)) return false;
    Lock lock(engineLock);
    return engine.sendParameterAsSysex(param, value);
}

bool Plugin::getState(std::vector<unsigned char>& out) {
    Lock lock(engineLock);
    return engine.saveState(out);
}

bool Plugin::setState(const std::vector<unsigned char>& in) {
    if (in.empty()) return false;
    Lock lock(engineLock);
    return engine.loadState(in);
}

bool Plugin::getSingle(std::vector<unsigned char>& out, size_t index) {
    SinglePreset single;
    if (!getSingle(single, index)) return false;
    return Sysex::writeSingle(out, single, 0, StorageI, 0);
}

bool Plugin::getMulti(std::vector<unsigned char>& out, size_t index) {
    MultiPreset multi;
    if (!getMulti(multi, index)) return false;
    return Sysex::writeMulti(out, multi, 0, StorageI, 0);
}

bool Plugin::setSingle(const std::vector<unsigned char>& in, size_t index) {
    if (in.empty()) return false;
    Sysex::SysexResult result;
    Sysex::readBuffer(result, in, 255);
    if (result.singles.empty()) return false;
    return setSingle(index, result.singles.front());
}

bool Plugin::setMulti(const std::vector<unsigned char>& in, size_t index) {
    if (in.empty()) return false;
    Sysex::SysexResult result;
    Sysex::readBuffer(result, in, 255);
    if (result.multis.empty()) return false;
    return setMulti(index, result.multis.front());
}

bool Plugin::getCurrentSingle(std::vector<unsigned char>& out) {
    return getSingle(out, getCurrentSingleIndex());
}
bool Plugin::getCurrentMulti(std::vector<unsigned char>& out) {
    return getMulti(out, getCurrentMultiIndex());
}
bool Plugin::setCurrentSingle(const std::vector<unsigned char>& in) {
    return setSingle(in, getCurrentSingleIndex());
}
bool Plugin::setCurrentMulti(const std::vector<unsigned char>& in) {
    return setMulti(in, getCurrentMultiIndex());
}

std::string Plugin::getPresetName(size_t index) {
    Lock lock(engineLock);
    if (engine.getPlayMode() == PlayMode_Single)
        return index < engine.getSingles().size() ? std::string(engine.getSingles()[index].name)
                                                  : std::string();
    return index < engine.getMultis().size() ? std::string(engine.getMultis()[index].name) : std::string();
}

bool Plugin::isPresetModified(size_t index) {
    Lock lock(engineLock);
    return engine.getPlayMode() == PlayMode_Single ? engine.isSingleModified(index)
                                                   : engine.isMultiModified(index);
}

size_t Plugin::getCurrentPresetIndex() {
    Lock lock(engineLock);
    return engine.getPlayMode() == PlayMode_Single ? engine.getCurrentSingleIndex()
                                                   : engine.getCurrentMultiIndex();
}

size_t Plugin::getPresetCount() {
    Lock lock(engineLock);
    return engine.getPlayMode() == PlayMode_Single ? engine.getSingles().size() : engine.getMultis().size();
}

bool Plugin::restoreFactoryPreset(size_t index) {
    Lock lock(engineLock);
    return engine.getPlayMode() == PlayMode_Single ? engine.restoreFactorySingle(index)
                                                   : engine.restoreFactoryMulti(index);
}

bool Plugin::setCurrentPresetIndex(size_t index) {
    Lock lock(engineLock);
    return engine.getPlayMode() == PlayMode_Single ? engine.setSingle(index) : engine.setMulti(index);
}

bool Plugin::sendPreset(size_t index, unsigned char storageTarget) {
    Lock lock(engineLock);
    return engine.getPlayMode() == PlayMode_Single ? engine.sendSingle(index, storageTarget)
                                                   : engine.sendMulti(index, storageTarget);
}

bool Plugin::getPreset(std::vector<unsigned char>& out, size_t index) {
    return getPlayMode() == PlayMode_Single ? getSingle(out, index) : getMulti(out, index);
}

bool Plugin::setPreset(const std::vector<unsigned char>& in, size_t index) {
    return getPlayMode() == PlayMode_Single ? setSingle(in, index) : setMulti(in, index);
}

bool Plugin::getCurrentPreset(std::vector<unsigned char>& out) {
    return getPreset(out, getCurrentPresetIndex());
}
bool Plugin::setCurrentPreset(const std::vector<unsigned char>& in) {
    return setPreset(in, getCurrentPresetIndex());
}

template <typename Record>
bool Plugin::search(std::vector<size_t>& result, const std::string& text, size_t largest,
                    const std::vector<Record>& (Engine::*records)() const) {
    const std::string needle = folded(text);
    result.clear();
    Lock lock(engineLock);
    const std::vector<Record>& list = (engine.*records)();
    result.reserve(std::min(largest, list.size()));
    for (size_t i = 0; i < list.size(); ++i) {
        if (!needle.empty() && folded(list[i].name).find(needle) == std::string::npos) continue;
        result.push_back(i);
        // Tested after the append: a largest number of 0 still yields the first match.
        if (result.size() >= largest) break;
    }
    return !result.empty();
}

bool Plugin::searchSingles(std::vector<size_t>& result, const std::string& text, size_t largest) {
    return search(result, text, largest, &Engine::getSingles);
}

bool Plugin::searchMultis(std::vector<size_t>& result, const std::string& text, size_t largest) {
    return search(result, text, largest, &Engine::getMultis);
}

void Plugin::setEditor(IEditor* newEditor) {
    Lock lock(engineLock);
    editor = newEditor;
}

void Plugin::updateParameterFromEngine(EParam param) {
    const float value = engine.getParameter(param);
    const float cached = parameterCache[param].load(std::memory_order_relaxed);
    if (value == cached) return; // a NaN on either side counts as a change
    parameterCache[param].store(value, std::memory_order_relaxed);
    if (editor) editor->onEvent(PluginToEditorEvent::parameterChanged(param, value));
    listener->onParameterChanged(param, value);
}

void Plugin::updateParametersFromEngine() {
    for (uint32_t p = 0; p < kParamCount; ++p)
        updateParameterFromEngine(static_cast<EParam>(p));
}

void Plugin::sendEditorEvent(uint32_t type, uint64_t index, uint64_t count) {
    if (!editor) return;
    PluginToEditorEvent event;
    event.type = type;
    event.index = index;
    event.count = count;
    editor->onEvent(event);
}

void Plugin::onActiveSingleChanged(size_t index) {
    updateParametersFromEngine();
    listener->onActiveSingleChanged(index);
    sendEditorEvent(PluginToEditorEvent::ActiveSingleChanged, index, 0);
}

void Plugin::onSingleModified(size_t index) {
    sendEditorEvent(PluginToEditorEvent::SingleModified, index, 0);
    listener->onSingleModified(index);
}

void Plugin::onSinglesModified(size_t first, size_t count) {
    sendEditorEvent(PluginToEditorEvent::SinglesModified, first, count);
    listener->onSinglesModified(first, count);
}

void Plugin::onActiveSingleModified(size_t index) {
    updateParametersFromEngine();
    sendEditorEvent(PluginToEditorEvent::ActiveSingleModified, index, 0);
    listener->onActiveSingleModified(index);
}

void Plugin::onActiveMultiChanged(size_t index) {
    updateParametersFromEngine();
    listener->onActiveMultiChanged(index);
    sendEditorEvent(PluginToEditorEvent::ActiveMultiChanged, index, 0);
}

void Plugin::onMultiModified(size_t index) {
    sendEditorEvent(PluginToEditorEvent::MultiModified, index, 0);
    listener->onMultiModified(index);
}

void Plugin::onMultisModified(size_t first, size_t count) {
    sendEditorEvent(PluginToEditorEvent::MultisModified, first, count);
    listener->onMultisModified(first, count);
}

void Plugin::onActiveMultiModified(size_t index) {
    updateParametersFromEngine();
    sendEditorEvent(PluginToEditorEvent::ActiveMultiModified, index, 0);
    listener->onActiveMultiModified(index);
}

void Plugin::onParameterChanged(EParam param, float) {
    if (isParam(param)) updateParameterFromEngine(param);
}

void Plugin::sendMidi(const SMidiEvent& event) {
    listener->sendMidi(event);
}
void Plugin::serializeCustomData(std::vector<unsigned char>& data) {
    listener->serializeCustomData(data);
}
void Plugin::deserializeCustomData(const std::vector<unsigned char>& data) {
    listener->deserializeCustomData(data);
}

void Plugin::onPlayModeChanged() {
    updateParameterFromEngine(Param_Mode);
    sendEditorEvent(PluginToEditorEvent::PlayModeChanged, 0, 0);
    listener->onPlayModeChanged();
}

void Plugin::onConfigChanged() {
    listener->onConfigChanged();
    sendEditorEvent(PluginToEditorEvent::ConfigChanged, 0, 0);
}

} // namespace k1lib
