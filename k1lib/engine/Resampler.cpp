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
    : engine_(engine), engineRate_(engineRate), hostRate_(hostRate),
      upRatio_(engineRate / static_cast<double>(hostRate)),
      downFactor_(static_cast<double>(hostRate) / engineRate), bypass_(engineRate == hostRate),
      period_(commonPeriod(engineRate, hostRate)), handles_(bypass_ ? 0.0 : downFactor_) {
    grid_ = period_ > 0 ? period_ * ((kGridMinimum + period_ - 1) / period_) : kGridMinimum;
    pending_.reserve(1024);
    scratch_.assign(kMaxHostChunk, 0.0f);
    if (!bypass_) {
        const size_t capacity = static_cast<size_t>(kMaxHostChunk * upRatio_) + kPrimingSamples + 1024;
        for (std::vector<float>& buffer : buffers_)
            buffer.reserve(capacity);
    }
    // A sample stays inside for the priming run plus the filter's reach on both sides; the rest
    // is margin, since parking too early would cut a tail.
    flushSamples_ = kPrimingSamples + 4 * static_cast<int64_t>(handles_.filterWidth()) + 256;
    restart();
}

void Resampler::restart() {
    handles_.restart();
    for (std::vector<float>& buffer : buffers_)
        buffer.assign(bypass_ ? 0 : kPrimingSamples, 0.0f);
    channelPosition_.fill(0);
    soundEnd_.fill(kNoSound);
    following_.fill(-1);
    silent_.fill(false);
    pending_.clear();
    hostPosition_ = 0;
    parked_ = true;
    underruns_ = 0;
    sharedConversions_ = 0;
    silentConversions_ = 0;
}

Resampler::~Resampler() = default;

double Resampler::latency(float engineRate, float hostRate) {
    if (engineRate == hostRate || engineRate <= 0.0f || hostRate <= 0.0f) return 0.0;
    return kPrimingSamples * static_cast<double>(hostRate) / engineRate;
}

int64_t Resampler::engineSampleAt(int64_t hostSample) const {
    return static_cast<int64_t>(std::floor(static_cast<long double>(hostSample) * engineRate_ / hostRate_));
}

void Resampler::skip(int samples) {
    if (samples > 0) hostPosition_ += samples;
}

void Resampler::process(float** outputs, int channels, int samples, std::vector<SMidiEvent>& events) {
    const int written = std::clamp(channels, 0, kMaxChannels);
    if (bypass_) {
        engine_.processAudio(outputs, written, samples, events);
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
        if (parked_) {
            const int wake = wakeOffset(events, done, samples);
            for (int c = 0; c < written; ++c)
                std::fill(outputs[c] + done, outputs[c] + wake, 0.0f);
            hostPosition_ += wake - done;
            done = wake;
            if (done >= samples) break;
            parked_ = false;
        }
        const int64_t toGrid = grid_ - hostPosition_ % grid_;
        const int n = static_cast<int>(std::min<int64_t>({samples - done, kMaxHostChunk, toGrid}));
        float* chunk[kMaxChannels];
        for (int c = 0; c < written; ++c)
            chunk[c] = outputs[c] + done;
        processChunk(chunk, written, active, done, n, events);
        done += n;
        if (hostPosition_ % grid_ == 0 && canPark(active)) parked_ = true;
    }
}

int Resampler::wakeOffset(const std::vector<SMidiEvent>& events, int from, int samples) const {
    if (!pending_.empty() || !engine_.isQuiet()) return from;
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
    const int64_t first = engineSampleAt(hostPosition_);
    const int rendered = static_cast<int>(engineSampleAt(hostPosition_ + samples) - first);
    float* renderPointers[kMaxChannels];
    for (int c = 0; c < active; ++c) {
        std::vector<float>& buffer = buffers_[c];
        const size_t have = buffer.size();
        buffer.resize(have + static_cast<size_t>(rendered));
        renderPointers[c] = buffer.data() + have;
    }
    engine_.processAudio(renderPointers, active, rendered, pending_);
    retireHandledEvents(rendered);
    noteSound(active, first, rendered);
    chooseLeaders(active);
    // Without output channels, channel 0 is converted into scratch.
    bool underrun = !convertSilence(outputs, written, active, samples);
    for (int c = 0; c < active; ++c) {
        if (silent_[c]) continue;
        float* out = c < written ? outputs[c] : nullptr;
        const int leader = following_[c];
        if (leader < 0) {
            underrun |= !convert(c, out, samples);
            continue;
        }
        // The leader turned this very input into its output and left the same rest.
        if (out) std::copy(outputs[leader], outputs[leader] + samples, out);
        buffers_[c].assign(buffers_[leader].begin(), buffers_[leader].end());
        ++sharedConversions_;
    }
    if (underrun) ++underruns_;
    hostPosition_ += samples;
    for (int c = 0; c < active; ++c)
        channelPosition_[c] = hostPosition_;
}

