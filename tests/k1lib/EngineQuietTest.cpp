// Controllers while nothing sounds: the engine renders no voice then, yet handles every event and
// every parameter step where a full render would, so that what follows sounds the same.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "k1lib/engine/Engine.h"
#include "k1lib/engine/IEngineListener.h"
#include "k1lib/voice/Multi.h"
#include "tests/support/AllocationCounter.h"
#include "tests/support/SineSingle.h"

namespace {

using k1lib::shortMessage;

struct Render {
    std::vector<float> signal;
    std::vector<float> state; // just before the note: every parameter, the LFO, the channel
    int quietBlocks = 0;
    size_t allocations = 0;
};

// Blocks of random sizes, each with source-mix ramps, the wheel (which speeds up a random LFO
// that reaches the pitch), bend, pan and pressure somewhere inside; a note enters at block 40
// while ramps run. forceFull adds to each block a note-off of a key never played, which changes
// nothing but keeps the block off the quiet path.
Render render(float rate, bool forceFull) {
    k1lib::SinglePreset single = testsupport::sineSingle();
    single.source2or4 = single.vibWheelMode = 1;
    single.lfoShape = 3;
    single.vibratoDepth = single.lfoSpeed = 90;
    for (int s = 0; s < 4; ++s)
        single.sources[s].fine = static_cast<uint8_t>(40 + 7 * s), single.sources[s].vibABend = 1;
    k1lib::IEngineListener listener; // hears parameter changes without allocating
    k1lib::Engine engine(&listener, k1lib::PluginType_Vst3);
    engine.setSamplerate(rate);
    EXPECT_TRUE(engine.setSingle(3, single) && engine.setSingle(3));
    std::vector<float> left(700), right(700);
    float* outputs[2] = {left.data(), right.data()};
    std::mt19937 random(11);
    Render out;
    std::vector<k1lib::SMidiEvent> events;
    events.reserve(8);
    for (int b = 0; b < 80; ++b) {
        const int samples = 1 + static_cast<int>(random() % 700);
        const auto v = static_cast<uint8_t>(random() % 128);
        const auto at = static_cast<int32_t>(random() % static_cast<unsigned>(samples));
        events.clear();
        if (forceFull) events.push_back(shortMessage(0x80, 0, 0));
        events.push_back(shortMessage(0xB0, b % 3 == 0 ? 17 : 16, v, at));
        events.push_back(shortMessage(0xB0, 1, static_cast<uint8_t>(127 - v), at));
        events.push_back(shortMessage(b % 2 == 0 ? 0xE0 : 0xD0, v, v, samples - 1));
        events.push_back(shortMessage(0xB0, 10, v, samples / 2));
        if (b == 40) {
            events.push_back(shortMessage(0x90, 60, 100, samples / 3));
            const k1lib::ParameterManager& p = engine.getParameterManager();
            const k1lib::LfoState& lfo = engine.getMulti().getSectionState(0).lfo;
            const k1lib::MidiState& midi = engine.getMidiStates()[0];
            out.state.assign(std::begin(p.current), std::end(p.current));
            out.state.insert(out.state.end(), {lfo.phase, lfo.randomValue, static_cast<float>(lfo.lastStep),
                                               static_cast<float>(lfo.countdown), midi.modWheel,
                                               midi.pitchBend, midi.pressure, midi.panLeft});
        }
        out.quietBlocks += engine.rendersSilence(events) ? 1 : 0;
        {
            const AllocationCounter counter;
            engine.process(outputs, 2, samples, events);
            out.allocations += counter.count();
        }
        out.signal.insert(out.signal.end(), left.begin(), left.begin() + samples);
    }
    return out;
}

} // namespace

TEST(EngineQuiet, ControllersWithoutNotesLeaveTheEngineAsAFullRenderDoes) {
    for (float rate : {48000.0f, 47999.0f, 44100.0f}) {
        SCOPED_TRACE(testing::Message() << rate << " Hz");
        const Render quiet = render(rate, false);
        const Render full = render(rate, true);
        ASSERT_GT(quiet.quietBlocks, 30) << "the blocks before the note take the quiet path";
        ASSERT_EQ(full.quietBlocks, 0);
        EXPECT_EQ(quiet.allocations, 0u);
        ASSERT_EQ(quiet.state.size(), full.state.size());
        for (size_t i = 0; i < full.state.size(); ++i)
            EXPECT_EQ(std::memcmp(&quiet.state[i], &full.state[i], sizeof(float)), 0) << "state value " << i;
        ASSERT_GT(*std::max_element(full.signal.begin(), full.signal.end()), 0.01f);
        ASSERT_EQ(quiet.signal.size(), full.signal.size());
        EXPECT_EQ(std::memcmp(quiet.signal.data(), full.signal.data(), full.signal.size() * sizeof(float)),
                  0);
    }
}

// Solo returns to a key still held when another is released, even when no voice sounds (here the
// host cleared them): such a release is no quiet block, it sounds at once.
TEST(EngineQuiet, ASoloReleaseWithoutVoicesSoundsInItsOwnBlock) {
    k1lib::SinglePreset single = testsupport::sineSingle();
    single.polyMode = 2;
    k1lib::IEngineListener listener;
    k1lib::Engine engine(&listener, k1lib::PluginType_Vst3);
    engine.setSamplerate(48000.0f);
    ASSERT_TRUE(engine.setSingle(3, single) && engine.setSingle(3));
    std::vector<float> left(512), right(512);
    float* outputs[2] = {left.data(), right.data()};
    std::vector<k1lib::SMidiEvent> events = {shortMessage(0x90, 60, 100), shortMessage(0x90, 64, 100)};
    for (int b = 0; b < 8; ++b) { // the first key's voice fades out
        engine.process(outputs, 2, 512, events);
        events.clear();
    }
    engine.clearAllVoices();
    for (int b = 0; b < 20; ++b) // the converters' tail
        engine.process(outputs, 2, 512, events);
    ASSERT_EQ(*std::max_element(left.begin(), left.end()), 0.0f);
    events = {shortMessage(0x80, 64, 64)};
    engine.process(outputs, 2, 512, events);
    EXPECT_GT(*std::max_element(left.begin(), left.end()), 0.01f);
}
