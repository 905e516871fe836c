#pragma once
// Reads 8-bit waves with linear interpolation, a run of frames at one step: eight frames at a time
// where the processor has AVX2 and the step is short, four where SSE2 is at hand, else one. Every
// path rounds as interpolateWave does, so results match to the bit.
#include "k1lib/base/FrameMath.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace k1lib {

// A wave whose length is a power of two, as a 32-bit phase reads it: the phase's whole range
// spans the wave, phase >> shift is a sample's index and the bits below it the fraction.
// samples[length + j] repeats samples[j % length] for j < kGuard: the sample after the last one
// is the first, and a reader may load sixteen samples from any index.
struct WaveReading {
    static constexpr int kGuard = 15;
    const int8_t* samples;
    uint32_t shift;        // 32 - log2(length)
    uint32_t fractionMask; // the phase bits below the index
    float inverseUnit;     // 1 / 2^shift
};

static_assert(std::endian::native == std::endian::little, "a sample pair is read as one little-endian word");

// The sample at phase, interpolated towards the next one. The fraction bits fit an int, and the
// difference of two 8-bit samples is exact in float.
inline float interpolateWave(const WaveReading& wave, uint32_t phase) {
    uint16_t pair = 0; // the sample at the index in the low byte, the one after it in the high byte
    std::memcpy(&pair, wave.samples + (phase >> wave.shift), sizeof pair);
    const float fraction =
        static_cast<float>(static_cast<int32_t>(phase & wave.fractionMask)) * wave.inverseUnit;
    const int s0 = static_cast<int8_t>(pair & 0xff);
    const int s1 = static_cast<int8_t>(pair >> 8);
    return (static_cast<float>(s0) + fraction * static_cast<float>(s1 - s0)) * (1.0f / 128.0f);
}

#if defined(ZYK_AVX2)
// Whether interpolateEights reads at this step: the samples of four frames in a row lie within
// sixteen of the wave, and a wave of 16 samples or more keeps their distance inside 32 bits.
inline bool isNearbyStep(const WaveReading& wave, uint32_t step) {
    return wave.shift <= 28 && 3 * uint64_t{step} <= 14 * (uint64_t{wave.fractionMask} + 1);
}

// interpolateWave eight frames at a time at a nearby step. Each half of eight loads the sixteen
// samples from its first frame's index and picks its pairs out of them by their distance from
// that index. The picked bytes become floats by their bits: with 0x47800000 above them, a byte b
// reads 65536 + b / 128, so samples offset by 128 come out scaled by 1 / 128 after one
// subtraction, and the difference of two such floats is exact. Scaling by 1 / 128 before or after
// the sum rounds alike, so the result is interpolateWave's.
struct EightFrameReader {
    const int8_t* samples;
    uint32_t shift;
    uint32_t phase; // the next frame's
    uint32_t step;
    __m256i phases; // the next eight frames'
    __m256i withinHalf;
    __m256i eightSteps;
    __m256i fractionMasks;
    __m256 inverseUnits;

    __attribute__((target("avx2")))
    EightFrameReader(const int8_t* wave, uint32_t indexShift, float inverseUnit, uint32_t start, uint32_t by)
        : samples(wave), shift(indexShift), phase(start), step(by) {
        // Frame k's phase from the first one of its half: k * step.
        const __m256i steps = _mm256_set1_epi32(static_cast<int32_t>(step));
        withinHalf = _mm256_mullo_epi32(steps, _mm256_setr_epi32(0, 1, 2, 3, 0, 1, 2, 3));
        phases = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int32_t>(phase)),
                                  _mm256_mullo_epi32(steps, _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7)));
        eightSteps = _mm256_set1_epi32(static_cast<int32_t>(8 * step));
        fractionMasks = _mm256_set1_epi32(static_cast<int32_t>((1u << shift) - 1));
        inverseUnits = _mm256_set1_ps(inverseUnit);
    }

    __attribute__((target("avx2"), always_inline)) __m256 next() {
        const __m256i fractions = _mm256_and_si256(phases, fractionMasks);
        // The distance from the index of the half's first frame, 0-14: its fraction plus k steps.
        const __m256i distances =
            _mm256_srl_epi32(_mm256_add_epi32(_mm256_shuffle_epi32(fractions, 0), withinHalf),
                             _mm_cvtsi32_si128(static_cast<int>(shift)));
        const __m256i pickFirst =
            _mm256_or_si256(distances, _mm256_set1_epi32(static_cast<int32_t>(0x80808000u)));
        const auto* low = reinterpret_cast<const __m128i*>(samples + (phase >> shift));
        const auto* high = reinterpret_cast<const __m128i*>(samples + ((phase + 4 * step) >> shift));
        const __m256i nearby =
            _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(low)), _mm_loadu_si128(high), 1);
        const __m256i floatBits = _mm256_set1_epi32(0x47800080); // the exponent, and the sign bit flipped
        const __m256 first =
            _mm256_castsi256_ps(_mm256_xor_si256(_mm256_shuffle_epi8(nearby, pickFirst), floatBits));
        const __m256 second = _mm256_castsi256_ps(_mm256_xor_si256(
            _mm256_shuffle_epi8(nearby, _mm256_add_epi32(pickFirst, _mm256_set1_epi32(1))), floatBits));
        const __m256 fraction = _mm256_mul_ps(_mm256_cvtepi32_ps(fractions), inverseUnits);
        phases = _mm256_add_epi32(phases, eightSteps);
        phase += 8 * step;
        return _mm256_add_ps(_mm256_sub_ps(first, _mm256_set1_ps(65537.0f)), // 65536 + 128 / 128
                             _mm256_mul_ps(fraction, _mm256_sub_ps(second, first)));
    }
};