// Channels that stopped (parked, or beyond the channel count) are run up to now; a follower
// stopped with its leader and so stands where the leader's run leaves it.
void Resampler::catchUpAll(int active) {
    // Silent channels share one converter, so they run up together; one whose run would be
    // another takes its own state first.
    int64_t silentFrom = -1, silentSteps = -1;
    for (int c = 0; c < active; ++c) {
        if (!silent_[c] || channelPosition_[c] == hostPosition_) continue;
        if (silentSteps < 0) {
            silentFrom = channelPosition_[c];
            silentSteps = catchUpSteps(c);
        } else if (channelPosition_[c] != silentFrom || catchUpSteps(c) != silentSteps) {
            leaveSilence(c);
        }
    }
    int64_t silentLeft = -1; // the zeros a silent channel holds after the run
    for (int c = 0; c < active; ++c) {
        if (channelPosition_[c] == hostPosition_) continue;
        if (silent_[c]) {
            if (silentLeft < 0) silentLeft = catchUpSilence(silentFrom, silentSteps, buffers_[c].size());
            buffers_[c].assign(static_cast<size_t>(silentLeft), 0.0f);
            channelPosition_[c] = hostPosition_;
            soundEnd_[c] = kNoSound;
            continue;
        }
        const int leader = following_[c];
        if (leader < 0 || leader >= c) {
            leaveFollowing(c);
            catchUp(c);
            continue;
        }
        buffers_[c].assign(buffers_[leader].begin(), buffers_[leader].end());
        channelPosition_[c] = channelPosition_[leader];
        soundEnd_[c] = soundEnd_[leader];
    }
}

// Before anything converts: each channel follows the first earlier leader whose unconverted
// input and converter state it shares; one that stops sharing takes over the state it stood for.
void Resampler::chooseLeaders(int active) {
    for (int c = 0; c < active; ++c) {
        if (trySilence(c)) continue;
        leaveSilence(c);
        const int was = following_[c];
        int leader = -1;
        for (int l = 0; l < c && leader < 0 && handles_.canCopy(); ++l) {
            if (following_[l] >= 0 || silent_[l] || !sameInput(c, l)) continue;
            // The state c stands for: that of the channel it followed, else its own.
            const int state = was >= 0 ? was : c;
            if (state == l || following_[state] == l || handles_.sameState(state, l)) leader = l;
        }
        if (leader < 0)
            leaveFollowing(c);
        else
            following_[c] = leader;
    }
}

// A channel whose input is all zeros, and whose converter holds nothing else, goes silent: the
// silent converter stands for it (it keeps the same positions as every other channel's).
bool Resampler::trySilence(int channel) {
    // A silent channel holds only zeros from before, so its fresh input decides.
    if (!freshSilent_[channel] || silent_[channel]) return freshSilent_[channel];
    const std::vector<float>& buffer = buffers_[channel];
    const int state = following_[channel] >= 0 ? following_[channel] : channel;
    if (soundEndIn(buffer.data(), static_cast<int>(freshFrom_[channel])) != 0 ||
        !handles_.holdsSilence(state))
        return false;
    const bool running = std::any_of(silent_.begin(), silent_.end(), [](bool s) { return s; });
    if (!running)
        handles_.startSilence(state, silence_);
    else if (!handles_.sameSilence(state, silence_))
        return false;
    following_[channel] = -1;
    silent_[channel] = true;
    return true;
}

void Resampler::leaveSilence(int channel) {
    if (!silent_[channel]) return;
    handles_.endSilence(channel, silence_);
    silent_[channel] = false;
}

bool Resampler::sameInput(int a, int b) const {
    const std::vector<float>& x = buffers_[a];
    const std::vector<float>& y = buffers_[b];
    return x.size() == y.size() && std::memcmp(x.data(), y.data(), x.size() * sizeof(float)) == 0;
}

void Resampler::leaveFollowing(int channel) {
    const int leader = following_[channel];
    if (leader < 0) return;
    handles_.copy(channel, leader);
    following_[channel] = -1;
}

