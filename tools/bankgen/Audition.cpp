#include "Audition.h"

#include <algorithm>
#include <cmath>

#include "Curves.h"
#include "SectionState.h"
#include "Voice.h"

namespace bankgen {

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
                            Rate, transpose, 0, level, 0);
    const float gain = k1lib::volume(single.volume);
    const auto heldSamples = static_cast<size_t>(held * Rate);
    const size_t limit = heldSamples + static_cast<size_t>(tail * Rate);
    Heard heard;
    heard.samples.reserve(limit);
    // In runs, as the Multi renders: the section's modulation first, then each voice through the run.
    k1lib::PitchFrames frames;
    for (size_t done = 0; done < limit;) {
        if (done == heldSamples)
            for (k1lib::Voice& voice : voices)
                voice.onNoteOff(64);
        const size_t end = done < heldSamples ? heldSamples : limit;
        const int n = static_cast<int>(std::min<size_t>(end - done, k1lib::PitchFrames::MaxFrames));
        for (int i = 0; i < n; ++i) {
            section.update(single, m_midi[0], static_cast<float>(single.pitchBendDepth), Rate, m_random);
            frames.modulation[i] = section.vibrato;
            frames.bend[i] = section.bend;
            frames.pressurePitch[i] = section.pressurePitch;
        }
        frames.findMoves(n);
        float mix[k1lib::Voice::MaxSources][k1lib::PitchFrames::MaxFrames] = {};
        float* const slots[k1lib::Voice::MaxSources] = {mix[0], mix[1], mix[2], mix[3]};
        bool finished = true;
        for (k1lib::Voice& voice : voices)
            finished = voice.process(slots, frames, n) && finished;
        for (int i = 0; i < n; ++i) {
            heard.samples.push_back((mix[0][i] + mix[1][i] + mix[2][i] + mix[3][i]) * gain);
            if (keepModulation) heard.modulation.push_back(voices.front().getPitchModulation());
        }
        done += static_cast<size_t>(n);
        if (done > heldSamples && finished) {
            heard.tailSeconds = static_cast<float>(done - heldSamples) / Rate;
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
    const auto window = static_cast<size_t>(Audition::Rate / 10);
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

double brightness(const std::vector<float>& samples) {
    double level = 0.0, slope = 0.0;
    for (size_t i = 1; i < samples.size(); ++i) {
        const double d = static_cast<double>(samples[i]) - samples[i - 1];
        level += static_cast<double>(samples[i]) * samples[i];
        slope += d * d;
    }
    if (level <= 0.0) return 0.0;
    // For a sine of frequency f the slope's power is (2 sin(pi f / rate))^2 times the level's.
    const double ratio = std::min(std::sqrt(slope / level) / 2.0, 1.0);
    return std::asin(ratio) * Audition::Rate / 3.14159265358979323846;
}

} // namespace bankgen
