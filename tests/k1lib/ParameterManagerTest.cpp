#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <vector>

#include "k1lib/params/ParameterManager.h"
#include "tests/support/AllocationCounter.h"
#include "tests/support/LogCapture.h"

using namespace k1lib;

namespace {

// The parameters listed by the last process(), read the way the engine walks the ring.
std::vector<uint32_t> listed(const ParameterManager& m) {
    std::vector<uint32_t> params;
    for (uint32_t i = 0; i < m.changedQueue.count; ++i)
        params.push_back(m.changedQueue.at(i));
    return params;
}

std::vector<uint32_t> only(uint32_t param) {
    return {param};
}

// The manager holds about 9 KB of arrays; keep it off the test's stack.
std::unique_ptr<ParameterManager> settledManager() {
    auto m = std::make_unique<ParameterManager>();
    m->process();
    m->process();
    return m;
}

} // namespace

TEST(ParameterManager, FirstProcessListsEveryParameterWithItsDefault) {
    auto m = std::make_unique<ParameterManager>();
    EXPECT_EQ(m->current[Param_SourceS2Coarse], 84.0f);
    ASSERT_TRUE(m->setVSTParamReal(Param_LfoSpeed, 30.0f, false)); // loaded before the first step

    EXPECT_TRUE(m->process());
    std::vector<uint32_t> all;
    for (uint32_t p = 0; p < kParamCount; ++p)
        all.push_back(p);
    EXPECT_EQ(listed(*m), all);
    EXPECT_EQ(m->current[Param_LfoSpeed], 30.0f);

    EXPECT_FALSE(m->process());
    EXPECT_TRUE(listed(*m).empty());
    EXPECT_EQ(m->rampQueue.count, 0u);
}

TEST(ParameterManager, SettersMapNormalisedAndPlainValues) {
    auto m = settledManager();
    EXPECT_TRUE(m->setVSTParam(Param_SourceMix12, 0.25f, false));
    EXPECT_EQ(m->plain[Param_SourceMix12], -0.5f);
    EXPECT_TRUE(m->setVSTParamReal(Param_Volume, 1.0f, false));
    EXPECT_EQ(m->normalized[Param_Volume], 0.0f);

    EXPECT_FALSE(m->setVSTParam(Param_SourceMix12, 0.25f, true)); // already held
    EXPECT_FALSE(m->setVSTParamReal(Param_Volume, 1.0f, true));
    m->process();
    EXPECT_FALSE(m->process());
}

TEST(ParameterManager, BadParametersAndValuesAreRefusedOrClamped) {
    auto m = settledManager();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(m->setVSTParam(209, 0.5f, false));
    EXPECT_FALSE(m->setVSTParamReal(0xFFFFFFFF, 1.0f, false));
    m->setIntParam(209, 1.0f, false);
    EXPECT_FALSE(m->setVSTParam(Param_LfoSpeed, nan, false));
    EXPECT_FALSE(m->setVSTParam(Param_LfoSpeed, inf, false));
    EXPECT_FALSE(m->setVSTParamReal(Param_LfoSpeed, -inf, false));
    m->setIntParam(Param_LfoSpeed, nan, false);
    EXPECT_FALSE(m->process());

    EXPECT_TRUE(m->setVSTParam(Param_LfoSpeed, 1.7f, false));
    EXPECT_EQ(m->normalized[Param_LfoSpeed], 1.0f);
    EXPECT_EQ(m->plain[Param_LfoSpeed], 100.0f);
    EXPECT_TRUE(m->setVSTParamReal(Param_PitchBendDepth, -4.0f, false));
    EXPECT_EQ(m->plain[Param_PitchBendDepth], 0.0f);
    EXPECT_EQ(m->normalized[Param_PitchBendDepth], 0.0f);
    m->setIntParam(Param_Volume, 1000.0f, false);
    m->process();
    EXPECT_EQ(m->current[Param_LfoSpeed], 100.0f);
    EXPECT_EQ(m->current[Param_PitchBendDepth], 0.0f);
    EXPECT_EQ(m->current[Param_Volume], 100.0f);
}

