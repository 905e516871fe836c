#include "tools/wavegen/Sampled.h"

#include "tools/wavegen/RomImage.h"
#include "tools/wavegen/SoundBlocks.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace wavegen {

namespace {

// How a segment is played: once (ends in silence), looped (periodic over its length) or
// ping-pong (decays only partly so the reversed loop stays usable).
enum class Kind { OneShot, Loop, PingPong };

struct Recipe {
    Kind kind;
    std::function<void(Buffer&, Random&)> render;
};

const std::vector<Recipe>& recipes() {
    using B = Buffer;
    using R = Random;
    const double root = PcmRoot;
    static const std::vector<Recipe> list = {
        // 0 Piano
        {Kind::OneShot, [=](B& o, R& r) { piano(o, r, 4e-4, 1.4, 0.8); }},
        // 1 String Sus / String Loop: an ensemble of five saws through the body resonances, bow noise.
        {Kind::Loop,
         [=](B& o, R& r) {
             // Detuned by whole cycles per loop (6 cents apart), centred on the root. The outer players
             // join from the third harmonic on and softer, so their beating only shimmers instead of
             // pumping the level.
             for (int voice = -2; voice <= 2; ++voice) {
                 const double hz = (std::round(root * static_cast<double>(o.size()) / Rate) + voice) * Rate /
                                   static_cast<double>(o.size());
                 auto levels =
                     shaped(stringLevels(28, hz), hz, {{{300, 4, 0.5}}, {{1000, 5, 0.4}}, {{2800, 4, 0.4}}});
                 for (size_t k = 0; k < levels.size(); ++k)
                     levels[k] *= voice == 0 ? 1.0 : k < 2 ? 0.0 : 0.3;
                 addLoopedTone(o, hz, levels, 0, 0.0, voice * 1.3);
             }
             Buffer bow(o.size());
             addLoopedNoise(bow, r, bandPass(2500, 0.8), 0.05);
             addScaled(o, bow, 1.0);
         }},
        // 2 Shakuhachi Sus / Loop: a plain pitch, since a vibrato held in the loop would follow the
        // key and stay when the wheel is down.
        {Kind::Loop,
         [=](B& o, R& r) {
             addLoopedTone(o, root, {1.0, fromDb(-14), fromDb(-22)});
             // Breath, without the hiss above it that a pad built on this loop would carry as fizz.
             addLoopedNoise(o, r, bandPass(2000, 0.7), 0.3, 3000.0);
         }},
        // 3 Voice / Voice Loop: three glottal voices through "ah" formants at a plain pitch (the wheel
        // brings the vibrato); the outer two join from the third harmonic on and softer, so they
        // shimmer instead of pumping.
        {Kind::Loop,
         [=](B& o, R&) {
             for (int voice = -1; voice <= 1; ++voice) {
                 const double hz = (std::round(root * static_cast<double>(o.size()) / Rate) + voice) * Rate /
                                   static_cast<double>(o.size());
                 std::vector<double> glottal(28);
                 for (int k = 1; k <= 28; ++k)
                     glottal[k - 1] = voice == 0 ? 1.0 / (k * k) : k < 3 ? 0.0 : 0.3 / (k * k);
                 addLoopedTone(o, hz,
                               shaped(glottal, hz, {{{730, 18, 0.3}}, {{1090, 14, 0.3}}, {{2440, 10, 0.3}}}),
                               0, 0.0, voice * 2.1);
             }
         }},
        // 4 Crash / Crash Alt
        {Kind::PingPong,
         [=](B& o, R& r) {
             // A slow decay: the ping-pong loop of "Crash Alt" must not pump.
             metal(o, r, 30, 3000, 12000, 5.0);
             addNoise(o, r, highPass(3000), 0.5, 5.0, 0.002);
         }},
        // 5 Strat Guitar
        {Kind::OneShot,
         [=](B& o, R& r) {
             addString(o, r, root, 0.125, 0.1, 1.5, 1.0);
             applyFilter(o, highPass(150));
             applyFilter(o, lowPass(4000)); // the pick's noise smoothed: no step at the start
         }},
        // 6 Fuzz Mute / F Guitar Loop: a clipped saw, steady, through a cabinet low-pass.
        {Kind::Loop,
         [=](B& o, R&) {
             std::vector<double> levels(30);
             for (int k = 1; k <= 30; ++k)
                 levels[k - 1] = (k % 2 ? 1.0 : 0.35) / k * rolloff(k * root, 4000, 12);
             addLoopedTone(o, root, levels);
         }},
        // 7 Guitar Harmo
        {Kind::OneShot,
         [=](B& o, R&) {
             addTone(o, root, {1.0, fromDb(-20)}, 0.005, 1.2);
         }},
        // 8 Ac Tom
        {Kind::OneShot,
         [=](B& o, R& r) {
             addSweep(o, 180, 140, 0.05, 1.0, 0.09);
             addNoise(o, r, bandPass(1500, 0.8), 0.4, 0.01);
         }},
        // 9 Tight Snare
        {Kind::OneShot,
         [=](B& o, R& r) {
             addPartial(o, 240, 0.8, 0.035);
             addNoise(o, r, bandPass(4500, 0.6), 0.8, 0.05);
         }},
        // 10 Ride
        {Kind::OneShot,
         [=](B& o, R& r) {
             metal(o, r, 40, 2500, 10000, 1.2);
             addPartial(o, 5000, 0.2, 0.3);
         }},
        // 11 Pan Flute Sus / Loop
        {Kind::Loop,
         [=](B& o, R& r) {
             addLoopedTone(o, root, {1.0, fromDb(-18)});
             addLoopedNoise(o, r, bandPass(2500, 0.7), 0.25);
         }},
        // 12 Pizzicato
        {Kind::OneShot,
         [=](B& o, R& r) {
             // Rings long enough to carry its level past the strike, so a chord of it is not
             // held down by the coinciding plucks.
             addString(o, r, root, 0.2, 0.6, 0.6, 1.0);
             applyFilter(o, bandPass(1000, 0.5));
         }},
        // 13 White Noise / Loop
        {Kind::Loop,
         [=](B& o, R& r) {
             for (double& x : o)
                 x = r.bipolar();
         }},
        // 14 El Grand
        {Kind::OneShot, [=](B& o, R& r) { piano(o, r, 2e-4, 1.5, 1.2); }},
        // 15 F Guitar: steel strings with body resonances.
        {Kind::OneShot,
         [=](B& o, R& r) {
             addString(o, r, root, 0.2, 0.3, 1.4, 1.0);
             applyFilter(o, lowPass(5000)); // the pick's noise smoothed: no step at the start
             B body(o.size());
             addScaled(body, o, 1.0);
             applyFilter(body, bandPass(220, 2.0));
             addScaled(o, body, 0.8);
         }},
        // 16 A Guitar: nylon, dark.
        {Kind::OneShot,
         [=](B& o, R& r) {
             addString(o, r, root, 1.0 / 3.0, 0.9, 1.2, 1.0);
             applyFilter(o, lowPass(3000)); // a thumb, not a pick: no step at the start
         }},
        // 17 Piano Noise / Alt: a soft thump and thud in a lasting rumble, steady enough for the
        // ping-pong loop.
        {Kind::PingPong,
         [=](B& o, R& r) {
             addNoise(o, r, lowPass(800), 0.06, 0.06);
             addPartial(o, 80, 0.05, 0.06);
             addNoise(o, r, lowPass(1500), 0.5, 10.0);
         }},
        // 18 Pan Flute Attack: a chiff, then the tone swells in.
        {Kind::OneShot,
         [=](B& o, R& r) {
             addNoise(o, r, bandPass(2500, 0.8), 0.8, 0.025);
             addTone(o, root, {1.0, fromDb(-18)}, 0.06, 0.0);
         }},
        // 19 String Attack: the ensemble swelling in, with bow scratch.
        {Kind::OneShot,
         [=](B& o, R& r) {
             addTone(
                 o, root,
                 shaped(stringLevels(28, root), root, {{{300, 4, 0.5}}, {{1000, 5, 0.4}}, {{2800, 4, 0.4}}}),
                 0.04, 0.0);
             addNoise(o, r, bandPass(3500, 1.0), 0.5, 0.02, 0.001, 0.03);
         }},
        // 20 Bowed String: a single violin with vibrato.
        {Kind::OneShot,
         [=](B& o, R&) {
             addTone(o, root, shaped(stringLevels(28, root), root, {{{3000, 6, 0.5}}, {{1000, 4, 0.4}}}),
                     0.03, 0.0, 5.5, 8.0);
         }},
        // 21 Trumpet: harmonics open over 40 ms around a 1.2 kHz formant.
        {Kind::OneShot,
         [=](B& o, R&) {
             const auto levels = shaped(sawLevels(28), root, {{{1200, 10, 0.8}}});
             for (size_t k = 1; k <= levels.size(); ++k) {
                 std::vector<double> single(k, 0.0);
                 single[k - 1] = levels[k - 1];
                 addTone(o, root, single, 0.01 + 0.003 * static_cast<double>(k), 0.0);
             }
         }},
        // 22 Shakuhachi Attack: breath burst and a tone scooping up from 30 cents flat.
        {Kind::OneShot,
         [=](B& o, R& r) {
             addNoise(o, r, bandPass(2000, 0.7), 0.7, 0.04);
             addTone(o, root, {1.0, fromDb(-14), fromDb(-22)}, 0.03, 0.0, 0.0, 0.0, 30.0, 0.03);
         }},
        // 23 Bass Harmo
        {Kind::OneShot,
         [=](B& o, R&) {
             addTone(o, root, {1.0, fromDb(-24)}, 0.003, 0.8);
         }},
        // 24 Rim
        {Kind::OneShot,
         [=](B& o, R& r) {
             addPartial(o, 1700, 0.7, 0.012);
             addPartial(o, 500, 0.5, 0.012);
             addNoise(o, r, highPass(2000), 1.0, 0.002);
         }},
        // 25 Bass Drum
        {Kind::OneShot,
         [=](B& o, R& r) {
             addSweep(o, 150, 50, 0.03, 1.0, 0.12);
             addNoise(o, r, lowPass(3000), 0.5, 0.001);
         }},
        // 26 E Snare
        {Kind::OneShot,
         [=](B& o, R& r) {
             addPartial(o, 180, 0.6, 0.045);
             addPartial(o, 330, 0.4, 0.045);
             addNoise(o, r, highPass(1500), 0.7, 0.07);
         }},
        // 27 Pull Bass / Loop: steady harmonics with a popping formant.
        {Kind::Loop,
         [=](B& o, R&) {
             addLoopedTone(o, root, shaped(sawLevels(12, 3.0), root, {{{1200, 9, 0.4}}}));
         }},
        // 28 Ac Snare (its loop plays as a roll)
        {Kind::OneShot,
         [=](B& o, R& r) {
             addPartial(o, 190, 0.6, 0.06);
             addPartial(o, 330, 0.4, 0.06);
             addNoise(o, r, bandPass(4000, 0.5), 0.9, 0.11);
         }},
        // 29 H Hat / Alt: six square oscillators and noise, high-passed.
        {Kind::PingPong,
         [=](B& o, R& r) {
             for (double hz : {205.3, 304.4, 369.6, 522.7, 540.0, 800.0})
                 for (int k = 1; k < 40; k += 2)
                     addPartial(o, hz * k, 0.1 / k, 0.035, r.uniform() * 2 * Pi);
             addNoise(o, r, highPass(7000), 0.5, 0.035);
             applyFilter(o, highPass(7000));
             holdTail(o, 0.035, 0.8); // a strike, then a steady wash for the "Alt" loop
         }},
    };
    return list;
}

constexpr double PeakLevel = 0.891; // -1 dBFS
constexpr size_t SilentEnd = 320;   // more than the 256 samples a player hears as the end

// A one-shot rings out through its last quarter and ends in true silence, so it never stops while
// still sounding: the fade falls 60 dB before its last tenth. Returns where the fade starts.
size_t decayToSilence(Buffer& buffer) {
    const size_t end = buffer.size() - SilentEnd;
    const size_t fade = buffer.size() / 4;
    for (size_t i = 0; i < fade; ++i) {
        const double x =
            static_cast<double>(i) / static_cast<double>(fade); // 0 at the start of the fade, 1 at its end
        buffer[end - fade + i] *= std::pow(0.5 + 0.5 * std::cos(Pi * x), 4.0);
    }
    std::fill(buffer.begin() + static_cast<long>(end), buffer.end(), 0.0);
    return end - fade;
}

// No offset of our own: the wave is centred over what sounds (for a loop, the whole loop); a silent
// end stays silent.
void removeOffset(Buffer& buffer, size_t sounding) {
    double sum = 0.0;
    for (size_t i = 0; i < sounding; ++i)
        sum += buffer[i];
    const double mean = sum / static_cast<double>(sounding);
    for (size_t i = 0; i < sounding; ++i)
        buffer[i] -= mean;
}

// Scales to the peak level and rounds to unsigned 8 bits with triangular dither of one step up to
// undithered (a fade rounds to true silence instead of ending in dither noise); true silence
// stays silent.
void quantise(const Buffer& buffer, Random& random, size_t undithered, unsigned char* out) {
    double peak = 0.0;
    for (double x : buffer)
        peak = std::max(peak, std::abs(x));
    const double gain = peak > 0.0 ? PeakLevel * 127.0 / peak : 0.0;
    for (size_t n = 0; n < buffer.size(); ++n) {
        const double first = random.uniform(); // two statements: the draws' order is fixed
        const double dither = first - random.uniform();
        const double value =
            buffer[n] == 0.0 ? 0.0 : std::round(buffer[n] * gain + (n < undithered ? dither : 0.0));
        out[n] = static_cast<unsigned char>(std::clamp(value, -128.0, 127.0) + 128.0);
    }
}

} // namespace

void writeSampledSegments(std::vector<unsigned char>& samples) {
    const auto& list = recipes();
    for (int segment = 0; segment < SampledSegmentCount; ++segment) {
        Random random(0x5a3e0000u + segment);
        Buffer buffer(SegmentLengths[segment], 0.0);
        list[segment].render(buffer, random);
        const bool oneShot = list[segment].kind == Kind::OneShot;
        // Centred before the fade: an offset taken off afterwards would hold the faded tail one
        // step off zero up to the end. What offset the fade leaves goes out faded the same way.
        removeOffset(buffer, buffer.size() - (oneShot ? SilentEnd : 0));
        const size_t fadeStart = oneShot ? decayToSilence(buffer) : buffer.size();
        if (oneShot) {
            Buffer fade(buffer.size(), 1.0);
            decayToSilence(fade);
            double offset = 0.0, weight = 0.0;
            for (size_t i = 0; i < buffer.size(); ++i) {
                offset += buffer[i];
                weight += fade[i];
            }
            for (size_t i = 0; i < buffer.size(); ++i)
                buffer[i] -= offset / weight * fade[i];
        }
        quantise(buffer, random, fadeStart, samples.data() + segmentStart(segment));
    }
}

} // namespace wavegen
