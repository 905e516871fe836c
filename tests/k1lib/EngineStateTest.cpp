// Saving and loading the engine's state: round trips between engines, older records, what the
// listener hears, and bad records (hand-made, truncated, mutated) that must change nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "k1lib/records/FactoryData.h"
#include "k1lib/voice/Multi.h"
#include "tests/k1lib/EngineFixture.h"
#include "tests/k1lib/StateRecordBytes.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RandomRecords.h"

using namespace k1lib;
using namespace state_bytes;
using enginetest::RecordingListener;

namespace {

// Keeps the custom data the facade would store with the engine's record.
class CustomDataListener : public RecordingListener {
public:
    Bytes custom;
    void serializeCustomData(std::vector<unsigned char>& data) override { data = custom; }
    void deserializeCustomData(const std::vector<unsigned char>& data) override {
        RecordingListener::deserializeCustomData(data);
        custom = data;
    }
};

struct TestEngine {
    CustomDataListener listener;
    Engine engine{&listener, PluginType_Vst3};

    Bytes save() {
        Bytes out;
        EXPECT_TRUE(engine.saveState(out));
        return out;
    }
    // Renders samples at the processing rate, handling the events at once.
    void render(int samples, std::vector<SMidiEvent> events = {}) {
        std::vector<float> left(static_cast<size_t>(samples)), right(static_cast<size_t>(samples));
        float* outputs[] = {left.data(), right.data()};
        engine.processAudio(outputs, 2, samples, events);
        for (float v : left)
            ASSERT_TRUE(std::isfinite(v));
    }
    // Moves the engine well away from its factory state, in Multi mode.
    void edit(uint32_t seed) {
        testing_records::RecordRandom random(seed);
        EXPECT_TRUE(engine.setSingle(3, random.single()));
        EXPECT_TRUE(engine.setSingle(900, random.single()));
        EXPECT_TRUE(engine.setSingle(7));
        engine.setConfig({4, 0, 2, 1, 0, 1, 1, 1, 0, 1, 1, 0, 1});
        engine.setPlayMode(PlayMode_Multi);
        EXPECT_TRUE(engine.setMulti(10));
        EXPECT_TRUE(engine.setMulti(10, random.multi()));
        EXPECT_TRUE(engine.setParameter(Param_SourceMix12, 0.3f, false));
        listener.custom = {1, 2, 3};
        listener.clear();
    }
};

SMidiEvent noteOn(uint8_t note) {
    return shortMessage(0x90, note, 100);
}

// Where two records first differ (their common length when one is a prefix of the other).
size_t firstDifference(const Bytes& a, const Bytes& b) {
    return static_cast<size_t>(
        std::mismatch(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(std::min(a.size(), b.size())),
                      b.begin())
            .first -
        a.begin());
}
void expectSameRecord(const Bytes& actual, const Bytes& expected) {
    EXPECT_EQ(actual.size(), expected.size());
    EXPECT_EQ(firstDifference(actual, expected), std::min(actual.size(), expected.size()));
}

void expectValidEngine(const Engine& engine) {
    ASSERT_EQ(engine.getSingles().size(), 968u);
    ASSERT_EQ(engine.getMultis().size(), 384u);
    EXPECT_LT(engine.getCurrentSingleIndex(), 968u);
    EXPECT_LT(engine.getCurrentMultiIndex(), 384u);
    EXPECT_LE(static_cast<uint32_t>(engine.getPlayMode()), 1u);
    EXPECT_LE(engine.getConfig().midiReceiveChannel, 15u);
    for (uint32_t p = 0; p < kParamCount; ++p) {
        const float value = engine.getParameter(static_cast<EParam>(p));
        ASSERT_TRUE(value >= 0.0f && value <= 1.0f) << p;
    }
}

} // namespace

