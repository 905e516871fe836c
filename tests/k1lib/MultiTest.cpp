#include "tests/k1lib/VoiceTestSupport.h"

#include "k1lib/params/Curves.h"
#include "k1lib/params/Parameters.h"
#include "k1lib/voice/Multi.h"
#include "tests/support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

using namespace k1lib;
using namespace voicetest;

namespace {

// A stand-in for the engine: two banks of 64 Singles, each playing sine wave 0.
struct FakeHost : IMultiHost {
    TestEngine engine;
    std::vector<SinglePreset> singles = std::vector<SinglePreset>(128, sineSingle());
    uint64_t current = 0;
    uint64_t offset = 0;
    uint8_t basicChannel = 0;
    bool singleMode = true;
    uint32_t outputMode = 0;
    MultiPreset storedMulti{};
    std::vector<std::pair<uint32_t, uint32_t>> sectionSingles;

    const std::vector<SinglePreset>& getSingles() const override { return singles; }
    const SinglePreset* getCurrentSingle() const override { return &singles[current]; }
    uint64_t getSinglesOffset() const override { return offset; }
    uint8_t getBasicChannel() const override { return basicChannel; }
    uint32_t getPitchBendRange() const override { return 2; }
    float getProcessingSamplerate() const override { return 49920.0f; }
    bool isSingleMode() const override { return singleMode; }
    uint32_t getAudioOutputMode() const override { return outputMode; }
    const StaticArray<MidiState, 16>& getMidiStates() const override { return engine.midi; }
    const VoiceContext& getVoiceContext() const override { return engine.context; }
    Random& getRandom() override { return engine.random; }
    const MultiPreset& getCurrentMulti() const override { return storedMulti; }
    void setSectionSingle(uint32_t section, uint32_t single) override {
        sectionSingles.emplace_back(section, single);
    }
};

MultiSection section(uint32_t single, uint32_t channel, uint32_t poly = 0) {
    MultiSection s{};
    s.single = single;
    s.zoneHigh = 127;
    s.poly = poly;
    s.output = OutputBoth;
    s.channel = channel;
    s.level = 100;
    return s;
}

// A Multi with the given sections; the rest are off.
MultiPreset multiOf(std::initializer_list<MultiSection> sections) {
    MultiPreset multi{};
    multi.volume = 99;
    for (int s = 0; s < kSectionCount; ++s)
        multi.sections[s].poly = PolyOff;
    int s = 0;
    for (const MultiSection& given : sections)
        multi.sections[s++] = given;
    return multi;
}

struct Outputs {
    explicit Outputs(int count) : values(count, 0.0f), pointers(count) {
        for (int k = 0; k < count; ++k)
            pointers[k] = &values[k];
    }
    std::vector<float> values;
    std::vector<float*> pointers;
};

// Renders samples frames; returns the peak magnitude per output.
std::vector<float> renderPeaks(Multi& multi, int count, int samples) {
    Outputs out(count);
    std::vector<float> peaks(count, 0.0f);
    for (int i = 0; i < samples; ++i) {
        std::fill(out.values.begin(), out.values.end(), 0.0f);
        multi.process(out.pointers.data(), count);
        for (int k = 0; k < count; ++k)
            peaks[k] = std::max(peaks[k], std::abs(out.values[k]));
    }
    return peaks;
}

class MultiTest : public ::testing::Test {
protected:
    FakeHost host;
    std::unique_ptr<Multi> multi = std::make_unique<Multi>(host);

    void play(const MultiPreset& preset) {
        host.singleMode = false;
        multi->setMulti(preset);
    }
};

} // namespace

TEST_F(MultiTest, ZonesNormalAndWrapped) {
    MultiSection normal = section(0, 0, 2 + 7);
    normal.zoneLow = 48;
    normal.zoneHigh = 60;
    MultiSection wrapped = section(1, 1, 2 + 7);
    wrapped.zoneLow = 60;
    wrapped.zoneHigh = 48;
    play(multiOf({normal, wrapped}));
    for (int n = 0; n < 128; ++n) {
        const auto note = static_cast<uint8_t>(n);
        multi->noteOn(0, note, 100);
        multi->noteOn(1, note, 100);
        EXPECT_EQ(multi->getPlayingVoiceCount(0), n >= 48 && n <= 60 ? 1 : 0) << n;
        // The wrapped zone sounds from 60 up and below 48; its high key 48 stays silent.
        EXPECT_EQ(multi->getPlayingVoiceCount(1), n >= 60 || n < 48 ? 1 : 0) << n;
        multi->clearAllVoices();
    }
}

