#include "k1lib/engine/Resampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <libresample.h>
#include <numeric>

namespace k1lib {
namespace {
constexpr int kMaxHostChunk = 4096;   // longer host blocks are converted in pieces
constexpr int kPrimingSamples = 192;  // silence ahead of the first sample, covers the filter delay
constexpr int64_t kGridMinimum = 512; // parking is looked at no more often than this (host samples)
constexpr int64_t kMaxPeriod = 4096;  // longer common periods are not aligned to
constexpr int64_t kNoSound = INT64_MIN / 4;
// libresample's output changes with how much input one call hands it once that passes a few
// hundred samples (at 22,050 Hz it even returns values near 1e34); in pieces of this size it is
// the same whatever the host's block sizes.
constexpr int kMaxInputPerCall = 256;

// Host samples after which both clocks start a sample together again; 0 when not an integer
// number or too long to run through on the audio thread.
int64_t commonPeriod(double engineRate, double hostRate) {
    if (engineRate != std::floor(engineRate) || hostRate != std::floor(hostRate) || hostRate < 1.0) return 0;
    const auto engine = static_cast<int64_t>(engineRate), host = static_cast<int64_t>(hostRate);
    const int64_t period = host / std::gcd(engine, host);
    return period <= kMaxPeriod ? period : 0;
}
// Index after the last sample of data[0 .. n) that is not a zero of either sign, 0 if none; looks
// at blocks of samples at once from the end, so long silences cost little.
int soundEndIn(const float* data, int n) {
    constexpr int kBlock = 32;
    int end = n;
    for (; end % kBlock != 0; --end)
        if (data[end - 1] != 0.0f) return end;
    for (; end > 0; end -= kBlock) {
        uint32_t bits = 0;
        for (int i = end - kBlock; i < end; ++i) {
            uint32_t word;
            std::memcpy(&word, data + i, sizeof word);
            bits |= word & 0x7fffffffu;
        }
        if (bits == 0) continue;
        for (int i = end - 1; i >= end - kBlock; --i)
            if (data[i] != 0.0f) return i + 1;
    }
    return 0;
}
} // namespace

Resampler::Resampler(AudioRenderer& engine, float engineRate, float hostRate, unsigned long /*channelCount*/)
    : m_engine(engine), m_engineRate(engineRate), m_hostRate(hostRate),
      m_upRatio(engineRate / static_cast<double>(hostRate)),
      m_downFactor(static_cast<double>(hostRate) / engineRate), m_bypass(engineRate == hostRate),
      m_period(commonPeriod(engineRate, hostRate)), m_handles(m_bypass ? 0.0 : m_downFactor) {
    m_grid = m_period > 0 ? m_period * ((kGridMinimum + m_period - 1) / m_period) : kGridMinimum;
    m_pending.reserve(1024);
    m_scratch.assign(kMaxHostChunk, 0.0f);
    if (!m_bypass) {
        const size_t capacity = static_cast<size_t>(kMaxHostChunk * m_upRatio) + kPrimingSamples + 1024;
        for (std::vector<float>& buffer : m_buffers)
            buffer.reserve(capacity);
    }
    // A sample stays inside for the priming run plus the filter's reach on both sides; the rest
    // is margin, since parking too early would cut a tail.
    m_flushSamples = kPrimingSamples + 4 * static_cast<int64_t>(m_handles.filterWidth()) + 256;
    restart();
}

void Resampler::restart() {
    m_handles.restart();
    for (std::vector<float>& buffer : m_buffers)
        buffer.assign(m_bypass ? 0 : kPrimingSamples, 0.0f);
    m_channelPosition.fill(0);
    m_soundEnd.fill(kNoSound);
    m_following.fill(-1);
    m_silent.fill(false);
    m_pending.clear();
    m_hostPosition = 0;
    m_parked = true;
    m_underruns = 0;
    m_sharedConversions = 0;
    m_silentConversions = 0;
}

Resampler::~Resampler() = default;

double Resampler::latency(float engineRate, float hostRate) {
    if (engineRate == hostRate || engineRate <= 0.0f || hostRate <= 0.0f) return 0.0;
    return kPrimingSamples * static_cast<double>(hostRate) / engineRate;
}

int64_t Resampler::engineSampleAt(int64_t hostSample) const {
    return static_cast<int64_t>(std::floor(static_cast<long double>(hostSample) * m_engineRate / m_hostRate));
}

void Resampler::skip(int samples) {
    if (samples > 0) m_hostPosition += samples;
}

void Resampler::process(float** outputs, int channels, int samples, std::vector<SMidiEvent>& events) {
    const int written = std::clamp(channels, 0, kMaxChannels);
    if (m_bypass) {
        m_engine.processAudio(outputs, written, samples, events);
        return;
    }
    if (samples <= 0) {
        for (SMidiEvent& e : events)
            e.sampleOffset = 0; // kept for the next block's first sample
        takeEvents(events, 0, 1);
        return;
    }
    const int active = std::max(written, 1); // without channels, channel 0 renders into scratch
    for (int done = 0; done < samples;) {
        if (m_parked) {
            const int wake = wakeOffset(events, done, samples);
            for (int c = 0; c < written; ++c)
                std::fill(outputs[c] + done, outputs[c] + wake, 0.0f);
            m_hostPosition += wake - done;
            done = wake;
            if (done >= samples) break;
            m_parked = false;
        }
        const int64_t toGrid = m_grid - m_hostPosition % m_grid;
        const int n = static_cast<int>(std::min<int64_t>({samples - done, kMaxHostChunk, toGrid}));
        float* chunk[kMaxChannels];
        for (int c = 0; c < written; ++c)
            chunk[c] = outputs[c] + done;
        processChunk(chunk, written, active, done, n, events);
        done += n;
        if (m_hostPosition % m_grid == 0 && canPark(active)) m_parked = true;
    }
}

int Resampler::wakeOffset(const std::vector<SMidiEvent>& events, int from, int samples) const {
    if (!m_pending.empty() || !m_engine.isQuiet()) return from;
    int wake = samples;
    for (const SMidiEvent& e : events)
        wake = std::min(wake, std::max(e.sampleOffset, from));
    return wake;
}

void Resampler::processChunk(float** outputs, int written, int active, int from, int samples,
                             std::vector<SMidiEvent>& events) {
    // Waiting channels keep a state of their own, taken before any leader moves on.
    for (int c = active; c < kMaxChannels; ++c) {
        leaveFollowing(c);
        leaveSilence(c);
    }
    catchUpAll(active);
    takeEvents(events, from, from + samples);
    const int64_t first = engineSampleAt(m_hostPosition);
    const int rendered = static_cast<int>(engineSampleAt(m_hostPosition + samples) - first);
    if (allSilent(active) && m_engine.rendersSilence(m_pending)) {
        processSilentChunk(outputs, written, active, rendered, samples);
        return;
    }
    float* renderPointers[kMaxChannels];
    for (int c = 0; c < active; ++c) {
        std::vector<float>& buffer = m_buffers[c];
        const size_t have = buffer.size();
        buffer.resize(have + static_cast<size_t>(rendered));
        renderPointers[c] = buffer.data() + have;
    }
    m_engine.processAudio(renderPointers, active, rendered, m_pending);
    retireHandledEvents(rendered);
    noteSound(active, first, rendered);
    chooseLeaders(active);
    // Without output channels, channel 0 is converted into scratch.
    bool underrun = !convertSilence(outputs, written, active, samples);
    for (int c = 0; c < active; ++c) {
        if (m_silent[c]) continue;
        float* out = c < written ? outputs[c] : nullptr;
        const int leader = m_following[c];
        if (leader < 0) {
            underrun |= !convert(c, out, samples);
            continue;
        }
        // The leader turned this very input into its output and left the same rest.
        if (out) std::copy(outputs[leader], outputs[leader] + samples, out);
        m_buffers[c].assign(m_buffers[leader].begin(), m_buffers[leader].end());
        ++m_sharedConversions;
    }
    if (underrun) ++m_underruns;
    m_hostPosition += samples;
    for (int c = 0; c < active; ++c)
        m_channelPosition[c] = m_hostPosition;
}

bool Resampler::allSilent(int active) const {
    return std::all_of(m_silent.begin(), m_silent.begin() + active, [](bool s) { return s; });
}

// The engine renders only zeros into channels that hold only zeros. Where both clocks meet again
// within a short period, the channels stop here as when parked and the next sound catches them
// up; otherwise their one silent converter takes its passes, as for zeros rendered.
void Resampler::processSilentChunk(float* const* outputs, int written, int active, int rendered,
                                   int samples) {
    m_engine.processAudio(nullptr, 0, rendered, m_pending);
    retireHandledEvents(rendered);
    for (int c = 0; c < written; ++c)
        std::fill(outputs[c], outputs[c] + samples, 0.0f);
    m_hostPosition += samples;
    if (m_period > 0) return;
    for (int c = 0; c < active; ++c) {
        m_buffers[c].resize(m_buffers[c].size() + static_cast<size_t>(rendered), 0.0f);
        m_channelPosition[c] = m_hostPosition;
    }
    if (!convertSilence(outputs, 0, active, samples)) ++m_underruns;
}

// Channels that stopped (parked, or beyond the channel count) are run up to now; a follower
// stopped with its leader and so stands where the leader's run leaves it.
void Resampler::catchUpAll(int active) {
    // Silent channels share one converter, so they run up together; one whose run would be
    // another takes its own state first.
    int64_t silentFrom = -1, silentSteps = -1;
    for (int c = 0; c < active; ++c) {
        if (!m_silent[c] || m_channelPosition[c] == m_hostPosition) continue;
        if (silentSteps < 0) {
            silentFrom = m_channelPosition[c];
            silentSteps = catchUpSteps(c);
        } else if (m_channelPosition[c] != silentFrom || catchUpSteps(c) != silentSteps) {
            leaveSilence(c);
        }
    }
    int64_t silentLeft = -1; // the zeros a silent channel holds after the run
    for (int c = 0; c < active; ++c) {
        if (m_channelPosition[c] == m_hostPosition) continue;
        if (m_silent[c]) {
            if (silentLeft < 0) silentLeft = catchUpSilence(silentFrom, silentSteps, m_buffers[c].size());
            m_buffers[c].assign(static_cast<size_t>(silentLeft), 0.0f);
            m_channelPosition[c] = m_hostPosition;
            m_soundEnd[c] = kNoSound;
            continue;
        }
        const int leader = m_following[c];
        if (leader < 0 || leader >= c) {
            leaveFollowing(c);
            catchUp(c);
            continue;
        }
        m_buffers[c].assign(m_buffers[leader].begin(), m_buffers[leader].end());
        m_channelPosition[c] = m_channelPosition[leader];
        m_soundEnd[c] = m_soundEnd[leader];
    }
}

// Before anything converts: each channel follows the first earlier leader whose unconverted
// input and converter state it shares; one that stops sharing takes over the state it stood for.
void Resampler::chooseLeaders(int active) {
    for (int c = 0; c < active; ++c) {
        if (trySilence(c)) continue;
        leaveSilence(c);
        const int was = m_following[c];
        int leader = -1;
        for (int l = 0; l < c && leader < 0 && m_handles.canCopy(); ++l) {
            if (m_following[l] >= 0 || m_silent[l] || !sameInput(c, l)) continue;
            // The state c stands for: that of the channel it followed, else its own.
            const int state = was >= 0 ? was : c;
            if (state == l || m_following[state] == l || m_handles.sameState(state, l)) leader = l;
        }
        if (leader < 0)
            leaveFollowing(c);
        else
            m_following[c] = leader;
    }
}

// A channel whose input is all zeros, and whose converter holds nothing else, goes silent: the
// silent converter stands for it (it keeps the same positions as every other channel's).
bool Resampler::trySilence(int channel) {
    // A silent channel holds only zeros from before, so its fresh input decides.
    if (!m_freshSilent[channel] || m_silent[channel]) return m_freshSilent[channel];
    const std::vector<float>& buffer = m_buffers[channel];
    const int state = m_following[channel] >= 0 ? m_following[channel] : channel;
    if (soundEndIn(buffer.data(), static_cast<int>(m_freshFrom[channel])) != 0 ||
        !m_handles.holdsSilence(state))
        return false;
    const bool running = std::any_of(m_silent.begin(), m_silent.end(), [](bool s) { return s; });
    if (!running)
        m_handles.startSilence(state, m_silence);
    else if (!m_handles.sameSilence(state, m_silence))
        return false;
    m_following[channel] = -1;
    m_silent[channel] = true;
    return true;
}

void Resampler::leaveSilence(int channel) {
    if (!m_silent[channel]) return;
    m_handles.endSilence(channel, m_silence);
    m_silent[channel] = false;
}

bool Resampler::sameInput(int a, int b) const {
    const std::vector<float>& x = m_buffers[a];
    const std::vector<float>& y = m_buffers[b];
    return x.size() == y.size() && std::memcmp(x.data(), y.data(), x.size() * sizeof(float)) == 0;
}

void Resampler::leaveFollowing(int channel) {
    const int leader = m_following[channel];
    if (leader < 0) return;
    m_handles.copy(channel, leader);
    m_following[channel] = -1;
}

void Resampler::takeEvents(std::vector<SMidiEvent>& events, int from, int to) {
    const int64_t base = engineSampleAt(m_hostPosition);
    size_t kept = 0;
    for (SMidiEvent& e : events) {
        if (e.sampleOffset >= to) { // belongs to a later piece of the host block
            if (&events[kept] != &e) events[kept] = std::move(e);
            ++kept;
            continue;
        }
        const int hostOffset = std::max(e.sampleOffset - from, 0);
        e.sampleOffset = static_cast<int32_t>(engineSampleAt(m_hostPosition + hostOffset) - base);
        // Events arrive sorted; one placed before what is already pending would run backwards.
        if (!m_pending.empty() && e.sampleOffset < m_pending.back().sampleOffset)
            e.sampleOffset = m_pending.back().sampleOffset;
        m_pending.push_back(std::move(e));
    }
    events.resize(kept);
}

void Resampler::retireHandledEvents(int rendered) {
    size_t handled = 0;
    while (handled < m_pending.size() && m_pending[handled].sampleOffset < rendered)
        ++handled;
    m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<long>(handled));
    for (SMidiEvent& e : m_pending)
        e.sampleOffset -= rendered;
}

