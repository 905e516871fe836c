#include "k1lib/params/Parameters.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "k1lib/wavenames/WaveformNames.h"

namespace k1lib {
namespace {

const char* const kPolyModes[] = {"Poly 1", "Poly 2", "Solo"};
const char* const kSourceCounts[] = {"2", "4"};
const char* const kAmpModS1S2[] = {"off", "S2>S1", "S1>S2"};
const char* const kAmpModS3S4[] = {"off", "S4>S3", "S3>S4"};
const char* const kLfoShapes[] = {"Tri", "Saw", "Square", "Random"};
const char* const kWheelModes[] = {"Depth", "Speed"};
const char* const kSectionPoly[] = {"VR", "off", "1", "2", "3", "4", "5", "6", "7", "8"};
const char* const kSectionOutputs[] = {"R", "LR", "L"};
const char* const kSectionModes[] = {"Keys", "Midi", "Both"};
const char* const kSectionVelocities[] = {"All", "Soft", "Loud"};
const char* const kNoteNames[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

template <typename... Args> std::string print(const char* format, Args... args) {
    char text[64];
    std::snprintf(text, sizeof(text), format, args...);
    return text;
}

// Truncates toward zero; NaN and huge values are pinned first so that the cast stays defined.
int toInt(float x) {
    if (std::isnan(x)) return 0;
    return static_cast<int>(std::fmax(-1e9f, std::fmin(1e9f, x)));
}

int roundToInt(float plain) {
    return toInt(std::roundf(plain));
}

// Entry v of an option list, or the number itself when v names no entry.
template <std::size_t N> std::string option(const char* const (&list)[N], int v) {
    if (v < 0 || v >= static_cast<int>(N)) return print("%d", v);
    return list[v];
}

// A note number as name and octave; octaveOffset is where note 0 lies (-4 for coarse, -2 for keys).
std::string noteName(int v, int octaveOffset) {
    if (v < 0 || v > 127) return print("%d", v);
    return print("%s%d", kNoteNames[v % 12], v / 12 + octaveOffset);
}

bool inRange(uint32_t param, uint32_t first, uint32_t last) {
    return param >= first && param <= last;
}

} // namespace

std::string CParam::formatValue(EParam param, float plain) const {
    const int v = roundToInt(plain);
    // clang-format off
    switch (param) {
    case Param_PolyMode: return option(kPolyModes, v);
    case Param_Source2or4: return option(kSourceCounts, v);
    case Param_AmpModS1S2: return option(kAmpModS1S2, v);
    case Param_AmpModS3S4: return option(kAmpModS3S4, v);
    case Param_LfoShape: return option(kLfoShapes, v);
    case Param_VibWheelMode: return option(kWheelModes, v);
    case Param_KeyScaleCurve: return print("%d", v + 1);
    case Param_Mode: return plain > 0.5f ? "Multi" : "Single";
    default: break;
    }
    // clang-format on
    if (inRange(param, Param_SourceS1VelCurve, Param_SourceS4VelCurve) ||
        inRange(param, Param_MultiS1Channel, Param_MultiS8Channel))
        return print("%d", v + 1);
    if (inRange(param, Param_SourceS1Coarse, Param_SourceS4Coarse)) return noteName(v, -4);
    if (inRange(param, Param_SourceS1Wave, Param_SourceS4Wave))
        return static_cast<unsigned>(v) >= 256 ? std::string() : g_waveformNames[static_cast<uint8_t>(v)];
    if (inRange(param, Param_MultiS1ZoneLow, Param_MultiS8ZoneHigh)) return noteName(v, -2);
    if (inRange(param, Param_MultiS1Poly, Param_MultiS8Poly)) return option(kSectionPoly, v);
    if (inRange(param, Param_MultiS1Output, Param_MultiS8Output)) return option(kSectionOutputs, v);
    if (inRange(param, Param_MultiS1Mode, Param_MultiS8Mode)) return option(kSectionModes, v);
    if (inRange(param, Param_MultiS1Velocity, Param_MultiS8Velocity)) return option(kSectionVelocities, v);

    switch (unit) {
    case Unit_Decibel:
        return print("%d", v);
    case Unit_Percent:
        return print("%d", toInt(plain * 100.0f + 0.5f));
    case Unit_Integer:
        return print(v >= 1 && min == -max ? "+%d" : "%d", v);
    case Unit_Character: {
        const int code = toInt(plain + 0.5f);
        if (code < 32 || code > 127) return print("%d", code);
        return std::string(1, static_cast<char>(code));
    }
    default:
        return print("%.2f", plain);
    }
}

std::string CParam::getUnitLabel() const {
    switch (unit) {
    case Unit_Decibel:
        return "dB";
    case Unit_Seconds:
        return "Sec";
    case Unit_Hertz:
        return "Hz";
    case Unit_Percent:
        return "%%";
    default:
        return std::string();
    }
}

const std::string& CParam::getEnumString(EParam param) {
    static const auto strings = [] {
        std::array<std::string, kParamCount> built;
        for (uint32_t p = 0; p < kParamCount; ++p)
            built[p] = g_paramEnumStrings[p];
        return built;
    }();
    static const std::string none;
    return param < kParamCount ? strings[param] : none;
}

} // namespace k1lib
