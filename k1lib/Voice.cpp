#include "Voice.h"

#include "Curves.h"
#include "SectionState.h"
#include "SinglePreset.h"
#include "SoundMath.h"
#include "VoiceContext.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace k1lib {

Voice::Voice(const VoiceContext& context, const SinglePreset& single, uint8_t note, uint8_t velocity,
             uint8_t channel, float rate, int transpose, int tune, int level, uint32_t clock)
    : m_context(&context), m_single(&single), m_note(note & 0x7f), m_velocity(velocity & 0x7f),
      m_channel(channel & 0x0f), m_inverseRate(1.0f / usableProcessingRate(rate)), m_clock(clock) {
    // Auto-bend time, lengthened or shortened by key scaling.
    const float keyScale = ksCurveMod(m_note, storedValue(single.keyScaleCurve), false).first;
    const float time = envDelayTime(single.autoBendTime);
    m_autoBendTime = time + keyScale * static_cast<float>(offsetFromCentre(single.autoBendKeyScaleToTime)) *
                                0.02f * time * 0.5f;
    m_inverseAutoBendTime = m_autoBendTime > 0.0f ? 1.0f / m_autoBendTime : 0.0f;

    // Auto-bend depth, scaled by velocity: velocity 127 at full sensitivity gives 1.5 times the depth.
    const int depthOffset = offsetFromCentre(single.autoBendDepth);
    const float depth = autoBendDepth(std::abs(depthOffset)) * (depthOffset < 0 ? -1.0f : 1.0f);
    m_autoBendDepth = depth + (static_cast<float>(m_velocity - 64) / 63.0f) *
                                  static_cast<float>(offsetFromCentre(single.velToDepth)) * 0.02f * depth *
                                  0.5f;

    addSources(m_note, m_velocity, rate, transpose, tune, level);
}

void Voice::addSources(uint8_t note, uint8_t velocity, float rate, int transpose, int tune, int level) {
    const int count = m_single->source2or4 ? 4 : 2;
    for (int k = 0; k < count; ++k) {
        // S1 and S3 modulate S2 and S4 when their pair's amplitude modulation is on.
        const bool pairModulated = (k < 2 ? m_single->ampModS1S2 : m_single->ampModS3S4) != 0;
        const bool muted = m_single->mute[k] != 0;
        const bool modulator = k % 2 == 0 && pairModulated;
        if (muted && !modulator) continue;

        const auto i = static_cast<std::size_t>(m_sourceCount);
        m_sources[i] = Source(*m_context, *m_single, static_cast<uint8_t>(k));
        m_sources[i].init(note, velocity, rate, transpose, tune, level);
        m_gains[i] = muted ? 0.0f : 1.0f;
        m_slots[i] = static_cast<uint8_t>(k);
        m_lastSamples[i] = 0.0f;
        m_envelopeGains[i] = 0.0f;
        ++m_sourceCount;
        if (k % 2 == 1 && pairModulated && m_sourceCount >= 2)
            m_pairs[static_cast<std::size_t>(m_pairCount++)] = {static_cast<uint8_t>(i),
                                                                static_cast<uint8_t>(i - 1)};
    }
}

void Voice::updatePitchModulation(const SectionState& section) {
    if (m_single->autoBendTime == 0) {
        m_pitchModulation = section.vibrato;
        return;
    }
    // The bend falls from its full depth to 0 over the auto-bend time in 1/128 semitone steps;
    // the vibrato then stays off for as long again and fades in over twice that.
    const float t = static_cast<float>(m_clock) * m_inverseRate * m_inverseAutoBendTime;
    const float bend = std::trunc(std::clamp(1.0f - t, 0.0f, 1.0f) * m_autoBendDepth * 128.0f) / 128.0f;
    m_pitchModulation = std::clamp((t - 1.0f) * 0.5f, 0.0f, 1.0f) * section.vibrato + bend;
}

void Voice::process(float mix[MaxSources], const SectionState& section) {
    updatePitchModulation(section);
    const MidiState& channel = (*m_context->midiStates)[m_channel];
    for (int i = 0; i < m_sourceCount; ++i) {
        const auto s = static_cast<std::size_t>(i);
        m_lastSamples[s] = m_sources[s].process(m_envelopeGains[s], m_pitchModulation, channel, section);
    }
    // The modulator's raw wave, without its envelope or level, shapes the carrier.
    for (int p = 0; p < m_pairCount; ++p) {
        const ModulationPair& pair = m_pairs[static_cast<std::size_t>(p)];
        m_lastSamples[pair.carrier] *= m_lastSamples[pair.modulator];
    }
    for (int i = 0; i < m_sourceCount; ++i) {
        const auto s = static_cast<std::size_t>(i);
        const uint8_t slot = m_slots[s];
        mix[slot] += m_context->sourceGains[slot] * m_lastSamples[s] * m_gains[s] * m_envelopeGains[s];
    }
    ++m_clock;
}

void Voice::onNoteOff(uint8_t velocity) {
    for (int i = 0; i < m_sourceCount; ++i)
        m_sources[static_cast<std::size_t>(i)].onNoteOff(velocity);
    m_keyDown = false;
}

void Voice::onNoteOff(uint8_t velocity, uint8_t release) {
    for (int i = 0; i < m_sourceCount; ++i)
        m_sources[static_cast<std::size_t>(i)].onNoteOff(velocity, release);
    m_keyDown = false;
}

bool Voice::isFinished() const {
    for (int i = 0; i < m_sourceCount; ++i)
        if (!m_sources[static_cast<std::size_t>(i)].isFinished()) return false;
    return true;
}

} // namespace k1lib
