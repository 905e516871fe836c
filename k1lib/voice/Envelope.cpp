#include "k1lib/voice/Envelope.h"

#include "k1lib/base/FrameMath.h"

#include <algorithm>
#include <cmath>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace k1lib {

namespace {

constexpr float LnFloor = -6.9077554f; // ln 0.001

// A step below -1 would flip the sign of x; at very short times the segment just ends in one sample.
float geometricMultiplier(float logRatio, float samples) {
    return std::max(logRatio / samples, -1.0f);
}

#if defined(__SSE2__)
// The side-by-side steps of Env::renderLanes from frame i on, each frame's outputs into out[i]:
// x steps by its factor until a moving lane ends its segment, when x reached its bound or stopped
// changing (a still lane never changes). Returns the first frame not rendered.
template <bool Attack>
int stepLanes(__m128& xs, __m128 factors, __m128 bounds, __m128 levels, __m128 offsets, __m128 signs,
              int moving, float (*out)[Env::kMaxLanes], int i, int frames) {
    for (; i < frames; ++i) {
        const __m128 next = _mm_mul_ps(xs, factors);
        const __m128 ends = _mm_or_ps(_mm_cmple_ps(xs, bounds), _mm_cmpeq_ps(next, xs));
        if ((_mm_movemask_ps(ends) & moving) != 0) break;
        xs = next;
        const __m128 sounds = Attack ? _mm_add_ps(offsets, _mm_mul_ps(signs, xs)) : xs;
        _mm_store_ps(out[i], _mm_mul_ps(sounds, levels));
    }
    return i;
}
#endif

#if defined(ZYK_AVX2)
// stepLanes over eight lanes in one vector, from and back to the lane arrays.
template <bool Attack>
__attribute__((target("avx2"))) int
stepEightLanes(float* x, const float* factor, const float* bound, const float* level, const float* offset,
               const float* sign, int moving, float (*out)[Env::kMaxLanes], int i, int frames) {
    __m256 xs = _mm256_load_ps(x);
    const __m256 factors = _mm256_load_ps(factor), bounds = _mm256_load_ps(bound);
    const __m256 levels = _mm256_load_ps(level), offsets = _mm256_load_ps(offset),
                 signs = _mm256_load_ps(sign);
    for (; i < frames; ++i) {
        const __m256 next = _mm256_mul_ps(xs, factors);
        const __m256 ends =
            _mm256_or_ps(_mm256_cmp_ps(xs, bounds, _CMP_LE_OQ), _mm256_cmp_ps(next, xs, _CMP_EQ_OQ));
        if ((_mm256_movemask_ps(ends) & moving) != 0) break;
        xs = next;
        const __m256 sounds = Attack ? _mm256_add_ps(offsets, _mm256_mul_ps(signs, xs)) : xs;
        _mm256_store_ps(out[i], _mm256_mul_ps(sounds, levels));
    }
    _mm256_store_ps(x, xs);
    return i;
}

// Frames from..frames of out into the count (5 to 8) lanes' gains, eight frames at a time;
// returns the first frame not moved.
__attribute__((target("avx2"))) int eightFramesToLanes(float (*out)[Env::kMaxLanes], Env::Lane* const lanes[],
                                                       int count, int from, int frames) {
    int f = from;
    for (; f + 8 <= frames; f += 8) {
        __m256 r[8];
        for (int j = 0; j < 8; ++j)
            r[j] = _mm256_load_ps(out[f + j]);
        // The classic 8 x 8 transpose: pairs, then quads, then halves.
        const __m256 a0 = _mm256_unpacklo_ps(r[0], r[1]), a1 = _mm256_unpackhi_ps(r[0], r[1]);
        const __m256 a2 = _mm256_unpacklo_ps(r[2], r[3]), a3 = _mm256_unpackhi_ps(r[2], r[3]);
        const __m256 a4 = _mm256_unpacklo_ps(r[4], r[5]), a5 = _mm256_unpackhi_ps(r[4], r[5]);
        const __m256 a6 = _mm256_unpacklo_ps(r[6], r[7]), a7 = _mm256_unpackhi_ps(r[6], r[7]);
        const __m256 b0 = _mm256_shuffle_ps(a0, a2, 0x44), b1 = _mm256_shuffle_ps(a0, a2, 0xEE);
        const __m256 b2 = _mm256_shuffle_ps(a1, a3, 0x44), b3 = _mm256_shuffle_ps(a1, a3, 0xEE);
        const __m256 b4 = _mm256_shuffle_ps(a4, a6, 0x44), b5 = _mm256_shuffle_ps(a4, a6, 0xEE);
        const __m256 b6 = _mm256_shuffle_ps(a5, a7, 0x44), b7 = _mm256_shuffle_ps(a5, a7, 0xEE);
        const __m256 lane[8] = {_mm256_permute2f128_ps(b0, b4, 0x20), _mm256_permute2f128_ps(b1, b5, 0x20),
                                _mm256_permute2f128_ps(b2, b6, 0x20), _mm256_permute2f128_ps(b3, b7, 0x20),
                                _mm256_permute2f128_ps(b0, b4, 0x31), _mm256_permute2f128_ps(b1, b5, 0x31),
                                _mm256_permute2f128_ps(b2, b6, 0x31), _mm256_permute2f128_ps(b3, b7, 0x31)};
        for (int k = 0; k < count; ++k)
            _mm256_storeu_ps(lanes[k]->gains + f, lane[k]);
    }
    return f;
}
#endif

// Whether count lanes can render side by side in one vector.
bool fitsOneVector(int count) {
#if defined(ZYK_AVX2)
    if (g_avx2) return count <= Env::kMaxLanes;
#endif
    return count <= 4;
}

} // namespace

