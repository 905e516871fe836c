#pragma once
// Measures the sound tests apply to renders at a given rate: levels, spectral centroid and the
// span of a pitch modulation.
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace soundmeasure {

inline float decibels(double gain) {
    return static_cast<float>(20.0 * std::log10(std::max(gain, 1e-9)));
}

inline double peak(const std::vector<float>& x) {
    double p = 0.0;
    for (float v : x)
        p = std::max(p, static_cast<double>(std::fabs(v)));
    return p;
}

inline double rms(const std::vector<float>& x, size_t from = 0, size_t to = SIZE_MAX) {
    to = std::min(to, x.size());
    if (from >= to) return 0.0;
    double sum = 0.0;
    for (size_t i = from; i < to; ++i)
        sum += static_cast<double>(x[i]) * x[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

// Spectral centroid in Hz of the 2048 samples from a point on, through a Hann window.
inline double centroid(const std::vector<float>& x, size_t from, double rate) {
    constexpr size_t N = 2048;
    if (from + N > x.size()) return 0.0;
    std::vector<std::complex<double>> a(N);
    for (size_t i = 0; i < N; ++i)
        a[i] = x[from + i] * (0.5 - 0.5 * std::cos(2.0 * M_PI * static_cast<double>(i) / N));
    for (size_t i = 1, j = 0; i < N; ++i) { // bit-reversed order, then radix-2 butterflies
        size_t bit = N >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= N; len <<= 1) {
        const std::complex<double> w = std::polar(1.0, -2.0 * M_PI / static_cast<double>(len));
        for (size_t i = 0; i < N; i += len) {
            std::complex<double> v = 1.0;
            for (size_t k = 0; k < len / 2; ++k, v *= w) {
                const std::complex<double> odd = a[i + k + len / 2] * v;
                a[i + k + len / 2] = a[i + k] - odd;
                a[i + k] += odd;
            }
        }
    }
    double weighted = 0.0, total = 0.0;
    for (size_t k = 1; k < N / 2; ++k) {
        weighted += std::norm(a[k]) * static_cast<double>(k) * rate / N;
        total += std::norm(a[k]);
    }
    return total > 0.0 ? weighted / total : 0.0;
}

// Peak-to-peak of a pitch modulation (semitones) over a stretch.
inline double span(const std::vector<float>& modulation, size_t from, size_t to) {
    to = std::min(to, modulation.size());
    if (from >= to) return 0.0;
    const auto [low, high] = std::minmax_element(modulation.begin() + static_cast<long>(from),
                                                 modulation.begin() + static_cast<long>(to));
    return static_cast<double>(*high - *low);
}

} // namespace soundmeasure
