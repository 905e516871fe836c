// Sound ends, the engine goes idle, events arrive: nothing sounds between a tail and the next
// note, latency does not move with silences, and block sizes do not change what is rendered.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <numeric>
#include <random>

#include "k1lib/voice/Multi.h"
#include "tests/k1lib/EngineFixture.h"

using k1lib::SMidiEvent;

namespace {

using k1lib::shortMessage;

// A MIDI event at an absolute host sample.
struct TimedEvent {
    int64_t time;
    SMidiEvent event;
};

class EngineSilence : public ::testing::Test {
protected:
    enginetest::RecordingListener listener;
    std::unique_ptr<k1lib::Engine> engineObject;
    int64_t blocksRendered = 0;
    std::vector<float> left = std::vector<float>(4096), right = std::vector<float>(4096);
    float* outputs[2] = {left.data(), right.data()};

    k1lib::Engine& engine() { return *engineObject; }

    static size_t singleNamed(const char* prefix) {
        for (size_t i = 0; i < k1lib::Engine::singleCount(); ++i) {
            const char* name = k1lib::Engine::getFactorySingle(i).name;
            if (std::strncmp(name, prefix, std::strlen(prefix)) == 0) return i;
        }
        ADD_FAILURE() << "no Single named " << prefix;
        return 0;
    }

    // A new engine at this rate playing Single index, replaced by single when one is given.
    void start(float rate, size_t index, const k1lib::SinglePreset* single = nullptr) {
        engineObject = std::make_unique<k1lib::Engine>(&listener, k1lib::PluginType_Vst3);
        engine().setSamplerate(rate);
        if (single) {
            ASSERT_TRUE(engine().setSingle(index, *single));
        }
        ASSERT_TRUE(engine().setSingle(index));
        blocksRendered = 0;
    }

    // One block; its left channel is appended to signal when given.
    void block(int samples, std::vector<SMidiEvent> events = {}, std::vector<float>* signal = nullptr) {
        engine().process(outputs, 2, samples, events);
        ++blocksRendered;
        if (signal) signal->insert(signal->end(), left.begin(), left.begin() + samples);
    }

    // Blocks until every voice has ended, then a tenth of a second more: the tail, however long
    // it stays inside, has played out by then.
    void playOut(int samples, float rate, std::vector<float>* signal = nullptr) {
        for (int n = 0; static_cast<float>(n) < rate * 10 / static_cast<float>(samples) &&
                        engine().getMulti().getActiveVoiceCount() > 0;
             ++n)
            block(samples, {}, signal);
        ASSERT_EQ(engine().getMulti().getActiveVoiceCount(), 0);
        for (int n = 0; static_cast<float>(n) < rate / 10 / static_cast<float>(samples) + 1; ++n)
            block(samples, {}, signal);
    }

    // Renders the timed events from host sample 0 to end in blocks of the sizes size() gives.
    template <typename BlockSize>
    std::vector<float> render(const std::vector<TimedEvent>& timeline, int64_t end, BlockSize size) {
        std::vector<float> signal;
        signal.reserve(static_cast<size_t>(end));
        size_t next = 0;
        for (int64_t position = 0; position < end;) {
            const int samples = static_cast<int>(std::min<int64_t>(size(), end - position));
            std::vector<SMidiEvent> events;
            for (; next < timeline.size() && timeline[next].time < position + samples; ++next) {
                events.push_back(timeline[next].event);
                events.back().sampleOffset = static_cast<int32_t>(timeline[next].time - position);
            }
            block(samples, events, &signal);
            position += samples;
        }
        return signal;
    }
};

// Lag of b against a, from the peak of their cross-correlation within +-range samples.
int lagOf(const std::vector<float>& a, const std::vector<float>& b, int range) {
    int best = 0;
    double bestSum = -1e30;
    for (int lag = -range; lag <= range; ++lag) {
        double sum = 0;
        for (size_t i = static_cast<size_t>(range); i + static_cast<size_t>(range) < a.size(); ++i)
            sum += static_cast<double>(a[i]) * b[static_cast<size_t>(static_cast<int>(i) + lag)];
        if (sum > bestSum) bestSum = sum, best = lag;
    }
    return best;
}

} // namespace

