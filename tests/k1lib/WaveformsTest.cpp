#include "k1lib/voice/Waveforms.h"
#include "k1lib/constants/K1Constants.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace k1data {
const unsigned char* getData_waverom();
unsigned long getDataSize_waverom();
} // namespace k1data

using k1lib::Waveforms;

namespace {

constexpr uint64_t DataStart = 44; // first sample byte of the wave ROM image
constexpr float PcmRoot = 415.28961f;

// ROM sample i as the signed byte the waveforms hold.
int8_t romSample(uint64_t i) {
    return static_cast<int8_t>(k1data::getData_waverom()[DataStart + i] ^ 0x80);
}

bool matchesRom(const Waveforms::WaveformData& d, uint64_t start, uint64_t length) {
    for (uint64_t i = 0; i < length; ++i)
        if (d.data[i] != romSample(start + i)) return false;
    return true;
}

std::unique_ptr<Waveforms> loadWaveforms() {
    LogCapture capture;
    auto waveforms = std::make_unique<Waveforms>();
    EXPECT_TRUE(capture.lines().empty());
    return waveforms;
}

// The embedded image with one label rewritten in place (same length, so the layout holds).
std::vector<unsigned char> romWithLabel(const std::string& from, const std::string& to) {
    const unsigned char* image = k1data::getData_waverom();
    std::vector<unsigned char> copy(image, image + k1data::getDataSize_waverom());
    const std::string bytes(copy.begin(), copy.end());
    const size_t at = bytes.find(from + '\0');
    EXPECT_NE(at, std::string::npos) << from;
    EXPECT_EQ(from.size(), to.size());
    if (at != std::string::npos) std::memcpy(copy.data() + at, to.data(), to.size());
    return copy;
}

bool isEmpty(const Waveforms& w, int number) {
    return w.getData(static_cast<uint8_t>(number), 60).length == 0;
}

} // namespace

TEST(WaveformsTest, SingleCycleTablesFollowTheKey) {
    const auto waveforms = loadWaveforms();
    const Waveforms& w = *waveforms;
    const auto& low = w.getData(0, 47);
    const auto& mid = w.getData(0, 48);
    const auto& high = w.getData(0, 127);
    for (const auto* d : {&low, &mid, &high}) {
        EXPECT_EQ(d->length, 256u);
        EXPECT_FLOAT_EQ(d->rootFrequency, 195.3125f);
    }
    EXPECT_EQ(w.getData(0, 0).data, low.data);
    EXPECT_NE(low.data, mid.data);
    EXPECT_EQ(w.getData(0, 84).data, high.data);
    EXPECT_NE(w.getData(0, 83).data, high.data);
    EXPECT_TRUE(w.isLoop(0));
    EXPECT_FALSE(w.isAlternating(0));
    EXPECT_FLOAT_EQ(w.getWaveform(0).sampleRate, 50000.0f);
    // Table h of wave n: the stored half-period, then its mirror negated.
    for (int n : {0, 101, 203}) {
        for (int h = 0; h < 5; ++h) {
            const int8_t* table =
                w.getData(static_cast<uint8_t>(n), static_cast<uint8_t>(std::array{0, 48, 60, 72, 84}[h]))
                    .data;
            for (int i = 0; i < 128; ++i) {
                ASSERT_EQ(table[i], romSample(393216 + 640 * n + 128 * h + i));
                ASSERT_EQ(table[255 - i], static_cast<int8_t>(-table[i] - 1));
            }
        }
    }
}

TEST(WaveformsTest, SampledWavesFollowTheirTokens) {
    const auto waveforms = loadWaveforms();
    const Waveforms& w = *waveforms;
    // 254 "Crash Alt": segment 4 forward, then backward.
    const auto& crash = w.getData(254, 60);
    ASSERT_EQ(crash.length, 65536u);
    EXPECT_TRUE(w.isAlternating(254));
    EXPECT_TRUE(w.isLoop(254));
    EXPECT_TRUE(matchesRom(crash, 98304, 32768));
    for (uint64_t i = 0; i < 32768; ++i)
        ASSERT_EQ(crash.data[65535 - i], crash.data[i]);
    // 244 "Omnibus Loop 3" spans segments 0 and 1.
    EXPECT_EQ(w.getData(244, 0).length, 65536u);
    EXPECT_TRUE(matchesRom(w.getData(244, 0), 0, 65536));
    EXPECT_TRUE(w.isSpan(244));
    EXPECT_TRUE(w.isLoop(244));
    EXPECT_FALSE(w.canRandomStart(244));
    EXPECT_TRUE(w.isLoop(234)); // "String Loop", by its name
    EXPECT_TRUE(w.canRandomStart(234));
    EXPECT_FALSE(w.isLoop(224)); // "Piano" plays once
    EXPECT_FALSE(w.canRandomStart(224));
    // The "Rev" waves play forward.
    EXPECT_TRUE(matchesRom(w.getData(251, 60), 172032, 8192));
    EXPECT_TRUE(matchesRom(w.getData(252, 60), 262144, 16384));
    EXPECT_TRUE(matchesRom(w.getData(250, 60), 380928, 8192));
    for (int n = 0; n < k1lib::kFirstSampledWave; ++n)
        EXPECT_FALSE(w.canRandomStart(static_cast<uint8_t>(n)));
    for (int n = 204; n < 256; ++n) {
        for (int key : {0, 64, 127}) {
            const auto& d = w.getData(static_cast<uint8_t>(n), static_cast<uint8_t>(key));
            EXPECT_NE(d.data, nullptr) << n;
            EXPECT_FLOAT_EQ(d.rootFrequency, PcmRoot);
            EXPECT_TRUE(d.length >= 4096 && (d.length & (d.length - 1)) == 0) << n;
        }
    }
}

