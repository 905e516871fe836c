// The host's audio block: host events and parameter changes into the facade, the engine's
// channels into the active output buses, and what the engine produced back to the host.
#include "vst3/k1AudioProcessor.h"

#include <algorithm>
#include <cmath>

#include "log/Log.h"
#include "vst3/k1AudioProcessorMidi.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

tresult PLUGIN_API k1AudioProcessor::process(ProcessData& data) {
    // The host's edits made before this block are in its parameter changes.
    const uint32_t edits = hostEdits;
    // Lines logged from here on (a program change logs two) are written by the log's own thread.
    const k1lib::RealtimeLogScope realtime;
    // Events and parameters are taken even when there is nothing to render into, so that no
    // note is left hanging and the engine follows the host.
    if (data.inputEvents) takeHostEvents(*data.inputEvents);
    if (data.inputParameterChanges) takeParameterChanges(*data.inputParameterChanges);
    // An empty block leaves the queued events for the next one.
    if (data.numSamples > 0) render(data);
    if (data.outputParameterChanges) reportParameters(*data.outputParameterChanges);
    sentSysex.clear(); // the host has read the previous block's events by now
    if (data.outputEvents) reportSysex(*data.outputEvents);
    deliveredHostEdits = edits;
    return kResultOk;
}

void k1AudioProcessor::takeHostEvents(IEventList& events) {
    k1lib::SMidiEvent midi;
    for (int32 i = 0, count = events.getEventCount(); i < count; ++i) {
        Event e{};
        if (events.getEvent(i, e) == kResultOk && hostmidi::fromHostEvent(e, midi)) plugin.addMidiEvent(midi);
    }
}

void k1AudioProcessor::takeParameterChanges(IParameterChanges& changes) {
    // Hosts send their changes in ascending ID order. The play mode decides which parameters take
    // edits (Multi parameters only in Multi mode): the block's Mode change goes first. The program
    // change (224) comes last and replaces every value; Ardour sends its controls' earlier values
    // along with it, which change nothing, while the block's real edits are made again after it.
    blockEdits.fill(false);
    bool programChanged = false;
    const int32 count = changes.getParameterCount();
    for (int32 pass = 0; pass < 2; ++pass) {
        for (int32 i = 0; i < count; ++i) {
            IParamValueQueue* queue = changes.getParameterData(i);
            if (queue && (queue->getParameterId() == k1lib::Param_Mode) == (pass == 0))
                programChanged = takeParameterChange(*queue) || programChanged;
        }
    }
    if (!programChanged) return;
    for (uint32_t p = 0; p < k1lib::kParamCount; ++p)
        if (blockEdits[p]) takeHostEdit(static_cast<k1lib::EParam>(p), blockEditValues[p]);
}

bool k1AudioProcessor::takeParameterChange(IParamValueQueue& queue) {
    if (queue.getPointCount() <= 0) return false;
    const ParamID id = queue.getParameterId();
    if (id >= kFirstMidiParam && id <= kLastMidiParam) {
        takeMidiParameter(id, queue);
        return false;
    }
    // Only the value at the end of the block counts.
    int32 offset = 0;
    ParamValue value = 0.0;
    if (queue.getPoint(queue.getPointCount() - 1, offset, value) != kResultOk) return false;
    if (id == kProgramParam) {
        selectProgram(value);
        // The host's own choice needs no echo.
        std::lock_guard<std::mutex> guard(outputParameterLock);
        outputProgramPending = false;
        return true;
    }
    const auto param = k1ParamOf(id);
    if (param && takeHostEdit(*param, static_cast<float>(value))) {
        blockEdits[*param] = true;
        blockEditValues[*param] = static_cast<float>(value);
    }
    return false;
}

bool k1AudioProcessor::takeHostEdit(k1lib::EParam param, float value) {
    if (!plugin.setParameter(param, value)) {
        // A refused edit: the host holds its own value until it re-reads the instrument's, which
        // the facade has just reported.
        std::lock_guard<std::mutex> guard(outputParameterLock);
        if (std::isfinite(value) && value != plugin.getParameter(param)) hostValues[param] = value;
        return false;
    }
    // A value the engine reported earlier in this block (a program change before this edit) is
    // older than the host's own: it must not go back and undo the edit.
    std::lock_guard<std::mutex> guard(outputParameterLock);
    outputParameterPending[param] = false;
    hostValues[param] = value;
    return true;
}

void k1AudioProcessor::takeMidiParameter(ParamID id, IParamValueQueue& queue) {
    // Hosts send every parameter's stored value when they load a project: a controller whose
    // value does not change sends nothing, or volume 0 and program 0 would replay on every load.
    std::atomic<float>& current = controllerValues[id - kFirstMidiParam];
    k1lib::SMidiEvent midi;
    for (int32 p = 0, count = queue.getPointCount(); p < count; ++p) {
        int32 offset = 0;
        ParamValue value = 0.0;
        float v = 0.0f;
        if (queue.getPoint(p, offset, value) != kResultOk || !hostmidi::normalized(value, v) || v == current)
            continue;
        current = v;
        if (hostmidi::fromControllerParameter(id, v, offset, midi)) plugin.addMidiEvent(midi);
    }
}

