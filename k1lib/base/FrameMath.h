#pragma once
// Loops over the frames of a run, four frames at a time where SSE2 is at hand. Each lane rounds
// exactly as the plain loop does (no fused or reordered arithmetic), so results match to the bit.
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace k1lib {

inline void fillFrames(float* out, int frames, float value) {
    int i = 0;
#if defined(__SSE2__)
    const __m128 v = _mm_set1_ps(value);
    for (; i + 4 <= frames; i += 4)
        _mm_storeu_ps(out + i, v);
#endif
    for (; i < frames; ++i)
        out[i] = value;
}

// out[i] += gain(i) * wave[i] * level * envelope[i], multiplied in that order; gain(i) is
// gains[i], or gains[0] for every frame when the gain holds still.
template <bool GainPerFrame>
inline void addScaledFrames(float* out, const float* gains, const float* wave, float level,
                            const float* envelope, int frames) {
    int i = 0;
#if defined(__SSE2__)
    const __m128 levels = _mm_set1_ps(level);
    const __m128 constantGain = _mm_set1_ps(gains[0]);
    for (; i + 4 <= frames; i += 4) {
        const __m128 gain = GainPerFrame ? _mm_loadu_ps(gains + i) : constantGain;
        const __m128 product = _mm_mul_ps(_mm_mul_ps(_mm_mul_ps(gain, _mm_loadu_ps(wave + i)), levels),
                                          _mm_loadu_ps(envelope + i));
        _mm_storeu_ps(out + i, _mm_add_ps(_mm_loadu_ps(out + i), product));
    }
#endif
    for (; i < frames; ++i)
        out[i] += (GainPerFrame ? gains[i] : gains[0]) * wave[i] * level * envelope[i];
}

} // namespace k1lib
