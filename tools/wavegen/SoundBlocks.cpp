#include "tools/wavegen/SoundBlocks.h"

#include <algorithm>
#include <cmath>

namespace wavegen {

double seconds(size_t n) {
    return static_cast<double>(n) / Rate;
}

void addPartial(Buffer& out, double hz, double amplitude, double tau, double phase, double attack) {
    const double step = 2.0 * Pi * hz / Rate;
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = seconds(n);
        double envelope = tau > 0.0 ? std::exp(-t / tau) : 1.0;
        if (t < attack) envelope *= t / attack;
        out[n] += amplitude * envelope * std::sin(step * static_cast<double>(n) + phase);
    }
}

void addSweep(Buffer& out, double startHz, double endHz, double glide, double amplitude, double tau) {
    double phase = 0.0;
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = seconds(n);
        const double hz = endHz + (startHz - endHz) * std::exp(-t / glide);
        phase += 2.0 * Pi * hz / Rate;
        out[n] += amplitude * std::exp(-t / tau) * std::sin(phase) * std::min(1.0, t / 0.0005);
    }
}

void addNoise(Buffer& out, Random& random, Biquad filter, double amplitude, double tau, double attack,
              double hold) {
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = seconds(n);
        double envelope = t < hold ? 1.0 : std::exp(-(t - hold) / tau);
        if (t < attack) envelope *= t / attack;
        out[n] += amplitude * envelope * filter.process(random.bipolar());
    }
}

void addLoopedNoise(Buffer& out, Random& random, Biquad filter, double amplitude, double lowPassHz) {
    Buffer white(out.size());
    for (double& w : white)
        w = random.bipolar();
    Biquad top(Biquad::Type::LowPass, lowPassHz > 0.0 ? lowPassHz : Rate / 4.0, 0.707, Rate);
    for (int round = 0; round < 2; ++round)
        for (size_t n = 0; n < out.size(); ++n) {
            double y = filter.process(white[n]);
            if (lowPassHz > 0.0) y = top.process(y);
            if (round == 1) out[n] += amplitude * y;
        }
}

// Every partial and the vibrato complete whole cycles in the buffer, so it wraps seamlessly.
void addLoopedTone(Buffer& out, double hz, const std::vector<double>& levels, int vibratoCycles,
                   double vibratoCents, double phaseOffset) {
    const size_t length = out.size();
    const double cycles = std::round(hz * static_cast<double>(length) / Rate);
    // Phase deviation of a sinusoidal frequency modulation, in cycles of the fundamental.
    const double deviation =
        vibratoCycles > 0 ? cycles * (std::pow(2.0, vibratoCents / 1200.0) - 1.0) / (2.0 * Pi * vibratoCycles)
                          : 0.0;
    for (size_t k = 1; k <= levels.size(); ++k) {
        if (levels[k - 1] == 0.0 ||
            cycles * static_cast<double>(k) * Rate / static_cast<double>(length) > 12000.0)
            continue;
        for (size_t n = 0; n < length; ++n) {
            const double position = static_cast<double>(n) / static_cast<double>(length);
            const double wobble = deviation * std::sin(2.0 * Pi * vibratoCycles * position);
            out[n] +=
                levels[k - 1] * std::sin(2.0 * Pi * static_cast<double>(k) * (cycles * position + wobble) +
                                         phaseOffset * static_cast<double>(k));
        }
    }
}

// A noise burst, combed at the pluck point, circulates through a delay of one period with a two-tap
// loss filter; linear interpolation gives the fractional part of the period.
void addString(Buffer& out, Random& random, double hz, double pluck, double brightness, double tau,
               double amplitude) {
    const double tap = 0.5 * (0.2 + 0.8 * brightness); // loss filter: (1 - tap) x[n] + tap x[n - 1]
    const double delay = Rate / hz - tap;              // the filter delays by tap samples
    const double loss = std::exp(-1.0 / (hz * tau));
    const auto period = static_cast<size_t>(Rate / hz);
    Buffer burst(period);
    for (double& b : burst)
        b = random.bipolar();
    const auto comb = static_cast<size_t>(pluck * static_cast<double>(period));
    Buffer line(out.size() + 2, 0.0);
    for (size_t n = 0; n < out.size(); ++n) {
        double excitation = 0.0;
        if (n < period) excitation = burst[n] - (n >= comb ? burst[n - comb] : 0.0);
        double fed = 0.0;
        const double back = static_cast<double>(n) - delay;
        if (back >= 1.0) {
            const auto i = static_cast<size_t>(back);
            const double frac = back - static_cast<double>(i);
            const double delayed = line[i] * (1.0 - frac) + line[i + 1] * frac;
            const double before = line[i - 1] * (1.0 - frac) + line[i] * frac;
            fed = loss * ((1.0 - tap) * delayed + tap * before);
        }
        line[n] = excitation + fed;
        out[n] += amplitude * line[n];
    }
}

