#include "tools/bankgen/Instruments.h"

namespace bankgen {
namespace {

using G = Group;
using F = Family;

// Waves are named as in the wave ROM. "Sin 1st" to "Sin 16th" are single harmonics, so "Sin 2nd"
// already sounds an octave up and "Sin 5th" two octaves and a third.
const Instrument kInstruments[] = {
    // Pianos: a bright attack (often the sampled hammer) over a darker sustaining body ("Piano 1"
    // is the darkest).
    {"Grand Pno", "Grand", G::Piano, F::Piano, "PCM Piano", "Piano 1"},
    {"Bright Pno", "Brite", G::Piano, F::Piano, "Piano 2", "Piano 1#2"},
    {"Upright", "Uprt", G::Piano, F::Piano, "Piano 3#2", "Piano 1#3"},
    {"Honky Tonk", "Honky", G::Piano, F::Piano, "Piano 2#2", "Piano 2", 0, 9},
    {"El Grand", "ElGrd", G::Piano, F::Piano, "PCM El Grand", "El Grand"},
    {"Stage Pno", "Stage", G::Piano, F::Piano, "Piano 4#2", "El Grand#2"},
    {"Felt Pno", "Felt", G::Piano, F::Piano, "Piano 1#2", "Sin 1st"},
    {"Rock Pno", "RkPno", G::Piano, F::Piano, "Piano 4#3", "Piano 1#3", 12},
    // Electric pianos: a body with a tine or bell partial that answers hard playing.
    {"Tine EP", "Tine", G::EPiano, F::EPiano, "E Piano 1", "Tine", 12},
    {"Reed EP", "Reed", G::EPiano, F::EPiano, "E Piano 2", "E Piano 3"},
    {"Dyno EP", "Dyno", G::EPiano, F::EPiano, "E Piano 1#2", "Tine#2", 12},
    {"Bell EP", "BelEP", G::EPiano, F::EPiano, "E Piano 2#2", "Tube Bell", 24},
    {"Suitcase", "Suitc", G::EPiano, F::EPiano, "E Piano 3#2", "E Piano 1#3", 0, 6},
    {"Digi EP", "DigEP", G::EPiano, F::EPiano, "E Piano 2#4", "Tine#3", 19},
    // Organs: drawbar-like sines and organ waves, no velocity.
    {"Jazz Organ", "Jazz", G::Organ, F::Organ, "Jazz Organ 1", "Sin 4th"},
    {"Rock Organ", "Rock", G::Organ, F::Organ, "Rock Organ 1", "Rock Organ 2", 12},
    {"Draw Bar", "DrBar", G::Organ, F::Organ, "Draw Bar 1", "Sin 1st", 19},
    {"Pipe Organ", "Pipe", G::Organ, F::Organ, "Pipe Organ 1", "Pipe Organ 2", 12},
    {"Church", "Chrch", G::Organ, F::Organ, "Pipe Organ 3", "Pipe Organ 3#2", -12},
    {"Gospel Org", "Gospl", G::Organ, F::Organ, "Jazz Organ 2", "Draw Bar 2", 0, 5},
    // Clavinet, harpsichord and other plucked keyboards.
    {"Clavi", "Clavi", G::Keys, F::Keys, "Clavi", "Clavi#2"},
    {"Harpsi", "Hrpsi", G::Keys, F::Keys, "Harpsichord", "Harpsichord#2", 12},
    {"Funk Clav", "FkClv", G::Keys, F::Keys, "Clavi#3", "Square 2"},
    {"Baroque", "Barok", G::Keys, F::Keys, "Harpsichord#3", "Harpsichord", 0, 5},
    {"Celesta", "Celst", G::Keys, F::Mallet, "Glocken", "Sin 1st", 12},
    // Free reeds.
    {"Accordion", "Accor", G::Reed, F::Reed, "Accordion", "Accordion#2", 0, 8},
    {"Harmonica", "Harmo", G::Reed, F::Reed, "Harmonica", "Harmonica#2"},
    {"Musette", "Muset", G::Reed, F::Reed, "Accordion#2", "Accordion", 12, 10},
    // Strings: sustained sections, solo strings and plucked.
    {"Strings", "Strng", G::Strings, F::Strings, "String", "String#2", 0, 6},
    {"Str Loop", "StLop", G::Strings, F::Strings, "PCM String Loop", "String#3", 0, 4},
    {"Violin", "Violn", G::Strings, F::Strings, "Violin", "PCM String Loop", 0, 4},
    {"Cello", "Cello", G::Strings, F::Strings, "String#3", "Violin", -12, 4},
    {"Str Attack", "StAtk", G::Strings, F::Strings, "PCM String Attack", "String Pad"},
    {"Orchestra", "Orch", G::Strings, F::Strings, "Orchestra", "String", 12, 5},
    {"Chamber", "Chamb", G::Strings, F::Strings, "String#2", "Violin", 12, 3},
    {"Pizzicato", "Pizz", G::Strings, F::Pizz, "PCM Pizzicato", "String#3"},
    {"Str Pad", "StPad", G::Strings, F::Pad, "String Pad", "String#2", 12, 7},
    {"Tremolo", "Treml", G::Strings, F::Strings, "PCM Bowed String", "String", 0, 8},
    // Brass.
    {"Brass Sect", "Brass", G::Brass, F::Brass, "Brass", "Brass#2", 0, 5},
    {"Trumpet", "Trpt", G::Brass, F::Brass, "PCM Trumpet", "Trumpet"},
    {"French Hrn", "Horn", G::Brass, F::Brass, "French Horn", "French Horn#2"},
    {"Trombone", "Bone", G::Brass, F::Brass, "Brass#3", "French Horn#3", -12},
    {"Synth Brs", "SyBrs", G::Brass, F::Brass, "Saw 3", "Saw 5", 0, 8},
    {"Horn Sect", "Horns", G::Brass, F::Brass, "Brass#4", "Trumpet#2", 0, 4},
    // Woodwinds.
    {"Flute", "Flute", G::Woodwind, F::Wind, "Flute", "PCM Pan Flute Attack"},
    {"Pan Flute", "PanFl", G::Woodwind, F::Wind, "PCM Pan Flute Loop", "Panflute"},
    {"Shakuhachi", "Shaku", G::Woodwind, F::Wind, "PCM Shakuhachi Loop", "PCM Shakuhachi Attack"},
    {"Clarinet", "Clar", G::Woodwind, F::Reed, "Clarinet", "Clarinet#2"},
    {"Oboe", "Oboe", G::Woodwind, F::Reed, "Oboe", "Oboe#2"},
    {"Piccolo", "Picco", G::Woodwind, F::Wind, "Flute", "Sin 1st", 12},
    // Pads.
    {"Warm Pad", "Warm", G::Pad, F::Pad, "Mello Pad", "String Pad", 0, 6},
    {"Glass Pad", "Glass", G::Pad, F::Pad, "Sin 2nd", "Tine#3", 12, 4},
    {"Saw Pad", "SwPad", G::Pad, F::Pad, "Saw 4", "Saw 5", 0, 3},
    {"Sweep Pad", "Sweep", G::Pad, F::Pad, "Saw 5", "String Pad", 12},
    {"Omni Pad", "OmPad", G::Pad, F::Pad, "PCM String Loop", "Mello Pad", 0, 3},
    {"Air Pad", "Air", G::Pad, F::Pad, "PCM Shakuhachi Loop", "Sin 2nd"},
    {"Soft Pad", "SfPad", G::Pad, F::Pad, "Triangle", "Sin 1st", 12, 5},
    {"Square Pad", "SqPad", G::Pad, F::Pad, "Triangle", "Clarinet"},
    // Voices.
    {"Choir", "Choir", G::Voice, F::Choir, "PCM Voice Loop", "Voice 1"},
    {"Aah Voice", "Aah", G::Voice, F::Choir, "Voice 1", "Voice 2", 0, 5},
    {"Ooh Voice", "Ooh", G::Voice, F::Choir, "Voice 2", "Sin 2nd"},
    {"Solo Voice", "SoVox", G::Voice, F::Choir, "PCM Voice Loop", "Voice 1"},
    {"Vox Pad", "VxPad", G::Voice, F::Pad, "Voice 2", "Mello Pad", 0, 6},
    // Synth leads.
    {"Saw Lead", "SawLd", G::Lead, F::Lead, "Saw 1", "Saw 6", 0, 6},
    {"Square Ld", "SqrLd", G::Lead, F::Lead, "Square 1", "Square 2", 12},
    {"Synth Solo", "SySol", G::Lead, F::Lead, "Synth Solo", "Synth Solo#2", 0, 5},
    {"Sync Lead", "Sync", G::Lead, F::Lead, "Synth 4", "Saw 12", 7},
    {"Whistle", "Whstl", G::Lead, F::Lead, "Sin 1st", "Sin 2nd"},
    {"Mini Lead", "Mini", G::Lead, F::Lead, "Saw 7", "Square 5", -12, 4},
    {"Tri Lead", "TriLd", G::Lead, F::Lead, "Triangle", "Synth 1", 0, 6},
    // Synth basses.
    {"Synth Bass", "SyBas", G::SynthBass, F::SynthBass, "Synth Bass", "Synth Bass#2"},
    {"Saw Bass", "SwBas", G::SynthBass, F::SynthBass, "Saw 1", "Square 1", 0, 5},
    {"Digi Bass", "DgBas", G::SynthBass, F::SynthBass, "Digi Bass 1", "Digi Bass 2"},
    {"Sub Bass", "Sub", G::SynthBass, F::SynthBass, "Sin 1st", "Triangle", 12},
    {"Acid Bass", "Acid", G::SynthBass, F::SynthBass, "Square 2", "Saw 9", 0, 4},
    // Bass guitars and upright bass.
    {"Finger Bs", "Fingr", G::Bass, F::Bass, "Round Bass", "PCM Pull Bass Loop"},
    {"Pick Bass", "Pick", G::Bass, F::Bass, "Pick Bass", "Pick Bass#2"},
    {"Slap Bass", "Slap", G::Bass, F::Bass, "Slap Bass", "Slap Bass#2"},
    {"Fretless", "Fretl", G::Bass, F::Bass, "Fretless", "Fretless#2"},
    {"Ac Bass", "AcBas", G::Bass, F::Bass, "Ac Bass", "Ac Bass#2"},
    {"Pull Bass", "Pull", G::Bass, F::Bass, "Pull Bass", "PCM Bass Harmo", 12},
    // Guitars.
    {"Nylon Gtr", "Nylon", G::Guitar, F::Guitar, "PCM A Guitar", "A Guitar"},
    {"Steel Gtr", "Steel", G::Guitar, F::Guitar, "PCM F Guitar", "F Guitar"},
    {"Strat Gtr", "Strat", G::Guitar, F::Guitar, "PCM Strat Guitar", "Strat"},
    {"Mute Gtr", "Mute", G::Guitar, F::Pluck, "PCM Strat Guitar", "Strat#2"},
    {"12 String", "12Str", G::Guitar, F::Guitar, "F Guitar#2", "F Guitar#3", 12, 4},
    {"Jazz Gtr", "JzGtr", G::Guitar, F::Guitar, "A Guitar#2", "Sin 1st"},
    // World instruments.
    {"Koto", "Koto", G::World, F::Pluck, "Koto", "Koto#2"},
    {"Sitar", "Sitar", G::World, F::Pluck, "Sitar", "Sitar#2"},
    {"Kalimba", "Klmba", G::World, F::Mallet, "Kalimba", "Kalimba#2"},
    {"Harp", "Harp", G::World, F::Pluck, "Harp", "Harp#2"},
    {"Steel Drum", "StlDr", G::World, F::TunedPerc, "Steel Drum", "Steel Drum#2"},
    {"Log Drum", "LogDr", G::World, F::TunedPerc, "Log Drum", "Log Drum#2"},
    {"Shaku Sus", "ShSus", G::World, F::Wind, "Shakuhachi", "PCM Shakuhachi Loop", 0, 3},
    {"Pan Pipes", "PnPip", G::World, F::Wind, "Panflute", "PCM Pan Flute Attack"},
    {"Gamelan", "Gamln", G::World, F::Bell, "Oriental Bell", "Kalimba#3", 12},
    // Mallets.
    {"Vibes", "Vibes", G::Mallet, F::Mallet, "Vibe", "Vibe#2"},
    {"Marimba", "Marim", G::Mallet, F::Mallet, "Marimba", "Marimba#2"},
    {"Xylophone", "Xylo", G::Mallet, F::Mallet, "Xylophone", "Xylophone#2", 12},
    {"Glocken", "Glock", G::Mallet, F::Mallet, "Glocken#2", "Glocken#3", 12},
    {"Wood Mlt", "WdMlt", G::Mallet, F::Mallet, "Marimba#2", "Log Drum#3"},
    // Bells.
    {"Tube Bell", "Tube", G::Bell, F::Bell, "Tube Bell#2", "Tube Bell#3", 0, 4},
    {"Orient Bel", "OrBel", G::Bell, F::Bell, "Oriental Bell#2", "Bell", 19},
    {"Chimes", "Chime", G::Bell, F::Bell, "Bell", "Tine#2", 24},
    {"Crystal", "Cryst", G::Bell, F::Bell, "Sin 2nd", "Sin 5th"},
    {"Music Box", "MuBox", G::Bell, F::Bell, "Glocken", "Sin 1st", 24},
    // Drums: fixed-pitch samples; the interval tunes them. Waves whose segment also loops ("Alt",
    // "Loop") carry the ring, which the envelope fades; a one-shot of such a segment would stop
    // while still loud.
    {"Kick", "Kick", G::Drum, F::Drum, "PCM Bass Drum", "E Tom"},
    {"Snare", "Snare", G::Drum, F::Drum, "PCM Ac Snare", "PCM White Noise Loop"},
    {"Tight Snr", "TgSnr", G::Drum, F::Drum, "PCM Tight Snare", "PCM Rim"},
    {"E Snare", "ESnr", G::Drum, F::Drum, "PCM E Snare", "PCM White Noise Loop", 5},
    {"Tom", "Tom", G::Drum, F::Drum, "PCM Ac Tom", "E Tom#2", 12},
    {"Hi Hat", "HiHat", G::Drum, F::Drum, "PCM H Hat Alt", "PCM H Hat Alt", 7, 0, -18},
    {"Crash", "Crash", G::Drum, F::Drum, "PCM Crash Alt", "PCM White Noise Loop", 12, 0, 10},
    {"Ride", "Ride", G::Drum, F::Drum, "PCM Ride", "PCM H Hat Alt", 3},
    // Tuned and hand percussion.
    {"Rim Shot", "Rim", G::Perc, F::Drum, "PCM Rim", "Log Drum", 36},
    {"E Tom", "ETom", G::Perc, F::TunedPerc, "E Tom", "E Tom#2", -12},
    {"Open Hat", "OpHat", G::Perc, F::Drum, "PCM H Hat Alt", "PCM White Noise Loop", 12},
    {"Rev Snare", "RvSnr", G::Perc, F::Drum, "PCM Ac Snare Rev", "PCM Ac Tom Rev"},
    // Effects.
    {"Rising", "Rise", G::Fx, F::Sweep, "Saw 10", "Synth 2", 12, 8},
    {"Dive Bomb", "Dive", G::Fx, F::Dive, "Square 4", "Saw 13", 0, 6},
    {"Computer", "Comp", G::Fx, F::Random, "Square 5", "Sin 3rd"},
    {"Ring Mod", "RingM", G::Fx, F::Ring, "Sin 5th", "Synth 3#2", 0, 3},
    {"Wind Noise", "Wind", G::Fx, F::Wash, "PCM White Noise Loop", "Sin 1st", 24},
    {"Omnibus", "Omni", G::Fx, F::Wash, "PCM Voice Loop", "PCM String Loop", 7},
    {"Trill", "Trill", G::Fx, F::Trill, "Synth 4#2", "Sin 2nd"},
    {"Rev Guitar", "RvGtr", G::Fx, F::Reverse, "PCM F Guitar Rev", "PCM F Guitar Loop"},
    {"Laser", "Laser", G::Fx, F::Dive, "Saw 15", "Square 5", 12, 5},
    {"Motion", "Motn", G::Fx, F::Wash, "PCM Shakuhachi Loop", "PCM Pan Flute Loop", 12},
    {"Random", "Rand", G::Fx, F::Random, "Random", "Saw 19"},
};

} // namespace

std::span<const Instrument> instruments() {
    return kInstruments;
}

} // namespace bankgen
