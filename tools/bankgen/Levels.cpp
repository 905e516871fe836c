#include "tools/bankgen/Levels.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "k1lib/params/Curves.h"

namespace bankgen {
namespace {

constexpr int kTrialVelocity = 100;
constexpr int kSoftVelocity = 40; // what a soft layer of a velocity switch answers

bool isActive(const k1lib::MultiSection& s, const std::vector<k1lib::SinglePreset>& bank) {
    return s.poly != 1 && s.single < bank.size();
}

// Five keys around the middle of the section's zone, inside it where the zone is wide enough.
std::vector<int> chordInZone(const k1lib::MultiSection& s) {
    const int low = static_cast<int>(s.zoneLow), high = static_cast<int>(s.zoneHigh);
    const int start = std::max(low, std::min((low + high) / 2 - 6, high - 16));
    std::vector<int> chord;
    for (int step : {0, 4, 7, 12, 16})
        chord.push_back(std::clamp(start + step, 0, 127));
    return chord;
}

// Long enough for the Single to reach its peak: its slowest source's delay and attack, and half a
// second more for sources and notes to meet.
float trialSeconds(const k1lib::SinglePreset& single) {
    float longest = 0.0f;
    for (int i = 0; i < (single.source2or4 ? 4 : 2); ++i) {
        const k1lib::SingleSource& s = single.sources[i];
        longest = std::max(longest, k1lib::envDelayTime(static_cast<uint8_t>(s.envDelay)) +
                                        k1lib::envAttackTime(static_cast<uint8_t>(s.envAttack)));
    }
    // Copies of one wave a few cents apart peak where they meet in phase, which can be a whole beat
    // (3.3 s at the C3 under the chord) in.
    const int count = single.source2or4 ? 4 : 2;
    for (int i = 0; i < count; ++i)
        for (int j = i + 1; j < count; ++j) {
            const k1lib::SingleSource &a = single.sources[i], &b = single.sources[j];
            if (a.wave == b.wave && a.coarse == b.coarse && a.fine != b.fine) return 4.0f;
        }
    return std::min(longest + 0.5f, 3.0f);
}

// The loudest stored volume whose gain is at most the given one (at least the quietest).
int volumeFor(double gain, int highest) {
    int best = 0;
    for (int v = 0; v <= highest; ++v)
        if (k1lib::volume(v) <= gain) best = v;
    return best;
}

} // namespace

bool playsOnePitch(const k1lib::SinglePreset& single) {
    for (int i = 0; i < (single.source2or4 ? 4 : 2); ++i)
        if (single.sources[i].keyTrack && !single.mute[i]) return false;
    return true;
}

void setSingleVolume(k1lib::SinglePreset& single, Audition& audition) {
    single.volume = 99; // measured at unity gain
    const float seconds = trialSeconds(single);
    const double note = loudestRms(audition.play(single, {60}, kTrialVelocity, seconds));
    const double chord = peakOf(
        audition.play(single, playsOnePitch(single) ? kTrialHits : kTrialChord, kTrialVelocity, seconds));
    const double forte = peakOf(
        audition.play(single, playsOnePitch(single) ? kForteHit : kForteChord, kForteVelocity, seconds));
    double gain = 1.0;
    if (note > 0.0) gain = std::min(gain, kNoteLevel / note);
    if (chord > 0.0) gain = std::min(gain, kChordCeiling / chord);
    if (forte > 0.0)
        gain = std::min(gain, (playsOnePitch(single) ? kForteHitCeiling : kForteCeiling) / forte);
    single.volume = static_cast<uint8_t>(volumeFor(gain, 99));
}

void setMultiVolume(k1lib::MultiPreset& multi, const std::vector<k1lib::SinglePreset>& bank,
                    Audition& audition) {
    // The intended use: a chord in the middle of each active section's zone, sent on the section's
    // channel, so every section on that channel whose zone and velocity switch admit a key plays it.
    std::map<uint32_t, std::set<int>> keys; // by channel
    for (const k1lib::MultiSection& s : multi.sections)
        if (isActive(s, bank))
            for (int key : chordInZone(s))
                keys[s.channel].insert(key);
    double loudest = 0.0;
    for (const int velocity : {kTrialVelocity, kSoftVelocity, kForteVelocity}) {
        std::vector<float> mix;
        for (const k1lib::MultiSection& s : multi.sections) {
            if (!isActive(s, bank) ||
                (s.velocity == k1lib::VelocitySoft && velocity >= k1lib::kLoudVelocity) ||
                (s.velocity == k1lib::VelocityLoud && velocity < k1lib::kLoudVelocity))
                continue;
            for (int key : keys[s.channel]) {
                if (key < static_cast<int>(s.zoneLow) || key > static_cast<int>(s.zoneHigh)) continue;
                const std::vector<float> note =
                    audition.play(bank[s.single], {key}, velocity, trialSeconds(bank[s.single]), s.transpose,
                                  static_cast<int>(s.level));
                mix.resize(std::max(mix.size(), note.size()), 0.0f);
                for (size_t i = 0; i < note.size(); ++i)
                    mix[i] += note[i];
            }
        }
        loudest = std::max(loudest, peakOf(mix));
    }
    multi.volume = static_cast<uint32_t>(volumeFor(loudest > 0.0 ? kMultiCeiling / loudest : 1.0, 99));
}

} // namespace bankgen
