#pragma once
// Measures applied to renders at a given rate: levels, the span of a pitch modulation, the swing
// of a held level and the step at a note's start. The generator judges its voicings with them and
// the sound tests check the factory banks with the same ones.
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

// Levels in dB of consecutive frames from..to, stopping before the first frame more than range dB
// under the loudest of them (a decay that has reached silence says nothing more about its swing).
inline std::vector<float> frameLevels(const std::vector<float>& x, size_t from, size_t to, size_t frame,
                                      float range = 50.0f) {
    std::vector<float> levels;
    for (size_t start = from; start + frame <= std::min(to, x.size()); start += frame)
        levels.push_back(decibels(rms(x, start, start + frame)));
    if (levels.empty()) return levels;
    const float loudest = *std::max_element(levels.begin(), levels.end());
    const auto quiet =
        std::find_if(levels.begin(), levels.end(), [&](float l) { return l < loudest - range; });
    levels.erase(quiet, levels.end());
    return levels;
}

// How far levels stray from their trend, peak to peak in dB. The trend is two straight lines
// meeting at one knee (a decay that settles, or a swell that holds), fitted by least squares with
// the knee at the best frame.
inline float swingAroundTrend(const std::vector<float>& levels) {
    const size_t n = levels.size();
    if (n < 4) return 0.0f;
    float best = 1e30f, bestSwing = 0.0f;
    for (size_t knee = 1; knee + 1 < n; ++knee) {
        // Basis 1, t, max(0, t - knee): solve the 3x3 normal equations by Cramer's rule.
        double m[3][3] = {}, v[3] = {};
        for (size_t t = 0; t < n; ++t) {
            const double b[3] = {1.0, static_cast<double>(t), t > knee ? static_cast<double>(t - knee) : 0.0};
            for (int i = 0; i < 3; ++i) {
                v[i] += b[i] * levels[t];
                for (int j = 0; j < 3; ++j)
                    m[i][j] += b[i] * b[j];
            }
        }
        const auto det = [](const double a[3][3]) {
            return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
                   a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
                   a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
        };
        const double d = det(m);
        if (std::fabs(d) < 1e-9) continue;
        double c[3];
        for (int k = 0; k < 3; ++k) {
            double mk[3][3];
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j)
                    mk[i][j] = j == k ? v[i] : m[i][j];
            c[k] = det(mk) / d;
        }
        double error = 0.0, low = 1e30, high = -1e30;
        for (size_t t = 0; t < n; ++t) {
            const double r = levels[t] - (c[0] + c[1] * static_cast<double>(t) +
                                          c[2] * (t > knee ? static_cast<double>(t - knee) : 0.0));
            error += r * r;
            low = std::min(low, r);
            high = std::max(high, r);
        }
        if (error < best) {
            best = static_cast<float>(error);
            bestSwing = static_cast<float>(high - low);
        }
    }
    return bestSwing;
}

// The note-on step against the sound's own steps: the largest sample step within the first
// `onset` samples (from silence before the note), and the RMS of the sample steps over a later
// stretch.
struct StartStep {
    double jump = 0.0;
    double ownSteps = 0.0;
};

inline StartStep startStep(const std::vector<float>& x, size_t onset, size_t from, size_t to) {
    StartStep step;
    float previous = 0.0f;
    for (size_t i = 0; i < std::min(onset, x.size()); ++i) {
        step.jump = std::max(step.jump, static_cast<double>(std::fabs(x[i] - previous)));
        previous = x[i];
    }
    double sum = 0.0;
    size_t count = 0;
    for (size_t i = from + 1; i < std::min(to, x.size()); ++i, ++count)
        sum += static_cast<double>(x[i] - x[i - 1]) * (x[i] - x[i - 1]);
    step.ownSteps = count > 0 ? std::sqrt(sum / static_cast<double>(count)) : 0.0;
    return step;
}

} // namespace soundmeasure
