#pragma once
// Test support for sound generation: a small wave ROM image made here (sine single-cycle waves,
// a one-shot and a looping sampled wave), a stand-in for the engine's voice context and a
// frequency meter.
#include "k1lib/base/Random.h"
#include "k1lib/base/StaticArray.h"
#include "k1lib/constants/K1Constants.h"
#include "k1lib/records/SinglePreset.h"
#include "k1lib/voice/MidiState.h"
#include "k1lib/voice/SectionState.h"
#include "k1lib/voice/Voice.h"
#include "k1lib/voice/VoiceContext.h"
#include "k1lib/voice/Waveforms.h"
#include "tests/support/SignalMeasure.h"
#include "tests/support/SineSingle.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace voicetest {

constexpr uint8_t OneShotWave = 224; // "225: Piano": plays once
constexpr uint8_t LoopWave = 234;    // "235: String Loop": loops, may start anywhere
constexpr uint8_t EmptyWave = 250;   // never defined by the test image: length 0
constexpr uint64_t SampledLength = 4096;
constexpr double Pi = 3.14159265358979323846;

inline void put32(std::vector<unsigned char>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
inline void putTag(std::vector<unsigned char>& out, const char* tag) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(tag[i]));
}

// Peak of single-cycle table t (0-4): each key range has its own loudness, so a test can tell them apart.
inline int tableAmplitude(int table) {
    return 20 + 20 * table;
}

// A wave ROM of the real layout but small: two labelled sampled segments, then 204 single-cycle
// blocks whose five half-periods are half a sine (so every table is one sine period).
inline std::vector<unsigned char> makeWaveRomImage() {
    std::vector<unsigned char> samples;
    std::vector<uint32_t> cues;
    std::vector<std::string> labels;
    auto addSegment = [&](const std::string& label, uint64_t length, auto sampleAt) {
        cues.push_back(static_cast<uint32_t>(samples.size()));
        labels.push_back(label);
        for (uint64_t i = 0; i < length; ++i)
            samples.push_back(static_cast<unsigned char>(sampleAt(i) + 128));
    };
    auto sine = [](double cycles) {
        return [cycles](uint64_t i) {
            return static_cast<int>(
                std::floor(100.0 * std::sin(2.0 * Pi * cycles * (static_cast<double>(i) + 0.5))));
        };
    };
    addSegment("w225", SampledLength, sine(17.0 / SampledLength));
    addSegment("w235", SampledLength, sine(34.0 / SampledLength));
    for (int wave = 0; wave < k1lib::kFirstSampledWave; ++wave)
        addSegment("Marker", 640, [](uint64_t i) {
            const double amplitude = tableAmplitude(static_cast<int>(i / 128));
            return static_cast<int>(
                std::floor(amplitude * std::sin(2.0 * Pi * (static_cast<double>(i % 128) + 0.5) / 256.0)));
        });
    cues.push_back(static_cast<uint32_t>(samples.size()));
    labels.push_back("");

    std::vector<unsigned char> body;
    putTag(body, "WAVE");
    putTag(body, "fmt ");
    put32(body, 16);
    put32(body, 1 | (1 << 16)); // PCM, mono
    put32(body, 50000);
    put32(body, 50000);
    put32(body, 1 | (8 << 16)); // block align 1, 8 bits
    putTag(body, "data");
    put32(body, static_cast<uint32_t>(samples.size()));
    body.insert(body.end(), samples.begin(), samples.end());
    if (samples.size() % 2) body.push_back(0);
    putTag(body, "cue ");
    put32(body, static_cast<uint32_t>(4 + 24 * cues.size()));
    put32(body, static_cast<uint32_t>(cues.size()));
    for (size_t i = 0; i < cues.size(); ++i) {
        put32(body, static_cast<uint32_t>(i + 1));
        put32(body, cues[i]);
        putTag(body, "data");
        put32(body, 0);
        put32(body, 0);
        put32(body, cues[i]);
    }
    std::vector<unsigned char> list;
    putTag(list, "adtl");
    for (size_t i = 0; i < labels.size(); ++i) {
        putTag(list, "labl");
        put32(list, static_cast<uint32_t>(4 + labels[i].size() + 1));
        put32(list, static_cast<uint32_t>(i + 1));
        list.insert(list.end(), labels[i].begin(), labels[i].end());
        list.push_back(0);
        if (list.size() % 2) list.push_back(0);
    }
    putTag(body, "LIST");
    put32(body, static_cast<uint32_t>(list.size()));
    body.insert(body.end(), list.begin(), list.end());

    std::vector<unsigned char> image;
    putTag(image, "RIFF");
    put32(image, static_cast<uint32_t>(body.size()));
    image.insert(image.end(), body.begin(), body.end());
    return image;
}

inline const k1lib::Waveforms& testWaveforms() {
    static const std::unique_ptr<k1lib::Waveforms> waveforms = [] {
        auto w = std::make_unique<k1lib::Waveforms>();
        const std::vector<unsigned char> image = makeWaveRomImage();
        w->loadFromImage(image.data(), image.size());
        return w;
    }();
    return *waveforms;
}

// What the engine hands its voices.
struct TestEngine {
    StaticArray<k1lib::MidiState, 16> midi;
    k1lib::Random random{1234};
    k1lib::VoiceContext context{testWaveforms(), midi, random};
};

using signalmeasure::cents;
using signalmeasure::measureFrequency;
using testsupport::sineSingle;

// One sample of a voice under a section's modulation, added into the four slots: a run of one
// frame. True when the voice has finished.
inline bool processOneFrame(k1lib::Voice& voice, float mix[k1lib::kSourceCount],
                            const k1lib::SectionState& section) {
    k1lib::PitchFrames frame;
    frame.modulation[0] = section.vibrato;
    frame.bend[0] = section.bend;
    frame.pressurePitch[0] = section.pressurePitch;
    frame.findMoves(1);
    float* const slots[k1lib::kSourceCount] = {&mix[0], &mix[1], &mix[2], &mix[3]};
    return voice.process(slots, frame, 1);
}

} // namespace voicetest
