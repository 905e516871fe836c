// Channels that share one conversion while their inputs agree must sound exactly as each channel
// converted alone, however their inputs part and meet again.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>

#include "k1lib/engine/Resampler.h"

using k1lib::Resampler;
using k1lib::SMidiEvent;

namespace {

constexpr float kEngineRate = 49920.0f;

// Channel c's sample n at the engine rate.
using Script = std::function<float(int channel, int64_t n)>;

// Plays a script on every channel, or only one of its channels (into output 0), never quiet.
class ScriptRenderer : public k1lib::AudioRenderer {
public:
    ScriptRenderer(Script script, int onlyChannel = -1)
        : playScript(std::move(script)), soloChannel(onlyChannel) {}
    void processAudio(float** outputs, int channels, int samples, const std::vector<SMidiEvent>&) override {
        for (int i = 0; i < samples; ++i, ++position)
            for (int c = 0; c < channels; ++c)
                outputs[c][i] = playScript(soloChannel >= 0 ? soloChannel : c, position);
    }

private:
    Script playScript;
    int soloChannel;
    int64_t position = 0;
};

float tone(int64_t n, double frequency) {
    return static_cast<float>(
        0.4 * std::sin(2.0 * 3.14159265358979 * frequency * static_cast<double>(n) / kEngineRate));
}

struct SharedAndAlone {
    std::vector<std::vector<float>> shared, alone;
    uint64_t sharedConversions = 0;
    uint64_t silentConversions = 0;
};

// Renders channels together in random block sizes, and each channel on its own resampler.
SharedAndAlone render(const Script& script, int channels, float hostRate, int64_t hostSamples) {
    SharedAndAlone result;
    std::mt19937 random(3);
    std::vector<int> blocks;
    for (int64_t done = 0; done < hostSamples;) {
        const int n = static_cast<int>(std::min<int64_t>(1 + random() % 1500, hostSamples - done));
        blocks.push_back(n);
        done += n;
    }
    auto play = [&](k1lib::AudioRenderer& renderer, int count, std::vector<std::vector<float>>& out,
                    uint64_t* silent = nullptr) {
        Resampler resampler(renderer, kEngineRate, hostRate);
        out.assign(static_cast<size_t>(count), std::vector<float>(static_cast<size_t>(hostSamples)));
        std::vector<SMidiEvent> events;
        int64_t position = 0;
        for (int n : blocks) {
            float* pointers[8];
            for (int c = 0; c < count; ++c)
                pointers[c] = out[static_cast<size_t>(c)].data() + position;
            resampler.process(pointers, count, n, events);
            position += n;
        }
        if (silent) *silent = resampler.silentConversions();
        return resampler.sharedConversions();
    };
    ScriptRenderer together(script);
    result.sharedConversions = play(together, channels, result.shared, &result.silentConversions);
    for (int c = 0; c < channels; ++c) {
        ScriptRenderer single(script, c);
        std::vector<std::vector<float>> one;
        play(single, 1, one);
        result.alone.push_back(one[0]);
    }
    return result;
}

void expectBitIdentical(const SharedAndAlone& r, float hostRate) {
    for (size_t c = 0; c < r.alone.size(); ++c) {
        const std::vector<float>& a = r.shared[c];
        const std::vector<float>& b = r.alone[c];
        size_t first = 0;
        while (first < a.size() && std::memcmp(&a[first], &b[first], sizeof(float)) == 0)
            ++first;
        EXPECT_EQ(first, a.size()) << "channel " << c << " at " << hostRate << " Hz departs at host sample "
                                   << first;
    }
}

} // namespace

TEST(ResamplerSharing, PanMovingFromCentreMidNoteSoundsAsEachSideAlone) {
    // Both sides equal, then the pan moves, holds, comes back to the centre and moves again.
    const Script pan = [](int channel, int64_t n) {
        double offset = 0;
        if (n >= 20000 && n < 60000) offset = std::min(static_cast<double>(n - 20000) / 5000.0, 1.0) * 0.3;
        if (n >= 90000) offset = 0.2;
        const double gain = channel == 0 ? 1.0 + offset : 1.0 - offset;
        return static_cast<float>(gain * tone(n, 440.0));
    };
    for (float hostRate : {44100.0f, 48000.0f, 96000.0f}) {
        const SharedAndAlone r = render(pan, 2, hostRate, static_cast<int64_t>(hostRate * 2.5));
        expectBitIdentical(r, hostRate);
        EXPECT_GT(r.sharedConversions, 10u) << hostRate; // the centred stretches were shared
    }
}

TEST(ResamplerSharing, AuxBusesWakingAfterSilenceSoundAsEachBusAlone) {
    // The main pair plays throughout; two of the six silent buses wake, one of them twice.
    const Script buses = [](int channel, int64_t n) {
        if (channel < 2) return tone(n, 330.0);
        if (channel == 5 && ((n >= 60000 && n < 70000) || n >= 110000)) return tone(n, 550.0);
        if (channel == 6 && n >= 80000 && n < 85000) return -tone(n, 220.0);
        return 0.0f;
    };
    for (float hostRate : {44100.0f, 48000.0f}) {
        const SharedAndAlone r = render(buses, 8, hostRate, static_cast<int64_t>(hostRate * 2.6));
        expectBitIdentical(r, hostRate);
        EXPECT_GT(r.sharedConversions, 100u) << hostRate;  // the main pair
        EXPECT_GT(r.silentConversions, 1000u) << hostRate; // the quiet buses
    }
}

TEST(ResamplerSharing, ChannelsThatNeverAgreeAreNeverShared) {
    const Script apart = [](int channel, int64_t n) { return tone(n, 200.0 + 100.0 * channel); };
    const SharedAndAlone r = render(apart, 3, 48000.0f, 48000);
    expectBitIdentical(r, 48000.0f);
    EXPECT_EQ(r.sharedConversions, 0u);
}

TEST(ResamplerSharing, TheLibraryConvertersAreUnderstoodAtEveryRate) {
    // Otherwise every channel silently converts on its own again.
    for (double hostRate : {22050.0, 44100.0, 48000.0, 96000.0, 192000.0})
        EXPECT_TRUE(k1lib::ResamplerHandles(hostRate / kEngineRate).canCopy()) << hostRate;
}
