// What a player expects of each family, heard through the engine's voices: touch-sensitive
// keyboards, plucks, basses and drums, and a delayed vibrato on bowed, blown and sung sounds.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "Audition.h"
#include "Banks.h"
#include "Curves.h"
#include "SoundMeasure.h"

namespace {

using namespace bankgen;
using namespace soundmeasure;

size_t at(double seconds) {
    return static_cast<size_t>(seconds * Audition::Rate);
}

// The least drop in dB from velocity 120 to 30, or 0 where the family need not follow the touch.
float touchRange(Family family) {
    switch (family) {
    case Family::Piano:
        return 18.0f;
    case Family::EPiano:
    case Family::Mallet:
    case Family::Pizz:
    case Family::Pluck:
    case Family::Guitar:
    case Family::Bass:
    case Family::SynthBass:
    case Family::Drum:
    case Family::TunedPerc:
        return 12.0f;
    default:
        return 0.0f;
    }
}

bool singsWithVibrato(Family family) {
    switch (family) {
    case Family::Strings:
    case Family::Brass:
    case Family::Wind:
    case Family::Reed:
    case Family::Choir:
    case Family::Lead:
        return true;
    default:
        return false;
    }
}

// How often the pitch modulation turns round within the first samples.
int reversals(const std::vector<float>& modulation, size_t samples) {
    int turns = 0, direction = 0;
    for (size_t i = 1; i < std::min(samples, modulation.size()); ++i) {
        const float step = modulation[i] - modulation[i - 1];
        const int now = step > 0.0f ? 1 : step < 0.0f ? -1 : 0;
        if (now != 0 && direction != 0 && now != direction) ++turns;
        if (now != 0) direction = now;
    }
    return turns;
}

// One test, so the banks are built (and heard) once.
TEST(FactoryVoicing, FamiliesAnswerTouchAndSingWithVibrato) {
    const std::vector<Bank> banks = buildBanks();
    Audition player;
    for (const Bank& bank : banks) {
        for (size_t i = 0; i < bank.singles.size(); ++i) {
            const k1lib::SinglePreset& single = bank.singles[i];
            const Family family = bank.slots[i].instrument->family;
            if (const float range = touchRange(family); range > 0.0f) {
                const double soft = rms(player.play(single, {60}, 30, 0.5f));
                const double hard = rms(player.play(single, {60}, 120, 0.5f));
                EXPECT_GE(decibels(hard) - decibels(soft), range) << single.name << " barely follows the touch";
            }
            if (singsWithVibrato(family)) {
                const Heard note = player.listen(single, {60}, 100, 2.5f, 0.0f, true);
                // At first only the auto-bend may move the pitch, and it moves one way.
                EXPECT_EQ(reversals(note.modulation, at(0.15)), 0) << single.name << ": vibrato from the start";
                const double depth = span(note.modulation, at(1.5), at(2.5));
                EXPECT_GE(depth, 0.9) << single.name << " has no vibrato";
                EXPECT_LE(depth, 2.1) << single.name << " wobbles";
                const float hz = k1lib::lfoSpeed(single.lfoSpeed);
                EXPECT_TRUE(hz >= 4.5f && hz <= 7.5f) << single.name << " vibrato at " << hz << " Hz";
            }
        }
    }
}

} // namespace
