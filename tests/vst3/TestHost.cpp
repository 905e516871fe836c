#include "tests/vst3/TestHost.h"

#include <algorithm>
#include <tuple>

namespace testhost {

using namespace Steinberg::Vst;

tresult PLUGIN_API FakeRunLoop::registerTimer(Linux::ITimerHandler* handler, Linux::TimerInterval ms) {
    timers.push_back(handler);
    interval = ms;
    return kResultOk;
}

tresult PLUGIN_API FakeRunLoop::unregisterTimer(Linux::ITimerHandler* handler) {
    std::erase(timers, handler);
    return kResultOk;
}

void FakeRunLoop::tick() {
    for (Linux::ITimerHandler* t : std::vector<Linux::ITimerHandler*>(timers))
        t->onTimer();
}

tresult PLUGIN_API EventList::getEvent(int32 index, Event& e) {
    if (index < 0 || index >= getEventCount()) return kInvalidArgument;
    e = events[static_cast<size_t>(index)];
    return kResultOk;
}

tresult PLUGIN_API EventList::addEvent(Event& e) {
    if (events.size() >= capacity) return kOutOfMemory;
    events.push_back(e);
    return kResultOk;
}

void EventList::noteOn(int16 pitch, float velocity, int32 offset, int16 channel) {
    Event e{};
    e.type = Event::kNoteOnEvent;
    e.sampleOffset = offset;
    e.noteOn.pitch = pitch;
    e.noteOn.velocity = velocity;
    e.noteOn.channel = channel;
    events.push_back(e);
}

void EventList::data(const std::vector<uint8>& bytes, int32 offset) {
    keptBytes.push_back(bytes);
    Event e{};
    e.type = Event::kDataEvent;
    e.sampleOffset = offset;
    e.data.type = DataEvent::kMidiSysEx;
    e.data.size = static_cast<uint32>(bytes.size());
    e.data.bytes = keptBytes.back().data();
    events.push_back(e);
}

tresult PLUGIN_API ParamValueQueue::getPoint(int32 index, int32& offset, ParamValue& value) {
    if (index < 0 || index >= getPointCount()) return kInvalidArgument;
    std::tie(offset, value) = points[static_cast<size_t>(index)];
    return kResultOk;
}

tresult PLUGIN_API ParamValueQueue::addPoint(int32 offset, ParamValue value, int32& index) {
    index = getPointCount();
    points.emplace_back(offset, value);
    return kResultOk;
}

IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData(int32 index) {
    return index >= 0 && index < getParameterCount() ? &queues[static_cast<size_t>(index)] : nullptr;
}

IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData(const ParamID& id, int32& index) {
    if (queues.size() >= capacity) return nullptr;
    index = getParameterCount();
    queues.emplace_back(id);
    return &queues.back();
}

void ParameterChanges::add(ParamID id, std::vector<std::pair<int32, ParamValue>> points) {
    queues.emplace_back(id);
    queues.back().points = std::move(points);
}

std::vector<ParamID> ParameterChanges::ids() const {
    std::vector<ParamID> result;
    for (const ParamValueQueue& q : queues)
        result.push_back(q.id);
    return result;
}

tresult PLUGIN_API HandlerRecorder::queryInterface(const TUID iid, void** obj) {
    if (std::memcmp(iid, IUnitHandler::iid.toTUID(), sizeof(TUID)) == 0) {
        addRef();
        *obj = static_cast<IUnitHandler*>(this);
        return kResultOk;
    }
    if (std::memcmp(iid, IComponentHandler::iid.toTUID(), sizeof(TUID)) == 0 ||
        std::memcmp(iid, FUnknown::iid.toTUID(), sizeof(TUID)) == 0) {
        addRef();
        *obj = static_cast<IComponentHandler*>(this);
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

OutputBlock::OutputBlock(int32 frames) : numSamples(frames) {
    for (int32 b = 0; b < 7; ++b) {
        const size_t channels = b == 0 ? 2 : 1;
        samples.emplace_back(channels, std::vector<float>(static_cast<size_t>(frames), 0.0f));
    }
    for (auto& bus : samples) {
        pointers.emplace_back();
        for (auto& channel : bus)
            pointers.back().push_back(channel.data());
    }
    for (auto& bus : pointers) {
        AudioBusBuffers buffers{};
        buffers.numChannels = static_cast<int32>(bus.size());
        buffers.channelBuffers32 = bus.data();
        buses.push_back(buffers);
    }
}

ProcessData OutputBlock::data() {
    ProcessData data;
    data.numSamples = numSamples;
    data.numOutputs = static_cast<int32>(buses.size());
    data.outputs = buses.data();
    return data;
}

bool OutputBlock::silent(int32 bus) const {
    for (const auto& channel : samples[static_cast<size_t>(bus)])
        if (std::any_of(channel.begin(), channel.end(), [](float s) { return s != 0.0f; })) return false;
    return true;
}

} // namespace testhost
