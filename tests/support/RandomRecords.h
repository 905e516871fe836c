#pragma once
// Seeded random Singles and Multis with every field inside its range, for property tests.
#include <cstdint>
#include <random>

#include "k1lib/records/MultiPreset.h"
#include "k1lib/records/SinglePreset.h"

namespace testing_records {

class RecordRandom {
public:
    explicit RecordRandom(uint32_t seed) : generator(seed) {}

    uint32_t upTo(uint32_t max) { return static_cast<uint32_t>(generator() % (max + 1ull)); }
    int32_t between(int32_t lo, int32_t hi) {
        return lo + static_cast<int32_t>(upTo(static_cast<uint32_t>(hi - lo)));
    }

    // 0-10 printable characters (blank inside, never trailing), NUL after the terminator.
    void name(char (&out)[11]) {
        for (char& c : out)
            c = 0;
        const uint32_t length = upTo(10);
        for (uint32_t i = 0; i < length; ++i)
            out[i] = static_cast<char>(0x20 + upTo(0x5F));
        for (int i = static_cast<int>(length) - 1; i >= 0 && out[i] == ' '; --i)
            out[i] = 0;
    }

    k1lib::SinglePreset single() {
        k1lib::SinglePreset s{};
        name(s.name);
        s.volume = static_cast<uint8_t>(upTo(99));
        s.polyMode = upTo(2);
        s.source2or4 = upTo(1);
        s.ampModS1S2 = upTo(2);
        s.ampModS3S4 = upTo(2);
        s.pressureToFreq = static_cast<uint8_t>(upTo(100));
        s.vibratoDepth = static_cast<uint8_t>(upTo(100));
        s.pressureToVibrato = static_cast<uint8_t>(upTo(100));
        s.pitchBendDepth = upTo(12);
        s.lfoSpeed = static_cast<uint8_t>(upTo(100));
        s.lfoShape = upTo(3);
        s.keyScaleCurve = upTo(4);
        s.vibWheelMode = upTo(1);
        s.autoBendDepth = static_cast<uint8_t>(upTo(100));
        s.autoBendTime = static_cast<uint8_t>(upTo(100));
        s.velToDepth = static_cast<uint8_t>(upTo(100));
        s.autoBendKeyScaleToTime = static_cast<uint8_t>(upTo(100));
        for (uint8_t& m : s.mute)
            m = static_cast<uint8_t>(upTo(1));
        for (k1lib::SingleSource& src : s.sources) {
            src.fine = upTo(100);
            src.coarse = upTo(127);
            src.wave = static_cast<uint8_t>(upTo(255));
            src.keyTrack = static_cast<uint8_t>(upTo(1));
            src.vibABend = static_cast<uint8_t>(upTo(1));
            src.pressureToFreq = static_cast<uint8_t>(upTo(1));
            src.velCurve = upTo(7);
            for (uint32_t* f :
                 {&src.envLevel, &src.envDelay, &src.envAttack, &src.envDecay, &src.envSustain,
                  &src.envRelease, &src.levelModVel, &src.levelModPressure, &src.levelModKeyScale,
                  &src.timeModVel, &src.timeModKeyScale, &src.freqKeyScaleToFreq})
                *f = upTo(100);
        }
        return s;
    }

    k1lib::MultiPreset multi() {
        k1lib::MultiPreset m{};
        name(m.name);
        m.volume = upTo(99);
        for (k1lib::MultiSection& sec : m.sections) {
            sec.single = upTo(63);
            sec.zoneLow = upTo(127);
            sec.zoneHigh = upTo(127);
            sec.poly = upTo(9);
            sec.output = upTo(2);
            sec.mode = upTo(2);
            sec.channel = upTo(15);
            sec.velocity = upTo(2);
            sec.transpose = between(-24, 24);
            sec.tune = between(-50, 50);
            sec.level = upTo(100);
        }
        return m;
    }

private:
    std::mt19937 generator;
};

} // namespace testing_records
