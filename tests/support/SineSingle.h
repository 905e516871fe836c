#pragma once
// The tests' plain Single: every source plays wave 1 ("Sin 1st") at the key's pitch with full level,
// instant attack, no decay and full sustain; every modulation is centred and off.
#include "k1lib/records/SinglePreset.h"

#include <cstring>

namespace testsupport {

inline k1lib::SinglePreset sineSingle() {
    k1lib::SinglePreset single{};
    std::strcpy(single.name, "Sine");
    single.volume = 99;
    single.pressureToFreq = single.vibratoDepth = single.pressureToVibrato = 50;
    single.autoBendDepth = single.velToDepth = single.autoBendKeyScaleToTime = 50;
    single.lfoSpeed = 50;
    single.pitchBendDepth = 2;
    for (k1lib::SingleSource& s : single.sources) {
        s.fine = 50;
        s.coarse = 84; // with key tracking: the key's own pitch
        s.wave = 0;
        s.keyTrack = 1;
        s.envLevel = 100;
        s.envSustain = 100;
        s.envDecay = 0;
        s.levelModVel = s.levelModPressure = s.levelModKeyScale = 50;
        s.timeModVel = s.timeModKeyScale = s.freqKeyScaleToFreq = 50;
    }
    return single;
}

} // namespace testsupport
