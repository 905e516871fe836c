#pragma once
// Converts the engine's fixed-rate audio to the host rate, one libresample handle per channel.
//
// The engine renders exactly the samples that the host block stands for: block k covers engine
// samples trunc(H_k x ratio) up to trunc(H_(k+1) x ratio), H counting host samples. Nothing is
// dropped or rendered twice, so latency stays constant for any sequence of block sizes, and an
// event at host offset h is handled at engine sample trunc((H_k + h) x ratio) - trunc(H_k x ratio)
// of the block's render. A short run of silence primes the filters once so every block is full.
//
// Silence: once the renderer is quiet and every channel's tail has left the filters, the
// resampler parks at a host position on a fixed grid (the same one whatever the block sizes).
// While parked nothing is rendered or converted; the host clock runs on. A channel that comes
// back (on the next event, or when a bus is switched on again) is first run through zeros up to
// the host position modulo the common period of both rates, which leaves it exactly where
// continuous rendering would have: output after a silence is the same as without one.
//
// A stretch that the renderer says is silent before rendering it (AudioRenderer::rendersSilence),
// with every channel silent already, is handed to the renderer without output and converts
// nothing: at rates with a short common period the channels stop as when parked, otherwise the
// silent converter alone takes its passes. Either way every later output is what converting
// those zeros would have left.
//
// Shared conversion: a channel whose input is bit for bit that of an earlier channel (the main
// pair of a centred Single, silent buses), and whose converter is in the same state, follows it:
// only the first is converted and its output copied. When their inputs part, the follower's
// converter is given the state of the one it followed, so every channel sounds exactly as if it
// had been converted alone. A channel that holds only zeros, input and converter alike, is not
// converted at all: one SilentConverter keeps the positions for every such channel, and the first
// non-zero input gives the channel that state back, so a bus that wakes after a long silence
// sounds as one converted all along.
//
// All eight handles are made in the constructor, so a change of the channel count on the audio
// thread never allocates; channels beyond the count simply wait. Not thread-safe: the engine's
// lock covers every call.
#include <array>
#include <cstdint>
#include <vector>

#include "k1lib/constants/K1Constants.h"
#include "k1lib/engine/AudioRenderer.h"
#include "k1lib/engine/ResamplerHandles.h"
#include "k1lib/engine/SilentConverter.h"
#include "k1lib/records/SMidiEvent.h"

namespace k1lib {

class Resampler {
public:
    static constexpr int kMaxChannels = kOutputCount;

    // channelCount is not used: every channel is prepared up front.
    Resampler(AudioRenderer& engine, float engineRate, float hostRate,
              unsigned long channelCount = kMaxChannels);
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    // Renders samples host frames into the first channels outputs (at most eight are written);
    // takes the block's events (offsets in host samples, ascending) and empties events.
    void process(float** outputs, int channels, int samples, std::vector<SMidiEvent>& events);

    // Parked: nothing sounds inside, no event waits, and a block without events may be skipped.
    bool isParked() const { return m_bypass || (m_parked && m_pending.empty()); }
    // A skipped block while parked: the host clock moves on, nothing else does.
    void skip(int samples);

    // Events taken from the host but not yet due at the engine.
    bool hasPendingEvents() const { return !m_pending.empty(); }

    // How many host samples the output lags behind the engine: the silence that primes the
    // filters, at the host rate; 0 when no conversion takes place.
    static double latency(float engineRate, float hostRate);

    // Blocks whose output had to be completed with silence (never expected; for tests).
    uint64_t underruns() const { return m_underruns; }

    // Back to the state of a new resampler for the same rates, without building the filters again.
    void restart();

    // Channel conversions skipped so far because the channel followed another (for tests).
    uint64_t sharedConversions() const { return m_sharedConversions; }
    // Channel conversions skipped so far because the channel held only zeros (for tests).
    uint64_t silentConversions() const { return m_silentConversions; }

private:
    int64_t engineSampleAt(int64_t hostSample) const;
    int wakeOffset(const std::vector<SMidiEvent>& events, int from, int samples) const;
    void processChunk(float** outputs, int written, int active, int from, int samples,
                      std::vector<SMidiEvent>& events);
    bool allSilent(int active) const;
    void processSilentChunk(float* const* outputs, int written, int active, int rendered, int samples);
    void takeEvents(std::vector<SMidiEvent>& events, int from, int to);
    void retireHandledEvents(int rendered);
    void noteSound(int active, int64_t firstEngineSample, int rendered);
    bool isClean(int channel, int64_t hostSample) const;
    bool canPark(int active) const;
    int64_t catchUpSteps(int channel) const;
    void catchUp(int channel);
    int64_t catchUpSilence(int64_t from, int64_t steps, size_t held);
    void catchUpAll(int active);
    void chooseLeaders(int active);
    bool sameInput(int a, int b) const;
    void leaveFollowing(int channel);
    bool trySilence(int channel);
    void leaveSilence(int channel);
    bool convert(int channel, float* out, int samples);
    bool convertSilence(float* const* outputs, int written, int active, int samples);

    AudioRenderer& m_engine;
    const double m_engineRate;
    const double m_hostRate;
    const double m_upRatio;    // engine samples per host sample
    const double m_downFactor; // host samples per engine sample
    const bool m_bypass;
    int64_t m_period = 0;       // host samples after which both clocks meet again; 0 when too long
    int64_t m_grid = 0;         // host positions where parking may happen
    int64_t m_flushSamples = 0; // engine samples after the last sound until a channel holds none
    ResamplerHandles m_handles;
    std::array<int, kMaxChannels> m_following{}; // the channel whose converter stands for this one's, or -1
    std::array<bool, kMaxChannels> m_silent{};   // m_silence stands for this channel's converter
    std::array<bool, kMaxChannels> m_freshSilent{}; // the last render left only zeros in the channel
    std::array<size_t, kMaxChannels> m_freshFrom{}; // where in its buffer the last render began
    SilentConverter m_silence;
    std::array<std::vector<float>, kMaxChannels> m_buffers; // engine samples not yet converted
    std::array<int64_t, kMaxChannels> m_channelPosition{};  // host samples each channel has produced
    std::array<int64_t, kMaxChannels> m_soundEnd{};         // engine sample after its last non-zero one
    std::vector<float> m_scratch;                           // output of a block with no channels
    std::vector<SMidiEvent> m_pending; // offsets in engine samples from the next rendered sample
    int64_t m_hostPosition = 0;
    bool m_parked = true;
    uint64_t m_underruns = 0;
    uint64_t m_sharedConversions = 0;
    uint64_t m_silentConversions = 0;
};

} // namespace k1lib
