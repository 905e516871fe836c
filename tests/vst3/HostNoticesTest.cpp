// What a host is told without asking: values that changed outside its own edits, the program
// the instrument plays, and renamed programs, on its user-interface thread even when it offers
// no run loop; and system-exclusive data with or without its framing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "k1lib/records/Sysex.h"
#include "pluginterfaces/base/ustring.h"
#include "public.sdk/source/common/memorystream.h"
#include "tests/vst3/Instrument.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using testhost::EventList;
using testhost::HandlerRecorder;
using testhost::Instrument;
using testhost::OutputBlock;
using testhost::ParameterChanges;

namespace {

using Bytes = std::vector<uint8>;

// A host call made on a thread other than the one that initialised the instrument.
void getValueOnAnotherThread(Instrument& i) {
    std::thread([&] { i->getParamNormalized(0); }).join();
}

// Single 5 under a new name, as a K1 one-Single dump written by our own codec.
Bytes renamedSingle5Dump(k1AudioProcessor& p, const char* name) {
    k1lib::SinglePreset single;
    EXPECT_TRUE(p.getPlugin().getSingle(single, 5));
    std::memset(single.name, 0, sizeof single.name);
    std::memcpy(single.name, name, std::strlen(name));
    std::vector<unsigned char> message;
    EXPECT_TRUE(k1lib::Sysex::writeSingle(message, single, 0, k1lib::StorageI, 5));
    return Bytes(message.begin(), message.end());
}

Bytes withoutFraming(const Bytes& message) {
    return Bytes(message.begin() + 1, message.end() - 1);
}

std::string programName(k1AudioProcessor& p, int32 index) {
    String128 text{};
    p.getProgramName(224, index, text);
    char ascii[128];
    UString(text, 128).toAscii(ascii, 128);
    return ascii;
}

} // namespace

TEST(HostNotices, ValuesChangedReachTheHostOnlyOnItsUserInterfaceThread) {
    HandlerRecorder handler; // outlives the instrument, which holds it
    Instrument i;            // initialised on this thread: the host's user-interface thread
    i->setComponentHandler(&handler);
    OutputBlock block(64);
    EXPECT_TRUE(handler.restarts.empty()); // nothing is called back from inside set-up
    getValueOnAnotherThread(i);
    i->getParamNormalized(0); // the declared defaults are a new instance's values: no news
    EXPECT_TRUE(handler.restarts.empty());

    ParameterChanges program; // a program change through the controller parameter: MIDI C0 05
    program.add(223, {{0, 5.0 / 127.0}});
    i.run(block, nullptr, &program);
    ASSERT_EQ(i->getPlugin().getCurrentSingleIndex(), 5u);
    getValueOnAnotherThread(i);
    EXPECT_TRUE(handler.restarts.empty());
    i->getParamNormalized(0);
    EXPECT_EQ(handler.restarts, std::vector<int32>{kParamValuesChanged});
    MemoryStream onSingle5;
    ASSERT_EQ(i->getState(&onSingle5), kResultOk);

    // A host edit is in flight until the block that carries it: re-read before, the old value
    // would undo the edit in the host.
    program.queues[0].points[0].second = 6.0 / 127.0;
    i.run(block, nullptr, &program);
    i->setParamNormalized(k1lib::Param_LfoSpeed, 0.5);
    EXPECT_EQ(handler.restarts.size(), 1u);
    ParameterChanges edit;
    edit.add(k1lib::Param_LfoSpeed, {{0, 0.5}});
    i.run(block, nullptr, &edit);
    i->getParamNormalized(0);
    EXPECT_EQ(handler.restarts.size(), 2u);

    onSingle5.seek(0, IBStream::kIBSeekSet, nullptr);
    ASSERT_EQ(i->setState(&onSingle5), kResultOk);
    EXPECT_EQ(handler.restarts.size(), 3u);
    // Loading what the instrument holds changes nothing the host can see: nothing to announce.
    onSingle5.seek(0, IBStream::kIBSeekSet, nullptr);
    ASSERT_EQ(i->setState(&onSingle5), kResultOk);
    i->getParamNormalized(0);
    EXPECT_EQ(handler.restarts.size(), 3u);
}

TEST(HostNotices, TheHostHearsTheInstrumentsValuesAndProgramFromProcess) {
    Instrument i;
    OutputBlock block(64);
    // Hosts show the declared defaults until told: they are the values of a new instance, to the
    // last bit, so a host's controls agree from the start and the first block tells nothing.
    for (int32 id = 0; id < i->getParameterCount(); ++id) {
        ParameterInfo info{};
        ASSERT_EQ(i->getParameterInfo(id, info), kResultOk);
        EXPECT_EQ(info.defaultNormalizedValue, i->getParamNormalized(info.id)) << id;
    }
    ParameterChanges first;
    i.run(block, nullptr, nullptr, &first);
    EXPECT_TRUE(first.ids().empty());

    ParameterChanges midiProgram; // a MIDI program change moves parameter 224 too
    midiProgram.add(223, {{0, 5.0 / 127.0}});
    ParameterChanges out;
    i.run(block, nullptr, &midiProgram, &out);
    ASSERT_FALSE(out.queues.empty());
    EXPECT_EQ(out.queues.back().id, 224u);
    EXPECT_DOUBLE_EQ(out.queues.back().points.back().second, 5.0 / 1351.0);

    ParameterChanges hostProgram; // the host's own choice is not echoed
    hostProgram.add(224, {{0, 7.0 / 1351.0}});
    ParameterChanges echo;
    i.run(block, nullptr, &hostProgram, &echo);
    ASSERT_EQ(i->getPlugin().getCurrentSingleIndex(), 7u);
    for (Vst::ParamID id : echo.ids())
        EXPECT_NE(id, 224u);
}

