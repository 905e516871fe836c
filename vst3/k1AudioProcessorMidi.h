#pragma once
// What the host sends, as the engine's MIDI events: host note, data and legacy controller
// events, and the values of the host parameters that stand for MIDI controllers. Everything
// built here is on MIDI channel 1, except raw short messages, which keep their own channel.
// Values a MIDI byte cannot carry are refused, never wrapped.
#include <cstdint>
#include <string>

#include "k1lib/records/SMidiEvent.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/vsttypes.h"

namespace hostmidi {

// A host value as a normalised float, clamped to 0..1; false for NaN and infinities.
bool normalized(Steinberg::Vst::ParamValue value, float& out);

// False for event types and data kinds the engine does not take, and for bad values.
bool fromHostEvent(const Steinberg::Vst::Event& event, k1lib::SMidiEvent& out);

// What one of the host parameters 210-223 stands for: a MIDI message on channel 1 whose value
// is the parameter's, in steps + 1 values.
struct ControllerParameter {
    Steinberg::Vst::ParamID id;
    const char* title;
    uint8_t status;                          // 0xB0 controller, 0xE0 pitch bend, 0xD0 pressure, 0xC0 program
    uint8_t controller;                      // the controller number of 0xB0 messages
    Steinberg::int32 steps;                  // 127, or 16383 for pitch bend
    Steinberg::Vst::ParamValue defaultValue; // what the engine starts with: pitch bend centred
};

// Null for every ID outside 210-223.
const ControllerParameter* controllerParameter(Steinberg::Vst::ParamID id);

// The MIDI value of a normalised value: 0-127, or 0-16383 for pitch bend.
unsigned controllerValue(const ControllerParameter& parameter, float value);
// The value as a host shows it: the 7-bit value, or pitch bend from -8192 to 8191.
std::string controllerText(const ControllerParameter& parameter, float value);

// Parameters 210-223 (value 0..1); false for every other ID.
bool fromControllerParameter(Steinberg::Vst::ParamID id, float value, Steinberg::int32 sampleOffset,
                             k1lib::SMidiEvent& out);

} // namespace hostmidi
