#include "k1lib/base/WaveFrames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

using namespace k1lib;

namespace {

// A random wave of length samples followed by its guard, and nothing readable after it.
std::vector<int8_t> randomWave(uint32_t length, std::mt19937& random) {
    std::vector<int8_t> wave(length + WaveReading::kGuard);
    for (uint32_t i = 0; i < length; ++i)
        wave[i] = static_cast<int8_t>(random());
    for (int j = 0; j < WaveReading::kGuard; ++j)
        wave[length + j] = wave[j % length];
    return wave;
}

} // namespace

// Runs of frames at one step, through whichever path the processor and the step choose, give the
// plain formula's bits frame by frame and write nothing past the run: short and long waves, steps
// from a crawl to several samples a frame, phases that wrap past the end, and runs that end on
// the last sample pair, as a one-shot wave's last frames do.
TEST(WaveFrames, RunsMatchThePlainFormulaBitForBit) {
    std::mt19937 random(40);
    for (const uint32_t length : {2u, 16u, 256u, 1u << 15}) {
        const std::vector<int8_t> samples = randomWave(length, random);
        const auto shift = static_cast<uint32_t>(32 - std::countr_zero(length));
        const uint32_t unit = 1u << shift;
        const WaveReading wave{samples.data(), shift, unit - 1, 1.0f / static_cast<float>(unit)};
        for (int trial = 0; trial < 3000; ++trial) {
            const int frames = 1 + static_cast<int>(random() % 70);
            const double samplesPerFrame = trial % 3 == 0
                                               ? 6.0 * static_cast<double>(random() % 1000) / 1000.0
                                               : std::ldexp(1.0, static_cast<int>(random() % 12) - 9);
            const auto step = static_cast<uint32_t>(std::min(samplesPerFrame * unit, 4294967295.0));
            // Every third run ends exactly on the last sample pair without wrapping.
            const uint64_t span = uint64_t{step} * static_cast<uint64_t>(frames - 1);
            const uint32_t phase =
                trial % 3 == 1 && span < (uint64_t{1} << 32) - unit
                    ? static_cast<uint32_t>((uint64_t{1} << 32) - 1 - span - random() % unit)
                    : static_cast<uint32_t>(random());
            std::vector<float> out(static_cast<size_t>(frames) + 8, -2.0f);
            const uint32_t after = interpolateWaveFrames(out.data(), frames, wave, phase, step);
            EXPECT_EQ(after, phase + static_cast<uint32_t>(frames) * step);
            for (int i = 0; i < frames + 8; ++i) {
                const float expected =
                    i < frames ? interpolateWave(wave, phase + static_cast<uint32_t>(i) * step) : -2.0f;
                ASSERT_EQ(std::bit_cast<uint32_t>(out[static_cast<size_t>(i)]),
                          std::bit_cast<uint32_t>(expected))
                    << "length " << length << " frame " << i << " of " << frames << " phase " << phase
                    << " step " << step;
            }
        }
    }
}
