// How the factory Singles answer a player, heard through the engine's voices and the embedded wave
// ROM: keyboards that stop when the key comes up, touch alive up to velocity 127, plucked keys that
// sustain, tails that fade instead of stopping dead, no pitch swing baked into a wave, brass with
// bite and held sounds that open up when played harder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "tests/bankgen/FactorySingles.h"
#include "tools/bankgen/Audition.h"
#include "tools/bankgen/PlayingMeasure.h"

namespace {

using namespace bankgen;
using namespace soundmeasure;
using factorysingles::factory;

float median(std::vector<float> values) {
    if (values.empty()) return 0.0f;
    std::nth_element(values.begin(), values.begin() + static_cast<long>(values.size() / 2), values.end());
    return values[values.size() / 2];
}

// The families a player plays with the touch: struck, plucked and hit.
bool touchFamily(Family family) {
    switch (family) {
    case Family::Piano:
    case Family::EPiano:
    case Family::Keys:
    case Family::Mallet:
    case Family::Bell:
    case Family::Guitar:
    case Family::Pluck:
    case Family::Bass:
    case Family::Pizz:
    case Family::Drum:
    case Family::TunedPerc:
        return true;
    default:
        return false;
    }
}

// A C4 struck at 127 is at least 1 dB louder than at 100 on nine in ten Singles of the touch
// families.
TEST(FactoryPlaying, TouchLivesToTheTop) {
    Audition player;
    int touch = 0, alive = 0;
    std::vector<float> rises;
    for (const auto& [single, instrument, family] : factory()) {
        if (!touchFamily(family)) continue;
        const float rise = decibels(loudestRms(player.play(single, {60}, 127, 0.5f))) -
                           decibels(loudestRms(player.play(single, {60}, 100, 0.5f)));
        rises.push_back(rise);
        ++touch;
        alive += rise >= 1.0f;
    }
    std::printf("%d of %d touch Singles rise 1 dB from 100 to 127 (median %.1f dB)\n", alive, touch,
                median(rises));
    EXPECT_GE(alive * 10, touch * 9);
}

} // namespace
