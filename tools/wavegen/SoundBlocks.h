#pragma once
// Building blocks of the sampled segments: partials, noise, strings and tones rendered into a buffer
// at the ROM rate, each adding to what is already there.
#include "tools/wavegen/Dsp.h"
#include "tools/wavegen/Random.h"
#include "tools/wavegen/RomImage.h"

#include <array>
#include <initializer_list>
#include <vector>

namespace wavegen {

constexpr double Rate = SampleRate;
using Buffer = std::vector<double>;

double seconds(size_t n);

// A decaying sine; tau 0 means no decay.
void addPartial(Buffer& out, double hz, double amplitude, double tau, double phase = 0.0,
                double attack = 0.0005);
// A sine whose pitch glides exponentially from startHz to endHz with time constant glide.
void addSweep(Buffer& out, double startHz, double endHz, double glide, double amplitude, double tau);
// Filtered noise, held for hold seconds, then decaying with tau.
void addNoise(Buffer& out, Random& random, Biquad filter, double amplitude, double tau,
              double attack = 0.0005, double hold = 0.0);
// Noise that repeats exactly every out.size() samples, through a low-pass too where lowPassHz > 0.
void addLoopedNoise(Buffer& out, Random& random, Biquad filter, double amplitude, double lowPassHz = 0.0);
// A harmonic tone that repeats exactly over the buffer (levels[k - 1] is harmonic k), with
// vibratoCycles whole vibrato cycles of vibratoCents depth.
void addLoopedTone(Buffer& out, double hz, const std::vector<double>& levels, int vibratoCycles = 0,
                   double vibratoCents = 0.0, double phaseOffset = 0.0);
// Karplus-Strong string plucked at pluck (fraction of its length); brightness 0 bright, 1 dark.
void addString(Buffer& out, Random& random, double hz, double pluck, double brightness, double tau,
               double amplitude);
// A held tone: raised-cosine attack, decay tau (0 holds), vibrato and a scoop up from scoopCents flat.
void addTone(Buffer& out, double hz, const std::vector<double>& levels, double attack, double tau,
             double vibratoHz = 0.0, double vibratoCents = 0.0, double scoopCents = 0.0,
             double scoopTime = 0.05);
// A stretched-partial piano: three detuned strings per partial and a short hammer thump; brightness
// 1 keeps the partials at their natural levels, below 1 dulls and above 1 lifts the upper ones.
void piano(Buffer& out, Random& random, double inharmonicity, double brightness, double decayScale);
// Inharmonic partials spread over a band, for cymbals.
void metal(Buffer& out, Random& random, int partials, double lowHz, double highHz, double tau);

void applyFilter(Buffer& buffer, Biquad filter);
void addScaled(Buffer& out, const Buffer& in, double gain);
// Keeps the tail of a ping-pong segment from decaying below floor (relative to its start).
void holdTail(Buffer& out, double tau, double floor);

// Sawtooth levels for harmonics 1..count, with an extra tilt.
std::vector<double> sawLevels(int count, double tiltDbPerOctave = 0.0);
// Bowed-string levels for harmonics 1..count of a tone at hz: a sawtooth whose top rolls off above
// 3 kHz, as a bridge and body damp it (no fizz above 8 kHz).
std::vector<double> stringLevels(int count, double hz);
// Harmonic levels of a tone at hz shaped by resonances given as {Hz, dB, width in octaves}.
std::vector<double> shaped(std::vector<double> levels, double hz,
                           std::initializer_list<std::array<double, 3>> resonances);

Biquad bandPass(double hz, double q);
Biquad highPass(double hz);
Biquad lowPass(double hz);

} // namespace wavegen