TEST(EngineState, FreshRecordSizeAndRoundTripBetweenEngines) {
    TestEngine saved;
    EXPECT_EQ(saved.save().size(), 115687u);
    saved.edit(5);
    const Bytes record = saved.save();

    TestEngine loaded;
    ASSERT_TRUE(loaded.engine.loadState(record));
    expectSameRecord(loaded.save(), record);
    EXPECT_EQ(loaded.engine.getPlayMode(), PlayMode_Multi);
    EXPECT_EQ(loaded.engine.getCurrentSingleIndex(), 7u);
    EXPECT_EQ(loaded.engine.getCurrentMultiIndex(), 10u);
    EXPECT_EQ(loaded.engine.getConfig(), saved.engine.getConfig());
    EXPECT_EQ(loaded.engine.getSingles(), saved.engine.getSingles());
    EXPECT_TRUE(sameMulti(loaded.engine.getMultis()[10], saved.engine.getMultis()[10]));
    EXPECT_EQ(loaded.listener.custom, (Bytes{1, 2, 3}));

    // Everything that changed is reported, so the facade, the editor and the host follow.
    const enginetest::Calls& calls = loaded.listener.calls;
    const auto heard = [&](const std::string& call) {
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    };
    EXPECT_TRUE(heard("deserializeCustomData"));
    EXPECT_TRUE(heard("activeMultiChanged 10"));
    EXPECT_TRUE(heard("playModeChanged"));
    EXPECT_TRUE(heard("singlesModified 3 898"));
    EXPECT_TRUE(heard("multisModified 10 1"));
    EXPECT_TRUE(heard("configChanged"));
    // The last report of every parameter is its loaded value, the fields of the current Single (not
    // playing in Multi mode) included.
    const auto expectLastReports = [&] {
        for (uint32_t p = 0; p < kParamCount; ++p) {
            const std::string prefix = "parameterChanged " + std::to_string(p) + " ";
            const auto last = std::find_if(calls.rbegin(), calls.rend(), [&](const std::string& call) {
                return call.rfind(prefix, 0) == 0;
            });
            ASSERT_NE(last, calls.rend()) << p;
            EXPECT_EQ(*last, prefix + std::to_string(loaded.engine.getParameter(static_cast<EParam>(p))))
                << p;
        }
    };
    expectLastReports();

    // Loading the same record again changes no preset and no setting.
    loaded.listener.clear();
    ASSERT_TRUE(loaded.engine.loadState(record));
    EXPECT_FALSE(heard("singlesModified 3 898"));
    EXPECT_FALSE(heard("configChanged"));
    expectSameRecord(loaded.save(), record);
    expectLastReports();
}

TEST(EngineState, OlderRecordsLoad) {
    TestEngine target;
    target.edit(8);
    const MultiPreset editedMulti = target.engine.getMultis()[10];
    testing_records::RecordRandom random(9);
    std::vector<SinglePreset> singles(64);
    for (SinglePreset& s : singles)
        s = random.single();
    const std::vector<float> values(209, 0.0f);

    // Version 1 ends in Single mode with Multi 0 and keeps the engine's Multis.
    ASSERT_TRUE(target.engine.loadState(
        header(1, 52, 0, values, {}).u32(63).u32(64).append(singleDumps(singles)).bytes));
    EXPECT_EQ(target.engine.getPlayMode(), PlayMode_Single);
    EXPECT_EQ(target.engine.getCurrentSingleIndex(), 63u);
    EXPECT_EQ(target.engine.getCurrentMultiIndex(), 0u);
    EXPECT_EQ(target.engine.getCurrentSingle(), singles[63]);
    EXPECT_EQ(target.engine.getSingles()[900], factorySingles[900]);
    EXPECT_TRUE(sameMulti(target.engine.getMultis()[10], editedMulti));

    // Version 2 hands its custom data on.
    ASSERT_TRUE(target.engine.loadState(
        header(2, 52, 0, values, {7}).u32(1).u32(64).append(singleDumps(singles)).bytes));
    EXPECT_EQ(target.listener.custom, Bytes{7});
    EXPECT_EQ(target.engine.getCurrentSingleIndex(), 1u);

    // Version 3 with u64 indexes selects its Multi in Multi mode.
    ASSERT_TRUE(target.engine.loadState(header(3, 52, 1, values, {})
                                            .u64(2)
                                            .u32(64)
                                            .block(singleDumps(singles))
                                            .u64(0x700000021ull)
                                            .u32(1)
                                            .block(multiDumps(std::vector<MultiPreset>{random.multi()}))
                                            .bytes));
    EXPECT_EQ(target.engine.getPlayMode(), PlayMode_Multi);
    EXPECT_EQ(target.engine.getCurrentSingleIndex(), 2u);
    EXPECT_EQ(target.engine.getCurrentMultiIndex(), 0x21u);
    EXPECT_TRUE(sameMulti(target.engine.getMultis()[10], factoryMultis[10]));
}

