#include "tools/bankgen/Audition.h"

#include <algorithm>
#include <cmath>
#include <complex>

#include "k1lib/params/Curves.h"
#include "k1lib/voice/SectionState.h"
#include "k1lib/voice/Voice.h"

namespace bankgen {
namespace {
constexpr double kPi = 3.14159265358979323846;
}

Audition::Audition()
    : m_waveforms(std::make_unique<const k1lib::Waveforms>()), m_context(*m_waveforms, m_midi, m_random) {}

std::vector<float> Audition::play(const k1lib::SinglePreset& single, std::initializer_list<int> notes,
                                  int velocity, float held, int transpose, int level) {
    return listen(single, notes, velocity, held, 0.0f, false, transpose, level).samples;
}

Heard Audition::listen(const k1lib::SinglePreset& single, std::initializer_list<int> notes, int velocity,
                       float held, float tail, bool keepModulation, int transpose, int level) {
    m_random = k1lib::Random(7); // the same sampled-wave starts on every call
    k1lib::SectionState section(m_random);
    std::vector<k1lib::Voice> voices;
    for (int note : notes)
        voices.emplace_back(m_context, single, static_cast<uint8_t>(note), static_cast<uint8_t>(velocity), 0,
                            kRate, transpose, 0, level, 0);
    const float gain = k1lib::volume(single.volume);
    const auto heldSamples = static_cast<size_t>(held * kRate);
    const size_t limit = heldSamples + static_cast<size_t>(tail * kRate);
    Heard heard;
    heard.samples.reserve(limit);
    heard.sounding = limit;
    // In runs, as the Multi renders: the section's modulation first, then each voice through the run.
    // Runs of 64 frames: where a voice ended is known to the run, and the measures were set at this
    // resolution.
    constexpr size_t kRun = 64;
    k1lib::PitchFrames frames;
    for (size_t done = 0; done < limit;) {
        if (done == heldSamples)
            for (k1lib::Voice& voice : voices)
                voice.onNoteOff(64);
        const size_t end = done < heldSamples ? heldSamples : limit;
        const int n = static_cast<int>(std::min<size_t>(end - done, kRun));
        for (int i = 0; i < n; ++i) {
            section.update(single, m_midi[0], static_cast<float>(single.pitchBendDepth), kRate, m_random);
            frames.modulation[i] = section.vibrato;
            frames.bend[i] = section.bend;
            frames.pressurePitch[i] = section.pressurePitch;
        }
        frames.findMoves(n);
        float mix[k1lib::kSourceCount][kRun] = {};
        float* const slots[k1lib::kSourceCount] = {mix[0], mix[1], mix[2], mix[3]};
        bool finished = true;
        for (k1lib::Voice& voice : voices)
            finished = voice.process(slots, frames, n) && finished;
        if (finished && heard.sounding == limit) heard.sounding = done;
        for (int i = 0; i < n; ++i) {
            heard.samples.push_back((mix[0][i] + mix[1][i] + mix[2][i] + mix[3][i]) * gain);
            if (keepModulation) heard.modulation.push_back(voices.front().getPitchModulation());
        }
        done += static_cast<size_t>(n);
        if (done > heldSamples && finished) {
            heard.tailSeconds = static_cast<float>(done - heldSamples) / kRate;
            break;
        }
    }
    return heard;
}

double peakOf(const std::vector<float>& samples) {
    double peak = 0.0;
    for (float x : samples)
        peak = std::max(peak, static_cast<double>(std::fabs(x)));
    return peak;
}

double loudestRms(const std::vector<float>& samples) {
    const auto window = static_cast<size_t>(Audition::kRate / 10);
    const size_t hop = window / 4;
    double best = 0.0;
    for (size_t start = 0; start + window <= samples.size(); start += hop) {
        double sum = 0.0;
        for (size_t i = start; i < start + window; ++i)
            sum += static_cast<double>(samples[i]) * samples[i];
        best = std::max(best, sum / static_cast<double>(window));
    }
    return std::sqrt(best);
}

std::vector<double> powerSpectrum(const std::vector<float>& samples, size_t from, int frames) {
    constexpr size_t N = 2048;
    std::vector<double> power(N / 2);
    std::vector<std::complex<double>> a(N);
    for (int frame = 0; frame < frames; ++frame, from += N) {
        if (from + N > samples.size()) break;
        for (size_t i = 0; i < N; ++i)
            a[i] = samples[from + i] * (0.5 - 0.5 * std::cos(2.0 * kPi * static_cast<double>(i) / N));
        for (size_t i = 1, j = 0; i < N; ++i) { // bit-reversed order, then radix-2 butterflies
            size_t bit = N >> 1;
            for (; j & bit; bit >>= 1)
                j ^= bit;
            j ^= bit;
            if (i < j) std::swap(a[i], a[j]);
        }
        for (size_t length = 2; length <= N; length <<= 1) {
            const std::complex<double> w = std::polar(1.0, -2.0 * kPi / static_cast<double>(length));
            for (size_t i = 0; i < N; i += length) {
                std::complex<double> v = 1.0;
                for (size_t k = 0; k < length / 2; ++k, v *= w) {
                    const std::complex<double> odd = a[i + k + length / 2] * v;
                    a[i + k + length / 2] = a[i + k] - odd;
                    a[i + k] += odd;
                }
            }
        }
        for (size_t k = 1; k < N / 2; ++k)
            power[k] += std::norm(a[k]);
    }
    return power;
}

double brightness(const std::vector<float>& samples, size_t from, int frames) {
    const std::vector<double> power = powerSpectrum(samples, from, frames);
    double weighted = 0.0, total = 0.0;
    for (size_t k = 1; k < power.size(); ++k) {
        weighted += power[k] * static_cast<double>(k) * Audition::kRate / 2048.0;
        total += power[k];
    }
    return total > 0.0 ? weighted / total : 0.0;
}

} // namespace bankgen
