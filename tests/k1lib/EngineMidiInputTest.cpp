// MIDI input: channel ownership, the controller table, RPN data entry and program changes.
#include "k1lib/voice/Multi.h"
#include "tests/k1lib/EngineFixture.h"
#include "tests/support/AllocationCounter.h"
#include "tests/support/LogCapture.h"

using namespace k1lib;
using enginetest::Calls;

namespace {

class EngineMidiInput : public enginetest::EngineFixture {
protected:
    void send(uint8_t status, uint8_t data1, uint8_t data2 = 0) {
        engine.processMidiEvent(shortMessage(status, data1, data2));
    }
    void controller(uint8_t channel, uint8_t number, uint8_t value) { send(0xB0 | channel, number, value); }
    const MidiState& state(uint8_t channel) const { return engine.getMidiStates()[channel]; }
    void setConfig(void (*edit)(Engine::Config&)) {
        Engine::Config config = engine.getConfig();
        edit(config);
        engine.setConfig(config);
        listener.clear();
    }
    uint64_t voices() { return engine.getMulti().getActiveVoiceCount(); }
};

} // namespace

TEST_F(EngineMidiInput, ControllersWriteTheChannelState) {
    controller(5, 7, 10); // omni in Single mode: every channel is the basic channel
    EXPECT_FLOAT_EQ(state(0).volume, 10.0f / 127.0f);
    EXPECT_FLOAT_EQ(state(5).volume, 1.0f);

    switchToMulti();
    controller(3, 1, 127);
    controller(3, 7, 0);
    send(0xD3, 127);
    send(0xE3, 0, 0);
    EXPECT_FLOAT_EQ(state(3).modWheel, 1.0f);
    EXPECT_FLOAT_EQ(state(3).volume, 0.0f);
    EXPECT_FLOAT_EQ(state(3).pressure, 1.0f);
    EXPECT_FLOAT_EQ(state(3).pitchBend, -1.0f);
    send(0xE3, 127, 127);
    EXPECT_FLOAT_EQ(state(3).pitchBend, 8191.0f / 8192.0f);
    send(0xE3, 0, 64);
    EXPECT_FLOAT_EQ(state(3).pitchBend, 0.0f);

    controller(4, 10, 0);
    EXPECT_FLOAT_EQ(state(4).panLeft, 1.0f);
    EXPECT_FLOAT_EQ(state(4).panRight, 0.0f);
    controller(4, 10, 64);
    EXPECT_FLOAT_EQ(state(4).panLeft, 1.0f);
    EXPECT_FLOAT_EQ(state(4).panRight, 1.0f);
    controller(4, 10, 127);
    EXPECT_FLOAT_EQ(state(4).panLeft, 1.0f / 64.0f);
    EXPECT_FLOAT_EQ(state(4).panRight, 1.0f);
}

TEST_F(EngineMidiInput, ReceiveSwitchesFilterTheirMessages) {
    switchToMulti();
    setConfig([](Engine::Config& c) {
        c.midiReceiveModWheel = c.midiReceiveVolume = c.midiReceivePan = 0;
        c.midiReceivePressure = c.midiReceivePitchBend = 0;
    });
    controller(2, 1, 100);
    controller(2, 7, 5);
    controller(2, 10, 0);
    send(0xD2, 100);
    send(0xE2, 0, 0);
    const MidiState untouched;
    EXPECT_EQ(state(2).modWheel, untouched.modWheel);
    EXPECT_EQ(state(2).volume, untouched.volume);
    EXPECT_EQ(state(2).panRight, untouched.panRight);
    EXPECT_EQ(state(2).pressure, untouched.pressure);
    EXPECT_EQ(state(2).pitchBend, untouched.pitchBend);
}

TEST_F(EngineMidiInput, DataBytesAbove127AreIgnored) {
    send(0x91, 200, 100);
    send(0x91, 60, 128);
    send(0x51, 60, 100);
    EXPECT_EQ(voices(), 0u);
    send(0x91, 60, 100);
    EXPECT_EQ(voices(), 1u); // omni in Single mode: channel 1 plays as the basic channel
    EXPECT_EQ(engine.getMulti().getPlayingVoice(0, 0).getChannel(), 0);
    send(0xC0, 130);
    EXPECT_TRUE(listener.calls.empty());

    switchToMulti();
    controller(1, 7, 200);
    send(0xD1, 128);
    engine.processMidiEvent(shortMessage(0xB1, 135, 0));
    EXPECT_EQ(state(1).volume, 1.0f);
    EXPECT_EQ(state(1).pressure, 0.0f);
}

