#include "k1lib/params/ParameterConverter.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "k1lib/constants/K1Constants.h"
#include "log/Log.h"

namespace k1lib {
namespace {

// How a record field stores a parameter's integer value.
enum class Encoding { Plain, Bipolar, Volume, Switch };

constexpr uint32_t kCursorParamCount = Param_SourceS4FreqKeyScaleToFreq + 1;

// The K1 cursor of each Single parameter 0-106; the mute flags have none.
constexpr ParameterCursor kCursors[kCursorParamCount] = {
    4,  5,  6,  7,  8,  9,  10, 11, 12, 13,                         // name characters
    3,                                                              // volume
    27, 14, 36, 37, 24, 15, 18, 25, 16, 17, 26, 19, 20, 21, 22, 23, // common settings 11-26
    0,  0,  0,  0,                                                  // mute
    30, 30, 30, 30,                                                 // fine
    28, 28, 28, 28,                                                 // coarse
    35, 35, 35, 35,                                                 // wave
    31, 31, 31, 31,                                                 // key track
    32, 32, 32, 32,                                                 // vibrato/auto-bend
    33, 33, 33, 33,                                                 // pressure to frequency
    47, 47, 47, 47,                                                 // velocity curve
    41, 41, 41, 41, 42, 42, 42, 42, 43, 43, 43, 43,                 // envelope level, delay, attack
    44, 44, 44, 44, 45, 45, 45, 45, 46, 46, 46, 46,                 // envelope decay, sustain, release
    48, 48, 48, 48, 49, 49, 49, 49, 50, 50, 50, 50,                 // level by velocity, pressure, key scale
    51, 51, 51, 51, 52, 52, 52, 52,                                 // time by velocity, key scale
    34, 34, 34, 34,                                                 // key scale to frequency
};

constexpr ParameterCursor kFirstNameCursor = 4;
constexpr ParameterCursor kLastNameCursor = kFirstNameCursor + kNameLength - 1;

template <typename Field> void store(Field& field, int value) {
    field = static_cast<Field>(value);
}

int clampToRow(EParam param, int value) {
    const CParam& row = g_params[param];
    return std::clamp(value, static_cast<int>(row.min), static_cast<int>(row.max));
}

// Calls visit(field, encoding) on the Single field of param 10-106.
template <typename Preset, typename Visit>
bool visitSingleField(Preset& preset, uint32_t param, Visit&& visit) {
    // clang-format off
    switch (param) {
    case Param_Volume: visit(preset.volume, Encoding::Volume); return true;
    case Param_PolyMode: visit(preset.polyMode, Encoding::Plain); return true;
    case Param_Source2or4: visit(preset.source2or4, Encoding::Plain); return true;
    case Param_AmpModS1S2: visit(preset.ampModS1S2, Encoding::Plain); return true;
    case Param_AmpModS3S4: visit(preset.ampModS3S4, Encoding::Plain); return true;
    case Param_PressureToFreq: visit(preset.pressureToFreq, Encoding::Bipolar); return true;
    case Param_VibratoDepth: visit(preset.vibratoDepth, Encoding::Bipolar); return true;
    case Param_PressureToVibrato: visit(preset.pressureToVibrato, Encoding::Bipolar); return true;
    case Param_PitchBendDepth: visit(preset.pitchBendDepth, Encoding::Plain); return true;
    case Param_LfoSpeed: visit(preset.lfoSpeed, Encoding::Plain); return true;
    case Param_LfoShape: visit(preset.lfoShape, Encoding::Plain); return true;
    case Param_KeyScaleCurve: visit(preset.keyScaleCurve, Encoding::Plain); return true;
    case Param_VibWheelMode: visit(preset.vibWheelMode, Encoding::Plain); return true;
    case Param_AutoBendDepth: visit(preset.autoBendDepth, Encoding::Bipolar); return true;
    case Param_AutoBendTime: visit(preset.autoBendTime, Encoding::Plain); return true;
    case Param_VelToDepth: visit(preset.velToDepth, Encoding::Bipolar); return true;
    case Param_AutoBendKeyScaleToTime: visit(preset.autoBendKeyScaleToTime, Encoding::Bipolar); return true;
    default: break;
    }
    // clang-format on
    if (param < kFirstSourceParam || param >= kCursorParamCount) return false;
    const uint32_t kind = (param - kFirstSourceParam) / 4;
    const uint32_t s = (param - kFirstSourceParam) % 4;
    auto& source = preset.sources[s];
    // clang-format off
    switch (kind) {
    case 0: visit(preset.mute[s], Encoding::Switch); break;
    case 1: visit(source.fine, Encoding::Bipolar); break;
    case 2: visit(source.coarse, Encoding::Plain); break;
    case 3: visit(source.wave, Encoding::Plain); break;
    case 4: visit(source.keyTrack, Encoding::Switch); break;
    case 5: visit(source.vibABend, Encoding::Switch); break;
    case 6: visit(source.pressureToFreq, Encoding::Switch); break;
    case 7: visit(source.velCurve, Encoding::Plain); break;
    case 8: visit(source.envLevel, Encoding::Plain); break;
    case 9: visit(source.envDelay, Encoding::Plain); break;
    case 10: visit(source.envAttack, Encoding::Plain); break;
    case 11: visit(source.envDecay, Encoding::Plain); break;
    case 12: visit(source.envSustain, Encoding::Plain); break;
    case 13: visit(source.envRelease, Encoding::Plain); break;
    case 14: visit(source.levelModVel, Encoding::Bipolar); break;
    case 15: visit(source.levelModPressure, Encoding::Bipolar); break;
    case 16: visit(source.levelModKeyScale, Encoding::Bipolar); break;
    case 17: visit(source.timeModVel, Encoding::Bipolar); break;
    case 18: visit(source.timeModKeyScale, Encoding::Bipolar); break;
    default: visit(source.freqKeyScaleToFreq, Encoding::Bipolar); break;
    }
    // clang-format on
    return true;
}

// Calls visit(field) on field k of section s for parameter 120 + 8k + s.
template <typename Preset, typename Visit>
bool visitSectionField(Preset& preset, uint32_t param, Visit&& visit) {
    if (param < kFirstSectionParam || param > Param_MultiS8Level) return false;
    auto& section = preset.sections[(param - kFirstSectionParam) % kSectionCount];
    // clang-format off
    switch ((param - kFirstSectionParam) / kSectionCount) {
    case 0: visit(section.single); break;
    case 1: visit(section.zoneLow); break;
    case 2: visit(section.zoneHigh); break;
    case 3: visit(section.poly); break;
    case 4: visit(section.output); break;
    case 5: visit(section.mode); break;
    case 6: visit(section.channel); break;
    case 7: visit(section.velocity); break;
    case 8: visit(section.transpose); break;
    case 9: visit(section.tune); break;
    default: visit(section.level); break;
    }
    // clang-format on
    return true;
}

// A name byte as a parameter value: a short name's NUL bytes (and anything else outside the
// parameter's range 32-127) read as a blank.
int nameCharacter(const char* name, uint32_t index) {
    const int c = static_cast<signed char>(name[index]);
    return c >= 32 && c <= 127 ? c : ' ';
}

// Puts one character into a name as the K1 sees it, ten characters padded with blanks, and
// keeps the record's form: no trailing blanks, NUL bytes after the text.
void setNameCharacter(char* name, uint32_t index, char c) {
    char text[kNameLength];
    std::memset(text, ' ', sizeof(text));
    std::memcpy(text, name, strnlen(name, kNameLength));
    text[index] = c;
    int length = kNameLength;
    while (length > 0 && text[length - 1] == ' ')
        --length;
    std::memset(name, 0, kNameLength + 1);
    std::memcpy(name, text, length);
}

// What a received raw value may be: stored up to max, or (switches) any value meaning on or off.
struct CursorRule {
    uint8_t max;
    bool isSwitch;
};
constexpr CursorRule kUpTo(uint8_t max) {
    return {max, false};
}
constexpr CursorRule kSwitch{1, true};

template <typename Field> bool receive(Field& field, CursorRule rule, uint8_t value) {
    if (rule.isSwitch) {
        field = value != 0 ? 1 : 0;
        return true;
    }
    if (value > rule.max) return false;
    field = value;
    return true;
}

// Calls visit(field, rule) on the common Single field of cursors 3, 14-27, 36 and 37.
template <typename Preset, typename Visit>
bool visitCommonCursor(Preset& preset, ParameterCursor cursor, Visit&& visit) {
    // clang-format off
    switch (cursor) {
    case 3: visit(preset.volume, kUpTo(99)); return true;
    case 14: visit(preset.source2or4, kSwitch); return true;
    case 15: visit(preset.vibratoDepth, kUpTo(100)); return true;
    case 16: visit(preset.lfoSpeed, kUpTo(100)); return true;
    case 17: visit(preset.lfoShape, kUpTo(3)); return true;
    case 18: visit(preset.pressureToVibrato, kUpTo(100)); return true;
    case 19: visit(preset.vibWheelMode, kUpTo(1)); return true;
    case 20: visit(preset.autoBendDepth, kUpTo(100)); return true;
    case 21: visit(preset.autoBendTime, kUpTo(100)); return true;
    case 22: visit(preset.velToDepth, kUpTo(100)); return true;
    case 23: visit(preset.autoBendKeyScaleToTime, kUpTo(100)); return true;
    case 24: visit(preset.pressureToFreq, kUpTo(100)); return true;
    case 25: visit(preset.pitchBendDepth, kUpTo(12)); return true;
    case 26: visit(preset.keyScaleCurve, kUpTo(4)); return true;
    case 27: visit(preset.polyMode, kUpTo(2)); return true;
    case 36: visit(preset.ampModS1S2, kUpTo(2)); return true;
    case 37: visit(preset.ampModS3S4, kUpTo(2)); return true;
    default:
        return false;
    }
    // clang-format on
}

// Calls visit(field, rule) on the source field of cursors 28-35 and 41-52.
template <typename Source, typename Visit>
bool visitSourceCursor(Source& source, ParameterCursor cursor, Visit&& visit) {
    // clang-format off
    switch (cursor) {
    case 28:
    case 29: visit(source.coarse, kUpTo(127)); return true;
    case 30: visit(source.fine, kUpTo(100)); return true;
    case 31: visit(source.keyTrack, kSwitch); return true;
    case 32: visit(source.vibABend, kSwitch); return true;
    case 33: visit(source.pressureToFreq, kSwitch); return true;
    case 34: visit(source.freqKeyScaleToFreq, kUpTo(100)); return true;
    case 35: visit(source.wave, kUpTo(255)); return true;
    case 41: visit(source.envLevel, kUpTo(100)); return true;
    case 42: visit(source.envDelay, kUpTo(100)); return true;
    case 43: visit(source.envAttack, kUpTo(100)); return true;
    case 44: visit(source.envDecay, kUpTo(100)); return true;
    case 45: visit(source.envSustain, kUpTo(100)); return true;
    case 46: visit(source.envRelease, kUpTo(100)); return true;
    case 47: visit(source.velCurve, kUpTo(7)); return true;
    case 48: visit(source.levelModVel, kUpTo(100)); return true;
    case 49: visit(source.levelModPressure, kUpTo(100)); return true;
    case 50: visit(source.levelModKeyScale, kUpTo(100)); return true;
    case 51: visit(source.timeModVel, kUpTo(100)); return true;
    case 52: visit(source.timeModKeyScale, kUpTo(100)); return true;
    default:
        return false;
    }
    // clang-format on
}

bool isNameCursor(ParameterCursor cursor) {
    return cursor >= kFirstNameCursor && cursor <= kLastNameCursor;
}

} // namespace

bool ParameterConverter::toSingle(SinglePreset& preset, EParam param, int value) {
    if (param <= Param_Name10) return true; // names change only as a whole
    const bool known = visitSingleField(preset, param, [param, value](auto& field, Encoding encoding) {
        switch (encoding) {
        case Encoding::Plain:
            store(field, clampToRow(param, value));
            break;
        case Encoding::Bipolar:
            store(field, clampToRow(param, value) + 50);
            break;
        case Encoding::Volume:
            store(field, clampToRow(param, value) - 1);
            break;
        case Encoding::Switch:
            store(field, value != 0 ? 1 : 0);
            break;
        }
    });
    if (!known)
        log("toSingle", 198, "ERROR: Unknown parameter ", static_cast<uint32_t>(param), " with value ",
            value);
    return known;
}

bool ParameterConverter::getValue(int& out, EParam param, const SinglePreset& preset) {
    if (param <= Param_Name10) {
        out = nameCharacter(preset.name, param);
        return true;
    }
    const bool known = visitSingleField(preset, param, [&out](const auto& field, Encoding encoding) {
        const int stored = static_cast<int>(field);
        switch (encoding) {
        case Encoding::Bipolar:
            out = stored - 50;
            break;
        case Encoding::Volume:
            out = stored + 1;
            break;
        default:
            out = stored;
            break;
        }
    });
    if (!known) log("getValue", 444, "ERROR: Unknown parameter ", static_cast<uint32_t>(param));
    return known;
}

bool ParameterConverter::toMulti(MultiPreset& preset, EParam param, int value) {
    if (param >= Param_MultiName01 && param <= Param_MultiName10) return true;
    if (param == Param_MultiVolume) {
        preset.volume = static_cast<uint32_t>(clampToRow(param, value) - 1);
        return true;
    }
    if (param >= kParamCount) return false;
    const int v = clampToRow(param, value);
    return visitSectionField(preset, param, [v](auto& field) { store(field, v); });
}

bool ParameterConverter::getValue(int& out, EParam param, const MultiPreset& preset) {
    if (param >= Param_MultiName01 && param <= Param_MultiName10) {
        out = nameCharacter(preset.name, param - Param_MultiName01);
        return true;
    }
    if (param == Param_MultiVolume) {
        out = static_cast<int>(preset.volume) + 1;
        return true;
    }
    return visitSectionField(preset, param, [&out](const auto& field) { out = static_cast<int>(field); });
}

ParameterCursor ParameterConverter::toCursor(unsigned char& source, EParam param) {
    if (param >= kCursorParamCount) return 0;
    if (param >= kFirstSourceParam) source = (param + 1) & 3;
    return kCursors[param];
}

bool ParameterConverter::toSingle(SinglePreset& preset, const Sysex::ParameterChange& change) {
    if (isNameCursor(change.cursor)) {
        if (change.value < 32 || change.value > 127) return false;
        setNameCharacter(preset.name, change.cursor - kFirstNameCursor, static_cast<char>(change.value));
        return true;
    }
    bool stored = false;
    if (visitCommonCursor(preset, change.cursor,
                          [&](auto& field, CursorRule rule) { stored = receive(field, rule, change.value); }))
        return stored;
    return change.source < 4 && toSingleSource(preset.sources[change.source], change);
}

bool ParameterConverter::fromSingle(unsigned char& value, const SinglePreset& preset, ParameterCursor cursor,
                                    unsigned char source) {
    if (isNameCursor(cursor)) {
        value = static_cast<unsigned char>(nameCharacter(preset.name, cursor - kFirstNameCursor));
        return true;
    }
    if (visitCommonCursor(preset, cursor, [&value](const auto& field, CursorRule) {
            value = static_cast<unsigned char>(field);
        }))
        // The plug-in swaps sources when it receives an AM change; sending one would leave the
        // hardware's sources in a different order, so AM settings are never sent.
        return cursor != 36 && cursor != 37;
    return source < 4 && fromSingleSource(value, preset.sources[source], cursor);
}

bool toSingleSource(SingleSource& source, const Sysex::ParameterChange& change) {
    bool stored = false;
    return visitSourceCursor(
               source, change.cursor,
               [&](auto& field, CursorRule rule) { stored = receive(field, rule, change.value); }) &&
           stored;
}

bool fromSingleSource(unsigned char& value, const SingleSource& source, ParameterCursor cursor) {
    return visitSourceCursor(source, cursor, [&value](const auto& field, CursorRule) {
        value = static_cast<unsigned char>(field);
    });
}

} // namespace k1lib
