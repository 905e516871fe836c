#pragma once
// Per Multi section modulation, updated once per sample before the section's voices run and
// never reset: the LFO runs on across notes and Single changes.
#include <cstdint>

#include "k1lib/voice/Lfo.h"

namespace k1lib {

struct SinglePreset;
struct MidiState;
class Random;

// The pitch modulation of each frame of a run rendered in one go, and where it moves.
struct PitchFrames {
    // A run's longest stretch. The output does not depend on it (runs may end anywhere); longer
    // runs share each run's fixed work among more frames, and a host block of 512 frames at
    // 48 kHz is about 533 frames at the engine's rate.
    static constexpr int kMaxFrames = 256;
    float modulation[kMaxFrames];    // vibrato, with a voice's auto-bend; semitones
    float bend[kMaxFrames];          // semitones
    float pressurePitch[kMaxFrames]; // semitones
    bool moved[kMaxFrames];          // from frame 1 on: differs bit for bit from the frame before
    int nextMove[kMaxFrames];        // the first later frame that moved, or the run's length

    // Fills moved and nextMove for the first frames frames.
    void findMoves(int frames);
    // The first frames frames of section as a voice whose auto-bend has ended hears them: each
    // vibrato value plus the ended bend's +0 (which turns -0 into +0), moves found.
    void settle(const PitchFrames& section, int frames);
    // Whether settle would change a modulation value of the first frames frames.
    bool settleMoves(int frames) const;
};

struct SectionState {
    LfoState lfo;
    float vibrato = 0.0f;       // semitones
    float bend = 0.0f;          // semitones
    float pressurePitch = 0.0f; // semitones

    // Draws the initial random value of the LFO.
    explicit SectionState(Random& random);
    SectionState() = default;

    // The per-sample update from the section's Single and its channel's controllers.
    void update(const SinglePreset& single, const MidiState& channel, float bendRange, float sampleRate,
                Random& random);
    // frames updates in a row (at most PitchFrames::kMaxFrames), each frame's pitch modulation
    // into out; the controllers stand still meanwhile.
    void render(const SinglePreset& single, const MidiState& channel, float bendRange, float sampleRate,
                Random& random, PitchFrames& out, int frames);
};

} // namespace k1lib
