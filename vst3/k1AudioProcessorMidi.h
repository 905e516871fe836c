#pragma once
// What the host sends, as the engine's MIDI events: host note, data and legacy controller
// events, and the values of the host parameters that stand for MIDI controllers. Everything
// built here is on MIDI channel 1, except raw short messages, which keep their own channel.
// Values a MIDI byte cannot carry are refused, never wrapped.
#include "SMidiEvent.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/vsttypes.h"

namespace k1HostMidi {

// A host value as a normalised float, clamped to 0..1; false for NaN and infinities.
bool normalized(Steinberg::Vst::ParamValue value, float& out);

// False for event types and data kinds the engine does not take, and for bad values.
bool fromHostEvent(const Steinberg::Vst::Event& event, k1lib::SMidiEvent& out);

// Parameters 210-223 (value 0..1); false for every other ID.
bool fromControllerParameter(Steinberg::Vst::ParamID id, float value, Steinberg::int32 sampleOffset,
                             k1lib::SMidiEvent& out);

} // namespace k1HostMidi
