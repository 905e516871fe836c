#pragma once
// Sets the volumes by ear: every Single speaks at about the same level and leaves headroom for a
// chord, every Multi leaves headroom for a chord in each of its sections.
#include <vector>

#include "k1lib/records/MultiPreset.h"
#include "k1lib/records/SinglePreset.h"
#include "tools/bankgen/Audition.h"

namespace bankgen {

// The chord a player tries a sound with, and the level it must stay under (full scale 1). On a
// Single that plays one pitch on every key (drums) a chord only stacks identical hits; two at once
// (a flam) is what a player does with it.
inline constexpr std::initializer_list<int> kTrialChord = {48, 52, 55, 60, 64};
inline constexpr std::initializer_list<int> kTrialHits = {60, 62};
inline constexpr double kChordCeiling = 0.75; // -2.5 dBFS, 1.5 dB under the ceiling of -1 dBFS
// Many sections sum to a peak that depends on where their waves start, which the engine draws at
// random: 3 dB of room for that.
inline constexpr double kMultiCeiling = 0.63;
// Struck as hard as MIDI allows, a four-note chord stays a quarter of a decibel under full scale,
// one hit of a drum at most at full scale.
inline constexpr std::initializer_list<int> kForteChord = {60, 64, 67, 72};
inline constexpr std::initializer_list<int> kForteHit = {60};
inline constexpr int kForteVelocity = 127;
inline constexpr double kForteCeiling = 0.97;
inline constexpr double kForteHitCeiling = 1.0;
inline constexpr double kNoteLevel = 0.126; // -18 dBFS: the loudest tenth of a second of one note

// True when no source follows the key.
bool playsOnePitch(const k1lib::SinglePreset& single);

// The Single's volume: its note at kNoteLevel unless its chord would pass kChordCeiling or its
// forte chord kForteCeiling.
void setSingleVolume(k1lib::SinglePreset& single, Audition& audition);
// The Multi's volume, so that a chord in each active section together stays under kMultiCeiling,
// struck at 100, softly or as hard as MIDI allows.
void setMultiVolume(k1lib::MultiPreset& multi, const std::vector<k1lib::SinglePreset>& bank,
                    Audition& audition);

} // namespace bankgen
