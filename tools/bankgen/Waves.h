#pragma once
// Waveforms chosen by their display name, so a recipe reads "Piano 1" rather than a number.
#include <cstdint>
#include <string_view>

#include "k1lib/constants/K1Constants.h"

namespace bankgen {

using k1lib::kFirstSampledWave;

// "Tine" is the first waveform of that name, "Tine#2" the second; "PCM Piano" looks only
// among the sampled waveforms. Throws std::runtime_error for a name the table lacks.
uint8_t waveNumber(std::string_view name);

// Whether a waveform repeats while a key is held: every single-cycle wave, and the sampled
// waves named "... Loop" or "... Alt"; the other samples play once.
bool waveLoops(uint8_t wave);

} // namespace bankgen