void Env::start(uint32_t delaySamples, float attackTime) {
    m_x = 0.0f;
    m_multiplier = 0.0f;
    m_stage = Delay;
    m_counter = 0;
    m_delaySamples = delaySamples;
    m_attackTime = attackTime;
}

void Env::beginAttack(float rate) {
    m_stage = Attack;
    if (m_attackTime > 0.0f) {
        m_x = 1.0f;
        m_multiplier = geometricMultiplier(LnFloor, m_attackTime * rate);
    } else {
        // A zero attack jumps to full level.
        m_x = 0.0f;
        m_multiplier = kFloor;
    }
}

void Env::endAttack(float decayTime, float sustain, float rate) {
    const float reached = 1.0f - m_x;
    if (decayTime > 0.0f) {
        m_x = reached;
        m_multiplier = geometricMultiplier(std::log(sustain) - std::log(reached), decayTime * rate);
        m_stage = Decay;
    } else {
        m_x = sustain;
        m_stage = Sustain;
    }
}

void Env::release(float releaseTime, float rate) {
    if (releaseTime <= 0.0f) {
        m_x = kFloor;
        m_stage = Done;
        return;
    }
    if (m_stage == Attack) m_x = 1.0f - m_x; // continue from the current attack output
    if (m_x >= kFloor) {
        m_multiplier = geometricMultiplier(LnFloor - std::log(m_x), releaseTime * rate);
        m_stage = Release;
    } else {
        m_x = 0.0f;
        m_stage = Done;
    }
}