TEST(ParameterManager, SmoothedChangeReachesItsTargetAfterExactly4992Steps) {
    auto m = settledManager();
    ASSERT_TRUE(m->setVSTParam(Param_LfoSpeed, 1.0f, true));
    ASSERT_TRUE(m->process());
    EXPECT_NEAR(m->current[Param_LfoSpeed], 100.0f / 4992.0f, 1e-6f);
    EXPECT_EQ(listed(*m), only(Param_LfoSpeed));
    for (int step = 2; step < 4992; ++step) {
        ASSERT_TRUE(m->process());
        ASSERT_EQ(listed(*m), only(Param_LfoSpeed)) << step;
    }
    EXPECT_LT(m->current[Param_LfoSpeed], 100.0f);
    EXPECT_GT(m->current[Param_LfoSpeed], 99.9f);
    ASSERT_TRUE(m->process());
    EXPECT_EQ(m->current[Param_LfoSpeed], 100.0f);
    EXPECT_EQ(listed(*m), only(Param_LfoSpeed));
    EXPECT_FALSE(m->process());
    EXPECT_TRUE(listed(*m).empty());
}

TEST(ParameterManager, RestartedRampStartsAFullRampFromTheValueReached) {
    auto m = settledManager();
    m->setVSTParam(Param_LfoSpeed, 1.0f, true);
    for (int step = 0; step < 2496; ++step)
        m->process();
    const float halfway = m->current[Param_LfoSpeed];
    EXPECT_NEAR(halfway, 50.0f, 0.01f);

    ASSERT_TRUE(m->setVSTParam(Param_LfoSpeed, 0.0f, true));
    EXPECT_EQ(m->rampQueue.count, 1u);
    m->process();
    EXPECT_NEAR(m->current[Param_LfoSpeed], halfway - halfway / 4992.0f, 1e-4f);
    for (int step = 1; step < 4991; ++step)
        m->process();
    EXPECT_GT(m->current[Param_LfoSpeed], 0.0f);
    m->process();
    EXPECT_EQ(m->current[Param_LfoSpeed], 0.0f);
    EXPECT_FALSE(m->process());
}

TEST(ParameterManager, UnsmoothedChangeDuringARampLandsAtTheNextStep) {
    auto m = settledManager();
    m->setVSTParam(Param_LfoSpeed, 1.0f, true);
    m->setVSTParam(Param_SourceS1EnvAttack, 1.0f, true);
    for (int step = 0; step < 100; ++step)
        m->process();

    ASSERT_TRUE(m->setVSTParamReal(Param_LfoSpeed, 40.0f, false));
    EXPECT_EQ(m->rampQueue.count, 2u);
    m->process();
    EXPECT_EQ(m->current[Param_LfoSpeed], 40.0f);
    EXPECT_EQ(listed(*m), (std::vector<uint32_t>{Param_LfoSpeed, Param_SourceS1EnvAttack}));
    m->process();
    EXPECT_EQ(listed(*m), only(Param_SourceS1EnvAttack)); // the other ramp goes on alone
    EXPECT_EQ(m->current[Param_LfoSpeed], 40.0f);
}

TEST(ParameterManager, ValueMappingToTheHeldTargetStartsNoRamp) {
    auto m = settledManager();
    m->setIntParam(Param_LfoSpeed, 50.0f, false); // target moves, normalized stays
    m->process();
    EXPECT_EQ(m->normalized[Param_LfoSpeed], 0.0f);
    EXPECT_TRUE(m->setVSTParam(Param_LfoSpeed, 0.5f, true));
    EXPECT_EQ(m->rampQueue.count, 0u);
    EXPECT_FALSE(m->process());
}

TEST(ParameterManager, ProcessNeverAllocates) {
    auto m = settledManager();
    for (uint32_t p = 0; p < kParamCount; ++p)
        m->setVSTParam(p, 0.9f, p % 2 == 0);
    AllocationCounter counter;
    for (int step = 0; step < 6000; ++step)
        m->process();
    EXPECT_EQ(counter.count(), 0u);
    EXPECT_EQ(m->rampQueue.count, 0u);
    for (uint32_t p = 0; p < kParamCount; ++p)
        EXPECT_EQ(m->current[p], 0.9f * g_params[p].range + g_params[p].min) << p;
}

TEST(ParameterManager, RampLengthFollowsTheSampleRate) {
    LogCapture capture;
    auto m = settledManager();
    m->setSamplerate(0.0f);
    m->setSamplerate(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(m->rampSteps, 4992u);
    EXPECT_EQ(capture.lines().front(), "setSamplerate@61: Invalid sample rate 0");

    m->setSamplerate(44100.0f);
    EXPECT_EQ(m->rampSteps, 4410u);
    m->setVSTParam(Param_LfoSpeed, 1.0f, true);
    for (int step = 1; step < 4410; ++step)
        m->process();
    EXPECT_LT(m->current[Param_LfoSpeed], 100.0f);
    m->process();
    EXPECT_EQ(m->current[Param_LfoSpeed], 100.0f);
    EXPECT_FALSE(m->process());
}
