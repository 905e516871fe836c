#pragma once
// One oscillator of a voice: plays one waveform of the wave ROM at a pitch, with linear
// interpolation of the 8-bit samples, its own envelope and level. Copied by value with its voice.
#include "Envelope.h"
#include "MidiState.h"
#include "SectionState.h"
#include "SinglePreset.h"
#include "SoundMath.h"
#include "VoiceContext.h"

#include <cstdint>

namespace k1lib {

class Source {
public:
    static constexpr float LowestPitch = -128.0f;       // single-cycle waves
    static constexpr float LowestSampledPitch = 19.94f; // sampled waves (204-255)
    static constexpr int FirstSampledWave = 204;

    Source() = default; // an empty, finished source
    // A finished, silent source playing source `index` (0-3) of the Single; init starts it.
    Source(const VoiceContext& context, const SinglePreset& single, uint8_t index);

    // Note-on: pitch, waveform, start phase, envelope times and level. tune is in 0.02 semitones,
    // level is the section level 0-100.
    void init(uint8_t note, uint8_t velocity, float rate, int transpose, int tune, int level);

    // One sample before the envelope (-1..+1); envelopeGain receives envelope times level.
    // pitchModulation is the voice's vibrato and auto-bend in semitones, channel the controllers of
    // the voice's channel. Inline: this is the engine's innermost loop.
    float process(float& envelopeGain, float pitchModulation, const MidiState& channel,
                  const SectionState& section) {
        const float envelope = m_env.process(m_decayTime, m_sustain, m_rate);
        if (m_env.stage() == Env::Delay) {
            envelopeGain = 0.0f;
            return 0.0f;
        }
        const SingleSource& source = getSource();
        const int pressureDepth = offsetFromCentre(source.levelModPressure);
        envelopeGain =
            envelope * (pressureDepth != 0 ? applyPressure(m_level, pressureDepth, channel) : m_level);
        if (m_ended) return 0.0f; // a one-shot wave played out, or no wave at all

        const uint32_t index = m_phase >> m_shift;
        const float fraction = static_cast<float>(m_phase - (index << m_shift)) * m_inverseUnit;
        const float s0 = m_samples[index];
        const float s1 = m_samples[(index + 1) & m_lengthMask];
        const float value = (s0 + fraction * (s1 - s0)) * (1.0f / 128.0f);

        float pitch = m_pitch + (source.vibABend ? pitchModulation : 0.0f) + section.bend +
                      (source.pressureToFreq ? section.pressurePitch : 0.0f) + m_context->fineTune;
        if (!(pitch >= m_minimumPitch)) pitch = raiseByOctaves(pitch);
        // The step is recomputed only when the pitch moved (NaN never equals itself).
        if (pitch != m_lastPitch) updateStep(pitch);

        const uint32_t previous = m_phase;
        m_phase += m_step;
        if (m_phase < previous && !m_loop) m_ended = true;
        return value;
    }

    void onNoteOff(uint8_t velocity); // releases with the source's own release value
    void onNoteOff(uint8_t velocity, uint8_t release);

    const SingleSource& getSource() const { return m_single->sources[m_index]; }
    bool isFinished() const { return m_ended || m_env.isDone(); }
    float getPitch() const { return m_pitch; }
    const Env& getEnvelope() const { return m_env; }

private:
    void setWaveform(uint8_t wave, int keyIndex);
    void setEnvelopeAndLevel(uint8_t note, uint8_t velocity, int level);
    // The level lowered or raised by channel pressure (depth: the bipolar setting's offset).
    float applyPressure(float gain, int depth, const MidiState& channel) const;
    // Below the lowest pitch a waveform plays, whole octaves are added; a pitch that is not a
    // finite number plays at the lowest pitch.
    float raiseByOctaves(float pitch) const;
    void updateStep(float pitch);

    const VoiceContext* m_context = nullptr;
    const SinglePreset* m_single = nullptr;
    uint8_t m_index = 0;
    float m_pitch = 0.0f; // MIDI note number, 69 = 440 Hz
    Env m_env;
    const int8_t* m_samples = nullptr;
    uint32_t m_lengthMask = 0;
    uint32_t m_phase = 0; // the whole 2^32 range spans the waveform
    float m_inverseUnit = 0.0f;
    uint32_t m_shift = 0; // index = phase >> shift
    uint32_t m_step = 0;
    double m_baseStep = 0.0; // phase step per Hz of output frequency
    float m_rate = 0.0f;
    float m_level = 0.0f;
    float m_decayTime = 0.0f;
    float m_sustain = 0.0f;
    float m_lastPitch = -1.0f;
    bool m_loop = false;
    bool m_ended = true;
    float m_minimumPitch = LowestPitch;
};

} // namespace k1lib
