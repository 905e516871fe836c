#pragma once
// The instruments the banks are built from: a name, the two waveforms of its sound and the
// family whose recipe shapes envelopes, velocity, key scaling and modulation.
#include <span>

namespace bankgen {

// What a bank theme asks for.
enum class Group {
    Piano,
    EPiano,
    Organ,
    Keys,
    Reed,
    Strings,
    Brass,
    Woodwind,
    Pad,
    Voice,
    Lead,
    SynthBass,
    Bass,
    Guitar,
    World,
    Mallet,
    Bell,
    Drum,
    Perc,
    Fx
};

// How a sound is voiced.
enum class Family {
    Piano,
    EPiano,
    Organ,
    Keys,
    Reed,
    Strings,
    Pizz,
    Brass,
    Wind,
    Pad,
    Choir,
    Lead,
    SynthBass,
    Bass,
    Guitar,
    Pluck,
    Mallet,
    Bell,
    TunedPerc,
    Drum,
    Sweep,
    Dive,
    Random,
    Ring,
    Wash,
    Trill,
    Reverse
};

struct Instrument {
    const char* name; // the plain Single's name, at most 10 characters
    const char* stem; // at most 5 characters, for the names of its variations
    Group group;
    Family family;
    const char* wave1;
    const char* wave2;
    int interval2 = 0; // S2 pitch above S1 in semitones
    int detune2 = 0;   // S2 fine tune, 1/50 semitone steps
    int ring = 0;      // drums: added to the recipe's decays (a closed hat rings short, a crash long)
};

std::span<const Instrument> instruments();

} // namespace bankgen