int Env::render(float* gains, int frames, float decayTime, float sustain, float rate, float level) {
    int i = 0;
    int unfinished = frames;
    while (i < frames) {
        const Stage stage = m_stage;
        if (stage == Sustain || stage == Done) {
            if (stage == Done && unfinished == frames) unfinished = i;
            fillFrames(gains + i, frames - i, m_x * level); // the output holds still
            break;
        }
        if (stage == Delay) {
            gains[i++] = process(decayTime, sustain, rate) * level;
            continue;
        }
        // A geometric segment, in locals: the compiler cannot tell m_x from the gains. Each frame
        // tests its end before the step, as process() does.
        float x = m_x;
        const float factor = 1.0f + m_multiplier;
        const auto step = [&x, factor] {
            const float next = x * factor;
            const bool moved = next != x;
            x = next;
            return moved;
        };
        if (stage == Attack) {
            for (; i < frames && !(x <= kFloor) && step(); ++i)
                gains[i] = (1.0f - x) * level;
        } else if (stage == Decay) {
            for (; i < frames && !(sustain >= x) && step(); ++i)
                gains[i] = x * level;
        } else {
            for (; i < frames && !(x <= kFloor) && step(); ++i)
                gains[i] = x * level;
        }
        m_x = x;
        if (i == frames) break;
        // Frame i ends the segment; it sounds at the next stage's start.
        if (stage == Attack)
            endAttack(decayTime, sustain, rate);
        else
            m_stage = stage == Decay ? Sustain : Done;
        if (m_stage == Done) unfinished = i;
        gains[i++] = m_x * level;
    }
    return unfinished;
}

void Env::renderLanes(Lane* const lanes[], int count, int frames) {
    // A lane that holds still from frame 0 is one value all run, whatever the others do.
    if (count > kMaxLanes) {
        for (int k = 0; k < count; ++k)
            lanes[k]->still = false;
        renderMovingLanes(lanes, count, frames);
        return;
    }
    Lane* moving[kMaxLanes];
    int movingCount = 0;
    for (int k = 0; k < count; ++k) {
        Lane& lane = *lanes[k];
        const Stage stage = lane.env->m_stage;
        lane.still = lane.start == 0 && (stage == Sustain || stage == Done);
        if (!lane.still) {
            moving[movingCount++] = &lane;
            continue;
        }
        lane.stillGain = lane.env->m_x * lane.level;
        lane.unfinished = stage == Done ? 0 : frames;
        if (lane.fillStill) fillFrames(lane.gains, frames, lane.stillGain);
    }
    renderMovingLanes(moving, movingCount, frames);
}

