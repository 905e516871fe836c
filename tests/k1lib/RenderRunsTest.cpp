// Rendering in runs of samples must sound exactly like rendering one sample at a time: through
// every envelope stage, delayed starts, parameter ramps and the LFOs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <set>

#include "k1lib/voice/Multi.h"
#include "tests/k1lib/EngineFixture.h"

namespace {

using enginetest::RecordingListener;

using k1lib::shortMessage;

// Two engines set up alike. Events and parameter moves reach both between stretches; one renders
// each stretch in a single call, the other one sample per call, each call a whole engine step.
class RunsAgainstSamples {
public:
    explicit RunsAgainstSamples(const std::function<void(k1lib::Engine&)>& setUp) {
        for (int k = 0; k < 2; ++k) {
            m_engines[k] = std::make_unique<k1lib::Engine>(&m_listeners[k], k1lib::PluginType_Vst3);
            setUp(*m_engines[k]);
        }
    }
    k1lib::Engine& runs() { return *m_engines[0]; }
    void event(const k1lib::SMidiEvent& e) {
        for (auto& engine : m_engines)
            engine->processMidiEvent(e);
    }
    void parameter(k1lib::EParam param, float value) {
        for (auto& engine : m_engines)
            EXPECT_TRUE(engine->setParameter(param, value, true));
    }
    void render(int frames) {
        std::vector<float> runL(frames), runR(frames), oneL(frames), oneR(frames);
        float* runs[] = {runL.data(), runR.data()};
        m_engines[0]->processAudio(runs, 2, frames, {});
        for (int i = 0; i < frames; ++i) {
            float* one[] = {&oneL[i], &oneR[i]};
            m_engines[1]->processAudio(one, 2, 1, {});
        }
        for (int i = 0; i < frames; ++i) {
            ASSERT_EQ(runL[i], oneL[i]) << "sample " << i << " of " << frames;
            ASSERT_EQ(runR[i], oneR[i]) << "sample " << i << " of " << frames;
            m_peak = std::max(m_peak, std::abs(runL[i]) + std::abs(runR[i]));
        }
    }
    float peak() const { return m_peak; }

private:
    RecordingListener m_listeners[2];
    std::unique_ptr<k1lib::Engine> m_engines[2];
    float m_peak = 0.0f;
};

// Stretch lengths from 1 to 1500 samples, the same every run of the test.
class Lengths {
public:
    int next() {
        m_state = m_state * 1103515245u + 12345u;
        return 1 + static_cast<int>((m_state >> 8) % 1500);
    }

private:
    uint32_t m_state = 7;
};

void playScript(bool multiMode, uint64_t preset) {
    RunsAgainstSamples pair([&](k1lib::Engine& e) {
        if (multiMode) {
            e.setPlayMode(k1lib::PlayMode_Multi);
            ASSERT_TRUE(e.setMulti(preset));
        } else {
            ASSERT_TRUE(e.setSingle(preset));
        }
    });
    const std::vector<std::vector<k1lib::SMidiEvent>> script = {
        {shortMessage(0x90, 60, 100), shortMessage(0x91, 64, 90), shortMessage(0x92, 67, 70)},
        {shortMessage(0xD0, 90, 0), shortMessage(0xE0, 0, 90)},
        {shortMessage(0xB0, 1, 127), shortMessage(0x80, 60, 40)},
        {shortMessage(0x90, 72, 127), shortMessage(0xD0, 0, 0), shortMessage(0xE0, 0, 64)},
        {shortMessage(0xB0, 123, 0), shortMessage(0xB1, 123, 0), shortMessage(0xB2, 123, 0)},
    };
    for (const std::vector<k1lib::SMidiEvent>& events : script) {
        for (const k1lib::SMidiEvent& event : events)
            pair.event(event);
        pair.render(3001); // not a multiple of the run length
    }
    EXPECT_GT(pair.peak(), 0.01f) << "the comparison must be of sound, not of silence";
}

// Four sources with delayed starts and short segments, so a few notes pass through every stage:
// a looping wave, a one-shot wave that plays out, a pair in amplitude modulation, pressure on
// the level, auto-bend and a random LFO.
k1lib::SinglePreset everyStageSingle() {
    k1lib::SinglePreset s = k1lib::Engine::getFactorySingle(0);
    s.source2or4 = 1;
    s.ampModS1S2 = 1;
    s.ampModS3S4 = 0;
    s.vibratoDepth = 70;
    s.lfoShape = 3;
    s.lfoSpeed = 90;
    s.autoBendDepth = 70;
    s.autoBendTime = 30;
    const uint32_t delays[] = {0, 25, 10, 40};
    const uint32_t attacks[] = {20, 0, 45, 10};
    const uint32_t decays[] = {30, 35, 0, 60};
    const uint32_t sustains[] = {40, 0, 80, 20};
    const uint32_t releases[] = {30, 45, 0, 20};
    const uint8_t waves[] = {13, 204, 224, 3};
    for (int k = 0; k < 4; ++k) {
        k1lib::SingleSource& source = s.sources[k];
        source.wave = waves[k];
        source.envLevel = 100;
        source.envDelay = delays[k];
        source.envAttack = attacks[k];
        source.envDecay = decays[k];
        source.envSustain = sustains[k];
        source.envRelease = releases[k];
        source.vibABend = 1;
        source.levelModPressure = k == 3 ? 80 : 50;
    }
    s.mute[0] = s.mute[1] = s.mute[2] = s.mute[3] = 0;
    return s;
}

} // namespace

