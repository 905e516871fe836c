#pragma once
// Pitch measured from a rendered signal, for the tests that check what they hear.
#include <cmath>
#include <cstddef>
#include <vector>

namespace signalmeasure {

// Frequency from the rising zero crossings after sample from, interpolated between samples.
inline double measureFrequency(const std::vector<float>& signal, double rate, size_t from = 0) {
    double first = -1.0, last = -1.0;
    int crossings = 0;
    for (size_t i = from + 1; i < signal.size(); ++i) {
        if (signal[i - 1] < 0.0f && signal[i] >= 0.0f) {
            const double t = static_cast<double>(i - 1) + signal[i - 1] / (signal[i - 1] - signal[i]);
            if (first < 0.0) first = t;
            last = t;
            ++crossings;
        }
    }
    return crossings < 2 ? 0.0 : (crossings - 1) * rate / (last - first);
}

inline double cents(double frequency, double reference) {
    return 1200.0 * std::log2(frequency / reference);
}

} // namespace signalmeasure
