// Parameter refusals by play mode, the play-mode switch and applying changed values.
#include <cmath>
#include <limits>

#include "tests/k1lib/EngineFixture.h"
#include "tests/support/LogCapture.h"

using namespace k1lib;
using enginetest::Calls;
using EngineParameters = enginetest::EngineFixture;

TEST_F(EngineParameters, RefusesParametersOfTheOtherModeWithTheirLogLines) {
    LogCapture log;
    EXPECT_FALSE(engine.setParameter(Param_MultiS1Level, 0.5f, false));
    EXPECT_TRUE(
        log.contains("setParameter@290: Refusing to modify parameter Param_MultiS1Level in mode != Multi"));
    EXPECT_TRUE(engine.setParameter(Param_Volume, 0.25f, true));
    EXPECT_FLOAT_EQ(engine.getParameter(Param_Volume), 0.25f);

    switchToMulti();
    log.clear();
    EXPECT_FALSE(engine.setParameter(Param_Volume, 0.5f, true));
    EXPECT_EQ(log.lines(),
              std::vector<std::string>{
                  "setParameter@282: Refusing to modify parameter Param_Volume in mode != Single"});
    EXPECT_FLOAT_EQ(engine.getParameter(Param_Volume), 0.25f);
    // Modifying reports the value to the listener even when the engine refuses it.
    engine.modifyParameter(Param_Volume, 0.5f);
    EXPECT_EQ(listener.calls, Calls{"parameterChanged 10 0.500000"});
    EXPECT_EQ(log.lines().size(), 2u);
    EXPECT_TRUE(engine.setParameter(Param_MultiS1Level, 0.5f, true));
    EXPECT_TRUE(engine.setParameter(Param_SourceMix12, 0.75f, true));
    EXPECT_FLOAT_EQ(engine.getParameter(Param_SourceMix12), 0.75f);
}

TEST_F(EngineParameters, RefusesUnknownParametersAndValuesThatAreNotNumbers) {
    LogCapture log;
    EXPECT_FALSE(engine.setParameter(static_cast<EParam>(209), 0.5f, false));
    EXPECT_TRUE(log.contains("setParameter@268: Refusing unknown parameter 209"));
    EXPECT_FALSE(engine.setParameter(Param_Volume, std::numeric_limits<float>::quiet_NaN(), false));
    EXPECT_TRUE(log.contains("setParameter@272: Refusing value nan for parameter Param_Volume"));
    EXPECT_FALSE(engine.setParameter(Param_Mode, std::numeric_limits<float>::infinity(), false));
    EXPECT_EQ(engine.getPlayMode(), PlayMode_Single);

    engine.modifyParameter(static_cast<EParam>(209), 0.5f);
    EXPECT_TRUE(listener.calls.empty());
    EXPECT_EQ(engine.getParameter(static_cast<EParam>(209)), 0.0f);

    // Out-of-range values are clamped before they reach the smoother or a record.
    EXPECT_TRUE(engine.setParameter(Param_Volume, -1.0f, false));
    EXPECT_FLOAT_EQ(engine.getParameter(Param_Volume), 0.0f);
    EXPECT_TRUE(engine.setParameter(Param_Volume, 2.0f, false));
    EXPECT_FLOAT_EQ(engine.getParameter(Param_Volume), 1.0f);
    const SinglePreset before = engine.getCurrentSingle();
    engine.processParameterChange(Param_Volume, std::numeric_limits<float>::quiet_NaN());
    EXPECT_TRUE(engine.getCurrentSingle() == before);
    engine.processParameterChange(Param_Volume, 1e30f);
    EXPECT_LE(engine.getCurrentSingle().volume, 99);
    engine.processParameterChange(Param_SourceS1Wave, -1e30f);
    EXPECT_EQ(engine.getCurrentSingle().sources[0].wave, 0);
}

