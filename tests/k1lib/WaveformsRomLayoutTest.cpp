#include "K1Constants.h"
#include "WavLoader.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace k1data {
const unsigned char* getData_waverom();
unsigned long getDataSize_waverom();
} // namespace k1data

namespace {

const unsigned char* rom() {
    return k1data::getData_waverom();
}
uint32_t u32At(uint64_t at) {
    const unsigned char* p = rom() + at;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t u16At(uint64_t at) {
    return static_cast<uint16_t>(rom()[at] | (rom()[at + 1] << 8));
}
std::string idAt(uint64_t at) {
    return std::string(reinterpret_cast<const char*>(rom() + at), 4);
}

constexpr std::array<uint32_t, 30> SegmentLengths = {
    32768, 32768, 16384, 16384, 32768, 16384, 8192, 16384, 8192, 8192, 16384, 8192, 8192, 8192, 32768,
    16384, 16384, 8192,  8192,  8192,  8192,  8192, 8192,  8192, 8192, 8192,  4096, 8192, 8192, 4096};

const char* const SegmentLabels[30] = {"w225 w245L2",
                                       "w223 w235",
                                       "w230 w236 w248L3",
                                       "w233 w238",
                                       "w212 w255a",
                                       "w214",
                                       "w215 w241",
                                       "w218",
                                       "w210 w247L3 w252r",
                                       "w207",
                                       "w213",
                                       "w232 w237",
                                       "w224",
                                       "w234 w239",
                                       "w226",
                                       "w217 w243L2 w250L6 w253r",
                                       "w216",
                                       "w227 w256a",
                                       "w231",
                                       "w222 w244L2",
                                       "w221",
                                       "w228 w246L2",
                                       "w229",
                                       "w220",
                                       "w209",
                                       "w205 w249L5",
                                       "w208",
                                       "w219 w242",
                                       "w206 w240 w251r",
                                       "w211 w254a"};

std::vector<uint32_t> expectedCuePositions() {
    std::vector<uint32_t> positions;
    uint32_t position = 0;
    for (uint32_t length : SegmentLengths) {
        positions.push_back(position);
        position += length;
    }
    for (uint32_t n = 0; n <= k1lib::kFirstSampledWave; ++n)
        positions.push_back(393216 + 640 * n);
    return positions;
}

} // namespace

TEST(WaveformsRomLayoutTest, ChunksSitWhereTheLayoutPutsThem) {
    ASSERT_EQ(k1data::getDataSize_waverom(), 739648u);
    EXPECT_EQ(idAt(0), "RIFF");
    EXPECT_EQ(u32At(4), 739640u);
    EXPECT_EQ(idAt(8), "WAVE");
    EXPECT_EQ(idAt(12), "fmt ");
    EXPECT_EQ(u32At(16), 16u);
    EXPECT_EQ(u16At(20), 1u);
    EXPECT_EQ(u16At(22), 1u);
    EXPECT_EQ(u32At(24), 50000u);
    EXPECT_EQ(u32At(28), 50000u);
    EXPECT_EQ(u16At(32), 1u);
    EXPECT_EQ(u16At(34), 8u);
    EXPECT_EQ(idAt(36), "data");
    EXPECT_EQ(u32At(40), 524288u);
    EXPECT_EQ(idAt(524332), "cue ");
    EXPECT_EQ(u32At(524336), 4u + 235 * 24);
    EXPECT_EQ(idAt(529984), "LIST");
    EXPECT_EQ(idAt(529992), "adtl");
    EXPECT_EQ(idAt(545314), "_PMX");
    EXPECT_EQ(u32At(545318), 194326u);
    EXPECT_EQ(545314u + 8 + 194326, 739648u);
}

TEST(WaveformsRomLayoutTest, CuePointsMarkTheSegments) {
    const std::vector<uint32_t> positions = expectedCuePositions();
    ASSERT_EQ(positions.size(), 235u);
    EXPECT_EQ(positions[30], 393216u);
    EXPECT_EQ(positions[234], 523776u);
    ASSERT_EQ(u32At(524340), 235u);
    for (uint32_t k = 0; k < 235; ++k) {
        const uint64_t record = 524344 + 24 * k;
        EXPECT_EQ(u32At(record), k + 1);
        EXPECT_EQ(u32At(record + 4), positions[k]) << "cue " << k;
        EXPECT_EQ(idAt(record + 8), "data");
        EXPECT_EQ(u32At(record + 20), positions[k]);
    }
    // The samples after the last cue are silence.
    for (uint64_t i = 523776; i < 524288; ++i)
        ASSERT_EQ(rom()[44 + i], 0x80) << i;
}

TEST(WaveformsRomLayoutTest, LabelsNameTheWaveforms) {
    k1lib::Data data;
    std::vector<k1lib::CuePoint> cues;
    ASSERT_TRUE(k1lib::WavLoader::load(data, &cues, rom(), k1data::getDataSize_waverom()));
    ASSERT_EQ(cues.size(), 235u);
    for (int k = 0; k < 30; ++k)
        EXPECT_EQ(cues[k].label, SegmentLabels[k]);
    for (int k = 30; k < 235; ++k)
        EXPECT_EQ(cues[k].label, "Marker " + std::to_string(k + 3));
}
