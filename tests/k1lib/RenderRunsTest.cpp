// Rendering in runs of samples must sound exactly like rendering one sample at a time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "EngineFixture.h"
#include "Multi.h"

namespace {

using enginetest::RecordingListener;

k1lib::SMidiEvent shortMessage(uint8_t status, uint8_t data1, uint8_t data2) {
    k1lib::SMidiEvent e;
    e.status = status;
    e.data1 = data1;
    e.data2 = data2;
    return e;
}

// The same notes, pressure and bend reach two engines between stretches of rendering; one renders
// each stretch in a single call, the other sample by sample through the Multi.
void compareRuns(bool multiMode, uint64_t preset) {
    RecordingListener listeners[2];
    auto a = std::make_unique<k1lib::Engine>(&listeners[0], k1lib::PluginType_Vst3);
    auto b = std::make_unique<k1lib::Engine>(&listeners[1], k1lib::PluginType_Vst3);
    for (k1lib::Engine* e : {a.get(), b.get()}) {
        if (multiMode) {
            e->setPlayMode(k1lib::PlayMode_Multi);
            ASSERT_TRUE(e->setMulti(preset));
        } else {
            ASSERT_TRUE(e->setSingle(preset));
        }
    }
    // The first step of the parameter manager applies every parameter; let both engines take it.
    float first[2];
    float* firstOutputs[] = {&first[0], &first[1]};
    a->processAudio(firstOutputs, 2, 1, {});
    b->processAudio(firstOutputs, 2, 1, {});
    const std::vector<std::vector<k1lib::SMidiEvent>> script = {
        {shortMessage(0x90, 60, 100), shortMessage(0x91, 64, 90), shortMessage(0x92, 67, 70)},
        {shortMessage(0xD0, 90, 0), shortMessage(0xE0, 0, 90)},
        {shortMessage(0xB0, 1, 127), shortMessage(0x80, 60, 40)},
        {shortMessage(0x90, 72, 127), shortMessage(0xD0, 0, 0), shortMessage(0xE0, 0, 64)},
        {shortMessage(0xB0, 123, 0), shortMessage(0xB1, 123, 0), shortMessage(0xB2, 123, 0)},
    };
    const int stretch = 3001;  // not a multiple of the run length
    std::vector<float> runL(stretch), runR(stretch), oneL(stretch), oneR(stretch);
    float peak = 0.0f;
    for (const std::vector<k1lib::SMidiEvent>& events : script) {
        for (const k1lib::SMidiEvent& event : events) {
            a->processMidiEvent(event);
            b->processMidiEvent(event);
        }
        float* runs[] = {runL.data(), runR.data()};
        a->processAudio(runs, 2, stretch, {});
        for (int i = 0; i < stretch; ++i) {
            oneL[i] = oneR[i] = 0.0f;
            float* one[] = {&oneL[i], &oneR[i]};
            b->getMulti().process(one, 2);
        }
        for (int i = 0; i < stretch; ++i) {
            ASSERT_EQ(runL[i], oneL[i]) << "sample " << i;
            ASSERT_EQ(runR[i], oneR[i]) << "sample " << i;
            peak = std::max(peak, std::abs(runL[i]) + std::abs(runR[i]));
        }
    }
    EXPECT_GT(peak, 0.01f) << "the comparison must be of sound, not of silence";
}

}  // namespace

TEST(RenderRuns, SinglesSoundTheSameInRunsAsSampleBySample) {
    for (uint64_t single : {0u, 7u, 19u, 42u, 130u, 777u}) compareRuns(false, single);
}

TEST(RenderRuns, MultisSoundTheSameInRunsAsSampleBySample) {
    for (uint64_t multi : {0u, 5u, 200u}) compareRuns(true, multi);
}
