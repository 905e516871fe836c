#include "Envelope.h"

#include "FrameMath.h"

#include <algorithm>
#include <cmath>

namespace k1lib {

namespace {

constexpr float LnFloor = -6.9077554f; // ln 0.001

// A step below -1 would flip the sign of x; at very short times the segment just ends in one sample.
float geometricMultiplier(float logRatio, float samples) {
    return std::max(logRatio / samples, -1.0f);
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
        m_multiplier = Floor;
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
        m_x = Floor;
        m_stage = Done;
        return;
    }
    if (m_stage == Attack) m_x = 1.0f - m_x; // continue from the current attack output
    if (m_x >= Floor) {
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
            for (; i < frames && !(x <= Floor) && step(); ++i)
                gains[i] = (1.0f - x) * level;
        } else if (stage == Decay) {
            for (; i < frames && !(sustain >= x) && step(); ++i)
                gains[i] = x * level;
        } else {
            for (; i < frames && !(x <= Floor) && step(); ++i)
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

} // namespace k1lib
