// Offline renders of every factory Single through the engine's own voices and the embedded wave
// ROM: each must speak at middle C, stay within a sane level and die away after its release.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "Curves.h"
#include "FactoryData.h"
#include "Random.h"
#include "SectionState.h"
#include "Voice.h"
#include "VoiceContext.h"
#include "Waveforms.h"

namespace {

using namespace k1lib;

struct Render {
    float heldRms = 0.0f; // over the held part
    float peak = 0.0f;
    float tailSeconds = -1.0f; // from note-off until the voice finished; -1: not followed or never
    bool finite = true;
};

// Plays one note of a Single through a voice of the engine, as the Multi mixes it.
class NotePlayer {
public:
    Render play(const SinglePreset& single, uint8_t note, uint8_t velocity, float heldSeconds,
                bool followTail) {
        const int held = static_cast<int>(Rate * heldSeconds);
        const int limit = held + (followTail ? static_cast<int>(Rate * 25) : 0);
        m_random = Random(7); // every note starts its sampled waves at the same points
        SectionState section(m_random);
        Voice voice(m_context, single, note, velocity, 0, Rate, 0, 0, 100, 0);
        Render r;
        double sum = 0.0;
        for (int t = 0; t < limit || t < held; ++t) {
            if (t == held) voice.onNoteOff(64);
            section.update(single, m_midi[0], static_cast<float>(single.pitchBendDepth), Rate, m_random);
            float mix[Voice::MaxSources] = {};
            voice.process(mix, section);
            const float x = (mix[0] + mix[1] + mix[2] + mix[3]) * volume(single.volume);
            r.finite &= std::isfinite(x);
            r.peak = std::max(r.peak, std::fabs(x));
            if (t < held) sum += static_cast<double>(x) * x;
            if (t >= held && voice.isFinished()) {
                r.tailSeconds = static_cast<float>(t - held) / Rate;
                break;
            }
        }
        r.heldRms = static_cast<float>(std::sqrt(sum / held));
        return r;
    }

private:
    // Half the engine's rate: enough for levels and times, and quick under the sanitizers.
    static constexpr float Rate = 24960.0f;
    const Waveforms m_waveforms;               // the embedded wave ROM
    const StaticArray<MidiState, 16> m_midi{}; // controllers at rest
    Random m_random{7};
    const VoiceContext m_context{m_waveforms, m_midi, m_random};
};

float decibels(float gain) {
    return 20.0f * std::log10(std::max(gain, 1e-9f));
}

class FactorySound : public testing::TestWithParam<int> {};

TEST_P(FactorySound, EverySinglePlaysAcrossKeysAndVelocities) {
    initFactoryData();
    NotePlayer player;
    const StorageInfo& bank = factorySinglesStorageInfo[static_cast<size_t>(GetParam())];
    for (uint64_t i = bank.offset; i < bank.offset + bank.count; ++i) {
        const SinglePreset& single = factorySingles[i];
        const Render middle = player.play(single, 60, 100, 0.5f, true);
        ASSERT_TRUE(middle.finite) << single.name;
        EXPECT_GT(decibels(middle.heldRms), -40.0f) << single.name << " is nearly silent";
        EXPECT_LT(decibels(middle.peak), 3.0f) << single.name << " leaves no headroom";
        EXPECT_GE(middle.tailSeconds, 0.0f) << single.name << " rings on after 25 s";

        for (const uint8_t note : {36, 96})
            EXPECT_GT(decibels(player.play(single, note, 100, 0.3f, false).heldRms), -50.0f)
                << single.name << " is nearly silent at key " << int(note);

        // Soft playing is never louder than hard playing.
        const float soft = player.play(single, 60, 30, 0.3f, false).heldRms;
        const float hard = player.play(single, 60, 120, 0.3f, false).heldRms;
        EXPECT_LE(decibels(soft), decibels(hard) + 0.1f) << single.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Banks, FactorySound, testing::Range(0, kFactoryBankCount));

} // namespace
