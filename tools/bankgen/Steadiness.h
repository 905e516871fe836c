#pragma once
// Keeps a held note's level steady where a looped sample and a single-cycle wave play together, or
// detuned copies beside their partners.
#include "k1lib/records/SinglePreset.h"
#include "tools/bankgen/Audition.h"

namespace bankgen {

// A looped sample holds whole cycles per loop, which puts it about a cent under the key's pitch, so
// a single-cycle source layered with it beats every few seconds. Where that swings a held C4 or C5
// by more than 4.5 dB around its trend, the single-cycle sources step back a few levels at a time
// until the level holds (or they reach a quarter of the scale).
void steadyBesideLoops(k1lib::SinglePreset& p, Audition& audition);
// Detuned copies in S3 and S4 beat with S1 and S2; where that still swings a held note by more than
// 4.5 dB, the copies step back the same way.
void steadyCopies(k1lib::SinglePreset& p, Audition& audition);

} // namespace bankgen