TEST_F(MultiTest, VelocitySwitch) {
    MultiSection soft = section(0, 0), loud = section(0, 0), all = section(0, 0);
    soft.velocity = VelocitySoft;
    loud.velocity = VelocityLoud;
    play(multiOf({soft, loud, all}));
    multi->noteOn(0, 60, 63);
    EXPECT_EQ(multi->getPlayingVoiceCount(0), 1);
    EXPECT_EQ(multi->getPlayingVoiceCount(1), 0);
    multi->noteOn(0, 62, 64);
    EXPECT_EQ(multi->getPlayingVoiceCount(0), 1);
    EXPECT_EQ(multi->getPlayingVoiceCount(1), 1);
    EXPECT_EQ(multi->getPlayingVoiceCount(2), 2);
}

TEST_F(MultiTest, PolyModesAndSoloLegato) {
    play(multiOf({section(0, 0), section(1, 1), section(2, 2)}));
    host.singles[0].polyMode = 0; // Poly 1: the same key again erases its voice at once
    host.singles[1].polyMode = 1; // Poly 2: the same key again sounds twice
    host.singles[2].polyMode = 2; // Solo
    for (uint8_t ch = 0; ch < 3; ++ch) {
        multi->noteOn(ch, 60, 100);
        multi->noteOn(ch, 60, 90);
    }
    EXPECT_EQ(multi->getPlayingVoiceCount(0), 1);
    EXPECT_EQ(multi->getReleasingVoiceCount(0), 0);
    EXPECT_EQ(multi->getPlayingVoice(0, 0).getVelocity(), 90);
    EXPECT_EQ(multi->getPlayingVoiceCount(1), 2);
    EXPECT_EQ(multi->getPlayingVoiceCount(2), 1);
    EXPECT_EQ(multi->getReleasingVoiceCount(2), 1);

    // Two keys on the Solo Single, the newer released: the older key sounds again with the
    // velocity of the key released.
    multi->noteOff(2, 60, 0);
    multi->noteOff(2, 60, 0);
    multi->noteOn(2, 50, 80);
    multi->noteOn(2, 55, 110);
    multi->noteOff(2, 55, 0);
    ASSERT_EQ(multi->getPlayingVoiceCount(2), 1);
    EXPECT_EQ(multi->getPlayingVoice(2, 0).getNote(), 50);
    EXPECT_EQ(multi->getPlayingVoice(2, 0).getVelocity(), 110);
    EXPECT_TRUE(multi->getPlayingVoice(2, 0).isKeyDown());

    // Solo cuts on every note of its channel, even outside its zone.
    MultiSection zoned = section(2, 3);
    zoned.zoneLow = zoned.zoneHigh = 70;
    play(multiOf({zoned}));
    multi->noteOn(3, 70, 100);
    multi->noteOn(3, 20, 100);
    EXPECT_EQ(multi->getPlayingVoiceCount(0), 0);
}

TEST_F(MultiTest, VoiceLimitsStealIntoTheReleasingList) {
    play(multiOf({section(0, 0, 2), section(0, 1, 0)})); // one voice; "VR"
    multi->noteOn(0, 60, 100);
    for (int i = 0; i < 300; ++i)
        renderPeaks(*multi, 2, 1);
    const uint32_t clock = multi->getPlayingVoice(0, 0).getClock();
    multi->noteOn(0, 62, 100);
    ASSERT_EQ(multi->getPlayingVoiceCount(0), 1);
    EXPECT_EQ(multi->getReleasingVoiceCount(0), 1);
    EXPECT_EQ(multi->getPlayingVoice(0, 0).getNote(), 62);
    EXPECT_EQ(multi->getPlayingVoice(0, 0).getClock(), clock); // the new voice inherits the clock
    // The stolen voice fades with release 7 and is erased once finished.
    renderPeaks(*multi, 2, static_cast<int>(envDecayTime(Voice::kKillRelease) * 49920.0f) + 5);
    EXPECT_EQ(multi->getReleasingVoiceCount(0), 0);

    for (int n = 0; n < 33; ++n)
        multi->noteOn(1, static_cast<uint8_t>(n), 100);
    EXPECT_EQ(multi->getPlayingVoiceCount(1), 33);
    EXPECT_EQ(multi->getReleasingVoiceCount(1), 0);
    multi->noteOn(1, 100, 100);
    EXPECT_EQ(multi->getPlayingVoiceCount(1), 33);
    EXPECT_EQ(multi->getReleasingVoiceCount(1), 1);
    EXPECT_EQ(multi->getPlayingVoice(1, 0).getNote(), 1); // the oldest went first
    EXPECT_EQ(multi->getActiveVoiceCount(), 35);
    multi->clearAllVoices();
    EXPECT_EQ(multi->getActiveVoiceCount(), 1); // the fading voice stays
    multi->clearReleasingVoices();
    EXPECT_EQ(multi->getActiveVoiceCount(), 0);
}