void applyFilter(Buffer& buffer, Biquad filter) {
    for (double& x : buffer)
        x = filter.process(x);
}

void addScaled(Buffer& out, const Buffer& in, double gain) {
    for (size_t n = 0; n < out.size(); ++n)
        out[n] += gain * in[n];
}

void piano(Buffer& out, Random& random, double inharmonicity, double brightness, double decayScale) {
    const double base = PcmRoot / std::sqrt(1.0 + inharmonicity);
    for (int n = 1; n <= 40; ++n) {
        const double hz = n * base * std::sqrt(1.0 + inharmonicity * n * n);
        if (hz > 12000.0) break;
        const double level = std::pow(n, -1.1) * (0.15 + std::abs(std::sin(Pi * n / 7.0))) *
                             std::exp(-(1.0 - brightness) * 0.15 * n);
        const double tau = 1.2 / (1.0 + decayScale * 0.35 * n);
        for (double cents : {-0.7, 0.0, 0.7})
            addPartial(out, hz * std::pow(2.0, cents / 1200.0), level / 3.0, tau, random.uniform() * 2 * Pi);
    }
    addNoise(out, random, Biquad(Biquad::Type::BandPass, 2500.0 + 2000.0 * brightness, 0.7, Rate), 0.15,
             0.003);
}

std::vector<double> sawLevels(int count, double tiltDbPerOctave) {
    std::vector<double> levels(count);
    for (int k = 1; k <= count; ++k)
        levels[k - 1] = fromDb(-tiltDbPerOctave * std::log2(k)) / k;
    return levels;
}

std::vector<double> stringLevels(int count, double hz) {
    std::vector<double> levels = sawLevels(count);
    for (size_t k = 0; k < levels.size(); ++k)
        levels[k] *= rolloff(hz * static_cast<double>(k + 1), 3000.0, 18.0);
    return levels;
}

std::vector<double> shaped(std::vector<double> levels, double hz,
                           std::initializer_list<std::array<double, 3>> resonances) {
    for (size_t k = 1; k <= levels.size(); ++k)
        for (const auto& r : resonances)
            levels[k - 1] *= formant(static_cast<double>(k) * hz, r[0], r[1], r[2]);
    return levels;
}

void addTone(Buffer& out, double hz, const std::vector<double>& levels, double attack, double tau,
             double vibratoHz, double vibratoCents, double scoopCents, double scoopTime) {
    double phase = 0.0;
    for (size_t n = 0; n < out.size(); ++n) {
        const double t = seconds(n);
        const double cents =
            vibratoCents * std::sin(2.0 * Pi * vibratoHz * t) - scoopCents * std::exp(-t / scoopTime);
        phase += 2.0 * Pi * hz * std::pow(2.0, cents / 1200.0) / Rate;
        double envelope = tau > 0.0 ? std::exp(-t / tau) : 1.0;
        if (t < attack) envelope *= 0.5 - 0.5 * std::cos(Pi * t / attack);
        double value = 0.0;
        for (size_t k = 1; k <= levels.size(); ++k)
            if (levels[k - 1] != 0.0 && static_cast<double>(k) * hz < 12000.0)
                value += levels[k - 1] * std::sin(static_cast<double>(k) * phase);
        out[n] += envelope * value;
    }
}

Biquad bandPass(double hz, double q) {
    return Biquad(Biquad::Type::BandPass, hz, q, Rate);
}
Biquad highPass(double hz) {
    return Biquad(Biquad::Type::HighPass, hz, 0.707, Rate);
}
Biquad lowPass(double hz) {
    return Biquad(Biquad::Type::LowPass, hz, 0.707, Rate);
}

void metal(Buffer& out, Random& random, int partials, double lowHz, double highHz, double tau) {
    for (int p = 0; p < partials; ++p) {
        // One draw per statement: the order of draws inside one call would be up to the compiler.
        // The phase comes before the decay, as the image has always had it.
        const double hz = lowHz * std::pow(highHz / lowHz, random.uniform());
        const double phase = random.uniform() * 2 * Pi;
        const double decay = tau * (0.6 + 0.8 * random.uniform());
        addPartial(out, hz, 0.3 / std::sqrt(partials), decay, phase, 0.002);
    }
}

void holdTail(Buffer& out, double tau, double floor) {
    for (size_t n = 0; n < out.size(); ++n)
        out[n] *= std::max(1.0, floor * std::exp(seconds(n) / tau));
}

} // namespace wavegen
