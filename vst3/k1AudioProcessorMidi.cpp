#include "k1AudioProcessorMidi.h"

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

k1lib::SMidiEvent shortMessage(uint8_t status, uint8_t data1, uint8_t data2, int32 offset) {
    k1lib::SMidiEvent event;
    event.status = status;
    event.data1 = data1;
    event.data2 = data2;
    event.sampleOffset = offset;
    return event;
}

} // namespace

namespace k1HostMidi {

bool normalized(ParamValue value, float& out) {
    if (!std::isfinite(value)) return false;
    out = static_cast<float>(std::clamp(value, 0.0, 1.0));
    return true;
}

bool fromControllerParameter(ParamID id, float value, int32 offset, k1lib::SMidiEvent& out) {
    struct Controller {
        ParamID id;
        uint8_t number;
    };
    static constexpr Controller controllers[] = {
        {210, 1},  {211, 100}, {212, 101}, {213, 32},  {214, 6},   {215, 7},
        {216, 10}, {217, 64},  {218, 123}, {219, 125}, {220, 124},
    };
    for (const Controller& c : controllers) {
        if (c.id != id) continue;
        out = shortMessage(0xB0, c.number, sevenBit(value), offset);
        return true;
    }
    if (id == 221) {
        const unsigned bend = static_cast<unsigned>(value * 16383.0f);
        out = shortMessage(0xE0, bend & 127, (bend >> 7) & 127, offset);
        return true;
    }
    if (id == 222 || id == 223) {
        out = shortMessage(id == 222 ? 0xD0 : 0xC0, sevenBit(value), 0, offset);
        return true;
    }
    return false;
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
        if (data.size == 3 && data.bytes[0] != 0xF0) {
            if (data.bytes[0] < 0x80 || !isDataByte(data.bytes[1]) || !isDataByte(data.bytes[2]))
                return false;
            out.status = data.bytes[0];
            out.data1 = data.bytes[1];
            out.data2 = data.bytes[2];
            return true;
        }
        out.sysex.assign(data.bytes, data.bytes + data.size);
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

} // namespace k1HostMidi
