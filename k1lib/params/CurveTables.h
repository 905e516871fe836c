#pragma once
// The K1's measured value tables, indexed from 0. Only the value curves (Curves.h) read them;
// they are public so that tests can check every entry.
#include <array>
#include <cstdint>

namespace k1lib {

extern const std::array<uint16_t, 101> g_bufPhm_08754; // envelope delay, in 1/4000 of 12.0276 s
extern const std::array<float, 101> envDecayToSeconds;
extern const std::array<float, 101> envAttackToSeconds;
extern const std::array<float, 101> lfoSpeedToSeconds; // one LFO period
extern const std::array<float, 101> envLevelToGain;
extern const std::array<float, 101> envSustainLevelToGain;
extern const std::array<uint16_t, 101> g_bufPhm_11045; // 1/128 semitones, symmetric about index 50
extern const std::array<float, 128> pressureToEnvLvl;
extern const std::array<float, 100> volumeToGain;
extern const std::array<uint8_t, 64> g_bufK1_25881; // velocity / 2 to a doubled curve index
extern const std::array<std::array<uint8_t, 64>, 8> g_velocityCurves;
extern const std::array<uint16_t, 101> g_bufPHm_08855; // velocity strength
extern const std::array<std::array<uint8_t, 128>, 5> g_ksCurves;

} // namespace k1lib
