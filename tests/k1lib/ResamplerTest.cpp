// The resampler against a renderer that plays a steady sine and records where events land.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "k1lib/engine/Resampler.h"
#include "tests/support/SignalMeasure.h"

using k1lib::Resampler;
using k1lib::SMidiEvent;

namespace {

constexpr double kEngineRate = 49920.0;
constexpr double kPi = 3.14159265358979323846;

class SineRenderer : public k1lib::AudioRenderer {
public:
    explicit SineRenderer(double frequency) : hz(frequency) {
        handledAt.reserve(1 << 14);
        handledIds.reserve(1 << 14);
    }

    void processAudio(float** outputs, int channels, int samples,
                      const std::vector<SMidiEvent>& events) override {
        size_t e = 0;
        for (int i = 0; i < samples; ++i) {
            while (e < events.size() && (events[e].sampleOffset == i || events[e].sampleOffset < 0)) {
                handledAt.push_back(rendered);
                handledIds.push_back(events[e].data1);
                ++e;
            }
            const float value = static_cast<float>(
                0.5 * std::sin(2 * kPi * hz * static_cast<double>(rendered) / kEngineRate));
            for (int c = 0; c < channels; ++c)
                outputs[c][i] = value;
            ++rendered;
        }
    }

    int64_t position() const { return rendered; }
    std::vector<int64_t> handledAt;
    std::vector<int> handledIds;

private:
    double hz;
    int64_t rendered = 0;
};

SMidiEvent eventAt(int offset, int id) {
    SMidiEvent e;
    e.status = 0x90;
    e.data1 = static_cast<uint8_t>(id);
    e.sampleOffset = offset;
    return e;
}

} // namespace

TEST(Resampler, EventsLandOnTheEngineSampleOfTheirHostOffset) {
    SineRenderer engine(440);
    Resampler resampler(engine, 49920.0f, 44100.0f, 2);
    std::vector<float> left(512), right(512);
    float* outputs[] = {left.data(), right.data()};
    std::vector<SMidiEvent> events = {eventAt(100, 1)};
    resampler.process(outputs, 2, 512, events);
    EXPECT_TRUE(events.empty());
    ASSERT_EQ(engine.handledAt.size(), 1u);
    EXPECT_EQ(engine.handledAt[0], 113);
    EXPECT_EQ(engine.position(), 580 - 1); // trunc(512 x 49920 / 44100)
    EXPECT_FALSE(resampler.hasPendingEvents());
}

TEST(Resampler, EveryEventIsHandledOnceWhateverTheBlockSizes) {
    for (float hostRate : {44100.0f, 96000.0f, 22050.0f}) {
        SineRenderer engine(440);
        Resampler resampler(engine, 49920.0f, hostRate, 1);
        std::mt19937 random(5);
        std::vector<float> out(10000);
        float* outputs[] = {out.data()};
        int64_t host = 0;
        std::vector<int64_t> expected;
        int id = 0;
        for (int block = 0; block < 2000; ++block) {
            const int samples = static_cast<int>(random() % 6000); // 0 and longer than one piece too
            std::vector<SMidiEvent> events;
            if (samples > 0)
                for (int k = 0; k < 3; ++k) {
                    const int offset = static_cast<int>(random() % samples);
                    events.push_back(eventAt(offset, id++ & 0x7F));
                    expected.push_back(
                        static_cast<int64_t>(std::floor((host + offset) * 49920.0L / hostRate)));
                }
            std::sort(events.begin(), events.end(), [](const SMidiEvent& a, const SMidiEvent& b) {
                return a.sampleOffset < b.sampleOffset;
            });
            std::sort(expected.end() - static_cast<long>(events.size()), expected.end());
            resampler.process(outputs, 1, samples, events);
            host += samples;
        }
        std::vector<float> flush(4096);
        float* flushOut[] = {flush.data()};
        std::vector<SMidiEvent> none;
        resampler.process(flushOut, 1, 4096, none);
        ASSERT_EQ(engine.handledAt.size(), expected.size()) << hostRate;
        EXPECT_EQ(engine.handledAt, expected) << hostRate;
        EXPECT_EQ(resampler.underruns(), 0u);
    }
}

TEST(Resampler, SteadySineStaysContinuousWithConstantLatency) {
    const double frequency = 1000.0, hostRate = 44100.0;
    SineRenderer engine(frequency);
    Resampler resampler(engine, 49920.0f, static_cast<float>(hostRate), 2);
    std::mt19937 random(11);
    std::vector<float> signal;
    signal.reserve(static_cast<size_t>(hostRate * 60) + 4096);
    std::vector<float> left(2048), right(2048);
    float* outputs[] = {left.data(), right.data()};
    while (static_cast<double>(signal.size()) < hostRate * 60) {
        const int samples = 1 + static_cast<int>(random() % 2048);
        std::vector<SMidiEvent> none;
        resampler.process(outputs, 2, samples, none);
        signal.insert(signal.end(), left.begin(), left.begin() + samples);
        ASSERT_EQ(std::vector<float>(left.begin(), left.begin() + samples),
                  std::vector<float>(right.begin(), right.begin() + samples));
    }
    EXPECT_EQ(resampler.underruns(), 0u);
    // Find the latency from the first crossing, then the whole minute must follow one ideal sine.
    size_t i = static_cast<size_t>(hostRate * 0.05);
    while (!(signal[i] <= 0 && signal[i + 1] > 0))
        ++i;
    const double crossing = static_cast<float>(i) + signal[i] / (signal[i] - signal[i + 1]);
    double worst = 0;
    for (size_t n = i; n < signal.size(); ++n) {
        const double ideal =
            0.5 * std::sin(2 * kPi * frequency * (static_cast<double>(n) - crossing) / hostRate);
        worst = std::max(worst, std::abs(signal[n] - ideal));
    }
    EXPECT_LT(worst, 0.005); // one engine sample dropped or repeated would be 0.06
}

