#pragma once
// The 256 waveforms the sources play: 204 single-cycle waves rebuilt from the wave ROM into five
// key-range tables each, and 52 sampled waves cut out of the ROM by its cue labels.
// Built once, read-only afterwards: sources keep raw pointers into this object, so it must not
// move or change while voices exist.
#include "k1lib/base/StaticArray.h"
#include "k1lib/constants/K1Constants.h"

#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

namespace k1lib {

class Waveforms {
public:
    static constexpr int kKeyCount = 128;
    static constexpr int kTablesPerWave = 5;
    static constexpr int kTableLength = 256;
    // Samples after a waveform's end that repeat it from its start (data[length + j] is
    // data[j % length]): a source reads the sample after the last one in the same load, and
    // loads sixteen samples from any index (see WaveReading).
    static constexpr int kGuardLength = 15;

    // What one key of one waveform plays.
    struct WaveformData {
        const int8_t* data = nullptr; // not owned; length + kGuardLength samples
        uint64_t length = 0;          // in samples, a power of two
        float rootFrequency = 0.0f;   // Hz heard when played at the waveform's sample rate
    };

    struct Waveform {
        StaticArray<WaveformData, kKeyCount> keys;
        std::vector<int8_t> ownSamples; // only ping-pong waves own their (doubled) samples, guarded
        bool loop = false;
        bool alternating = false;
        bool span = false;
        float sampleRate = 0.0f;
    };

    Waveforms();
    Waveforms(const Waveforms&) = delete;
    Waveforms& operator=(const Waveforms&) = delete;

    // Fills everything from the embedded wave ROM; failures only reach the log.
    void loadFromMemory();
    // Same, from any image of the wave ROM's layout.
    void loadFromImage(const unsigned char* image, uint64_t size);

    static const char* getName(uint8_t waveform);
    bool canRandomStart(uint8_t waveform) const;

    const WaveformData& getData(uint8_t waveform, uint8_t key) const {
        return m_waveforms[waveform].keys[key & 0x7f];
    }
    const Waveform& getWaveform(uint8_t waveform) const { return m_waveforms[waveform]; }
    bool isLoop(uint8_t waveform) const { return m_waveforms[waveform].loop; }
    bool isAlternating(uint8_t waveform) const { return m_waveforms[waveform].alternating; }
    bool isSpan(uint8_t waveform) const { return m_waveforms[waveform].span; }

private:
    using Table = StaticArray<int8_t, kTableLength + kGuardLength>;

    void clear();
    void addSingleCycle(int number, const int8_t* block, float sampleRate);
    // Defines the waveforms a segment's label names; false stops the walk.
    [[nodiscard]] bool addSampled(const std::string& label, size_t segment,
                                  const std::vector<uint64_t>& positions, float sampleRate,
                                  std::bitset<kWaveCount>& defined);
    const int8_t* romData(uint64_t position) const;
    // The ROM's samples from start on, copied once per stretch and followed by the guard.
    const int8_t* guardedCopy(uint64_t start, uint64_t length);

    StaticArray<Waveform, kWaveCount> m_waveforms;
    std::vector<char> m_romSamples; // the whole data chunk as signed bytes
    struct GuardedCopy {
        uint64_t start;
        uint64_t length;
        std::vector<int8_t> samples; // length + kGuardLength; its buffer stays put when the copy moves
    };
    std::vector<GuardedCopy> m_guardedCopies; // waves playing the same stretch share one copy
    StaticArray<StaticArray<Table, kTablesPerWave>, kFirstSampledWave> m_tables;
};

} // namespace k1lib
