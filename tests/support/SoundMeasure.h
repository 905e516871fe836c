#pragma once
// Measures the sound tests apply to renders at a given rate: levels and the span of a pitch
// modulation.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ZYK_SOUND_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define ZYK_SOUND_SANITIZED 1
#endif
#endif

namespace soundmeasure {

// The renders over every factory preset take minutes in an unoptimised sanitizer build, so there
// they hear every 16th preset: the same code paths, a sixteenth of the time.
#ifdef ZYK_SOUND_SANITIZED
inline constexpr size_t kEvery = 16;
#else
inline constexpr size_t kEvery = 1;
#endif

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