TEST_F(EngineMidiInput, VelocityPedalAndAllNotesOffFollowTheirSwitches) {
    SinglePreset single = engine.getCurrentSingle();
    single.polyMode = 1; // Poly 2: every key keeps its voice
    EXPECT_TRUE(engine.setSingle(0, single));
    const Multi& multi = engine.getMulti();
    send(0x90, 60, 30);
    setConfig([](Engine::Config& c) { c.midiReceiveVelocity = 0; });
    send(0x90, 62, 30);
    ASSERT_EQ(multi.getPlayingVoiceCount(0), 2);
    EXPECT_EQ(multi.getPlayingVoice(0, 0).getVelocity(), 30);
    EXPECT_EQ(multi.getPlayingVoice(0, 1).getVelocity(), 127);

    controller(0, 64, 100);
    send(0x90, 60, 0); // velocity 0: a note off, deferred by the pedal
    EXPECT_TRUE(multi.getPlayingVoice(0, 0).isKeyDown());
    setConfig([](Engine::Config& c) { c.midiReceiveHoldPedal = 0; });
    controller(0, 64, 100); // the pedal switch off releases the pedal
    EXPECT_FALSE(multi.getNoteProcessor(0).isHoldPedalDown());
    EXPECT_FALSE(multi.getPlayingVoice(0, 0).isKeyDown());
    EXPECT_TRUE(multi.getPlayingVoice(0, 1).isKeyDown());
    controller(0, 123, 0);
    EXPECT_FALSE(multi.getPlayingVoice(0, 1).isKeyDown());
}

TEST_F(EngineMidiInput, OwnOnlyControllersNeedTheReceiveChannel) {
    setConfig([](Engine::Config& c) {
        c.omni = 0;
        c.midiReceiveChannel = 2;
    });
    controller(9, 7, 0);
    EXPECT_FLOAT_EQ(state(9).volume, 0.0f);
    controller(9, 0, 1); // bank select on a foreign channel: ignored
    send(0xC2, 5);
    EXPECT_EQ(engine.getCurrentSingleIndex(), 5u);
    send(0xC9, 6);
    EXPECT_EQ(engine.getCurrentSingleIndex(), 5u);
    controller(9, 16, 127);
    EXPECT_TRUE(listener.calls == Calls{"activeSingleChanged 5"});
}

TEST_F(EngineMidiInput, RpnDataEntrySetsBendRangeAndFineTune) {
    controller(0, 6, 3); // no RPN selected yet
    EXPECT_EQ(engine.getPitchBendRange(), 12u);
    controller(0, 101, 0);
    controller(0, 100, 0);
    controller(0, 6, 12);
    EXPECT_EQ(engine.getPitchBendRange(), 12u);
    controller(0, 6, 13);
    EXPECT_EQ(engine.getPitchBendRange(), 0u);
    controller(0, 6, 7);
    EXPECT_EQ(engine.getPitchBendRange(), 7u);

    controller(0, 100, 1);
    controller(0, 6, 14);
    EXPECT_FLOAT_EQ(engine.getFineTune(), -1.0f);
    controller(0, 6, 127);
    EXPECT_FLOAT_EQ(engine.getFineTune(), 1.0f);
    controller(0, 6, 69);
    EXPECT_FLOAT_EQ(engine.getFineTune(), 0.1f);
    controller(0, 100, 2);
    controller(0, 6, 20);
    EXPECT_FLOAT_EQ(engine.getFineTune(), 0.1f);
    EXPECT_EQ(engine.getPitchBendRange(), 7u);
}

TEST_F(EngineMidiInput, SourceMixControllersSetAndReportTheirParameters) {
    controller(0, 16, 127);
    controller(0, 17, 0);
    EXPECT_FLOAT_EQ(engine.getParameter(Param_SourceMix12), 1.0f);
    EXPECT_FLOAT_EQ(engine.getParameter(Param_SourceMix34), 0.0f);
    EXPECT_EQ(listener.calls, (Calls{"parameterChanged 107 1.000000", "parameterChanged 108 0.000000"}));
}

TEST_F(EngineMidiInput, OmniControllersChangeTheSettingsLikeTheEditor) {
    controller(6, 124, 0);
    EXPECT_EQ(engine.getConfig().omni, 0u);
    EXPECT_EQ(engine.getConfig().midiReceiveChannel, 6u);
    EXPECT_EQ(listener.calls, Calls{"configChanged"});
    send(0x90, 60, 100);
    EXPECT_EQ(voices(), 0u);
    send(0x96, 60, 100);
    EXPECT_EQ(voices(), 1u); // the Single-mode sections follow the new basic channel

    listener.clear();
    controller(3, 125, 0); // not the receive channel: ignored
    EXPECT_EQ(engine.getConfig().omni, 0u);
    controller(6, 125, 0);
    EXPECT_EQ(engine.getConfig().omni, 1u);
    EXPECT_EQ(listener.calls, Calls{"configChanged"});
}

