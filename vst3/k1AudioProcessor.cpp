// Set-up, buses, the host parameters, units and program list, the MIDI controller mapping.
#include "vst3/k1AudioProcessor.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "log/Log.h"
#include "pluginterfaces/base/ustring.h"
#include "vst3/k1AudioProcessorMidi.h"
#include "vst3/k1EditController.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

void toHostText(String128 text, const std::string& ascii) {
    UString(text, 128).fromAscii(ascii.c_str());
}

// The steps of a host parameter beyond the K1's: the program list or a MIDI value; 0 if none.
int32 stepCountOf(ParamID id) {
    if (id == k1AudioProcessor::kProgramParam)
        return static_cast<int32>(k1AudioProcessor::totalPresetCount()) - 1;
    const hostmidi::ControllerParameter* controller = hostmidi::controllerParameter(id);
    return controller ? controller->steps : 0;
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
    delayedCalls.addRefreshList(kHostValuesRefresh, 1,
                                [this](uint32_t, uint32_t) { tellHostValuesChanged(); });
    // The host's first picture of the values: the declared defaults, which are these.
    for (uint32_t p = 0; p < k1lib::kParamCount; ++p)
        freshValues[p] = plugin.getParameter(static_cast<k1lib::EParam>(p));
    hostValues = freshValues;
    for (ParamID id = kFirstMidiParam; id <= kLastMidiParam; ++id)
        controllerValues[id - kFirstMidiParam] =
            static_cast<float>(hostmidi::controllerParameter(id)->defaultValue);
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
    addEventInput(STR16("Midi In"), k1lib::kMidiChannelCount, BusInfo::kDefaultActive);
    addEventOutput(STR16("Midi Out"), k1lib::kMidiChannelCount, BusInfo::kDefaultActive);
    // Deferred work runs on this thread: from the host's run loop where its context offers one,
    // else from the host's own later calls on this thread, or from an editor's run loop.
    delayedCalls.recordUserInterfaceThread();
    delayedCalls.attachRunLoop(context);
    // Hosts start their controls at the declared defaults: a state loaded before initialize
    // (or since an earlier one) leaves values that differ.
    queueValuesUnlikeDefaults();
    delayHostValuesRefresh();
    return result;
}

tresult PLUGIN_API k1AudioProcessor::terminate() {
    delayedCalls.detachRunLoop();
    return k1SingleComponentEffect::terminate();
}

tresult PLUGIN_API k1AudioProcessor::setupProcessing(ProcessSetup& setup) {
    plugin.setSampleRate(static_cast<float>(setup.sampleRate));
    latencySamples = static_cast<uint32_t>(std::lround(k1lib::Resampler::latency(
        k1lib::Engine::kProcessingSamplerate, static_cast<float>(setup.sampleRate))));
    // Sized here, off the audio thread, for the longest block the host announces.
    if (setup.maxSamplesPerBlock > 0 && scratchChannel.size() < static_cast<size_t>(setup.maxSamplesPerBlock))
        scratchChannel.resize(static_cast<size_t>(setup.maxSamplesPerBlock), 0.0f);
    return k1SingleComponentEffect::setupProcessing(setup);
}

tresult PLUGIN_API k1AudioProcessor::setProcessing(TBool /*state*/) {
    return kNotImplemented;
}

tresult PLUGIN_API k1AudioProcessor::setActive(TBool state) {
    // Hosts activate around every render: each one starts from silence and renders the same.
    if (state) {
        plugin.reset();
        replayExpected = true;
    }
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
    if (const auto param = k1ParamOf(info.id)) {
        const k1lib::CParam& row = k1lib::g_params[*param];
        toHostText(info.title, row.name);
        toHostText(info.shortTitle, row.name);
        info.stepCount = row.step > 0.0f ? static_cast<int32>(row.max - row.min) : 0;
        info.defaultNormalizedValue = declaredDefault(*param);
        if (*param >= k1lib::Param_SourceS1Wave && *param <= k1lib::Param_SourceS4Wave)
            info.flags = ParameterInfo::kCanAutomate | ParameterInfo::kIsList;
        else if (*param > k1lib::Param_Name10) // the Single's name characters are not automated
            info.flags = ParameterInfo::kCanAutomate;
    } else if (info.id == kProgramParam) {
        toHostText(info.title, "Program");
        toHostText(info.shortTitle, "Program");
        info.flags = ParameterInfo::kIsProgramChange | ParameterInfo::kIsList;
        info.stepCount = static_cast<int32>(totalPresetCount()) - 1;
    } else if (const hostmidi::ControllerParameter* controller = hostmidi::controllerParameter(info.id)) {
        toHostText(info.title, controller->title);
        toHostText(info.shortTitle, controller->title);
        info.stepCount = controller->steps;
        info.defaultNormalizedValue = controller->defaultValue;
        info.flags = ParameterInfo::kCanAutomate;
    } else { // the reserved ID carries nothing: kept out of the host's controls
        toHostText(info.title, "Reserved");
        toHostText(info.shortTitle, "Reserved");
        info.flags = ParameterInfo::kIsReadOnly | ParameterInfo::kIsHidden;
    }
    return kResultOk;
}

