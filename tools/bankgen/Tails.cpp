#include "tools/bankgen/Tails.h"

#include <algorithm>
#include <vector>

#include "tools/bankgen/PlayingMeasure.h"
#include "tools/bankgen/Waves.h"

namespace bankgen {
namespace {

constexpr uint32_t kShortestRelease = 16; // 65 ms
constexpr uint32_t kShortestDecay = 10;
constexpr uint32_t kLongestRelease = 60; // 2.6 s

enum class Stop { None, WhileHeld, Released };

// Where a C4 held for a second falls more than 39 dB within 20 ms from above -70 dBFS.
Stop heardStop(const k1lib::SinglePreset& p, Audition& audition) {
    constexpr float kHeld = 1.0f;
    const Heard heard = audition.listen(p, {60}, 100, kHeld, 6.0f);
    const auto keyOff = static_cast<size_t>(kHeld * Audition::kRate);
    const std::vector<float> held(heard.samples.begin(),
                                  heard.samples.begin() +
                                      static_cast<long>(std::min(keyOff, heard.samples.size())));
    if (soundmeasure::suddenestStop(held, Audition::kRate, heard.sounding < keyOff) > 39.0f)
        return Stop::WhileHeld;
    if (soundmeasure::suddenestStop(heard.samples, Audition::kRate, heard.tailSeconds >= 0.0f) > 39.0f)
        return Stop::Released;
    return Stop::None;
}

// The one-shot sources fall further before their waves end: sustain first, then the longest
// decay.
bool fadeOneShots(k1lib::SinglePreset& p, int count) {
    bool stepped = false;
    uint32_t longest = 0;
    for (int i = 0; i < count; ++i) {
        k1lib::SingleSource& s = p.sources[i];
        if (waveLoops(static_cast<uint8_t>(s.wave))) continue;
        if (s.envSustain > 0) {
            s.envSustain = s.envSustain > 10 ? s.envSustain - 10 : 0;
            stepped = true;
        }
        longest = std::max(longest, s.envDecay);
    }
    if (stepped || longest <= kShortestDecay) return stepped;
    for (int i = 0; i < count; ++i) {
        k1lib::SingleSource& s = p.sources[i];
        if (!waveLoops(static_cast<uint8_t>(s.wave)) && s.envDecay == longest)
            s.envDecay = std::max(s.envDecay - 3, kShortestDecay);
    }
    return true;
}

// Every source lets go more slowly: a release that reaches the envelopes' floor, or a ring
// modulation whose product falls twice as fast, while still audible.
bool slowerReleases(k1lib::SinglePreset& p, int count) {
    bool stepped = false;
    for (int i = 0; i < count; ++i) {
        k1lib::SingleSource& s = p.sources[i];
        if (s.envRelease >= kLongestRelease) continue;
        s.envRelease = std::min(s.envRelease + 4, kLongestRelease);
        stepped = true;
    }
    return stepped;
}

} // namespace

void fadeTails(k1lib::SinglePreset& p, Audition& audition) {
    const int count = p.source2or4 ? 4 : 2;
    for (int i = 0; i < count; ++i)
        p.sources[i].envRelease = std::max(p.sources[i].envRelease, kShortestRelease);
    for (int round = 0; round < 24; ++round) {
        const Stop stop = heardStop(p, audition);
        if (stop == Stop::None ||
            !(stop == Stop::WhileHeld ? fadeOneShots(p, count) : slowerReleases(p, count)))
            return;
    }
}

} // namespace bankgen
