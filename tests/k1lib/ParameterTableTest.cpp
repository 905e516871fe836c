#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "k1lib/params/Parameters.h"

using namespace k1lib;

namespace {

std::string text(EParam p, float plain) {
    return g_params[p].formatValue(p, plain);
}

} // namespace

TEST(ParameterTable, NumberingFollowsTheSourceAndSectionLayouts) {
    EXPECT_EQ(Param_Name01, 0u);
    EXPECT_EQ(Param_SourceS3Wave, 41u);
    EXPECT_EQ(Param_SourceMix12, 107u);
    EXPECT_EQ(Param_MultiVolume, 119u);
    EXPECT_EQ(Param_MultiS8Level, 207u);
    EXPECT_EQ(Param_Mode, 208u);
    EXPECT_EQ(kParamCount, 209u);
    EXPECT_STREQ(g_paramEnumStrings[Param_Mode], "Param_Mode");
    EXPECT_EQ(CParam::getEnumString(Param_SourceS3Wave), "Param_SourceS3Wave");

    for (uint32_t k = 0; k < 20; ++k)
        for (uint32_t s = 0; s < 4; ++s) {
            const uint32_t p = 27 + 4 * k + s;
            EXPECT_EQ(std::string(g_paramEnumStrings[p]).rfind("Param_SourceS" + std::to_string(s + 1), 0),
                      0u)
                << p;
            EXPECT_EQ(std::string(g_params[p].group), "S" + std::to_string(s + 1)) << p;
            EXPECT_STREQ(g_params[p].name, g_params[27 + 4 * k].name) << p;
        }
    for (uint32_t k = 0; k < 11; ++k)
        for (uint32_t s = 0; s < 8; ++s) {
            const uint32_t p = 120 + 8 * k + s;
            EXPECT_EQ(std::string(g_paramEnumStrings[p]).rfind("Param_MultiS" + std::to_string(s + 1), 0), 0u)
                << p;
            EXPECT_EQ(std::string(g_params[p].group), "MS" + std::to_string(s + 1)) << p;
            EXPECT_EQ(g_params[p].unit, Unit_Integer) << p;
        }
}

TEST(ParameterTable, RowsAreConsistentAndIdentifiersUnique) {
    for (uint32_t p = 0; p < kParamCount; ++p) {
        const CParam& row = g_params[p];
        EXPECT_EQ(row.range, row.max - row.min) << p;
        EXPECT_EQ(row.rangeInv, 1.0f / row.range) << p;
        EXPECT_GE(row.defaultValue, row.min) << p;
        EXPECT_LE(row.defaultValue, row.max) << p;
        EXPECT_EQ(row.step, (p == Param_SourceMix12 || p == Param_SourceMix34) ? 0.0f : 1.0f) << p;
        for (uint32_t q = 0; q < p; ++q)
            EXPECT_STRNE(g_paramEnumStrings[p], g_paramEnumStrings[q]);
    }
    // A host's "reset to default" keeps a source at the key's pitch.
    for (uint32_t p = Param_SourceS1Coarse; p <= Param_SourceS4Coarse; ++p)
        EXPECT_EQ(g_params[p].defaultValue, 84.0f);
}

