// The audio block: host events, parameter changes and program changes into the engine, the
// engine's channels into the active buses, and what goes back to the host.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <mutex>
#include <string>
#include <thread>

#include "public.sdk/source/common/memorystream.h"
#include "tests/support/AllocationCounter.h"
#include "tests/support/LogCapture.h"
#include "tests/vst3/Instrument.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using testhost::EventList;
using testhost::Instrument;
using testhost::OutputBlock;
using testhost::ParameterChanges;

namespace {

// Plays a note on the main bus until something sounds; false when nothing does.
bool soundsAfterNoteOn(Instrument& i, OutputBlock& block, int blocks = 40) {
    EventList notes;
    notes.noteOn(60, 1.0f, 10, 5); // host channel 5: the engine hears channel 1
    i.run(block, &notes);
    for (int n = 0; n < blocks; ++n, i.run(block))
        if (!block.silent(0)) return true;
    return false;
}

k1lib::SMidiEvent sysexMessage(uint8_t number) {
    k1lib::SMidiEvent event;
    event.sysex = {0xF0, 0x40, 0x00, number, 0xF7};
    return event;
}

// The fourth byte of each data event the host received.
std::vector<int> numbersOf(const EventList& received) {
    std::vector<int> numbers;
    for (const Event& e : received.events) {
        EXPECT_EQ(e.type, Event::kDataEvent);
        EXPECT_EQ(e.data.size, 5u);
        numbers.push_back(e.data.bytes[3]);
    }
    return numbers;
}

} // namespace

TEST(Process, DegenerateHostBlocksNeitherCrashNorLoseInput) {
    Instrument i;
    // A block without outputs still takes the note: it sounds once the host gives buffers.
    EventList notes;
    notes.noteOn(64, 1.0f, 0);
    ProcessData none;
    none.numSamples = 256;
    none.inputEvents = &notes;
    EXPECT_EQ(i->process(none), kResultOk);

    OutputBlock block(256);
    ProcessData data = block.data();
    data.numSamples = 0; // nothing to render
    EXPECT_EQ(i->process(data), kResultOk);
    data.numSamples = -5;
    EXPECT_EQ(i->process(data), kResultOk);
    block.buses[0].channelBuffers32 = nullptr; // a main bus without buffers
    i.run(block);
    block.pointers[0][1] = nullptr; // a missing channel
    block.buses[0].channelBuffers32 = block.pointers[0].data();
    i.run(block);
    block.pointers[0][1] = block.samples[0][1].data();
    bool sounded = false;
    for (int n = 0; n < 40 && !sounded; ++n, i.run(block))
        sounded = !block.silent(0);
    EXPECT_TRUE(sounded);

    // Values no MIDI byte or parameter can carry.
    EventList bad;
    bad.noteOn(200, 1.0f, 0);
    bad.noteOn(-1, 1.0f, 0);
    bad.noteOn(60, NAN, 0);
    bad.noteOn(61, 1.0f, 1 << 30); // offsets are clamped into the block
    bad.noteOn(62, 1.0f, -40);
    Event nullData{};
    nullData.type = Event::kDataEvent;
    nullData.data.size = 40;
    bad.events.push_back(nullData);
    bad.data({0x90, 0xC8, 0x40}, 0);
    ParameterChanges changes;
    changes.add(k1lib::Param_Volume, {{0, NAN}});
    changes.add(k1lib::Param_LfoSpeed, {{0, -3.0}});
    changes.add(224, {{0, std::numeric_limits<double>::infinity()}});
    changes.add(215, {{0, 7.0}, {100000, NAN}});
    changes.add(5000, {{0, 0.5}});
    ParameterChanges lfo;
    lfo.add(k1lib::Param_LfoSpeed, {{0, 0.5}});
    i.run(block, nullptr, &lfo);
    const ParamValue volume = i->getParamNormalized(k1lib::Param_Volume);
    i.run(block, &bad, &changes);
    EXPECT_EQ(i->getParamNormalized(k1lib::Param_Volume), volume);
    EXPECT_EQ(i->getParamNormalized(k1lib::Param_LfoSpeed), 0.0); // clamped
    EXPECT_EQ(i->getParamNormalized(224), 0.0);
}

