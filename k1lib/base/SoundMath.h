#pragma once
// Small numeric guards shared by sound generation.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "k1lib/constants/K1Constants.h"

namespace k1lib {

// Before a host rate is known the processing rate reads 0, which must never reach a division.
inline float usableProcessingRate(float rate) {
    return std::isfinite(rate) && rate > 0.0f ? rate : kProcessingSamplerate;
}

// Rounds toward zero into low..high; NaN gives low. A plain cast is undefined outside int's range.
inline int truncateClamped(float value, int low, int high) {
    if (!(value >= static_cast<float>(low))) return low;
    if (value >= static_cast<float>(high)) return high;
    return static_cast<int>(value);
}

} // namespace k1lib

namespace k1lib {

// Record fields arrive unchecked (files, hardware, hosts); these keep them in int range before
// any arithmetic. The curves clamp them further into their tables.
inline int storedValue(uint32_t stored) {
    return static_cast<int>(std::min<uint32_t>(stored, 0xffff));
}
// A bipolar field stored + 50 as its signed offset from the centre.
inline int offsetFromCentre(uint32_t stored) {
    return storedValue(stored) - 50;
}

} // namespace k1lib
