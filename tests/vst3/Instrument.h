#pragma once
// One instrument as a host holds it: initialised, set up for 48 kHz blocks and active.
#include "tests/vst3/TestHost.h"
#include "vst3/k1AudioProcessor.h"

namespace testhost {

struct Instrument {
    explicit Instrument(Steinberg::FUnknown* context = nullptr, Steinberg::int32 maxBlock = 512)
        : processor(new k1AudioProcessor) {
        processor->initialize(context);
        Steinberg::Vst::ProcessSetup setup{Steinberg::Vst::kRealtime, Steinberg::Vst::kSample32, maxBlock,
                                           48000.0};
        processor->setupProcessing(setup);
        processor->setActive(true);
    }
    ~Instrument() {
        processor->setActive(false);
        processor->terminate();
        processor->release();
    }
    Instrument(const Instrument&) = delete;
    k1AudioProcessor* operator->() { return processor; }

    // One block into `block`, with whatever lists are given.
    void run(OutputBlock& block, EventList* in = nullptr, ParameterChanges* changes = nullptr,
             ParameterChanges* outChanges = nullptr, EventList* out = nullptr) {
        Steinberg::Vst::ProcessData data = block.data();
        data.inputEvents = in;
        data.inputParameterChanges = changes;
        data.outputParameterChanges = outChanges;
        data.outputEvents = out;
        processor->process(data);
    }

    k1AudioProcessor* processor;
};

} // namespace testhost