TEST_F(EngineParameters, ModeParameterSwitchesInTheSpecifiedOrder) {
    EXPECT_TRUE(engine.setParameter(Param_Mode, 0.6f, false));
    EXPECT_EQ(engine.getPlayMode(), PlayMode_Multi);
    EXPECT_FLOAT_EQ(engine.getParameter(Param_Mode), 0.6f);
    EXPECT_EQ(listener.calls, Calls{"playModeChanged"});
    EXPECT_TRUE(engine.setParameter(Param_Mode, 0.4f, false));
    EXPECT_EQ(engine.getPlayMode(), PlayMode_Single);
    EXPECT_EQ(listener.calls, (Calls{"playModeChanged", "playModeChanged"}));

    listener.clear();
    engine.setPlayMode(PlayMode_Single);
    EXPECT_TRUE(listener.calls.empty());
    LogCapture log;
    engine.setPlayMode(static_cast<PlayMode>(7));
    EXPECT_TRUE(log.contains("setPlayMode@305: Refusing unknown play mode 7"));
    engine.setPlayMode(PlayMode_Multi);
    EXPECT_EQ(listener.calls, Calls{"playModeChanged"});
    EXPECT_FLOAT_EQ(engine.getParameter(Param_Mode), 1.0f);

    listener.clear();
    engine.processParameterChange(Param_Mode, 0.2f);
    EXPECT_EQ(engine.getPlayMode(), PlayMode_Single);
    EXPECT_EQ(listener.calls, Calls{"playModeChanged"});
}

TEST_F(EngineParameters, MultiParametersAreNeverSmoothed) {
    switchToMulti();
    const ParameterManager& manager = engine.getParameterManager();
    EXPECT_TRUE(engine.setParameter(Param_MultiVolume, 0.3f, true));
    EXPECT_EQ(manager.rampEntries[Param_MultiVolume].stepsLeft, 1u);
    EXPECT_TRUE(engine.setParameter(Param_SourceMix34, 0.3f, true));
    EXPECT_GT(manager.rampEntries[Param_SourceMix34].stepsLeft, 1u);
}

TEST_F(EngineParameters, ChangedValuesReachTheCurrentPresetOfTheirModeOnly) {
    engine.processParameterChange(Param_PitchBendDepth, 5.0f);
    EXPECT_EQ(engine.getCurrentSingle().pitchBendDepth, 5u);
    EXPECT_EQ(engine.getPitchBendRange(), 5u);
    engine.processParameterChange(Param_MultiS1ZoneLow, 30.0f);
    EXPECT_TRUE(sameMulti(engine.getCurrentMulti(), Engine::getFactoryMulti(0)));

    switchToMulti();
    engine.processParameterChange(Param_PitchBendDepth, 7.4f);
    EXPECT_EQ(engine.getCurrentSingle().pitchBendDepth, 5u);
    EXPECT_EQ(engine.getPitchBendRange(), 5u);
    engine.processParameterChange(Param_MultiS1ZoneLow, 29.5f);
    EXPECT_EQ(engine.getCurrentMulti().sections[0].zoneLow, 30u);
    EXPECT_TRUE(engine.isMultiModified(0));
    EXPECT_TRUE(listener.calls.empty());
}

TEST_F(EngineParameters, SourceMixGivesThePairGains) {
    const float* gains = engine.getVoiceContext().sourceGains;
    engine.processParameterChange(Param_SourceMix12, -0.5f);
    EXPECT_FLOAT_EQ(gains[0], 1.0f);
    EXPECT_FLOAT_EQ(gains[1], 0.5f);
    engine.processParameterChange(Param_SourceMix34, 1.0f);
    EXPECT_FLOAT_EQ(gains[2], 0.0f);
    EXPECT_FLOAT_EQ(gains[3], 1.0f);
    engine.processParameterChange(Param_SourceMix34, 0.0f);
    EXPECT_FLOAT_EQ(gains[2], 1.0f);
    EXPECT_FLOAT_EQ(gains[3], 1.0f);
}