TEST(Process, NoteAtFullVelocitySoundsOnTheMainBusOnlyByDefault) {
    Instrument i;
    OutputBlock block(256);
    for (int32 b = 1; b < 7; ++b)
        block.samples[b][0].assign(256, 9.0f); // what the host left there
    EXPECT_TRUE(soundsAfterNoteOn(i, block));
    for (int32 b = 1; b < 7; ++b)
        EXPECT_TRUE(block.silent(b)) << "bus " << b;
}

TEST(Process, ChannelsOfAnInactiveBusMoveDown) {
    // All buses active: engine channel 2 lands on bus 1. Bus 1 inactive: on bus 2.
    std::vector<float> allActive, withoutBus1, bus1;
    for (bool skip : {false, true}) {
        Instrument i;
        k1lib::Engine::Config config = i->getPlugin().getConfig();
        config.audioOutputMode = 1; // 8 Channels
        i->getPlugin().setConfig(config);
        for (int32 b = 1; b < 7; ++b)
            i->activateBus(kAudio, kOutput, b, !(skip && b == 1));
        OutputBlock block(256);
        EventList notes;
        notes.noteOn(60, 1.0f, 0);
        i.run(block, &notes);
        for (int n = 0; n < 40; ++n) {
            i.run(block);
            std::vector<float>& collected = skip ? withoutBus1 : allActive;
            const auto& channel = block.channel(skip ? 2 : 1);
            collected.insert(collected.end(), channel.begin(), channel.end());
            if (skip) bus1.insert(bus1.end(), block.channel(1).begin(), block.channel(1).end());
        }
    }
    EXPECT_TRUE(std::any_of(allActive.begin(), allActive.end(), [](float s) { return s != 0.0f; }));
    EXPECT_EQ(withoutBus1, allActive);
    EXPECT_TRUE(std::all_of(bus1.begin(), bus1.end(), [](float s) { return s == 0.0f; }));
}

TEST(Process, ProgramChangeParameterSelectsAcrossSinglesThenMultis) {
    Instrument i;
    OutputBlock block(64);
    k1lib::Plugin& plugin = i->getPlugin();
    auto select = [&](ParamValue value) {
        ParameterChanges changes;
        changes.add(224, {{0, 0.9}, {10, value}}); // the last point counts
        i.run(block, nullptr, &changes);
    };
    select(968.0 / 1351.0);
    EXPECT_EQ(plugin.getPlayMode(), k1lib::PlayMode_Multi);
    EXPECT_EQ(plugin.getCurrentMultiIndex(), 0u);
    EXPECT_DOUBLE_EQ(i->getParamNormalized(224), 968.0 / 1351.0);
    select(1.0);
    EXPECT_EQ(plugin.getCurrentMultiIndex(), 383u);
    select(3.0 / 1351.0);
    EXPECT_EQ(plugin.getPlayMode(), k1lib::PlayMode_Single);
    EXPECT_EQ(plugin.getCurrentSingleIndex(), 3u);
    select(0.0);
    EXPECT_EQ(plugin.getCurrentSingleIndex(), 0u);
    EXPECT_EQ(i->getParamNormalized(224), 0.0);
}

TEST(Process, ABlocksModeChangeComesBeforeItsMultiParameters) {
    Instrument i;
    OutputBlock block(64);
    k1lib::Plugin& plugin = i->getPlugin();
    ASSERT_NE(plugin.getCurrentMulti().volume, 33u);
    ParameterChanges changes; // ascending IDs, as hosts send them: Mode last
    changes.add(k1lib::Param_MultiVolume, {{0, 33.0 / 99.0}});
    changes.add(k1lib::Param_Mode, {{0, 1.0}});
    i.run(block, nullptr, &changes);
    EXPECT_EQ(plugin.getPlayMode(), k1lib::PlayMode_Multi);
    EXPECT_EQ(plugin.getCurrentMulti().volume, 33u);
}

TEST(Process, AProgramChangeKeepsTheEditsOfItsBlockButNotTheEarlierValues) {
    Instrument fresh, i;
    OutputBlock block(64);
    ParameterChanges program;
    program.add(224, {{0, 3.0 / 1351.0}});
    fresh.run(block, nullptr, &program);
    const float waveOf3 = static_cast<float>(fresh->getParamNormalized(k1lib::Param_SourceS1Wave));
    const float waveOf0 = static_cast<float>(i->getParamNormalized(k1lib::Param_SourceS1Wave));
    ASSERT_NE(waveOf3, waveOf0);
    const float volume = 0.25f;
    ASSERT_NE(fresh->getParamNormalized(k1lib::Param_Volume), volume);

    // Ardour sends its controls' earlier values along with a program change, in ID order.
    ParameterChanges block1;
    block1.add(k1lib::Param_Volume, {{0, volume}});        // the host's edit
    block1.add(k1lib::Param_SourceS1Wave, {{0, waveOf0}}); // the value held before: no edit
    block1.add(224, {{0, 3.0 / 1351.0}});
    i.run(block, nullptr, &block1);
    EXPECT_EQ(i->getPlugin().getCurrentSingleIndex(), 3u);
    EXPECT_FLOAT_EQ(static_cast<float>(i->getParamNormalized(k1lib::Param_Volume)), volume);
    EXPECT_FLOAT_EQ(static_cast<float>(i->getParamNormalized(k1lib::Param_SourceS1Wave)), waveOf3);
}

