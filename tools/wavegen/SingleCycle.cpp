#include "tools/wavegen/SingleCycle.h"

#include "k1lib/wavenames/WaveformNames.h"
#include "tools/wavegen/Dsp.h"
#include "tools/wavegen/Random.h"
#include "tools/wavegen/RomImage.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

namespace wavegen {

namespace {

constexpr int Tables = 5;
constexpr int Harmonics = 127;
constexpr int HalfPeriod = 128;
// Each table's key range is played up to its top key plus two semitones of bend and vibrato at
// 49,920 Hz; these are the highest harmonics that stay below Nyquist there (table 4 gives up at
// the top keys, as the instrument does).
constexpr std::array<int, Tables> HarmonicCaps = {127, 90, 45, 22, 10};
// Spectral shapes in Hz are placed for the centre key of each range.
constexpr std::array<int, Tables> CentreKeys = {36, 54, 66, 78, 96};

using Spectrum = std::array<double, Harmonics + 1>; // index = harmonic number, 0 unused

double keyHz(int key) {
    return 440.0 * std::pow(2.0, (key - 69) / 12.0);
}
double db(double value) {
    return fromDb(value);
}

struct Voice {
    std::string family; // name without its trailing number
    int number = 0;     // the trailing number of names like "Piano 3", else 0
    int variant = 0;    // how many earlier waves carry the same name
    int wave = 0;
};

Voice voiceOf(int wave) {
    const auto nameOf = [](int w) { return std::string(k1lib::g_waveformNames[w] + 5); };
    Voice v;
    v.wave = wave;
    const std::string name = nameOf(wave);
    for (int w = 0; w < wave; ++w)
        v.variant += nameOf(w) == name;
    const size_t space = name.rfind(' ');
    if (space != std::string::npos && std::isdigit(static_cast<unsigned char>(name[space + 1]))) {
        v.family = name.substr(0, space);
        v.number = std::atoi(name.c_str() + space + 1);
    } else {
        v.family = name;
    }
    return v;
}

bool is(const Voice& v, const char* family) {
    return v.family == family;
}

// Amplitudes on selected harmonics: pairs of (harmonic, dB).
double partials(int k, std::initializer_list<std::pair<int, double>> set) {
    for (const auto& [harmonic, level] : set)
        if (k == harmonic) return db(level);
    return 0.0;
}

double drawbars(int k, const std::array<int, 9>& levels) {
    static constexpr std::array<int, 9> feet = {1, 2, 3, 4, 6, 8, 10, 12, 16};
    for (size_t i = 0; i < feet.size(); ++i)
        if (k == feet[i] && levels[i] > 0) return db(-3.0 * (8 - levels[i]));
    return 0.0;
}

double saw(int k) {
    return 1.0 / k;
}

double sawFamily(int n, int k, double hz) {
    if (n == 1) return saw(k);
    if (n <= 5) return saw(k) * (k > 4 ? db(-3.0 * (n - 1) * std::log2(k / 4.0)) : 1.0);
    if (n <= 9) return saw(k) * formant(k, std::array{3, 5, 8, 12}[n - 6], 12.0, 0.25);
    if (n <= 12) return saw(k) * (1.0 + 0.8 * std::cos(Pi * k / std::array{3, 5, 7}[n - 10]));
    if (n <= 15) return saw(k) * (k % 2 == 0 ? db(-6.0 * (n - 12)) : 1.0);
    switch (n) {
    case 16:
        return saw(k) + (k % 2 == 0 ? 0.7 * saw(k / 2) : 0.0);
    case 17:
        return saw(k) + (k % 3 == 0 ? 0.6 * saw(k / 3) : 0.0);
    case 18:
        return saw(k) * (hz > 1500.0 ? db(6.0) : 1.0);
    default:
        return saw(k) * (0.25 + std::abs(std::sin(Pi * k / 6.0))); // hollow, notched every 6th
    }
}

double randomMagnitude(int wave, int k) {
    Random random(0x5eed0000u + wave);
    double value = 0.0;
    for (int i = 0; i < k; ++i)
        value = random.uniform();
    return value * std::pow(k, -0.7);
}

double organ(const Voice& v, int k) {
    if (is(v, "Jazz Organ"))
        return drawbars(k, v.number == 1 ? std::array{8, 8, 8, 0, 0, 0, 0, 0, 0}
                                         : std::array{8, 8, 8, 6, 0, 0, 0, 0, 4});
    if (is(v, "Rock Organ"))
        return drawbars(k, v.number == 1 ? std::array{8, 8, 8, 8, 0, 0, 0, 0, 8}
                                         : std::array{8, 7, 8, 6, 4, 3, 2, 2, 6});
    if (is(v, "Draw Bar"))
        return drawbars(k, v.number == 1 ? std::array{8, 0, 8, 0, 0, 0, 0, 0, 0}
                                         : std::array{6, 8, 4, 6, 0, 4, 0, 0, 0});
    // Pipe organ: a principal chorus with a mixture rank; later numbers add the quint ranks.
    double level = partials(k, {{1, 0}, {2, -2}, {4, -5}, {8, -8}, {16, -11}, {12, -9}});
    if (v.number >= 2) level += partials(k, {{3, -6}, {6, -9}});
    if (v.number >= 3) level += partials(k, {{5, -12}, {10, -14}});
    return level;
}

// The timbre of one wave: the magnitude of harmonic k, which sounds at hz.
double magnitude(const Voice& v, int k, double hz) {
    const double f = std::pow(1.15, v.variant); // formant shift of repeated names
    if (is(v, "Saw")) return sawFamily(v.number, k, hz);
    if (is(v, "Square")) {
        const double duty = std::array{0.5, 1.0 / 3, 0.25, 0.125, 0.0625}[v.number - 1];
        return std::abs(std::sin(Pi * k * duty)) / k;
    }
    if (is(v, "Inverse Saw")) return saw(k);
    if (is(v, "Triangle")) return k % 2 ? 1.0 / (k * k) : 0.0;
    if (is(v, "Random")) return randomMagnitude(v.wave, k);
    if (v.family.find("Organ") != std::string::npos || is(v, "Draw Bar")) return organ(v, k);
    if (is(v, "French Horn") || is(v, "Brass") || is(v, "Trumpet")) {
        // A lip-buzzed tone keeps its upper harmonics: above the main formant the spectrum falls
        // gently, and the bell radiates a second peak around 2.5 kHz, the bite of played brass.
        const double centre = (is(v, "French Horn") ? 500.0 : is(v, "Brass") ? 900.0 : 1200.0) * f;
        return saw(k) * formant(hz, centre, 8.0, 0.8) * formant(hz, 2500.0 * f, 14.0, 0.6) *
               rolloff(hz, centre, 3.0) * rolloff(hz, 5000.0, 12.0);
    }
    if (is(v, "String") || is(v, "Violin") || is(v, "String Pad") || is(v, "Orchestra")) {
        double level = saw(k) * formant(hz, 300.0 * f, 4.0, 0.5) * formant(hz, 1000.0 * f, 5.0, 0.4) *
                       formant(hz, 2800.0 * f, 4.0, 0.4) * formant(hz, 1500.0 * f, -6.0, 0.2);
        if (is(v, "Violin")) level *= formant(hz, 3500.0, 5.0, 0.5);
        if (is(v, "String Pad")) level *= rolloff(hz, 800.0, 6.0);
        if (is(v, "Orchestra")) level += saw(k) * formant(hz, 900.0, 8.0, 0.8) * rolloff(hz, 900.0, 9.0);
        return level * rolloff(hz, 3000.0, 18.0); // the bridge and body damp the top: no fizz
    }
    // A piano's held tone, after the hammer's brightness has died: the upper partials roll off, so
    // a sampled attack over it gets darker as it sounds on. Piano 1 and El Grand hold the sampled
    // grands; the other numbers keep more of their brightness for pianos of two held tones.
    if (is(v, "Piano"))
        return std::pow(k, -1.2) * (0.1 + std::abs(std::sin(Pi * k / (6.0 + v.number)))) *
               (v.number == 1 ? rolloff(hz, 500.0, 12.0) : rolloff(hz, 1000.0, 6.0));
    if (is(v, "El Grand"))
        return std::pow(k, -1.0) * (0.1 + std::abs(std::sin(Pi * k / 8.0))) *
               formant(hz, 2000.0 * f, 6, 0.6) * rolloff(hz, 600.0, 12.0);
    if (is(v, "E Piano"))
        return partials(k, {{1, 0}, {2, -14}, {3, -26}}) +
               (k >= 6 + v.number && k <= 8 + v.number ? db(-12.0 - 3.0 * v.number) : 0.0) + 0.01 / k;
    if (is(v, "Clavi")) return std::abs(std::sin(0.1 * Pi * k * f)) / k * formant(hz, 1800.0, 6.0, 0.7);
    if (is(v, "Harpsichord"))
        return std::pow(k, -0.8) * (0.1 + std::abs(std::sin(Pi * k / 9.0))) * formant(hz, 2000.0 * f, 6, 0.6);
    if (is(v, "Vibe")) return partials(k, {{1, 0}, {4, -6}, {10, -20}});
    if (is(v, "A Guitar") || is(v, "F Guitar") || is(v, "Strat")) {
        const double pluck = is(v, "A Guitar") ? 0.2 : is(v, "F Guitar") ? 0.13 : 0.1;
        return (0.05 + std::abs(std::sin(Pi * k * pluck))) * std::pow(k, -1.5);
    }
    if (is(v, "Harp")) return k % 2 ? 1.0 / (k * k) : 0.02 / (k * k);
    if (is(v, "Koto")) return (0.05 + std::abs(std::sin(Pi * k * 0.08))) * std::pow(k, -1.3);
    if (is(v, "Sitar")) return std::pow(k, -1.2) * formant(hz, 3000.0 * f, 15.0, 0.4);
    if (is(v, "Kalimba")) return partials(k, {{1, 0}, {5, -10}, {7, -16}});
    if (v.family.find("Bass") != std::string::npos || is(v, "Fretless")) {
        double level = (k <= 3 ? 1.0 / k : std::pow(k, -1.5)) * rolloff(hz, 200.0, 9.0);
        if (is(v, "Pick Bass") || is(v, "Slap Bass"))
            level *= formant(hz, (1500.0 + 500.0 * v.number) * f, 10, 0.5);
        if (is(v, "Ac Bass")) level *= formant(hz, 250.0 * f, 6.0, 0.5);
        if (is(v, "Pull Bass")) level *= formant(hz, 900.0 * f, 8.0, 0.4);
        if (is(v, "Fretless")) level *= formant(hz, 600.0 * f, 8.0, 0.5);
        if (is(v, "Round Bass")) level *= rolloff(hz, 300.0, 6.0);
        if (is(v, "Synth Bass"))
            level = saw(k) * formant(hz, 700.0 * f, 12.0, 0.3) * rolloff(hz, 900.0, 12.0);
        if (is(v, "Digi Bass"))
            level = std::abs(std::cyl_bessel_j(k - 1.0, 1.5 + v.number)) * rolloff(hz, 3000, 6);
        return level;
    }
    if (is(v, "Flute")) return partials(k, {{1, 0}, {2, -12}, {3, -20}, {4, -30}});
    if (is(v, "Panflute")) return partials(k, {{1, 0}, {2, -18}, {3, -26}});
    if (is(v, "Shakuhachi")) return partials(k, {{1, 0}, {2, -14}, {3, -22}, {5, -32}});
    if (is(v, "Clarinet")) return (k % 2 ? 1.0 : db(-25.0)) / k * rolloff(hz, 1500.0 * f, 6.0);
    if (is(v, "Oboe")) return saw(k) * formant(hz, 1100.0 * f, 12.0, 0.4) * formant(hz, 2900.0 * f, 8.0, 0.3);
    if (is(v, "Harmonica")) return (k % 2 ? 1.0 : 0.5) / k * formant(hz, 1600.0 * f, 10.0, 0.5);
    if (is(v, "Accordion"))
        return std::pow(k, -0.7) * formant(hz, 2000.0 * f, 6.0, 0.6) * rolloff(hz, 4000, 9);
    if (is(v, "Marimba")) return partials(k, {{1, 0}, {4, -8}, {10, -20}});
    if (is(v, "Xylophone")) return partials(k, {{1, 0}, {3, -4}, {6, -12}});
    if (is(v, "Glocken")) return partials(k, {{1, 0}, {3, -3}, {5, -6}, {9, -10}});
    if (is(v, "Tube Bell")) return partials(k, {{2, 0}, {3, -4}, {4, -6}, {5, -8}, {7, -12}});
    if (is(v, "Bell")) return partials(k, {{1, 0}, {2, -3}, {3, -6}, {5, -9}});
    if (is(v, "Oriental Bell")) return partials(k, {{1, 0}, {2, -6}, {3, -4}, {4, -10}});
    if (is(v, "Steel Drum")) return partials(k, {{1, 0}, {2, -6}, {3, -10}, {5, -14}});
    if (is(v, "Log Drum")) return partials(k, {{1, 0}, {3, -10}});
    if (is(v, "E Tom")) return partials(k, {{1, 0}, {2, -12}});
    if (is(v, "Tine")) return partials(k, {{1, 0}, {4, -9}, {7, -24}});
    if (is(v, "Voice") || is(v, "Mello Pad")) {
        const bool ah = v.number != 2;
        const double f1 = (ah ? 730.0 : 300.0) * f, f2 = (ah ? 1090.0 : 870.0) * f,
                     f3 = (ah ? 2440.0 : 2240.0) * f;
        double level =
            1.0 / (k * k) * formant(hz, f1, 18, 0.3) * formant(hz, f2, 14, 0.3) * formant(hz, f3, 10, 0.3);
        if (is(v, "Mello Pad")) level *= rolloff(hz, 600.0, 6.0);
        return level;
    }
    // Synths: a resonant saw (1), a pulse (2), a hollow odd-harmonic wave (3), a sync-like saw (4)
    // and a bright solo lead.
    switch (v.number) {
    case 1:
        return saw(k) * formant(hz, 1200.0 * f, 15.0, 0.2);
    case 2:
        return std::abs(std::sin(Pi * k * 0.3)) / k * rolloff(hz, 3000.0 * f, 3.0);
    case 3:
        return (k % 2 ? 1.0 : 0.1) / std::pow(k, 1.2) * formant(hz, 2000.0 * f, 8.0, 0.4);
    case 4:
        return saw(k) * formant(k, 6.0, 14.0, 0.15);
    default:
        return saw(k) * formant(hz, 2500.0 * f, 6.0, 1.0);
    }
}

// Sines stay pure and uncut; the rest follow the harmonic caps with a raised-cosine taper.
double window(int k, int cap) {
    const double taperStart = cap * 2.0 / 3.0;
    if (k > cap) return 0.0;
    if (k <= taperStart) return 1.0;
    return 0.5 * (1.0 + std::cos(Pi * (k - taperStart) / (cap - taperStart)));
}

bool isSine(const Voice& v) {
    return v.wave <= 12;
}
int sineHarmonic(int wave) {
    return wave == 12 ? 16 : wave + 1;
}

std::array<Spectrum, Tables> spectra(const Voice& v) {
    std::array<Spectrum, Tables> result{};
    for (int t = 0; t < Tables; ++t) {
        const double fundamental = keyHz(CentreKeys[t]);
        for (int k = 1; k <= Harmonics; ++k) {
            if (isSine(v)) {
                result[t][k] = k == sineHarmonic(v.wave) ? 1.0 : 0.0;
                continue;
            }
            const double variantTilt = db(-3.0 * v.variant * std::log2(k));
            result[t][k] = magnitude(v, k, k * fundamental) * variantTilt * window(k, HarmonicCaps[t]);
        }
    }
    // Equal power in every table: the resonances stay put in Hz, but a key range whose harmonics fall
    // mostly above them must not turn quiet (nor sink towards the 8-bit noise floor).
    const auto power = [](const Spectrum& s) {
        double sum = 0.0;
        for (double b : s)
            sum += b * b;
        return sum;
    };
    const double reference = power(result[0]);
    for (Spectrum& table : result) {
        const double own = power(table);
        if (own > 0.0)
            for (double& b : table)
                b *= std::sqrt(reference / own);
    }
    return result;
}

// The sign of each harmonic: the natural ones for the classic shapes, otherwise the seeded pattern
// with the lowest peak (a low crest factor keeps more of the 8 bits for the signal). The three
// lowest harmonics are always positive, so two waves layered at one pitch start out adding up
// instead of cancelling.
std::array<int, Harmonics + 1> signs(const Voice& v, const Spectrum& richest,
                                     const std::array<double, 512>& sine) {
    std::array<int, Harmonics + 1> best{};
    best.fill(1);
    // A sawtooth's edge sits half a period away from the table's start, so a note starts on a
    // zero crossing of the ramp instead of a step: the same spectrum, shifted by half a period.
    if (is(v, "Saw"))
        for (int k = 2; k <= Harmonics; k += 2)
            best[k] = -1;
    if (is(v, "Inverse Saw"))
        for (int k = 1; k <= Harmonics; k += 2)
            best[k] = -1;
    if (is(v, "Triangle"))
        for (int k = 1; k <= Harmonics; k += 2)
            best[k] = (k / 2) % 2 ? -1 : 1;
    // A pulse's edges: of four sign patterns, the one whose table starts nearest a zero crossing
    // (the value half a sample in), so a note does not start on an edge.
    if (is(v, "Square")) {
        double nearest = 1e30;
        for (const std::array<int, 4> pattern : {std::array{1, 1, 1, 1}, std::array{1, -1, 1, -1},
                                                 std::array{1, -1, -1, 1}, std::array{1, 1, -1, -1}}) {
            double start = 0.0, peak = 0.0;
            for (int i = 0; i < HalfPeriod; ++i) {
                double value = 0.0;
                for (int k = 1; k <= Harmonics; ++k)
                    value += pattern[(k - 1) % 4] * richest[k] * sine[(k * (2 * i + 1)) % 512];
                if (i == 0) start = std::abs(value);
                peak = std::max(peak, std::abs(value));
            }
            if (start / peak < nearest) {
                nearest = start / peak;
                for (int k = 1; k <= Harmonics; ++k)
                    best[k] = pattern[(k - 1) % 4];
            }
        }
    }
    if (isSine(v) || is(v, "Saw") || is(v, "Square") || is(v, "Inverse Saw") || is(v, "Triangle"))
        return best;
    double bestPeak = 1e30;
    Random random(0xc0de0000u + v.wave);
    for (int pattern = 0; pattern < 16; ++pattern) {
        std::array<int, Harmonics + 1> candidate{};
        for (int k = 1; k <= Harmonics; ++k)
            candidate[k] = pattern == 0 || random.next() & 1 || k <= 3 ? 1 : -1;
        double peak = 0.0;
        for (int i = 0; i < HalfPeriod; ++i) {
            double value = 0.0;
            for (int k = 1; k <= Harmonics; ++k)
                if (richest[k] != 0.0) value += candidate[k] * richest[k] * sine[(k * (2 * i + 1)) % 512];
            peak = std::max(peak, std::abs(value));
        }
        if (peak < bestPeak) {
            bestPeak = peak;
            best = candidate;
        }
    }
    return best;
}

} // namespace

void writeSingleCycleWaves(std::vector<unsigned char>& samples) {
    // sin(2 pi k (i + 1/2) / 256) = sine[k (2i + 1) mod 512]: the tables hold sine-phase harmonic sums,
    // which are exactly odd about the table's middle, so the ROM needs only the first half.
    std::array<double, 512> sine{};
    for (int j = 0; j < 512; ++j)
        sine[j] = std::sin(2.0 * Pi * j / 512.0);
    for (int wave = 0; wave < SingleCycleCount; ++wave) {
        const Voice voice = voiceOf(wave);
        const std::array<Spectrum, Tables> spectrum = spectra(voice);
        const auto sign = signs(voice, spectrum[0], sine);
        std::array<std::array<double, HalfPeriod>, Tables> halves{};
        double peak = 0.0;
        for (int t = 0; t < Tables; ++t) {
            for (int i = 0; i < HalfPeriod; ++i) {
                double value = 0.0;
                for (int k = 1; k <= Harmonics; ++k)
                    if (spectrum[t][k] != 0.0)
                        value += sign[k] * spectrum[t][k] * sine[(k * (2 * i + 1)) % 512];
                halves[t][i] = value;
                peak = std::max(peak, std::abs(value));
            }
        }
        // One gain for all five tables, so loudness does not jump between key ranges. Rounding down
        // keeps the mirrored half (-s - 1) as close to the true value as the stored half.
        const double gain = 126.0 / peak;
        unsigned char* block = samples.data() + SampledEnd + wave * SingleCycleBlock;
        for (int t = 0; t < Tables; ++t)
            for (int i = 0; i < HalfPeriod; ++i)
                block[t * HalfPeriod + i] =
                    static_cast<unsigned char>(std::floor(gain * halves[t][i]) + 128.0);
    }
}

} // namespace wavegen
