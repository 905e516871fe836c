#include "k1lib/voice/Envelope.h"
#include "k1lib/params/Curves.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

using namespace k1lib;

namespace {

constexpr float Rate = 49920.0f;

// Calls process until the stage leaves `stage`; returns the number of calls spent in it.
int samplesIn(Env& env, Env::Stage stage, float decay, float sustain, float& output) {
    int count = 0;
    while (env.stage() == stage && count < 100000000) {
        output = env.process(decay, sustain, Rate);
        if (env.stage() == stage) ++count;
    }
    return count;
}

} // namespace

TEST(Envelope, DelayAttackDecaySustainTakeTheirCurveTimes) {
    const float attack = envAttackTime(50), decay = envDecayTime(60), sustain = envSustainLevel(50);
    Env env;
    env.start(1000, attack);
    float out = 0.0f;
    // Silent for exactly the delay, then the attack starts from 0.
    EXPECT_EQ(samplesIn(env, Env::Delay, decay, sustain, out), 1000);
    EXPECT_EQ(env.stage(), Env::Attack);
    EXPECT_EQ(out, 0.0f);

    float previous = out;
    int attackSamples = 1;
    while (env.stage() == Env::Attack) {
        out = env.process(decay, sustain, Rate);
        if (env.stage() != Env::Attack) break;
        EXPECT_GT(out, previous);
        previous = out;
        ++attackSamples;
    }
    EXPECT_NEAR(attackSamples, attack * Rate, 3.0);
    EXPECT_EQ(env.stage(), Env::Decay);
    EXPECT_NEAR(out, 0.999f, 1e-4f);

    // The decay reaches the sustain level over the decay time, then holds it.
    const int decaySamples = samplesIn(env, Env::Decay, decay, sustain, out);
    EXPECT_NEAR(decaySamples, decay * Rate, decay * Rate * 0.01);
    EXPECT_NEAR(out, sustain, sustain * 0.01f);
    EXPECT_EQ(env.stage(), Env::Sustain);
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(env.process(decay, sustain, Rate), out);
}

TEST(Envelope, ZeroAttackJumpsToFullLevel) {
    Env env;
    env.start(0, envAttackTime(0));
    EXPECT_EQ(env.process(0.5f, 0.5f, Rate), 1.0f);
    EXPECT_EQ(env.process(0.5f, 0.5f, Rate), 1.0f); // the decay starts from 1
    EXPECT_EQ(env.stage(), Env::Decay);
    // Without a decay time the sustain level follows at once.
    Env flat;
    flat.start(0, 0.0f);
    flat.process(0.0f, 0.25f, Rate);
    EXPECT_EQ(flat.process(0.0f, 0.25f, Rate), 0.25f);
    EXPECT_EQ(flat.stage(), Env::Sustain);
}

TEST(Envelope, ReleaseEndsAfterItsTime) {
    for (int value : {0, 40, 80}) {
        Env env;
        env.start(0, 0.0f);
        for (int i = 0; i < 10; ++i)
            env.process(0.0f, 1.0f, Rate);
        const float release = envDecayTime(value);
        env.release(release, Rate);
        float out = 0.0f;
        const int samples = samplesIn(env, Env::Release, 0.0f, 1.0f, out);
        EXPECT_NEAR(samples, release * Rate, 2.0 + release * Rate * 0.01) << value;
        EXPECT_TRUE(env.isDone());
        EXPECT_LE(out, Env::kFloor);
    }
    // A release time of 0 ends at once, and so does releasing a source still in its delay.
    Env immediate;
    immediate.start(0, 0.0f);
    immediate.process(0.0f, 1.0f, Rate);
    immediate.release(0.0f, Rate);
    EXPECT_TRUE(immediate.isDone());
    Env delayed;
    delayed.start(500, 0.1f);
    delayed.process(0.0f, 1.0f, Rate);
    delayed.release(1.0f, Rate);
    EXPECT_TRUE(delayed.isDone());
}

