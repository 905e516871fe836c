// The processor as the host's controller sees it: parameter infos and texts, the MIDI
// controller mapping, bus activation, the unit and its program list, and program names.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <utility>

#include "pluginterfaces/base/ustring.h"
#include "tests/support/LogCapture.h"
#include "tests/vst3/Instrument.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using testhost::Instrument;

namespace {

std::string ascii(const TChar* text) {
    char out[128];
    UString(const_cast<TChar*>(text), 128).toAscii(out, 128);
    return out;
}

std::string programName(k1AudioProcessor* p, int32 index) {
    String128 name{};
    return p->getProgramName(224, index, name) == kResultTrue ? ascii(name) : "<none>";
}

// K1 names: up to ten characters, NUL after the last.
void setName(char (&name)[11], const char* text) {
    std::memset(name, 0, sizeof(name));
    std::memcpy(name, text, std::min(std::strlen(text), sizeof(name) - 1));
}

} // namespace

TEST(Processor, ParameterInfosFollowTheTable) {
    Instrument i;
    EXPECT_EQ(i->getParameterCount(), 225);
    ParameterInfo info{};
    ASSERT_EQ(i->getParameterInfo(224, info), kResultOk);
    EXPECT_EQ(info.id, 224u);
    EXPECT_EQ(info.flags, ParameterInfo::kIsProgramChange | ParameterInfo::kIsList);
    EXPECT_EQ(info.stepCount, 1351);
    EXPECT_EQ(ascii(info.title), "Program");

    info.id = 777;
    EXPECT_EQ(i->getParameterInfo(225, info), kResultFalse);
    EXPECT_EQ(i->getParameterInfo(-1, info), kResultFalse);
    EXPECT_EQ(info.id, 777u); // untouched

    ASSERT_EQ(i->getParameterInfo(k1lib::Param_Volume, info), kResultOk);
    EXPECT_EQ(ascii(info.title), "Volume"); // the short name, not the group
    EXPECT_EQ(ascii(info.shortTitle), "Volume");
    EXPECT_EQ(info.stepCount, 99);
    EXPECT_FLOAT_EQ(static_cast<float>(info.defaultNormalizedValue), 46.0f / 99.0f); // a new instance's
    EXPECT_EQ(info.flags, ParameterInfo::kCanAutomate);
    EXPECT_EQ(info.unitId, kRootUnitId);

    ASSERT_EQ(i->getParameterInfo(k1lib::Param_Name01, info), kResultOk);
    EXPECT_EQ(info.flags, 0); // the name characters are not automated
    ASSERT_EQ(i->getParameterInfo(k1lib::Param_MultiName01, info), kResultOk);
    EXPECT_EQ(info.flags, ParameterInfo::kCanAutomate);
    ASSERT_EQ(i->getParameterInfo(k1lib::Param_SourceS4Wave, info), kResultOk);
    EXPECT_EQ(info.flags, ParameterInfo::kCanAutomate | ParameterInfo::kIsList);
    ASSERT_EQ(i->getParameterInfo(k1lib::Param_SourceMix12, info), kResultOk);
    EXPECT_EQ(info.stepCount, 0); // continuous

    // Every parameter has a title (validators fail one without, hosts show blank controls); the
    // MIDI ones say what they carry and span the values of their message.
    std::set<std::string> controllerTitles;
    for (int32 id = 0; id < i->getParameterCount(); ++id) {
        ASSERT_EQ(i->getParameterInfo(id, info), kResultOk);
        EXPECT_FALSE(ascii(info.title).empty()) << id;
        if (id >= 210 && id <= 223) controllerTitles.insert(ascii(info.title));
    }
    EXPECT_EQ(controllerTitles.size(), 14u);
    ASSERT_EQ(i->getParameterInfo(221, info), kResultOk);
    EXPECT_EQ(ascii(info.title), "Pitch Bend");
    EXPECT_EQ(info.stepCount, 16383);
    EXPECT_DOUBLE_EQ(info.defaultNormalizedValue, 0.5); // centred, as the engine starts
    EXPECT_EQ(info.flags, ParameterInfo::kCanAutomate);
    ASSERT_EQ(i->getParameterInfo(215, info), kResultOk);
    EXPECT_EQ(ascii(info.title), "CC 7 Volume");
    EXPECT_EQ(info.stepCount, 127);
    ASSERT_EQ(i->getParameterInfo(209, info), kResultOk);
    EXPECT_EQ(info.flags, ParameterInfo::kIsReadOnly | ParameterInfo::kIsHidden); // carries nothing
}