TEST_F(EngineSilence, AfterATailNoteOffControllerAndProgramChangeAreExactSilence) {
    const size_t hat = singleNamed("Hi Hat");
    for (float rate : {44100.0f, 48000.0f})
        for (int samples : {1, 64, 512}) {
            SCOPED_TRACE(testing::Message() << rate << " Hz, blocks of " << samples);
            start(rate, hat);
            std::vector<float> heard;
            block(samples, {shortMessage(0x90, 60, 127)}, &heard);
            block(samples, {shortMessage(0x80, 60, 64)}, &heard);
            playOut(samples, rate, &heard);
            ASSERT_GT(*std::max_element(heard.begin(), heard.end()), 0.01f);
            heard.clear();
            for (const SMidiEvent& e :
                 {shortMessage(0x80, 60, 64), shortMessage(0xB0, 1, 90), shortMessage(0xC0, 3, 0)}) {
                block(samples, {e}, &heard);
                for (int n = 0; n < 2000 / samples + 2; ++n)
                    block(samples, {}, &heard);
            }
            for (size_t i = 0; i < heard.size(); ++i)
                ASSERT_EQ(heard[i], 0.0f) << "sample " << i;
            block(samples, {shortMessage(0x90, 60, 127)}, &heard);
            for (int n = 0; n < 4000 / samples; ++n)
                block(samples, {}, &heard);
            EXPECT_GT(*std::max_element(heard.begin(), heard.end()), 0.01f) << "the next note sounds";
        }
}

TEST_F(EngineSilence, ANoteAfterAThousandSilencesStartsAtTheSameOffsetAsTheFirst) {
    const k1lib::SinglePreset sine = enginetest::sineSingle();
    for (float rate : {44100.0f, 48000.0f, 96000.0f})
        for (int samples : {128, 256, 512}) {
            SCOPED_TRACE(testing::Message() << rate << " Hz, blocks of " << samples);
            start(rate, 0, &sine);
            const int window = 4096;
            auto playNote = [&](std::vector<float>& heard) {
                block(samples, {shortMessage(0x90, 69, 100, 37)}, &heard);
                while (static_cast<int>(heard.size()) < window)
                    block(samples, {}, &heard);
                heard.resize(window);
                block(samples, {shortMessage(0x80, 69, 64)});
                playOut(samples, rate);
            };
            std::vector<float> first, again;
            const int64_t firstBlock = blocksRendered;
            playNote(first);
            for (int gap = 0; gap < 1000; ++gap) {
                for (int n = 0; n < 3; ++n)
                    block(samples);
                block(samples, {shortMessage(0xB0, 1, 0, 17)}); // wakes the engine, changes nothing
            }
            // The note comes back at the same place in the rates' common period, so only the
            // silences in between could move it.
            const auto hostRate = static_cast<int64_t>(rate);
            const int64_t period = hostRate / std::gcd(hostRate, int64_t{49920});
            const int64_t blocksPerPeriod = period / std::gcd(period, int64_t{samples});
            while ((blocksRendered - firstBlock) % blocksPerPeriod != 0)
                block(samples);
            playNote(again);
            EXPECT_EQ(lagOf(first, again, 64), 0);
        }
}