TEST(Process, LatencyIsTheResamplersAtTheSetUpRate) {
    Instrument i;
    // The delay measured on a sine through the resampler: 192 engine samples at the host rate.
    const std::pair<double, uint32> rates[] = {{44100.0, 170}, {48000.0, 185}, {96000.0, 369}, {49920.0, 0}};
    for (auto [rate, samples] : rates) {
        ProcessSetup setup{kRealtime, kSample32, 512, rate};
        i->setupProcessing(setup);
        EXPECT_EQ(i->getLatencySamples(), samples) << rate;
    }
}

TEST(Process, EngineValuesGoToTheHostInAscendingOrderAsItTakesThem) {
    Instrument i;
    OutputBlock block(64);
    i.run(block); // whatever start-up reported
    ParameterChanges drain;
    i.run(block, nullptr, nullptr, &drain);

    i->onParameterChanged(k1lib::Param_LfoSpeed, 0.2f);
    i->onParameterChanged(k1lib::Param_Volume, 0.3f);
    i->onParameterChanged(k1lib::Param_Mode, 1.0f);
    i->onParameterChanged(k1lib::Param_Volume, 0.4f); // replaces the earlier value
    i.run(block);                                     // no output list: all stay queued

    LogCapture log;
    ParameterChanges two(2);
    i.run(block, nullptr, nullptr, &two);
    EXPECT_EQ(two.ids(), (std::vector<ParamID>{k1lib::Param_Volume, k1lib::Param_LfoSpeed}));
    ASSERT_EQ(two.queues[0].points.size(), 1u);
    EXPECT_EQ(two.queues[0].points[0].first, 0);
    EXPECT_FLOAT_EQ(static_cast<float>(two.queues[0].points[0].second), 0.4f);
    EXPECT_EQ(log.lines(),
              std::vector<std::string>{"process@373: Host gave up accepting more parameter changes"});

    ParameterChanges rest;
    i.run(block, nullptr, nullptr, &rest);
    EXPECT_EQ(rest.ids(), (std::vector<ParamID>{k1lib::Param_Mode}));
}

TEST(Process, AHostEditIsNotUndoneByAnOlderEngineValue) {
    Instrument i;
    OutputBlock block(64);
    ParameterChanges drain;
    i.run(block, nullptr, nullptr, &drain);
    // The engine reported a value (a program change, say) before the host's edit in one block.
    i->onParameterChanged(k1lib::Param_LfoSpeed, 0.9f);
    ParameterChanges changes;
    changes.add(k1lib::Param_LfoSpeed, {{0, 0.1}, {20, 0.2}, {40, 0.25}}); // the last point counts
    ParameterChanges out;
    i.run(block, nullptr, &changes, &out);
    EXPECT_TRUE(out.ids().empty());
    EXPECT_FLOAT_EQ(static_cast<float>(i->getParamNormalized(k1lib::Param_LfoSpeed)), 0.25f);
}

TEST(Process, SysexTheHostRefusesWaitsForTheNextBlockInOrder) {
    Instrument i;
    OutputBlock block(64);
    for (uint8_t n = 1; n <= 5; ++n)
        i->sendMidi(sysexMessage(n));
    EventList first(2);
    i.run(block, nullptr, nullptr, nullptr, &first);
    // The host reads the bytes after process has returned.
    EXPECT_EQ(numbersOf(first), (std::vector<int>{1, 2}));
    EXPECT_EQ(first.events[0].busIndex, 0);
    EXPECT_EQ(first.events[0].data.type, DataEvent::kMidiSysEx);
    EventList second;
    i.run(block, nullptr, nullptr, nullptr, &second);
    EXPECT_EQ(numbersOf(second), (std::vector<int>{3, 4, 5}));
    EventList third;
    i.run(block, nullptr, nullptr, nullptr, &third);
    EXPECT_TRUE(third.events.empty());
}

