#pragma once
// The 30 sampled segments (pianos, guitars, drums, winds, voices, noise), synthesised.
#include <vector>

namespace wavegen {

// Writes every sampled segment into samples (unsigned 8-bit), from sample 0 on.
void writeSampledSegments(std::vector<unsigned char>& samples);

} // namespace wavegen