TEST(Processor, ValueTextsAndConversionsStayInsideTheRanges) {
    Instrument i;
    String128 text{};
    auto textOf = [&](ParamID id, ParamValue value) {
        EXPECT_EQ(i->getParamStringByValue(id, value, text), kResultOk);
        return ascii(text);
    };
    // The MIDI parameters show the value their message carries; the program, its list entry.
    EXPECT_EQ(textOf(215, 0.5), "64");
    EXPECT_EQ(textOf(221, 0.5), "0");
    EXPECT_EQ(textOf(221, 9.0), "8191");
    EXPECT_EQ(textOf(224, 0.0), "IA-1 " + programName(i.processor, 0));
    EXPECT_EQ(textOf(224, 968.0 / 1351), "IA-1 " + programName(i.processor, 968));
    EXPECT_EQ(textOf(209, 0.3), "");
    EXPECT_EQ(textOf(5000, 0.3), "");
    // Host values outside 0..1 would index the table's texts out of range.
    EXPECT_EQ(textOf(k1lib::Param_SourceS1Wave, 7.0), textOf(k1lib::Param_SourceS1Wave, 1.0));
    EXPECT_EQ(textOf(k1lib::Param_SourceS1Wave, -3.0), textOf(k1lib::Param_SourceS1Wave, 0.0));
    EXPECT_EQ(textOf(k1lib::Param_SourceS1Wave, NAN), textOf(k1lib::Param_SourceS1Wave, 0.0));
    EXPECT_NE(textOf(k1lib::Param_SourceS1Wave, 1.0), textOf(k1lib::Param_SourceS1Wave, 0.0));

    EXPECT_DOUBLE_EQ(i->normalizedParamToPlain(k1lib::Param_Volume, 1.0), 100.0);
    EXPECT_DOUBLE_EQ(i->normalizedParamToPlain(k1lib::Param_Volume, 0.0), 1.0);
    EXPECT_NEAR(i->plainParamToNormalized(k1lib::Param_Volume, 50.5), 0.5, 1e-6);
    EXPECT_DOUBLE_EQ(i->normalizedParamToPlain(215, 1.0), 127.0);
    EXPECT_DOUBLE_EQ(i->plainParamToNormalized(221, 16383.0), 1.0);
    EXPECT_DOUBLE_EQ(i->plainParamToNormalized(224, 1351.0), 1.0);
    EXPECT_EQ(i->normalizedParamToPlain(209, 0.5), 0.0);
    EXPECT_EQ(i->plainParamToNormalized(209, 3.0), 0.0);
}

TEST(Processor, MapsExactlyTheListedControllersOfTheFirstBus) {
    Instrument i;
    FUnknownPtr<IMidiMapping> mapping(static_cast<IAudioProcessor*>(i.processor));
    ASSERT_TRUE(mapping);
    std::set<std::pair<int, ParamID>> mapped;
    for (int controller = 0; controller < 256; ++controller) {
        ParamID id = 9999;
        if (mapping->getMidiControllerAssignment(0, 3, static_cast<CtrlNumber>(controller), id) == kResultOk)
            mapped.emplace(controller, id);
        else
            EXPECT_EQ(id, 9999u);
    }
    const std::set<std::pair<int, ParamID>> expected = {
        {1, 210},   {6, 214},   {7, 215},   {10, 216},  {32, 213},  {64, 217}, {100, 211},
        {101, 212}, {123, 218}, {124, 220}, {125, 219}, {128, 222}, {129, 221}};
    EXPECT_EQ(mapped, expected);
    // Steinberg's validator asks up to kCountCtrlNumber (130, also the program change number)
    // and fails a plug-in that maps it; hosts send program changes to parameter 224 instead.
    EXPECT_EQ(kCountCtrlNumber, kCtrlProgramChange);
    std::set<ParamID> declared;
    for (int32 index = 0; index < i->getParameterCount(); ++index) {
        ParameterInfo info{};
        i->getParameterInfo(index, info);
        declared.insert(info.id);
    }
    for (const auto& [controller, target] : mapped) {
        EXPECT_LT(controller, kCountCtrlNumber);
        EXPECT_TRUE(declared.count(target)) << controller;
    }
    ParamID id = 0;
    EXPECT_EQ(mapping->getMidiControllerAssignment(1, 0, 7, id), kResultFalse);
    EXPECT_EQ(mapping->getMidiControllerAssignment(0, 15, 7, id), kResultOk); // any channel
}

