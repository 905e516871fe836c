// Set-up, buses, the host parameters, units and program list, the MIDI controller mapping.
#include "k1AudioProcessor.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "Log.h"
#include "k1EditController.h"
#include "pluginterfaces/base/ustring.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

bool isK1Param(ParamID id) {
    return id < k1lib::kParamCount;
}

void toHostText(String128 text, const std::string& ascii) {
    UString(text, 128).fromAscii(ascii.c_str());
}

} // namespace

FUnknown* k1AudioProcessor::createInstance(void* /*context*/) {
    return static_cast<IAudioProcessor*>(new k1AudioProcessor);
}

uint32_t k1AudioProcessor::totalPresetCount() {
    return static_cast<uint32_t>(k1lib::Engine::singleCount() + k1lib::Engine::multiCount());
}

k1AudioProcessor::k1AudioProcessor() : plugin(this, k1lib::PluginType_Vst3) {
    sentSysex.reserve(kMaxQueuedSysex); // the audio thread only moves messages in
    buildUnitAndProgramList();
    delayedCalls.addRefreshList(kProgramListId, totalPresetCount(),
                                [this](uint32_t first, uint32_t count) { updateProgramNames(first, count); });
    listening = true;
}

k1AudioProcessor::~k1AudioProcessor() {
    listening = false;
}

void k1AudioProcessor::buildUnitAndProgramList() {
    // Built once: they survive terminate, so a host may initialise the object again.
    addUnit(new Unit(STR16("Root"), kRootUnitId, kNoParentUnitId, kProgramListId));
    auto* list = new ProgramList(STR16("Single"), kProgramListId, kRootUnitId);
    String128 name;
    for (uint32_t i = 0, count = totalPresetCount(); i < count; ++i) {
        toHostText(name, presetName(i));
        list->addProgram(name);
    }
    addProgramList(list);
}

tresult PLUGIN_API k1AudioProcessor::initialize(FUnknown* context) {
    const tresult result = k1SingleComponentEffect::initialize(context);
    if (result != kResultOk) return result;
    addAudioOutput(STR16("Stereo Out"), SpeakerArr::kStereo, BusInfo::kDefaultActive);
    addAudioOutput(STR16("Source / Multi 3"), SpeakerArr::kMono, 0);
    addAudioOutput(STR16("Source / Multi 4"), SpeakerArr::kMono, 0);
    addAudioOutput(STR16("Multi 5"), SpeakerArr::kMono, 0);
    addAudioOutput(STR16("Multi 6"), SpeakerArr::kMono, 0);
    addAudioOutput(STR16("Multi 7"), SpeakerArr::kMono, 0);
    addAudioOutput(STR16("Multi 8"), SpeakerArr::kMono, 0);
    addEventInput(STR16("Midi In"), 16, BusInfo::kDefaultActive);
    addEventOutput(STR16("Midi Out"), 16, BusInfo::kDefaultActive);
    // Some hosts offer their run loop here; otherwise refreshes wait for the editor's frame.
    delayedCalls.attachRunLoop(context);
    return result;
}

tresult PLUGIN_API k1AudioProcessor::terminate() {
    delayedCalls.detachRunLoop();
    return k1SingleComponentEffect::terminate();
}

tresult PLUGIN_API k1AudioProcessor::setupProcessing(ProcessSetup& setup) {
    plugin.setSampleRate(static_cast<float>(setup.sampleRate));
    // Sized here, off the audio thread, for the longest block the host announces.
    if (setup.maxSamplesPerBlock > 0 && scratchChannel.size() < static_cast<size_t>(setup.maxSamplesPerBlock))
        scratchChannel.resize(static_cast<size_t>(setup.maxSamplesPerBlock), 0.0f);
    return k1SingleComponentEffect::setupProcessing(setup);
}

tresult PLUGIN_API k1AudioProcessor::setProcessing(TBool /*state*/) {
    return kNotImplemented;
}

tresult PLUGIN_API k1AudioProcessor::setActive(TBool state) {
    // Hosts activate around every render: each one starts without sounding voices.
    if (state) plugin.clearAllVoices();
    return k1SingleComponentEffect::setActive(state);
}

tresult PLUGIN_API k1AudioProcessor::activateBus(MediaType type, BusDirection dir, int32 index, TBool state) {
    // The base refuses indexes outside the declared buses, so only those reach the mask.
    const tresult result = k1SingleComponentEffect::activateBus(type, dir, index, state);
    if (type == kAudio && dir == kOutput && result == kResultTrue) {
        k1lib::log("activateBus", 670, "activateBus type=", type, " dir=", dir, " index=", index,
                   " state=", state ? 1 : 0);
        const uint32_t bit = 1u << index;
        if (state)
            activeOutputBusMask |= bit;
        else
            activeOutputBusMask &= ~bit;
    }
    return result;
}

