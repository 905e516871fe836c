#pragma once
// Converts the engine's fixed-rate audio to the host rate, one libresample handle per channel.
//
// The engine renders exactly the samples that the host block stands for: block k covers engine
// samples trunc(H_k x ratio) up to trunc(H_(k+1) x ratio), H counting host samples. Nothing is
// dropped or rendered twice, so latency stays constant for any sequence of block sizes, and an
// event at host offset h is handled at engine sample trunc((H_k + h) x ratio) - trunc(H_k x ratio)
// of the block's render. A short run of silence primes the filters once so every block is full.
#include <cstdint>
#include <vector>

#include "AudioRenderer.h"
#include "SMidiEvent.h"

namespace k1lib {

class Resampler {
public:
    static constexpr int kMaxChannels = 8;

    Resampler(AudioRenderer& engine, float engineRate, float hostRate, unsigned long channelCount);
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    // Renders samples host frames into the first channels outputs (at most eight are written);
    // takes the block's events (offsets in host samples) and empties events.
    void process(float** outputs, int channels, int samples, std::vector<SMidiEvent>& events);

    // An idle block: the host clock moves on while the engine renders nothing.
    void skip(int samples);

    // Events taken from the host but not yet due at the engine.
    bool hasPendingEvents() const { return !pending_.empty(); }

    void setChannelCount(unsigned long channels);
    void destroyResamplers();

    // How many host samples the output lags behind the engine: the silence that primes the
    // filters, at the host rate; 0 when no conversion takes place.
    static double latency(float engineRate, float hostRate);

    // Blocks whose output had to be completed with silence (never expected; for tests).
    uint64_t underruns() const { return underruns_; }

private:
    int64_t engineSampleAt(int64_t hostSample) const;
    void processChunk(float** outputs, int channels, int samples, std::vector<SMidiEvent>& events);
    void takeEvents(std::vector<SMidiEvent>& events, int samples);
    void retireHandledEvents(int rendered);
    void convert(float** outputs, int channels, int samples);

    AudioRenderer& engine_;
    const double engineRate_;
    const double hostRate_;
    const double upRatio_;     // engine samples per host sample
    const double downFactor_;  // host samples per engine sample
    const bool bypass_;
    std::vector<void*> handles_;
    std::vector<std::vector<float>> buffers_;  // engine samples not yet taken by the conversion
    std::vector<float> scratch_;               // output of a block with no channels
    std::vector<SMidiEvent> pending_;          // offsets in engine samples from the next rendered sample
    int64_t hostPosition_ = 0;
    uint64_t underruns_ = 0;
};

}  // namespace k1lib
