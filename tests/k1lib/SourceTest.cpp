#include "tests/k1lib/VoiceTestSupport.h"

#include "k1lib/voice/Source.h"
#include "k1lib/voice/Voice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using namespace k1lib;
using namespace voicetest;

namespace {

constexpr float Rate = 49920.0f;

// Renders slot 0 of a voice playing the Single's first source alone.
std::vector<float> render(TestEngine& engine, const SinglePreset& single, uint8_t note, int samples,
                          const SectionState& section = SectionState{}, int transpose = 0, int tune = 0,
                          uint8_t velocity = 100) {
    Voice voice(engine.context, single, note, velocity, 0, Rate, transpose, tune, 100, 0);
    std::vector<float> out;
    for (int i = 0; i < samples; ++i) {
        float mix[4] = {};
        processOneFrame(voice, mix, section);
        out.push_back(mix[0]);
    }
    return out;
}

SinglePreset firstSourceOnly() {
    SinglePreset single = sineSingle();
    single.mute[1] = 1;
    return single;
}

float peak(const std::vector<float>& signal) {
    float highest = 0.0f;
    for (float v : signal)
        highest = std::max(highest, std::abs(v));
    return highest;
}

} // namespace

TEST(Source, Note69WithCoarse84Plays440Hz) {
    TestEngine engine;
    const std::vector<float> out = render(engine, firstSourceOnly(), 69, static_cast<int>(2 * Rate));
    EXPECT_NEAR(cents(measureFrequency(out, Rate), 440.0), 0.0, 0.5);

    // Section bend and the engine's fine tune move it; a full octave of bend doubles it.
    SectionState bent;
    bent.bend = 12.0f;
    EXPECT_NEAR(cents(measureFrequency(render(engine, firstSourceOnly(), 69, 50000, bent), Rate), 880.0), 0.0,
                0.5);
    engine.context.fineTune = 1.0f;
    EXPECT_NEAR(cents(measureFrequency(render(engine, firstSourceOnly(), 69, 50000), Rate), 440.0), 100.0,
                0.5);
}

TEST(Source, PitchFollowsKeyTransposeTuneAndFine) {
    TestEngine engine;
    SinglePreset single = firstSourceOnly();
    single.sources[0].fine = 75; // +0.5 semitone
    Voice voice(engine.context, single, 60, 100, 0, Rate, 2, 25, 100, 0);
    EXPECT_FLOAT_EQ(voice.getSource(0).getPitch(), 60.0f + 2.0f + 0.5f + 0.5f);

    // Without key tracking every note plays coarse - 24, whatever the section transpose and tune.
    single.sources[0].keyTrack = 0;
    for (uint8_t note : std::initializer_list<uint8_t>{0, 60, 127}) {
        Voice fixed(engine.context, single, note, 100, 0, Rate, 12, 50, 100, 0);
        EXPECT_FLOAT_EQ(fixed.getSource(0).getPitch(), 84.0f - 24.0f + 0.5f);
    }

    // Key scaling to pitch: curve 4 above key 66 adds the full semitone distance.
    single = firstSourceOnly();
    single.keyScaleCurve = 4;
    single.sources[0].freqKeyScaleToFreq = 100; // 12 semitones
    Voice high(engine.context, single, 80, 100, 0, Rate, 0, 0, 100, 0);
    EXPECT_FLOAT_EQ(high.getSource(0).getPitch(), 80.0f + 12.0f * 0.9921875f);
    Voice low(engine.context, single, 50, 100, 0, Rate, 0, 0, 100, 0);
    EXPECT_FLOAT_EQ(low.getSource(0).getPitch(), 50.0f);
}

TEST(Source, KeyRangeChoosesTheTable) {
    TestEngine engine;
    SinglePreset single = firstSourceOnly();
    single.sources[0].keyTrack = 0;
    // Pitch = coarse - 24, table by the pitch rounded up: 47 -> 0, 48 -> 1, 71 -> 2, 83 -> 3, 103 -> 4.
    const struct {
        uint32_t coarse;
        float fine;
        int table;
    } cases[] = {{71, 50, 0}, {71, 51, 1}, {95, 50, 2}, {107, 50, 3}, {127, 50, 4}, {0, 50, 0}};
    for (const auto& c : cases) {
        single.sources[0].coarse = c.coarse;
        single.sources[0].fine = static_cast<uint32_t>(c.fine);
        const float expected = static_cast<float>(tableAmplitude(c.table)) / 128.0f;
        EXPECT_NEAR(peak(render(engine, single, 60, 20000)), expected, 1.5f / 128.0f) << c.coarse;
    }
    single.sources[0].keyTrack = 1;
    single.sources[0].coarse = 127; // 127 + 127 - 84 = 170: key index 127
    EXPECT_NEAR(peak(render(engine, single, 127, 2000)), static_cast<float>(tableAmplitude(4)) / 128.0f,
                1.5f / 128.0f);
}

