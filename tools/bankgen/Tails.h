#pragma once
// Keeps a note from stopping dead: it fades to silence once the key comes up or its wave ends.
#include "k1lib/records/SinglePreset.h"
#include "tools/bankgen/Audition.h"

namespace bankgen {

// A release of a few milliseconds, or a one-shot wave that ends while its envelope is still up,
// stops a note dead. Every release takes at least 65 ms (60 dB at under 20 dB per 20 ms); where a
// C4 held for a second still falls more than 39 dB within 20 ms from above -70 dBFS while the key
// is down, the one-shot sources' sustain, then their decay, step down until it fades; where it does
// once the key is up, every release lengthens (an envelope lets go at its floor, 60 dB under full,
// and a ring modulation's product falls twice as fast as either source).
void fadeTails(k1lib::SinglePreset& p, Audition& audition);

} // namespace bankgen
