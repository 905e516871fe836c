#include "k1lib/voice/Vibrato.h"

#include "k1lib/params/Curves.h"
#include "k1lib/records/SinglePreset.h"

#include <algorithm>
#include <cstdlib>

namespace k1lib {

float Vibrato::process(const SinglePreset& single, float lfoValue, float pressure, float wheel) {
    return depth(single, pressure, wheel) * lfoValue;
}

float Vibrato::depth(const SinglePreset& single, float pressure, float wheel) {
    const int depthOffset = static_cast<int>(single.vibratoDepth) - 50;
    const float sign = depthOffset < 0 ? -1.0f : 1.0f;
    const float depth = vibratoDepth(std::abs(depthOffset));
    float amount = depth * sign;

    const int pressureOffset = static_cast<int>(single.pressureToVibrato) - 50;
    if (pressureOffset != 0) {
        // Pressure can deepen or reduce the vibrato but never reverse its direction.
        const float withPressure =
            depth * sign + sign * (static_cast<float>(pressureOffset) * 12.0f * 0.02f * pressure);
        amount = depthOffset < 0 ? std::clamp(withPressure, -kMaxDepth, 0.0f)
                                 : std::clamp(withPressure, 0.0f, kMaxDepth);
    }
    if (single.vibWheelMode == 0) amount += wheel;
    return std::clamp(amount, -kMaxDepth, kMaxDepth);
}

} // namespace k1lib
