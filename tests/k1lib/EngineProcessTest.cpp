// The engine's block entry: idle silence, event order, pitch at every host rate, and a steady
// state that allocates nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "k1lib/voice/Multi.h"
#include "tests/k1lib/EngineFixture.h"
#include "tests/support/AllocationCounter.h"
#include "tests/support/SignalMeasure.h"

using enginetest::EngineFixture;
using enginetest::sineSingle;

namespace {

k1lib::SMidiEvent noteOn(int key, int offset) {
    return k1lib::shortMessage(0x90, static_cast<uint8_t>(key), 100, offset);
}

} // namespace

class EngineProcess : public EngineFixture {
protected:
    std::vector<float> left = std::vector<float>(1024, 9.0f), right = std::vector<float>(1024, 9.0f);
    float* outputs[2] = {left.data(), right.data()};
};

TEST_F(EngineProcess, AnIdleEngineWritesExactZeros) {
    engine.setSamplerate(44100.0f);
    std::vector<k1lib::SMidiEvent> none;
    engine.process(outputs, 2, 1024, none);
    for (size_t i = 0; i < 1024; ++i) {
        ASSERT_EQ(left[i], 0.0f);
        ASSERT_EQ(right[i], 0.0f);
    }
    EXPECT_EQ(engine.getProcessingSamplerate(), 49920.0f);
}

TEST_F(EngineProcess, EventsOutOfOrderOrInAnEmptyBlockAreEachHandledOnce) {
    engine.setSamplerate(44100.0f);
    std::vector<k1lib::SMidiEvent> events;
    engine.process(outputs, 2, 1024, events); // settles into the idle state
    events = {noteOn(67, 3)};
    engine.process(outputs, 2, 0, events); // kept for the next block, though that brings none
    engine.process(outputs, 2, 256, events);
    EXPECT_EQ(engine.getMulti().getActiveVoiceCount(), 1);
    events = {noteOn(60, 5), noteOn(64, 2)};
    engine.process(outputs, 2, 256, events);
    EXPECT_EQ(engine.getMulti().getActiveVoiceCount(), 3);
}

TEST_F(EngineProcess, ASineVoicePlaysItsPitchAtEveryHostRate) {
    ASSERT_TRUE(engine.setSingle(0, sineSingle()));
    ASSERT_TRUE(engine.setSingle(0));
    for (float rate : {44100.0f, 48000.0f, 49920.0f, 96000.0f, 192000.0f}) {
        engine.clearAllVoices();
        engine.setSamplerate(rate);
        std::vector<float> signal;
        std::vector<k1lib::SMidiEvent> events = {noteOn(69, 0)};
        while (static_cast<double>(signal.size()) < rate * 1.5) {
            engine.process(outputs, 2, 1024, events);
            events.clear(); // the caller's events are spent once the block is processed
            signal.insert(signal.end(), left.begin(), left.end());
        }
        const double frequency =
            signalmeasure::measureFrequency(signal, rate, static_cast<size_t>(rate * 0.3));
        EXPECT_NEAR(1200 * std::log2(frequency / 440.0), 0.0, 0.5) << rate;
    }
}

