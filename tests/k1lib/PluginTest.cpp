// The facade: cache behaviour, fan-out order of every notification, presets by play mode,
// search, copy and paste, and concurrent use from an audio and a user-interface thread.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

#include "k1lib/facade/Plugin.h"
#include "tests/support/LogCapture.h"

using namespace k1lib;

namespace {

// One log for listener and editor, so their relative order is visible.
struct Journal {
    std::mutex mutex;
    std::vector<std::string> entries;
    void add(std::string entry) {
        std::lock_guard<std::mutex> lock(mutex);
        entries.push_back(std::move(entry));
    }
    std::vector<std::string> take() {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<std::string> out;
        out.swap(entries);
        return out;
    }
};

class RecordingListener : public IPluginListener {
public:
    explicit RecordingListener(Journal& journal) : sharedJournal(journal) {}
    void onActiveSingleChanged(size_t i) override {
        sharedJournal.add("L ActiveSingleChanged " + std::to_string(i));
    }
    void onSingleModified(size_t i) override { sharedJournal.add("L SingleModified " + std::to_string(i)); }
    void onActiveSingleModified(size_t i) override {
        sharedJournal.add("L ActiveSingleModified " + std::to_string(i));
    }
    void onSinglesModified(size_t f, size_t c) override {
        sharedJournal.add("L SinglesModified " + std::to_string(f) + " " + std::to_string(c));
    }
    void onActiveMultiChanged(size_t i) override {
        sharedJournal.add("L ActiveMultiChanged " + std::to_string(i));
    }
    void onMultiModified(size_t i) override { sharedJournal.add("L MultiModified " + std::to_string(i)); }
    void onActiveMultiModified(size_t i) override {
        sharedJournal.add("L ActiveMultiModified " + std::to_string(i));
    }
    void onMultisModified(size_t f, size_t c) override {
        sharedJournal.add("L MultisModified " + std::to_string(f) + " " + std::to_string(c));
    }
    void sendMidi(const SMidiEvent&) override { sharedJournal.add("L sendMidi"); }
    void onParameterChanged(EParam p, float) override { sharedJournal.add("L param " + std::to_string(p)); }
    void onPlayModeChanged() override { sharedJournal.add("L PlayModeChanged"); }
    void onConfigChanged() override { sharedJournal.add("L ConfigChanged"); }

private:
    Journal& sharedJournal;
};

class RecordingEditor : public IEditor {
public:
    explicit RecordingEditor(Journal& journal) : sharedJournal(journal) {}
    void onEvent(const PluginToEditorEvent& e) override {
        if (e.type == PluginToEditorEvent::ParameterChanged)
            sharedJournal.add("E param " + std::to_string(e.param));
        else
            sharedJournal.add("E " + std::to_string(e.type) + " " + std::to_string(e.index) + " " +
                              std::to_string(e.count));
    }

private:
    Journal& sharedJournal;
};

struct Rig {
    Journal journal;
    RecordingListener listener{journal};
    RecordingEditor editor{journal};
    Plugin plugin{&listener, PluginType_Vst3};
    Rig() {
        plugin.setEditor(&editor);
        journal.take();
    }
};

size_t indexOf(const std::vector<std::string>& entries, const std::string& entry) {
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i] == entry) return i;
    return entries.size();
}

} // namespace

TEST(PluginFacade, SetParameterGoesThroughOnlyForNewFiniteValues) {
    Rig rig;
    const float cached = rig.plugin.getParameter(Param_Volume);
    EXPECT_FALSE(rig.plugin.setParameter(Param_Volume, cached));
    EXPECT_TRUE(rig.journal.take().empty());
    EXPECT_FALSE(rig.plugin.setParameter(Param_Volume, NAN));
    EXPECT_FALSE(rig.plugin.setParameter(static_cast<EParam>(209), 0.5f));
    EXPECT_EQ(rig.plugin.getParameter(Param_Volume), cached);

    const float other = cached > 0.5f ? 0.25f : 0.75f;
    EXPECT_TRUE(rig.plugin.setParameter(Param_Volume, other));
    EXPECT_EQ(rig.plugin.getParameter(Param_Volume), other);
    EXPECT_EQ(rig.journal.take(), std::vector<std::string>{"E param " + std::to_string(Param_Volume)});

    // A Multi parameter while the Single plays is refused by the engine: the cache keeps the
    // instrument's value, which the editor and the listener hear back.
    LogCapture capture;
    const float held = rig.plugin.getParameter(Param_MultiVolume);
    EXPECT_FALSE(rig.plugin.setParameter(Param_MultiVolume, held > 0.5f ? 0.1f : 0.9f));
    EXPECT_EQ(rig.plugin.getParameter(Param_MultiVolume), held);
    EXPECT_EQ(rig.journal.take(), (std::vector<std::string>{"E param " + std::to_string(Param_MultiVolume),
                                                            "L param " + std::to_string(Param_MultiVolume)}));
}

