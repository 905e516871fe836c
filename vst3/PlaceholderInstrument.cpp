#include "PlaceholderInstrument.h"

#include <algorithm>

using namespace Steinberg;
using namespace Steinberg::Vst;

FUnknown* k1PlaceholderInstrument::createInstance(void* /*context*/) {
    return static_cast<IAudioProcessor*>(new k1PlaceholderInstrument);
}

tresult PLUGIN_API k1PlaceholderInstrument::initialize(FUnknown* context) {
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
    return result;
}

tresult PLUGIN_API k1PlaceholderInstrument::process(ProcessData& data) {
    if (!data.outputs || data.numSamples <= 0) return kResultOk;
    for (int32 b = 0; b < data.numOutputs; ++b) {
        AudioBusBuffers& bus = data.outputs[b];
        if (!bus.channelBuffers32) continue;
        for (int32 c = 0; c < bus.numChannels; ++c)
            if (float* channel = bus.channelBuffers32[c]) std::fill_n(channel, data.numSamples, 0.0f);
        bus.silenceFlags = ~uint64(0);
    }
    return kResultOk;
}