TEST(Processor, OutputBusActivationIsLoggedAndCheckedAgainstTheBuses) {
    Instrument i;
    LogCapture log;
    EXPECT_EQ(i->activateBus(kAudio, kOutput, 3, true), kResultTrue);
    EXPECT_EQ(i->activateBus(kEvent, kInput, 0, true), kResultTrue);
    EXPECT_EQ(i->activateBus(kAudio, kOutput, 7, true), kInvalidArgument);
    EXPECT_EQ(i->activateBus(kAudio, kOutput, -1, true), kInvalidArgument);
    EXPECT_EQ(i->activateBus(kAudio, kOutput, 3, false), kResultTrue);
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"activateBus@670: activateBus type=0 dir=1 index=3 state=1",
                                        "activateBus@670: activateBus type=0 dir=1 index=3 state=0"}));
}

TEST(Processor, EditsFromTheControllerOnlyLogUntilTheNextBlock) {
    Instrument i;
    const ParamValue before = i->getParamNormalized(k1lib::Param_Volume);
    LogCapture log;
    EXPECT_EQ(i->setParamNormalized(k1lib::Param_Volume, 0.25), kResultOk);
    EXPECT_EQ(i->setParamNormalized(224, 0.5), kResultOk);
    EXPECT_EQ(i->setParamNormalized(225, 0.5), kResultFalse);
    EXPECT_TRUE(log.contains("setParamNormalized@613: setParamNormalized 10 0.25"));
    EXPECT_EQ(i->getParamNormalized(k1lib::Param_Volume), before);
    EXPECT_EQ(i->getParamNormalized(215), 0.0);
}

TEST(Processor, ProgramListCoversAllSinglesThenAllMultis) {
    Instrument i;
    FUnknownPtr<IUnitInfo> units(static_cast<IAudioProcessor*>(i.processor));
    ASSERT_TRUE(units);
    for (int round = 0; round < 2; ++round) { // the same after a host terminates and starts over
        ASSERT_EQ(units->getUnitCount(), 1);
        UnitInfo unit{};
        ASSERT_EQ(units->getUnitInfo(0, unit), kResultTrue);
        EXPECT_EQ(unit.id, kRootUnitId);
        EXPECT_EQ(unit.parentUnitId, kNoParentUnitId);
        EXPECT_EQ(unit.programListId, 224);
        EXPECT_EQ(ascii(unit.name), "Root");
        ASSERT_EQ(units->getProgramListCount(), 1);
        ProgramListInfo list{};
        ASSERT_EQ(units->getProgramListInfo(0, list), kResultTrue);
        EXPECT_EQ(list.id, 224);
        EXPECT_EQ(ascii(list.name), "Single");
        EXPECT_EQ(list.programCount, 1352);
        i->terminate();
        i->initialize(nullptr);
    }
    k1lib::SinglePreset single;
    k1lib::MultiPreset multi;
    ASSERT_TRUE(i->getPlugin().getSingle(single, 967));
    ASSERT_TRUE(i->getPlugin().getMulti(multi, 0));
    EXPECT_EQ(programName(i.processor, 967), single.name);
    EXPECT_EQ(programName(i.processor, 968), multi.name);
    EXPECT_EQ(programName(i.processor, 1352), "<none>");
    EXPECT_EQ(programName(i.processor, -1), "<none>");
}

