#pragma once
// The display names of the 256 waveforms, "001: Sin 1st" to "256: Piano Noise Alt".

namespace k1lib {

extern const char* g_waveformNames[256];

} // namespace k1lib
