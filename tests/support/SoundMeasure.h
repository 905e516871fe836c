#pragma once
// Measures the sound tests apply to renders at a given rate: levels and the span of a pitch
// modulation.
#include <algorithm>
#include <cmath>
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

// Peak-to-peak of a pitch modulation (semitones) over a stretch.
inline double span(const std::vector<float>& modulation, size_t from, size_t to) {
    to = std::min(to, modulation.size());
    if (from >= to) return 0.0;
    const auto [low, high] = std::minmax_element(modulation.begin() + static_cast<long>(from),
                                                 modulation.begin() + static_cast<long>(to));
    return static_cast<double>(*high - *low);
}

} // namespace soundmeasure