TEST_F(EngineMidiInput, BankSelectPicksTheBankOfTheProgramChange) {
    controller(0, 0, 1);
    send(0xC0, 5);
    EXPECT_EQ(engine.getCurrentSingleIndex(), 105u);
    send(0xC0, 5); // the bank bytes were used up
    EXPECT_EQ(engine.getCurrentSingleIndex(), 5u);
    EXPECT_EQ(listener.calls, (Calls{"activeSingleChanged 105", "activeSingleChanged 5"}));

    listener.clear();
    controller(0, 32, 1);
    send(0xC0, 70);
    EXPECT_EQ(engine.getPlayMode(), PlayMode_Multi);
    EXPECT_EQ(engine.getCurrentMultiIndex(), 38u);
    EXPECT_EQ(listener.calls, (Calls{"playModeChanged", "activeMultiChanged 38"}));

    listener.clear();
    controller(0, 32, 12); // the PHm bank: a Single bank only
    send(0xC0, 2);
    EXPECT_EQ(engine.getPlayMode(), PlayMode_Single);
    EXPECT_EQ(engine.getCurrentSingleIndex(), 770u);
    controller(0, 0, 127);
    send(0xC0, 0); // past the banks: the mode switch happens, the selection does not
    EXPECT_EQ(engine.getCurrentSingleIndex(), 770u);
}

TEST_F(EngineMidiInput, ProgramChangesOffKeepTheBankBytes) {
    setConfig([](Engine::Config& c) { c.midiReceiveProgramChange = 0; });
    controller(0, 0, 1);
    send(0xC0, 5);
    EXPECT_EQ(engine.getCurrentSingleIndex(), 0u);
    setConfig([](Engine::Config& c) { c.midiReceiveProgramChange = 1; });
    send(0xC0, 6);
    EXPECT_EQ(engine.getCurrentSingleIndex(), 106u);
}

TEST_F(EngineMidiInput, SectionProgramChangesSetTheSinglesOfThatChannel) {
    MultiPreset multi = engine.getMultis()[0];
    for (uint32_t s = 0; s < kSectionCount; ++s) {
        multi.sections[s].channel = s == 0 || s == 2 ? 3 : 4;
        multi.sections[s].single = s == 2 ? 20 : 10;
    }
    EXPECT_TRUE(engine.setMulti(0, multi));
    setConfig([](Engine::Config& c) {
        c.midiReceiveProgramChange = 2;
        c.omni = 0;
        c.midiReceiveChannel = 0;
    });
    switchToMulti();
    send(0xC3, 20); // not the receive channel, still handled per section
    const float twenty = (20.0f - g_params[Param_MultiS1Single].min) * g_params[Param_MultiS1Single].rangeInv;
    EXPECT_EQ(listener.calls, Calls{"parameterChanged 120 " + std::to_string(twenty)});
    EXPECT_FLOAT_EQ(engine.getParameter(Param_MultiS1Single), twenty);
    EXPECT_EQ(engine.getPlayMode(), PlayMode_Multi);
    EXPECT_EQ(engine.getCurrentSingleIndex(), 0u);
}

TEST(EngineMidiInputAllocations, ProgramChangeAllocatesOnlyForItsLogLines) {
    struct CountingListener : IEngineListener {
        int activeChanges = 0;
        void onActiveSingleChanged(size_t) override { ++activeChanges; }
        static void sink(const std::string&) {}
    } listener;
    Engine engine(&listener, PluginType_Vst3);
    std::string dump;
    {
        LogCapture log;
        engine.dumpSingle(engine.getSingles()[9]);
        dump = log.lines().at(0).substr(std::string("dumpSingle@1311: ").size());
    }
    const LogSink previous = setLogSink(&CountingListener::sink);
    size_t logAllocations = 0;
    {
        AllocationCounter counter;
        log("setSingle", 327, "Switching to single ", uint64_t{9});
        log("dumpSingle", 1311, dump.c_str());
        logAllocations = counter.count();
    }
    size_t programAllocations = 0;
    {
        AllocationCounter counter;
        engine.processMidiEvent(shortMessage(0xC0, 9));
        programAllocations = counter.count();
    }
    setLogSink(previous);
    EXPECT_EQ(engine.getCurrentSingleIndex(), 9u);
    EXPECT_EQ(listener.activeChanges, 1);
    EXPECT_EQ(programAllocations, logAllocations);
}
