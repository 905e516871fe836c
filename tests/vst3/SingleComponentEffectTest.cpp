// The one-object component and controller, driven the way real hosts drive it, through the
// instrument that declares its buses on it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/ivstunits.h"
#include "vst3/k1AudioProcessor.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

struct Instance {
    Instance() : object(new k1AudioProcessor) {}
    ~Instance() { object->release(); }
    k1AudioProcessor* object;
    IComponent* component() { return object; }
};

std::string busName(IComponent* c, MediaType type, BusDirection dir, int32 index, BusInfo& info) {
    std::memset(&info, 0xA5, sizeof info); // a host may hand over a struct it used before
    if (c->getBusInfo(type, dir, index, info) != kResultTrue) return "<none>";
    EXPECT_EQ(info.mediaType, type);
    EXPECT_EQ(info.direction, dir);
    char ascii[128];
    UString(info.name, 128).toAscii(ascii, 128);
    return ascii;
}

} // namespace

TEST(SingleComponentEffect, DeclaresTheInstrumentsBuses) {
    Instance i;
    ASSERT_EQ(i.component()->initialize(nullptr), kResultOk);
    IComponent* c = i.component();
    EXPECT_EQ(c->getBusCount(kAudio, kInput), 0);
    ASSERT_EQ(c->getBusCount(kAudio, kOutput), 7);
    EXPECT_EQ(c->getBusCount(kEvent, kInput), 1);
    EXPECT_EQ(c->getBusCount(kEvent, kOutput), 1);

    const char* names[] = {"Stereo Out", "Source / Multi 3", "Source / Multi 4", "Multi 5",
                           "Multi 6",    "Multi 7",          "Multi 8"};
    BusInfo info;
    for (int32 b = 0; b < 7; ++b) {
        EXPECT_EQ(busName(c, kAudio, kOutput, b, info), names[b]);
        EXPECT_EQ(info.channelCount, b == 0 ? 2 : 1);
        EXPECT_EQ(info.busType, kMain);
        EXPECT_EQ(info.flags, b == 0 ? uint32(BusInfo::kDefaultActive) : 0u);
    }
    EXPECT_EQ(busName(c, kEvent, kInput, 0, info), "Midi In");
    EXPECT_EQ(info.channelCount, 16);
    EXPECT_EQ(busName(c, kEvent, kOutput, 0, info), "Midi Out");
    EXPECT_EQ(info.flags, uint32(BusInfo::kDefaultActive));
    EXPECT_EQ(busName(c, kAudio, kOutput, 7, info), "<none>");
    EXPECT_EQ(busName(c, kAudio, kOutput, -1, info), "<none>");
    EXPECT_EQ(c->getBusCount(7, kOutput), 0);

    TUID controller;
    EXPECT_EQ(c->getControllerClassId(controller), kNotImplemented); // marks a single component
    c->terminate();
}

// Hosts initialise and terminate through both faces, and may start over with the same object.
TEST(SingleComponentEffect, AnswersEveryFaceFromTheOneObjectAndStartsOver) {
    Instance i;
    FUnknownPtr<IAudioProcessor> processor(i.component());
    FUnknownPtr<IEditController> controller(i.component());
    FUnknownPtr<IUnitInfo> units(i.component());
    FUnknownPtr<IPluginBase> base(i.component());
    FUnknownPtr<IConnectionPoint> connection(i.component());
    ASSERT_TRUE(processor && controller && units && base && connection);
    EXPECT_EQ(static_cast<IAudioProcessor*>(i.object), processor.getInterface());
    EXPECT_EQ(static_cast<IEditController*>(i.object), controller.getInterface());
    EXPECT_EQ(base->initialize(nullptr), kResultOk);
    EXPECT_EQ(i.component()->initialize(nullptr), kResultFalse); // the same object, already initialised
    EXPECT_EQ(controller->initialize(nullptr), kResultFalse);
    EXPECT_EQ(i.component()->getBusCount(kAudio, kOutput), 7);

    EXPECT_EQ(controller->terminate(), kResultOk);
    EXPECT_EQ(i.component()->terminate(), kResultOk);
    EXPECT_EQ(i.component()->getBusCount(kAudio, kOutput), 0);
    EXPECT_EQ(i.component()->initialize(nullptr), kResultOk);
    EXPECT_EQ(i.component()->getBusCount(kEvent, kInput), 1);
    i.component()->terminate();
}

TEST(SingleComponentEffect, BusActivationAndArrangementsAreChecked) {
    Instance i;
    IComponent* c = i.component();
    FUnknownPtr<IAudioProcessor> processor(c);
    ASSERT_EQ(c->initialize(nullptr), kResultOk);
    EXPECT_EQ(c->activateBus(kAudio, kInput, 0, true), kInvalidArgument); // output buses: see Processor
    EXPECT_EQ(c->activateBus(kEvent, kInput, 0, false), kResultTrue);

    std::vector<SpeakerArrangement> declared = {SpeakerArr::kStereo, SpeakerArr::kMono, SpeakerArr::kMono,
                                                SpeakerArr::kMono,   SpeakerArr::kMono, SpeakerArr::kMono,
                                                SpeakerArr::kMono};
    EXPECT_EQ(processor->setBusArrangements(nullptr, 0, declared.data(), 7), kResultTrue);
    EXPECT_EQ(processor->setBusArrangements(nullptr, 0, declared.data(), 6), kResultFalse);
    EXPECT_EQ(processor->setBusArrangements(nullptr, 0, nullptr, 7), kResultFalse);
    declared[0] = SpeakerArr::kMono;
    EXPECT_EQ(processor->setBusArrangements(nullptr, 0, declared.data(), 7), kResultFalse);

    SpeakerArrangement arrangement = 0;
    EXPECT_EQ(processor->getBusArrangement(kOutput, 0, arrangement), kResultTrue);
    EXPECT_EQ(arrangement, SpeakerArr::kStereo);
    EXPECT_EQ(processor->getBusArrangement(kOutput, 7, arrangement), kInvalidArgument);
    EXPECT_EQ(processor->getBusArrangement(kInput, 0, arrangement), kInvalidArgument);

    EXPECT_EQ(processor->canProcessSampleSize(kSample32), kResultTrue);
    EXPECT_EQ(processor->canProcessSampleSize(kSample64), kResultFalse);
    c->terminate();
}