TEST(Resampler, ChannelCountChangesAndDegenerateCallsAreSafe) {
    SineRenderer engine(440);
    Resampler resampler(engine, 49920.0f, 44100.0f, 2);
    std::vector<std::vector<float>> buffers(10, std::vector<float>(256, 7.0f));
    float* outputs[10];
    for (int c = 0; c < 10; ++c)
        outputs[c] = buffers[c].data();
    std::vector<SMidiEvent> events;
    resampler.process(outputs, 2, 256, events);
    resampler.process(outputs, 8, 256, events);
    EXPECT_NE(buffers[7][200], 7.0f);
    EXPECT_EQ(buffers[8][0], 7.0f); // a ninth channel is never written
    resampler.process(outputs, 10, 256, events);
    EXPECT_EQ(buffers[9][0], 7.0f);
    events = {eventAt(3, 9)};
    resampler.process(nullptr, 0, 256, events); // no channels: events still reach the engine
    EXPECT_EQ(engine.handledIds.back(), 9);
    resampler.process(outputs, 2, 0, events);
    EXPECT_EQ(resampler.underruns(), 0u);
}

// A sine burst from each event that stops dead, so the filters ring after it; quiet once it ended
// unless told never to be.
class BurstRenderer : public k1lib::AudioRenderer {
public:
    explicit BurstRenderer(bool mayBeQuiet) : quietAllowed(mayBeQuiet) {}
    void processAudio(float** outputs, int channels, int samples,
                      const std::vector<SMidiEvent>& events) override {
        size_t e = 0;
        for (int i = 0; i < samples; ++i) {
            for (; e < events.size() && events[e].sampleOffset <= i; ++e)
                burstLeft = 3000;
            const float value = burstLeft > 0 ? static_cast<float>(0.5 * std::sin(0.3 * burstLeft--)) : 0.0f;
            for (int c = 0; c < channels; ++c)
                outputs[c][i] = value;
        }
    }
    bool isQuiet() const override { return quietAllowed && burstLeft == 0; }

private:
    bool quietAllowed;
    int burstLeft = 0;
};

TEST(Resampler, AParkedResamplerSoundsAsOneThatNeverStops) {
    for (float hostRate : {22050.0f, 44100.0f, 96000.0f}) {
        BurstRenderer parking(true), running(false);
        Resampler parked(parking, 49920.0f, hostRate), reference(running, 49920.0f, hostRate);
        std::mt19937 random(7);
        std::vector<float> a(700), b(700);
        float* outA[] = {a.data()};
        float* outB[] = {b.data()};
        int parkedBlocks = 0;
        double worst = 0;
        for (int block = 0; block < 3000; ++block) {
            const int samples = 1 + static_cast<int>(random() % 700);
            std::vector<SMidiEvent> events, same;
            if (block % 100 == 7) events = same = {eventAt(static_cast<int>(random() % samples), 1)};
            parked.process(outA, 1, samples, events);
            reference.process(outB, 1, samples, same);
            parkedBlocks += parked.isParked();
            for (int i = 0; i < samples; ++i)
                worst = std::max(worst, static_cast<double>(std::abs(a[i] - b[i])));
        }
        EXPECT_GT(parkedBlocks, 1000) << hostRate;
        EXPECT_LT(worst, 1e-3) << hostRate; // a tail cut off inside would leave a hundred times more
        EXPECT_EQ(parked.underruns(), 0u);
    }
}

TEST(Resampler, ReportedLatencyIsTheDelayOfASineAtEveryHostRate) {
    // A 100 Hz sine rising through zero at engine sample 0: its output rises through zero a whole
    // number of periods after the latency, and one period is longer than the latency.
    for (float hostRate : {44100.0f, 48000.0f, 96000.0f}) {
        SineRenderer engine(100.0);
        Resampler resampler(engine, 49920.0f, hostRate, 1);
        std::vector<float> signal, block(512);
        float* outputs[] = {block.data()};
        while (static_cast<double>(signal.size()) < hostRate * 0.2) {
            std::vector<SMidiEvent> none;
            resampler.process(outputs, 1, 512, none);
            signal.insert(signal.end(), block.begin(), block.end());
        }
        size_t i = static_cast<size_t>(hostRate * 0.05);
        while (!(signal[i] < 0 && signal[i + 1] >= 0))
            ++i;
        const double crossing = static_cast<float>(i) + signal[i] / (signal[i] - signal[i + 1]);
        EXPECT_NEAR(Resampler::latency(49920.0f, hostRate), std::fmod(crossing, hostRate / 100.0), 0.5)
            << hostRate;
    }
    EXPECT_EQ(Resampler::latency(49920.0f, 49920.0f), 0.0);
}
