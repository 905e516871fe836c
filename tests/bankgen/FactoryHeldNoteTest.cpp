// How every factory Single holds a note, heard through the engine's voices and the embedded wave
// ROM: a steady level once the decay is taken out, no click at note-on, one-shots that ring out
// before they end, no held note that stops while still sounding, and strings and pads without
// fizz above 8 kHz.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "tests/bankgen/FactorySingles.h"
#include "tools/bankgen/Audition.h"
#include "tools/bankgen/PlayingMeasure.h"
#include "tools/bankgen/Waves.h"

namespace {

using namespace bankgen;
using namespace soundmeasure;
using factorysingles::factory;

constexpr float HeldSeconds = 4.0f;

// The Single with one source playing alone, no ring modulation.
k1lib::SinglePreset alone(const k1lib::SinglePreset& single, int source) {
    k1lib::SinglePreset solo = single;
    solo.ampModS1S2 = solo.ampModS3S4 = 0;
    for (int k = 0; k < 4; ++k)
        solo.mute[k] = k == source ? 0 : 1;
    return solo;
}

class FactoryHeldNote : public testing::TestWithParam<int> {};

TEST_P(FactoryHeldNote, HoldsSteadyStartsCleanAndEndsQuietly) {
    Audition player;
    int pumping = 0, clicking = 0, stopping = 0, abrupt = 0;
    for (const auto& [single, instrument, family] : factory(kEvery, GetParam())) {
        const bool drum = family == Family::Drum;
        for (const int note : {60, 72}) {
            const Heard heard = player.listen(single, {note}, 100, HeldSeconds, 0.0f);
            const std::vector<float>& held = heard.samples;
            if (!drum) {
                const float swing = swingAroundTrend(frameLevels(held, at(1.0), at(HeldSeconds), at(0.05)));
                pumping += swing > 6.0f;
                EXPECT_LE(swing, 6.0f) << single.name << " pumps at key " << note;
            }
            if (note != 60) continue;
            // A drum's strike is its sound.
            const StartStep start = startStep(held, at(0.001), at(0.005), at(0.015));
            const bool click = !drum && decibels(start.jump) > -40.0f && start.jump > 4.0 * start.ownSteps;
            clicking += click;
            EXPECT_FALSE(click) << single.name << " clicks at note-on: a step of " << decibels(start.jump)
                                << " dBFS";
            if (heard.sounding < held.size()) { // stopped while the key was down
                const float fall = fallBeforeEnd(held, heard.sounding, Audition::kRate);
                stopping += fall < 40.0f;
                EXPECT_GE(fall, 40.0f)
                    << single.name << " stops while held, " << fall << " dB under its peak";
            }
        }
        for (int source = 0; source < (single.source2or4 ? 4 : 2); ++source) {
            if (single.mute[source] || waveLoops(static_cast<uint8_t>(single.sources[source].wave))) continue;
            const Heard once = player.listen(alone(single, source), {60}, 100, HeldSeconds, 0.0f);
            if (once.sounding >= once.samples.size()) continue; // its envelope outlasts the hold
            const float fall = fallBeforeEnd(once.samples, once.sounding, Audition::kRate);
            abrupt += fall < 60.0f;
            EXPECT_GE(fall, 60.0f) << single.name << ": S" << source + 1 << " ends " << fall
                                   << " dB under its peak";
        }
    }
    std::printf(
        "bank %d: %d pumping notes, %d clicks, %d held notes stopping, %d one-shots ending abruptly\n",
        GetParam(), pumping, clicking, stopping, abrupt);
}

// A C4 chord of strings or a pad keeps at most a ten-thousandth of its energy above 8 kHz.
TEST_P(FactoryHeldNote, StringsAndPadsCarryNoFizz) {
    Audition player;
    for (const auto& [single, instrument, family] : factory(kEvery, GetParam())) {
        if (family != Family::Strings && family != Family::Pad) continue;
        const std::vector<float> chord = player.play(single, {60, 64, 67}, 100, 1.5f);
        const std::vector<double> power = powerSpectrum(chord, at(1.0), 4);
        double total = 0.0, above = 0.0;
        for (size_t k = 1; k < power.size(); ++k) {
            total += power[k];
            if (static_cast<double>(k) * Audition::kRate / 2048.0 >= 8000.0) above += power[k];
        }
        const float fizz = decibels(std::sqrt(above / std::max(total, 1e-30)));
        std::printf("fizz %s %.1f dB\n", single.name, fizz);
        EXPECT_LE(fizz, -40.0f) << single.name << " fizzes";
    }
}

INSTANTIATE_TEST_SUITE_P(Banks, FactoryHeldNote, testing::Range(0, k1lib::kFactoryBankCount));

} // namespace
