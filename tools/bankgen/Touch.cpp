#include "tools/bankgen/Touch.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "k1lib/params/Curves.h"
#include "tools/bankgen/SoundMeasure.h"
#include "tools/bankgen/Waves.h"

namespace bankgen {
namespace {

constexpr int kStraight = 2, kSteep = 3; // stored curve numbers: the K1's curves 3 and 4
constexpr float kLeastRise = 1.5f;       // dB from velocity 100 to 127
constexpr float kMostRise = 5.0f;

float rise(const k1lib::SinglePreset& p, Audition& audition) {
    return soundmeasure::decibels(loudestRms(audition.play(p, {60}, 127, 0.5f))) -
           soundmeasure::decibels(loudestRms(audition.play(p, {60}, 100, 0.5f)));
}

// Curves that reach within 4 % of their top by velocity 100.
bool flatAtTheTop(uint32_t curve) {
    return k1lib::velocityCurveValue(100, static_cast<int>(curve)) >= 122;
}

// How much brighter a held middle C sounds over its first second at velocity 120 than at 30, as a
// ratio of spectral centroids.
double opening(const k1lib::SinglePreset& p, Audition& audition) {
    const auto heard = [&](int velocity) {
        return brightness(audition.play(p, {60}, velocity, 1.0f), 0, 12);
    };
    return heard(120) / std::max(heard(30), 1.0);
}

// The loudest tenth of a second of a held middle C at velocity 120 over the one at 30, in dB.
float heldTouch(const k1lib::SinglePreset& p, Audition& audition) {
    return soundmeasure::decibels(loudestRms(audition.play(p, {60}, 120, 2.0f))) -
           soundmeasure::decibels(loudestRms(audition.play(p, {60}, 30, 2.0f)));
}

} // namespace

void brightenWithTouch(k1lib::SinglePreset& p, Audition& audition, bool forward) {
    constexpr double kEnough = 1.02; // a margin over the 1 % the ear takes for brighter
    constexpr uint32_t kOctave = 12, kStrongest = 100, kQuietest = 40, kStep = 4, kForward = 16;
    if (opening(p, audition) >= kEnough) return;
    // Only a loop is repeated: a sample that plays once runs out twice as fast an octave up, before
    // its envelope has faded. "Big" keeps its octave below in S3 and gives up S2's copy in S4.
    const auto loops = [&](int source) { return waveLoops(static_cast<uint8_t>(p.sources[source].wave)); };
    if (!loops(0) && !loops(1)) return;
    const auto looped = [&](int source) { return loops(source) ? source : 1 - source; };
    std::vector<std::pair<int, int>> overtones; // the source and the one it repeats
    if (p.source2or4)
        overtones.emplace_back(3, looped(1));
    else
        overtones = {{2, looped(0)}, {3, looped(1)}};
    k1lib::SinglePreset q = p;
    q.source2or4 = 1;
    for (const auto& [slot, parent] : overtones) {
        k1lib::SingleSource& overtone = q.sources[slot];
        overtone = p.sources[parent];
        overtone.coarse = std::min<uint32_t>(overtone.coarse + kOctave, 127);
        overtone.levelModVel = kStrongest;
        overtone.velCurve = kSteep;
    }
    const float touch = heldTouch(p, audition);
    // The softest overtones that open the sound enough, the touch's range kept within 6 dB of the
    // one the player knew.
    for (uint32_t level = kQuietest; level <= 100; level += kStep) {
        for (const auto& [slot, parent] : overtones)
            q.sources[slot].envLevel = std::min(level, p.sources[parent].envLevel);
        if (opening(q, audition) >= kEnough) {
            for (const auto& [slot, parent] : overtones)
                if (forward)
                    q.sources[slot].envLevel = std::min(level + kForward, p.sources[parent].envLevel);
            if (std::abs(heldTouch(q, audition) - touch) <= 6.0f) p = q;
            return;
        }
    }
}

void keepTopOfTouch(k1lib::SinglePreset& p, Audition& audition) {
    const int count = p.source2or4 ? 4 : 2;
    const float heard = rise(p, audition);
    if (heard > kMostRise) {
        // A steep curve's forte would take the room a chord needs from the level at velocity 100.
        k1lib::SinglePreset straighter = p;
        for (int i = 0; i < count; ++i)
            if (!flatAtTheTop(p.sources[i].velCurve)) straighter.sources[i].velCurve = kStraight;
        if (rise(straighter, audition) >= kLeastRise) p = straighter;
        return;
    }
    if (heard >= kLeastRise) return;
    // The sources answering the touch most first: they carry the rise and least change the balance
    // at velocity 100 that the rest set.
    uint32_t strongest = 0;
    for (int i = 0; i < count; ++i)
        strongest = std::max(strongest, p.sources[i].levelModVel);
    bool flat[4] = {};
    for (const bool all : {false, true}) {
        for (int i = 0; i < count; ++i)
            flat[i] = flatAtTheTop(p.sources[i].velCurve) && (all || p.sources[i].levelModVel == strongest);
        const k1lib::SinglePreset before = p;
        for (const int curve : {kStraight, kSteep}) {
            for (int i = 0; i < count; ++i)
                if (flat[i]) p.sources[i].velCurve = curve;
            if (rise(p, audition) >= kLeastRise) return;
        }
        p = before;
    }
}

} // namespace bankgen
