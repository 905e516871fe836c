#include "k1lib/voice/Waveforms.h"

#include "k1lib/voice/WavLoader.h"
#include "k1lib/wavenames/WaveformNames.h"
#include "log/Log.h"

#include <algorithm>
#include <bitset>
#include <cctype>
#include <sstream>
#include <string>
#include <utility>

namespace k1data {
const unsigned char* getData_waverom();
unsigned long getDataSize_waverom();
} // namespace k1data

namespace k1lib {

namespace {

constexpr uint64_t SingleCycleBlock = 640;
constexpr uint64_t HalfPeriod = 128;
constexpr float PcmRootFrequency = 415.28961f;
constexpr int FirstTableKeys[] = {48, 60, 72, 84}; // table t starts at key FirstTableKeys[t - 1]

bool isPowerOfTwo(uint64_t value) {
    return value != 0 && (value & (value - 1)) == 0;
}

// Fills the guard after the length samples at wave (see Waveforms::kGuardLength).
void fillGuard(int8_t* wave, uint64_t length) {
    for (uint64_t j = 0; j < Waveforms::kGuardLength; ++j)
        wave[length + j] = wave[j % length];
}

// Leading decimal digits of text from pos; no digits read as 0, too many as an impossible value.
long readNumber(const std::string& text, size_t pos, size_t end) {
    long value = 0;
    for (; pos < end && std::isdigit(static_cast<unsigned char>(text[pos])); ++pos)
        value = std::min(value * 10 + (text[pos] - '0'), 1000000L);
    return value;
}

} // namespace

Waveforms::Waveforms() {
    loadFromMemory();
}

const char* Waveforms::getName(uint8_t waveform) {
    return g_waveformNames[waveform];
}

bool Waveforms::canRandomStart(uint8_t waveform) const {
    const Waveform& w = m_waveforms[waveform];
    return waveform >= kFirstSampledWave && w.loop && !w.alternating && !w.span;
}

void Waveforms::loadFromMemory() {
    loadFromImage(k1data::getData_waverom(), k1data::getDataSize_waverom());
}

void Waveforms::clear() {
    for (Waveform& w : m_waveforms)
        w = Waveform{};
    m_romSamples.clear();
    m_guardedCopies.clear();
}

void Waveforms::loadFromImage(const unsigned char* image, uint64_t size) {
    clear();
    std::vector<CuePoint> cues;
    int rate = 0;
    if (!WavLoader::load(m_romSamples, rate, &cues, image, size)) {
        log("loadFromMemory", 99, "Failed to load Wave ROM");
        return;
    }
    const auto sampleRate = static_cast<float>(rate);
    std::vector<uint64_t> positions;
    for (const CuePoint& cue : cues) {
        if (cue.position > m_romSamples.size() || (!positions.empty() && cue.position < positions.back())) {
            log("loadFromMemory", 120, "Error: cue point at ", cue.position,
                " is out of order or beyond the samples");
            return;
        }
        positions.push_back(cue.position);
    }
    // Segments run from one cue to the next: a single cue defines nothing.
    if (positions.empty()) log("loadFromMemory", 125, "Wave ROM has no cue points; no waveforms defined");
    if (positions.size() < 2) return;
    std::bitset<kWaveCount> defined;
    int singleCycles = 0;
    for (size_t k = 0; k + 1 < positions.size(); ++k) {
        const uint64_t length = positions[k + 1] - positions[k];
        if (length == SingleCycleBlock) {
            if (singleCycles == kFirstSampledWave) {
                log("loadFromMemory", 150, "Error: more than ", kFirstSampledWave,
                    " single-cycle waves, segment ", k, " ignored");
                continue;
            }
            addSingleCycle(singleCycles, romData(positions[k]), sampleRate);
            defined.set(singleCycles++);
            continue;
        }
        if (!addSampled(cues[k].label, k, positions, sampleRate, defined)) return;
    }
}

const int8_t* Waveforms::romData(uint64_t position) const {
    return reinterpret_cast<const int8_t*>(m_romSamples.data()) + position;
}

const int8_t* Waveforms::guardedCopy(uint64_t start, uint64_t length) {
    for (const GuardedCopy& copy : m_guardedCopies)
        if (copy.start == start && copy.length == length) return copy.samples.data();
    const int8_t* data = romData(start);
    std::vector<int8_t> samples(length + kGuardLength);
    std::copy(data, data + length, samples.begin());
    fillGuard(samples.data(), length);
    m_guardedCopies.push_back(GuardedCopy{start, length, std::move(samples)});
    return m_guardedCopies.back().samples.data();
}

void Waveforms::addSingleCycle(int number, const int8_t* block, float sampleRate) {
    auto& tables = m_tables[number];
    // Each half-period holds the first half of a table; the second half is its mirror, negated.
    for (int h = 0; h < kTablesPerWave; ++h) {
        for (uint64_t i = 0; i < HalfPeriod; ++i) {
            const int8_t sample = block[h * HalfPeriod + i];
            tables[h][i] = sample;
            tables[h][kTableLength - 1 - i] = static_cast<int8_t>(~sample);
        }
        fillGuard(tables[h].data, kTableLength);
    }
    Waveform& w = m_waveforms[number];
    w.sampleRate = sampleRate;
    w.loop = true;
    w.alternating = false;
    int table = 0;
    for (int key = 0; key < kKeyCount; ++key) {
        if (table < kTablesPerWave - 1 && key == FirstTableKeys[table]) ++table;
        w.keys[key] = WaveformData{tables[table].data, kTableLength, sampleRate / kTableLength};
    }
}

bool Waveforms::addSampled(const std::string& label, size_t segment, const std::vector<uint64_t>& positions,
                           float sampleRate, std::bitset<kWaveCount>& defined) {
    std::string lowered = label;
    for (char& c : lowered)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::istringstream tokens(lowered);
    std::string token;
    while (std::getline(tokens, token, ' ')) {
        if (token.empty()) continue;
        if (token[0] != 'w') {
            log("loadFromMemory", 183, "Invalid waveform desc ", token);
            return false;
        }
        const size_t alternatingAt = token.find('a');
        const size_t reverseAt = token.find('r');
        const size_t spanAt = token.find('l');
        size_t numberEnd = token.size();
        if (alternatingAt != std::string::npos)
            numberEnd = alternatingAt;
        else if (reverseAt != std::string::npos)
            numberEnd = reverseAt;
        else if (spanAt != std::string::npos)
            numberEnd = spanAt;
        const long number = readNumber(token, 1, numberEnd) - 1;
        if (number < 0 || number >= kWaveCount) {
            log("loadFromMemory", 205, "Error: Invalid waveform ", number);
            return false;
        }
        const uint64_t start = positions[segment];
        uint64_t length = positions[segment + 1] - start;
        const bool span = spanAt != std::string::npos && spanAt + 1 < token.size() &&
                          std::isdigit(static_cast<unsigned char>(token[spanAt + 1]));
        if (span) {
            const auto end = static_cast<uint64_t>(readNumber(token, spanAt + 1, token.size())) + segment;
            if (end >= positions.size()) {
                log("loadFromMemory", 236, "Error: cue point index out of bounds");
                return false;
            }
            length = positions[end] - start;
        }
        // Sources wrap positions with a mask, so only power-of-two lengths are playable.
        if (!isPowerOfTwo(length)) {
            log("loadFromMemory", 240, "Error: waveform ", number, " length ", length,
                " is not a power of two");
            return false;
        }
        if (defined.test(number))
            log("loadFromMemory", 211, "Error: Waveform ", number, " is defined twice!");
        defined.set(number);

        Waveform& w = m_waveforms[number];
        w = Waveform{};
        w.alternating = alternatingAt != std::string::npos;
        const std::string name = g_waveformNames[number];
        w.loop = w.alternating || spanAt != std::string::npos || name.find("Loop") != std::string::npos ||
                 name.find(" Alt") != std::string::npos;
        w.span = span;
        w.sampleRate = sampleRate;
        const int8_t* data = nullptr;
        if (w.alternating) {
            const int8_t* rom = romData(start);
            w.ownSamples.resize(2 * length + kGuardLength);
            for (uint64_t i = 0; i < length; ++i)
                w.ownSamples[i] = w.ownSamples[2 * length - 1 - i] = rom[i];
            fillGuard(w.ownSamples.data(), 2 * length);
            data = w.ownSamples.data();
            length *= 2;
        } else {
            data = guardedCopy(start, length);
        }
        for (WaveformData& key : w.keys)
            key = WaveformData{data, length, PcmRootFrequency};
    }
    return true;
}

} // namespace k1lib
