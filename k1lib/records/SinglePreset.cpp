#include "k1lib/records/SinglePreset.h"

#include <cstring>

namespace k1lib {

bool operator==(const SingleSource& a, const SingleSource& b) {
    return a.fine == b.fine && a.coarse == b.coarse && a.wave == b.wave && a.keyTrack == b.keyTrack &&
           a.vibABend == b.vibABend && a.pressureToFreq == b.pressureToFreq && a.velCurve == b.velCurve &&
           a.envLevel == b.envLevel && a.envDelay == b.envDelay && a.envAttack == b.envAttack &&
           a.envDecay == b.envDecay && a.envSustain == b.envSustain && a.envRelease == b.envRelease &&
           a.levelModVel == b.levelModVel && a.levelModPressure == b.levelModPressure &&
           a.levelModKeyScale == b.levelModKeyScale && a.timeModVel == b.timeModVel &&
           a.timeModKeyScale == b.timeModKeyScale && a.freqKeyScaleToFreq == b.freqKeyScaleToFreq;
}

bool operator==(const SinglePreset& a, const SinglePreset& b) {
    // The name compares as 11 raw bytes: bytes after the terminator count too.
    if (std::memcmp(a.name, b.name, sizeof a.name) != 0) return false;
    if (!(a.volume == b.volume && a.polyMode == b.polyMode && a.source2or4 == b.source2or4 &&
          a.ampModS1S2 == b.ampModS1S2 && a.ampModS3S4 == b.ampModS3S4 &&
          a.pressureToFreq == b.pressureToFreq && a.vibratoDepth == b.vibratoDepth &&
          a.pressureToVibrato == b.pressureToVibrato && a.pitchBendDepth == b.pitchBendDepth &&
          a.lfoSpeed == b.lfoSpeed && a.lfoShape == b.lfoShape && a.keyScaleCurve == b.keyScaleCurve &&
          a.vibWheelMode == b.vibWheelMode && a.autoBendDepth == b.autoBendDepth &&
          a.autoBendTime == b.autoBendTime && a.velToDepth == b.velToDepth &&
          a.autoBendKeyScaleToTime == b.autoBendKeyScaleToTime))
        return false;
    for (int k = 0; k < 4; ++k)
        if (a.mute[k] != b.mute[k]) return false;
    for (int s = 0; s < 4; ++s)
        if (!(a.sources[s] == b.sources[s])) return false;
    return true;
}

} // namespace k1lib