TEST_F(EngineSilence, RendersAgreeWhateverTheBlockSizes) {
    const size_t piano = singleNamed("Grand");
    const float rate = 44100.0f;
    // Notes, overlapping and alone, with silences long enough to go idle in between.
    std::vector<TimedEvent> timeline;
    const int64_t second = 44100;
    for (int64_t at : {int64_t{1000}, second / 2, second / 2 + 3001, 2 * second + 777, 3 * second + 50}) {
        timeline.push_back({at, shortMessage(0x90, static_cast<uint8_t>(48 + at % 24), 100)});
        timeline.push_back({at + 6000, shortMessage(0x80, static_cast<uint8_t>(48 + at % 24), 64)});
    }
    std::sort(timeline.begin(), timeline.end(),
              [](const TimedEvent& a, const TimedEvent& b) { return a.time < b.time; });
    const int64_t end = 4 * second;
    std::vector<std::vector<float>> renders;
    std::mt19937 random(3);
    const std::vector<std::function<int()>> sizes = {[] { return 1; }, [] { return 64; }, [] { return 512; },
                                                     [&] { return 1 + static_cast<int>(random() % 700); }};
    for (const auto& size : sizes) {
        start(rate, piano);
        renders.push_back(render(timeline, end, size));
    }
    ASSERT_GT(*std::max_element(renders[0].begin(), renders[0].end()), 0.01f);
    for (size_t r = 1; r < renders.size(); ++r) {
        float worst = 0;
        for (size_t i = 0; i < renders[0].size(); ++i)
            worst = std::max(worst, std::abs(renders[r][i] - renders[0][i]));
        EXPECT_LT(worst, 1e-6f) << "block sizes " << r;
    }
}

TEST_F(EngineSilence, AnEngineResetMidNoteRendersAsANewOne) {
    const size_t piano = singleNamed("Grand");
    std::vector<TimedEvent> timeline;
    for (int64_t at : {int64_t{300}, int64_t{5000}, int64_t{20000}})
        timeline.push_back({at, shortMessage(0x90, static_cast<uint8_t>(50 + at % 12), 100)});
    timeline.push_back({30000, shortMessage(0xB0, 10, 20)}); // a pan ramp while the notes sound
    const int64_t end = 48000;
    std::mt19937 random(5);
    const auto size = [&] { return 1 + static_cast<int>(random() % 900); };
    start(48000.0f, piano);
    const std::vector<float> first = render(timeline, end, size);
    // Voices, ramps and converters are left mid-way; the host activates again and replays.
    block(333, {shortMessage(0x90, 60, 127)});
    engine().reset();
    const std::vector<float> second = render(timeline, end, size);
    ASSERT_GT(*std::max_element(first.begin(), first.end()), 0.01f);
    ASSERT_EQ(first.size(), second.size());
    EXPECT_EQ(std::memcmp(first.data(), second.data(), first.size() * sizeof(float)), 0);
}

TEST_F(EngineSilence, AResetEngineRendersAsANewOneAtEveryHostRate) {
    const size_t strings = singleNamed("Strings");
    std::vector<TimedEvent> timeline;
    for (int64_t at : {int64_t{100}, int64_t{7000}, int64_t{15000}})
        timeline.push_back({at, shortMessage(0x90, static_cast<uint8_t>(55 + at % 9), 90)});
    timeline.push_back({26000, shortMessage(0x80, 55, 64)});
    // The same block sizes for every render.
    const auto sizes = [] {
        return [random = std::mt19937(7)]() mutable { return 1 + static_cast<int>(random() % 700); };
    };
    for (float rate : {48000.0f, 47999.0f, 22050.0f, 44100.0f, 96000.0f}) {
        SCOPED_TRACE(testing::Message() << rate << " Hz");
        const auto end = static_cast<int64_t>(rate * 0.75f);
        start(rate, strings);
        const std::vector<float> fresh = render(timeline, end, sizes());
        // Another engine is reset while its notes sound, as when the host activates it anew.
        start(rate, strings);
        render(timeline, end / 3, sizes());
        block(517, {shortMessage(0x90, 70, 127)});
        for (int n = 0; n < 9; ++n)
            block(300 + n);
        block(211, {shortMessage(0x90, 48, 60)});
        engine().reset();
        const std::vector<float> reset = render(timeline, end, sizes());
        ASSERT_GT(*std::max_element(fresh.begin(), fresh.end()), 0.01f);
        ASSERT_EQ(fresh.size(), reset.size());
        size_t differing = 0;
        for (size_t i = 0; i < fresh.size(); ++i)
            differing += std::memcmp(&fresh[i], &reset[i], sizeof(float)) != 0 ? 1 : 0;
        EXPECT_EQ(differing, 0u);
    }
}