// interpolateWave for frames 0 to frames - 1 at a nearby step, eight at a time; of
// the last eight only the frames below frames are stored, the others read within the wave too.
// Returns the phase after the frames. The wave comes field by field, in registers.
__attribute__((target("avx2"))) inline uint32_t interpolateEights(float* out, int frames,
                                                                  const int8_t* samples, uint32_t shift,
                                                                  float inverseUnit, uint32_t phase,
                                                                  uint32_t step) {
    EightFrameReader reader(samples, shift, inverseUnit, phase, step);
    int i = 0;
    for (; i + 8 <= frames; i += 8)
        _mm256_storeu_ps(out + i, reader.next());
    if (i < frames) {
        // The last few frames, four, two and one at a time.
        const __m256 value = reader.next();
        __m128 part = _mm256_castps256_ps128(value);
        if (frames - i >= 4) {
            _mm_storeu_ps(out + i, part);
            part = _mm256_extractf128_ps(value, 1);
            i += 4;
        }
        if (frames - i >= 2) {
            _mm_storel_pi(reinterpret_cast<__m64*>(out + i), part);
            part = _mm_movehl_ps(part, part);
            i += 2;
        }
        if (frames - i >= 1) _mm_store_ss(out + i, part);
    }
    return phase + static_cast<uint32_t>(frames) * step;
}
#endif

#if defined(__SSE2__)
// interpolateWave for four frames from phase, the same arithmetic lane by lane; phases holds their
// phases. Each lane's sample pair is one 16-bit load into the lane's low half.
inline __m128 interpolateFour(const WaveReading& wave, __m128i phases, uint32_t phase, uint32_t step) {
    const uint32_t shift = wave.shift;
    const uint32_t p1 = phase + step, p2 = p1 + step, p3 = p2 + step;
    const auto pairAt = [&](uint32_t at) {
        uint16_t pair = 0;
        std::memcpy(&pair, wave.samples + (at >> shift), sizeof pair);
        return static_cast<int>(pair);
    };
    __m128i pairs = _mm_setzero_si128();
// Unoptimised, gcc's _mm_insert_epi16 is a macro that narrows its int argument to the lane's
// short in our code; the pairs are 16-bit values, so nothing is lost.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wconversion"
    pairs = _mm_insert_epi16(pairs, pairAt(phase), 0);
    pairs = _mm_insert_epi16(pairs, pairAt(p1), 2);
    pairs = _mm_insert_epi16(pairs, pairAt(p2), 4);
    pairs = _mm_insert_epi16(pairs, pairAt(p3), 6);
#pragma GCC diagnostic pop
    const __m128i first = _mm_srai_epi32(_mm_slli_epi32(pairs, 24), 24);
    const __m128i second = _mm_srai_epi32(_mm_slli_epi32(pairs, 16), 24);
    const __m128 fraction = _mm_mul_ps(
        _mm_cvtepi32_ps(_mm_and_si128(phases, _mm_set1_epi32(static_cast<int32_t>(wave.fractionMask)))),
        _mm_set1_ps(wave.inverseUnit));
    const __m128 difference = _mm_cvtepi32_ps(_mm_sub_epi32(second, first));
    const __m128 value = _mm_add_ps(_mm_cvtepi32_ps(first), _mm_mul_ps(fraction, difference));
    return _mm_mul_ps(value, _mm_set1_ps(1.0f / 128.0f));
}
#endif

// out[i] = interpolateWave(wave, phase + i * step) for i below frames; returns the phase after
// them. The phase may wrap past the wave's end within the frames: a looping wave goes on.
inline uint32_t interpolateWaveFrames(float* out, int frames, const WaveReading& wave, uint32_t phase,
                                      uint32_t step) {
    int i = 0;
#if defined(ZYK_AVX2)
    if (frames >= 4 && g_avx2 && isNearbyStep(wave, step))
        return interpolateEights(out, frames, wave.samples, wave.shift, wave.inverseUnit, phase, step);
#endif
#if defined(__SSE2__)
    __m128i phases =
        _mm_set_epi32(static_cast<int32_t>(phase + 3 * step), static_cast<int32_t>(phase + 2 * step),
                      static_cast<int32_t>(phase + step), static_cast<int32_t>(phase));
    const __m128i fourSteps = _mm_set1_epi32(static_cast<int32_t>(4 * step));
    for (; i + 4 <= frames; i += 4, phase += 4 * step) {
        _mm_storeu_ps(out + i, interpolateFour(wave, phases, phase, step));
        phases = _mm_add_epi32(phases, fourSteps);
    }
#endif
    for (; i < frames; ++i, phase += step)
        out[i] = interpolateWave(wave, phase);
    return phase;
}

} // namespace k1lib