void Resampler::takeEvents(std::vector<SMidiEvent>& events, int from, int to) {
    const int64_t base = engineSampleAt(hostPosition_);
    size_t kept = 0;
    for (SMidiEvent& e : events) {
        if (e.sampleOffset >= to) { // belongs to a later piece of the host block
            if (&events[kept] != &e) events[kept] = std::move(e);
            ++kept;
            continue;
        }
        const int hostOffset = std::max(e.sampleOffset - from, 0);
        e.sampleOffset = static_cast<int32_t>(engineSampleAt(hostPosition_ + hostOffset) - base);
        // Events arrive sorted; one placed before what is already pending would run backwards.
        if (!pending_.empty() && e.sampleOffset < pending_.back().sampleOffset)
            e.sampleOffset = pending_.back().sampleOffset;
        pending_.push_back(std::move(e));
    }
    events.resize(kept);
}

void Resampler::retireHandledEvents(int rendered) {
    size_t handled = 0;
    while (handled < pending_.size() && pending_[handled].sampleOffset < rendered)
        ++handled;
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(handled));
    for (SMidiEvent& e : pending_)
        e.sampleOffset -= rendered;
}

void Resampler::noteSound(int active, int64_t firstEngineSample, int rendered) {
    for (int c = 0; c < active; ++c) {
        const size_t held = buffers_[c].size() - static_cast<size_t>(rendered);
        const int end = soundEndIn(buffers_[c].data() + held, rendered);
        freshSilent_[c] = end == 0;
        freshFrom_[c] = held;
        if (end > 0) soundEnd_[c] = firstEngineSample + end;
    }
}

bool Resampler::isClean(int channel, int64_t hostSample) const {
    return soundEnd_[channel] + flushSamples_ <= engineSampleAt(hostSample);
}

bool Resampler::canPark(int active) const {
    if (!engine_.isQuiet() || !pending_.empty()) return false;
    for (int c = 0; c < active; ++c)
        if (!isClean(c, hostPosition_)) return false;
    return true;
}

// Runs the channel through zeros from where it stopped to a position that matches the host
// position modulo the common period, far enough on that any tail it held has left; the output is
// discarded. Afterwards the channel stands where it would after rendering all along.
int64_t Resampler::catchUpSteps(int channel) const {
    const int64_t from = channelPosition_[channel];
    const int64_t step = period_ > 0 ? period_ : grid_;
    int64_t steps = period_ > 0 ? ((hostPosition_ - from) % period_ + period_) % period_ : 0;
    while (!isClean(channel, from + steps))
        steps += step;
    return steps;
}

void Resampler::catchUp(int channel) {
    const int64_t from = channelPosition_[channel];
    const int64_t steps = catchUpSteps(channel);
    std::vector<float>& buffer = buffers_[channel];
    for (int64_t done = 0; done < steps;) {
        const int n = static_cast<int>(std::min<int64_t>(steps - done, kMaxHostChunk));
        const int64_t zeros = engineSampleAt(from + done + n) - engineSampleAt(from + done);
        buffer.resize(buffer.size() + static_cast<size_t>(zeros), 0.0f);
        if (!convert(channel, scratch_.data(), n)) ++underruns_;
        done += n;
    }
    channelPosition_[channel] = hostPosition_;
    soundEnd_[channel] = kNoSound;
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
    if (!out) out = scratch_.data();
    std::vector<float>& buffer = buffers_[channel];
    void* handle = handles_[channel];
    int consumed = 0;
    const int done =
        !handle ? 0
                : convertInPasses(static_cast<int>(buffer.size()), samples, consumed,
                                  [&](int from, int offered, int at, int& used) {
                                      return resample_process(handle, downFactor_, buffer.data() + from,
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
            return silence_.process(offered, n - at, used);
        });
        if (produced < n) ++underruns_;
        have -= consumed;
        done += n;
    }
    return have;
}

// Every silent channel at once: the silent converter takes the same passes a real one would.
bool Resampler::convertSilence(float* const* outputs, int written, int active, int samples) {
    int consumed = 0, done = -1;
    for (int c = 0; c < active; ++c) {
        if (!silent_[c]) continue;
        std::vector<float>& buffer = buffers_[c];
        if (done < 0)
            done = convertInPasses(static_cast<int>(buffer.size()), samples, consumed,
                                   [&](int, int offered, int at, int& used) {
                                       return silence_.process(offered, samples - at, used);
                                   });
        buffer.erase(buffer.begin(), buffer.begin() + consumed);
        if (c < written) std::fill(outputs[c], outputs[c] + samples, 0.0f);
        ++silentConversions_;
    }
    return done < 0 || done >= samples;
}

} // namespace k1lib