TEST(EngineState, RefusedRecordsChangeNothing) {
    TestEngine target;
    target.edit(11);
    const Bytes before = target.save();
    TestEngine other;
    other.edit(12);
    Bytes good = other.save();

    std::vector<Bytes> bad;
    bad.push_back({});
    bad.push_back(RecordBytes().u32(5).append(Bytes(200, 0)).bytes);
    Bytes badIndex = good;
    badIndex[908 + 3 + 3] = 0x80; // current Single far beyond the bank (custom data shifts it by 3)
    bad.push_back(badIndex);
    bad.emplace_back(good.begin(), good.end() - 1); // every other cut is refused by the record reader

    LogCapture capture;
    target.listener.clear();
    for (const Bytes& record : bad)
        ASSERT_FALSE(target.engine.loadState(record)) << record.size();
    EXPECT_TRUE(target.listener.calls.empty());
    expectSameRecord(target.save(), before);
}

TEST(EngineState, SeededMutationsAreRefusedOrLoadIntoAValidEngine) {
    TestEngine source;
    source.edit(21);
    const Bytes good = source.save();
    TestEngine target;
    Bytes current = target.save();
    std::mt19937 random(2024);
    LogCapture capture;
    int loaded = 0;
    for (int i = 0; i < 10000; ++i) {
        Bytes record = good;
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int c = 0; c < changes; ++c) {
            // Half of them in the fixed fields, where most values are still readable.
            const size_t span = random() % 2 ? std::min<size_t>(1024, record.size()) : record.size();
            const size_t at = random() % span;
            switch (random() % 4) {
            case 0:
                record.resize(at);
                break;
            case 1:
                record.insert(record.begin() + static_cast<std::ptrdiff_t>(at),
                              static_cast<unsigned char>(random()));
                break;
            default:
                record[at] = static_cast<unsigned char>(random());
                break;
            }
            if (record.empty()) break;
        }
        if (target.engine.loadState(record)) {
            ++loaded;
            expectValidEngine(target.engine);
            current = target.save();
        } else if (i % 50 == 0) {
            ASSERT_EQ(firstDifference(target.save(), current), current.size()) << "mutation " << i;
        }
        capture.clear();
    }
    EXPECT_GT(loaded, 0);
    target.render(256);
    expectValidEngine(target.engine);
}

TEST(EngineState, LoadingWhileVoicesSoundLeavesNoneBehind) {
    TestEngine target;
    target.render(64, {noteOn(60), noteOn(64), noteOn(67)});
    SMidiEvent off = noteOn(64);
    off.data2 = 0; // note-on velocity 0: released, the voice fades
    target.render(64, {off, noteOn(72)});
    ASSERT_GT(target.engine.getMulti().getActiveVoiceCount(), 0);

    TestEngine other;
    other.edit(31);
    testing_records::RecordRandom random(32);
    for (uint64_t i = 0; i < 968; i += 5)
        EXPECT_TRUE(other.engine.setSingle(i, random.single()));
    ASSERT_TRUE(target.engine.loadState(other.save()));
    EXPECT_EQ(target.engine.getMulti().getActiveVoiceCount(), 0);
    target.render(2048, {noteOn(48), noteOn(60)});
    expectValidEngine(target.engine);
}

