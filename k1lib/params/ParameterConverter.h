#pragma once
// Moves values between the parameters (as integers), the fields of the patch records, and the
// K1's own parameter numbers carried by parameter-change messages.
#include <cstdint>

#include "k1lib/params/Parameters.h"
#include "k1lib/records/MultiPreset.h"
#include "k1lib/records/SinglePreset.h"
#include "k1lib/records/Sysex.h"

namespace k1lib {

// The K1's parameter number in a parameter change; 0 means none.
using ParameterCursor = uint8_t;

// Per-source half of the parameter-change path (cursors 28-35 and 41-52).
bool toSingleSource(SingleSource& source, const Sysex::ParameterChange& change);
bool fromSingleSource(unsigned char& value, const SingleSource& source, ParameterCursor cursor);

class ParameterConverter {
public:
    ParameterConverter() = delete;

    // Integer path: value is the parameter's plain value rounded to an integer. Values outside
    // the parameter's range are clamped to it, so the record stays valid K1 data.
    [[nodiscard]] static bool toSingle(SinglePreset& preset, EParam param, int value);
    static bool getValue(int& out, EParam param, const SinglePreset& preset);
    [[nodiscard]] static bool toMulti(MultiPreset& preset, EParam param, int value);
    static bool getValue(int& out, EParam param, const MultiPreset& preset);

    // The cursor of a Single parameter (0 when it has none); for per-source parameters also
    // its source index.
    static ParameterCursor toCursor(unsigned char& source, EParam param);

    // Parameter-change path: the raw byte a cursor (and source) addresses. A received value
    // outside its field's range is refused and leaves the preset unchanged.
    [[nodiscard]] static bool toSingle(SinglePreset& preset, const Sysex::ParameterChange& change);
    static bool fromSingle(unsigned char& value, const SinglePreset& preset, ParameterCursor cursor,
                           unsigned char source);
};

} // namespace k1lib
