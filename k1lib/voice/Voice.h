#pragma once
// One sounding note of a Multi section: up to four sources of a Single, auto-bend, vibrato fade-in
// and amplitude-modulation pairs, mixed into four source slots. A plain value with its sources
// held inline, so starting and copying a voice never allocates.
#include "k1lib/base/StaticArray.h"
#include "k1lib/voice/SectionState.h"
#include "k1lib/voice/Source.h"

#include <cstdint>

namespace k1lib {

struct SinglePreset;
struct VoiceContext;

class Voice {
public:
    static constexpr uint8_t kKillRelease = 7; // the release value of a voice cut by Solo or a voice limit

    // The voice keeps pointing at context and single: neither may move while it sounds.
    // tune is in 0.02 semitones, level is the section level 0-100; clock is the starting sample clock.
    Voice(const VoiceContext& context, const SinglePreset& single, uint8_t note, uint8_t velocity,
          uint8_t channel, float rate, int transpose, int tune, int level, uint32_t clock);

    // Renders frames samples (1 to PitchFrames::kMaxFrames) with the section's modulation, added into
    // the four source slots' buffers. Stops after the sample at which the voice finished
    // (isFinished) and returns true then. slotGains, when given, holds each frame's source-mix
    // gains per slot in place of the voice context's.
    bool process(float* const mix[kSourceCount], const PitchFrames& section, int frames,
                 const float* const* slotGains = nullptr);

    // process() in two steps, so that the envelopes of several voices render side by side:
    // beginRun adds the envelopes that render in this run to lanes (at most getSourceCount()) and
    // returns how many it added; once Env::renderLanes has rendered them, finishRun mixes the run
    // and returns what process() returns. settled, when given, is section after
    // PitchFrames::settle; run holds the run's state in between.
    struct Run {
        PitchFrames withAutoBend;
        SourceRun sources;
        float samples[kSourceCount][PitchFrames::kMaxFrames];
        float envelopeGains[kSourceCount][PitchFrames::kMaxFrames];
        Env::Lane envelopes[kSourceCount];
    };
    int beginRun(Run& run, const PitchFrames& section, const PitchFrames* settled, int frames,
                 Env::Lane* lanes[]);
    bool finishRun(Run& run, float* const mix[kSourceCount], const float* const* slotGains);

    void onNoteOff(uint8_t velocity);                  // each source with its own release
    void onNoteOff(uint8_t velocity, uint8_t release); // every source with this release value 0-100
    bool isFinished() const;
    // Scales every source's output from now on (a fading voice kept at its level under new gains).
    void scaleLevel(float factor);

    uint8_t getNote() const { return m_note; }
    uint8_t getVelocity() const { return m_velocity; }
    uint8_t getChannel() const { return m_channel; }
    uint32_t getClock() const { return m_clock; }
    bool isKeyDown() const { return m_keyDown; }
    float getPitchModulation() const { return m_pitchModulation; } // semitones
    float getAutoBendTime() const { return m_autoBendTime; }       // seconds
    float getAutoBendDepth() const { return m_autoBendDepth; }     // semitones
    int getSourceCount() const { return m_sourceCount; }
    const Source& getSource(int i) const { return m_sources[static_cast<std::size_t>(i)]; }
    int getSlot(int i) const { return m_slots[static_cast<std::size_t>(i)]; }

private:
    void addSources(uint8_t note, uint8_t velocity, float rate, int transpose, int tune, int level);
    float autoBendAndVibrato(float vibrato, uint32_t clock) const; // semitones
    // The frames this voice's sources read in a run: the section's, or with the auto-bend.
    const PitchFrames& pitchFrames(Run& run, const PitchFrames& section, const PitchFrames* settled,
                                   int frames) const;

    const VoiceContext* m_context;
    const SinglePreset* m_single;
    uint8_t m_note;
    uint8_t m_velocity;
    uint8_t m_channel;
    float m_inverseRate;
    StaticArray<Source, kSourceCount> m_sources;
    int m_sourceCount = 0;
    StaticArray<bool, kSourceCount> m_modulated; // a carrier, shaped by the source just before it
    SourceInputs m_lastInputs{};
    StaticArray<float, kSourceCount> m_gains; // 1, or 0 for a muted source kept as a modulator
    StaticArray<uint8_t, kSourceCount> m_slots;
    uint32_t m_clock;
    float m_autoBendTime = 0.0f;
    float m_inverseAutoBendTime = 0.0f;
    float m_autoBendDepth = 0.0f;
    float m_pitchModulation = 0.0f;
    bool m_keyDown = true;
};

} // namespace k1lib