TEST(Envelope, ReleaseDuringAttackContinuesFromTheCurrentOutput) {
    Env env;
    env.start(0, envAttackTime(60));
    float out = 0.0f;
    for (int i = 0; i < 20000; ++i)
        out = env.process(1.0f, 1.0f, Rate);
    ASSERT_EQ(env.stage(), Env::Attack);
    ASSERT_GT(out, 0.1f);
    env.release(envDecayTime(60), Rate);
    const float next = env.process(1.0f, 1.0f, Rate);
    EXPECT_EQ(env.stage(), Env::Release);
    EXPECT_LT(next, out);
    EXPECT_GT(next, out * 0.999f);
}

// Envelopes rendered side by side give each one's own render() to the bit, whatever their
// stages, starts and ends: delays ending mid-run, zero times, a release cutting an attack, and
// envelopes finishing while others still move.
TEST(Envelope, LanesRenderWhatEachEnvelopeRendersAlone) {
    constexpr int Frames = 63; // whole eights, a four and single frames
    constexpr int Lanes = Env::kMaxLanes;
    static_assert(Lanes == 8);
    const float decays[Lanes] = {0.02f, 0.0f, 0.3f, 0.001f, 0.05f, 0.6f, 0.0f, 0.01f};
    const float sustains[Lanes] = {0.4f, 0.8f, 0.05f, 1.0f, 0.2f, 0.7f, 0.3f, 0.01f};
    const float levels[Lanes] = {1.0f, 0.5f, 0.25f, 0.9f, 0.7f, 0.1f, 1.0f, 0.6f};
    const uint32_t delays[Lanes] = {0, 70, 5, 300, 0, 129, 0, 1000};
    const float attacks[Lanes] = {0.01f, 0.0f, 0.002f, 0.05f, 0.03f, 0.001f, 0.2f, 0.0f};
    Env side[Lanes], alone[Lanes];
    for (int k = 0; k < Lanes; ++k) {
        side[k].start(delays[k], attacks[k]);
        alone[k] = side[k];
    }
    int stagesSeen = 0;
    for (int run = 0; run < 400; ++run) {
        // Releases one lane at a time from run 30 on (lane 6 during its long attack), and a
        // zero-time release of lane 2 at run 90.
        if ((run >= 30 && run < 30 + Lanes) || run == 90) {
            const int k = run == 90 ? 2 : run - 30;
            const float time = run == 90 ? 0.0f : 0.004f * static_cast<float>(1 + k % 3);
            side[k].release(time, Rate);
            alone[k].release(time, Rate);
        }
        float sideGains[Lanes][Frames], aloneGains[Lanes][Frames];
        Env::Lane lanes[Lanes];
        Env::Lane* pointers[Lanes];
        int aloneUnfinished[Lanes];
        for (int k = 0; k < Lanes; ++k) {
            const int start = static_cast<int>(side[k].skipDelay(Frames));
            EXPECT_EQ(alone[k].skipDelay(Frames), static_cast<uint32_t>(start));
            std::fill(sideGains[k], sideGains[k] + Frames, 0.0f);
            std::fill(aloneGains[k], aloneGains[k] + Frames, 0.0f);
            lanes[k] =
                Env::Lane{&side[k], sideGains[k], start, decays[k], sustains[k], Rate, levels[k], Frames};
            pointers[k] = &lanes[k];
            aloneUnfinished[k] = start + alone[k].render(aloneGains[k] + start, Frames - start, decays[k],
                                                         sustains[k], Rate, levels[k]);
            stagesSeen |= 1 << side[k].stage();
        }
        Env::renderLanes(pointers, Lanes, Frames);
        for (int k = 0; k < Lanes; ++k) {
            ASSERT_EQ(lanes[k].unfinished, aloneUnfinished[k]) << "run " << run << " lane " << k;
            for (int i = 0; i < Frames; ++i)
                ASSERT_EQ(std::bit_cast<uint32_t>(sideGains[k][i]), std::bit_cast<uint32_t>(aloneGains[k][i]))
                    << "run " << run << " lane " << k << " frame " << i;
        }
    }
    EXPECT_EQ(stagesSeen, 0x3f); // every stage took part
}