void k1AudioProcessor::selectProgram(ParamValue value) {
    float v = 0.0f;
    if (!hostmidi::normalized(value, v)) return;
    const auto position = static_cast<size_t>(std::lround(static_cast<double>(totalPresetCount() - 1) * v));
    const size_t singles = k1lib::Engine::singleCount();
    const bool multi = position >= singles;
    plugin.setPlayMode(multi ? k1lib::PlayMode_Multi : k1lib::PlayMode_Single);
    if (!plugin.setCurrentPresetIndex(multi ? position - singles : position))
        k1lib::log("selectProgram", 119, "No preset at program position ", position);
}

void k1AudioProcessor::render(ProcessData& data) {
    const auto samples = static_cast<size_t>(data.numSamples);
    if (scratchChannel.size() < samples) scratchChannel.resize(samples, 0.0f);
    float* channels[kMaxOutputChannels];
    std::fill_n(channels, kMaxOutputChannels, scratchChannel.data());

    // The channels of the active buses that have buffers, in bus order: an inactive bus takes no
    // slot, so the buses after it move down. With only the main bus active, the engine mixes
    // everything into it. Missing channels render into the scratch channel.
    const uint32_t activeBuses = activeOutputBusMask;
    const uint32_t mask = activeBuses > 1 ? activeBuses : 1;
    const int32 buses = data.outputs ? std::min(data.numOutputs, int32(32)) : 0;
    size_t used = 0;
    for (int32 b = 0; b < buses; ++b) {
        AudioBusBuffers& bus = data.outputs[b];
        if (!bus.channelBuffers32 || bus.numChannels <= 0) continue;
        const bool active = (mask >> b) & 1;
        bus.silenceFlags = 0;
        for (int32 c = 0; c < bus.numChannels; ++c) {
            float* channel = bus.channelBuffers32[c];
            if (active && used < kMaxOutputChannels) {
                if (channel) channels[used] = channel;
                ++used;
            } else if (channel) { // beyond the eight channels, or an inactive bus: silence
                std::fill_n(channel, samples, 0.0f);
                bus.silenceFlags |= uint64(1) << std::min(c, int32(63));
            }
        }
    }
    // Several buses: the engine's eight channels in order. Otherwise the main bus's two, into
    // scratch when the host provides none, so events and parameters still take effect.
    const size_t count = mask > 1 ? kMaxOutputChannels : std::max<size_t>(used, 2);
    if (!plugin.process(channels, count, samples)) return;
    // The engine's idle path: every bus is exact silence, and the host may skip work downstream.
    for (int32 b = 0; b < buses; ++b) {
        AudioBusBuffers& bus = data.outputs[b];
        if (bus.channelBuffers32 && bus.numChannels > 0)
            bus.silenceFlags = (uint64(1) << std::min(bus.numChannels, int32(63))) - 1;
    }
}

namespace {

// False, with the log line, when the host takes no more parameter changes this block.
bool reportValue(IParameterChanges& changes, ParamID id, ParamValue value) {
    int32 index = 0;
    IParamValueQueue* queue = changes.addParameterData(id, index);
    if (!queue) {
        k1lib::log("process", 373, "Host gave up accepting more parameter changes");
        return false;
    }
    queue->addPoint(0, value, index);
    return true;
}

} // namespace

void k1AudioProcessor::reportParameters(IParameterChanges& changes) {
    std::lock_guard<std::mutex> guard(outputParameterLock);
    const bool holdUnread = hostReReads;
    // Ascending IDs; what the host refuses, or has not re-read yet, waits for a later block.
    for (uint32_t p = 0; p < k1lib::kParamCount; ++p) {
        if (!outputParameterPending[p]) continue;
        if (holdUnread && outputParameterChange[p] > lastChangeReRead) continue;
        if (!reportValue(changes, p, outputParameterValues[p])) return;
        outputParameterPending[p] = false;
    }
    if (outputProgramPending && reportValue(changes, kProgramParam, outputProgramValue))
        outputProgramPending = false;
}

void k1AudioProcessor::reportSysex(IEventList& events) {
    std::lock_guard<std::mutex> guard(midiOutputLock);
    while (!midiOutputQueue.empty()) {
        k1lib::SMidiEvent& message = midiOutputQueue.front();
        if (!message.sysex.empty()) {
            Event e{};
            e.busIndex = 0;
            e.sampleOffset = 0;
            e.type = Event::kDataEvent;
            e.data.type = DataEvent::kMidiSysEx;
            e.data.size = static_cast<uint32>(message.sysex.size());
            e.data.bytes = message.sysex.data();
            if (events.addEvent(e) != kResultOk) return; // the rest waits for the next block
            // The host reads the bytes after process returns: they live until the next block.
            sentSysex.push_back(std::move(message));
        }
        midiOutputQueue.pop_front();
    }
    midiOutputOverflowLogged = false;
}
