// Construction, preset operations with their notifications, settings, numbering and the Single dump.
#include <cstring>

#include "k1lib/params/ParameterConverter.h"
#include "tests/k1lib/EngineFixture.h"
#include "tests/support/LogCapture.h"

using namespace k1lib;
using enginetest::Calls;
using EnginePresets = enginetest::EngineFixture;

namespace {

float normalizedOf(EParam param, int value) {
    return (static_cast<float>(value) - g_params[param].min) * g_params[param].rangeInv;
}

template <typename Preset> float parameterOf(EParam param, const Preset& preset) {
    int value = 0;
    EXPECT_TRUE(ParameterConverter::getValue(value, param, preset));
    return normalizedOf(param, value);
}

} // namespace

TEST_F(EnginePresets, StartsWithFactoryBanksAndFirstPresetsInParameters) {
    EXPECT_EQ(engine.getSingles().size(), 968u);
    EXPECT_EQ(engine.getMultis().size(), 384u);
    EXPECT_TRUE(engine.getSingles()[967] == Engine::getFactorySingle(967));
    EXPECT_EQ(engine.getPlayMode(), PlayMode_Single);
    EXPECT_EQ(engine.getPitchBendRange(), 12u);
    EXPECT_EQ(engine.getConfig(), Engine::Config{});
    EXPECT_TRUE(listener.calls.empty());
    for (EParam p : {Param_Volume, Param_SourceS3Wave, Param_SourceS4EnvRelease})
        EXPECT_FLOAT_EQ(engine.getParameter(p), parameterOf(p, engine.getSingles()[0])) << p;
    for (EParam p : {Param_MultiVolume, Param_MultiS2ZoneHigh, Param_MultiS8Level})
        EXPECT_FLOAT_EQ(engine.getParameter(p), parameterOf(p, engine.getMultis()[0])) << p;
}

TEST_F(EnginePresets, SelectingAPresetLogsAndNotifiesOnce) {
    LogCapture log;
    EXPECT_TRUE(engine.setSingle(0));
    EXPECT_FALSE(engine.setSingle(968));
    EXPECT_FALSE(engine.setMulti(384));
    EXPECT_TRUE(listener.calls.empty());
    EXPECT_TRUE(log.lines().empty());

    EXPECT_TRUE(engine.setSingle(5));
    EXPECT_TRUE(engine.setMulti(40));
    EXPECT_EQ(listener.calls, (Calls{"activeSingleChanged 5", "activeMultiChanged 40"}));
    EXPECT_EQ(engine.getPitchBendRange(), engine.getSingles()[5].pitchBendDepth);
    EXPECT_FLOAT_EQ(engine.getParameter(Param_Volume), parameterOf(Param_Volume, engine.getSingles()[5]));
    EXPECT_FLOAT_EQ(engine.getParameter(Param_MultiVolume),
                    parameterOf(Param_MultiVolume, engine.getMultis()[40]));
    ASSERT_EQ(log.lines().size(), 3u);
    EXPECT_EQ(log.lines()[0], "setSingle@327: Switching to single 5");
    EXPECT_EQ(log.lines()[1].rfind("dumpSingle@1311: \nSingle ", 0), 0u);
    EXPECT_EQ(log.lines()[2], "setMulti@432: Switching to multi 40");
}

TEST_F(EnginePresets, StoringPresetsNotifiesOnlyWhatChanged) {
    EXPECT_TRUE(engine.setSingle(7, engine.getSingles()[7]));
    EXPECT_FALSE(engine.setSingle(968, engine.getSingles()[7]));
    EXPECT_TRUE(listener.calls.empty());
    EXPECT_TRUE(engine.setSingle(7, changedSingle(7)));
    const SinglePreset current = changedSingle(0);
    EXPECT_TRUE(engine.setSingle(0, current));
    EXPECT_TRUE(engine.setMulti(0, changedMulti(0)));
    EXPECT_TRUE(engine.setMulti(3, changedMulti(3)));
    EXPECT_EQ(listener.calls, (Calls{"singleModified 7", "activeSingleModified 0", "singleModified 0",
                                     "activeMultiModified 0", "multiModified 0", "multiModified 3"}));
    EXPECT_TRUE(engine.getCurrentSingle() == current);
    EXPECT_FLOAT_EQ(engine.getParameter(Param_Volume), parameterOf(Param_Volume, current));
}

TEST_F(EnginePresets, StoringARangeChecksBoundsAndReportsTheRange) {
    std::vector<SinglePreset> singles(engine.getSingles().begin(), engine.getSingles().begin() + 3);
    EXPECT_FALSE(engine.setSingles(0, singles)); // all equal
    EXPECT_FALSE(engine.setSingles(0, {}));
    EXPECT_FALSE(engine.setSingles(966, singles));
    EXPECT_FALSE(engine.setSingles(UINT64_MAX - 1, singles));
    EXPECT_TRUE(listener.calls.empty());

    singles[0] = changedSingle(0);
    singles[2] = changedSingle(2);
    EXPECT_TRUE(engine.setSingles(0, singles));
    EXPECT_TRUE(engine.getSingles()[2] == singles[2]);
    const std::vector<MultiPreset> multis{changedMulti(382), changedMulti(383)};
    EXPECT_FALSE(engine.setMultis(383, multis));
    EXPECT_TRUE(engine.setMultis(382, multis));
    EXPECT_EQ(listener.calls,
              (Calls{"activeSingleModified 0", "singlesModified 0 3", "multisModified 382 2"}));
}

