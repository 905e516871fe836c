#pragma once
// One K1 Single: a name, the common settings and four sources. Plain value record that keeps
// the K1's own encodings: bipolar values are stored + 50, the volume one below its display.
#include <cstdint>

#include "k1lib/constants/K1Constants.h"

namespace k1lib {

struct SingleSource {
    uint32_t fine;          // 0-100, bipolar + 50
    uint32_t coarse;        // 0-127, a note number
    uint8_t wave;           // 0-255
    uint8_t keyTrack;       // 0-1
    uint8_t vibABend;       // 0-1
    uint8_t pressureToFreq; // 0-1
    uint32_t velCurve;      // 0-7
    uint32_t envLevel;
    uint32_t envDelay;
    uint32_t envAttack;
    uint32_t envDecay;
    uint32_t envSustain;
    uint32_t envRelease;
    uint32_t levelModVel; // bipolar + 50 from here on
    uint32_t levelModPressure;
    uint32_t levelModKeyScale;
    uint32_t timeModVel;
    uint32_t timeModKeyScale;
    uint32_t freqKeyScaleToFreq;
};

struct SinglePreset {
    char name[11];                  // up to 10 characters; every byte after the terminator is NUL
    uint8_t volume;                 // 0-99
    uint32_t polyMode;              // 0 Poly 1, 1 Poly 2, 2 Solo
    uint32_t source2or4;            // 0 two sources, 1 four
    uint32_t ampModS1S2;            // 0-2
    uint32_t ampModS3S4;            // 0-2
    uint8_t pressureToFreq;         // bipolar + 50
    uint8_t vibratoDepth;           // bipolar + 50
    uint8_t pressureToVibrato;      // bipolar + 50
    uint32_t pitchBendDepth;        // 0-12 semitones
    uint8_t lfoSpeed;               // 0-100
    uint32_t lfoShape;              // 0 Tri, 1 Saw, 2 Square, 3 Random
    uint32_t keyScaleCurve;         // 0-4
    uint32_t vibWheelMode;          // 0 Depth, 1 Speed
    uint8_t autoBendDepth;          // bipolar + 50
    uint8_t autoBendTime;           // 0-100
    uint8_t velToDepth;             // bipolar + 50
    uint8_t autoBendKeyScaleToTime; // bipolar + 50
    uint8_t mute[kSourceCount];     // 1 = source muted
    SingleSource sources[kSourceCount];
};

bool operator==(const SingleSource& a, const SingleSource& b);
bool operator==(const SinglePreset& a, const SinglePreset& b);

} // namespace k1lib