TEST(PluginFacade, PresetChangeReportsChangedParametersFirstEachToEditorThenListener) {
    Rig rig;
    size_t target = 1;
    while (std::string(Engine::getFactorySingle(target).name) == Engine::getFactorySingle(0).name)
        ++target;
    ASSERT_TRUE(rig.plugin.setCurrentPresetIndex(target));
    const std::vector<std::string> entries = rig.journal.take();
    ASSERT_GE(entries.size(), 4u);
    const size_t changed = indexOf(entries, "L ActiveSingleChanged " + std::to_string(target));
    ASSERT_LT(changed, entries.size());
    EXPECT_EQ(entries[changed + 1], "E 4 " + std::to_string(target) + " 0");
    int lastParam = -1;
    for (size_t i = 0; i < changed; i += 2) {
        ASSERT_EQ(entries[i].rfind("E param ", 0), 0u) << entries[i];
        const int p = std::stoi(entries[i].substr(8));
        EXPECT_EQ(entries[i + 1], "L param " + std::to_string(p));
        EXPECT_GT(p, lastParam); // ascending
        lastParam = p;
    }
    EXPECT_GT(lastParam, 0); // the name at least differs
}

TEST(PluginFacade, NotificationsReachEditorAndListenerInTheirOrder) {
    Rig rig;
    rig.plugin.onConfigChanged();
    rig.plugin.onSingleModified(3);
    rig.plugin.onMultisModified(2, 5);
    rig.plugin.onActiveMultiChanged(7);
    rig.plugin.onPlayModeChanged();
    const std::vector<std::string> expected = {"L ConfigChanged",        "E 10 0 0", "E 2 3 0",
                                               "L SingleModified 3",     "E 5 2 5",  "L MultisModified 2 5",
                                               "L ActiveMultiChanged 7", "E 8 7 0",  "E 9 0 0",
                                               "L PlayModeChanged"};
    EXPECT_EQ(rig.journal.take(), expected);

    rig.plugin.setEditor(nullptr);
    rig.plugin.onConfigChanged();
    EXPECT_EQ(rig.journal.take(), std::vector<std::string>{"L ConfigChanged"});
}

TEST(PluginFacade, PresetsFollowThePlayMode) {
    Rig rig;
    EXPECT_EQ(rig.plugin.getPresetCount(), rig.plugin.getSingleCount());
    EXPECT_EQ(rig.plugin.getPresetName(rig.plugin.getPresetCount()), "");
    EXPECT_EQ(rig.plugin.getPresetName(0), std::string(Engine::getFactorySingle(0).name));
    rig.plugin.setPlayMode(PlayMode_Multi);
    EXPECT_EQ(rig.plugin.getPlayMode(), PlayMode_Multi);
    EXPECT_EQ(rig.plugin.getPresetCount(), rig.plugin.getMultiCount());
    EXPECT_EQ(rig.plugin.getPresetName(1), std::string(Engine::getFactoryMulti(1).name));
    EXPECT_TRUE(rig.plugin.setCurrentPresetIndex(2));
    EXPECT_EQ(rig.plugin.getCurrentMultiIndex(), 2u);
    EXPECT_FALSE(rig.plugin.setCurrentPresetIndex(rig.plugin.getMultiCount()));
}

TEST(PluginFacade, SearchFoldsCaseAndHonoursTheLimit) {
    Rig rig;
    SinglePreset piano = Engine::getFactorySingle(5);
    std::memset(piano.name, 0, sizeof piano.name);
    std::strcpy(piano.name, "Piano 2");
    ASSERT_TRUE(rig.plugin.setSingle(5, piano));
    std::vector<size_t> found;
    ASSERT_TRUE(rig.plugin.searchSingles(found, "PIANO 2", 1000));
    EXPECT_NE(std::find(found.begin(), found.end(), 5u), found.end());
    EXPECT_TRUE(std::is_sorted(found.begin(), found.end()));
    ASSERT_TRUE(rig.plugin.searchSingles(found, "", 10));
    EXPECT_EQ(found.size(), 10u);
    EXPECT_EQ(found.front(), 0u);
    ASSERT_TRUE(rig.plugin.searchMultis(found, "", 0));
    EXPECT_EQ(found.size(), 1u);
    EXPECT_FALSE(rig.plugin.searchSingles(found, "no such name here", 1000));
    EXPECT_TRUE(found.empty());
}