// Ardour 7.3 takes output changes silently and then re-reads only values that still differ from
// what it holds: a host with a handler re-reads first, and the output changes follow.
TEST(HostNotices, NewValuesAreReReadBeforeTheyGoOutFromProcess) {
    HandlerRecorder handler;
    Instrument i;
    i->setComponentHandler(&handler);
    OutputBlock block(64);
    auto k1Values = [](const ParameterChanges& changes) {
        std::vector<Vst::ParamID> ids;
        for (Vst::ParamID id : changes.ids())
            if (id < k1lib::kParamCount) ids.push_back(id);
        return ids;
    };
    ParameterChanges program; // MIDI program change 5: Single 5's values
    program.add(223, {{0, 5.0 / 127.0}});
    ParameterChanges out;
    i.run(block, nullptr, &program, &out);
    ParameterChanges held;
    i.run(block, nullptr, nullptr, &held);
    EXPECT_TRUE(k1Values(out).empty());
    EXPECT_TRUE(k1Values(held).empty());
    i->getParamNormalized(0);
    EXPECT_EQ(handler.restarts.size(), 1u);
    ParameterChanges released;
    i.run(block, nullptr, nullptr, &released);
    ASSERT_FALSE(k1Values(released).empty());
    for (const auto& queue : released.queues)
        EXPECT_FLOAT_EQ(static_cast<float>(queue.points.back().second),
                        static_cast<float>(i->getParamNormalized(queue.id)))
            << queue.id;
}

// A Single's parameter while a Multi plays is refused by the engine: the host hears the value
// the instrument holds, in Multi mode and back in Single mode.
TEST(HostNotices, ARefusedEditIsAnsweredWithTheInstrumentsValue) {
    HandlerRecorder handler;
    Instrument i;
    i->setComponentHandler(&handler);
    OutputBlock block(64);
    ParameterChanges multi;
    multi.add(k1lib::Param_Mode, {{0, 1.0}});
    i.run(block, nullptr, &multi);
    i->getParamNormalized(0);
    ParameterChanges drain;
    i.run(block, nullptr, nullptr, &drain);
    handler.restarts.clear();
    const double held = i->getParamNormalized(k1lib::Param_Volume);
    ASSERT_NE(held, 0.9);

    ASSERT_EQ(i->setParamNormalized(k1lib::Param_Volume, 0.9), kResultOk); // the host's edit
    ParameterChanges edit;
    edit.add(k1lib::Param_Volume, {{0, 0.9}});
    i.run(block, nullptr, &edit);
    EXPECT_DOUBLE_EQ(i->getParamNormalized(k1lib::Param_Volume), held);
    EXPECT_EQ(handler.restarts, std::vector<int32>{kParamValuesChanged}) << "the host re-reads";
    ParameterChanges out;
    i.run(block, nullptr, nullptr, &out);
    ASSERT_EQ(out.ids(), std::vector<Vst::ParamID>{k1lib::Param_Volume});
    EXPECT_FLOAT_EQ(static_cast<float>(out.queues[0].points[0].second), static_cast<float>(held));

    ParameterChanges single;
    single.add(k1lib::Param_Mode, {{0, 0.0}});
    i.run(block, nullptr, &single);
    EXPECT_DOUBLE_EQ(i->getParamNormalized(k1lib::Param_Volume), held);
}

TEST(HostNotices, ARenamedSingleReachesTheProgramListWithoutARunLoop) {
    HandlerRecorder handler;
    Instrument i; // a host context without a run loop, and no editor
    i->setComponentHandler(&handler);
    OutputBlock block(64);
    EventList events;
    events.data(renamedSingle5Dump(*i.processor, "RENAMED"), 0);
    std::thread audio([&] { i.run(block, &events); });
    audio.join();
    EXPECT_EQ(programName(*i.processor, 5), "RENAMED");
    EXPECT_TRUE(handler.programListChanges.empty()); // the audio thread never calls the host
    MemoryStream stream;
    i->getState(&stream); // the host's next call on its user-interface thread
    EXPECT_EQ(handler.programListChanges, (std::vector<std::pair<ProgramListID, int32>>{{224, 5}}));
}

TEST(HostSysex, DumpsAndRequestsWorkWithAndWithoutFraming) {
    for (bool framed : {true, false}) {
        Instrument i;
        OutputBlock block(64);
        const Bytes dump = renamedSingle5Dump(*i.processor, framed ? "FRAMED" : "BARE");
        EventList in;
        in.data(framed ? dump : withoutFraming(dump), 0);
        i.run(block, &in);
        EXPECT_EQ(programName(*i.processor, 5), framed ? "FRAMED" : "BARE");

        std::vector<unsigned char> request;
        ASSERT_TRUE(k1lib::Sysex::writeOneSingleRequest(request, 0, k1lib::StorageI, 5));
        EventList ask;
        ask.data(framed ? Bytes(request.begin(), request.end())
                        : withoutFraming(Bytes(request.begin(), request.end())),
                 0);
        EventList out;
        i.run(block, &ask, nullptr, nullptr, &out);
        // The write answer to the dump, then the requested dump, each framed as hosts expect.
        std::vector<Bytes> sent;
        for (const Event& e : out.events)
            sent.emplace_back(e.data.bytes, e.data.bytes + e.data.size);
        ASSERT_FALSE(sent.empty()) << framed;
        for (const Bytes& message : sent) {
            EXPECT_EQ(message.front(), 0xF0);
            EXPECT_EQ(message.back(), 0xF7);
        }
        EXPECT_EQ(sent.back(), dump) << framed;
    }
}
