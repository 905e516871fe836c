#include "k1lib/voice/Lfo.h"
#include "k1lib/base/Random.h"
#include "k1lib/params/Curves.h"
#include "k1lib/records/SinglePreset.h"
#include "k1lib/voice/MidiState.h"
#include "k1lib/voice/SectionState.h"
#include "k1lib/voice/Vibrato.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

using namespace k1lib;

namespace {

constexpr float Rate = 49920.0f;

SinglePreset lfoSingle(uint32_t shape, uint8_t speed) {
    SinglePreset single{};
    single.lfoShape = shape;
    single.lfoSpeed = speed;
    single.vibratoDepth = single.pressureToVibrato = single.pressureToFreq = 50;
    return single;
}

std::vector<float> run(const SinglePreset& single, int samples, LfoState& state, Random& random,
                       float rate = Rate, float wheel = 0.0f) {
    std::vector<float> out;
    for (int i = 0; i < samples; ++i)
        out.push_back(Lfo::process(state, single, rate, wheel, random));
    return out;
}

// Lengths of the runs of equal output values, without the first and last (partial) runs.
std::vector<int> holdLengths(const std::vector<float>& values) {
    std::vector<int> lengths;
    int length = 1;
    for (size_t i = 1; i < values.size(); ++i) {
        if (values[i] == values[i - 1]) {
            ++length;
        } else {
            lengths.push_back(length);
            length = 1;
        }
    }
    if (!lengths.empty()) lengths.erase(lengths.begin());
    return lengths;
}

} // namespace

TEST(Lfo, ShapesFollowThePhaseInStepsOf64th) {
    Random random(7);
    // At the slowest speed the hold never hides the shape's turning points for long.
    for (uint32_t shape : {0u, 1u, 2u}) {
        LfoState state;
        const std::vector<float> out =
            run(lfoSingle(shape, 0), static_cast<int>(Rate * 12.32f), state, random);
        float lowest = 2.0f, highest = -2.0f;
        for (float v : out) {
            EXPECT_EQ(v * 64.0f, std::trunc(v * 64.0f));
            lowest = std::min(lowest, v);
            highest = std::max(highest, v);
        }
        // The saw never reaches phase 1, the triangle reaches 0.5 only between samples.
        EXPECT_GE(highest, shape == 2 ? 1.0f : 63.0f / 64.0f) << shape;
        EXPECT_LE(highest, 1.0f) << shape;
        EXPECT_EQ(lowest, shape == 2 ? 0.0f : -63.0f / 64.0f) << shape; // square is 0/1, not -1/+1
    }
    // A quarter period into a triangle: phase 0.25 gives 0.
    LfoState state;
    const std::vector<float> triangle =
        run(lfoSingle(0, 0), static_cast<int>(Rate * 12.32f / 4.0f), state, random);
    EXPECT_NEAR(triangle.back(), 0.0f, 2.0f / 64.0f);
}

TEST(Lfo, HoldsEachNewValueFor848Samples) {
    Random random(7);
    LfoState state;
    // The fastest saw moves by more than a 64th every sample, yet changes only every 848 samples.
    const std::vector<int> holds = holdLengths(run(lfoSingle(1, 100), 20000, state, random));
    ASSERT_GT(holds.size(), 10u);
    for (int length : holds)
        EXPECT_EQ(length, 848);

    // A rate of 0 (no host rate yet) runs as 49,920 Hz rather than dividing by zero.
    LfoState unset;
    const std::vector<float> atZero = run(lfoSingle(1, 100), 5000, unset, random, 0.0f);
    for (float v : atZero)
        EXPECT_TRUE(std::isfinite(v));
    EXPECT_EQ(holdLengths(atZero).front(), 848);
}

TEST(Lfo, RandomHoldsOneValuePerPeriod) {
    Random random(11);
    LfoState state;
    Lfo::createRandomValue(state, random);
    const SinglePreset single = lfoSingle(3, 10); // period 0.429 s, far longer than the hold
    const double period = Rate / lfoSpeed(10);
    const std::vector<float> out = run(single, static_cast<int>(period * 6), state, random);
    const std::vector<int> holds = holdLengths(out);
    ASSERT_GE(holds.size(), 4u);
    // The phase accumulates in float, so a period may come out a few samples long.
    for (int length : holds)
        EXPECT_NEAR(length, period, period * 0.001);
    std::set<float> values(out.begin(), out.end());
    EXPECT_GE(values.size(), 5u);
    for (float v : values)
        EXPECT_LE(std::abs(v), 1.0f);
}

