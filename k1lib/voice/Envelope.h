#pragma once
// A source's envelope: delay, exponential attack, decay to the sustain level, sustain, release.
// Segments are geometric (one multiply per sample) and end at 0.001, so no denormals appear.
#include <algorithm>
#include <cstdint>

namespace k1lib {

class Env {
public:
    enum Stage : uint32_t { Delay = 0, Attack = 1, Decay = 2, Sustain = 3, Release = 4, Done = 5 };
    static constexpr float kFloor = 0.001f;

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
            if (m_x <= kFloor || !advance()) endAttack(decayTime, sustain, rate);
            break;
        case Decay:
            if (sustain >= m_x || !advance()) m_stage = Sustain;
            break;
        case Release:
            if (m_x <= kFloor || !advance()) m_stage = Done;
            break;
        default:
            break;
        }
        // During the attack x falls from 1 towards the floor and the output rises.
        return m_stage == Attack ? 1.0f - m_x : m_x;
    }

    // Consumes the delay: how many of the next frames (at most frames) stay silent. The frame
    // after them begins the attack in process().
    uint32_t skipDelay(uint32_t frames) {
        if (m_stage != Delay) return 0;
        const uint32_t silent = std::min(m_counter < m_delaySamples ? m_delaySamples - m_counter : 0, frames);
        m_counter += silent;
        return silent;
    }

    // frames samples of process() in a row, each output times level, to the bit. Returns how
    // many frames passed before the one after which the envelope is done (frames when it is not).
    int render(float* gains, int frames, float decayTime, float sustain, float rate, float level);

    // One envelope's share of a run rendered side by side with others: render(gains + start,
    // frames - start, ...) of it, with unfinished set to start plus what render() returns. An
    // envelope that holds still from frame 0 to the end (sustain or done) is marked still, its
    // output in stillGain; with fillStill false its gains are then left unwritten.
    struct Lane {
        Env* env;
        float* gains;
        int start;
        float decayTime;
        float sustain;
        float rate;
        float level;
        int unfinished;
        bool fillStill = true;
        bool still = false;
        float stillGain = 0.0f;
    };
    static constexpr int kMaxLanes = 8;        // eight with AVX2, else four at a time
    static constexpr int kMaxLaneFrames = 256; // longer runs render lane by lane
    // Up to kMaxLanes envelopes over the same run, to the bit what each renders alone: their
    // geometric steps, each a serial chain of multiplies, overlap in the lanes of one vector.
    static void renderLanes(Lane* const lanes[], int count, int frames);
    // renderLanes after taking out the lanes that hold still all run.
    static void renderMovingLanes(Lane* const lanes[], int count, int frames);

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

    float m_x = kFloor;
    float m_multiplier = 0.0f;
    Stage m_stage = Done;
    uint32_t m_counter = 0;
    uint32_t m_delaySamples = 0;
    float m_attackTime = 0.0f;
};

} // namespace k1lib
