#pragma once
// Recipes that turn an instrument and a character into a Single: envelopes, velocity and key
// scaling, LFO, vibrato and auto-bend, all in the K1's stored values.
#include <span>

#include "k1lib/records/SinglePreset.h"
#include "tools/bankgen/Audition.h"
#include "tools/bankgen/Instruments.h"
#include "tools/bankgen/Prng.h"

namespace bankgen {

// A variation of an instrument's recipe; its tag (at most 4 characters) names it.
enum class Character {
    Plain,
    Bright,
    Soft,
    Wide,
    Big,
    Octave,
    Long,
    Perc,
    Slow,
    Dark,
    Solo,
    Ring,
    High,
    Low,
    Tight,
    Room
};

const char* characterTag(Character character);
// The characters that suit a family, in the order the banks use them.
std::span<const Character> charactersFor(Family family);

// The Single without its name; S3 and S4 repeat S1 and S2 when only two sources play, so
// switching to four sources sounds sensible.
// The brighter sources and the volume are set by ear through the audition; without one (null)
// the Single keeps the recipe's levels, which only the layout of the banks may rely on.
k1lib::SinglePreset voiceSingle(const Instrument& instrument, Character character, Prng& prng,
                                Audition* audition);

// The first sound a user hears: a grand piano over a soft string layer.
k1lib::SinglePreset startupSingle(Audition* audition);

} // namespace bankgen
