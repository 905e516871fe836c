#pragma once
// One oscillator of a voice: plays one waveform of the wave ROM at a pitch, with linear
// interpolation of the 8-bit samples, its own envelope and level. Copied by value with its voice.
#include "k1lib/base/SoundMath.h"
#include "k1lib/constants/K1Constants.h"
#include "k1lib/records/SinglePreset.h"
#include "k1lib/voice/Envelope.h"
#include "k1lib/voice/SectionState.h"
#include "k1lib/voice/VoiceContext.h"

#include <cstdint>

namespace k1lib {

// What all sources of a voice read in one sample, gathered once by the voice.
struct SourceInputs {
    float pitchModulation; // the voice's vibrato and auto-bend, semitones
    float bend;            // the section's pitch bend, semitones
    float pressurePitch;   // the section's pressure to pitch, semitones
    float fineTune;        // the engine's fine tune, semitones
    float pressure;        // the channel pressure 0..1
};

// A run of frames rendered in one go, as a voice's sources see it. Fine tune and pressure only
// change between runs.
struct SourceRun {
    const PitchFrames* pitch;
    float fineTune;
    float pressure;
    bool firstMoved; // frame 0's inputs differ from the voice's frame before
    int frames;

    SourceInputs inputs(int i) const {
        return {pitch->modulation[i], pitch->bend[i], pitch->pressurePitch[i], fineTune, pressure};
    }
    bool moved(int i) const { return i == 0 ? firstMoved : pitch->moved[i]; }
};

class Source {
public:
    static constexpr float kLowestPitch = -128.0f;       // single-cycle waves
    static constexpr float kLowestSampledPitch = 19.94f; // sampled waves (204-255)

    Source() = default; // an empty, finished source
    // A finished, silent source playing source `index` (0-3) of the Single; init starts it.
    Source(const VoiceContext& context, const SinglePreset& single, uint8_t index);

    // Note-on: pitch, waveform, start phase, envelope times and level. tune is in 0.02 semitones,
    // level is the section level 0-100.
    void init(uint8_t note, uint8_t velocity, float rate, int transpose, int tune, int level);

    // A run of frames in three steps, so a voice renders its sources' envelopes side by side:
    // beginRun fills the frames of a delayed start with silence and returns the envelope's share
    // of the run (nothing from frame run.frames on); once every lane is rendered, finishRun writes
    // each frame's sample before the envelope (-1..+1) and returns how many frames ended with the
    // source unfinished. The envelope's share holds its times level.
    Env::Lane beginRun(float* samples, float* envelopeGains, const SourceRun& run);
    int finishRun(float* samples, const SourceRun& run, const Env::Lane& envelope);

    void onNoteOff(uint8_t velocity); // releases with the source's own release value
    void onNoteOff(uint8_t velocity, uint8_t release);

    const SingleSource& getSource() const { return *m_source; }
    bool isFinished() const { return m_ended || m_env.isDone(); }
    float getPitch() const { return m_pitch; }
    const Env& getEnvelope() const { return m_env; }

private:
    void setWaveform(uint8_t wave, int keyIndex);
    void setEnvelopeAndLevel(uint8_t note, uint8_t velocity, int level);
    // The level lowered or raised by channel pressure (depth: the bipolar setting's offset).
    float applyPressure(float gain, int depth, float pressure) const;
    // Below the lowest pitch a waveform plays, whole octaves are added; a pitch that is not a
    // finite number plays at the lowest pitch.
    float raiseByOctaves(float pitch) const;
    // The wave from frame start of a run on, into samples; stops early after the frame that ends
    // a one-shot wave. Returns the frame after the last one written.
    int renderWave(float* samples, const SourceRun& run, int start);
    void updatePitch(const SourceInputs& in);
    void forgetPitchInputs() { m_pitchVibABend = m_pitchPressure = kNoRouting; }
    void updateStep(float pitch);

    const VoiceContext* m_context = nullptr;
    const SinglePreset* m_single = nullptr;
    const SingleSource* m_source = nullptr; // m_single's source this one plays
    float m_pitch = 0.0f;                   // MIDI note number, 69 = 440 Hz
    Env m_env;
    const int8_t* m_samples = nullptr;
    uint32_t m_lengthMask = 0;
    uint32_t m_phase = 0; // the whole 2^32 range spans the waveform
    float m_inverseUnit = 0.0f;
    uint32_t m_shift = 0;        // index = phase >> shift
    uint32_t m_fractionMask = 0; // the phase bits below the index
    uint32_t m_step = 0;
    double m_baseStep = 0.0; // phase step per Hz of output frequency
    float m_rate = 0.0f;
    float m_level = 0.0f;
    float m_decayTime = 0.0f;
    float m_sustain = 0.0f;
    float m_lastPitch = -1.0f;
    // The source's vibABend and pressureToFreq when the pitch was last taken; a value the
    // fields never hold forces the next update.
    static constexpr uint32_t kNoRouting = 0xffffffff;
    uint32_t m_pitchVibABend = kNoRouting;
    uint32_t m_pitchPressure = kNoRouting;
    bool m_loop = false;
    bool m_ended = true;
    float m_minimumPitch = kLowestPitch;
};

} // namespace k1lib
