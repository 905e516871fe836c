// What a player expects of each family, heard through the engine's voices: touch-sensitive
// keyboards, plucks, basses and drums, and a delayed vibrato on bowed, blown and sung sounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "k1lib/params/Curves.h"
#include "tests/bankgen/FactorySingles.h"
#include "tools/bankgen/Audition.h"
#include "tools/bankgen/Banks.h"
#include "tools/bankgen/SoundMeasure.h"

namespace {

using namespace bankgen;
using namespace soundmeasure;
using factorysingles::factory;
using factorysingles::Voiced;

// The least drop in dB from velocity 120 to 30, or 0 where the family need not follow the touch.
float touchRange(Family family) {
    switch (family) {
    case Family::Piano:
        return 18.0f;
    case Family::EPiano:
    case Family::Keys:
    case Family::Mallet:
    case Family::Bell:
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

// Bowed, blown, sung and swelling sounds: softer and darker when played softly.
bool sustainsWithTouch(Family family) {
    switch (family) {
    case Family::Strings:
    case Family::Brass:
    case Family::Wind:
    case Family::Reed:
    case Family::Pad:
    case Family::Choir:
        return true;
    default:
        return false;
    }
}

// The families whose players add vibrato as the phrase asks; all but the leads hold a plain pitch
// until they do.
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

// The sounds whose deep, steady wobble is their character.
bool wobblesByName(Family family) {
    return family == Family::Random || family == Family::Trill;
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

// Brightness around a moment of a note: four frames, which ride out the beating of detuned sources.
double brightnessAt(const std::vector<float>& samples, double seconds) {
    return brightness(samples, at(seconds), 4);
}

float median(std::vector<float> values) {
    if (values.empty()) return 0.0f;
    std::nth_element(values.begin(), values.begin() + static_cast<long>(values.size() / 2), values.end());
    return values[values.size() / 2];
}

TEST(FactoryVoicing, FamiliesAnswerTouch) {
    Audition player;
    std::map<Family, std::vector<float>> ranges;
    int darker = 0;
    for (const auto& [single, instrument, family] : factory()) {
        if (const float range = touchRange(family); range > 0.0f) {
            const double soft = rms(player.play(single, {60}, 30, 0.5f));
            const double hard = rms(player.play(single, {60}, 120, 0.5f));
            ranges[family].push_back(decibels(hard) - decibels(soft));
            EXPECT_GE(decibels(hard) - decibels(soft), range) << single.name << " barely follows the touch";
        }
        if (sustainsWithTouch(family)) {
            // Long enough for the slowest swell; the loudest tenth of a second, not how soon it comes.
            const std::vector<float> soft = player.play(single, {60}, 30, 2.0f);
            const std::vector<float> hard = player.play(single, {60}, 120, 2.0f);
            const float range = decibels(loudestRms(hard)) - decibels(loudestRms(soft));
            ranges[family].push_back(range);
            EXPECT_GE(range, 6.0f) << single.name << " barely follows the touch";
            // Over the first half second, where the attack answers the touch. Nearly pure tones (a
            // flute) barely move their centroid, so they may stay within 2 % (the same to the ear).
            const double hardBrightness = brightness(hard, 0, 6), softBrightness = brightness(soft, 0, 6);
            darker += hardBrightness <= softBrightness;
            EXPECT_GT(hardBrightness, softBrightness * 0.98) << single.name << " is no brighter played hard";
        }
    }
    std::printf("%d held sounds no brighter played hard\n", darker);
    for (const auto& [family, values] : ranges)
        std::printf("touch of family %d: median %.1f dB, least %.1f dB over %zu\n", static_cast<int>(family),
                    median(values), *std::min_element(values.begin(), values.end()), values.size());
}

TEST(FactoryVoicing, VibratoComesWithTheWheel) {
    Audition player;
    int fixed = 0;
    for (const auto& [single, instrument, family] : factory()) {
        const bool steadyVibrato =
            k1lib::vibratoDepth(std::abs(static_cast<int>(single.vibratoDepth) - 50)) > 0.0f;
        if (steadyVibrato) {
            ++fixed;
            EXPECT_TRUE(wobblesByName(family)) << single.name << " has a fixed vibrato";
        }
        if (!singsWithVibrato(family)) continue;
        player.setWheel(0.0f);
        const Heard plain = player.listen(single, {60}, 100, 2.5f, 0.0f, true);
        EXPECT_LT(span(plain.modulation, at(1.5), at(2.5)), 0.05)
            << single.name << " has vibrato without the wheel";
        player.setWheel(1.0f);
        const Heard note = player.listen(single, {60}, 100, 2.5f, 0.0f, true);
        player.setWheel(0.0f);
        // At first only the auto-bend may move the pitch, and it moves one way.
        EXPECT_EQ(reversals(note.modulation, at(0.15)), 0) << single.name << ": vibrato from the start";
        const double depth = span(note.modulation, at(1.5), at(2.5));
        EXPECT_GE(depth, 0.9) << single.name << " has no vibrato with the wheel up";
        EXPECT_LE(depth, 2.1) << single.name << " wobbles";
        const float hz = k1lib::lfoSpeed(single.lfoSpeed);
        EXPECT_TRUE(hz >= 4.5f && hz <= 7.5f) << single.name << " vibrato at " << hz << " Hz";
    }
    std::printf("fixed vibrato on %d Singles\n", fixed);
    EXPECT_LE(fixed, 40);
}

TEST(FactoryVoicing, PianosBrightenWithTouchAndDarkenAsTheySustain) {
    Audition player;
    for (const auto& [single, instrument, family] : factory()) {
        if (family != Family::Piano) continue;
        EXPECT_GT(brightnessAt(player.play(single, {60}, 120, 0.5f), 0.05),
                  brightnessAt(player.play(single, {60}, 30, 0.5f), 0.05))
            << single.name << " is no brighter when played hard";
        const std::vector<float> note = player.play(single, {60}, 100, 2.3f);
        EXPECT_LT(brightnessAt(note, 1.85), brightnessAt(note, 0.05))
            << single.name << " brightens as it sustains";
    }
}

// "Brt" and "Dark" variations of one instrument differ the way their names say. Where the two
// sources of an instrument are nearly alike the difference stays within what the ear takes for the
// same brightness (2 %), and may even lean the other way by that much; most pairs must differ.
TEST(FactoryVoicing, BrightAndDarkVariationsSoundSo) {
    Audition player;
    std::map<std::string, double> heard;      // by name
    for (const Voiced& voiced : factory(1)) { // the pairs, which every sixteenth Single would miss
        const std::string name = voiced.single.name;
        if (name.ends_with(" Brt") || name.ends_with(" Dark"))
            heard[name] = brightnessAt(player.play(voiced.single, {60}, 100, 0.5f), 0.05);
    }
    int pairs = 0, brighter = 0;
    for (const auto& [name, bright] : heard) {
        if (!name.ends_with(" Brt")) continue;
        const auto dark = heard.find(name.substr(0, name.size() - 4) + " Dark");
        if (dark == heard.end()) continue;
        ++pairs;
        brighter += bright > dark->second;
        EXPECT_GT(bright, dark->second * 0.98) << name << " is darker than " << dark->first;
    }
    EXPECT_GT(pairs, 50);
    EXPECT_GE(brighter, pairs * 85 / 100);
}

// "Wide" shimmers: S3 and S4 repeat S1 and S2 a few cents off, quiet enough that their beat cannot
// pump the held note (at most a third of the partner's amplitude, which swings 6 dB), and most of
// them loud enough to hear (within 20 dB of the partner).
TEST(FactoryVoicing, WideVariationsShimmerWithQuietDetunedCopies) {
    Audition player;
    const auto heardAlone = [&](const k1lib::SinglePreset& single, int source) {
        k1lib::SinglePreset solo = single;
        solo.ampModS1S2 = solo.ampModS3S4 = 0;
        for (int k = 0; k < 4; ++k)
            solo.mute[k] = k == source ? 0 : 1;
        return decibels(loudestRms(player.play(solo, {60}, 100, 1.0f)));
    };
    int wide = 0, audible = 0;
    for (const Voiced& voiced : factory(1)) {
        const k1lib::SinglePreset& single = voiced.single;
        if (!std::string(single.name).ends_with(" Wide")) continue;
        ++wide;
        ASSERT_TRUE(single.source2or4) << single.name;
        float quietest = 0.0f;
        for (int i = 0; i < 2; ++i) {
            const k1lib::SingleSource &partner = single.sources[i], &copy = single.sources[i + 2];
            EXPECT_EQ(copy.wave, partner.wave) << single.name;
            EXPECT_EQ(copy.coarse, partner.coarse) << single.name;
            EXPECT_NE(copy.fine, partner.fine) << single.name;
            const float under = heardAlone(single, i) - heardAlone(single, i + 2);
            EXPECT_GE(under, 9.5f) << single.name << ": S" << i + 3 << " too loud to stay steady";
            quietest = std::max(quietest, under);
        }
        audible += quietest <= 20.0f;
    }
    std::printf("%d Wide Singles, %d with both copies within 20 dB of their partners\n", wide, audible);
    EXPECT_GT(wide, 50);
    EXPECT_GE(audible, wide * 9 / 10);
}

// Families sit within 6 dB of each other (median level of a note at velocity 100; over every
// Single only), and no drum stops while it still sounds: its last 10 ms at least 30 dB under its
// loudest.
TEST(FactoryVoicing, FamiliesSitTogetherAndDrumsRingOut) {
    Audition player;
    std::map<Family, std::vector<float>> levels;
    const size_t window = at(0.01);
    for (const auto& [single, instrument, family] : factory()) {
        levels[family].push_back(decibels(loudestRms(player.play(single, {60}, 100, 1.0f))));
        if (family != Family::Drum && family != Family::TunedPerc) continue;
        std::vector<float> hit = player.listen(single, {60}, 100, 0.3f, 8.0f).samples;
        while (!hit.empty() && hit.back() == 0.0f)
            hit.pop_back();
        ASSERT_GT(hit.size(), window) << single.name;
        double loudest = 0.0;
        for (size_t t = 0; t + window <= hit.size(); t += window / 2)
            loudest = std::max(loudest, rms(hit, t, t + window));
        EXPECT_GE(decibels(loudest) - decibels(rms(hit, hit.size() - window, hit.size())), 30.0f)
            << single.name << " stops while still sounding";
    }
    float quietest = 0.0f, loudest = -100.0f;
    for (auto& [family, values] : levels) {
        std::nth_element(values.begin(), values.begin() + static_cast<long>(values.size() / 2), values.end());
        quietest = std::min(quietest, values[values.size() / 2]);
        loudest = std::max(loudest, values[values.size() / 2]);
    }
    for (const auto& [family, values] : levels)
        std::printf("family %d sits at %.1f dBFS\n", static_cast<int>(family), values[values.size() / 2]);
    if (kEvery == 1) { // medians of a sixteenth say little
        EXPECT_LE(loudest - quietest, 6.0f);
    }
}

} // namespace
