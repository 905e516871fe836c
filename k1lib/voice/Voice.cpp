#include "k1lib/voice/Voice.h"

#include "k1lib/base/FrameMath.h"
#include "k1lib/base/SoundMath.h"
#include "k1lib/params/Curves.h"
#include "k1lib/records/SinglePreset.h"
#include "k1lib/voice/SectionState.h"
#include "k1lib/voice/VoiceContext.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace k1lib {

namespace {

// A source whose envelope holds one value all run, mixed as addScaledFrames does.
void addStill(float* out, const float* gains, bool gainPerFrame, const float* wave, float level,
              float envelope, int frames) {
    if (gainPerFrame)
        addScaledFrames<true, false>(out, gains, wave, level, &envelope, frames);
    else
        addScaledFrames<false, false>(out, gains, wave, level, &envelope, frames);
}

} // namespace

static_assert(kSourceCount <= Env::kMaxLanes && PitchFrames::kMaxFrames <= Env::kMaxLaneFrames,
              "a voice's envelopes render side by side");

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
        ++m_sourceCount;
        m_modulated[i] = k % 2 == 1 && pairModulated && m_sourceCount >= 2;
    }
}

float Voice::autoBendAndVibrato(float vibrato, uint32_t clock) const {
    // The bend falls from its full depth to 0 over the auto-bend time in 1/128 semitone steps;
    // the vibrato then stays off for as long again and fades in over twice that.
    const float t = static_cast<float>(clock) * m_inverseRate * m_inverseAutoBendTime;
    const float bend = std::trunc(std::clamp(1.0f - t, 0.0f, 1.0f) * m_autoBendDepth * 128.0f) / 128.0f;
    return std::clamp((t - 1.0f) * 0.5f, 0.0f, 1.0f) * vibrato + bend;
}

const PitchFrames& Voice::pitchFrames(Run& run, const PitchFrames& section, const PitchFrames* settled,
                                      int frames) const {
    if (m_single->autoBendTime == 0) return section;
    // From three auto-bend times on the bend has ended and the vibrato is whole: each frame is
    // 1 x vibrato + bend, the bend 0 with the depth's sign, and so is every later frame (t never
    // falls while the clock does not wrap). -0 leaves the vibrato as it is, +0 makes -0 +0.
    const float t = static_cast<float>(m_clock) * m_inverseRate * m_inverseAutoBendTime;
    const float endedBend = std::trunc(0.0f * m_autoBendDepth * 128.0f) / 128.0f;
    if ((t - 1.0f) * 0.5f >= 1.0f && endedBend == 0.0f &&
        m_clock <= UINT32_MAX - static_cast<uint32_t>(frames)) {
        if (std::signbit(endedBend)) return section;
        if (settled != nullptr) return *settled;
        run.withAutoBend.settle(section, frames);
        return run.withAutoBend;
    }
    PitchFrames& withAutoBend = run.withAutoBend;
    for (int i = 0; i < frames; ++i) {
        withAutoBend.modulation[i] =
            autoBendAndVibrato(section.modulation[i], m_clock + static_cast<uint32_t>(i));
        withAutoBend.bend[i] = section.bend[i];
        withAutoBend.pressurePitch[i] = section.pressurePitch[i];
    }
    withAutoBend.findMoves(frames);
    return withAutoBend;
}

bool Voice::process(float* const mix[kSourceCount], const PitchFrames& section, int frames,
                    const float* const* slotGains) {
    Run run;
    Env::Lane* lanes[kSourceCount];
    const int laneCount = beginRun(run, section, nullptr, frames, lanes);
    Env::renderLanes(lanes, laneCount, std::clamp(frames, 1, PitchFrames::kMaxFrames));
    return finishRun(run, mix, slotGains);
}

int Voice::beginRun(Run& run, const PitchFrames& section, const PitchFrames* settled, int frames,
                    Env::Lane* lanes[]) {
    frames = std::clamp(frames, 1, PitchFrames::kMaxFrames);
    // Nothing but the section's modulation and the source-mix gains moves within a run: events
    // and other parameter changes fall between runs.
    run.sources = SourceRun{&pitchFrames(run, section, settled, frames), m_context->fineTune,
                            (*m_context->midiStates)[m_channel].pressure, false, frames};
    // Compared bit for bit: identical inputs give an identical pitch.
    const SourceInputs first = run.sources.inputs(0);
    run.sources.firstMoved = std::memcmp(&first, &m_lastInputs, sizeof(SourceInputs)) != 0;

    // Each source's envelope renders beside the others' (and other voices'), its wave on its own.
    int laneCount = 0;
    for (int s = 0; s < m_sourceCount; ++s) {
        run.envelopes[s] = m_sources[static_cast<std::size_t>(s)].beginRun(run.samples[s],
                                                                           run.envelopeGains[s], run.sources);
        if (run.envelopes[s].start < frames) lanes[laneCount++] = &run.envelopes[s];
    }
    return laneCount;
}

bool Voice::finishRun(Run& run, float* const mix[kSourceCount], const float* const* slotGains) {
    const int frames = run.sources.frames;
    // Finishing never reverts within a run, so the frames before a source finished are the frames
    // it reports unfinished.
    bool finished = true;
    int lastFrame = 0; // the voice has finished after this frame (when finished)
    for (int s = 0; s < m_sourceCount; ++s) {
        const int unfinished =
            m_sources[static_cast<std::size_t>(s)].finishRun(run.samples[s], run.sources, run.envelopes[s]);
        finished = finished && unfinished < frames;
        lastFrame = std::max(lastFrame, unfinished);
    }
    const int rendered = finished ? lastFrame + 1 : frames;

    for (int s = 0; s < m_sourceCount; ++s) {
        const auto k = static_cast<std::size_t>(s);
        const uint8_t slot = m_slots[k];
        float* samples = run.samples[s];
        // The modulator (the source just before) shapes the carrier with its raw wave, without its
        // envelope or level.
        if (m_modulated[k]) {
            for (int i = 0; i < rendered; ++i)
                samples[i] *= run.samples[s - 1][i];
        }
        const Env::Lane& envelope = run.envelopes[s];
        const float* gains = slotGains != nullptr ? slotGains[slot] : &m_context->sourceGains[slot];
        if (envelope.still)
            addStill(mix[slot], gains, slotGains != nullptr, samples, m_gains[k], envelope.stillGain,
                     rendered);
        else if (slotGains != nullptr)
            addScaledFrames<true>(mix[slot], gains, samples, m_gains[k], run.envelopeGains[s], rendered);
        else
            addScaledFrames<false>(mix[slot], gains, samples, m_gains[k], run.envelopeGains[s], rendered);
    }
    m_clock += static_cast<uint32_t>(rendered);
    m_lastInputs = run.sources.inputs(rendered - 1);
    m_pitchModulation = m_lastInputs.pitchModulation;
    return finished;
}

void Voice::scaleLevel(float factor) {
    for (float& gain : m_gains)
        gain *= factor;
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
