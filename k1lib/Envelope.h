#pragma once
// A source's envelope: delay, exponential attack, decay to the sustain level, sustain, release.
// Segments are geometric (one multiply per sample) and end at 0.001, so no denormals appear.
#include <cstdint>

namespace k1lib {

class Env {
public:
    enum Stage : uint32_t { Delay = 0, Attack = 1, Decay = 2, Sustain = 3, Release = 4, Done = 5 };
    static constexpr float Floor = 0.001f;

    // Begins a note: silent for delaySamples, then the attack over attackTime seconds.
    void start(uint32_t delaySamples, float attackTime);
    // Starts the release over releaseTime seconds from the current output.
    void release(float releaseTime, float rate);

    // One sample; returns the envelope output 0..1.
    float process(float decayTime, float sustain, float rate) {
        switch (m_stage) {
        case Delay:
            if (m_counter >= m_delaySamples) beginAttack(rate);
            ++m_counter;
            break;
        case Attack:
            if (m_x <= Floor || !advance()) endAttack(decayTime, sustain, rate);
            break;
        case Decay:
            if (sustain >= m_x || !advance()) m_stage = Sustain;
            break;
        case Release:
            if (m_x <= Floor || !advance()) m_stage = Done;
            break;
        default:
            break;
        }
        // During the attack x falls from 1 towards the floor and the output rises.
        return m_stage == Attack ? 1.0f - m_x : m_x;
    }

    Stage stage() const { return m_stage; }
    bool isDone() const { return m_stage == Done; }

private:
    // One geometric step; false when x no longer changes (the segment has reached its end).
    bool advance() {
        const float next = m_x * (1.0f + m_multiplier);
        const bool moved = next != m_x;
        m_x = next;
        return moved;
    }
    void beginAttack(float rate);
    void endAttack(float decayTime, float sustain, float rate);

    float m_x = Floor;
    float m_multiplier = 0.0f;
    Stage m_stage = Done;
    uint32_t m_counter = 0;
    uint32_t m_delaySamples = 0;
    float m_attackTime = 0.0f;
};

} // namespace k1lib
