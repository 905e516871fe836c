#include "tools/bankgen/Voicing.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "k1lib/params/Curves.h"
#include "tools/bankgen/Levels.h"
#include "tools/bankgen/SoundMeasure.h"
#include "tools/bankgen/Steadiness.h"
#include "tools/bankgen/Tails.h"
#include "tools/bankgen/Touch.h"
#include "tools/bankgen/Waves.h"

namespace bankgen {
namespace {

using k1lib::SinglePreset;
using k1lib::SingleSource;

// Stored values of the K1; bipolar fields hold their offset + 50.
constexpr int kCentre = 50;
constexpr int kUnison = 84; // coarse: the key's own pitch

// The most a second source is detuned (1/50 semitone steps): a beat of under a hertz at middle C,
// which only shimmers.
constexpr int kGentleDetune = 0;

// The volume is set by ear at the end (Levels); this is where it starts.
constexpr uint8_t kVolume = 66;

struct Envelope {
    int level, delay, attack, decay, sustain, release;
};

uint32_t clamp100(int value) {
    return static_cast<uint32_t>(std::clamp(value, 0, 100));
}

SingleSource makeSource(const char* wave, int coarse, int fine) {
    SingleSource s{};
    s.wave = waveNumber(wave);
    s.coarse = static_cast<uint32_t>(std::clamp(coarse, 0, 127));
    s.fine = clamp100(kCentre + fine);
    s.keyTrack = 1;
    s.vibABend = 1;
    s.pressureToFreq = 1;
    s.levelModVel = s.levelModPressure = s.levelModKeyScale = kCentre;
    s.timeModVel = s.timeModKeyScale = s.freqKeyScaleToFreq = kCentre;
    return s;
}

void shape(SingleSource& s, const Envelope& e, int velocityToLevel, uint32_t velocityCurve) {
    s.envLevel = clamp100(e.level);
    s.envDelay = clamp100(e.delay);
    s.envAttack = clamp100(e.attack);
    s.envDecay = clamp100(e.decay);
    s.envSustain = clamp100(e.sustain);
    s.envRelease = clamp100(e.release);
    s.levelModVel = clamp100(velocityToLevel);
    s.velCurve = velocityCurve;
}

// Key scaling on both sources: level (negative = quieter high keys), times (negative = shorter).
void keyScale(SinglePreset& p, int level, int time) {
    for (int i = 0; i < 2; ++i) {
        p.sources[i].levelModKeyScale = clamp100(level);
        p.sources[i].timeModKeyScale = clamp100(time);
    }
}

// The vibrato a player brings in with the modulation wheel (up to a semitone at the LFO's peaks),
// none while the wheel rests. With no bend, the auto-bend time delays it, so it grows in over
// twice that time after the note starts, as a player's does.
void wheelVibrato(SinglePreset& p, int lfoSpeed, int delay) {
    p.vibratoDepth = kCentre;
    p.vibWheelMode = 0; // the wheel deepens the vibrato
    p.lfoShape = 0;     // triangle
    p.lfoSpeed = static_cast<uint8_t>(lfoSpeed);
    p.autoBendTime = static_cast<uint8_t>(delay);
}

// Bowed, blown and sung sounds: softer and darker when played softly.
constexpr int kHeldStrength = 26;

// How far soft playing falls below hard playing (the strength of velocity to level), for the
// families a player expects to answer the touch; 0 keeps the recipe's own.
int velocityStrength(Family family) {
    switch (family) {
    case Family::Piano:
        return 40; // about 18 dB from velocity 120 down to 30
    case Family::EPiano:
    case Family::Mallet:
    case Family::Pizz:
    case Family::Pluck:
    case Family::Guitar:
    case Family::Drum:
    case Family::TunedPerc:
        return 35; // about 14 dB
    case Family::Bass:
        return 36;
    case Family::SynthBass:
        return 33;
    case Family::Bell:
    case Family::Keys:
        return 37;
    case Family::Strings:
    case Family::Brass:
    case Family::Wind:
    case Family::Reed:
    case Family::Pad:
    case Family::Choir:
        return kHeldStrength;
    default:
        return 0;
    }
}

// How bright each playing source sounds heard alone at middle C (spectral centroid, Hz).
// Without an audition every source counts as alike (S1 then the brighter half).
std::vector<double> sourceBrightness(const SinglePreset& p, Audition* audition) {
    const int count = p.source2or4 ? 4 : 2;
    std::vector<double> heard(static_cast<size_t>(count));
    for (int i = 0; i < count && audition != nullptr; ++i) {
        SinglePreset alone = p;
        alone.ampModS1S2 = alone.ampModS3S4 = 0;
        for (int k = 0; k < 4; ++k)
            alone.mute[k] = k == i ? 0 : 1;
        heard[static_cast<size_t>(i)] = brightness(audition->play(alone, {60}, 100, 0.4f),
                                                   static_cast<size_t>(0.05f * Audition::kRate), 4);
    }
    return heard;
}

// The brighter half of the sources: for two, the brighter one.
std::vector<bool> brighterHalf(const std::vector<double>& heard) {
    std::vector<bool> brighter(heard.size());
    for (size_t i = 0; i < heard.size(); ++i) {
        size_t below = 0;
        for (size_t k = 0; k < heard.size(); ++k)
            below += heard[k] < heard[i] || (heard[k] == heard[i] && k > i);
        brighter[i] = below >= heard.size() / 2;
    }
    return brighter;
}

// The brighter sources answer velocity more and come up strongly with hard playing, so hard
// playing also sounds brighter.
void velocityResponse(SinglePreset& p, Family family, const std::vector<bool>& brighter) {
    const int strength = velocityStrength(family);
    if (strength == 0) return;
    for (size_t i = 0; i < brighter.size(); ++i) {
        p.sources[i].levelModVel = clamp100(kCentre + strength + (brighter[i] ? 14 : 0));
        if (brighter[i]) p.sources[i].envLevel = std::max<uint32_t>(p.sources[i].envLevel, 92);
        // A held sound's sources follow one velocity curve, so soft playing cannot tip the balance
        // towards the brighter one through a gentler curve.
        if (strength == kHeldStrength) p.sources[i].velCurve = p.sources[0].velCurve;
    }
}

// A piano's brightness dies first: the brighter sources decay sooner than the darker ones.
void darkenAsItSustains(SinglePreset& p, const std::vector<bool>& brighter) {
    int fastest = 100;
    for (size_t i = 0; i < brighter.size(); ++i)
        if (brighter[i]) {
            p.sources[i].envDecay = clamp100(static_cast<int>(p.sources[i].envDecay) - 14);
            fastest = std::min(fastest, static_cast<int>(p.sources[i].envDecay));
        }
    for (size_t i = 0; i < brighter.size(); ++i)
        if (!brighter[i])
            p.sources[i].envDecay = clamp100(std::max(static_cast<int>(p.sources[i].envDecay), fastest + 16));
}

// Fine steps that bring an equal-tempered fifth or fourth (and their octaves) to within a tenth of
// a cent of pure: an equal-tempered twelfth beats with a wave's own third harmonic at about a hertz
// at middle C, which pumps the held level.
int justCorrection(int interval) {
    const int withinOctave = ((interval % 12) + 12) % 12;
    return withinOctave == 7 ? 1 : withinOctave == 5 ? -1 : 0;
}

SinglePreset base(const Instrument& in) {
    SinglePreset p{};
    p.volume = kVolume;
    p.pressureToFreq = kCentre;
    p.vibratoDepth = kCentre; // no steady vibrato; the wheel adds it
    p.pressureToVibrato = 52; // full pressure adds about half a semitone
    p.pitchBendDepth = 2;
    p.lfoSpeed = 28; // about 5.6 Hz
    p.autoBendDepth = kCentre;
    p.velToDepth = kCentre;
    p.autoBendKeyScaleToTime = kCentre;
    p.sources[0] = makeSource(in.wave1, kUnison, 0);
    // Both sources start in phase, and the lowest harmonics of every wave are in phase too, so two
    // waves at one pitch add up; a detune would turn them into a beat that pumps the held level.
    // Beating between detuned sources pumps the held level: a few cents at most.
    p.sources[1] = makeSource(in.wave2, kUnison + in.interval2,
                              std::min(in.detune2, kGentleDetune) + justCorrection(in.interval2));
    return p;
}

void voiceFamily(SinglePreset& p, Family family) {
    SingleSource& s1 = p.sources[0];
    SingleSource& s2 = p.sources[1];
    switch (family) {
    case Family::Piano: // decays of 4-5 s in the bass, shorter and quieter towards the top; the
        // damper stops a released C4 40 dB down in about a quarter of a second
        shape(s1, {100, 0, 0, 66, 0, 30}, 68, 0);
        shape(s2, {86, 0, 0, 70, 0, 32}, 72, 0);
        keyScale(p, 44, 38);
        break;
    case Family::EPiano: // the bell partial comes in with hard playing (a steep velocity curve);
        // released, the tines are damped within a fifth of a second
        shape(s1, {100, 0, 0, 64, 18, 26}, 66, 0);
        shape(s2, {80, 0, 0, 36, 0, 24}, 74, 3);
        keyScale(p, 46, 40);
        break;
    case Family::Organ:
        shape(s1, {100, 0, 2, 50, 100, 18}, kCentre, 0);
        shape(s2, {88, 0, 2, 50, 100, 18}, kCentre, 0);
        p.lfoSpeed = 30;
        break;
    case Family::Keys: // a plucked string rings over a second before it falls 20 dB
        shape(s1, {100, 0, 0, 65, 0, 22}, 68, 1);
        shape(s2, {82, 0, 0, 59, 0, 20}, 70, 1);
        keyScale(p, kCentre, 40);
        break;
    case Family::Reed:
        // Reed waves are dense: lower levels keep them as loud as the rest.
        shape(s1, {92, 0, 12, 50, 94, 22}, 60, 2);
        shape(s2, {80, 0, 14, 50, 92, 22}, 60, 2);
        p.pressureToVibrato = 54;
        wheelVibrato(p, 30, 52);
        break;
    case Family::Strings: // 0.3-0.5 s bow attack, about 1 s release
        shape(s1, {100, 0, 42, 56, 92, 48}, 64, 2);
        shape(s2, {88, 0, 46, 56, 90, 50}, 64, 2);
        s1.timeModVel = s2.timeModVel = 46; // harder playing bows faster
        p.pressureToVibrato = 53;
        wheelVibrato(p, 27, 58); // blooms from 0.6 s to 1.8 s
        break;
    case Family::Pizz: // a few milliseconds of attack: the plucks of a chord do not peak together
        shape(s1, {100, 0, 10, 42, 0, 30}, 70, 0);
        shape(s2, {70, 0, 0, 34, 0, 26}, 70, 0);
        keyScale(p, kCentre, 42);
        break;
    case Family::Brass: // about 70 ms attack with a one-semitone scoop
        shape(s1, {100, 0, 24, 44, 80, 32}, 66, 0);
        shape(s2, {90, 0, 28, 46, 78, 34}, 66, 0);
        s1.timeModVel = s2.timeModVel = 44;
        p.pressureToVibrato = 53;
        wheelVibrato(p, 28, 40); // the scoop falls over 0.23 s, then the vibrato grows
        p.autoBendDepth = 30;    // the same scoop however hard: a deeper one would darken hard playing
        break;
    case Family::Wind: // the second source is a short breath at the start
        shape(s1, {100, 0, 18, 46, 90, 26}, 62, 2);
        shape(s2, {62, 0, 0, 30, 0, 20}, 66, 0);
        p.pressureToVibrato = 54;
        wheelVibrato(p, 29, 50);
        break;
    case Family::Pad: // 1.5 s swell, 2-3 s release, slow LFO
        shape(s1, {100, 0, 58, 62, 94, 62}, 60, 2);
        shape(s2, {90, 0, 62, 62, 92, 64}, 60, 2);
        p.lfoSpeed = 12;
        break;
    case Family::Choir:
        shape(s1, {100, 0, 50, 60, 95, 58}, 60, 2);
        shape(s2, {86, 0, 54, 60, 92, 60}, 60, 2);
        p.pressureToVibrato = 53;
        wheelVibrato(p, 27, 50);
        break;
    case Family::Lead:
        shape(s1, {100, 0, 2, 50, 95, 26}, 58, 1);
        shape(s2, {90, 0, 2, 50, 92, 26}, 58, 1);
        p.pressureToVibrato = 54;
        wheelVibrato(p, 30, 45);
        break;
    case Family::SynthBass: // an octave down, plucky filter-like decay to a held level
        s1.coarse -= 12;
        s2.coarse -= 12;
        shape(s1, {100, 0, 0, 46, 55, 18}, 62, 0);
        shape(s2, {86, 0, 0, 38, 40, 16}, 62, 0);
        break;
    case Family::Bass:
        shape(s1, {100, 0, 0, 58, 28, 22}, 66, 0);
        shape(s2, {80, 0, 0, 40, 0, 18}, 70, 0);
        break;
    case Family::Guitar:
        shape(s1, {100, 0, 0, 62, 12, 32}, 66, 0);
        shape(s2, {84, 0, 0, 56, 8, 30}, 66, 0);
        keyScale(p, kCentre, 42);
        break;
    case Family::Pluck:
        shape(s1, {100, 0, 0, 58, 0, 38}, 68, 0);
        shape(s2, {80, 0, 0, 46, 0, 34}, 68, 0);
        keyScale(p, kCentre, 40);
        break;
    case Family::Mallet: // a released bar is damped within about a third of a second
        shape(s1, {100, 0, 0, 54, 0, 32}, 70, 0);
        shape(s2, {72, 0, 0, 34, 0, 28}, 74, 0);
        keyScale(p, 46, 40);
        break;
    case Family::Bell: // long rings, 8 s at the bottom
        shape(s1, {100, 0, 0, 74, 0, 64}, 64, 0);
        shape(s2, {80, 0, 0, 60, 0, 56}, 64, 0);
        keyScale(p, kCentre, 44);
        break;
    case Family::TunedPerc:
        shape(s1, {100, 0, 0, 46, 0, 38}, 68, 0);
        shape(s2, {78, 0, 0, 36, 0, 30}, 68, 0);
        break;
    case Family::Drum: // fixed pitch: coarse 92 plays the sample at its own speed on every key
        // A sampled wave plays at its own speed with coarse 92; a single-cycle body layer sounds at
        // its note number (coarse - 24), so it sits at C2 plus the instrument's interval.
        for (SingleSource* s : {&s1, &s2}) {
            s->coarse = s->wave >= kFirstSampledWave ? s->coarse + 8 : s->coarse - 24;
            s->keyTrack = s->vibABend = s->pressureToFreq = 0;
        }
        shape(s1, {100, 0, 0, 52, 0, 46}, 70, 0);
        shape(s2, {76, 0, 0, 40, 0, 36}, 70, 0);
        p.pitchBendDepth = 0;
        p.pressureToVibrato = kCentre;
        break;
    case Family::Sweep: // rises from an octave below over about 1.6 s
        shape(s1, {100, 0, 40, 60, 90, 60}, 60, 2);
        shape(s2, {86, 0, 44, 60, 88, 60}, 60, 2);
        p.autoBendDepth = 0;
        p.autoBendTime = 76;
        break;
    case Family::Dive: // falls an octave over about 1 s
        shape(s1, {100, 0, 0, 60, 80, 40}, 60, 0);
        shape(s2, {86, 0, 0, 60, 78, 40}, 60, 0);
        p.autoBendDepth = 100;
        p.autoBendTime = 70;
        break;
    case Family::Random: // random steps of up to two semitones, six or seven per second
        shape(s1, {100, 0, 0, 50, 90, 30}, 58, 0);
        shape(s2, {80, 0, 0, 50, 88, 30}, 58, 0);
        p.lfoShape = 3;
        p.lfoSpeed = 40;
        p.vibratoDepth = 75;
        break;
    case Family::Ring: // S1 multiplies S2
        shape(s1, {100, 0, 0, 60, 70, 40}, 62, 0);
        shape(s2, {100, 0, 0, 60, 70, 40}, 62, 0);
        s2.coarse += 7;
        p.ampModS1S2 = 2;
        break;
    case Family::Wash: // slow swell and a long tail
        shape(s1, {100, 0, 60, 70, 90, 70}, 58, 2);
        shape(s2, {80, 0, 66, 70, 88, 72}, 58, 2);
        p.lfoSpeed = 8;
        break;
    case Family::Reverse: // the reversed sample swells by itself, a loop fades in behind it
        shape(s1, {100, 0, 0, 70, 100, 30}, 58, 0);
        shape(s2, {72, 0, 50, 60, 80, 50}, 58, 2);
        break;
    case Family::Trill: // the square LFO alternates the note and a whole tone above
        shape(s1, {100, 0, 0, 50, 90, 30}, 58, 0);
        shape(s2, {80, 0, 0, 50, 88, 30}, 58, 0);
        p.lfoShape = 2;
        p.lfoSpeed = 20;
        p.vibratoDepth = 75;
        break;
    }
}

void forFirstTwo(SinglePreset& p, auto change) {
    change(p.sources[0]);
    change(p.sources[1]);
}

void applyCharacter(SinglePreset& p, Character character) {
    SingleSource& s1 = p.sources[0];
    SingleSource& s2 = p.sources[1];
    switch (character) {
    case Character::Plain:
        break;
    case Character::Bright: // set once the brighter sources are known (tiltBrightness)
        break;
    case Character::Soft:
        forFirstTwo(p, [](SingleSource& s) {
            s.envAttack = clamp100(static_cast<int>(s.envAttack) + 5);
            s.envLevel = clamp100(static_cast<int>(s.envLevel) - 6);
            s.velCurve = 2;
        });
        break;
    case Character::Wide: // detuned copies of the voiced sound: widen
        break;
    case Character::Big: // four sources: an octave-down copy of S1 and a second S2
        p.source2or4 = 1;
        p.sources[2] = s1;
        p.sources[3] = s2;
        p.sources[2].coarse = static_cast<uint32_t>(std::max(static_cast<int>(s1.coarse) - 12, 24));
        p.sources[2].fine = s1.fine; // an octave apart needs no detune to sound wide
        p.sources[2].envLevel = clamp100(static_cast<int>(s1.envLevel) - 14);
        p.sources[3].fine = s2.fine; // in tune: a copy a few cents off beats and pumps the held level
        p.sources[3].envLevel = clamp100(static_cast<int>(s2.envLevel) - 12);
        break;
    case Character::Octave:
        s2.coarse += 12;
        s2.envLevel = clamp100(static_cast<int>(s2.envLevel) - 6);
        break;
    case Character::Long:
        forFirstTwo(p, [](SingleSource& s) {
            s.envDecay = clamp100(static_cast<int>(s.envDecay) + 6);
            // At most about 8 s: longer tails pile up into mud.
            s.envRelease = static_cast<uint32_t>(std::min(static_cast<int>(s.envRelease) + 14, 75));
        });
        break;
    case Character::Perc:
        forFirstTwo(p, [](SingleSource& s) {
            s.envDecay = clamp100(static_cast<int>(s.envDecay) - 10);
            s.envSustain = s.envSustain * 2 / 5;
            s.envRelease = clamp100(static_cast<int>(s.envRelease) - 8);
        });
        break;
    case Character::Slow:
        // A swell of at most about 2.5 s.
        forFirstTwo(p, [](SingleSource& s) {
            s.envAttack = static_cast<uint32_t>(
                std::max(static_cast<int>(s.envAttack), std::min(static_cast<int>(s.envAttack) + 16, 66)));
        });
        break;
    case Character::Dark: // the level of the brighter sources: tiltBrightness
        s1.velCurve = s2.velCurve = 3;
        break;
    case Character::Solo:
        p.polyMode = k1lib::Solo;
        p.pressureToVibrato = 54;
        break;
    case Character::Ring:
        p.ampModS1S2 = 2;
        break;
    case Character::High:
        forFirstTwo(p, [](SingleSource& s) { s.coarse += 4; });
        break;
    case Character::Low:
        forFirstTwo(p, [](SingleSource& s) { s.coarse -= 5; });
        break;
    case Character::Tight:
        forFirstTwo(p, [](SingleSource& s) {
            s.envDecay = clamp100(static_cast<int>(s.envDecay) - 10);
            s.envRelease = clamp100(static_cast<int>(s.envRelease) - 12);
        });
        break;
    case Character::Room:
        forFirstTwo(p, [](SingleSource& s) {
            s.envDecay = clamp100(static_cast<int>(s.envDecay) + 6);
            s.envRelease = clamp100(static_cast<int>(s.envRelease) + 16);
        });
        break;
    }
}

// "Brt" brings the brighter sources forward and the darker ones back; "Dark" takes the brighter
// back, less where touch brings them in.
void tiltBrightness(SinglePreset& p, Family family, Character character, const std::vector<bool>& brighter) {
    const int strength = velocityStrength(family);
    const int darker = strength > 0 && strength != kHeldStrength ? 14 : 30;
    for (size_t i = 0; i < brighter.size(); ++i) {
        SingleSource& s = p.sources[i];
        if (character == Character::Bright)
            s.envLevel = clamp100(static_cast<int>(s.envLevel) + (brighter[i] ? 10 : -20));
        if (character == Character::Dark && brighter[i])
            s.envLevel = clamp100(static_cast<int>(s.envLevel) - darker);
    }
}

// The flags the other way round: the sources first heard as the darker taken for the brighter.
std::vector<bool> flipped(std::vector<bool> flags) {
    flags.flip();
    return flags;
}

// How bright the whole Single sounds over the first half second of a middle C, as a player hears
// it.
double mixBrightness(const SinglePreset& p, Audition& audition, int velocity, size_t from, int frames) {
    return brightness(audition.play(p, {60}, velocity, 0.5f), from, frames);
}

// Two waves at one pitch interfere, so the source brighter alone need not brighten the mix. For a
// two-source Single, "Brt" and "Dark" tilt whichever way makes the mix brighter or darker, and a
// held sound lets touch bring up whichever makes hard playing the brighter. Returns the flags for
// touch and for the tilt.
std::pair<std::vector<bool>, std::vector<bool>> heardInTheMix(const SinglePreset& p, Family family,
                                                              Character character,
                                                              const std::vector<bool>& brighter,
                                                              Audition* audition) {
    std::vector<bool> touch = brighter, tilt = brighter;
    if (audition == nullptr || p.source2or4) return {touch, tilt};
    const auto voiced = [&](const std::vector<bool>& touchFlags, const std::vector<bool>& tiltFlags) {
        SinglePreset q = p;
        velocityResponse(q, family, touchFlags);
        tiltBrightness(q, family, character, tiltFlags);
        return q;
    };
    if (character == Character::Bright || character == Character::Dark) {
        const size_t from = static_cast<size_t>(0.05f * Audition::kRate);
        const double asHeard = mixBrightness(voiced(touch, tilt), *audition, 100, from, 4);
        const double other = mixBrightness(voiced(touch, flipped(tilt)), *audition, 100, from, 4);
        if ((character == Character::Bright) == (other > asHeard)) tilt = flipped(tilt);
    }
    if (velocityStrength(family) == kHeldStrength) {
        const auto opens = [&](const std::vector<bool>& touchFlags) {
            const SinglePreset q = voiced(touchFlags, tilt);
            return mixBrightness(q, *audition, 120, 0, 6) /
                   std::max(mixBrightness(q, *audition, 30, 0, 6), 1.0);
        };
        if (opens(flipped(touch)) > opens(touch)) touch = flipped(touch);
    }
    return {touch, tilt};
}

// A held sound whose hard notes still come out no brighter than its soft ones (a source's own
// attack or a slow swell can outweigh the balance touch sets) tries the K1's other touch controls:
// every source answering the touch alike, and, with two sources, velocity to attack time, so that
// played hard one source speaks sooner and the other later (four sources' octave copies would
// step in too fast and click). The most opening variant that keeps 6.5 dB of touch is kept.
void openWithTouch(SinglePreset& p, Audition& audition) {
    const auto opens = [&](const SinglePreset& q) {
        return mixBrightness(q, audition, 120, 0, 6) / std::max(mixBrightness(q, audition, 30, 0, 6), 1.0);
    };
    const auto touch = [&](const SinglePreset& q) {
        return soundmeasure::decibels(loudestRms(audition.play(q, {60}, 120, 2.0f))) -
               soundmeasure::decibels(loudestRms(audition.play(q, {60}, 30, 2.0f)));
    };
    double best = opens(p);
    if (best >= 1.0) return;
    const int count = p.source2or4 ? 4 : 2;
    const uint32_t alike = std::max(p.sources[0].levelModVel, p.sources[1].levelModVel) - 14;
    SinglePreset chosen = p;
    for (int levels = 0; levels < 2; ++levels)
        for (int sooner = -1; sooner < (count == 2 ? 2 : 0); ++sooner) {
            SinglePreset q = p;
            for (int i = 0; i < count; ++i) {
                if (levels == 1) q.sources[i].levelModVel = alike;
                if (sooner >= 0) q.sources[i].timeModVel = i % 2 == sooner ? kCentre + 15 : kCentre - 30;
            }
            const double heard = opens(q);
            if (heard > best && touch(q) >= 6.5f) {
                best = heard;
                chosen = q;
            }
        }
    p = chosen;
}

// One source of a Single alone, as loud as a middle C at velocity 100 sounds.
double heardAlone(const SinglePreset& p, int source, Audition& audition) {
    SinglePreset solo = p;
    solo.ampModS1S2 = solo.ampModS3S4 = 0;
    for (int k = 0; k < 4; ++k)
        solo.mute[k] = k == source ? 0 : 1;
    return loudestRms(audition.play(solo, {60}, 100, 1.0f));
}

// "Wide": S3 and S4 repeat the voiced S1 and S2 two fine steps (4 cents) higher and far softer, a
// chorus-like shimmer. A copy at amplitude ratio r beats with its partner by 20 log10((1 + r) /
// (1 - r)) dB: at 0.15, as heard, some 2.6 dB. Both copies go the same way: detuned apart, where
// S1 and S2 cancel in the mix the copies' own beat would pump it. Touch scales the stored levels
// before the K1's uneven level curve, so the ratio is set by ear where there is an audition.
// Added once touch and brightness are set, so the copies follow them.
void widen(SinglePreset& p, Audition* audition) {
    constexpr int kDetune = 2;
    constexpr float kRatio = 0.15f;
    p.source2or4 = 1;
    for (int i = 0; i < 2; ++i) {
        SingleSource& copy = p.sources[i + 2];
        copy = p.sources[i];
        copy.fine = clamp100(static_cast<int>(copy.fine) + kDetune);
        if (audition != nullptr) {
            const double most = kRatio * heardAlone(p, i, *audition);
            while (copy.envLevel > 0 && heardAlone(p, i + 2, *audition) > most)
                --copy.envLevel;
        } else {
            const float most = kRatio * k1lib::envLevel(static_cast<int>(copy.envLevel));
            while (copy.envLevel > 0 && k1lib::envLevel(static_cast<int>(copy.envLevel)) > most)
                --copy.envLevel;
        }
    }
    if (audition != nullptr) steadyCopies(p, *audition);
}

// A few steps of variation, so patches of one recipe do not sound identical.
void humanize(SinglePreset& p, Prng& prng) {
    const int count = p.source2or4 ? 4 : 2;
    for (int i = 0; i < count; ++i) {
        SingleSource& s = p.sources[i];
        if (s.envAttack > 0) s.envAttack = clamp100(static_cast<int>(s.envAttack) + prng.jitter(1));
        s.envDecay = clamp100(static_cast<int>(s.envDecay) + prng.jitter(2));
        s.envRelease = clamp100(static_cast<int>(s.envRelease) + prng.jitter(2));
    }
    p.keyScaleCurve = static_cast<uint32_t>(prng.next() % 2); // the two gentle curves
}

// In a held sound a sample that plays once is only heard at the start, so it becomes the attack
// transient (instant, gone within about a third of a second, or 0.7 s for the touch-sensitive
// families, whose pluck or strike carries their brightness) and the other source, which carries
// the held note, comes up to nearly full level.
void makeTransients(SinglePreset& p, Family family) {
    if (family == Family::Reverse) return; // the reversed sample is the swell itself
    const uint32_t longestDecay = velocityStrength(family) > 0 ? 40 : 30;
    for (int i = 0; i < 2; ++i) {
        SingleSource& s = p.sources[i];
        SingleSource& other = p.sources[1 - i];
        if (waveLoops(s.wave) || s.envSustain == 0) continue;
        s.envAttack = 0;
        s.envDecay = std::min(s.envDecay, longestDecay);
        s.envSustain = 0;
        s.envLevel = std::min<uint32_t>(s.envLevel, 92);
        other.envLevel = std::max<uint32_t>(other.envLevel, 96);
    }
}

// A loop starts anywhere in its wave and a pluck with its noise, and a single-cycle table starts on
// a zero crossing but, where its harmonics line up there, on a steep slope: a source that starts at
// once would step up from silence. A millisecond of attack takes the step off, not the punch.
void softenStarts(SinglePreset& p) {
    for (int i = 0; i < (p.source2or4 ? 4 : 2); ++i)
        if (p.sources[i].envAttack < 7) p.sources[i].envAttack = 7;
}

} // namespace

const char* characterTag(Character character) {
    static const char* const tags[] = {"",     "Brt",  "Soft", "Wide", "Big", "Oct", "Long", "Perc",
                                       "Slow", "Dark", "Solo", "Ring", "Hi",  "Lo",  "Tght", "Room"};
    return tags[static_cast<int>(character)];
}

std::span<const Character> charactersFor(Family family) {
    using C = Character;
    static const C percussive[] = {C::Plain, C::Bright, C::Soft,   C::Wide, C::Long,
                                   C::Big,   C::Dark,   C::Octave, C::Perc};
    static const C sustained[] = {C::Plain, C::Wide, C::Slow,   C::Big,  C::Bright,
                                  C::Soft,  C::Dark, C::Octave, C::Long, C::Solo};
    static const C lead[] = {C::Plain, C::Solo,   C::Wide, C::Bright, C::Big,
                             C::Dark,  C::Octave, C::Perc, C::Soft};
    static const C bass[] = {C::Plain, C::Bright, C::Perc, C::Solo, C::Dark,
                             C::Wide,  C::Big,    C::Soft, C::Long};
    static const C bell[] = {C::Plain, C::Long, C::Ring, C::Bright, C::Soft,
                             C::Wide,  C::Big,  C::Dark, C::Octave};
    static const C drum[] = {C::Plain, C::High, C::Low, C::Tight, C::Room, C::Big, C::Bright, C::Dark};
    static const C fx[] = {C::Plain, C::Wide, C::Big,    C::Slow,  C::Ring,
                           C::Long,  C::Dark, C::Bright, C::Octave};
    switch (family) {
    case Family::Organ:
    case Family::Reed:
    case Family::Strings:
    case Family::Brass:
    case Family::Wind:
    case Family::Pad:
    case Family::Choir:
        return sustained;
    case Family::Lead:
    case Family::SynthBass:
        return lead;
    case Family::Bass:
        return bass;
    case Family::Bell:
        return bell;
    case Family::Drum:
    case Family::TunedPerc:
        return drum;
    case Family::Sweep:
    case Family::Dive:
    case Family::Random:
    case Family::Ring:
    case Family::Wash:
    case Family::Trill:
    case Family::Reverse:
        return fx;
    default:
        return percussive;
    }
}

SinglePreset voiceSingle(const Instrument& instrument, Character character, Prng& prng, Audition* audition) {
    SinglePreset p = base(instrument);
    voiceFamily(p, instrument.family);
    forFirstTwo(
        p, [&](SingleSource& s) { s.envDecay = clamp100(static_cast<int>(s.envDecay) + instrument.ring); });
    applyCharacter(p, character);
    makeTransients(p, instrument.family);
    // Heard with the character: an octave or two more sources can change which are the brighter.
    const std::vector<bool> brighter = brighterHalf(sourceBrightness(p, audition));
    const auto [touch, tilt] = heardInTheMix(p, instrument.family, character, brighter, audition);
    velocityResponse(p, instrument.family, touch);
    if (instrument.family == Family::Piano) darkenAsItSustains(p, brighter);
    tiltBrightness(p, instrument.family, character, tilt);
    humanize(p, prng);
    if (instrument.family != Family::Drum) softenStarts(p);
    if (audition != nullptr && instrument.family != Family::Drum) steadyBesideLoops(p, *audition);
    if (audition != nullptr && velocityStrength(instrument.family) == kHeldStrength) {
        openWithTouch(p, *audition);
        // "Wide" has its S3 and S4 shimmer.
        if (character != Character::Wide) brightenWithTouch(p, *audition, character == Character::Bright);
    }
    const int strength = velocityStrength(instrument.family);
    if (audition != nullptr && strength > 0 && strength != kHeldStrength) keepTopOfTouch(p, *audition);
    if (character == Character::Wide) widen(p, audition);
    if (audition != nullptr) {
        // Whether a tail fades out of hearing depends on how loud the Single plays.
        setSingleVolume(p, *audition);
        fadeTails(p, *audition);
        setSingleVolume(p, *audition);
    }
    if (!p.source2or4) {
        p.sources[2] = p.sources[0];
        p.sources[3] = p.sources[1];
    }
    return p;
}

SinglePreset startupSingle(Audition* audition) {
    const Instrument piano{"", "", Group::Piano, Family::Piano, "PCM Piano", "Piano 1"};
    SinglePreset p = base(piano);
    voiceFamily(p, Family::Piano);
    p.source2or4 = 1;
    p.sources[2] = makeSource("String Pad", kUnison, -4);
    p.sources[3] = makeSource("String Pad", kUnison - 12, 5); // an octave below: the piano stays on top
    // The strings let go with the piano's damper: half a second after the key comes up.
    shape(p.sources[2], {76, 0, 50, 60, 90, 40}, 56, 2);
    shape(p.sources[3], {68, 0, 54, 60, 88, 42}, 56, 2);
    p.sources[2].levelModVel = p.sources[3].levelModVel = kCentre + 30; // the strings follow the touch too
    p.pressureToVibrato = 53;
    const std::vector<bool> brighter = brighterHalf(sourceBrightness(p, audition));
    velocityResponse(p, Family::Piano, brighter);
    darkenAsItSustains(p, brighter);
    if (audition != nullptr) setSingleVolume(p, *audition);
    return p;
}

} // namespace bankgen