TEST(Process, SysexForAHostThatTakesNoneIsBounded) {
    Instrument i;
    OutputBlock block(64);
    LogCapture log;
    const size_t sent = k1AudioProcessor::kMaxQueuedSysex + 6;
    for (size_t n = 0; n < sent; ++n)
        i->sendMidi(sysexMessage(static_cast<uint8_t>(n & 0x7F)));
    i.run(block); // no output event list
    EXPECT_EQ(log.lines(), std::vector<std::string>{"sendMidi@402: The host takes no MIDI output, "
                                                    "dropping the oldest messages beyond 1024"});
    EventList received;
    i.run(block, nullptr, nullptr, nullptr, &received);
    ASSERT_EQ(received.events.size(), k1AudioProcessor::kMaxQueuedSysex);
    EXPECT_EQ(received.events.front().data.bytes[3], 6); // the oldest went
}

TEST(Process, ControllerParametersAtTheirStoredValuesReplayNothing) {
    Instrument i;
    OutputBlock block(256);
    k1lib::Plugin& plugin = i->getPlugin();
    ParameterChanges program;
    program.add(224, {{0, 3.0 / 1351.0}});
    i.run(block, nullptr, &program);
    ASSERT_EQ(plugin.getCurrentSingleIndex(), 3u);

    // A host loading a project sets the state, then sends every parameter with the next block:
    // the controllers at the values it stored, here volume 0, program 5, Omni Off and the hold
    // pedal down. None of them plays.
    MemoryStream saved;
    ASSERT_EQ(i->getState(&saved), kResultOk);
    saved.seek(0, IBStream::kIBSeekSet, nullptr);
    ASSERT_EQ(i->setState(&saved), kResultOk);
    ParameterChanges load;
    for (ParamID id = 210; id <= 223; ++id)
        load.add(id, {{0, id == 223 ? 5.0 / 127.0 : id == 217 ? 1.0 : 0.0}});
    i.run(block, nullptr, &load);
    EXPECT_EQ(plugin.getCurrentSingleIndex(), 3u);
    EXPECT_EQ(plugin.getConfig().omni, 1u);
    ASSERT_TRUE(soundsAfterNoteOn(i, block));
    EventList noteOff; // no pedal holds the note
    noteOff.events.push_back(Event{});
    noteOff.events.back().type = Event::kNoteOffEvent;
    noteOff.events.back().noteOff.pitch = 60;
    i.run(block, &noteOff);
    for (int n = 0; n < 800; ++n)
        i.run(block);
    EXPECT_TRUE(block.silent(0));
    EXPECT_FLOAT_EQ(static_cast<float>(i->getParamNormalized(223)), 5.0f / 127.0f); // the host's value

    // The player sends the stored program again to go back to it: it plays.
    i.run(block, nullptr, &program);
    ParameterChanges back;
    back.add(223, {{0, 5.0 / 127.0}});
    i.run(block, nullptr, &back);
    EXPECT_EQ(plugin.getCurrentSingleIndex(), 5u);
}

// All Notes Off and Omni On/Off always carry 0, a hold pedal may be released twice: each one
// plays every time the host sends it.
TEST(Process, ControllerCommandsTakeEffectEveryTimeTheHostSendsThem) {
    Instrument i;
    OutputBlock block(256);
    ParameterChanges organ; // "Rock Organ": full level for as long as the key is held
    organ.add(224, {{0, 12.0 / 1351.0}});
    i.run(block, nullptr, &organ);
    // A note held for 0.1 s, then these controllers at 0 and half a second more.
    const auto silentAfter = [&](std::vector<ParamID> controllers) {
        EventList note;
        note.noteOn(69, 0.8f, 0);
        i.run(block, &note);
        for (int n = 0; n < 20; ++n)
            i.run(block);
        EXPECT_FALSE(block.silent(0));
        ParameterChanges panic;
        for (ParamID id : controllers)
            panic.add(id, {{7, 0.0}});
        i.run(block, nullptr, &panic);
        for (int n = 0; n < 100; ++n)
            i.run(block);
        return block.silent(0);
    };
    EXPECT_TRUE(silentAfter({217, 218})) << "a host's panic: pedal up, All Notes Off";
    EXPECT_TRUE(silentAfter({218})) << "a second, lone All Notes Off";
    EXPECT_TRUE(silentAfter({217, 218})) << "the panic again";
    for (ParamID id : {220, 219, 220, 219}) { // Omni Off, Omni On, twice
        ParameterChanges omni;
        omni.add(id, {{0, 0.0}});
        i.run(block, nullptr, &omni);
        EXPECT_EQ(i->getPlugin().getConfig().omni, id == 219 ? 1u : 0u) << "controller " << id;
    }
}