TEST(PluginFacade, CopyAndPasteRefuseWhatIsNotTheirKind) {
    Rig rig;
    std::vector<unsigned char> single, multi;
    ASSERT_TRUE(rig.plugin.getSingle(single, 3));
    ASSERT_TRUE(rig.plugin.getMulti(multi, 3));
    EXPECT_FALSE(rig.plugin.getSingle(single, rig.plugin.getSingleCount()));
    const SinglePreset before = rig.plugin.getCurrentSingle();
    LogCapture capture;
    EXPECT_FALSE(rig.plugin.setSingle(std::vector<unsigned char>{}, 0));
    EXPECT_FALSE(rig.plugin.setSingle(multi, 0));
    EXPECT_FALSE(rig.plugin.setSingle(std::vector<unsigned char>{0xF0, 0x01, 0x02, 0xF7}, 0));
    EXPECT_FALSE(rig.plugin.setSingle(single, rig.plugin.getSingleCount()));
    EXPECT_TRUE(rig.plugin.getCurrentSingle() == before);

    // A dump of several Singles stores only the first.
    std::vector<SinglePreset> two = {Engine::getFactorySingle(8), Engine::getFactorySingle(9)};
    std::vector<unsigned char> dump;
    ASSERT_TRUE(Sysex::writeSingles(dump, two, 0, StorageI, 0));
    ASSERT_TRUE(rig.plugin.setSingle(dump, 20));
    SinglePreset stored;
    ASSERT_TRUE(rig.plugin.getSingle(stored, 20));
    EXPECT_TRUE(stored == two[0]);
    ASSERT_TRUE(rig.plugin.getSingle(stored, 21));
    EXPECT_TRUE(stored == Engine::getFactorySingle(21));
}

// An audio thread queues notes and renders while a user-interface thread edits; run under
// ThreadSanitizer in CI.
TEST(PluginStress, AudioAndUserInterfaceThreadsShareTheFacade) {
    Rig rig;
    rig.plugin.setSampleRate(44100.0f);
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        std::vector<float> left(256), right(256);
        float* outputs[] = {left.data(), right.data()};
        for (int block = 0; !stop.load(); ++block) {
            const auto note = static_cast<uint8_t>(48 + block % 24);
            rig.plugin.addMidiEvent(shortMessage(0x90, note, 100));
            rig.plugin.addMidiEvent(shortMessage(0x80, note, 100, 200));
            rig.plugin.setParameter(Param_Volume, static_cast<float>(block % 100) / 100.0f);
            rig.plugin.process(outputs, 2, 256);
        }
    });
    for (int i = 0; i < 10000; ++i) {
        switch (i % 5) {
        case 0:
            EXPECT_TRUE(rig.plugin.setCurrentPresetIndex(static_cast<size_t>(i % 64)));
            break;
        case 1:
            rig.plugin.setParameter(Param_LfoSpeed, static_cast<float>(i % 97) / 97.0f);
            break;
        case 2: {
            Engine::Config config = rig.plugin.getConfig();
            config.midiReceivePitchBend = static_cast<uint32_t>(i % 2);
            rig.plugin.setConfig(config);
            break;
        }
        case 3:
            rig.plugin.getParameterDisplay(Param_Volume);
            break;
        default:
            rig.plugin.setPlayMode(i % 2 ? PlayMode_Multi : PlayMode_Single);
            break;
        }
    }
    stop = true;
    audio.join();
    // Whatever the threads did, the facade still plays.
    rig.plugin.setPlayMode(PlayMode_Single);
    EXPECT_TRUE(rig.plugin.setCurrentPresetIndex(0));
    rig.plugin.setParameter(Param_Volume, 1.0f);
    rig.plugin.addMidiEvent(shortMessage(0x90, 60, 127));
    std::vector<float> left(4096), right(4096);
    float* outputs[] = {left.data(), right.data()};
    float peak = 0;
    for (int block = 0; block < 4; ++block) {
        rig.plugin.process(outputs, 2, 4096);
        for (float v : left)
            peak = std::max(peak, std::abs(v));
    }
    EXPECT_GT(peak, 0.001f);
}
