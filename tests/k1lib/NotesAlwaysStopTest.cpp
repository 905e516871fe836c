// Notes that always stop: a note-off, the pedal and all-notes-off reach the voices their channel
// started, whatever the channel-to-section map has become since the note-on.
#include <algorithm>

#include "k1lib/voice/Multi.h"
#include "tests/k1lib/EngineFixture.h"

using k1lib::shortMessage;
using k1lib::SMidiEvent;

namespace {

class NotesAlwaysStop : public enginetest::EngineFixture {
protected:
    static constexpr int kBlock = 480;
    std::vector<float> left = std::vector<float>(kBlock), right = std::vector<float>(kBlock);
    float* outputs[2] = {left.data(), right.data()};

    void SetUp() override { engine.setSamplerate(48000.0f); }

    // One block with these events; true when it is exact silence.
    bool block(std::vector<SMidiEvent> events = {}) {
        engine.process(outputs, 2, kBlock, events);
        const auto silent = [](const std::vector<float>& side) {
            return std::all_of(side.begin(), side.end(), [](float v) { return v == 0.0f; });
        };
        return silent(left) && silent(right);
    }
    // Pedal up, all-notes-off and all-sound-off on all 16 channels.
    void releaseEverything() {
        std::vector<SMidiEvent> events;
        for (uint8_t ch = 0; ch < 16; ++ch)
            for (const uint8_t controller : {uint8_t{64}, uint8_t{123}, uint8_t{120}})
                events.push_back(shortMessage(static_cast<uint8_t>(0xB0 | ch), controller, 0));
        block(events);
    }
    // Plays on for at most 30 s; true once every voice has ended and a block is exact silence.
    bool endsInSilence() {
        for (int n = 0; n < 30 * 100; ++n)
            if (block() && engine.getMulti().getActiveVoiceCount() == 0) return true;
        return false;
    }
    int voices() const { return engine.getMulti().getActiveVoiceCount(); }
};

} // namespace

TEST_F(NotesAlwaysStop, TheOmniSequenceEndsInExactSilence) {
    block({shortMessage(0x90, 60, 100)}); // note on channel 1
    block({shortMessage(0xB0, 125, 0)});  // Omni on, channel 1
    block({shortMessage(0xB1, 124, 0)});  // Omni off, channel 2: the Single now listens there
    ASSERT_EQ(engine.getConfig().omni, 0u);
    ASSERT_EQ(engine.getMulti().getChannelSections(0).count, 0) << "channel 1 lost its section";
    EXPECT_FALSE(block()) << "the note sounds";
    releaseEverything();
    EXPECT_TRUE(endsInSilence());
}

TEST_F(NotesAlwaysStop, AChangeOfOmniEndsTheKeysItFolds) {
    // Omni on: a key of channel 6 plays through the first channel's keys; after Omni off its
    // note-off arrives on channel 6 and would find no key there.
    block({shortMessage(0x95, 60, 100)});
    block({shortMessage(0xB5, 124, 0)}); // Omni off, channel 6
    block({shortMessage(0x85, 60, 0)});
    EXPECT_TRUE(endsInSilence());

    // Omni off on channel 6: Omni on folds the later all-notes-off of every channel into the
    // first channel, where no key of channel 6 is held.
    block({shortMessage(0x95, 62, 100)});
    block({shortMessage(0xB5, 125, 0)}); // Omni on
    releaseEverything();
    EXPECT_TRUE(endsInSilence());
}

TEST_F(NotesAlwaysStop, ANoteOffReachesItsOwnChannelsVoiceOnly) {
    k1lib::SinglePreset single = engine.getSingles()[0];
    single.polyMode = k1lib::Poly2; // a key struck again keeps its first voice
    ASSERT_TRUE(engine.setSingle(0, single));
    k1lib::Engine::Config config = engine.getConfig();
    config.omni = 0;
    engine.setConfig(config);
    block({shortMessage(0x90, 60, 100)});
    config.midiReceiveChannel = 1; // the basic channel moves to channel 2
    engine.setConfig(config);
    block({shortMessage(0x91, 60, 100)}); // the same key on channel 2
    ASSERT_EQ(voices(), 2);
    block({shortMessage(0x81, 60, 0)});
    EXPECT_TRUE(engine.getMulti().getPlayingVoice(0, 0).isKeyDown()) << "channel 1's voice holds on";
    EXPECT_FALSE(engine.getMulti().getPlayingVoice(0, 1).isKeyDown());
    block({shortMessage(0x80, 60, 0)}); // and channel 1's note-off still ends its own
    EXPECT_FALSE(engine.getMulti().getPlayingVoice(0, 0).isKeyDown());
    EXPECT_TRUE(endsInSilence());
}

TEST_F(NotesAlwaysStop, ASectionSwitchedOffWhileItsKeyIsHeldStillEnds) {
    // A Multi whose first section alone plays, on channel 1.
    k1lib::MultiPreset multi = engine.getMulti().getSingleModeMulti();
    multi.sections[0].single = 0;
    multi.sections[0].channel = 0;
    engine.setPlayMode(k1lib::PlayMode_Multi);
    ASSERT_TRUE(engine.setMulti(0, multi));
    block(); // the stored Multi reaches the sections through the parameters
    ASSERT_EQ(engine.getMulti().getChannelSections(0).count, 1);

    block({shortMessage(0x90, 64, 100), shortMessage(0xB0, 64, 127)}); // a note, pedal down
    engine.processParameterChange(k1lib::Param_MultiS1Poly, float(k1lib::PolyOff));
    ASSERT_EQ(engine.getMulti().getChannelSections(0).count, 0) << "the section left channel 1";
    block({shortMessage(0x80, 64, 0)});
    EXPECT_TRUE(engine.getMulti().getPlayingVoice(0, 0).isKeyDown()) << "the pedal holds it";
    block({shortMessage(0xB0, 64, 0)});
    EXPECT_TRUE(endsInSilence()) << "pedal up ends the note";
}

TEST_F(NotesAlwaysStop, AKeyReleasedInMultiModeIsNotReturnedToBySolo) {
    k1lib::SinglePreset single = engine.getSingles()[0];
    single.polyMode = k1lib::Solo;
    ASSERT_TRUE(engine.setSingle(0, single));
    block({shortMessage(0x95, 60, 100)}); // Omni: channel 6's key is held by the first channel
    engine.setPlayMode(k1lib::PlayMode_Multi);
    block({shortMessage(0x85, 60, 0)}); // released in Multi mode, on its own channel
    engine.setPlayMode(k1lib::PlayMode_Single);
    block({shortMessage(0x90, 64, 100)});
    block({shortMessage(0x80, 64, 0)}); // Solo returns to a key still held, if any
    EXPECT_TRUE(endsInSilence());
}