// Sources read a sample and the one after it in one load, so the sample after each table's last
// is its first: the wrap of a loop, and what the last frame of a one-shot wave reads. Further on,
// the guard goes on with the wave's start, for sixteen samples loaded at once from any index.
TEST(WaveformsTest, EveryTableEndsWithACopyOfItsFirstSample) {
    const auto waveforms = loadWaveforms();
    for (int n = 0; n < k1lib::kWaveCount; ++n) {
        for (int key = 0; key < Waveforms::kKeyCount; ++key) {
            const auto& d = waveforms->getData(static_cast<uint8_t>(n), static_cast<uint8_t>(key));
            ASSERT_GE(d.length, 2u) << n;
            ASSERT_EQ(d.data[d.length], d.data[0])
                << Waveforms::getName(static_cast<uint8_t>(n)) << " key " << key;
            for (uint64_t j = 1; j < Waveforms::kGuardLength; ++j)
                ASSERT_EQ(d.data[d.length + j], d.data[j % d.length]) << n << " key " << key << " at " << j;
        }
    }
}

TEST(WaveformsTest, BadLabelsStopTheWalk) {
    struct Case {
        std::string from, to, line;
    };
    const Case cases[] = {
        {"w223 w235", "x223 w235", "loadFromMemory@183: Invalid waveform desc x223"},
        {"w223 w235", "w923 w235", "loadFromMemory@205: Error: Invalid waveform 922"},
        {"w217 w243L2 w250L6 w253r", "w217 w243L2 w1L999 w253r",
         "loadFromMemory@236: Error: cue point index out of bounds"},
    };
    auto w = std::make_unique<Waveforms>();
    for (const Case& c : cases) {
        const auto image = romWithLabel(c.from, c.to);
        LogCapture capture;
        w->loadFromImage(image.data(), image.size());
        EXPECT_EQ(capture.lines(), std::vector<std::string>{c.line});
        EXPECT_FALSE(isEmpty(*w, 224)) << c.line; // defined before the bad label
        EXPECT_TRUE(isEmpty(*w, 0)) << c.line;    // the single-cycle waves come later
        EXPECT_TRUE(isEmpty(*w, 253)) << c.line;
    }
}

TEST(WaveformsTest, ALaterDefinitionReplacesAnEarlierOne) {
    const auto image = romWithLabel("w223 w235", "w225 w235");
    auto w = std::make_unique<Waveforms>();
    LogCapture capture;
    w->loadFromImage(image.data(), image.size());
    EXPECT_EQ(capture.lines(),
              std::vector<std::string>{"loadFromMemory@211: Error: Waveform 224 is defined twice!"});
    EXPECT_EQ(w->getData(224, 60).data, w->getData(234, 60).data);
    EXPECT_TRUE(isEmpty(*w, 222));
    EXPECT_FALSE(isEmpty(*w, 203));
}

TEST(WaveformsTest, DamagedImagesLeaveEveryWaveformEmpty) {
    const unsigned char* rom = k1data::getData_waverom();
    std::vector<unsigned char> image(rom, rom + k1data::getDataSize_waverom());
    auto w = std::make_unique<Waveforms>();
    for (size_t size : {image.size() - 1000, size_t{20}}) {
        LogCapture capture;
        w->loadFromImage(image.data(), size);
        EXPECT_TRUE(capture.contains("loadFromMemory@99: Failed to load Wave ROM"));
        for (int n = 0; n < 256; ++n)
            ASSERT_TRUE(isEmpty(*w, n)) << n;
    }
    // A cue beyond the samples is refused before any segment is cut.
    image[524344 + 24 * 40 + 4] = 0xff;
    image[524344 + 24 * 40 + 6] = 0xff;
    LogCapture capture;
    w->loadFromImage(image.data(), image.size());
    EXPECT_EQ(capture.lines().size(), 1u);
    for (int n = 0; n < 256; ++n)
        ASSERT_TRUE(isEmpty(*w, n)) << n;
}
