#include "k1lib/params/Curves.h"
#include "k1lib/params/CurveTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace k1lib;

namespace {

// The plain sum catches a wrong value, the index-weighted sum a swapped or shifted one.
template <typename Table> void expectSums(const Table& table, double sum, double weighted, const char* name) {
    double s = 0.0, w = 0.0;
    for (size_t i = 0; i < table.size(); ++i) {
        s += static_cast<double>(table[i]);
        w += static_cast<double>(i + 1) * static_cast<double>(table[i]);
    }
    EXPECT_NEAR(s, sum, 1e-5 * (1.0 + std::abs(sum))) << name;
    EXPECT_NEAR(w, weighted, 1e-5 * (1.0 + std::abs(weighted))) << name;
}

} // namespace

TEST(Curves, TablesMatchTheMeasuredData) {
    expectSums(g_bufPhm_08754, 65505.0, 5750910.0, "delay");
    expectSums(envDecayToSeconds, 924.54564583, 84065.85364583, "decay");
    expectSums(envAttackToSeconds, 445.62344255996, 39588.3146496798, "attack");
    expectSums(lfoSpeedToSeconds, 36.9631655, 694.6659475, "lfo speed");
    expectSums(envLevelToGain, 24.875736148, 2016.792896536, "level");
    expectSums(envSustainLevelToGain, 26.08598956, 2067.12007221, "sustain");
    expectSums(g_bufPhm_11045, 38416.0, 1959216.0, "semitones");
    expectSums(pressureToEnvLvl, 19.860711052, 2208.309520044, "pressure");
    expectSums(volumeToGain, 34.9167566, 2590.8392017, "volume");
    expectSums(g_bufK1_25881, 4349.0, 190774.0, "velocity index");
    expectSums(g_bufPHm_08855, 137708.0, 8754376.0, "strength");
    const double velocitySums[8][2] = {{5643, 223314}, {6022, 230224}, {4017, 174238}, {2475, 121239},
                                       {1844, 101048}, {4682, 208582}, {5515, 211276}, {5652, 128930}};
    for (size_t c = 0; c < 8; ++c)
        expectSums(g_velocityCurves[c], velocitySums[c][0], velocitySums[c][1], "velocity");
    const double keySums[5][2] = {
        {7810, 744419}, {6300, 637251}, {9359, 842016}, {7811, 760470}, {7874, 767715}};
    for (size_t c = 0; c < 5; ++c)
        expectSums(g_ksCurves[c], keySums[c][0], keySums[c][1], "key scaling");
}

TEST(Curves, ValuesAtTheDocumentedPoints) {
    EXPECT_FLOAT_EQ(envDelayTime(100), 12.0276f);
    EXPECT_EQ(envDelayTime(0), 0.0f);
    EXPECT_FLOAT_EQ(lfoSpeed(0), 1.0f / 12.32f);
    EXPECT_FLOAT_EQ(lfoSpeed(100), 1.0f / 0.078182f);
    EXPECT_FLOAT_EQ(envDecayTime(100), 164.2f);
    EXPECT_FLOAT_EQ(envAttackTime(100), 33.46957f);
    EXPECT_EQ(envLevel(100), 1.0f);
    EXPECT_FLOAT_EQ(envSustainLevel(0), 0.00298182f);
    EXPECT_EQ(volume(99), 1.0f);

    const float wholeSemitones[51] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  0,  0,
                                      0, 0, 0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3,  3,  3,
                                      3, 4, 4, 4, 4, 4, 5, 5, 5, 6, 6, 7, 8, 9, 10, 11, 12};
    for (int d = 0; d <= 50; ++d) {
        EXPECT_EQ(vibratoDepth(d), wholeSemitones[d]) << d;
        EXPECT_EQ(ksToFreq(d), wholeSemitones[d]);
        EXPECT_EQ(autoBendDepth(d), wholeSemitones[d]);
        EXPECT_EQ(pressureToFreq(d), wholeSemitones[d]);
    }

    EXPECT_EQ(genericDepthModToLevel(50), 0.0f);
    EXPECT_EQ(genericDepthModToLevel(0), 1.0f);
    EXPECT_EQ(genericDepthModToLevel(100), 1.0f);
    EXPECT_EQ(pressureToEnvLevel(127), 1.0f);

    EXPECT_EQ(velocityCurveValue(1, 7), 127);
    EXPECT_EQ(velocityCurveValue(127, 7), 0);

    for (int key = 0; key < 128; ++key) {
        const auto [first, second] = ksCurveMod(key, 4, true);
        const float expected = key < 66 ? 0.0f : 0.9921875f;
        EXPECT_EQ(first, expected) << key;
        EXPECT_EQ(second, expected) << key;
    }
    EXPECT_EQ(ksCurveMod(0, 0, false).first, -1.0f);
    EXPECT_EQ(ksCurveMod(127, 0, false).second, 0.984375f);
    const auto unipolar = ksCurveMod(0, 1, true);
    EXPECT_EQ(unipolar.first, -1.0f);
    EXPECT_EQ(unipolar.second, 0.0f);

    for (int v = 0; v < 128; ++v)
        EXPECT_EQ(velocityWithStrength(v, 0), 1.0f) << v;
    // Full strength follows the strength table: value 0 scales to 1, so b = -99 reads entry 1.
    EXPECT_FLOAT_EQ(velocityWithStrength(0, 50), 0.01f);
    EXPECT_FLOAT_EQ(velocityWithStrength(127, 50), 1.0f);
    // 64 scales to 51 rounded up plus 1 = 52; b = -48 reads 1424 * 52 / 2500 = 29.6, rounded up.
    EXPECT_FLOAT_EQ(velocityWithStrength(64, 50), 0.30f);
}

// Values straight from files, hardware or hosts: whatever the argument, a curve answers with a
// table value (the sanitizer build proves nothing is read outside).
TEST(Curves, ArgumentsOutOfRangeAreClampedIntoTheTables) {
    for (int step = -302; step <= 300; ++step) {
        const int v = step == -302 ? 1 << 30 : step == -301 ? -(1 << 30) : step;
        const int to100 = std::clamp(v, 0, 100);
        EXPECT_EQ(envDelayTime(v), envDelayTime(to100));
        EXPECT_EQ(envDecayTime(v), envDecayTime(to100));
        EXPECT_EQ(envAttackTime(v), envAttackTime(to100));
        EXPECT_EQ(lfoSpeed(v), lfoSpeed(to100));
        EXPECT_EQ(envLevel(v), envLevel(to100));
        EXPECT_EQ(envSustainLevel(v), envSustainLevel(to100));
        EXPECT_EQ(vibratoDepth(v), vibratoDepth(std::clamp(v, 0, 50)));
        EXPECT_EQ(pressureToEnvLevel(v), pressureToEnvLevel(std::clamp(v, 0, 127)));
        EXPECT_EQ(volume(v), volume(std::clamp(v, 0, 99)));
        EXPECT_EQ(genericDepthModToLevel(v), genericDepthModToLevel(to100));
        EXPECT_EQ(velocityCurveValue(v, v), velocityCurveValue(std::clamp(v, 0, 127), std::clamp(v, 0, 7)));
        EXPECT_EQ(velocityWithStrength(v, v),
                  velocityWithStrength(std::clamp(v, 0, 127), std::clamp(v, 0, 50)));
        const auto clamped = ksCurveMod(std::clamp(v, 0, 127), std::clamp(v, 0, 4), true);
        EXPECT_EQ(ksCurveMod(v, v, true), clamped);
    }
}
