// Offline renders of every factory Single and Multi through the engine's own voices and the
// embedded wave ROM: each Single speaks at middle C at a level that sits with the others, leaves
// headroom for a chord, even struck at velocity 127, and dies away after its release; each Multi
// leaves headroom for a chord in every section.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

#include "k1lib/engine/Engine.h"
#include "k1lib/engine/IEngineListener.h"
#include "k1lib/params/Curves.h"
#include "k1lib/records/FactoryData.h"
#include "tools/bankgen/Audition.h"
#include "tools/bankgen/SoundMeasure.h"

namespace {

using namespace k1lib;
using namespace soundmeasure;
using bankgen::Audition;

constexpr float Ceiling = -1.0f; // dBFS, for a chord at velocity 100

// Long enough for the Single to reach its peak: its slowest delay and attack, and half a second.
float swellSeconds(const SinglePreset& single) {
    float longest = 0.0f;
    for (int i = 0; i < (single.source2or4 ? 4 : 2); ++i)
        longest = std::max(longest, envDelayTime(static_cast<uint8_t>(single.sources[i].envDelay)) +
                                        envAttackTime(static_cast<uint8_t>(single.sources[i].envAttack)));
    return std::min(longest + 0.5f, 3.0f);
}

bool playsOnePitch(const SinglePreset& single) {
    for (int i = 0; i < (single.source2or4 ? 4 : 2); ++i)
        if (single.sources[i].keyTrack && !single.mute[i]) return false;
    return true;
}

class FactorySound : public testing::TestWithParam<int> {};

TEST_P(FactorySound, EverySingleSitsInTheMixAndDiesAway) {
    initFactoryData();
    Audition player;
    const StorageInfo& bank = factorySinglesStorageInfo[static_cast<size_t>(GetParam())];
    for (uint64_t i = bank.offset; i < bank.offset + bank.count; i += kEvery) {
        const SinglePreset& single = factorySingles[i];
        const float swell = swellSeconds(single);
        const bankgen::Heard middle = player.listen(single, {60}, 100, swell, 25.0f);
        ASSERT_TRUE(std::all_of(middle.samples.begin(), middle.samples.end(), [](float x) {
            return std::isfinite(x);
        })) << single.name;
        const float level = decibels(bankgen::loudestRms(middle.samples));
        // -26 dBFS is the aim; a few with a high crest factor (a pluck, leads whose five voices start
        // in phase) reach it only by clipping their chord, so they may sit 2 dB lower.
        EXPECT_GE(level, -28.5f) << single.name << " is too quiet";
        EXPECT_LE(level, -12.0f) << single.name << " is too loud";
        EXPECT_GE(middle.tailSeconds, 0.0f) << single.name << " rings on after 25 s";

        // A chord; on a Single that plays one pitch on every key, two hits at once.
        const std::vector<float> chord = playsOnePitch(single)
                                             ? player.play(single, {60, 62}, 100, swell)
                                             : player.play(single, {48, 52, 55, 60, 64}, 100, swell);
        EXPECT_LE(decibels(peak(chord)), Ceiling) << single.name << " clips a chord";
        // Struck as hard as MIDI allows, a chord still does not clip.
        if (!playsOnePitch(single)) {
            const std::vector<float> forte = player.play(single, {60, 64, 67, 72}, 127, swell);
            EXPECT_LE(decibels(peak(forte)), 0.0f) << single.name << " clips a chord at velocity 127";
        }

        for (const int note : {36, 96})
            EXPECT_GT(decibels(rms(player.play(single, {note}, 100, 0.3f))), -50.0f)
                << single.name << " is nearly silent at key " << int(note);

        // Soft playing is never louder than hard playing.
        const double soft = rms(player.play(single, {60}, 30, 0.3f));
        const double hard = rms(player.play(single, {60}, 120, 0.3f));
        EXPECT_LE(decibels(soft), decibels(hard) + 0.1f) << single.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Banks, FactorySound, testing::Range(0, kFactoryBankCount));

class FactoryMultiSound : public testing::TestWithParam<int> {};

// Each Multi as it is meant to be played: a chord in the middle of every active section's zone on
// that section's channel, once hard (velocity 100), once soft (40) for the soft layers and once as
// hard as MIDI allows (127).
TEST_P(FactoryMultiSound, AChordInEverySectionLeavesHeadroom) {
    k1lib::IEngineListener listener;
    Engine engine(&listener, PluginType_Vst3);
    engine.setPlayMode(PlayMode_Multi);
    const StorageInfo& bank = factoryMultisStorageInfo[static_cast<size_t>(GetParam())];
    const uint64_t singles = Engine::getSinglesOffsetForMulti(bank.offset);
    for (uint64_t m = bank.offset; m < bank.offset + bank.count; m += kEvery) {
        const MultiPreset& multi = factoryMultis[m];
        for (const uint8_t velocity : std::initializer_list<uint8_t>{100, 40, 127}) {
            EXPECT_TRUE(engine.setMulti(m));
            std::vector<float> settle(4992 * 2); // the parameters glide for a tenth of a second
            float* settling[] = {settle.data(), settle.data() + 4992};
            engine.processAudio(settling, 2, 4992, {});
            std::set<std::pair<int, int>> keys; // channel, note
            float seconds = 0.5f;
            for (const MultiSection& s : multi.sections) {
                if (s.poly == 1 || s.single > 63) continue;
                seconds = std::max(seconds, swellSeconds(factorySingles[singles + s.single]));
                const int centre = (static_cast<int>(s.zoneLow) + static_cast<int>(s.zoneHigh)) / 2;
                const int low = std::max(static_cast<int>(s.zoneLow),
                                         std::min(centre - 6, static_cast<int>(s.zoneHigh) - 16));
                for (int step : {0, 4, 7, 12, 16})
                    keys.insert(
                        {s.channel == 255 ? 0 : static_cast<int>(s.channel), std::clamp(low + step, 0, 127)});
            }
            std::vector<SMidiEvent> events;
            for (const auto& [channel, note] : keys) {
                events.push_back(
                    shortMessage(static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(note), velocity));
            }
            const int frames = static_cast<int>(seconds * Engine::kProcessingSamplerate);
            std::vector<float> left(static_cast<size_t>(frames)), right(static_cast<size_t>(frames));
            float* outputs[] = {left.data(), right.data()};
            engine.processAudio(outputs, 2, frames, events);
            const double loudest = std::max(peak(left), peak(right));
            // Played as hard as MIDI allows, at most full scale.
            EXPECT_LE(decibels(loudest), velocity == 127 ? 0.0f : Ceiling)
                << multi.name << " at velocity " << int(velocity);
            engine.clearAllVoices();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Banks, FactoryMultiSound, testing::Range(0, kFactoryBankCount - 1));

} // namespace
