#pragma once
// A small VST3 host of our own for the tests: a Linux run loop, event lists, parameter change
// lists, a component handler that records what the plug-in tells the host, and a block of
// output buffers.
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/ivstunits.h"

namespace testhost {

using namespace Steinberg;

// Answers one interface besides FUnknown; lives on the stack, so references are only counted.
template <typename Interface> class StackObject : public Interface {
public:
    tresult PLUGIN_API queryInterface(const TUID interfaceId, void** obj) override {
        if (std::memcmp(interfaceId, Interface::iid.toTUID(), sizeof(TUID)) == 0 ||
            std::memcmp(interfaceId, FUnknown::iid.toTUID(), sizeof(TUID)) == 0) {
            addRef();
            *obj = static_cast<Interface*>(this);
            return kResultOk;
        }
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() override { return ++references; }
    uint32 PLUGIN_API release() override { return --references; }
    uint32 references = 1;
};

// A host's Linux run loop as the editor's plug frame or a host context offers it.
class FakeRunLoop final : public StackObject<Linux::IRunLoop> {
public:
    tresult PLUGIN_API registerEventHandler(Linux::IEventHandler*, Linux::FileDescriptor) override {
        return kNotImplemented;
    }
    tresult PLUGIN_API unregisterEventHandler(Linux::IEventHandler*) override { return kNotImplemented; }
    tresult PLUGIN_API registerTimer(Linux::ITimerHandler* handler, Linux::TimerInterval ms) override;
    tresult PLUGIN_API unregisterTimer(Linux::ITimerHandler* handler) override;
    void tick();

    std::vector<Linux::ITimerHandler*> timers;
    Linux::TimerInterval interval = 0;
};

// Hands out events in order; accepts at most `capacity` added events.
class EventList final : public StackObject<Vst::IEventList> {
public:
    explicit EventList(size_t limit = SIZE_MAX) : capacity(limit) {}
    int32 PLUGIN_API getEventCount() override { return static_cast<int32>(events.size()); }
    tresult PLUGIN_API getEvent(int32 index, Vst::Event& e) override;
    tresult PLUGIN_API addEvent(Vst::Event& e) override;

    void noteOn(int16 pitch, float velocity, int32 offset, int16 channel = 0);
    void data(const std::vector<uint8>& bytes, int32 offset);

    std::vector<Vst::Event> events;
    std::vector<std::vector<uint8>> keptBytes; // what data events point at
    size_t capacity;
};

class ParamValueQueue final : public StackObject<Vst::IParamValueQueue> {
public:
    explicit ParamValueQueue(Vst::ParamID paramId) : id(paramId) {}
    Vst::ParamID PLUGIN_API getParameterId() override { return id; }
    int32 PLUGIN_API getPointCount() override { return static_cast<int32>(points.size()); }
    tresult PLUGIN_API getPoint(int32 index, int32& offset, Vst::ParamValue& value) override;
    tresult PLUGIN_API addPoint(int32 offset, Vst::ParamValue value, int32& index) override;

    Vst::ParamID id;
    std::vector<std::pair<int32, Vst::ParamValue>> points;
};

// Accepts at most `capacity` parameter queues.
class ParameterChanges final : public StackObject<Vst::IParameterChanges> {
public:
    explicit ParameterChanges(size_t limit = SIZE_MAX) : capacity(limit) {}
    ParameterChanges(const ParameterChanges&) = delete;
    int32 PLUGIN_API getParameterCount() override { return static_cast<int32>(queues.size()); }
    Vst::IParamValueQueue* PLUGIN_API getParameterData(int32 index) override;
    Vst::IParamValueQueue* PLUGIN_API addParameterData(const Vst::ParamID& id, int32& index) override;

    void add(Vst::ParamID id, std::vector<std::pair<int32, Vst::ParamValue>> points);
    std::vector<Vst::ParamID> ids() const;

    std::vector<ParamValueQueue> queues;
    size_t capacity;
};

// The component handler with the unit handler face: records program list notifications.
class HandlerRecorder final : public Vst::IComponentHandler, public Vst::IUnitHandler {
public:
    tresult PLUGIN_API beginEdit(Vst::ParamID) override { return kResultOk; }
    tresult PLUGIN_API performEdit(Vst::ParamID, Vst::ParamValue) override { return kResultOk; }
    tresult PLUGIN_API endEdit(Vst::ParamID) override { return kResultOk; }
    tresult PLUGIN_API restartComponent(int32 flags) override {
        restarts.push_back(flags);
        return kResultOk;
    }
    tresult PLUGIN_API notifyUnitSelection(Vst::UnitID) override { return kResultOk; }
    tresult PLUGIN_API notifyProgramListChange(Vst::ProgramListID list, int32 index) override {
        programListChanges.emplace_back(list, index);
        return kResultOk;
    }
    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override;
    uint32 PLUGIN_API addRef() override { return ++references; }
    uint32 PLUGIN_API release() override { return --references; }

    std::vector<std::pair<Vst::ProgramListID, int32>> programListChanges;
    std::vector<int32> restarts;
    uint32 references = 1;
};

// Output buffers for the instrument's seven buses: "Stereo Out" and six mono outputs.
struct OutputBlock {
    explicit OutputBlock(int32 samples);
    OutputBlock(const OutputBlock&) = delete;
    // The process data of one block over these buffers (no inputs, events or parameters).
    Vst::ProcessData data();
    const std::vector<float>& channel(int32 bus, int32 channel = 0) const { return samples[bus][channel]; }
    bool silent(int32 bus) const;

    int32 numSamples;
    std::vector<std::vector<std::vector<float>>> samples; // bus, channel, sample
    std::vector<std::vector<float*>> pointers;
    std::vector<Vst::AudioBusBuffers> buses;
};

} // namespace testhost