TEST(ParameterTable, ValueTextsAtTheListedPoints) {
    EXPECT_EQ(text(Param_SourceS1Coarse, 0), "C-4");
    EXPECT_EQ(text(Param_SourceS1Coarse, 48), "C0");
    EXPECT_EQ(text(Param_SourceS1Coarse, 127), "G6");
    EXPECT_EQ(text(Param_MultiS1ZoneLow, 0), "C-2");
    EXPECT_EQ(text(Param_MultiS1ZoneLow, 60), "C3");
    EXPECT_EQ(text(Param_MultiS8ZoneHigh, 127), "G8");
    EXPECT_EQ(text(Param_PressureToFreq, 5), "+5");
    EXPECT_EQ(text(Param_PressureToFreq, -5), "-5");
    EXPECT_EQ(text(Param_PressureToFreq, 0), "0");
    EXPECT_EQ(text(Param_PressureToFreq, 0.6f), "+1");
    EXPECT_EQ(text(Param_PitchBendDepth, 2), "2");
    EXPECT_EQ(text(Param_MultiS1Transpose, 12), "+12");
    EXPECT_EQ(text(Param_Name01, 65), "A");
    EXPECT_EQ(text(Param_Volume, 100), "100");
    EXPECT_EQ(g_params[Param_Volume].getUnitLabel(), "dB");
    EXPECT_EQ(g_params[Param_MultiVolume].getUnitLabel(), "dB");
    EXPECT_EQ(g_params[Param_SourceS1Mute].getUnitLabel(), "");
    EXPECT_EQ(text(Param_SourceS1Mute, 1), "1.00");
    EXPECT_EQ(text(Param_SourceMix12, -0.5f), "-0.50");
    EXPECT_EQ(text(Param_MultiS1Channel, 0), "1");
    EXPECT_EQ(text(Param_MultiS8Channel, 15), "16");
    EXPECT_EQ(text(Param_KeyScaleCurve, 4), "5");
    EXPECT_EQ(text(Param_SourceS2VelCurve, 7), "8");
    EXPECT_EQ(text(Param_MultiS1Poly, 0), "VR");
    EXPECT_EQ(text(Param_MultiS1Poly, 1), "off");
    EXPECT_EQ(text(Param_MultiS3Poly, 9), "8");
    EXPECT_EQ(text(Param_Mode, 0.5f), "Single");
    EXPECT_EQ(text(Param_Mode, 0.51f), "Multi");
    EXPECT_EQ(text(Param_PolyMode, 2), "Solo");
    EXPECT_EQ(text(Param_Source2or4, 1), "4");
    EXPECT_EQ(text(Param_AmpModS1S2, 1), "S2>S1");
    EXPECT_EQ(text(Param_AmpModS3S4, 2), "S3>S4");
    EXPECT_EQ(text(Param_LfoShape, 3), "Random");
    EXPECT_EQ(text(Param_VibWheelMode, 1), "Speed");
    EXPECT_EQ(text(Param_MultiS2Output, 1), "LR");
    EXPECT_EQ(text(Param_MultiS2Mode, 2), "Both");
    EXPECT_EQ(text(Param_MultiS2Velocity, 1), "Soft");
    EXPECT_EQ(text(Param_SourceS1Wave, 0), "001: Sin 1st");
    EXPECT_EQ(text(Param_SourceS4Wave, 255), "256: Piano Noise Alt");
    EXPECT_EQ(text(Param_SourceS4Wave, 256), "");
    EXPECT_EQ(text(Param_MultiS1Level, 100), "100"); // 0..100 is not symmetric: no sign
}

TEST(ParameterTable, OutOfRangeValuesNeverIndexOutsideATable) {
    for (uint32_t p = 0; p < kParamCount; ++p) {
        const CParam& row = g_params[p];
        const EParam param = static_cast<EParam>(p);
        for (float plain :
             {row.min, row.max, row.min - 1.0f, row.max + 1.0f, -1e30f, 1e30f,
              std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
            const std::string shown = row.formatValue(param, plain);
            EXPECT_LT(shown.size(), 48u) << p << " " << plain;
        }
    }
    EXPECT_EQ(text(Param_PolyMode, 3), "3");
    EXPECT_EQ(text(Param_PolyMode, -1), "-1");
    EXPECT_EQ(text(Param_SourceS1Coarse, -1), "-1");
    EXPECT_EQ(text(Param_SourceS1Coarse, 128), "128");
    EXPECT_EQ(text(Param_MultiS1Poly, 10), "10");
    EXPECT_EQ(text(Param_Name01, 0), "0");
    EXPECT_EQ(text(Param_SourceS1Wave, -1), "");
}