void Resampler::noteSound(int active, int64_t firstEngineSample, int rendered) {
    for (int c = 0; c < active; ++c) {
        const size_t held = m_buffers[c].size() - static_cast<size_t>(rendered);
        const int end = soundEndIn(m_buffers[c].data() + held, rendered);
        m_freshSilent[c] = end == 0;
        m_freshFrom[c] = held;
        if (end > 0) m_soundEnd[c] = firstEngineSample + end;
    }
}

bool Resampler::isClean(int channel, int64_t hostSample) const {
    return m_soundEnd[channel] + m_flushSamples <= engineSampleAt(hostSample);
}

bool Resampler::canPark(int active) const {
    if (!m_engine.isQuiet() || !m_pending.empty()) return false;
    for (int c = 0; c < active; ++c)
        if (!isClean(c, m_hostPosition)) return false;
    return true;
}

// Runs the channel through zeros from where it stopped to a position that matches the host
// position modulo the common period, far enough on that any tail it held has left; the output is
// discarded. Afterwards the channel stands where it would after rendering all along.
int64_t Resampler::catchUpSteps(int channel) const {
    const int64_t from = m_channelPosition[channel];
    const int64_t step = m_period > 0 ? m_period : m_grid;
    int64_t steps = m_period > 0 ? ((m_hostPosition - from) % m_period + m_period) % m_period : 0;
    while (!isClean(channel, from + steps))
        steps += step;
    return steps;
}

