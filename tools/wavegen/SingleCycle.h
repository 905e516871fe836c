#pragma once
// The 204 single-cycle waves: five 128-sample half-periods each, one per key range.
#include <vector>

namespace wavegen {

// Writes the 204 blocks of 640 unsigned samples into samples, from the first single-cycle block on.
void writeSingleCycleWaves(std::vector<unsigned char>& samples);

} // namespace wavegen
