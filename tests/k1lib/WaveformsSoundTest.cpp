// Checks that the generated wave ROM sounds as designed: band-limited single-cycle tables, pitched
// samples at the PCM root, clean loop points. Also leaves a few renders (listen_*.wav) beside the
// test executable for listening.
#include "k1lib/constants/K1Constants.h"
#include "k1lib/voice/WavLoader.h"
#include "k1lib/voice/Waveforms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using k1lib::Waveforms;

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr std::array<int, 5> TableKeys = {0, 48, 60, 72, 84};
constexpr std::array<int, 5> HarmonicCaps = {127, 90, 45, 22, 10};
constexpr double PcmRoot = 415.28961;

const Waveforms& waveforms() {
    static const auto instance = std::make_unique<Waveforms>();
    return *instance;
}

// Power of harmonics 1..128 of a 256-sample table.
std::array<double, 129> harmonicPower(const int8_t* table) {
    std::array<double, 129> power{};
    for (int k = 1; k <= 128; ++k) {
        double re = 0.0, im = 0.0;
        for (int i = 0; i < 256; ++i) {
            re += table[i] * std::cos(2.0 * Pi * k * i / 256.0);
            im += table[i] * std::sin(2.0 * Pi * k * i / 256.0);
        }
        power[k] = re * re + im * im;
    }
    return power;
}

double db(double ratio) {
    return 10.0 * std::log10(ratio);
}

// Fundamental by normalised autocorrelation: the first strong peak between 125 and 830 Hz, refined
// by a parabola through its neighbours.
double fundamentalHz(const int8_t* samples, size_t length, double rate) {
    auto correlation = [&](size_t lag) {
        double sum = 0.0, energyA = 0.0, energyB = 0.0;
        for (size_t i = 0; i + lag < length; ++i) {
            sum += samples[i] * samples[i + lag];
            energyA += samples[i] * samples[i];
            energyB += samples[i + lag] * samples[i + lag];
        }
        return sum / std::sqrt(energyA * energyB + 1e-9);
    };
    std::vector<double> r(402, 0.0);
    for (size_t lag = 59; lag <= 401; ++lag)
        r[lag] = correlation(lag);
    const double best = *std::max_element(r.begin() + 60, r.begin() + 401);
    for (size_t lag = 60; lag <= 400; ++lag) {
        if (r[lag] >= 0.85 * best && r[lag] >= r[lag - 1] && r[lag] >= r[lag + 1]) {
            const double a = r[lag - 1], b = r[lag], c = r[lag + 1];
            const double offset = 0.5 * (a - c) / (a - 2.0 * b + c);
            return rate / (static_cast<double>(lag) + offset);
        }
    }
    return 0.0;
}

// Strength of the partial at hz, over a Hann window.
double partialLevel(const int8_t* samples, size_t length, double hz, double rate) {
    std::complex<double> sum = 0.0, phase = 1.0;
    const std::complex<double> step = std::polar(1.0, -2.0 * Pi * hz / rate);
    for (size_t i = 0; i < length; ++i, phase *= step)
        sum +=
            phase * (samples[i] *
                     (0.5 - 0.5 * std::cos(2.0 * Pi * static_cast<double>(i) / static_cast<double>(length))));
    return std::abs(sum);
}

// The strongest partial within 30 cents of the root, in cents from it.
double fundamentalCents(const int8_t* samples, size_t length, double rate) {
    double best = 0.0, bestCents = 0.0;
    for (double cents = -30.0; cents <= 30.0; cents += 0.5) {
        const double level = partialLevel(samples, length, PcmRoot * std::pow(2.0, cents / 1200.0), rate);
        if (level > best) {
            best = level;
            bestCents = cents;
        }
    }
    return bestCents;
}

int peakOf(const int8_t* samples, size_t length) {
    int peak = 0;
    for (size_t i = 0; i < length; ++i)
        peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    return peak;
}

double rms(const int8_t* samples, size_t length) {
    double sum = 0.0;
    for (size_t i = 0; i < length; ++i)
        sum += samples[i] * samples[i];
    return std::sqrt(sum / static_cast<double>(length));
}

