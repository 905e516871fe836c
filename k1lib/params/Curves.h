#pragma once
// Value curves: turn the K1's small integer parameters into seconds, Hz, semitones, gains and
// 0-127 levels. Every argument is clamped into its table, so values straight from files,
// hardware or hosts never read outside a table.
#include <cstdint>
#include <utility>

namespace k1lib {

float envDelayTime(int value);    // 0-100 -> seconds (0 to 12.0276)
float envDecayTime(int value);    // 0-100 -> seconds; also the release time
float envAttackTime(int value);   // 0-100 -> seconds
float lfoSpeed(int value);        // 0-100 -> Hz
float envLevel(int value);        // 0-100 -> gain
float envSustainLevel(int value); // 0-100 -> gain

// Key scaling curve (0-4) at a key, as (first, second); the bipolar form gives -1..0.984375 twice.
std::pair<float, float> ksCurveMod(int key, int curve, bool unipolar);

// Whole semitones for the distance 0-50 of a bipolar value from its centre.
float vibratoDepth(int distance);
float ksToFreq(int distance);
float autoBendDepth(int distance);
float pressureToFreq(int distance);

float pressureToEnvLevel(int value);                 // 0-127 -> gain
float volume(int value);                             // 0-99 -> gain
float genericDepthModToLevel(int value);             // bipolar 0-100, centre 50 -> gain
int velocityCurveValue(int velocity, int curve);     // velocity 0-127, curve 0-7 -> 0-127
float velocityWithStrength(int value, int strength); // value 0-127, strength 0-50 -> 0..1 in 0.01 steps

} // namespace k1lib