void Resampler::catchUp(int channel) {
    const int64_t from = m_channelPosition[channel];
    const int64_t steps = catchUpSteps(channel);
    std::vector<float>& buffer = m_buffers[channel];
    for (int64_t done = 0; done < steps;) {
        const int n = static_cast<int>(std::min<int64_t>(steps - done, kMaxHostChunk));
        const int64_t zeros = engineSampleAt(from + done + n) - engineSampleAt(from + done);
        buffer.resize(buffer.size() + static_cast<size_t>(zeros), 0.0f);
        if (!convert(channel, m_scratch.data(), n)) ++m_underruns;
        done += n;
    }
    m_channelPosition[channel] = m_hostPosition;
    m_soundEnd[channel] = kNoSound;
}

namespace {
// Hands a converter the input in pieces until the output is full or a pass moves nothing
// (libresample may take the input in several passes); returns the samples produced, and in
// consumed the input taken. pass(offered, wanted, used) is one call of the converter.
template <typename Pass> int convertInPasses(int available, int samples, int& consumed, Pass pass) {
    int done = 0;
    consumed = 0;
    while (done < samples) {
        int used = 0;
        const int offered = std::min(available - consumed, kMaxInputPerCall);
        const int produced = pass(consumed, offered, done, used);
        used = std::clamp(used, 0, offered);
        consumed += used;
        if (produced <= 0 && used == 0) break;
        done += std::max(produced, 0);
    }
    return done;
}
} // namespace

