// The engine's block entry: idle silence, event order, pitch at every host rate, and a steady
// state that allocates nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "AllocationCounter.h"
#include "EngineFixture.h"
#include "Multi.h"
#include "SignalMeasure.h"

using enginetest::EngineFixture;

namespace {

k1lib::SMidiEvent noteOn(int key, int offset) {
    k1lib::SMidiEvent e;
    e.status = 0x90;
    e.data1 = static_cast<uint8_t>(key);
    e.data2 = 100;
    e.sampleOffset = offset;
    return e;
}

// One sustained sine source: wave "Sin 1st", coarse 84 with key tracking plays the key's pitch.
k1lib::SinglePreset sineSingle() {
    k1lib::SinglePreset s{};
    std::strcpy(s.name, "Sine");
    s.volume = 99;
    s.pressureToFreq = s.vibratoDepth = s.pressureToVibrato = s.autoBendDepth = 50;
    s.velToDepth = s.autoBendKeyScaleToTime = 50;
    s.mute[1] = 1;
    k1lib::SingleSource& src = s.sources[0];
    src.fine = 50;
    src.coarse = 84;
    src.wave = 0;
    src.keyTrack = 1;
    src.envLevel = 100;
    src.envSustain = 100;
    src.levelModVel = src.levelModPressure = src.levelModKeyScale = 50;
    src.timeModVel = src.timeModKeyScale = src.freqKeyScaleToFreq = 50;
    s.sources[1] = src;
    return s;
}

}  // namespace

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

TEST_F(EngineProcess, EventsOutOfOrderAreEachHandledOnce) {
    engine.setSamplerate(44100.0f);
    std::vector<k1lib::SMidiEvent> events = {noteOn(60, 5), noteOn(64, 2)};
    engine.process(outputs, 2, 256, events);
    EXPECT_EQ(engine.getMulti().getActiveVoiceCount(), 2);
}

TEST_F(EngineProcess, ASineVoicePlaysItsPitchAtEveryHostRate) {
    ASSERT_TRUE(engine.setSingle(0, sineSingle()));
    ASSERT_TRUE(engine.setSingle(0));
    for (float rate : {44100.0f, 48000.0f, 49920.0f, 96000.0f, 192000.0f}) {
        engine.clearAllVoices();
        engine.setSamplerate(rate);
        std::vector<float> signal;
        std::vector<k1lib::SMidiEvent> events = {noteOn(69, 0)};
        while (signal.size() < rate * 1.5) {
            engine.process(outputs, 2, 1024, events);
            events.clear();  // the caller's events are spent once the block is processed
            signal.insert(signal.end(), left.begin(), left.end());
        }
        const double frequency = signalmeasure::measureFrequency(signal, rate, static_cast<size_t>(rate * 0.3));
        EXPECT_NEAR(1200 * std::log2(frequency / 440.0), 0.0, 0.5) << rate;
    }
}

TEST_F(EngineProcess, SteadyStateProcessingAllocatesNothingEvenWhileParametersRamp) {
    engine.setSamplerate(48000.0f);
    std::vector<k1lib::SMidiEvent> events;
    events.reserve(16);
    for (int k = 0; k < 8; ++k) events.push_back(noteOn(48 + k, k));
    engine.process(outputs, 2, 512, events);
    AllocationCounter counter;
    for (int block = 0; block < 200; ++block) {
        k1lib::SMidiEvent e = noteOn(40 + block % 40, block % 500);
        e.status = block % 2 ? 0x80 : 0x90;
        events.push_back(e);
        // Automation keeps ramps running through the blocks.
        engine.setParameter(k1lib::Param_SourceMix12, static_cast<float>(block % 10) / 10.0f, true);
        if (block % 7 == 0) engine.setParameter(k1lib::Param_VibratoDepth, static_cast<float>(block % 3) / 2.0f, true);
        engine.process(outputs, 2, 1 + (block * 53) % 1024, events);
        events.clear();
    }
    EXPECT_EQ(counter.count(), 0u);
}
