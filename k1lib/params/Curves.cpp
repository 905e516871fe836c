#include "k1lib/params/Curves.h"

#include "k1lib/params/CurveTables.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace k1lib {

namespace {

template <typename Table> const auto& at(const Table& table, int index) {
    return table[static_cast<std::size_t>(std::clamp(index, 0, static_cast<int>(table.size()) - 1))];
}

// Bipolar distances read the upper half of the symmetric semitone table; >> 7 keeps whole semitones.
float semitones(int distance) {
    return static_cast<float>(at(g_bufPhm_11045, 50 + std::clamp(distance, 0, 50)) >> 7);
}

} // namespace

float envDelayTime(int value) {
    return static_cast<float>(at(g_bufPhm_08754, value)) * 12.0276f / 4000.0f;
}
float envDecayTime(int value) {
    return at(envDecayToSeconds, value);
}
float envAttackTime(int value) {
    return at(envAttackToSeconds, value);
}
float lfoSpeed(int value) {
    return 1.0f / at(lfoSpeedToSeconds, value);
}
float envLevel(int value) {
    return at(envLevelToGain, value);
}
float envSustainLevel(int value) {
    return at(envSustainLevelToGain, value);
}

std::pair<float, float> ksCurveMod(int key, int curve, bool unipolar) {
    const auto& table = at(g_ksCurves, curve);
    const float x = 2.0f * static_cast<float>(at(table, key)) * 0.0078125f - 1.0f;
    if (!unipolar) return {x, x};
    const float positive = (1.0f + x) * 0.5f;
    return {std::clamp(curve, 0, 4) == 4 ? positive : x, positive};
}

float vibratoDepth(int distance) {
    return semitones(distance);
}
float ksToFreq(int distance) {
    return semitones(distance);
}
float autoBendDepth(int distance) {
    return semitones(distance);
}
float pressureToFreq(int distance) {
    return semitones(distance);
}

float pressureToEnvLevel(int value) {
    return at(pressureToEnvLvl, value);
}
float volume(int value) {
    return at(volumeToGain, value);
}

float genericDepthModToLevel(int value) {
    return at(pressureToEnvLvl, std::abs(std::clamp(value, 0, 100) - 50) * 127 / 50);
}

int velocityCurveValue(int velocity, int curve) {
    const int index = at(g_bufK1_25881, std::clamp(velocity, 0, 127) / 2) / 2;
    return at(at(g_velocityCurves, curve), index);
}

float velocityWithStrength(int value, int strength) {
    value = std::clamp(value, 0, 127);
    strength = std::clamp(strength, 0, 50);
    // The K1 rounds up by subtracting from 65535 in float arithmetic.
    const float scaled = static_cast<float>(value) * -100.0f / 127.0f + 65535.0f;
    const int a = std::clamp(65536 - static_cast<int>(std::trunc(scaled)), 0, 100);
    const int b = (a - 100) * strength * strength / 2500;
    const int p = at(g_bufPHm_08855, 100 + b) * (100 + b);
    const float rounded = static_cast<float>(p) / -2500.0f + 65535.0f;
    const int c = std::clamp(65535 - static_cast<int>(std::trunc(rounded)), 0, 100);
    return static_cast<float>(c) * 0.01f;
}

} // namespace k1lib