TEST_F(EnginePresets, RenamingTrimsCutsRoundTripsAndNotifiesOnlyOnChange) {
    // A preset renamed to its own name, blank-padded or not, stays unmodified.
    const std::string multiName = engine.getCurrentMulti().name;
    engine.setCurrentMultiName(multiName + "   ");
    EXPECT_FALSE(engine.isMultiModified(0));
    engine.setCurrentSingleName("");
    EXPECT_EQ(std::string(engine.getCurrentSingle().name), "");
    EXPECT_FLOAT_EQ(engine.getParameter(Param_Name01), normalizedOf(Param_Name01, ' '));
    engine.setCurrentSingleName("Fourteen chars");
    EXPECT_EQ(std::string(engine.getCurrentSingle().name), "Fourteen c");
    EXPECT_FLOAT_EQ(engine.getParameter(Param_Name10), normalizedOf(Param_Name10, 'c'));
    engine.setCurrentSingleName("Fourteen cXYZ");
    engine.setCurrentMultiName("AB");
    engine.setCurrentMultiName("AB  ");
    EXPECT_EQ(std::string(engine.getCurrentMulti().name), "AB");
    EXPECT_FLOAT_EQ(engine.getParameter(Param_MultiName08), normalizedOf(Param_MultiName08, ' '));
    EXPECT_EQ(listener.calls,
              (Calls{"activeSingleModified 0", "activeSingleModified 0", "activeMultiModified 0"}));
    // A short name comes back from the saved state as the same record.
    std::vector<unsigned char> state;
    ASSERT_TRUE(engine.saveState(state));
    enginetest::RecordingListener otherListener;
    Engine other(&otherListener, PluginType_Vst3);
    ASSERT_TRUE(other.loadState(state));
    EXPECT_TRUE(sameMulti(other.getCurrentMulti(), engine.getCurrentMulti()));
    EXPECT_TRUE(other.getCurrentSingle() == engine.getCurrentSingle());
}

TEST_F(EnginePresets, ModifiedPresetsRestoreFromTheFactorySet) {
    EXPECT_FALSE(engine.restoreFactorySingle(3));
    EXPECT_FALSE(engine.isSingleModified(968));
    EXPECT_TRUE(engine.setSingle(3, changedSingle(3)));
    EXPECT_TRUE(engine.setMulti(0, changedMulti(0)));
    EXPECT_TRUE(engine.isSingleModified(3));
    EXPECT_TRUE(engine.isMultiModified(0));
    listener.clear();
    EXPECT_TRUE(engine.restoreFactorySingle(3));
    EXPECT_TRUE(engine.restoreFactoryMulti(0));
    EXPECT_FALSE(engine.restoreFactoryMulti(0));
    EXPECT_FALSE(engine.restoreFactoryMulti(384));
    EXPECT_EQ(listener.calls, (Calls{"singleModified 3", "activeMultiModified 0", "multiModified 0"}));
    EXPECT_TRUE(engine.getSingles()[3] == Engine::getFactorySingle(3));
}

TEST_F(EnginePresets, SwappingSourcesExchangesWholeSourceRecords) {
    SinglePreset single = engine.getCurrentSingle();
    single.sources[0].wave = 1;
    single.sources[3].wave = 2;
    EXPECT_TRUE(engine.setSingle(0, single));
    listener.clear();
    EXPECT_FALSE(engine.swapSources(1, 1));
    EXPECT_FALSE(engine.swapSources(2, 4));
    EXPECT_TRUE(listener.calls.empty());
    EXPECT_TRUE(engine.swapSources(0, 3));
    EXPECT_TRUE(engine.getCurrentSingle().sources[0] == single.sources[3]);
    EXPECT_TRUE(engine.getCurrentSingle().sources[3] == single.sources[0]);
    EXPECT_EQ(listener.calls, (Calls{"activeSingleModified 0", "singleModified 0"}));
}

TEST_F(EnginePresets, SettingsNotifyOnlyWhenTheyChange) {
    engine.setConfig(Engine::Config{});
    Engine::Config config;
    config.midiReceivePan = 0;
    engine.setConfig(config);
    EXPECT_EQ(listener.calls, Calls{"configChanged"});
}

TEST(EngineNumbering, FollowsTheK1Banks) {
    const std::pair<uint64_t, const char*> singles[] = {{0, "IA-1"},   {9, "IB-2"},   {63, "iD-8"},
                                                        {64, "EA-1"},  {767, "eD-8"}, {768, "P001"},
                                                        {967, "P200"}, {968, "?B-1"}, {UINT64_MAX, "?D-8"}};
    for (const auto& [index, name] : singles)
        EXPECT_EQ(Engine::getSingleNumberAsName(index), name);
    EXPECT_EQ(Engine::getMultiNumberAsName(31), "ID-8");
    EXPECT_EQ(Engine::getMultiNumberAsName(32), "EA-1");
    EXPECT_EQ(Engine::getMultiNumberAsName(384), "?A-1");

    EXPECT_EQ(Engine::getStorageInfoFromPresetIndex(967, PlayMode_Single)->offset, 768u);
    EXPECT_EQ(Engine::getStorageInfoFromPresetIndex(968, PlayMode_Single), nullptr);
    EXPECT_EQ(Engine::getStorageInfoFromPresetIndex(384, PlayMode_Multi), nullptr);
    EXPECT_EQ(Engine::getSinglesOffsetForMulti(40), 64u);
    EXPECT_EQ(Engine::getSinglesOffsetForMulti(383), 704u);
    EXPECT_EQ(Engine::getSinglesOffsetForMulti(384), 0u);
    const MultiPreset& multi = Engine::getFactoryMulti(100);
    EXPECT_EQ(Engine::getFactoryPresetName(100, PlayMode_Multi),
              std::string(multi.name, strnlen(multi.name, 11)));
    EXPECT_EQ(Engine::getFactoryPresetName(968, PlayMode_Single), "");
}