TEST(EngineState, ModeAndSettingsComeFromTheRecordAlone) {
    // A record in Single mode whose parameter 208 says Multi, with omni off on channel 5.
    std::vector<float> values(209, 0.0f);
    values[Param_Mode] = 1.0f;
    RecordBytes record = header(4, 0, 0, values, {});
    record.bytes[4] = 8; // config size 8: the receive channel and omni
    record.bytes.insert(record.bytes.begin() + 8, {5, 0, 0, 0, 0, 0, 0, 0});
    record.u32(0).u32(0).block({}).u32(0).u32(0).block({});

    TestEngine target;
    ASSERT_TRUE(target.engine.loadState(record.bytes));
    target.render(16);
    EXPECT_EQ(target.engine.getPlayMode(), PlayMode_Single);
    EXPECT_EQ(target.engine.getParameter(Param_Mode), 0.0f);
    // The Single-mode sections follow the new basic channel.
    EXPECT_EQ(target.engine.getBasicChannel(), 5);
    EXPECT_GT(target.engine.getMulti().getChannelSections(5).count, 0);
    EXPECT_EQ(target.engine.getMulti().getChannelSections(0).count, 0);
}

// Hosts load states that differ from what sounds only elsewhere (another preset, a parameter, or
// nothing at all): the notes keep sounding. A change to what they play still ends them.
TEST(EngineState, ALoadThatLeavesWhatSoundsKeepsItsVoices) {
    testing_records::RecordRandom random(41);
    for (PlayMode mode : {PlayMode_Single, PlayMode_Multi}) {
        TestEngine target;
        TestEngine other;
        for (TestEngine* e : {&target, &other}) {
            e->engine.setPlayMode(mode);
            if (mode == PlayMode_Multi) {
                ASSERT_TRUE(e->engine.setMulti(10));
            }
        }
        const MultiPreset& multi = target.engine.getCurrentMulti();
        const uint64_t played = mode == PlayMode_Single
                                    ? target.engine.getCurrentSingleIndex()
                                    : Engine::getSinglesOffsetForMulti(10) + multi.sections[0].single;
        ASSERT_LT(multi.sections[0].single, 64u);
        uint8_t channel = 0; // one the notes reach
        while (target.engine.getMulti().getChannelSections(channel).count == 0)
            ASSERT_LT(++channel, 16);
        std::vector<SMidiEvent> chord = {noteOn(60), noteOn(64), noteOn(67)};
        for (SMidiEvent& note : chord)
            note.status = static_cast<uint8_t>(0x90 | channel);
        target.render(64, chord);
        const int sounding = target.engine.getMulti().getActiveVoiceCount();
        ASSERT_GT(sounding, 0) << mode;

        ASSERT_TRUE(target.engine.loadState(target.save())); // the state just read
        EXPECT_EQ(target.engine.getMulti().getActiveVoiceCount(), sounding) << mode;
        const SinglePreset elsewhere = random.single();
        ASSERT_TRUE(other.engine.setSingle(900, elsewhere));
        EXPECT_TRUE(other.engine.setParameter(Param_SourceMix12, 0.3f, false));
        ASSERT_TRUE(target.engine.loadState(other.save()));
        EXPECT_EQ(target.engine.getMulti().getActiveVoiceCount(), sounding) << mode;
        EXPECT_TRUE(target.engine.getSingles()[900] == elsewhere) << mode;
        EXPECT_FLOAT_EQ(target.engine.getParameter(Param_SourceMix12), 0.3f) << mode;
        target.render(64);
        EXPECT_EQ(target.engine.getMulti().getActiveVoiceCount(), sounding) << mode;

        ASSERT_TRUE(other.engine.setSingle(played, random.single()));
        ASSERT_TRUE(target.engine.loadState(other.save()));
        EXPECT_EQ(target.engine.getMulti().getActiveVoiceCount(), 0) << mode;
    }
}
