// The facade's notifications: output queues for the audio thread, program-name refreshes for
// the user-interface thread, and the program names the host reads.
#include "vst3/k1AudioProcessor.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "log/Log.h"
#include "pluginterfaces/base/ustring.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

void k1AudioProcessor::onParameterChanged(k1lib::EParam param, float normalizedValue) {
    if (param >= k1lib::kParamCount) return;
    {
        std::lock_guard<std::mutex> guard(outputParameterLock);
        outputParameterValues[param] = normalizedValue; // a later value replaces an earlier one
        outputParameterPending[param] = true;
        outputParameterChange[param] = ++lastChange;
    }
    // Never allocates: one dirty mark, however many values change.
    delayHostValuesRefresh();
}

void k1AudioProcessor::onValueToldToHost(k1lib::EParam param, float value) {
    if (param >= k1lib::kParamCount) return;
    ++hostEdits; // in flight until a block carries it back: no re-read before
    std::lock_guard<std::mutex> guard(outputParameterLock);
    hostValues[param] = value;
}

double k1AudioProcessor::onProgramToldToHost() {
    const double value = programValue(); // before the lock: it takes the engine lock
    std::lock_guard<std::mutex> guard(outputParameterLock);
    hostProgramValue = value;
    outputProgramPending = false;
    return value;
}

void k1AudioProcessor::sendMidi(const k1lib::SMidiEvent& event) {
    std::lock_guard<std::mutex> guard(midiOutputLock);
    if (midiOutputQueue.size() >= kMaxQueuedSysex) {
        if (!midiOutputOverflowLogged)
            k1lib::log("sendMidi", 402, "The host takes no MIDI output, dropping the oldest messages beyond ",
                       kMaxQueuedSysex);
        midiOutputOverflowLogged = true;
        midiOutputQueue.pop_front();
    }
    midiOutputQueue.push_back(event);
}

void k1AudioProcessor::onActiveSingleChanged(size_t) {
    queueProgramValue();
}

void k1AudioProcessor::onActiveMultiChanged(size_t) {
    queueProgramValue();
}

void k1AudioProcessor::onPlayModeChanged() {
    queueProgramValue();
}

double k1AudioProcessor::programValue() {
    size_t position = plugin.getCurrentPresetIndex();
    if (plugin.getPlayMode() == k1lib::PlayMode_Multi) position += k1lib::Engine::singleCount();
    return static_cast<double>(position) / static_cast<double>(totalPresetCount() - 1);
}

std::string k1AudioProcessor::programText(float value) {
    const auto position =
        static_cast<uint32_t>(std::lround(value * static_cast<double>(totalPresetCount() - 1)));
    const size_t singles = k1lib::Engine::singleCount();
    const bool multi = position >= singles;
    const std::string number = k1lib::Engine::getPresetNumberAsName(
        multi ? position - singles : position, multi ? k1lib::PlayMode_Multi : k1lib::PlayMode_Single);
    return number + " " + presetName(position);
}

void k1AudioProcessor::queueValuesUnlikeDefaults() {
    for (uint32_t p = 0; p < k1lib::kParamCount; ++p) {
        const auto param = static_cast<k1lib::EParam>(p);
        const float value = plugin.getParameter(param);
        if (value != declaredDefault(param)) onParameterChanged(param, value);
    }
    if (programValue() != 0.0) queueProgramValue();
}

// Inside the engine lock (recursive: the position is read on this thread); the host hears the
// new program at the end of the next block, and every value anew on its user-interface thread.
void k1AudioProcessor::queueProgramValue() {
    if (!listening) return;
    const double value = programValue();
    {
        std::lock_guard<std::mutex> guard(outputParameterLock);
        outputProgramValue = value;
        outputProgramPending = true;
    }
    delayHostValuesRefresh();
}

void k1AudioProcessor::delayHostValuesRefresh() {
    if (listening) delayedCalls.delayRefresh(kHostValuesRefresh, 0, 1);
}