// One-shot names that play the segment of a "Loop" or "Alt" wave (a sustain, a hat) share its
// ending, which is built for looping rather than for silence.
bool sharesALoopedSegment(int n) {
    const auto& d = waveforms().getData(static_cast<uint8_t>(n), 60);
    for (int wave = k1lib::kFirstSampledWave; wave < k1lib::kWaveCount; ++wave) {
        const auto m = static_cast<uint8_t>(wave);
        const auto& other = waveforms().getData(m, 60);
        if (!waveforms().isLoop(m) || waveforms().isSpan(m)) continue;
        if (other.data == d.data) return true;
        if (waveforms().isAlternating(static_cast<uint8_t>(m)) && other.length == 2 * d.length &&
            std::equal(d.data, d.data + d.length, other.data))
            return true;
    }
    return false;
}

// Beside the test executable, i.e. in the build tree, wherever the tests are started from.
std::filesystem::path renderFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

} // namespace

TEST(WaveformsSoundTest, SingleCycleTablesAreBandLimited) {
    for (int n = 0; n < k1lib::kFirstSampledWave; ++n) {
        for (int t = 0; t < 5; ++t) {
            const auto power = harmonicPower(
                waveforms().getData(static_cast<uint8_t>(n), static_cast<uint8_t>(TableKeys[t])).data);
            double total = 0.0, above = 0.0;
            // The sines (0-12) are pure at every key; the rest stop at their table's harmonic cap.
            const int pure = n < 12 ? n + 1 : n == 12 ? 16 : 0;
            for (int k = 1; k <= 128; ++k) {
                total += power[k];
                if (pure ? k != pure : k > HarmonicCaps[t]) above += power[k];
            }
            ASSERT_GT(total, 0.0);
            EXPECT_LT(db(above / total), -40.0) << "wave " << n << " table " << t;
        }
    }
}

TEST(WaveformsSoundTest, SingleCycleWavesAreDistinctAndLoud) {
    std::vector<std::vector<int8_t>> seen;
    for (int n = 0; n < k1lib::kFirstSampledWave; ++n) {
        std::vector<int8_t> wave;
        int peak = 0;
        double quietest = 1e9, loudest = 0.0;
        for (int key : TableKeys) {
            const int8_t* table =
                waveforms().getData(static_cast<uint8_t>(n), static_cast<uint8_t>(key)).data;
            wave.insert(wave.end(), table, table + 256);
            peak = std::max(peak, peakOf(table, 256));
            quietest = std::min(quietest, rms(table, 256));
            loudest = std::max(loudest, rms(table, 256));
        }
        EXPECT_GE(peak, 120) << "wave " << n; // one gain per wave, its loudest table at full scale
        EXPECT_LT(20.0 * std::log10(loudest / quietest), 1.0)
            << "wave " << n << ": loudness jumps between ranges";
        for (size_t other = 0; other < seen.size(); ++other)
            EXPECT_NE(seen[other], wave) << "waves " << other << " and " << n;
        seen.push_back(wave);
    }
}

TEST(WaveformsSoundTest, PitchedSamplesSitAtTheRoot) {
    // Waveform number and where its steady part starts.
    const std::pair<int, size_t> pitched[] = {{224, 4096}, {222, 0},    {229, 0},    {232, 0},    {213, 2048},
                                              {214, 0},    {217, 2048}, {231, 0},    {223, 1024}, {225, 4096},
                                              {216, 2048}, {215, 2048}, {230, 4096}, {221, 4096}, {220, 2048},
                                              {227, 4096}, {228, 4096}, {219, 1024}, {218, 0}};
    for (const auto& [n, start] : pitched) {
        const auto& d = waveforms().getData(static_cast<uint8_t>(n), 60);
        const size_t length = std::min<size_t>(32768, d.length - start);
        // The period says which note it is (no octave or fifth error); the partial pins it down.
        const double hz = fundamentalHz(d.data + start, length, 50000.0);
        EXPECT_LT(std::abs(1200.0 * std::log2(hz / PcmRoot)), 25.0)
            << Waveforms::getName(static_cast<uint8_t>(n)) << " at " << hz << " Hz";
        EXPECT_LT(std::abs(fundamentalCents(d.data + start, length, 50000.0)), 5.0)
            << Waveforms::getName(static_cast<uint8_t>(n));
    }
}

