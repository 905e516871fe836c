#pragma once
// The wave ROM's file layout: RIFF/WAVE, 8-bit unsigned mono at 50,000 Hz, 524,288 samples,
// 235 cue points with labels, and a filler chunk that brings the image to exactly 739,648 bytes.
#include <array>
#include <cstdint>
#include <vector>

#include "k1lib/constants/K1Constants.h"

namespace wavegen {

constexpr int SampleRate = 50000;
constexpr uint32_t SampleCount = 524288;
constexpr uint32_t ImageSize = 739648;
constexpr int SampledSegmentCount = 30;
constexpr int SingleCycleCount = k1lib::kFirstSampledWave;
constexpr uint32_t SingleCycleBlock = 640;
constexpr uint32_t SampledEnd = 393216; // first single-cycle block
constexpr double PcmRoot = 415.28961;   // pitch of every pitched sampled segment

// Sampled segment lengths: powers of two whose spans ("Lk" tokens) and ping-pongs come out as powers
// of two too.
constexpr std::array<uint32_t, SampledSegmentCount> SegmentLengths = {
    32768, 32768, 16384, 16384, 32768, 16384, 8192, 16384, 8192, 8192, 16384, 8192, 8192, 8192, 32768,
    16384, 16384, 8192,  8192,  8192,  8192,  8192, 8192,  8192, 8192, 8192,  4096, 8192, 8192, 4096};

// Waveform tokens of each sampled segment (numbers count from 1).
extern const std::array<const char*, SampledSegmentCount> SegmentLabels;

uint32_t segmentStart(int segment);

// Wraps unsigned 8-bit samples (SampleCount of them) into the complete image.
std::vector<unsigned char> buildRomImage(const std::vector<unsigned char>& samples);

} // namespace wavegen