void Env::renderMovingLanes(Lane* const lanes[], int count, int frames) {
    // Without AVX2 a vector holds four lanes: more render four at a time, each lane as alone.
    if (count > 4 && !fitsOneVector(count)) {
        renderMovingLanes(lanes, 4, frames);
        renderMovingLanes(lanes + 4, count - 4, frames);
        return;
    }
    // Each lane renders alone up to the latest start; from there they run side by side.
    int begin = 0;
    for (int k = 0; k < count; ++k)
        begin = std::max(begin, lanes[k]->start);
    for (int k = 0; k < count; ++k) {
        Lane& lane = *lanes[k];
        const int ahead = begin - lane.start;
        const int unfinished = ahead > 0 ? lane.env->render(lane.gains + lane.start, ahead, lane.decayTime,
                                                            lane.sustain, lane.rate, lane.level)
                                         : ahead;
        lane.unfinished = unfinished < ahead ? lane.start + unfinished : frames;
    }
#if defined(__SSE2__)
    // Lanes in a geometric segment step x by their factor and sound 1 - x (attack) or x; the
    // others hold still (factor 1). A frame on which any lane leaves its segment, or begins its
    // attack, goes through process() lane by lane, which is what render() does on that frame.
    bool geometric = false;
    for (int k = 0; k < count; ++k) {
        const Stage stage = lanes[k]->env->m_stage;
        geometric = geometric || stage == Attack || stage == Decay || stage == Release || stage == Delay;
    }
    if (count >= 2 && geometric && begin < frames && frames <= kMaxLaneFrames) {
        for (int k = 0; k < count; ++k)
            if (lanes[k]->env->m_stage == Done && lanes[k]->unfinished == frames)
                lanes[k]->unfinished = begin;
        alignas(32) float out[kMaxLaneFrames][kMaxLanes];
        alignas(32) float x[kMaxLanes], factor[kMaxLanes], bound[kMaxLanes], level[kMaxLanes];
        alignas(32) float offset[kMaxLanes], sign[kMaxLanes];
        const bool eight = count > 4;
        int i = begin;
        while (i < frames) {
            bool delayed = false;
            bool attacking = false;
            int moving = 0; // a bit per lane in a geometric segment
            for (int k = 0; k < kMaxLanes; ++k) {
                const Env* env = k < count ? lanes[k]->env : nullptr;
                const Stage stage = env != nullptr ? env->m_stage : Done;
                const bool steps = stage == Attack || stage == Decay || stage == Release;
                delayed = delayed || stage == Delay;
                attacking = attacking || stage == Attack;
                moving |= steps ? 1 << k : 0;
                x[k] = env != nullptr ? env->m_x : 0.0f;
                factor[k] = steps ? 1.0f + env->m_multiplier : 1.0f;
                bound[k] = stage == Decay ? lanes[k]->sustain : kFloor;
                level[k] = k < count ? lanes[k]->level : 0.0f;
                // The attack sounds 1 + -1 * x, which is 1 - x to the bit; the others 0 + 1 * x.
                offset[k] = stage == Attack ? 1.0f : 0.0f;
                sign[k] = stage == Attack ? -1.0f : 1.0f;
            }
            if (!delayed) {
#if defined(ZYK_AVX2)
                if (eight) {
                    i = attacking ? stepEightLanes<true>(x, factor, bound, level, offset, sign, moving, out,
                                                         i, frames)
                                  : stepEightLanes<false>(x, factor, bound, level, offset, sign, moving, out,
                                                          i, frames);
                } else
#endif
                {
                    __m128 xs = _mm_load_ps(x);
                    const __m128 factors = _mm_load_ps(factor), bounds = _mm_load_ps(bound);
                    const __m128 levels = _mm_load_ps(level), offsets = _mm_load_ps(offset),
                                 signs = _mm_load_ps(sign);
                    // Without an attack every lane sounds x times its level.
                    i = attacking ? stepLanes<true>(xs, factors, bounds, levels, offsets, signs, moving, out,
                                                    i, frames)
                                  : stepLanes<false>(xs, factors, bounds, levels, offsets, signs, moving, out,
                                                     i, frames);
                    _mm_store_ps(x, xs);
                }
                for (int k = 0; k < count; ++k)
                    lanes[k]->env->m_x = x[k];
                if (i == frames) break;
            }
            for (int k = 0; k < count; ++k) {
                Lane& lane = *lanes[k];
                out[i][k] = lane.env->process(lane.decayTime, lane.sustain, lane.rate) * lane.level;
                if (lane.env->m_stage == Done && lane.unfinished == frames) lane.unfinished = i;
            }
            ++i;
        }
        // Frames to lanes: eight by eight with AVX2, else four by four.
        int f = begin;
#if defined(ZYK_AVX2)
        if (eight) f = eightFramesToLanes(out, lanes, count, f, frames);
#endif
        for (; f + 4 <= frames; f += 4) {
            for (int first = 0; first < count; first += 4) {
                __m128 rows[4] = {_mm_load_ps(out[f] + first), _mm_load_ps(out[f + 1] + first),
                                  _mm_load_ps(out[f + 2] + first), _mm_load_ps(out[f + 3] + first)};
                _MM_TRANSPOSE4_PS(rows[0], rows[1], rows[2], rows[3]);
                for (int k = first; k < std::min(count, first + 4); ++k)
                    _mm_storeu_ps(lanes[k]->gains + f, rows[k - first]);
            }
        }
        for (; f < frames; ++f)
            for (int k = 0; k < count; ++k)
                lanes[k]->gains[f] = out[f][k];
        return;
    }
#endif
    for (int k = 0; k < count; ++k) {
        Lane& lane = *lanes[k];
        if (begin >= frames) break;
        const int unfinished = lane.env->render(lane.gains + begin, frames - begin, lane.decayTime,
                                                lane.sustain, lane.rate, lane.level);
        if (lane.unfinished == frames && unfinished < frames - begin) lane.unfinished = begin + unfinished;
    }
}

} // namespace k1lib