TEST(RenderRuns, SinglesSoundTheSameInRunsAsSampleBySample) {
    for (uint64_t single : {0u, 7u, 19u, 42u, 130u, 777u})
        playScript(false, single);
}

TEST(RenderRuns, MultisSoundTheSameInRunsAsSampleBySample) {
    for (uint64_t multi : {0u, 5u, 200u})
        playScript(true, multi);
}

// Notes start, are released and restart at random points of their delays, attacks, decays,
// sustains and releases, between stretches of random length.
TEST(RenderRuns, EveryEnvelopeStageAndDelaySoundsTheSameInRuns) {
    RunsAgainstSamples pair([](k1lib::Engine& e) {
        ASSERT_TRUE(e.setSingle(0, everyStageSingle()));
        ASSERT_TRUE(e.setSingle(0));
    });
    Lengths lengths;
    std::set<k1lib::Env::Stage> seen;
    for (int step = 0; step < 90; ++step) {
        const auto key = static_cast<uint8_t>(48 + (step * 7) % 24);
        if (step % 3 == 0) pair.event(shortMessage(0x90, key, static_cast<uint8_t>(40 + step)));
        if (step % 4 == 1)
            pair.event(shortMessage(0x80, static_cast<uint8_t>(48 + ((step - 1) * 7) % 24), 64));
        if (step % 10 == 5) pair.event(shortMessage(0xD0, static_cast<uint8_t>(step), 0));
        if (step % 30 == 29) pair.event(shortMessage(0xB0, 123, 0));
        pair.render(lengths.next());
        const k1lib::Multi& multi = pair.runs().getMulti();
        for (int v = 0; v < multi.getPlayingVoiceCount(0); ++v) {
            const k1lib::Voice& voice = multi.getPlayingVoice(0, v);
            for (int s = 0; s < voice.getSourceCount(); ++s)
                seen.insert(voice.getSource(s).getEnvelope().stage());
        }
    }
    EXPECT_EQ(seen.size(), 6u) << "the notes must have been caught in every stage";
    EXPECT_GT(pair.peak(), 0.01f);
}

// The host moves the source mix and Single parameters while notes sound: the ramps advance
// sample by sample inside runs, and a rounded value that changes the Single ends a run.
TEST(RenderRuns, ParameterRampsSoundTheSameInRuns) {
    RunsAgainstSamples pair([](k1lib::Engine& e) { ASSERT_TRUE(e.setSingle(19)); });
    Lengths lengths;
    for (uint8_t key : std::initializer_list<uint8_t>{48, 55, 60, 64, 67})
        pair.event(shortMessage(0x90, key, 100));
    bool ramping = false;
    for (int step = 0; step < 60; ++step) {
        const float sweep = static_cast<float>(step % 13) / 12.0f;
        if (step % 2 == 0) pair.parameter(k1lib::Param_SourceMix12, sweep);
        if (step % 5 == 0) pair.parameter(k1lib::Param_SourceMix34, 1.0f - sweep);
        if (step % 7 == 0) pair.parameter(k1lib::Param_SourceS1Fine, sweep);
        if (step % 11 == 0) pair.parameter(k1lib::Param_VibratoDepth, sweep);
        if (step % 17 == 0) pair.parameter(k1lib::Param_PitchBendDepth, sweep);
        if (step == 30) pair.event(shortMessage(0xE0, 0, 100));
        ramping = ramping || pair.runs().getParameterManager().rampQueue.count != 0;
        pair.render(lengths.next());
    }
    EXPECT_TRUE(ramping);
    EXPECT_GT(pair.peak(), 0.01f);
}

// Three sections with random LFOs share the engine's generator and take turns sample by sample;
// a Multi parameter change mid-ramp ends a run.
TEST(RenderRuns, SectionsWithRandomLfosSoundTheSameInRuns) {
    RunsAgainstSamples pair([](k1lib::Engine& e) {
        k1lib::MultiPreset multi = k1lib::Engine::getFactoryMulti(0);
        for (int s = 0; s < 8; ++s) {
            k1lib::SinglePreset single = everyStageSingle();
            single.lfoSpeed = static_cast<uint8_t>(60 + 10 * s);
            single.lfoShape = s < 3 ? 3 : static_cast<uint32_t>(s % 3);
            ASSERT_TRUE(e.setSingle(static_cast<uint64_t>(s), single));
            k1lib::MultiSection& section = multi.sections[s];
            section.single = static_cast<uint32_t>(s);
            section.zoneLow = 0;
            section.zoneHigh = 127;
            section.poly = 0;
            section.channel = static_cast<uint32_t>(s % 4);
            section.level = s < 4 ? 100 : 0;
        }
        e.setPlayMode(k1lib::PlayMode_Multi);
        ASSERT_TRUE(e.setMulti(0, multi));
        ASSERT_TRUE(e.setMulti(0));
    });
    Lengths lengths;
    for (int step = 0; step < 40; ++step) {
        const auto channel = static_cast<uint8_t>(step % 4);
        if (step % 2 == 0) pair.event(shortMessage(0x90 | channel, static_cast<uint8_t>(50 + step), 90));
        if (step % 3 == 2) pair.event(shortMessage(0xB0 | channel, 1, static_cast<uint8_t>(step * 3)));
        if (step % 8 == 3) pair.parameter(k1lib::Param_SourceMix12, static_cast<float>(step) / 40.0f);
        if (step == 21) pair.parameter(k1lib::Param_MultiVolume, 0.8f);
        pair.render(lengths.next());
    }
    EXPECT_GT(pair.peak(), 0.01f);
}
