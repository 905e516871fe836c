#pragma once
// Audio processor and edit controller in one object, as hosts expect from a plug-in that
// reports no separate controller class. Subclasses declare their buses in initialize() after
// calling this base, and implement process(); units, program lists and the component handler
// come from EditControllerEx1.
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "public.sdk/source/vst/vstbus.h"
#include "public.sdk/source/vst/vsteditcontroller.h"

class k1SingleComponentEffect : public Steinberg::Vst::EditControllerEx1,
                                public Steinberg::Vst::IComponent,
                                public Steinberg::Vst::IAudioProcessor {
public:
    using tresult = Steinberg::tresult;
    using int32 = Steinberg::int32;
    using uint32 = Steinberg::uint32;
    using TBool = Steinberg::TBool;
    using MediaType = Steinberg::Vst::MediaType;
    using BusDirection = Steinberg::Vst::BusDirection;
    using SpeakerArrangement = Steinberg::Vst::SpeakerArrangement;

    k1SingleComponentEffect();
    ~k1SingleComponentEffect() override;

    // IPluginBase, reached through both the component and the controller. Hosts call both
    // twice on the one object: a second initialize answers kResultFalse and changes nothing,
    // terminate may be repeated, and initialize after terminate starts over.
    tresult PLUGIN_API initialize(Steinberg::FUnknown* context) override;
    tresult PLUGIN_API terminate() override;

    // IComponent
    tresult PLUGIN_API getControllerClassId(Steinberg::TUID classId) override;
    tresult PLUGIN_API setIoMode(Steinberg::Vst::IoMode mode) override;
    int32 PLUGIN_API getBusCount(MediaType type, BusDirection dir) override;
    tresult PLUGIN_API getBusInfo(MediaType type, BusDirection dir, int32 index,
                                  Steinberg::Vst::BusInfo& info) override;
    tresult PLUGIN_API getRoutingInfo(Steinberg::Vst::RoutingInfo& inInfo,
                                      Steinberg::Vst::RoutingInfo& outInfo) override;
    tresult PLUGIN_API activateBus(MediaType type, BusDirection dir, int32 index, TBool state) override;
    tresult PLUGIN_API setActive(TBool state) override;
    // One state for both faces: IComponent and IEditController share these signatures.
    tresult PLUGIN_API setState(Steinberg::IBStream* state) override;
    tresult PLUGIN_API getState(Steinberg::IBStream* state) override;

    // IAudioProcessor
    tresult PLUGIN_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                          SpeakerArrangement* outputs, int32 numOuts) override;
    tresult PLUGIN_API getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) override;
    tresult PLUGIN_API canProcessSampleSize(int32 symbolicSampleSize) override;
    uint32 PLUGIN_API getLatencySamples() override { return 0; }
    tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) override;
    tresult PLUGIN_API setProcessing(TBool state) override;
    uint32 PLUGIN_API getTailSamples() override { return 0; }

    OBJ_METHODS(k1SingleComponentEffect, EditControllerEx1)
    tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
    REFCOUNT_METHODS(EditControllerEx1)

protected:
    Steinberg::Vst::AudioBus* addAudioOutput(const Steinberg::Vst::TChar* name, SpeakerArrangement arr,
                                             int32 flags);
    Steinberg::Vst::EventBus* addEventInput(const Steinberg::Vst::TChar* name, int32 channels, int32 flags);
    Steinberg::Vst::EventBus* addEventOutput(const Steinberg::Vst::TChar* name, int32 channels, int32 flags);
    Steinberg::Vst::BusList* getBusList(MediaType type, BusDirection dir);
    void removeAllBusses();

    Steinberg::Vst::ProcessSetup processSetup{};

private:
    Steinberg::Vst::BusList audioInputs{Steinberg::Vst::kAudio, Steinberg::Vst::kInput};
    Steinberg::Vst::BusList audioOutputs{Steinberg::Vst::kAudio, Steinberg::Vst::kOutput};
    Steinberg::Vst::BusList eventInputs{Steinberg::Vst::kEvent, Steinberg::Vst::kInput};
    Steinberg::Vst::BusList eventOutputs{Steinberg::Vst::kEvent, Steinberg::Vst::kOutput};
    bool initialized = false;
};
