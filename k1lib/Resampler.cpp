#include "Resampler.h"

#include <algorithm>
#include <cmath>
#include <libresample.h>

namespace k1lib {
namespace {
constexpr int kMaxHostChunk = 4096;  // longer host blocks are converted in pieces
constexpr int kPrimingSamples = 192;  // silence ahead of the first sample, covers the filter delay
}  // namespace

Resampler::Resampler(AudioRenderer& engine, float engineRate, float hostRate, unsigned long channelCount)
    : engine_(engine),
      engineRate_(engineRate),
      hostRate_(hostRate),
      upRatio_(engineRate / static_cast<double>(hostRate)),
      downFactor_(static_cast<double>(hostRate) / engineRate),
      bypass_(engineRate == hostRate) {
    pending_.reserve(1024);
    setChannelCount(channelCount);
}

Resampler::~Resampler() { destroyResamplers(); }

void Resampler::destroyResamplers() {
    for (void* handle : handles_)
        if (handle) resample_close(handle);
    handles_.clear();
}

void Resampler::setChannelCount(unsigned long channels) {
    channels = std::clamp<unsigned long>(channels, 1, kMaxChannels);
    if (handles_.size() == channels) return;
    destroyResamplers();
    buffers_.resize(channels);
    const size_t capacity = static_cast<size_t>(kMaxHostChunk * upRatio_) + kPrimingSamples + 64;
    for (std::vector<float>& buffer : buffers_) {
        buffer.reserve(capacity);
        buffer.assign(kPrimingSamples, 0.0f);
    }
    scratch_.assign(kMaxHostChunk, 0.0f);
    for (unsigned long c = 0; c < channels; ++c) handles_.push_back(resample_open(1, downFactor_, downFactor_));
}

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
    setChannelCount(static_cast<unsigned long>(std::max(written, 1)));
    if (samples <= 0) {
        takeEvents(events, 0);  // kept for the next block's first sample
        return;
    }
    float* chunkOutputs[kMaxChannels];
    for (int done = 0; done < samples;) {
        const int n = std::min(samples - done, kMaxHostChunk);
        for (int c = 0; c < written; ++c) chunkOutputs[c] = outputs[c] + done;
        // Events of this piece: offsets relative to its start; the rest wait for the next piece.
        for (SMidiEvent& e : events) e.sampleOffset -= (done == 0 ? 0 : kMaxHostChunk);
        processChunk(chunkOutputs, written, n, events);
        done += n;
    }
}

void Resampler::processChunk(float** outputs, int channels, int samples, std::vector<SMidiEvent>& events) {
    takeEvents(events, samples);
    const int rendered = static_cast<int>(engineSampleAt(hostPosition_ + samples) - engineSampleAt(hostPosition_));
    float* renderPointers[kMaxChannels];
    for (size_t c = 0; c < buffers_.size(); ++c) {
        std::vector<float>& buffer = buffers_[c];
        const size_t have = buffer.size();
        buffer.resize(have + static_cast<size_t>(rendered));
        renderPointers[c] = buffer.data() + have;
    }
    engine_.processAudio(renderPointers, static_cast<int>(buffers_.size()), rendered, pending_);
    retireHandledEvents(rendered);
    convert(outputs, channels, samples);
    hostPosition_ += samples;
}

void Resampler::takeEvents(std::vector<SMidiEvent>& events, int samples) {
    const int64_t base = engineSampleAt(hostPosition_);
    size_t kept = 0;
    for (SMidiEvent& e : events) {
        if (samples > 0 && e.sampleOffset >= samples) {
            events[kept++] = std::move(e);  // belongs to a later piece of the host block
            continue;
        }
        const int hostOffset = std::max(e.sampleOffset, 0);
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
    while (handled < pending_.size() && pending_[handled].sampleOffset < rendered) ++handled;
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(handled));
    for (SMidiEvent& e : pending_) e.sampleOffset -= rendered;
}

void Resampler::convert(float** outputs, int channels, int samples) {
    bool underrun = false;
    for (size_t c = 0; c < buffers_.size(); ++c) {
        float* out = c < static_cast<size_t>(channels) ? outputs[c] : scratch_.data();
        std::vector<float>& buffer = buffers_[c];
        int done = 0;
        // libresample may take the input in several passes; a pass that moves nothing ends it.
        while (done < samples) {
            int used = 0;
            const int produced = resample_process(handles_[c], downFactor_, buffer.data(), static_cast<int>(buffer.size()),
                                                  0, &used, out + done, samples - done);
            used = std::clamp(used, 0, static_cast<int>(buffer.size()));
            buffer.erase(buffer.begin(), buffer.begin() + used);
            if (produced <= 0 && used == 0) break;
            done += std::max(produced, 0);
        }
        if (done < samples) {
            std::fill(out + done, out + samples, 0.0f);
            underrun = true;
        }
    }
    if (underrun) ++underruns_;
}

}  // namespace k1lib