TEST(Lfo, WheelSpeedsUpInSpeedModeOnly) {
    Random random(3);
    SinglePreset single = lfoSingle(1, 0);
    single.vibWheelMode = 1;
    // Wheel fully up adds 32 to the speed: one sample advances the phase by lfoSpeed(32) / rate.
    LfoState state;
    Lfo::process(state, single, Rate, 1.0f, random);
    EXPECT_FLOAT_EQ(state.phase, lfoSpeed(32) / Rate);
    single.lfoSpeed = 90; // never above 100
    LfoState fast;
    Lfo::process(fast, single, Rate, 1.0f, random);
    EXPECT_FLOAT_EQ(fast.phase, lfoSpeed(100) / Rate);
    single.vibWheelMode = 0;
    LfoState depthMode;
    Lfo::process(depthMode, single, Rate, 1.0f, random);
    EXPECT_FLOAT_EQ(depthMode.phase, lfoSpeed(90) / Rate);
}

TEST(Vibrato, WholeSemitonesPlusWheelAndPressureClampedTo12) {
    SinglePreset single = lfoSingle(0, 50);
    single.vibratoDepth = 70; // d = 20: one semitone
    EXPECT_EQ(Vibrato::process(single, 1.0f, 0.0f, 0.0f), 1.0f);
    single.vibratoDepth = 69;
    EXPECT_EQ(Vibrato::process(single, 1.0f, 0.0f, 0.0f), 0.0f);
    EXPECT_EQ(Vibrato::process(single, 0.5f, 0.0f, 1.0f), 0.5f); // the wheel adds up to one semitone
    single.vibratoDepth = 30;                                    // d = -20: downwards
    EXPECT_EQ(Vibrato::process(single, 1.0f, 0.0f, 0.0f), -1.0f);
    single.vibratoDepth = 100;
    EXPECT_EQ(Vibrato::process(single, -1.0f, 0.0f, 1.0f), -12.0f); // 12 + wheel is clamped to 12

    // Pressure deepens or reduces, but never reverses the direction.
    single.vibratoDepth = 75; // 2 semitones
    single.pressureToVibrato = 100;
    EXPECT_FLOAT_EQ(Vibrato::process(single, 1.0f, 0.5f, 0.0f), 2.0f + 50 * 12 * 0.02f * 0.5f);
    EXPECT_EQ(Vibrato::process(single, 1.0f, 1.0f, 0.0f), 12.0f);
    single.pressureToVibrato = 0;
    EXPECT_EQ(Vibrato::process(single, 1.0f, 1.0f, 0.0f), 0.0f);
    single.vibratoDepth = 25; // -2 semitones: positive pressure deepens downwards, negative reduces to 0
    EXPECT_EQ(Vibrato::process(single, 1.0f, 1.0f, 0.0f), 0.0f);
    single.pressureToVibrato = 100;
    EXPECT_EQ(Vibrato::process(single, 1.0f, 1.0f, 0.0f), -12.0f);

    // In speed mode the wheel adds no depth.
    single.pressureToVibrato = 50;
    single.vibratoDepth = 70;
    single.vibWheelMode = 1;
    EXPECT_EQ(Vibrato::process(single, 1.0f, 0.0f, 1.0f), 1.0f);
}

TEST(SectionState, UpdateCombinesLfoVibratoBendAndPressure) {
    Random random(5);
    SectionState section(random);
    EXPECT_LE(std::abs(section.lfo.randomValue), 1.0f);
    SinglePreset single = lfoSingle(2, 50); // square: 0 then 1
    single.vibratoDepth = 80;               // d = 30: 3 semitones
    single.pressureToFreq = 20;             // -30: -3 semitones at full pressure
    MidiState channel;
    channel.pitchBend = -0.5f;
    channel.pressure = 1.0f;
    float lowest = 100.0f, highest = -100.0f;
    for (int i = 0; i < 20000; ++i) {
        section.update(single, channel, 12.0f, Rate, random);
        lowest = std::min(lowest, section.vibrato);
        highest = std::max(highest, section.vibrato);
    }
    // Square vibrato never goes below the note for a positive depth.
    EXPECT_EQ(lowest, 0.0f);
    EXPECT_EQ(highest, 3.0f);
    EXPECT_EQ(section.bend, -6.0f);
    EXPECT_EQ(section.pressurePitch, -3.0f);
}
