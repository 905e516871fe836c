// Host events and controller parameters as the engine's MIDI events.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "vst3/k1AudioProcessorMidi.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// status, data1, data2, offset; sysex bytes if any
struct Midi {
    int status, data1, data2, offset;
    std::vector<uint8_t> sysex;
    bool operator==(const Midi&) const = default;
};

Midi midi(const k1lib::SMidiEvent& e) {
    return {e.status, e.data1, e.data2, e.sampleOffset, e.sysex};
}

bool fromEvent(const Event& e, Midi& out) {
    k1lib::SMidiEvent event;
    event.status = 0x55; // must be overwritten
    if (!hostmidi::fromHostEvent(e, event)) return false;
    out = midi(event);
    return true;
}

Event note(bool on, int16 pitch, float velocity, int32 offset) {
    Event e{};
    e.type = on ? Event::kNoteOnEvent : Event::kNoteOffEvent;
    e.sampleOffset = offset;
    if (on) {
        e.noteOn = {5, pitch, 0.0f, velocity, 0, -1};
    } else {
        e.noteOff = {5, pitch, velocity, -1, 0.0f};
    }
    return e;
}

Event data(std::vector<uint8_t>& bytes, int32 offset = 0) {
    Event e{};
    e.type = Event::kDataEvent;
    e.sampleOffset = offset;
    e.data = {static_cast<uint32>(bytes.size()), DataEvent::kMidiSysEx,
              bytes.empty() ? nullptr : bytes.data()};
    return e;
}

Event legacy(uint8 controller, int8 value, int8 value2 = 0) {
    Event e{};
    e.type = Event::kLegacyMIDICCOutEvent;
    e.sampleOffset = 7;
    e.midiCCOut = {controller, 3, value, value2};
    return e;
}

bool fromParameter(ParamID id, float value, Midi& out) {
    k1lib::SMidiEvent event;
    if (!hostmidi::fromControllerParameter(id, value, 9, event)) return false;
    out = midi(event);
    return true;
}

} // namespace

TEST(HostMidi, NotesPlayOnChannelOneAtTheirOffset) {
    Midi m;
    ASSERT_TRUE(fromEvent(note(true, 60, 1.0f, 33), m));
    EXPECT_EQ(m, (Midi{0x90, 60, 127, 33, {}}));
    ASSERT_TRUE(fromEvent(note(false, 60, 0.5f, 40), m));
    EXPECT_EQ(m, (Midi{0x80, 60, 63, 40, {}}));
    ASSERT_TRUE(fromEvent(note(true, 127, 3.0f, 0), m)); // velocity clamped
    EXPECT_EQ(m.data2, 127);

    EXPECT_FALSE(fromEvent(note(true, 200, 1.0f, 0), m)); // would index past the 128 keys
    EXPECT_FALSE(fromEvent(note(true, -1, 1.0f, 0), m));
    EXPECT_FALSE(fromEvent(note(false, 128, 1.0f, 0), m));
    EXPECT_FALSE(fromEvent(note(true, 60, NAN, 0), m));
    ASSERT_TRUE(fromEvent(note(false, 60, NAN, 3), m)); // Ardour's note-offs: the note still ends
    EXPECT_EQ(m, (Midi{0x80, 60, 0, 3, {}}));
}

