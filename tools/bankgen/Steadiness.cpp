#include "tools/bankgen/Steadiness.h"

#include <algorithm>

#include "tools/bankgen/SoundMeasure.h"
#include "tools/bankgen/Waves.h"

namespace bankgen {
namespace {

// The widest swing of a held C4 or C5 around its decay trend over 1-4 s, as the sound tests hear it.
float heldSwing(const k1lib::SinglePreset& p, Audition& audition) {
    float widest = 0.0f;
    for (const int note : {60, 72}) {
        const std::vector<float> held = audition.play(p, {note}, 100, 4.0f);
        widest = std::max(widest, soundmeasure::swingAroundTrend(
                                      soundmeasure::frameLevels(held, at(1.0), at(4.0), at(0.05))));
    }
    return widest;
}

// Steps back the chosen sources a few levels at a time while a held note swings more than 4.5 dB,
// none of them below a quarter of the scale.
void stepBackUntilSteady(k1lib::SinglePreset& p, Audition& audition, auto chosen) {
    constexpr uint32_t kStep = 6, kLeast = 25;
    for (int round = 0; round < 10 && heldSwing(p, audition) > 4.5f; ++round) {
        bool stepped = false;
        for (int i = 0; i < (p.source2or4 ? 4 : 2); ++i) {
            k1lib::SingleSource& s = p.sources[i];
            if (!chosen(i) || s.envLevel < kLeast + kStep) continue;
            s.envLevel -= kStep;
            stepped = true;
        }
        if (!stepped) return;
    }
}

} // namespace

void steadyBesideLoops(k1lib::SinglePreset& p, Audition& audition) {
    const int count = p.source2or4 ? 4 : 2;
    bool loop = false, singleCycle = false;
    for (int i = 0; i < count; ++i) {
        const uint8_t wave = static_cast<uint8_t>(p.sources[i].wave);
        loop |= wave >= kFirstSampledWave && waveLoops(wave);
        singleCycle |= wave < kFirstSampledWave;
    }
    if (!loop || !singleCycle) return;
    stepBackUntilSteady(p, audition, [&](int i) { return p.sources[i].wave < kFirstSampledWave; });
}

void steadyCopies(k1lib::SinglePreset& p, Audition& audition) {
    stepBackUntilSteady(p, audition, [](int i) { return i >= 2; });
}

} // namespace bankgen