TEST_F(MultiTest, ChannelMapSkipsOffAndSilentSectionsAndInvalidOnes) {
    MultiSection off = section(0, 0, 1);
    MultiSection silent = section(0, 0);
    silent.level = 0;
    MultiSection badChannel = section(0, 16);
    MultiSection badSingle = section(64, 2); // beyond the Multi's bank of 64
    MultiSection basic = section(3, 255);
    host.basicChannel = 9;
    play(multiOf({off, silent, badChannel, badSingle, basic, section(5, 0)}));
    EXPECT_EQ(multi->getChannelSections(0).count, 1);
    EXPECT_EQ(multi->getChannelSections(0).sections[0], 5);
    EXPECT_EQ(multi->getChannelSections(9).sections[0], 4);
    EXPECT_EQ(multi->getActiveSections().count, 3); // a bad Single is only found at note time
    multi->noteOn(2, 60, 100);
    multi->noteOn(16, 60, 100);
    multi->noteOn(255, 60, 100);
    EXPECT_EQ(multi->getActiveVoiceCount(), 0);

    // The singles offset moves the bank.
    host.offset = 64;
    play(multiOf({section(3, 0)}));
    multi->noteOn(0, 60, 100);
    EXPECT_EQ(&multi->getPlayingVoice(0, 0).getSource(0).getSource(), &host.singles[67].sources[0]);
}

TEST_F(MultiTest, UpdateMultiAndProgramChanges) {
    play(multiOf({section(0, 0)}));
    multi->noteOn(0, 60, 100);
    MultiPreset changed = multiOf({section(0, 0)});
    changed.name[0] = 'X';
    multi->updateMulti(changed, Param_MultiName01);
    EXPECT_EQ(multi->getPlayingVoiceCount(0), 1);
    EXPECT_EQ(multi->getPreset().name[0], 'X');
    changed.sections[0].channel = 3;
    multi->updateMulti(changed, Param_MultiS1Channel);
    EXPECT_EQ(multi->getPlayingVoiceCount(0), 0); // erased at once, no release
    EXPECT_EQ(multi->getChannelSections(3).count, 1);

    host.storedMulti = multiOf({section(4, 3), section(7, 3), section(4, 2)});
    multi->changeSingleForChannel(3, 7);
    ASSERT_EQ(host.sectionSingles.size(), 1u);
    EXPECT_EQ(host.sectionSingles[0], (std::pair<uint32_t, uint32_t>{0, 7}));
}

TEST_F(MultiTest, SingleModeRoutesSourcesToTheirOwnOutputs) {
    SinglePreset& single = host.singles[0];
    single.source2or4 = 1;
    single.mute[0] = single.mute[1] = single.mute[3] = 1; // only S3 sounds
    host.outputMode = 1;
    multi->setMulti(multi->getSingleModeMulti());
    multi->noteOn(0, 69, 127);
    std::vector<float> peaks = renderPeaks(*multi, 8, 2000);
    EXPECT_EQ(peaks[0], 0.0f);
    EXPECT_EQ(peaks[1], 0.0f);
    EXPECT_GT(peaks[2], 0.1f);
    EXPECT_EQ(peaks[3], 0.0f);
    // Per source ignores pan; with two outputs the same settings give stereo with pan.
    host.engine.midi[0].panRight = 0.0f;
    EXPECT_GT(renderPeaks(*multi, 4, 200)[2], 0.1f);
    peaks = renderPeaks(*multi, 2, 200);
    EXPECT_GT(peaks[0], 0.1f);
    EXPECT_EQ(peaks[1], 0.0f);
}

TEST_F(MultiTest, MultiModeRoutesSectionsToTheirOutputs) {
    host.outputMode = 1;
    play(multiOf({section(0, 0), section(0, 1), section(0, 2)}));
    multi->noteOn(1, 69, 127);
    std::vector<float> peaks = renderPeaks(*multi, 8, 2000);
    EXPECT_EQ(peaks[0], 0.0f);
    EXPECT_GT(peaks[1], 0.1f);
    const float full = peaks[1];
    // Multi volume, Single volume and channel volume all scale.
    MultiPreset quieter = multi->getPreset();
    quieter.volume = 49;
    multi->updateMulti(quieter, Param_MultiVolume);
    host.singles[0].volume = 49;
    host.engine.midi[1].volume = 0.5f;
    peaks = renderPeaks(*multi, 8, 2000);
    EXPECT_NEAR(peaks[1], full * volume(49) * volume(49) * 0.5f, full * 0.01f);
}

