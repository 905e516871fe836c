#include "tests/k1lib/VoiceTestSupport.h"

#include "k1lib/params/Curves.h"
#include "k1lib/voice/Voice.h"
#include "tests/support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

using namespace k1lib;
using namespace voicetest;

namespace {

constexpr float Rate = 49920.0f;

struct Rendered {
    std::vector<float> slots[4];
};

Rendered render(Voice& voice, int samples, const SectionState& section = SectionState{}) {
    Rendered out;
    for (int i = 0; i < samples; ++i) {
        float mix[4] = {};
        processOneFrame(voice, mix, section);
        for (int s = 0; s < 4; ++s)
            out.slots[s].push_back(mix[s]);
    }
    return out;
}

float lowest(const std::vector<float>& v) {
    return *std::min_element(v.begin(), v.end());
}
float highest(const std::vector<float>& v) {
    return *std::max_element(v.begin(), v.end());
}

} // namespace

TEST(Voice, SourcesMutesAndSlots) {
    TestEngine engine;
    SinglePreset single = sineSingle();
    single.source2or4 = 1;
    single.mute[1] = 1;
    Voice voice(engine.context, single, 60, 100, 0, Rate, 0, 0, 100, 0);
    ASSERT_EQ(voice.getSourceCount(), 3);
    EXPECT_EQ(voice.getSlot(0), 0);
    EXPECT_EQ(voice.getSlot(1), 2);
    EXPECT_EQ(voice.getSlot(2), 3);
    const Rendered out = render(voice, 2000);
    EXPECT_GT(highest(out.slots[0]), 0.1f);
    EXPECT_EQ(highest(out.slots[1]), 0.0f);
    EXPECT_GT(highest(out.slots[3]), 0.1f);

    // The engine's source-mix gains scale each slot.
    engine.context.sourceGains[2] = 0.0f;
    engine.context.sourceGains[3] = 0.5f;
    Voice mixed(engine.context, single, 60, 100, 0, Rate, 0, 0, 100, 0);
    const Rendered scaled = render(mixed, 2000);
    EXPECT_EQ(highest(scaled.slots[2]), 0.0f);
    EXPECT_FLOAT_EQ(highest(scaled.slots[3]), 0.5f * highest(out.slots[3]));

    // Every source muted and no amplitude modulation: nothing to play, finished at once.
    single.mute[0] = single.mute[2] = single.mute[3] = 1;
    const Voice silent(engine.context, single, 60, 100, 0, Rate, 0, 0, 100, 0);
    EXPECT_EQ(silent.getSourceCount(), 0);
    EXPECT_TRUE(silent.isFinished());
}

TEST(Voice, AmplitudeModulationPairsAndMutedModulators) {
    TestEngine engine;
    for (uint32_t mode : {1u, 2u}) {
        SinglePreset single = sineSingle();
        single.ampModS1S2 = mode;
        single.mute[0] = 1; // S1 is silent but still shapes S2
        Voice voice(engine.context, single, 69, 100, 0, Rate, 0, 0, 100, 0);
        ASSERT_EQ(voice.getSourceCount(), 2);
        const Rendered out = render(voice, 5000);
        EXPECT_EQ(highest(out.slots[0]), 0.0f);
        EXPECT_EQ(lowest(out.slots[0]), 0.0f);
        // Both sources play the same sine in phase, so the product never goes below zero.
        EXPECT_GE(lowest(out.slots[1]), 0.0f);
        EXPECT_NEAR(highest(out.slots[1]), (60.0f / 128.0f) * (60.0f / 128.0f), 0.01f);
    }
    // Without the pair, S2 alone is a full sine.
    SinglePreset single = sineSingle();
    single.mute[0] = 1;
    Voice plain(engine.context, single, 69, 100, 0, Rate, 0, 0, 100, 0);
    ASSERT_EQ(plain.getSourceCount(), 1);
    EXPECT_LT(lowest(render(plain, 5000).slots[1]), -0.4f);
}

TEST(Voice, AutoBendFallsOverItsTimeThenVibratoFadesIn) {
    TestEngine engine;
    SinglePreset single = sineSingle();
    single.autoBendTime = 60;   // 220 / 4000 * 12.0276 s
    single.autoBendDepth = 100; // +12 semitones
    const float time = envDelayTime(60);

    SectionState section;
    section.vibrato = 2.0f;
    const auto modulationAt = [&](float seconds) {
        Voice v(engine.context, single, 60, 64, 0, Rate, 0, 0, 100, static_cast<uint32_t>(seconds * Rate));
        float mix[4] = {};
        processOneFrame(v, mix, section);
        return v.getPitchModulation();
    };
    EXPECT_EQ(modulationAt(0.0f), 12.0f);
    EXPECT_NEAR(modulationAt(time * 0.5f), 6.0f, 1.0f / 64.0f);
    EXPECT_NEAR(modulationAt(time), 0.0f, 1.0f / 64.0f);
    // The vibrato stays off for another T, reaches half at 2T and full depth at 3T.
    EXPECT_NEAR(modulationAt(time * 2.0f), 1.0f, 0.01f);
    EXPECT_EQ(modulationAt(time * 3.01f), 2.0f);
    EXPECT_EQ(modulationAt(time * 10.0f), 2.0f); // an inherited clock past the bend: vibrato at once

    // The pitch heard by a source with vibrato and auto-bend on follows: it starts an octave up.
    single.mute[1] = 1;
    single.sources[0].vibABend = 1;
    Voice heard(engine.context, single, 69, 64, 0, Rate, 0, 0, 100, 0);
    const Rendered start = render(heard, 1000);
    EXPECT_NEAR(cents(measureFrequency(start.slots[0], Rate), 880.0), 0.0, 30.0);

    // Without an auto-bend time the vibrato is at full depth from the first sample.
    single.autoBendTime = 0;
    Voice plain(engine.context, single, 60, 64, 0, Rate, 0, 0, 100, 0);
    float mix[4] = {};
    processOneFrame(plain, mix, section);
    EXPECT_EQ(plain.getPitchModulation(), 2.0f);
}

