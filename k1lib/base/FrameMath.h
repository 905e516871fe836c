#pragma once
// Loops over the frames of a run, four frames at a time where SSE2 is at hand and eight where the
// processor has AVX2. Each lane rounds exactly as the plain loop does (no fused or reordered
// arithmetic), so results match to the bit.
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define ZYK_AVX2 1
#endif

namespace k1lib {

#if defined(ZYK_AVX2)
// Whether the processor runs the eight-frame loops, asked once.
inline const bool g_avx2 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}();
#endif

#if defined(ZYK_AVX2)
__attribute__((target("avx2"))) inline int fillEights(float* out, int frames, float value) {
    const __m256 v = _mm256_set1_ps(value);
    int i = 0;
    for (; i + 8 <= frames; i += 8)
        _mm256_storeu_ps(out + i, v);
    return i;
}
#endif

inline void fillFrames(float* out, int frames, float value) {
    int i = 0;
#if defined(ZYK_AVX2)
    if (g_avx2) i = fillEights(out, frames, value);
#endif
#if defined(__SSE2__)
    const __m128 v = _mm_set1_ps(value);
    for (; i + 4 <= frames; i += 4)
        _mm_storeu_ps(out + i, v);
#endif
    for (; i < frames; ++i)
        out[i] = value;
}

// out[i] += gain(i) * wave[i] * level * envelope(i), multiplied in that order; gain(i) is
// gains[i], or gains[0] for every frame when the gain holds still, and envelope(i) likewise.
#if defined(ZYK_AVX2)
// addScaledFrames eight frames at a time up to the last whole eight; returns the frames done.
template <bool GainPerFrame, bool EnvelopePerFrame>
__attribute__((target("avx2"))) inline int addScaledEights(float* out, const float* gains, const float* wave,
                                                           float level, const float* envelope, int frames) {
    const __m256 levels = _mm256_set1_ps(level);
    const __m256 constantGain = _mm256_set1_ps(gains[0]);
    const __m256 constantEnvelope = _mm256_set1_ps(envelope[0]);
    int i = 0;
    for (; i + 8 <= frames; i += 8) {
        const __m256 gain = GainPerFrame ? _mm256_loadu_ps(gains + i) : constantGain;
        const __m256 product =
            _mm256_mul_ps(_mm256_mul_ps(_mm256_mul_ps(gain, _mm256_loadu_ps(wave + i)), levels),
                          EnvelopePerFrame ? _mm256_loadu_ps(envelope + i) : constantEnvelope);
        _mm256_storeu_ps(out + i, _mm256_add_ps(_mm256_loadu_ps(out + i), product));
    }
    return i;
}
#endif

template <bool GainPerFrame, bool EnvelopePerFrame = true>
inline void addScaledFrames(float* out, const float* gains, const float* wave, float level,
                            const float* envelope, int frames) {
    int i = 0;
#if defined(ZYK_AVX2)
    if (g_avx2)
        i = addScaledEights<GainPerFrame, EnvelopePerFrame>(out, gains, wave, level, envelope, frames);
#endif
#if defined(__SSE2__)
    const __m128 levels = _mm_set1_ps(level);
    const __m128 constantGain = _mm_set1_ps(gains[0]);
    const __m128 constantEnvelope = _mm_set1_ps(envelope[0]);
    for (; i + 4 <= frames; i += 4) {
        const __m128 gain = GainPerFrame ? _mm_loadu_ps(gains + i) : constantGain;
        const __m128 product = _mm_mul_ps(_mm_mul_ps(_mm_mul_ps(gain, _mm_loadu_ps(wave + i)), levels),
                                          EnvelopePerFrame ? _mm_loadu_ps(envelope + i) : constantEnvelope);
        _mm_storeu_ps(out + i, _mm_add_ps(_mm_loadu_ps(out + i), product));
    }
#endif
    for (; i < frames; ++i)
        out[i] += (GainPerFrame ? gains[i] : gains[0]) * wave[i] * level * envelope[EnvelopePerFrame ? i : 0];
}

#if defined(ZYK_AVX2)
__attribute__((target("avx2"))) inline int addGainEights(float* out, const float* in, float gain,
                                                         int frames) {
    const __m256 gains = _mm256_set1_ps(gain);
    int i = 0;
    for (; i + 8 <= frames; i += 8)
        _mm256_storeu_ps(
            out + i, _mm256_add_ps(_mm256_loadu_ps(out + i), _mm256_mul_ps(gains, _mm256_loadu_ps(in + i))));
    return i;
}
__attribute__((target("avx2"))) inline int sumFourEights(float* out, const float* const in[4], float gain,
                                                         int frames) {
    const __m256 gains = _mm256_set1_ps(gain);
    int i = 0;
    for (; i + 8 <= frames; i += 8) {
        const __m256 sum =
            _mm256_add_ps(_mm256_add_ps(_mm256_add_ps(_mm256_loadu_ps(in[0] + i), _mm256_loadu_ps(in[1] + i)),
                                        _mm256_loadu_ps(in[2] + i)),
                          _mm256_loadu_ps(in[3] + i));
        _mm256_storeu_ps(out + i, _mm256_mul_ps(gains, sum));
    }
    return i;
}
__attribute__((target("avx2"))) inline int scaleEights(float* out, float gain, int frames) {
    const __m256 gains = _mm256_set1_ps(gain);
    int i = 0;
    for (; i + 8 <= frames; i += 8)
        _mm256_storeu_ps(out + i, _mm256_mul_ps(_mm256_loadu_ps(out + i), gains));
    return i;
}
#endif

// out[i] += gain * in[i].
inline void addGainFrames(float* out, const float* in, float gain, int frames) {
    int i = 0;
#if defined(ZYK_AVX2)
    if (g_avx2) i = addGainEights(out, in, gain, frames);
#endif
    for (; i < frames; ++i)
        out[i] += gain * in[i];
}

// out[i] = gain * (in[0][i] + in[1][i] + in[2][i] + in[3][i]), added from the left.
inline void sumFourFrames(float* out, const float* const in[4], float gain, int frames) {
    int i = 0;
#if defined(ZYK_AVX2)
    if (g_avx2) i = sumFourEights(out, in, gain, frames);
#endif
    for (; i < frames; ++i)
        out[i] = gain * (in[0][i] + in[1][i] + in[2][i] + in[3][i]);
}

// out[i] *= gain.
inline void scaleFrames(float* out, float gain, int frames) {
    int i = 0;
#if defined(ZYK_AVX2)
    if (g_avx2) i = scaleEights(out, gain, frames);
#endif
    for (; i < frames; ++i)
        out[i] *= gain;
}

} // namespace k1lib
