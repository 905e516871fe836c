#pragma once
// The byte maps of the K1's Single and Multi records: where every field lies (byte, lowest bit,
// bit width), the largest value it may hold, and the bias of a bipolar field. The record reader
// and writer both go through these maps, so a field's place is written once.
//
// Per-source fields give the byte of source 1; source s lies at byte + s. Per-section fields of a
// Multi likewise give section 1's byte.
#include <cstdint>

#include "k1lib/constants/K1Constants.h"

namespace k1lib {

struct RecordField {
    uint8_t byte;
    uint8_t bit;
    uint8_t width; // 8 = the whole byte: read as found, so a stray bit 7 shows as out of range
    uint8_t max;
    uint8_t bias = 0; // stored = value + bias
};

// The field's bits as they stand in the record.
inline uint32_t getField(const unsigned char* record, const RecordField& f, unsigned index = 0) {
    return (record[f.byte + index] >> f.bit) & ((1u << f.width) - 1);
}

// The bits the writer fills: the field's own, never bit 7.
constexpr unsigned writtenMask(const RecordField& f) {
    const unsigned width = f.width < 7u - f.bit ? f.width : 7u - f.bit;
    return ((1u << width) - 1) << f.bit;
}

// ORs value into the field's bits of a cleared record; bit 7 stays clear, so every byte is data.
inline void putField(unsigned char* record, const RecordField& f, uint32_t value, unsigned index = 0) {
    record[f.byte + index] |= static_cast<unsigned char>((value << f.bit) & writtenMask(f));
}

// A field and how many copies of it lie in consecutive bytes (one per source or section).
struct FieldRun {
    RecordField field;
    unsigned count;
};

// Whether the fields lie between the name and the checksum, share no written bit, and can all
// write their largest value.
template <unsigned N>
constexpr bool fieldsFit(const FieldRun (&runs)[N], unsigned firstByte, unsigned checksumByte) {
    unsigned used[128] = {};
    for (const FieldRun& run : runs) {
        const RecordField& f = run.field;
        const unsigned mask = writtenMask(f);
        if (((static_cast<unsigned>(f.max) << f.bit) & ~mask) != 0) return false;
        for (unsigned i = 0; i < run.count; ++i) {
            const unsigned byte = f.byte + i;
            if (byte < firstByte || byte >= checksumByte || (used[byte] & mask) != 0) return false;
            used[byte] |= mask;
        }
    }
    return true;
}

namespace singlelayout {
constexpr unsigned NameByte = 0;
constexpr RecordField Volume{10, 0, 8, kHighestVolume};
constexpr RecordField PolyMode{11, 0, 2, 2};
constexpr RecordField Source2or4{11, 2, 1, 1};
constexpr RecordField AmpModS1S2{11, 3, 2, 2};
constexpr RecordField AmpModS3S4{11, 5, 2, 2};
constexpr RecordField PressureToFreq{12, 0, 8, 100};
constexpr RecordField VibratoDepth{13, 0, 8, 100};
constexpr RecordField PressureToVibrato{14, 0, 8, 100};
constexpr RecordField PitchBendDepth{15, 0, 4, 12};
constexpr RecordField LfoSpeed{16, 0, 8, 100};
constexpr RecordField LfoShape{17, 0, 2, 3};
constexpr RecordField KeyScaleCurve{17, 2, 3, 4};
constexpr RecordField VibWheelMode{17, 5, 2, 1};
constexpr RecordField AutoBendDepth{18, 0, 8, 100};
constexpr RecordField AutoBendTime{19, 0, 8, 100};
constexpr RecordField VelToDepth{20, 0, 8, 100};
constexpr RecordField AutoBendKeyScaleToTime{21, 0, 8, 100};
constexpr RecordField Mute{22, 0, 8, 15}; // bit s mutes source s
// Per source.
constexpr RecordField Fine{23, 0, 8, 100};
constexpr RecordField Coarse{27, 0, 8, 127};
constexpr RecordField WaveLow{31, 0, 7, 127}; // wave bits 0-6
constexpr RecordField WaveHigh{35, 0, 1, 1};  // wave bit 7
constexpr RecordField KeyTrack{35, 1, 1, 1};
constexpr RecordField VibABend{35, 2, 1, 1};
constexpr RecordField SourcePressureToFreq{35, 3, 1, 1};
constexpr RecordField VelCurve{35, 4, 4, 7};
constexpr RecordField EnvLevel{39, 0, 8, 100};
constexpr RecordField EnvDelay{43, 0, 8, 100};
constexpr RecordField EnvAttack{47, 0, 8, 100};
constexpr RecordField EnvDecay{51, 0, 8, 100};
constexpr RecordField EnvSustain{55, 0, 8, 100};
constexpr RecordField EnvRelease{59, 0, 8, 100};
constexpr RecordField LevelModVel{63, 0, 8, 100};
constexpr RecordField LevelModPressure{67, 0, 8, 100};
constexpr RecordField LevelModKeyScale{71, 0, 8, 100};
constexpr RecordField TimeModVel{75, 0, 8, 100};
constexpr RecordField TimeModKeyScale{79, 0, 8, 100};
constexpr RecordField FreqKeyScaleToFreq{83, 0, 8, 100};
constexpr unsigned ChecksumByte = 87;
constexpr unsigned RecordSize = 88;

constexpr FieldRun Fields[] = {{Volume, 1},
                               {PolyMode, 1},
                               {Source2or4, 1},
                               {AmpModS1S2, 1},
                               {AmpModS3S4, 1},
                               {PressureToFreq, 1},
                               {VibratoDepth, 1},
                               {PressureToVibrato, 1},
                               {PitchBendDepth, 1},
                               {LfoSpeed, 1},
                               {LfoShape, 1},
                               {KeyScaleCurve, 1},
                               {VibWheelMode, 1},
                               {AutoBendDepth, 1},
                               {AutoBendTime, 1},
                               {VelToDepth, 1},
                               {AutoBendKeyScaleToTime, 1},
                               {Mute, 1},
                               {Fine, 4},
                               {Coarse, 4},
                               {WaveLow, 4},
                               {WaveHigh, 4},
                               {KeyTrack, 4},
                               {VibABend, 4},
                               {SourcePressureToFreq, 4},
                               {VelCurve, 4},
                               {EnvLevel, 4},
                               {EnvDelay, 4},
                               {EnvAttack, 4},
                               {EnvDecay, 4},
                               {EnvSustain, 4},
                               {EnvRelease, 4},
                               {LevelModVel, 4},
                               {LevelModPressure, 4},
                               {LevelModKeyScale, 4},
                               {TimeModVel, 4},
                               {TimeModKeyScale, 4},
                               {FreqKeyScaleToFreq, 4}};
static_assert(fieldsFit(Fields, Volume.byte, ChecksumByte) && ChecksumByte + 1 == RecordSize);
} // namespace singlelayout

namespace multilayout {
constexpr unsigned NameByte = 0;
constexpr RecordField Volume{10, 0, 8, kHighestVolume};
// Per section.
constexpr RecordField Single{11, 0, 6, 63};
constexpr RecordField ZoneLow{19, 0, 8, 127};
constexpr RecordField ZoneHigh{27, 0, 8, 127};
constexpr RecordField Poly{35, 0, 4, 9};
constexpr RecordField Output{35, 4, 2, 2};
constexpr RecordField ModeHigh{35, 6, 1, 1}; // mode bit 1
constexpr RecordField Channel{43, 0, 4, 15};
constexpr RecordField Velocity{43, 4, 2, 2};
constexpr RecordField ModeLow{43, 6, 1, 1}; // mode bit 0
constexpr RecordField Transpose{51, 0, 8, 48, 24};
constexpr RecordField Tune{59, 0, 8, 100, 50};
constexpr RecordField Level{67, 0, 8, 100};
constexpr unsigned ChecksumByte = 75;
constexpr unsigned RecordSize = 76;

constexpr FieldRun Fields[] = {{Volume, 1},    {Single, 8},   {ZoneLow, 8}, {ZoneHigh, 8}, {Poly, 8},
                               {Output, 8},    {ModeHigh, 8}, {Channel, 8}, {Velocity, 8}, {ModeLow, 8},
                               {Transpose, 8}, {Tune, 8},     {Level, 8}};
static_assert(fieldsFit(Fields, Volume.byte, ChecksumByte) && ChecksumByte + 1 == RecordSize);
} // namespace multilayout

// A parameter send, counted from F0h: the K1's parameter number, the source 0-3 and a value
// 0-255 whose bit 7 rides beside the source.
namespace paramsendlayout {
constexpr RecordField Cursor{6, 0, 8, 127};
constexpr RecordField ValueHigh{7, 0, 1, 1}; // value bit 7
constexpr RecordField Source{7, 1, 2, 3};
constexpr RecordField ValueLow{8, 0, 7, 127}; // value bits 0-6
constexpr unsigned MessageSize = 10;
} // namespace paramsendlayout

} // namespace k1lib
