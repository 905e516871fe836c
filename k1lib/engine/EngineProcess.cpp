// The engine's block entry, the host rate and the per-sample loop.
#include <algorithm>
#include <cmath>

#include "k1lib/engine/Engine.h"
#include "k1lib/voice/Multi.h"
#include "log/Log.h"

namespace k1lib {
namespace {

// Stable ascending order by offset without allocating: events arrive nearly sorted, and an
// event placed before an earlier one must still be handled, once.
void sortByOffset(std::vector<SMidiEvent>& events) {
    for (size_t i = 1; i < events.size(); ++i) {
        if (events[i].sampleOffset >= events[i - 1].sampleOffset) continue;
        SMidiEvent moving = std::move(events[i]);
        size_t j = i;
        for (; j > 0 && events[j - 1].sampleOffset > moving.sampleOffset; --j)
            events[j] = std::move(events[j - 1]);
        events[j] = std::move(moving);
    }
}

// Whether every parameter the last step changed is one of the source-mix gains.
bool onlySourceMixChanges(const ParameterManager& parameters) {
    for (uint32_t k = 0; k < parameters.changedQueue.count; ++k) {
        const uint32_t p = parameters.changedQueue.at(k);
        if (p != Param_SourceMix12 && p != Param_SourceMix34) return false;
    }
    return true;
}

// Whether handling the event might start a voice. Note-ons do; so may a note-off, the hold
// pedal's release and the channel-mode messages, since a Solo Single returns to a key still held
// when another is released, even after its voice has ended. Program changes, sysex and anything
// else are counted with them; what stays is pressure, pitch bend and the other controllers.
bool mayStartVoice(const SMidiEvent& event) {
    constexpr uint8_t kHoldPedal = 64, kFirstChannelMode = 120;
    const uint8_t kind = event.status >> 4;
    if (!event.sysex.empty()) return true;
    if (kind == 0xB) return event.data1 == kHoldPedal || event.data1 >= kFirstChannelMode;
    return kind != 0xA && kind != 0xD && kind != 0xE;
}

bool allZeros(float* const* outputs, int channels, int samples) {
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < samples; ++i)
            if (outputs[c][i] != 0.0f) return false;
    return true;
}

} // namespace

void Engine::setSamplerate(float rate) {
    if (!(rate > 0.0f) || rate == m_hostSamplerate) return;
    m_hostSamplerate = rate;
    m_resampler.reset();
    m_resampler = std::make_unique<Resampler>(*this, kProcessingSamplerate, rate);
}

void Engine::reset() {
    m_multi->clearAllVoices();
    m_multi->clearReleasingVoices();
    // Ramps end at their targets, applied as the render loop would.
    while (m_parameterManager.process())
        applyParameterChanges();
    m_random = Random();
    m_multi->resetModulation();
    if (m_resampler) m_resampler->restart();
    // Where the first block starts converting decides every later sample at host rates whose
    // period with the engine's is too long to align to (47,999 Hz): begin where a new engine does.
    m_firstBlockPending = true;
}

bool Engine::isQuiet() const {
    return m_parameterManager.rampQueue.count == 0 && m_parameterManager.changedQueue.count == 0 &&
           m_multi->getActiveVoiceCount() == 0 && !m_firstBlockPending;
}

bool Engine::rendersSilence(const std::vector<SMidiEvent>& events) const {
    return !m_firstBlockPending && m_multi->getActiveVoiceCount() == 0 &&
           std::none_of(events.begin(), events.end(), mayStartVoice);
}

bool Engine::process(float** outputs, int channels, int samples, std::vector<SMidiEvent>& events) {
    // Lines logged in here are queued and written by the log's own thread.
    const RealtimeLogScope realtime;
    sortByOffset(events);
    if (events.empty() && isQuiet() && (!m_resampler || m_resampler->isParked())) {
        for (int c = 0; c < channels; ++c)
            std::fill(outputs[c], outputs[c] + std::max(samples, 0), 0.0f);
        if (m_resampler) m_resampler->skip(samples);
        return true;
    }
    // The first block of a new or reset engine renders in full; without events it is silence all
    // the same, and says so as the idle path would.
    const bool firstWithoutEvents = m_firstBlockPending && events.empty();
    if (m_resampler)
        m_resampler->process(outputs, channels, samples, events);
    else
        processAudio(outputs, channels, samples, events);
    return firstWithoutEvents && isQuiet() && allZeros(outputs, channels, samples);
}