TEST(Voice, AutoBendDepthAndTimeScaling) {
    TestEngine engine;
    SinglePreset single = sineSingle();
    single.autoBendTime = 50;
    single.autoBendDepth = 0; // -12 semitones
    single.velToDepth = 100;
    EXPECT_FLOAT_EQ(Voice(engine.context, single, 60, 127, 0, Rate, 0, 0, 100, 0).getAutoBendDepth(), -18.0f);
    EXPECT_FLOAT_EQ(Voice(engine.context, single, 60, 64, 0, Rate, 0, 0, 100, 0).getAutoBendDepth(), -12.0f);
    EXPECT_NEAR(Voice(engine.context, single, 60, 1, 0, Rate, 0, 0, 100, 0).getAutoBendDepth(), -6.0f, 0.1f);

    // Key scaling to time (bipolar curve): curve 4 halves the time below key 66 and lengthens it by
    // nearly half from there up.
    single.keyScaleCurve = 4;
    single.autoBendKeyScaleToTime = 100;
    const float time = envDelayTime(50);
    EXPECT_FLOAT_EQ(Voice(engine.context, single, 80, 64, 0, Rate, 0, 0, 100, 0).getAutoBendTime(),
                    time + 0.984375f * 50 * 0.02f * time * 0.5f);
    EXPECT_FLOAT_EQ(Voice(engine.context, single, 40, 64, 0, Rate, 0, 0, 100, 0).getAutoBendTime(),
                    time * 0.5f);
}

TEST(Voice, ReleaseEndsTheVoiceAndCopiesCarryOn) {
    TestEngine engine;
    SinglePreset single = sineSingle();
    single.sources[0].envRelease = single.sources[1].envRelease = 0;
    Voice voice(engine.context, single, 60, 100, 0, Rate, 0, 0, 100, 0);
    render(voice, 500);
    Voice copy = voice; // moving to a releasing list copies the voice
    voice.onNoteOff(0);
    EXPECT_FALSE(voice.isKeyDown());
    const int releaseSamples = static_cast<int>(envDecayTime(0) * Rate) + 2;
    render(voice, releaseSamples);
    EXPECT_TRUE(voice.isFinished());

    // The fast kill of the voice limit uses release 7, and the release velocity changes nothing.
    copy.onNoteOff(127, Voice::kKillRelease);
    Voice other = copy;
    other.onNoteOff(1, Voice::kKillRelease);
    EXPECT_EQ(render(copy, 100).slots[0], render(other, 100).slots[0]);
    render(copy, static_cast<int>(envDecayTime(Voice::kKillRelease) * Rate) + 2);
    EXPECT_TRUE(copy.isFinished());
}

TEST(Voice, RenderingAStartedVoiceAllocatesNothing) {
    TestEngine engine;
    SinglePreset single = sineSingle();
    single.source2or4 = 1;
    single.ampModS3S4 = 2;
    single.sources[2].wave = LoopWave;
    single.autoBendTime = 30;
    single.autoBendDepth = 80;
    single.sources[0].vibABend = 1;
    SectionState section;
    section.vibrato = 1.0f;
    AllocationCounter counter;
    Voice voice(engine.context, single, 60, 100, 3, Rate, 0, 0, 100, 0);
    float mix[4] = {};
    for (int i = 0; i < 20000; ++i)
        processOneFrame(voice, mix, section);
    Voice copy = voice;
    copy.onNoteOff(64);
    for (int i = 0; i < 20000; ++i)
        processOneFrame(copy, mix, section);
    EXPECT_EQ(counter.count(), 0u);
    for (float m : mix)
        EXPECT_TRUE(std::isfinite(m));
}

// Records arrive from files, hardware and hosts unchecked: any bytes in any field still give
// finite output and no read outside a table or wave (the sanitizer build checks the reads).
TEST(Voice, ArbitraryRecordsPlaySafely) {
    TestEngine engine;
    std::mt19937 random(2024);
    for (int round = 0; round < 500; ++round) {
        SinglePreset single;
        auto* bytes = reinterpret_cast<unsigned char*>(&single);
        for (size_t i = 0; i < sizeof(single); ++i)
            bytes[i] = static_cast<unsigned char>(random());
        SectionState section;
        section.vibrato = static_cast<float>(static_cast<int>(random() % 25) - 12);
        Voice voice(engine.context, single, static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
                    static_cast<uint8_t>(random()), Rate, static_cast<int>(random() % 49) - 24,
                    static_cast<int>(random() % 101) - 50, static_cast<int>(random() % 101),
                    static_cast<uint32_t>(random()));
        for (int i = 0; i < 300; ++i) {
            float mix[4] = {};
            processOneFrame(voice, mix, section);
            if (i == 150) voice.onNoteOff(0);
            for (float m : mix)
                ASSERT_TRUE(std::isfinite(m)) << round;
        }
    }
}