tresult PLUGIN_API k1AudioProcessor::getParameterInfo(int32 index, ParameterInfo& info) {
    if (index < 0 || index >= kParamCount) return kResultFalse;
    info = {};
    info.id = static_cast<ParamID>(index);
    info.unitId = kRootUnitId;
    if (isK1Param(info.id)) {
        const k1lib::CParam& row = k1lib::g_params[index];
        toHostText(info.title, row.name);
        toHostText(info.shortTitle, row.name);
        info.stepCount = row.step > 0.0f ? static_cast<int32>(row.max - row.min) : 0;
        info.defaultNormalizedValue = (row.defaultValue - row.min) * row.rangeInv;
        if (info.id >= k1lib::Param_SourceS1Wave && info.id <= k1lib::Param_SourceS4Wave)
            info.flags = ParameterInfo::kCanAutomate | ParameterInfo::kIsList;
        else if (info.id > k1lib::Param_Name10) // the Single's name characters are not automated
            info.flags = ParameterInfo::kCanAutomate;
    } else if (info.id == kProgramParam) {
        info.flags = ParameterInfo::kIsProgramChange | ParameterInfo::kIsList;
        info.stepCount = static_cast<int32>(totalPresetCount()) - 1;
    } else {
        info.flags = ParameterInfo::kCanAutomate;
    }
    return kResultOk;
}

tresult PLUGIN_API k1AudioProcessor::getParamStringByValue(ParamID id, ParamValue value, String128 text) {
    if (!isK1Param(id)) {
        toHostText(text, "Midi");
        return kResultOk;
    }
    // The table's texts index by the plain value: keep it inside the parameter's range.
    const float normalized = std::isfinite(value) ? static_cast<float>(std::clamp(value, 0.0, 1.0)) : 0.0f;
    const k1lib::CParam& row = k1lib::g_params[id];
    toHostText(text, row.formatValue(static_cast<k1lib::EParam>(id), normalized * row.range + row.min));
    return kResultOk;
}

ParamValue PLUGIN_API k1AudioProcessor::normalizedParamToPlain(ParamID id, ParamValue value) {
    if (!isK1Param(id)) return 0.0;
    const k1lib::CParam& row = k1lib::g_params[id];
    return static_cast<float>(value) * row.range + row.min;
}

ParamValue PLUGIN_API k1AudioProcessor::plainParamToNormalized(ParamID id, ParamValue plain) {
    if (!isK1Param(id)) return 0.0;
    const k1lib::CParam& row = k1lib::g_params[id];
    return (static_cast<float>(plain) - row.min) * row.rangeInv;
}

ParamValue PLUGIN_API k1AudioProcessor::getParamNormalized(ParamID id) {
    if (isK1Param(id)) return plugin.getParameter(static_cast<k1lib::EParam>(id));
    if (id >= kFirstMidiParam && id <= kLastMidiParam) return controllerValues[id - kFirstMidiParam];
    if (id != kProgramParam) return 0.0;
    size_t position = plugin.getCurrentPresetIndex();
    if (plugin.getPlayMode() == k1lib::PlayMode_Multi) position += k1lib::Engine::singleCount();
    return static_cast<double>(position) / static_cast<double>(totalPresetCount() - 1);
}

tresult PLUGIN_API k1AudioProcessor::setParamNormalized(ParamID id, ParamValue value) {
    k1lib::log("setParamNormalized", 613, "setParamNormalized ", id, " ", value);
    if (id >= static_cast<ParamID>(kParamCount)) return kResultFalse;
    // The value reaches the engine as a parameter change of the next block; an open editor
    // shows it now.
    if (isK1Param(id) && view && view->getEditor()) {
        k1lib::PluginToEditorEvent event;
        event.type = k1lib::PluginToEditorEvent::ParameterChanged;
        event.param = id;
        event.value = static_cast<float>(value);
        view->getEditor()->onEvent(event);
    }
    return kResultOk;
}

IPlugView* PLUGIN_API k1AudioProcessor::createView(FIDString name) {
    if (!name || view || std::strcmp(name, "editor") != 0) return nullptr;
    // A window the host closed and opens again comes back at the size it was closed with.
    view = new k1EditController(this, hasLastViewSize ? &lastViewSize : nullptr, plugin);
    return view;
}

void k1AudioProcessor::onViewRemoved(k1EditController* removed) {
    if (view != removed) return;
    lastViewSize = removed->getRect();
    hasLastViewSize = true;
    view = nullptr;
}


tresult PLUGIN_API k1AudioProcessor::getMidiControllerAssignment(int32 busIndex, int16 /*channel*/,
                                                                 CtrlNumber controller, ParamID& id) {
    if (busIndex != 0) return kResultFalse;
    struct Assignment {
        CtrlNumber controller;
        ParamID id;
    };
    static constexpr Assignment table[] = {
        {kCtrlModWheel, 210},     {kCtrlDataEntryMSB, 214},  {kCtrlVolume, 215},
        {kCtrlPan, 216},          {kCtrlBankSelectLSB, 213}, {kCtrlSustainOnOff, 217},
        {kCtrlRPNSelectLSB, 211}, {kCtrlRPNSelectMSB, 212},  {kCtrlAllNotesOff, 218},
        {kCtrlOmniModeOff, 220},  {kCtrlOmniModeOn, 219},    {kAfterTouch, 222},
        {kPitchBend, 221},        {kCtrlProgramChange, 223},
    };
    for (const Assignment& a : table) {
        if (a.controller != controller) continue;
        id = a.id;
        return kResultOk;
    }
    return kResultFalse;
}

tresult PLUGIN_API k1AudioProcessor::queryInterface(const TUID iid, void** obj) {
    QUERY_INTERFACE(iid, obj, IMidiMapping::iid, IMidiMapping)
    return k1SingleComponentEffect::queryInterface(iid, obj);
}
