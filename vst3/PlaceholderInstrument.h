#pragma once
// A stand-in for the K1 processor until the engine facade exists: it declares the instrument's
// real buses and renders silence, so that hosts can scan, instantiate and drive the module.
// It makes no sound, has no parameters and no state; it is not the instrument.
#include "SingleComponentEffect.h"

class k1PlaceholderInstrument : public k1SingleComponentEffect {
public:
    static Steinberg::FUnknown* createInstance(void* context);

    tresult PLUGIN_API initialize(Steinberg::FUnknown* context) override;
    tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) override;
};