// One test for the audio thread's allocations: steady play with notes coming and going, ramps
// running, and the host switching buses (2 -> 8 -> 2 -> 1 channels) while a note sounds. With the output mode
// "Stereo" the main pair carries everything, so it must match an engine that stayed on two.
TEST_F(EngineProcess, PlayAndChannelSwitchesAllocateNothingAndKeepTheMainPair) {
    enginetest::RecordingListener otherListener;
    k1lib::Engine reference(&otherListener, k1lib::PluginType_Vst3);
    for (k1lib::Engine* e : {&engine, &reference}) {
        ASSERT_TRUE(e->setSingle(0, sineSingle()));
        e->setSamplerate(48000.0f);
    }
    std::vector<std::vector<float>> buffers(8, std::vector<float>(1024));
    float* eight[8];
    for (int c = 0; c < 8; ++c)
        eight[c] = buffers[static_cast<size_t>(c)].data();
    std::vector<k1lib::SMidiEvent> events, referenceEvents;
    events.reserve(16);
    referenceEvents.reserve(16);
    events = referenceEvents = {noteOn(69, 0)};
    engine.process(eight, 2, 512, events);
    reference.process(outputs, 2, 512, referenceEvents);
    AllocationCounter counter;
    const int counts[] = {2, 8, 2, 1};
    for (int block = 0; block < 200; ++block) {
        const int channels = counts[block / 50];
        const int samples = 1 + (block * 53) % 1024;
        // Automation keeps ramps running through the blocks.
        for (k1lib::Engine* e : {&engine, &reference}) {
            EXPECT_TRUE(
                e->setParameter(k1lib::Param_SourceMix12, static_cast<float>(block % 10) / 10.0f, true));
            if (block % 7 == 0) {
                EXPECT_TRUE(
                    e->setParameter(k1lib::Param_VibratoDepth, static_cast<float>(block % 3) / 2.0f, true));
            }
        }
        events.clear();
        if (block % 10 == 5) {
            k1lib::SMidiEvent e = noteOn(40 + block % 40, block % samples);
            e.status = block % 20 == 5 ? 0x90 : 0x80;
            events.push_back(e);
        }
        referenceEvents = events;
        engine.process(eight, channels, samples, events);
        reference.process(outputs, 2, samples, referenceEvents);
        for (int i = 0; i < samples; ++i) {
            ASSERT_EQ(buffers[0][static_cast<size_t>(i)], left[static_cast<size_t>(i)]) << "block " << block;
            if (channels > 1) {
                ASSERT_EQ(buffers[1][static_cast<size_t>(i)], right[static_cast<size_t>(i)]);
            }
        }
    }
    EXPECT_EQ(counter.count(), 0u);
}

TEST_F(EngineProcess, AProgramChangeUnderAChordEndsItWithoutAStep) {
    engine.setSamplerate(48000.0f);
    // Sines at the top volume: a held chord whose own steps are small. The programs it changes
    // to have other volumes: a Single ("Grand Pno"), then a Multi, which changes the mode too.
    for (const uint8_t program : {uint8_t{1}, uint8_t{70}}) {
        engine.setPlayMode(k1lib::PlayMode_Single);
        ASSERT_TRUE(engine.setSingle(12, sineSingle()));
        ASSERT_TRUE(engine.setSingle(12));
        std::vector<float> signal[2];
        const auto run = [&](std::vector<k1lib::SMidiEvent> events, int blocks) {
            for (int b = 0; b < blocks; ++b, events.clear()) {
                engine.process(outputs, 2, 256, events);
                signal[0].insert(signal[0].end(), left.begin(), left.begin() + 256);
                signal[1].insert(signal[1].end(), right.begin(), right.begin() + 256);
            }
        };
        run({noteOn(60, 0), noteOn(64, 0), noteOn(67, 0)}, 40);
        const size_t change = signal[0].size() + 100;
        run({k1lib::shortMessage(0xC0, program, 0, 100)}, 20);
        // The largest step from one sample to the next, over [from, to).
        const auto largestStep = [&](size_t from, size_t to) {
            float step = 0.0f;
            for (const std::vector<float>& side : signal)
                for (size_t i = from; i < to; ++i)
                    step = std::max(step, std::fabs(side[i] - side[i - 1]));
            return step;
        };
        const float own = largestStep(change / 2, change);
        EXPECT_GT(own, 0.001f);
        EXPECT_LE(largestStep(change, signal[0].size()), own) << "program " << int(program);
        EXPECT_EQ(engine.getMulti().getActiveVoiceCount(), 0) << "the old program's voices live on";
    }
    EXPECT_EQ(engine.getPlayMode(), k1lib::PlayMode_Multi);
}