std::optional<k1lib::EParam> k1AudioProcessor::k1ParamOf(ParamID id) {
    if (id >= k1lib::kParamCount) return std::nullopt;
    return static_cast<k1lib::EParam>(id);
}

tresult PLUGIN_API k1AudioProcessor::getParamStringByValue(ParamID id, ParamValue value, String128 text) {
    // The texts index by the plain value: keep it inside the parameter's range.
    const float normalized = std::isfinite(value) ? static_cast<float>(std::clamp(value, 0.0, 1.0)) : 0.0f;
    const auto param = k1ParamOf(id);
    if (!param) {
        const hostmidi::ControllerParameter* controller = hostmidi::controllerParameter(id);
        if (controller)
            toHostText(text, hostmidi::controllerText(*controller, normalized));
        else if (id == kProgramParam)
            toHostText(text, programText(normalized));
        else
            toHostText(text, "");
        return kResultOk;
    }
    const k1lib::CParam& row = k1lib::g_params[*param];
    toHostText(text, row.formatValue(*param, normalized * row.range + row.min));
    return kResultOk;
}

ParamValue PLUGIN_API k1AudioProcessor::normalizedParamToPlain(ParamID id, ParamValue value) {
    const auto param = k1ParamOf(id);
    if (!param) return value * stepCountOf(id);
    const k1lib::CParam& row = k1lib::g_params[*param];
    return static_cast<float>(value) * row.range + row.min;
}

ParamValue PLUGIN_API k1AudioProcessor::plainParamToNormalized(ParamID id, ParamValue plain) {
    const auto param = k1ParamOf(id);
    if (!param) {
        const int32 steps = stepCountOf(id);
        return steps > 0 ? plain / steps : 0.0;
    }
    const k1lib::CParam& row = k1lib::g_params[*param];
    return (static_cast<float>(plain) - row.min) * row.rangeInv;
}

ParamValue PLUGIN_API k1AudioProcessor::getParamNormalized(ParamID id) {
    onHostCall();
    if (const auto param = k1ParamOf(id)) return plugin.getParameter(*param);
    if (id >= kFirstMidiParam && id <= kLastMidiParam) return controllerValues[id - kFirstMidiParam];
    return id == kProgramParam ? programValue() : 0.0;
}

tresult PLUGIN_API k1AudioProcessor::setParamNormalized(ParamID id, ParamValue value) {
    ++hostEdits; // before the deferred work runs: no "values changed" while this edit is in flight
    onHostCall();
    k1lib::log("setParamNormalized", 613, "setParamNormalized ", id, " ", value);
    if (id >= static_cast<ParamID>(kParamCount)) return kResultFalse;
    const auto param = k1ParamOf(id);
    if (param) onValueToldToHost(*param, static_cast<float>(value));
    // The value reaches the engine as a parameter change of the next block; an open editor
    // shows it now.
    if (param && view && view->getEditor())
        view->getEditor()->onEvent(
            k1lib::PluginToEditorEvent::parameterChanged(*param, static_cast<float>(value)));
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
    // Program change (130) is no controller: hosts send it to the program-change parameter.
    if (busIndex != 0 || controller < 0 || controller >= kCountCtrlNumber) return kResultFalse;
    for (ParamID candidate = kFirstMidiParam; candidate <= kLastMidiParam; ++candidate) {
        const hostmidi::ControllerParameter* p = hostmidi::controllerParameter(candidate);
        const bool maps = (p->status == 0xB0 && p->controller == controller) ||
                          (p->status == 0xD0 && controller == kAfterTouch) ||
                          (p->status == 0xE0 && controller == kPitchBend);
        if (!maps) continue;
        id = candidate;
        return kResultOk;
    }
    return kResultFalse;
}

tresult PLUGIN_API k1AudioProcessor::queryInterface(const TUID iid, void** obj) {
    QUERY_INTERFACE(iid, obj, IMidiMapping::iid, IMidiMapping)
    return k1SingleComponentEffect::queryInterface(iid, obj);
}
