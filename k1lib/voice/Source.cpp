#include "k1lib/voice/Source.h"

#include "k1lib/base/Random.h"
#include "k1lib/base/SoundMath.h"
#include "k1lib/base/WaveFrames.h"
#include "k1lib/params/Curves.h"
#include "k1lib/voice/VoiceContext.h"
#include "k1lib/voice/Waveforms.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>

namespace k1lib {

namespace {

constexpr double PhaseRange = 4294967296.0;

static_assert(Waveforms::kGuardLength == WaveReading::kGuard, "sources read the waveforms' guard");

// The K1 engine's fast 2^y: a rational approximation assembled directly as float bits.
float fastPowerOfTwo(float y) {
    const float c = std::min(std::max(y, -126.0f), 126.0f);
    const float z = c - std::trunc(c) + (y < 0.0f ? 1.0f : 0.0f);
    const float bits = (c + 121.274055f + 27.728024f / (4.8425255f - z) - 1.4901291f * z) * 8388608.0f;
    return std::bit_cast<float>(static_cast<int32_t>(std::trunc(bits)));
}

} // namespace

Source::Source(const VoiceContext& context, const SinglePreset& single, uint8_t index)
    : m_context(&context), m_single(&single), m_source(&single.sources[index & 3]) {}

void Source::init(uint8_t note, uint8_t velocity, float rate, int transpose, int tune, int level) {
    const SingleSource& source = getSource();
    m_rate = usableProcessingRate(rate);

    float pitch = source.keyTrack
                      ? static_cast<float>(transpose) + (static_cast<float>(source.coarse) + note - 84.0f) +
                            static_cast<float>(tune) * 0.02f
                      : static_cast<float>(source.coarse) - 24.0f;
    pitch += static_cast<float>(offsetFromCentre(source.fine)) * 0.02f;
    const float keyScale = ksCurveMod(note, storedValue(m_single->keyScaleCurve), true).first;
    const int keyScaleToPitch = offsetFromCentre(source.freqKeyScaleToFreq);
    pitch += (keyScaleToPitch >= 0 ? 1.0f : -1.0f) * ksToFreq(std::abs(keyScaleToPitch)) * keyScale;
    m_pitch = pitch;

    // The table is chosen by the pitch rounded up, as 65535 - trunc(65535 - pitch).
    const int keyIndex = 65535 - truncateClamped(65535.0f - pitch, 65535 - 127, 65535);
    setWaveform(source.wave, keyIndex);
    setEnvelopeAndLevel(note, velocity, level);
}

void Source::setWaveform(uint8_t wave, int keyIndex) {
    const Waveforms& waveforms = *m_context->waveforms;
    const Waveforms::WaveformData& data = waveforms.getData(wave, static_cast<uint8_t>(keyIndex));
    const float sampleRate = waveforms.getWaveform(wave).sampleRate;
    const uint64_t length = data.length;
    m_loop = waveforms.isLoop(wave);
    m_minimumPitch = wave < kFirstSampledWave ? kLowestPitch : kLowestSampledPitch;

    // A waveform that failed to load (length 0) or is not a power of two stays silent.
    const bool playable = data.data != nullptr && length >= 2 && length <= (uint64_t{1} << 31) &&
                          std::has_single_bit(length) && data.rootFrequency > 0.0f && sampleRate > 0.0f;
    const uint64_t unit = playable ? (uint64_t{1} << 32) / length : 0;
    const float baseStep =
        playable ? (1.0f / data.rootFrequency) * sampleRate / m_rate * static_cast<float>(unit) : 0.0f;
    if (!playable || !std::isfinite(baseStep)) {
        m_samples = nullptr;
        m_ended = true;
        return;
    }
    m_samples = data.data;
    m_lengthMask = static_cast<uint32_t>(length - 1);
    m_shift = static_cast<uint32_t>(std::countr_zero(unit));
    m_fractionMask = static_cast<uint32_t>(unit - 1);
    m_inverseUnit = 1.0f / static_cast<float>(unit);
    m_baseStep = baseStep;
    m_ended = false;
    m_lastPitch = -1.0f;
    forgetPitchInputs();
    const uint32_t start = waveforms.canRandomStart(wave) ? m_context->random->next() & m_lengthMask : 0;
    m_phase = static_cast<uint32_t>(start * unit);
}

void Source::setEnvelopeAndLevel(uint8_t note, uint8_t velocity, int level) {
    const SingleSource& source = getSource();
    const int velocityValue = velocityCurveValue(velocity, storedValue(source.velCurve));
    const float keyScale = ksCurveMod(note, storedValue(m_single->keyScaleCurve), false).first;

    int attack = storedValue(source.envAttack);
    int decay = storedValue(source.envDecay);
    if (const int timeVelocity = offsetFromCentre(source.timeModVel); timeVelocity != 0)
        attack = std::clamp(
            attack + static_cast<int>(static_cast<float>(timeVelocity * velocityValue) / 127.0f), 0, 100);
    if (const int timeKeyScale = offsetFromCentre(source.timeModKeyScale); timeKeyScale != 0) {
        const int shift = static_cast<int>(static_cast<float>(timeKeyScale) * (keyScale * 0.5f + 0.5f));
        attack = std::clamp(attack + shift, 0, 100);
        decay = std::clamp(decay + shift, 0, 100);
    }
    const float delaySamples = envDelayTime(storedValue(source.envDelay)) * m_rate;
    m_env.start(static_cast<uint32_t>(delaySamples), envAttackTime(attack));

    float relativeLevel = static_cast<float>(std::min(storedValue(source.envLevel), 100)) * 0.01f;
    if (const int levelVelocity = offsetFromCentre(source.levelModVel); levelVelocity != 0)
        relativeLevel *= velocityWithStrength(levelVelocity > 0 ? velocityValue : 127 - velocityValue,
                                              std::abs(levelVelocity));
    if (const int levelKeyScale = offsetFromCentre(source.levelModKeyScale); levelKeyScale != 0) {
        const float scale = levelKeyScale < 0 ? -keyScale : keyScale;
        relativeLevel = std::clamp(relativeLevel + (scale - 1.0f) * 0.5f *
                                                       static_cast<float>(std::abs(levelKeyScale)) * 0.02f,
                                   0.0f, 1.0f);
    }
    m_level = envLevel(truncateClamped(static_cast<float>(level) * relativeLevel + 0.5f, 0, 100));
    m_decayTime = envDecayTime(decay);
    m_sustain = envSustainLevel(storedValue(source.envSustain));
}

float Source::applyPressure(float gain, int depth, float pressure) const {
    const int value = truncateClamped(pressure * 127.0f + 0.5f, 0, 127);
    return std::clamp(gain - pressureToEnvLevel(depth < 0 ? 127 - value : value) *
                                 genericDepthModToLevel(depth + 50),
                      0.0f, 1.0f);
}

float Source::raiseByOctaves(float pitch) const {
    if (!std::isfinite(pitch)) return m_minimumPitch;
    return pitch + 12.0f * std::ceil((m_minimumPitch - pitch) / 12.0f);
}

Env::Lane Source::beginRun(float* samples, float* envelopeGains, const SourceRun& run) {
    const int frames = run.frames;
    // A delayed start is silent and leaves the phase where it is.
    const int silent = static_cast<int>(m_env.skipDelay(static_cast<uint32_t>(frames)));
    if (silent > 0) {
        forgetPitchInputs(); // they may move before the pitch is next taken
        std::fill(samples, samples + silent, 0.0f);
        std::fill(envelopeGains, envelopeGains + silent, 0.0f);
    }
    // Within a run the level settings and the channel pressure stand still, so the level does too.
    const int pressureDepth = offsetFromCentre(m_source->levelModPressure);
    const float level = pressureDepth != 0 ? applyPressure(m_level, pressureDepth, run.pressure) : m_level;
    // An envelope that holds still is mixed as one value (Lane::stillGain), never filled in.
    return Env::Lane{&m_env, envelopeGains, silent, m_decayTime, m_sustain, m_rate, level, frames, false};
}

int Source::finishRun(float* samples, const SourceRun& run, const Env::Lane& envelope) {
    const int frames = run.frames;
    const int silent = envelope.start;
    if (silent == frames) return m_ended ? 0 : frames;
    // A one-shot wave that played out, or no wave at all, is silent.
    const bool endedBefore = m_ended;
    const int played = endedBefore ? silent : renderWave(samples, run, silent);
    std::fill(samples + played, samples + frames, 0.0f);
    const int waveUnfinished = endedBefore ? 0 : m_ended ? played - 1 : frames;
    return std::min(envelope.unfinished, waveUnfinished);
}

int Source::renderWave(float* samples, const SourceRun& run, int start) {
    const SingleSource& source = *m_source;
    bool routeMoved = source.vibABend != m_pitchVibABend || source.pressureToFreq != m_pitchPressure;
    // Held in locals: the compiler cannot tell the members from the output array.
    const WaveReading wave{m_samples, m_shift, m_fractionMask, m_inverseUnit};
    uint32_t phase = m_phase;
    int i = start;
    while (i < run.frames) {
        // The pitch only moves when its inputs or the source's routing of them do.
        if (run.moved(i) || routeMoved) {
            routeMoved = false;
            updatePitch(run.inputs(i)); // a one-shot wave may end: this frame still sounds
        }
        // A stretch of frames at one step: up to the next frame whose inputs moved. A looping wave
        // wraps freely, a one-shot wave only as long as its phase cannot pass the end; from there
        // on it goes frame by frame.
        const uint32_t step = m_step;
        const int end = m_ended ? i + 1 : run.pitch->nextMove[i];
        const int free = m_loop ? end
                                : i + static_cast<int>(std::min<uint64_t>(static_cast<uint64_t>(end - i),
                                                                          ((uint64_t{1} << 32) - 1 - phase) /
                                                                              std::max(step, uint32_t{1})));
        phase = interpolateWaveFrames(samples + i, free - i, wave, phase, step);
        for (i = free; i < end; ++i) {
            samples[i] = interpolateWave(wave, phase);
            const uint32_t previous = phase;
            phase += step;
            if (phase < previous) {
                m_ended = true;
                ++i;
                break;
            }
        }
        if (m_ended) break;
    }
    m_phase = phase;
    return i;
}

void Source::updatePitch(const SourceInputs& in) {
    const SingleSource& source = *m_source;
    m_pitchVibABend = source.vibABend;
    m_pitchPressure = source.pressureToFreq;
    float pitch = m_pitch + (source.vibABend ? in.pitchModulation : 0.0f) + in.bend +
                  (source.pressureToFreq ? in.pressurePitch : 0.0f) + in.fineTune;
    if (!(pitch >= m_minimumPitch)) pitch = raiseByOctaves(pitch);
    // The step is recomputed only when the pitch moved (NaN never equals itself).
    if (pitch != m_lastPitch) updateStep(pitch);
}

void Source::updateStep(float pitch) {
    const float frequency = fastPowerOfTwo((pitch - 69.0f) / 12.0f) * 440.0f;
    double step = std::trunc(static_cast<double>(frequency) * m_baseStep);
    // A step of a whole waveform or more per sample cannot be converted to u32. The phase counts
    // modulo 2^32, so only the remainder matters, and a one-shot wave is past its end at once.
    // Beyond float range (absurd pitches) the wave stands still.
    if (!(step < PhaseRange)) {
        step = std::isfinite(step) ? std::fmod(step, PhaseRange) : 0.0;
        if (!m_loop) m_ended = true;
    }
    m_step = static_cast<uint32_t>(step);
    m_lastPitch = pitch;
}

void Source::onNoteOff(uint8_t velocity) {
    onNoteOff(velocity, static_cast<uint8_t>(std::min(storedValue(getSource().envRelease), 255)));
}

void Source::onNoteOff(uint8_t, uint8_t release) {
    m_env.release(envDecayTime(release), m_rate);
}

} // namespace k1lib