TEST(Process, AResetStartsFromSilenceAndRendersTheSameAgain) {
    Instrument i;
    OutputBlock block(256);
    ASSERT_TRUE(soundsAfterNoteOn(i, block)); // held: no note-off follows
    i->setActive(false);
    i->setActive(true);
    for (int n = 0; n < 4; ++n) {
        i.run(block);
        for (int32 c = 0; c < 2; ++c)
            for (float v : block.channel(0, c))
                ASSERT_EQ(v, 0.0f) << "block " << n;
    }
    // Two bounces of the same notes, each after a reset, are the same to the bit.
    auto bounce = [&] {
        i->setActive(false);
        i->setActive(true);
        std::vector<float> out;
        for (int n = 0; n < 60; ++n) {
            EventList notes;
            if (n % 15 == 1) notes.noteOn(static_cast<int16>(48 + n), 0.8f, 3 * n);
            i.run(block, &notes);
            out.insert(out.end(), block.channel(0, 0).begin(), block.channel(0, 0).end());
        }
        return out;
    };
    const std::vector<float> first = bounce();
    EXPECT_GT(*std::max_element(first.begin(), first.end()), 0.01f);
    EXPECT_EQ(bounce(), first);
}

TEST(Process, IdleBlocksSetTheSilenceFlagsOfEveryBus) {
    Instrument i;
    OutputBlock block(256);
    i.run(block);
    EXPECT_EQ(block.buses[0].silenceFlags, 3u);
    ASSERT_TRUE(soundsAfterNoteOn(i, block));
    EXPECT_EQ(block.buses[0].silenceFlags, 0u);
}

// A program change from the host runs on the audio thread and logs two lines: none may be
// written there, and both must still arrive, in order.
namespace {
std::mutex g_sinkMutex;
std::vector<std::pair<std::thread::id, std::string>> g_sunk;
void recordingSink(const std::string& line) {
    std::lock_guard<std::mutex> lock(g_sinkMutex);
    g_sunk.emplace_back(std::this_thread::get_id(), line);
}
} // namespace

TEST(Process, LogLinesOfAProgramChangeAreWrittenByAnotherThreadInOrder) {
    Instrument i;
    OutputBlock block(64);
    const k1lib::LogSink previous = k1lib::setLogSink(&recordingSink);
    ParameterChanges changes;
    changes.add(224, {{0, 5.0 / 1351.0}});
    i.run(block, nullptr, &changes);
    std::vector<std::pair<std::thread::id, std::string>> sunk;
    for (int wait = 0; wait < 200 && sunk.size() < 2; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::lock_guard<std::mutex> lock(g_sinkMutex);
        sunk = g_sunk;
    }
    k1lib::setLogSink(previous);
    ASSERT_EQ(sunk.size(), 2u);
    EXPECT_EQ(sunk[0].second, "setSingle@327: Switching to single 5");
    EXPECT_EQ(sunk[1].second.rfind("dumpSingle@1311: \n", 0), 0u);
    for (const auto& line : sunk)
        EXPECT_NE(line.first, std::this_thread::get_id()) << line.second;
}

TEST(Process, ASteadyBlockAllocatesNothing) {
    Instrument i;
    OutputBlock block(256);
    // The first rounds size the queues; the first block's controller is the activation's replay.
    for (bool counted : {false, false, false, true}) {
        EventList notes;
        notes.noteOn(60, 0.8f, 5);
        ParameterChanges changes;
        changes.add(k1lib::Param_LfoSpeed, {{0, counted ? 0.25 : 0.5}});
        changes.add(215, {{3, counted ? 0.5 : 0.75}}); // a controller: a MIDI event
        ParameterChanges out;
        out.queues.reserve(k1lib::kParamCount); // the host's own lists
        EventList sysexOut;
        sysexOut.events.reserve(16);
        AllocationCounter allocations;
        i.run(block, &notes, &changes, &out, &sysexOut);
        if (counted) {
            EXPECT_EQ(allocations.count(), 0u);
        }
    }
}