TEST(HostMidi, DataEventsAreShortMessagesOrSysex) {
    Midi m;
    std::vector<uint8_t> controller = {0xB3, 0x07, 0x64};
    ASSERT_TRUE(fromEvent(data(controller, 12), m));
    EXPECT_EQ(m, (Midi{0xB3, 7, 100, 12, {}})); // keeps its own channel
    std::vector<uint8_t> shortSysex = {0xF0, 0x7E, 0xF7};
    ASSERT_TRUE(fromEvent(data(shortSysex), m));
    EXPECT_EQ(m, (Midi{0, 0, 0, 0, shortSysex}));
    std::vector<uint8_t> dump = {0xF0, 0x40, 0x00, 0x20, 0x00, 0x03, 0xF7};
    ASSERT_TRUE(fromEvent(data(dump), m));
    EXPECT_EQ(m.sysex, dump);
    std::vector<uint8_t> empty;
    ASSERT_TRUE(fromEvent(data(empty, 4), m));
    EXPECT_EQ(m, (Midi{0, 0, 0, 4, {}}));
    // JUCE-based hosts strip the framing: whatever is missing is added back, nothing else.
    std::vector<uint8_t> bare = {0x40, 0x00, 0x20, 0x00, 0x03};
    ASSERT_TRUE(fromEvent(data(bare), m));
    EXPECT_EQ(m.sysex, dump);
    std::vector<uint8_t> bareShort = {0x7E, 0x00, 0x06}; // three data bytes: no short message
    ASSERT_TRUE(fromEvent(data(bareShort), m));
    EXPECT_EQ(m.sysex, (std::vector<uint8_t>{0xF0, 0x7E, 0x00, 0x06, 0xF7}));
    std::vector<uint8_t> unterminated = {0xF0, 0x40, 0x00, 0x20, 0x00, 0x03};
    ASSERT_TRUE(fromEvent(data(unterminated), m));
    EXPECT_EQ(m.sysex, dump);

    std::vector<uint8_t> badData = {0x90, 0xC8, 0x40};
    EXPECT_FALSE(fromEvent(data(badData), m));
    Event missing = data(dump);
    missing.data.bytes = nullptr; // a size without bytes
    EXPECT_FALSE(fromEvent(missing, m));
    Event otherKind = data(dump);
    otherKind.data.type = 1;
    EXPECT_FALSE(fromEvent(otherKind, m));
    Event unknown{};
    unknown.type = Event::kNoteExpressionValueEvent;
    EXPECT_FALSE(fromEvent(unknown, m));
}

TEST(HostMidi, LegacyControllerEvents) {
    Midi m;
    ASSERT_TRUE(fromEvent(legacy(7, 100), m));
    EXPECT_EQ(m, (Midi{0xB0, 7, 100, 7, {}}));
    ASSERT_TRUE(fromEvent(legacy(kAfterTouch, 90), m));
    EXPECT_EQ(m, (Midi{0xD0, 90, 0, 7, {}}));
    ASSERT_TRUE(fromEvent(legacy(kPitchBend, 0x7F, 0x3F), m));
    EXPECT_EQ(m, (Midi{0xE0, 0x7F, 0x3F, 7, {}}));
    ASSERT_TRUE(fromEvent(legacy(kCtrlProgramChange, 12), m));
    EXPECT_EQ(m, (Midi{0xC0, 12, 0, 7, {}}));
    EXPECT_FALSE(fromEvent(legacy(kCtrlPolyPressure, 12), m));
    EXPECT_FALSE(fromEvent(legacy(7, -20), m)); // int8 values below 0 are no MIDI data
    EXPECT_FALSE(fromEvent(legacy(kPitchBend, 3, -1), m));
}

TEST(HostMidi, ControllerParametersBecomeMessagesOnChannelOne) {
    Midi m;
    ASSERT_TRUE(fromParameter(221, 0.5f, m));
    EXPECT_EQ(m, (Midi{0xE0, 0x7F, 0x3F, 9, {}})); // 8191
    ASSERT_TRUE(fromParameter(213, 1.0f, m));
    EXPECT_EQ(m, (Midi{0xB0, 32, 127, 9, {}}));
    ASSERT_TRUE(fromParameter(215, 0.5f, m));
    EXPECT_EQ(m, (Midi{0xB0, 7, 64, 9, {}})); // rounded
    // Registered parameter select, so that data entry (214) can act.
    ASSERT_TRUE(fromParameter(211, 0.0f, m));
    EXPECT_EQ(m, (Midi{0xB0, 100, 0, 9, {}}));
    ASSERT_TRUE(fromParameter(212, 0.0f, m));
    EXPECT_EQ(m, (Midi{0xB0, 101, 0, 9, {}}));
    ASSERT_TRUE(fromParameter(222, 1.0f, m));
    EXPECT_EQ(m, (Midi{0xD0, 127, 0, 9, {}}));
    ASSERT_TRUE(fromParameter(223, 3.0f / 127.0f, m));
    EXPECT_EQ(m, (Midi{0xC0, 3, 0, 9, {}}));
    for (ParamID id : {209u, 224u, 10u, 5000u})
        EXPECT_FALSE(fromParameter(id, 0.5f, m)) << id;
}