// Outputs are exactly `count` long: the sanitizer build proves nothing else is written.
TEST_F(MultiTest, WritesOnlyTheOutputsThatExist) {
    host.outputMode = 1;
    for (bool singleMode : {true, false}) {
        MultiPreset preset = multiOf({section(0, 0), section(0, 0), section(0, 0), section(0, 0),
                                      section(0, 0), section(0, 0), section(0, 0), section(0, 0)});
        host.singles[0].source2or4 = 1;
        multi->setMulti(preset);
        host.singleMode = singleMode;
        multi->noteOn(0, 69, 127);
        for (int count : {1, 2, 3, 4, 8}) {
            const std::vector<float> peaks = renderPeaks(*multi, count, 300);
            EXPECT_GT(peaks[0], 0.0f) << count;
        }
        multi->allNotesOff(0);
        multi->clearAllVoices();
    }
    // Sections without an output of their own join the main pair: with three outputs, section 8 is heard.
    play(multiOf({section(0, 1, 1), section(0, 1, 1), section(0, 1, 1), section(0, 1, 1), section(0, 1, 1),
                  section(0, 1, 1), section(0, 1, 1), section(0, 1)}));
    multi->noteOn(1, 69, 127);
    const std::vector<float> peaks = renderPeaks(*multi, 3, 2000);
    EXPECT_GT(peaks[0], 0.1f);
    EXPECT_GT(peaks[1], 0.1f);
    EXPECT_EQ(peaks[2], 0.0f);
}

TEST_F(MultiTest, RandomNoteBurstAllocatesNothingAndLeaksNoVoice) {
    std::vector<MultiSection> sections;
    MultiPreset preset = multiOf({});
    for (int s = 0; s < kSectionCount; ++s) {
        preset.sections[s] =
            section(static_cast<uint32_t>(s), static_cast<uint32_t>(s * 2), s % 3 == 0 ? 0 : 2 + s);
        preset.sections[s].zoneLow = static_cast<uint32_t>(s * 10);
        preset.sections[s].zoneHigh = static_cast<uint32_t>(127 - s * 12);
    }
    for (int s = 0; s < kSectionCount; ++s)
        host.singles[static_cast<size_t>(s)].polyMode = static_cast<uint32_t>(s % 3);
    play(preset);
    std::mt19937 random(42);
    Outputs out(8);
    const auto burst = [&](int notes) {
        for (int i = 0; i < notes; ++i) {
            const auto channel = static_cast<uint8_t>(random() % 16);
            const auto note = static_cast<uint8_t>(random() % 128);
            if (random() % 3 == 0)
                multi->noteOff(channel, note, 64);
            else
                multi->noteOn(channel, note, static_cast<uint8_t>(1 + random() % 127));
            if (random() % 50 == 0) multi->setHoldPedal(channel, random() % 2 == 0);
            multi->process(out.pointers.data(), 8);
        }
    };
    burst(2000); // warm-up
    {
        AllocationCounter counter;
        burst(10000);
        EXPECT_EQ(counter.count(), 0u);
    }
    for (uint8_t ch = 0; ch < kMidiChannelCount; ++ch)
        multi->allNotesOff(ch);
    for (int i = 0; i < 49920 * 2 && multi->getActiveVoiceCount() > 0; ++i)
        multi->process(out.pointers.data(), 8);
    EXPECT_EQ(multi->getActiveVoiceCount(), 0);
}

// Multis arrive from files and hardware unchecked: any section values only ever play or stay silent.
TEST_F(MultiTest, ArbitrarySectionValuesAreSafe) {
    std::mt19937 random(7);
    Outputs out(8);
    for (int round = 0; round < 300; ++round) {
        MultiPreset preset;
        auto* bytes = reinterpret_cast<unsigned char*>(&preset);
        for (size_t i = 0; i < sizeof(preset); ++i)
            bytes[i] = static_cast<unsigned char>(random() % 4 == 0 ? 255 : random() % 12);
        host.singleMode = round % 2 == 0;
        host.outputMode = round % 3 == 0 ? 0 : 1;
        multi->setMulti(preset);
        for (int i = 0; i < 40; ++i) {
            multi->noteOn(static_cast<uint8_t>(random() % 20), static_cast<uint8_t>(random()),
                          static_cast<uint8_t>(random()));
            multi->process(out.pointers.data(), static_cast<int>(1 + random() % 8));
        }
        for (float v : out.values)
            ASSERT_TRUE(std::isfinite(v));
        EXPECT_LE(multi->getActiveVoiceCount(), 8 * (Multi::kMaxPlayingVoices + Multi::kMaxReleasingVoices));
    }
}
