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
using k1lib::SMidiEvent;

struct Timed {
    int64_t time;
    SMidiEvent event;
};

// What a render leaves behind just before its first note, and everything it played.
struct Render {
    std::vector<float> signal;
    std::vector<float> parameters;
    k1lib::SectionState section;
    k1lib::MidiState midi;
    int quietBlocks = 0;
    size_t allocations = 0;
};

// Four sine sources whose random LFO runs faster with the wheel and reaches the pitch.
k1lib::SinglePreset movingSingle() {
    k1lib::SinglePreset single = testsupport::sineSingle();
    single.source2or4 = 1;
    single.lfoShape = 3;
    single.vibWheelMode = 1;
    single.vibratoDepth = 90;
    single.lfoSpeed = 80;
    for (int s = 0; s < 4; ++s) {
        single.sources[s].fine = static_cast<uint8_t>(40 + 7 * s);
        single.sources[s].vibABend = 1;
    }
    return single;
}

// Source-mix ramps, the wheel, pan, bend and pressure for half a second; a note enters at a third
// of a second, while ramps run.
std::vector<Timed> timeline(float rate, int64_t noteAt) {
    std::vector<Timed> events;
    const auto at = [&](double seconds) { return static_cast<int64_t>(seconds * rate); };
    for (int k = 0; k < 100; ++k) {
        const double t = k * 0.005;
        const auto v = static_cast<uint8_t>((k * 37) % 128);
        events.push_back({at(t), shortMessage(0xB0, k % 3 == 0 ? 17 : 16, v)});
        if (k % 4 == 1) events.push_back({at(t) + 3, shortMessage(0xB0, 1, static_cast<uint8_t>(127 - v))});
        if (k % 5 == 2) events.push_back({at(t) + 7, shortMessage(0xE0, v, static_cast<uint8_t>(k))});
        if (k % 7 == 3) events.push_back({at(t) + 1, shortMessage(0xB0, 10, v)});
        if (k % 9 == 4) events.push_back({at(t), shortMessage(0xD0, v)});
    }
    events.push_back({noteAt, shortMessage(0x90, 60, 100)});
    events.push_back({at(0.6), shortMessage(0x80, 60, 64)});
    std::stable_sort(events.begin(), events.end(),
                     [](const Timed& a, const Timed& b) { return a.time < b.time; });
    return events;
}

// Renders the timeline in blocks of random sizes; forceFull adds to every block a note-off of a
// key never played, which changes nothing but keeps the block off the quiet path.
Render render(float rate, bool forceFull) {
    k1lib::IEngineListener listener; // hears parameter changes without allocating
    k1lib::Engine engine(&listener, k1lib::PluginType_Vst3);
    engine.setSamplerate(rate);
    EXPECT_TRUE(engine.setSingle(3, movingSingle()));
    EXPECT_TRUE(engine.setSingle(3));
    const auto noteAt = static_cast<int64_t>(rate / 3);
    const std::vector<Timed> events = timeline(rate, noteAt);
    const auto end = static_cast<int64_t>(rate * 0.8f);
    std::vector<float> left(1024), right(1024);
    float* outputs[2] = {left.data(), right.data()};
    std::mt19937 sizes(11);
    Render out;
    std::vector<SMidiEvent> block;
    block.reserve(events.size() + 1);
    size_t next = 0;
    for (int64_t position = 0; position < end;) {
        const auto samples = static_cast<int>(std::min<int64_t>(1 + sizes() % 700, end - position));
        block.clear();
        if (forceFull) block.push_back(shortMessage(0x80, 0, 0));
        for (; next < events.size() && events[next].time < position + samples; ++next) {
            block.push_back(events[next].event);
            block.back().sampleOffset = static_cast<int32_t>(events[next].time - position);
        }
        if (position + samples > noteAt && out.parameters.empty()) {
            const k1lib::ParameterManager& p = engine.getParameterManager();
            out.parameters.assign(std::begin(p.current), std::end(p.current));
            out.section = engine.getMulti().getSectionState(0);
            out.midi = engine.getMidiStates()[0];
        }
        out.quietBlocks += engine.rendersSilence(block) ? 1 : 0;
        {
            const AllocationCounter counter;
            engine.process(outputs, 2, samples, block);
            out.allocations += counter.count();
        }
        out.signal.insert(out.signal.end(), left.begin(), left.begin() + samples);
        position += samples;
    }
    return out;
}

template <typename T> bool sameBits(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

} // namespace

TEST(EngineQuiet, ControllersWithoutNotesLeaveTheEngineAsAFullRenderDoes) {
    for (float rate : {48000.0f, 47999.0f, 44100.0f}) {
        SCOPED_TRACE(testing::Message() << rate << " Hz");
        const Render quiet = render(rate, false);
        const Render full = render(rate, true);
        ASSERT_GT(quiet.quietBlocks, 20) << "the controllers before the note take the quiet path";
        ASSERT_EQ(full.quietBlocks, 0);
        EXPECT_EQ(quiet.allocations, 0u);
        ASSERT_EQ(quiet.parameters.size(), full.parameters.size());
        EXPECT_EQ(std::memcmp(quiet.parameters.data(), full.parameters.data(), quiet.parameters.size() * 4),
                  0)
            << "every ramp step taken";
        const k1lib::LfoState& a = quiet.section.lfo;
        const k1lib::LfoState& b = full.section.lfo;
        EXPECT_TRUE(sameBits(a.phase, b.phase) && sameBits(a.randomValue, b.randomValue) &&
                    a.lastStep == b.lastStep && a.countdown == b.countdown)
            << "the LFO moved on as far";
        EXPECT_TRUE(sameBits(quiet.midi, full.midi)) << "every controller handled";
        ASSERT_GT(*std::max_element(full.signal.begin(), full.signal.end()), 0.01f);
        ASSERT_EQ(quiet.signal.size(), full.signal.size());
        size_t differing = 0;
        for (size_t i = 0; i < full.signal.size(); ++i)
            differing += std::memcmp(&quiet.signal[i], &full.signal[i], sizeof(float)) != 0 ? 1 : 0;
        EXPECT_EQ(differing, 0u);
    }
}
