#pragma once
// Keeps the top of the velocity range alive on the sounds a player plays with the touch.
#include "k1lib/records/SinglePreset.h"
#include "tools/bankgen/Audition.h"

namespace bankgen {

// The K1 reads velocities from 108 up as the top of its curves, and most curves have nearly flattened
// by velocity 100, so a note struck at 127 sounds no louder than one at 100. Where a middle C at 127
// is less than 1.5 dB louder than at 100, the sources on a flat-topped curve move to the straight
// curve, then to the steep one, until it is. Where it is more than 5 dB louder, which a chord's
// headroom would pay for at every velocity, steeper curves move to the straight one if it still
// rises 1.5 dB.
void keepTopOfTouch(k1lib::SinglePreset& p, Audition& audition);

// A held sound built on nearly pure tones keeps its centroid however its sources are balanced:
// blown or bowed harder, the real instrument brings in its upper partials. Where a Single's middle
// C is less than 2 % brighter over its first second at velocity 120 than at 30, S3 and S4 (S4 alone
// where all four play) repeat its looped sources an octave higher on the steep curve, answering the
// touch fully, as soft as they may be while opening the sound that much (`forward`, for "Brt", a
// little louder, so that it stays the brighter of its pair).
void brightenWithTouch(k1lib::SinglePreset& p, Audition& audition, bool forward);

} // namespace bankgen