TEST(Processor, RenamesReachTheHostOncePerEntryOnTheNextTick) {
    testhost::FakeRunLoop loop; // offered by the host context
    testhost::HandlerRecorder handler;
    Instrument i(&loop);
    ASSERT_EQ(i->setComponentHandler(&handler), kResultTrue);
    ASSERT_EQ(loop.timers.size(), 1u);
    k1lib::Plugin& plugin = i->getPlugin();

    k1lib::SinglePreset single;
    ASSERT_TRUE(plugin.getSingle(single, 5));
    for (const char* name : {"Renamed 1", "Renamed 2", "Renamed 3"}) {
        setName(single.name, name);
        ASSERT_TRUE(plugin.setSingle(5, single));
    }
    k1lib::MultiPreset multi;
    ASSERT_TRUE(plugin.getMulti(multi, 2));
    setName(multi.name, "New Multi");
    ASSERT_TRUE(plugin.setMulti(2, multi));

    // The host reads current names before any refresh has run.
    EXPECT_EQ(programName(i.processor, 5), "Renamed 3");
    EXPECT_TRUE(handler.programListChanges.empty());
    loop.tick();
    using Change = std::pair<ProgramListID, int32>;
    EXPECT_EQ(handler.programListChanges, (std::vector<Change>{{224, 5}, {224, 970}}));
    handler.programListChanges.clear();
    loop.tick();
    EXPECT_TRUE(handler.programListChanges.empty());

    i->terminate(); // the host's run loop is let go
    EXPECT_TRUE(loop.timers.empty());
    i->setComponentHandler(nullptr);
}

TEST(Processor, AudioThreadAndUserInterfaceThreadWorkAtOnce) {
    testhost::FakeRunLoop loop;
    testhost::HandlerRecorder handler;
    Instrument i(&loop);
    i->setComponentHandler(&handler);
    std::atomic<bool> done{false};
    std::thread audio([&] {
        testhost::OutputBlock block(128);
        for (int n = 0; n < 300; ++n) {
            testhost::EventList notes;
            notes.noteOn(static_cast<int16>(48 + n % 24), 0.9f, n % 128);
            testhost::ParameterChanges changes;
            changes.add(k1lib::Param_LfoSpeed, {{0, (n % 10) / 10.0}});
            changes.add(215, {{0, (n % 7) / 7.0}});
            // Now and then a program change: new values the host re-reads before they go out.
            if (n % 25 == 0) changes.add(223, {{0, (n / 25 % 4) / 127.0}});
            testhost::ParameterChanges outChanges;
            testhost::EventList outEvents(n % 3);
            i.run(block, &notes, &changes, &outChanges, &outEvents);
        }
        done = true;
    });
    // The user-interface thread edits names, which the engine also sends out as sysex, reads
    // what the host shows, makes host edits, and runs the deferred refreshes.
    k1lib::Plugin& plugin = i->getPlugin();
    String128 text{};
    for (int n = 0; !done; ++n) {
        k1lib::SinglePreset single;
        ASSERT_TRUE(plugin.getSingle(single, static_cast<size_t>(n % 8)));
        setName(single.name, n % 2 ? "Odd" : "Even");
        EXPECT_TRUE(plugin.setSingle(static_cast<size_t>(n % 8), single));
        i->getParamNormalized(k1lib::Param_LfoSpeed);
        i->getParamNormalized(215);
        i->setParamNormalized(k1lib::Param_Volume, (n % 5) / 5.0); // in flight until a block
        i->getParamStringByValue(k1lib::Param_LfoSpeed, 0.5, text);
        programName(i.processor, n % 8);
        loop.tick();
    }
    audio.join();
    testhost::OutputBlock last(128); // carries the last host edit: the values can be re-read
    i.run(last);
    loop.tick();
    EXPECT_FALSE(handler.programListChanges.empty());
    EXPECT_FALSE(handler.restarts.empty());
    i->setComponentHandler(nullptr);
}