void Engine::processAudio(float** outputs, int channels, int samples, const std::vector<SMidiEvent>& events) {
    if (samples <= 0) return;
    // Nothing sounds nor starts: events and ramps are handled all the same, the sections'
    // modulation moves on, and the output is zeros.
    const bool silent = rendersSilence(events);
    m_firstBlockPending = false;
    float* channel[Resampler::kMaxChannels];
    const int count = std::clamp(channels, 0, Resampler::kMaxChannels);
    std::copy(outputs, outputs + count, channel);
    const float* const runGains[kSourceCount] = {m_runGains[0], m_runGains[1], m_runGains[2], m_runGains[3]};
    size_t e = 0;
    bool pending = false;
    for (int i = 0; i < samples;) {
        if (pending)
            applyParameterChanges();
        else
            stepParameters();
        // Sorted on entry, so every event up to this sample is due now (negative: at once).
        while (e < events.size() && events[e].sampleOffset <= i)
            processMidiEvent(events[e++]);
        // Up to the next event nothing changes from outside, so the Multi renders that stretch in
        // one go; while parameters ramp, with the source-mix gains of each frame.
        const int next = e < events.size() ? events[e].sampleOffset : samples;
        int frames = std::min(next, samples) - i;
        const float* const* gains = nullptr;
        pending = false;
        if (m_parameterManager.rampQueue.count != 0 || m_parameterManager.changedQueue.count != 0) {
            frames = silent ? stepParametersInRun<false>(frames, pending)
                            : stepParametersInRun<true>(std::min(frames, kMaxRampRun), pending);
            gains = runGains;
        }
        for (int c = 0; c < count; ++c)
            std::fill(channel[c], channel[c] + frames, 0.0f);
        if (silent)
            advanceSections(frames);
        else
            m_multi->process(channel, count, frames, gains);
        for (int c = 0; c < count; ++c)
            channel[c] += frames;
        i += frames;
    }
}

void Engine::stepParameters() {
    m_parameterManager.process();
    applyParameterChanges();
}

void Engine::applyParameterChanges() {
    for (uint32_t k = 0; k < m_parameterManager.changedQueue.count; ++k) {
        const uint32_t p = m_parameterManager.changedQueue.at(k);
        processParameterChange(static_cast<EParam>(p), m_parameterManager.current[p]);
    }
}

void Engine::advanceSections(int frames) {
    float* scratch[1] = {m_sectionScratch};
    for (int done = 0; done < frames;) {
        const int n = std::min(frames - done, kSectionRun);
        m_multi->process(scratch, 1, n);
        done += n;
    }
}

void Engine::stepSourceMixGains(int from, int frames) {
    // Each ramp's values land in the first gain of its pair, then become the pair's gains as
    // processParameterChange makes them; a pair that does not ramp holds its gains.
    const uint32_t ramps = std::min<uint32_t>(m_parameterManager.rampQueue.count, 2);
    bool ramping[kSourceCount] = {};
    float* values[2];
    for (uint32_t i = 0; i < ramps; ++i) {
        const int first = m_parameterManager.rampQueue.at(i)->param == Param_SourceMix12 ? 0 : 2;
        ramping[first] = true;
        values[i] = m_runGains[first] + from;
    }
    m_parameterManager.stepSteadily(static_cast<uint32_t>(frames), values);
    float* gains = m_voiceContext.sourceGains;
    for (int first = 0; first < kSourceCount; first += 2) {
        float* low = m_runGains[first] + from;
        float* high = m_runGains[first + 1] + from;
        if (!ramping[first]) {
            std::fill(low, low + frames, gains[first]);
            std::fill(high, high + frames, gains[first + 1]);
            continue;
        }
        float lowGain = gains[first], highGain = gains[first + 1];
        for (int f = 0; f < frames; ++f) {
            const float value = low[f];
            if (std::isfinite(value)) {
                lowGain = std::min(1.0f - value, 1.0f);
                highGain = std::min(1.0f + value, 1.0f);
            }
            low[f] = lowGain;
            high[f] = highGain;
        }
        gains[first] = lowGain;
        gains[first + 1] = highGain;
    }
}

template <bool keepGains> int Engine::stepParametersInRun(int limit, bool& pending) {
    const float* gains = m_voiceContext.sourceGains;
    uint32_t steady = 0; // further steps that only move the source mix, found at frame 1
    for (int frame = 0; frame < limit; ++frame) {
        if (steady > 0) {
            // Source-mix ramps in their middle: the same steps and gains, without the lists.
            const uint32_t steps = std::min(steady, static_cast<uint32_t>(limit - frame));
            steady -= steps;
            if constexpr (keepGains) {
                stepSourceMixGains(frame, static_cast<int>(steps));
            } else {
                // Only the last of these gains is ever heard.
                m_parameterManager.stepSteadily(steps);
                applyParameterChanges();
            }
            frame += static_cast<int>(steps) - 1;
            continue;
        }
        // Frame 0's step is applied already; once nothing ramps, a step only clears the list of
        // changes, and the gains hold still for the rest of the run.
        if (frame > 0 &&
            (m_parameterManager.changedQueue.count != 0 || m_parameterManager.rampQueue.count != 0)) {
            const bool ramping = m_parameterManager.rampQueue.count != 0;
            m_parameterManager.process();
            if (ramping) {
                if (!parameterChangesFitRun()) {
                    pending = true;
                    return frame;
                }
                applyParameterChanges();
                if (onlySourceMixChanges(m_parameterManager)) steady = m_parameterManager.steadySteps();
            }
        }
        if constexpr (keepGains) {
            for (int k = 0; k < kSourceCount; ++k)
                m_runGains[k][frame] = gains[k];
        }
    }
    return limit;
}

} // namespace k1lib
