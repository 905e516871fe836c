#include "vst3/SingleComponentEffect.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

k1SingleComponentEffect::k1SingleComponentEffect() = default;

k1SingleComponentEffect::~k1SingleComponentEffect() {
    // Units and program lists live as long as the object (terminate keeps them so that a host may
    // initialise again); here they go, and the lists stop reporting to this controller.
    EditControllerEx1::terminate();
}

tresult PLUGIN_API k1SingleComponentEffect::initialize(FUnknown* context) {
    if (initialized) return kResultFalse;
    const tresult result = EditControllerEx1::initialize(context);
    if (result == kResultOk) initialized = true;
    return result;
}

tresult PLUGIN_API k1SingleComponentEffect::terminate() {
    if (!initialized) return kResultOk;
    initialized = false;
    removeAllBusses();
    // EditController's part only: EditControllerEx1 would drop the units and program lists,
    // which the subclass builds once, in its constructor.
    return EditController::terminate();
}

tresult PLUGIN_API k1SingleComponentEffect::getControllerClassId(TUID /*classId*/) {
    return kNotImplemented; // no separate controller: hosts query IEditController from this object
}

tresult PLUGIN_API k1SingleComponentEffect::setIoMode(IoMode /*mode*/) {
    return kNotImplemented;
}

int32 PLUGIN_API k1SingleComponentEffect::getBusCount(MediaType type, BusDirection dir) {
    const BusList* list = getBusList(type, dir);
    return list ? static_cast<int32>(list->size()) : 0;
}

tresult PLUGIN_API k1SingleComponentEffect::getBusInfo(MediaType type, BusDirection dir, int32 index,
                                                       BusInfo& info) {
    BusList* list = getBusList(type, dir);
    if (!list || index < 0 || index >= static_cast<int32>(list->size())) return kInvalidArgument;
    // Bus::getInfo leaves these two to the caller, as the SDK's component base fills them.
    info.mediaType = type;
    info.direction = dir;
    return list->at(index)->getInfo(info) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API k1SingleComponentEffect::getRoutingInfo(RoutingInfo& /*inInfo*/,
                                                           RoutingInfo& /*outInfo*/) {
    return kNotImplemented;
}

tresult PLUGIN_API k1SingleComponentEffect::activateBus(MediaType type, BusDirection dir, int32 index,
                                                        TBool state) {
    BusList* list = getBusList(type, dir);
    if (!list || index < 0 || index >= static_cast<int32>(list->size())) return kInvalidArgument;
    list->at(index)->setActive(state);
    return kResultTrue;
}

tresult PLUGIN_API k1SingleComponentEffect::setActive(TBool /*state*/) {
    return kResultOk;
}

tresult PLUGIN_API k1SingleComponentEffect::setState(IBStream* /*state*/) {
    return kNotImplemented;
}

tresult PLUGIN_API k1SingleComponentEffect::getState(IBStream* /*state*/) {
    return kNotImplemented;
}

tresult PLUGIN_API k1SingleComponentEffect::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                               SpeakerArrangement* outputs, int32 numOuts) {
    // Only the declared layout is accepted: the buses are fixed.
    auto matches = [](const BusList& list, const SpeakerArrangement* arrangements, int32 count) {
        if (count != static_cast<int32>(list.size()) || (count > 0 && !arrangements)) return false;
        for (int32 i = 0; i < count; ++i) {
            const auto* bus = static_cast<const AudioBus*>(list.at(i).get());
            if (bus->getArrangement() != arrangements[i]) return false;
        }
        return true;
    };
    return matches(audioInputs, inputs, numIns) && matches(audioOutputs, outputs, numOuts) ? kResultTrue
                                                                                           : kResultFalse;
}

tresult PLUGIN_API k1SingleComponentEffect::getBusArrangement(BusDirection dir, int32 index,
                                                              SpeakerArrangement& arr) {
    const BusList* list = getBusList(kAudio, dir);
    if (!list || index < 0 || index >= static_cast<int32>(list->size())) return kInvalidArgument;
    arr = static_cast<const AudioBus*>(list->at(index).get())->getArrangement();
    return kResultTrue;
}

tresult PLUGIN_API k1SingleComponentEffect::canProcessSampleSize(int32 symbolicSampleSize) {
    return symbolicSampleSize == kSample32 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API k1SingleComponentEffect::setupProcessing(ProcessSetup& setup) {
    processSetup = setup;
    return kResultOk;
}

tresult PLUGIN_API k1SingleComponentEffect::setProcessing(TBool /*state*/) {
    return kResultOk;
}

tresult PLUGIN_API k1SingleComponentEffect::queryInterface(const TUID iid, void** obj) {
    QUERY_INTERFACE(iid, obj, IComponent::iid, IComponent)
    QUERY_INTERFACE(iid, obj, IAudioProcessor::iid, IAudioProcessor)
    return EditControllerEx1::queryInterface(iid, obj);
}

AudioBus* k1SingleComponentEffect::addAudioOutput(const TChar* name, SpeakerArrangement arr, int32 flags) {
    auto* bus = new AudioBus(name, kMain, flags, arr);
    audioOutputs.emplace_back(owned(bus));
    return bus;
}

EventBus* k1SingleComponentEffect::addEventInput(const TChar* name, int32 channels, int32 flags) {
    auto* bus = new EventBus(name, kMain, flags, channels);
    eventInputs.emplace_back(owned(bus));
    return bus;
}

EventBus* k1SingleComponentEffect::addEventOutput(const TChar* name, int32 channels, int32 flags) {
    auto* bus = new EventBus(name, kMain, flags, channels);
    eventOutputs.emplace_back(owned(bus));
    return bus;
}

BusList* k1SingleComponentEffect::getBusList(MediaType type, BusDirection dir) {
    if (type == kAudio) return dir == kInput ? &audioInputs : &audioOutputs;
    if (type == kEvent) return dir == kInput ? &eventInputs : &eventOutputs;
    return nullptr;
}

void k1SingleComponentEffect::removeAllBusses() {
    audioInputs.clear();
    audioOutputs.clear();
    eventInputs.clear();
    eventOutputs.clear();
}