void k1AudioProcessor::tellHostValuesChanged() {
    // Before the host has handed over its handler there is nobody to tell; while a host edit has
    // not reached the engine, the host would re-read the old value and lose its edit: later.
    if (!componentHandler || deliveredHostEdits != hostEdits) {
        delayHostValuesRefresh();
        return;
    }
    uint64_t reRead = 0;
    {
        std::lock_guard<std::mutex> guard(outputParameterLock);
        reRead = lastChange; // later changes are read below at the earliest: they wait their turn
    }
    // A host that answers every announcement by loading the state back would otherwise never
    // stop: nothing it can see changed, so nothing is announced.
    if (takeValuesUnknownToHost()) componentHandler->restartComponent(kParamValuesChanged);
    std::lock_guard<std::mutex> guard(outputParameterLock);
    lastChangeReRead = std::max(lastChangeReRead, reRead);
}

bool k1AudioProcessor::takeValuesUnknownToHost() {
    // Read before the lock: the program's position takes the engine lock, which comes first.
    const double program = programValue();
    std::array<float, k1lib::kParamCount> values;
    for (uint32_t p = 0; p < k1lib::kParamCount; ++p)
        values[p] = plugin.getParameter(static_cast<k1lib::EParam>(p));
    std::lock_guard<std::mutex> guard(outputParameterLock);
    const bool differs = values != hostValues || program != hostProgramValue;
    hostValues = values;
    hostProgramValue = program;
    return differs;
}

tresult PLUGIN_API k1AudioProcessor::setComponentHandler(IComponentHandler* handler) {
    const tresult result = k1SingleComponentEffect::setComponentHandler(handler);
    hostReReads = handler != nullptr;
    return result;
}

void k1AudioProcessor::runPendingCalls() {
    delayedCalls.pump();
}

void k1AudioProcessor::onHostCall() {
    if (delayedCalls.isUserInterfaceThread()) delayedCalls.pump();
}

void k1AudioProcessor::onSingleModified(size_t index) {
    delayProgramNameRefresh(index, 1);
}

void k1AudioProcessor::onActiveSingleModified(size_t index) {
    delayProgramNameRefresh(index, 1);
}

void k1AudioProcessor::onSinglesModified(size_t first, size_t count) {
    delayProgramNameRefresh(first, count);
}

void k1AudioProcessor::onMultiModified(size_t index) {
    delayProgramNameRefresh(k1lib::Engine::singleCount() + index, 1);
}

void k1AudioProcessor::onActiveMultiModified(size_t index) {
    delayProgramNameRefresh(k1lib::Engine::singleCount() + index, 1);
}

void k1AudioProcessor::onMultisModified(size_t first, size_t count) {
    delayProgramNameRefresh(k1lib::Engine::singleCount() + first, count);
}

std::string k1AudioProcessor::presetName(uint32_t position) {
    const size_t singles = k1lib::Engine::singleCount();
    if (position < singles) {
        k1lib::SinglePreset single;
        return plugin.getSingle(single, position) ? std::string(single.name) : std::string();
    }
    k1lib::MultiPreset multi;
    return plugin.getMulti(multi, position - singles) ? std::string(multi.name) : std::string();
}

void k1AudioProcessor::delayProgramNameRefresh(size_t first, size_t count) {
    const uint32_t total = totalPresetCount();
    if (!listening || first >= total) return;
    count = std::min<size_t>(count, total - first);
    delayedCalls.delayRefresh(kProgramListId, static_cast<uint32_t>(first), static_cast<uint32_t>(count));
}

void k1AudioProcessor::updateProgramNames(uint32_t first, uint32_t count) {
    ProgramList* list = getProgramList(kProgramListId);
    if (!list) return;
    String128 hostName;
    char shown[128];
    for (uint32_t i = first; i < first + count; ++i) {
        const std::string name = presetName(i);
        if (list->getProgramName(static_cast<int32>(i), hostName) != kResultTrue) continue;
        UString(hostName, 128).toAscii(shown, 128);
        if (name == shown) continue;
        UString(hostName, 128).fromAscii(name.c_str());
        list->setProgramName(static_cast<int32>(i), hostName);
        notifyProgramListChange(kProgramListId, static_cast<int32>(i));
    }
}

tresult PLUGIN_API k1AudioProcessor::getProgramName(ProgramListID listId, int32 programIndex,
                                                    String128 name) {
    if (listId != kProgramListId) return k1SingleComponentEffect::getProgramName(listId, programIndex, name);
    if (programIndex < 0 || static_cast<uint32_t>(programIndex) >= totalPresetCount()) return kResultFalse;
    UString(name, 128).fromAscii(presetName(static_cast<uint32_t>(programIndex)).c_str());
    return kResultTrue;
}
