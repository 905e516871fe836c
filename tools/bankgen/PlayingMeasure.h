#pragma once
// Measures of a note as a player hears it, applied to renders at a given rate: how soon it stops
// once the key comes up, how long it rings, whether it stops dead, how far its pitch swings and
// how much of its energy lies in a band. The generator and the sound tests share them.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "tools/bankgen/SoundMeasure.h"

namespace soundmeasure {

// RMS over from..from+length, counting samples past the end of x as silence.
inline double paddedRms(const std::vector<float>& x, size_t from, size_t length) {
    double sum = 0.0;
    for (size_t i = from; i < std::min(from + length, x.size()); ++i)
        sum += static_cast<double>(x[i]) * x[i];
    return std::sqrt(sum / static_cast<double>(length));
}

// Seconds from key-off until a 50 ms frame (hopping by 10 ms, timed at its centre) lies 40 dB
// under the 50 ms before key-off. Past the render's end is silence, so render until the voices
// finish; -1 when the render ends first or there was nothing to release.
inline float releaseSeconds(const std::vector<float>& x, size_t keyOff, float rate, bool finished) {
    const auto frame = static_cast<size_t>(0.05f * rate), hop = static_cast<size_t>(0.01f * rate);
    if (keyOff < frame) return -1.0f;
    const double before = paddedRms(x, keyOff - frame, frame);
    if (before <= 0.0) return -1.0f;
    for (size_t t = keyOff; finished || t + frame <= x.size(); t += hop)
        if (paddedRms(x, t, frame) <= before * 0.01) return static_cast<float>(t + frame / 2 - keyOff) / rate;
    return -1.0f;
}

// Seconds from note-on until a 50 ms frame after the loudest lies `fall` dB under it; the length
// of the render when none does.
inline float secondsToFall(const std::vector<float>& x, float fall, float rate) {
    const auto frame = static_cast<size_t>(0.05f * rate), hop = static_cast<size_t>(0.01f * rate);
    std::vector<double> levels;
    for (size_t t = 0; t + frame <= x.size(); t += hop)
        levels.push_back(rms(x, t, t + frame));
    if (levels.empty()) return 0.0f;
    const auto loudest = std::max_element(levels.begin(), levels.end());
    const double under = *loudest * std::pow(10.0, -fall / 20.0);
    const auto fallen = std::find_if(loudest, levels.end(), [&](double l) { return l <= under; });
    return static_cast<float>(static_cast<size_t>(fallen - levels.begin()) * hop + frame / 2) / rate;
}

// The deepest fall in dB within 20 ms from a 5 ms frame above -70 dBFS: a sound that stops dead
// rather than fading. Past the render's end is silence when the voices finished there.
inline float suddenestStop(const std::vector<float>& x, float rate, bool finished) {
    const auto frame = static_cast<size_t>(0.005f * rate);
    const size_t end = x.size() + (finished ? 4 * frame : 0);
    float deepest = 0.0f;
    for (size_t t = 0; t + 5 * frame <= end; t += frame) {
        const float now = decibels(paddedRms(x, t, frame));
        if (now > -70.0f) deepest = std::max(deepest, now - decibels(paddedRms(x, t + 4 * frame, frame)));
    }
    return deepest;
}

// How far a sound has fallen when its voices finish: the 10 ms level just before `end` under its
// loudest 10 ms, in dB (200 when it never sounds or ends in true silence).
inline float fallBeforeEnd(const std::vector<float>& x, size_t end, float rate) {
    const auto window = static_cast<size_t>(0.01f * rate);
    double loudest = 0.0;
    for (size_t t = 0; t + window <= end; t += window / 2)
        loudest = std::max(loudest, rms(x, t, t + window));
    const double last = rms(x, end > window ? end - window : 0, end);
    if (loudest == 0.0 || last == 0.0) return 200.0f;
    return decibels(loudest) - decibels(last);
}

// The swing of a held pitch near hz over from..to, in cents from the lowest to the highest of
// 40 ms frames (half overlapping). Each frame's period comes from the autocorrelation peak at an even number
// of periods (about 8 ms), so sources an octave below or a fifth above keep their common period.
inline float pitchSwingCents(const std::vector<float>& x, size_t from, size_t to, double hz, float rate) {
    const double period = rate / hz;
    const double periods = 2.0 * std::max(1.0, std::round(0.004 * rate / period));
    const double centre = period * periods;
    const auto shortest = static_cast<size_t>(centre * 0.97),
               longest = static_cast<size_t>(centre * 1.03) + 1;
    const auto frame = static_cast<size_t>(0.04f * rate);
    std::vector<float> cents;
    for (size_t t = from; t + frame + longest + 1 <= std::min(to, x.size()); t += frame / 2) {
        std::vector<double> r(longest + 2, 0.0);
        for (size_t lag = shortest - 1; lag <= longest + 1; ++lag) {
            double xy = 0.0, xx = 0.0, yy = 0.0;
            for (size_t n = t; n < t + frame; ++n) {
                xy += static_cast<double>(x[n]) * x[n + lag];
                xx += static_cast<double>(x[n]) * x[n];
                yy += static_cast<double>(x[n + lag]) * x[n + lag];
            }
            r[lag] = xx > 0.0 && yy > 0.0 ? xy / std::sqrt(xx * yy) : 0.0;
        }
        size_t best = shortest;
        for (size_t lag = shortest; lag <= longest; ++lag)
            if (r[lag] > r[best]) best = lag;
        const double a = r[best - 1], b = r[best], c = r[best + 1];
        const double shift = a - 2.0 * b + c < 0.0 ? 0.5 * (a - c) / (a - 2.0 * b + c) : 0.0;
        cents.push_back(static_cast<float>(1200.0 * std::log2(centre / (static_cast<double>(best) + shift))));
    }
    if (cents.size() < 5) return 0.0f;
    std::sort(cents.begin(), cents.end());
    return cents.back() - cents.front();
}

// The share of a power spectrum (bins rate / (2 * bins) Hz apart) between low and high Hz, in dB.
inline float bandShare(const std::vector<double>& power, float rate, double low, double high) {
    double total = 0.0, band = 0.0;
    for (size_t k = 1; k < power.size(); ++k) {
        const double hz = static_cast<double>(k) * rate / (2.0 * static_cast<double>(power.size()));
        total += power[k];
        if (hz >= low && hz < high) band += power[k];
    }
    return total > 0.0 ? static_cast<float>(10.0 * std::log10(std::max(band / total, 1e-30))) : -300.0f;
}

} // namespace soundmeasure