bool Resampler::convert(int channel, float* out, int samples) {
    if (!out) out = m_scratch.data();
    std::vector<float>& buffer = m_buffers[channel];
    void* handle = m_handles[channel];
    int consumed = 0;
    const int done =
        !handle ? 0
                : convertInPasses(static_cast<int>(buffer.size()), samples, consumed,
                                  [&](int from, int offered, int at, int& used) {
                                      return resample_process(handle, m_downFactor, buffer.data() + from,
                                                              offered, 0, &used, out + at, samples - at);
                                  });
    buffer.erase(buffer.begin(), buffer.begin() + consumed);
    if (done >= samples) return true;
    std::fill(out + done, out + samples, 0.0f);
    return false;
}

// The run of catchUp on the silent converter, for a channel holding held zeros; returns the
// zeros it holds afterwards.
int64_t Resampler::catchUpSilence(int64_t from, int64_t steps, size_t held) {
    auto have = static_cast<int>(held);
    for (int64_t done = 0; done < steps;) {
        const int n = static_cast<int>(std::min<int64_t>(steps - done, kMaxHostChunk));
        have += static_cast<int>(engineSampleAt(from + done + n) - engineSampleAt(from + done));
        int consumed = 0;
        const int produced = convertInPasses(have, n, consumed, [&](int, int offered, int at, int& used) {
            return m_silence.process(offered, n - at, used);
        });
        if (produced < n) ++m_underruns;
        have -= consumed;
        done += n;
    }
    return have;
}

// Every silent channel at once: the silent converter takes the same passes a real one would.
bool Resampler::convertSilence(float* const* outputs, int written, int active, int samples) {
    int consumed = 0, done = -1;
    for (int c = 0; c < active; ++c) {
        if (!m_silent[c]) continue;
        std::vector<float>& buffer = m_buffers[c];
        if (done < 0)
            done = convertInPasses(static_cast<int>(buffer.size()), samples, consumed,
                                   [&](int, int offered, int at, int& used) {
                                       return m_silence.process(offered, samples - at, used);
                                   });
        buffer.erase(buffer.begin(), buffer.begin() + consumed);
        if (c < written) std::fill(outputs[c], outputs[c] + samples, 0.0f);
        ++m_silentConversions;
    }
    return done < 0 || done >= samples;
}

} // namespace k1lib