TEST(Source, SampledWavesStayAboveTheirLowestPitch) {
    TestEngine engine;
    SinglePreset single = firstSourceOnly();
    single.sources[0].wave = LoopWave;
    single.sources[0].keyTrack = 0;
    single.sources[0].coarse = 0; // pitch -24: raised by four octaves to 24
    const double rootOfContent = 34.0 * 50000.0 / SampledLength;
    const double expected = rootOfContent * 440.0 * std::pow(2.0, (24.0 - 69.0) / 12.0) / 415.28961;
    const std::vector<float> out = render(engine, single, 60, static_cast<int>(2 * Rate));
    EXPECT_NEAR(cents(measureFrequency(out, Rate), expected), 0.0, 1.0);
}

TEST(Source, OneShotWaveEndsAndEmptyWaveIsSilent) {
    TestEngine engine;
    SinglePreset single = firstSourceOnly();
    single.sources[0].wave = OneShotWave;
    single.sources[0].keyTrack = 0;
    single.sources[0].coarse = 69 + 24; // plays the ROM at its own rate: 4096 samples at 50 kHz
    Voice voice(engine.context, single, 60, 100, 0, Rate, 0, 0, 100, 0);
    int sounding = 0;
    while (!voice.isFinished() && sounding < 10000) {
        float mix[4] = {};
        processOneFrame(voice, mix, SectionState{});
        ++sounding;
    }
    EXPECT_NEAR(sounding, 4096.0 * 49920.0 / 50000.0 * 415.28961 / 440.0, 3.0);
    EXPECT_EQ(voice.getSource(0).getEnvelope().stage(), Env::Sustain); // finished although the envelope holds

    single.sources[0].wave = EmptyWave;
    Voice empty(engine.context, single, 60, 100, 0, Rate, 0, 0, 100, 0);
    EXPECT_TRUE(empty.isFinished());
    float mix[4] = {};
    for (int i = 0; i < 1000; ++i)
        processOneFrame(empty, mix, SectionState{});
    EXPECT_EQ(mix[0], 0.0f);
}

TEST(Source, RandomStartOnlyForLoopingSampledWaves) {
    TestEngine engine;
    SinglePreset single = firstSourceOnly();
    single.sources[0].wave = LoopWave;
    std::vector<float> starts;
    for (int i = 0; i < 8; ++i)
        starts.push_back(render(engine, single, 60, 2)[1]);
    std::sort(starts.begin(), starts.end());
    EXPECT_GT(std::unique(starts.begin(), starts.end()) - starts.begin(), 4);

    single.sources[0].wave = OneShotWave;
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(render(engine, single, 60, 2)[1], render(engine, single, 60, 2)[1]);
}

TEST(Source, ExtremePitchesGiveFiniteOutputAndNeverHang) {
    TestEngine engine;
    const float infinity = std::numeric_limits<float>::infinity();
    const float bends[] = {1e30f,  -1e30f, infinity, -infinity, std::numeric_limits<float>::quiet_NaN(),
                           1000.0f};
    for (uint8_t wave : {uint8_t{0}, LoopWave, OneShotWave}) {
        for (float bend : bends) {
            SinglePreset single = firstSourceOnly();
            single.sources[0].wave = wave;
            single.sources[0].coarse = 0xffffffffu;
            SectionState section;
            section.bend = bend;
            for (float sample : render(engine, single, 127, 500, section, 1 << 20, -(1 << 20)))
                ASSERT_TRUE(std::isfinite(sample)) << int(wave) << " " << bend;
        }
    }
}

TEST(Source, ZeroRateRunsAtTheEngineRate) {
    TestEngine engine;
    const SinglePreset single = firstSourceOnly();
    Voice atZero(engine.context, single, 69, 100, 0, 0.0f, 0, 0, 100, 0);
    Voice atEngine(engine.context, single, 69, 100, 0, Rate, 0, 0, 100, 0);
    for (int i = 0; i < 5000; ++i) {
        float a[4] = {}, b[4] = {};
        processOneFrame(atZero, a, SectionState{});
        processOneFrame(atEngine, b, SectionState{});
        ASSERT_EQ(a[0], b[0]);
    }
}

TEST(Source, PressureAndVelocityScaleTheLevel) {
    TestEngine engine;
    SinglePreset single = firstSourceOnly();
    single.sources[0].levelModPressure = 100; // pressure takes the level away
    const float full = peak(render(engine, single, 69, 3000));
    EXPECT_NEAR(full, 60.0f / 128.0f, 0.01f);
    engine.midi[0].pressure = 1.0f;
    EXPECT_EQ(peak(render(engine, single, 69, 3000)), 0.0f);
    engine.midi[0].pressure = 0.0f;
    single.sources[0].levelModPressure = 0; // the inverse: silent without pressure
    EXPECT_EQ(peak(render(engine, single, 69, 3000)), 0.0f);

    // Velocity to level at full strength: the soft note is far quieter than the hard one.
    single.sources[0].levelModPressure = 50;
    single.sources[0].levelModVel = 100;
    const float softPeak = peak(render(engine, single, 69, 3000, SectionState{}, 0, 0, 20));
    const float hardPeak = peak(render(engine, single, 69, 3000, SectionState{}, 0, 0, 127));
    EXPECT_NEAR(hardPeak, full, 0.01f);
    EXPECT_LT(softPeak, hardPeak * 0.5f);
}
