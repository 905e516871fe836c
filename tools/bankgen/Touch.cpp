#include "tools/bankgen/Touch.h"

#include <algorithm>

#include "k1lib/params/Curves.h"
#include "tools/bankgen/SoundMeasure.h"

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

} // namespace

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
