#include "vst3/k1AudioProcessorMidi.h"

#include <algorithm>
#include <cmath>

#include "pluginterfaces/vst/ivstmidicontrollers.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

bool isDataByte(int value) {
    return value >= 0 && value < 128;
}

// A normalised value as a 7-bit controller value, rounded to the nearest step.
uint8_t sevenBit(float value) {
    const unsigned v = static_cast<unsigned>(value * 127.0f + 0.5f);
    return v < 128 ? static_cast<uint8_t>(v) : 0;
}

using k1lib::shortMessage;

} // namespace

namespace hostmidi {

bool normalized(ParamValue value, float& out) {
    if (!std::isfinite(value)) return false;
    out = static_cast<float>(std::clamp(value, 0.0, 1.0));
    return true;
}

const ControllerParameter* controllerParameter(ParamID id) {
    static constexpr ControllerParameter table[] = {
        {210, "Mod Wheel", 0xB0, 1, 127, 0.0},
        {211, "CC 100 RPN LSB", 0xB0, 100, 127, 0.0},
        {212, "CC 101 RPN MSB", 0xB0, 101, 127, 0.0},
        {213, "CC 32 Bank Select LSB", 0xB0, 32, 127, 0.0},
        {214, "CC 6 Data Entry", 0xB0, 6, 127, 0.0},
        {215, "CC 7 Volume", 0xB0, 7, 127, 0.0},
        {216, "CC 10 Pan", 0xB0, 10, 127, 0.0},
        {217, "CC 64 Hold Pedal", 0xB0, 64, 127, 0.0},
        {218, "CC 123 All Notes Off", 0xB0, 123, 127, 0.0},
        {219, "CC 125 Omni On", 0xB0, 125, 127, 0.0},
        {220, "CC 124 Omni Off", 0xB0, 124, 127, 0.0},
        {221, "Pitch Bend", 0xE0, 0, 16383, 0.5},
        {222, "Channel Pressure", 0xD0, 0, 127, 0.0},
        {223, "Program Change", 0xC0, 0, 127, 0.0},
    };
    for (const ControllerParameter& p : table)
        if (p.id == id) return &p;
    return nullptr;
}

unsigned controllerValue(const ControllerParameter& parameter, float value) {
    return parameter.steps == 127 ? sevenBit(value) : static_cast<unsigned>(value * 16383.0f);
}

std::string controllerText(const ControllerParameter& parameter, float value) {
    if (parameter.steps == 127) return std::to_string(sevenBit(value));
    return std::to_string(static_cast<int>(std::lround(value * 16383.0f)) - 8192);
}

bool fromControllerParameter(ParamID id, float value, int32 offset, k1lib::SMidiEvent& out) {
    const ControllerParameter* parameter = controllerParameter(id);
    if (!parameter) return false;
    const unsigned v = controllerValue(*parameter, value);
    switch (parameter->status) {
    case 0xB0:
        out = shortMessage(0xB0, parameter->controller, static_cast<uint8_t>(v), offset);
        break;
    case 0xE0:
        out = shortMessage(0xE0, v & 127, (v >> 7) & 127, offset);
        break;
    default: // pressure and program change carry their value in the first data byte
        out = shortMessage(parameter->status, static_cast<uint8_t>(v), 0, offset);
        break;
    }
    return true;
}

bool fromHostEvent(const Event& e, k1lib::SMidiEvent& out) {
    out = shortMessage(0, 0, 0, e.sampleOffset);
    switch (e.type) {
    case Event::kNoteOnEvent:
    case Event::kNoteOffEvent: {
        const bool on = e.type == Event::kNoteOnEvent;
        const int16 pitch = on ? e.noteOn.pitch : e.noteOff.pitch;
        float velocity = 0.0f;
        // Some hosts (Ardour) send note-offs without a velocity (NaN): the note must still end.
        const bool hasVelocity = normalized(on ? e.noteOn.velocity : e.noteOff.velocity, velocity);
        if (!isDataByte(pitch) || (on && !hasVelocity)) return false;
        out.status = on ? 0x90 : 0x80;
        out.data1 = static_cast<uint8_t>(pitch);
        out.data2 = static_cast<uint8_t>(velocity * 127.0f);
        return true;
    }
    case Event::kDataEvent: {
        const DataEvent& data = e.data;
        if (data.type != DataEvent::kMidiSysEx) return false;
        if (data.size == 0) return true;
        if (!data.bytes) return false;
        const uint8_t first = data.bytes[0];
        if (data.size == 3 && first >= 0x80 && first != 0xF0) {
            if (!isDataByte(data.bytes[1]) || !isDataByte(data.bytes[2])) return false;
            out.status = first;
            out.data1 = data.bytes[1];
            out.data2 = data.bytes[2];
            return true;
        }
        // Hosts built on JUCE hand system-exclusive data over without its F0h/F7h framing, and
        // the engine reads framed messages only: a message that starts with a data byte, or
        // with F0h, gets whichever framing byte it lacks.
        const bool sysex = first == 0xF0 || isDataByte(first);
        if (sysex && first != 0xF0) out.sysex.push_back(0xF0);
        out.sysex.insert(out.sysex.end(), data.bytes, data.bytes + data.size);
        if (sysex && data.bytes[data.size - 1] != 0xF7) out.sysex.push_back(0xF7);
        return true;
    }
    case Event::kLegacyMIDICCOutEvent: {
        const LegacyMIDICCOutEvent& cc = e.midiCCOut;
        if (!isDataByte(cc.value) || !isDataByte(cc.value2)) return false;
        const auto value = static_cast<uint8_t>(cc.value);
        if (cc.controlNumber < 128)
            out = shortMessage(0xB0, cc.controlNumber, value, e.sampleOffset);
        else if (cc.controlNumber == kAfterTouch)
            out = shortMessage(0xD0, value, 0, e.sampleOffset);
        else if (cc.controlNumber == kPitchBend)
            out = shortMessage(0xE0, value, static_cast<uint8_t>(cc.value2), e.sampleOffset);
        else if (cc.controlNumber == kCtrlProgramChange)
            out = shortMessage(0xC0, value, 0, e.sampleOffset);
        else
            return false;
        return true;
    }
    default:
        return false;
    }
}

} // namespace hostmidi
