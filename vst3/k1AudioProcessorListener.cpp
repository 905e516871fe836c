// The facade's notifications: output queues for the audio thread, program-name refreshes for
// the user-interface thread, and the program names the host reads.
#include "k1AudioProcessor.h"

#include <algorithm>
#include <string>

#include "Log.h"
#include "pluginterfaces/base/ustring.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

void k1AudioProcessor::onParameterChanged(k1lib::EParam param, float normalizedValue) {
    if (param >= k1lib::kParamCount) return;
    std::lock_guard<std::mutex> guard(outputParameterLock);
    outputParameterValues[param] = normalizedValue; // a later value replaces an earlier one
    outputParameterPending[param] = true;
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

void k1AudioProcessor::runPendingCalls() {
    delayedCalls.pump();
}