TEST(WaveformsSoundTest, LoopsWrapCleanlyAndOneShotsEndInSilence) {
    for (int n = k1lib::kFirstSampledWave; n < k1lib::kWaveCount; ++n) {
        const Waveforms& w = waveforms();
        const auto& d = w.getData(static_cast<uint8_t>(n), 60);
        const std::string name = Waveforms::getName(static_cast<uint8_t>(n));
        EXPECT_GE(peakOf(d.data, d.length), 100) << name; // about -1 dBFS
        // No offset of our own over what plays.
        double sum = 0.0;
        for (size_t i = 0; i < d.length; ++i)
            sum += d.data[i];
        EXPECT_LT(std::abs(sum / static_cast<double>(d.length)), 0.1) << name << " carries an offset";
        if (!w.isLoop(static_cast<uint8_t>(n))) {
            // A one-shot rings out: its last 256 samples at least 48 dB under its peak.
            if (!sharesALoopedSegment(n)) {
                EXPECT_LE(peakOf(d.data + d.length - 256, 256) * 251, peakOf(d.data, d.length)) << name;
            }
            continue;
        }
        if (w.isAlternating(static_cast<uint8_t>(n))) {
            // Ping-pong: a steady ring, without pumping of more than 2 dB between 50 ms stretches.
            double quietest = 1e9, loudest = 0.0;
            for (size_t start = 0; start + 2500 <= d.length; start += 500) {
                quietest = std::min(quietest, rms(d.data + start, 2500));
                loudest = std::max(loudest, rms(d.data + start, 2500));
            }
            EXPECT_LE(20.0 * std::log10(loudest / quietest), 2.0) << name << " pumps";
            continue;
        }
        if (w.isSpan(static_cast<uint8_t>(n))) continue; // collages of several segments
        int largestStep = 0;
        for (size_t i = d.length - 32; i < d.length - 1; ++i)
            largestStep = std::max(largestStep, std::abs(d.data[i + 1] - d.data[i]));
        for (size_t i = 0; i < 32; ++i)
            largestStep = std::max(largestStep, std::abs(d.data[i + 1] - d.data[i]));
        const int wrap = std::abs(d.data[0] - d.data[d.length - 1]);
        EXPECT_LE(wrap, largestStep + 2) << name;
    }
}

// A loop holds its level: over its own length (wrapping round) no 20 ms stretch is more than 3 dB
// louder than another, so a held note neither pumps nor beats.
TEST(WaveformsSoundTest, LoopsHoldTheirLevel) {
    for (int n = k1lib::kFirstSampledWave; n < k1lib::kWaveCount; ++n) {
        const Waveforms& w = waveforms();
        const auto wave = static_cast<uint8_t>(n);
        // Spans are collages of other segments, ping-pongs are checked above, and a loop of a
        // one-shot's segment (the snare's roll) repeats its strike by design.
        if (!w.isLoop(wave) || w.isSpan(wave) || w.isAlternating(wave)) continue;
        const auto& d = w.getData(wave, 60);
        if (d.data[d.length - 1] == 0 && d.data[d.length - 2] == 0) continue;
        std::vector<int8_t> wrapped(d.data, d.data + d.length);
        wrapped.insert(wrapped.end(), d.data, d.data + 1000);
        double quietest = 1e9, loudest = 0.0;
        for (size_t start = 0; start < d.length; start += 500) {
            quietest = std::min(quietest, rms(wrapped.data() + start, 1000));
            loudest = std::max(loudest, rms(wrapped.data() + start, 1000));
        }
        EXPECT_LE(20.0 * std::log10(loudest / quietest), 3.0) << Waveforms::getName(wave) << " pumps";
    }
}

TEST(WaveformsSoundTest, RendersReadBackFromWavFiles) {
    // A second of each: single-cycle waves played at A4 through their table, sampled waves as stored.
    const int picks[] = {0, 13, 32, 41, 45, 110, 130, 224, 226, 234, 254};
    for (int n : picks) {
        const auto& d = waveforms().getData(static_cast<uint8_t>(n), 69);
        std::vector<float> render(n < k1lib::kFirstSampledWave ? 50000 : d.length);
        const double step = n < k1lib::kFirstSampledWave ? 440.0 / d.rootFrequency : 1.0;
        for (size_t i = 0; i < render.size(); ++i) {
            const double position = static_cast<double>(i) * step;
            const auto index = static_cast<uint64_t>(position);
            const double frac = position - static_cast<double>(index);
            const int a = d.data[index % d.length], b = d.data[(index + 1) % d.length];
            render[i] = static_cast<float>((a + (b - a) * frac) / 128.0);
        }
        const std::string path = (renderFolder() / ("listen_" + std::to_string(n) + ".wav")).string();
        ASSERT_TRUE(k1lib::WavLoader::write(path, render, 50000, nullptr));
        std::vector<float> back;
        int rate = 0;
        ASSERT_TRUE(k1lib::WavLoader::load(back, rate, nullptr, path));
        EXPECT_EQ(rate, 50000);
        EXPECT_EQ(back, render) << path;
    }
}
