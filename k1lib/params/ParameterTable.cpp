// The rows of the parameter table and their identifiers, as constant data.
#include "k1lib/params/Parameters.h"

namespace k1lib {
namespace {

constexpr CParam row(const char* group, const char* name, EUnit unit, float min, float max,
                     float defaultValue, float step) {
    return CParam{group, name, unit, min, max, defaultValue, step, max - min, 1.0f / (max - min)};
}

} // namespace

// Coarse (35-38) defaults to 84, the note at which a source plays the key's own pitch.
constexpr CParam g_params[kParamCount] = {
    row("Name", "01", Unit_Character, 32.0f, 127.0f, 32.0f, 1.0f),     // 0
    row("Name", "02", Unit_Character, 32.0f, 127.0f, 32.0f, 1.0f),     // 1
    row("Name", "03", Unit_Character, 32.0f, 127.0f, 32.0f, 1.0f),     // 2
    row("Name", "04", Unit_Character, 32.0f, 127.0f, 32.0f, 1.0f),     // 3
    row("Name", "05", Unit_Character, 32.0f, 127.0f, 32.0f, 1.0f),     // 4
    row("Name", "06", Unit_Character, 32.0f, 127.0f, 32.0f, 1.0f),     // 5
    row("Name", "07", Unit_Character, 32.0f, 127.0f, 32.0f, 1.0f),     // 6
    row("Name", "08", Unit_Character, 32.0f, 127.0f, 32.0f, 1.0f),     // 7
    row("Name", "09", Unit_Character, 32.0f, 127.0f, 32.0f, 1.0f),     // 8
    row("Name", "10", Unit_Character, 32.0f, 127.0f, 32.0f, 1.0f),     // 9
    row("Common", "Volume", Unit_Decibel, 1.0f, 100.0f, 100.0f, 1.0f), // 10
    row("Cmn", "Poly Mode", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),     // 11
    row("Cmn", "Sources 2/4", Unit_Integer, 0.0f, 1.0f, 1.0f, 1.0f),   // 12
    row("Cmn", "AM S1/S2", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),      // 13
    row("Cmn", "AM S3/S4", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),      // 14
    row("Cmn", "Pres>Frq", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),   // 15
    row("Cmn", "VibDph", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),     // 16
    row("Cmn", "Pres>Vib", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),   // 17
    row("Cmn", "PBRng", Unit_Integer, 0.0f, 12.0f, 2.0f, 1.0f),        // 18
    row("Lfo", "Speed", Unit_Integer, 0.0f, 100.0f, 0.0f, 1.0f),       // 19
    row("Lfo", "Shape", Unit_Integer, 0.0f, 3.0f, 0.0f, 1.0f),         // 20
    row("Cmn", "KS Curve", Unit_Integer, 0.0f, 4.0f, 0.0f, 1.0f),      // 21
    row("Cmn", "Wheel Mode", Unit_Integer, 0.0f, 1.0f, 0.0f, 1.0f),    // 22
    row("AB", "Depth", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),       // 23
    row("AB", "Time", Unit_Integer, 0.0f, 100.0f, 0.0f, 1.0f),         // 24
    row("AB", "Vel>Dep", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),     // 25
    row("AB", "KS>Time", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),     // 26
    row("S1", "Mute", Unit_Switch, 0.0f, 1.0f, 0.0f, 1.0f),            // 27
    row("S2", "Mute", Unit_Switch, 0.0f, 1.0f, 0.0f, 1.0f),            // 28
    row("S3", "Mute", Unit_Switch, 0.0f, 1.0f, 0.0f, 1.0f),            // 29
    row("S4", "Mute", Unit_Switch, 0.0f, 1.0f, 0.0f, 1.0f),            // 30
    row("S1", "Fine", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),        // 31
    row("S2", "Fine", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),        // 32
    row("S3", "Fine", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),        // 33
    row("S4", "Fine", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),        // 34
    row("S1", "Coarse", Unit_Integer, 0.0f, 127.0f, 84.0f, 1.0f),      // 35
    row("S2", "Coarse", Unit_Integer, 0.0f, 127.0f, 84.0f, 1.0f),      // 36
    row("S3", "Coarse", Unit_Integer, 0.0f, 127.0f, 84.0f, 1.0f),      // 37
    row("S4", "Coarse", Unit_Integer, 0.0f, 127.0f, 84.0f, 1.0f),      // 38
    row("S1", "Wave", Unit_Integer, 0.0f, 255.0f, 0.0f, 1.0f),         // 39
    row("S2", "Wave", Unit_Integer, 0.0f, 255.0f, 0.0f, 1.0f),         // 40
    row("S3", "Wave", Unit_Integer, 0.0f, 255.0f, 0.0f, 1.0f),         // 41
    row("S4", "Wave", Unit_Integer, 0.0f, 255.0f, 0.0f, 1.0f),         // 42
    row("S1", "KeyTrack", Unit_Switch, 0.0f, 1.0f, 1.0f, 1.0f),        // 43
    row("S2", "KeyTrack", Unit_Switch, 0.0f, 1.0f, 1.0f, 1.0f),        // 44
    row("S3", "KeyTrack", Unit_Switch, 0.0f, 1.0f, 1.0f, 1.0f),        // 45
    row("S4", "KeyTrack", Unit_Switch, 0.0f, 1.0f, 1.0f, 1.0f),        // 46
    row("S1", "Vib/ABend", Unit_Switch, 0.0f, 1.0f, 1.0f, 1.0f),       // 47
    row("S2", "Vib/ABend", Unit_Switch, 0.0f, 1.0f, 1.0f, 1.0f),       // 48
    row("S3", "Vib/ABend", Unit_Switch, 0.0f, 1.0f, 1.0f, 1.0f),       // 49
    row("S4", "Vib/ABend", Unit_Switch, 0.0f, 1.0f, 1.0f, 1.0f),       // 50
    row("S1", "Pres>Freq", Unit_Switch, 0.0f, 1.0f, 1.0f, 1.0f),       // 51
    row("S2", "Pres>Freq", Unit_Switch, 0.0f, 1.0f, 1.0f, 1.0f),       // 52
    row("S3", "Pres>Freq", Unit_Switch, 0.0f, 1.0f, 1.0f, 1.0f),       // 53
    row("S4", "Pres>Freq", Unit_Switch, 0.0f, 1.0f, 1.0f, 1.0f),       // 54
    row("S1", "VelCrve", Unit_Integer, 0.0f, 7.0f, 0.0f, 1.0f),        // 55
    row("S2", "VelCrve", Unit_Integer, 0.0f, 7.0f, 0.0f, 1.0f),        // 56
    row("S3", "VelCrve", Unit_Integer, 0.0f, 7.0f, 0.0f, 1.0f),        // 57
    row("S4", "VelCrve", Unit_Integer, 0.0f, 7.0f, 0.0f, 1.0f),        // 58
    row("S1", "EnLvl", Unit_Integer, 0.0f, 100.0f, 100.0f, 1.0f),      // 59
    row("S2", "EnLvl", Unit_Integer, 0.0f, 100.0f, 100.0f, 1.0f),      // 60
    row("S3", "EnLvl", Unit_Integer, 0.0f, 100.0f, 100.0f, 1.0f),      // 61
    row("S4", "EnLvl", Unit_Integer, 0.0f, 100.0f, 100.0f, 1.0f),      // 62
    row("S1", "EnDly", Unit_Integer, 0.0f, 100.0f, 0.0f, 1.0f),        // 63
    row("S2", "EnDly", Unit_Integer, 0.0f, 100.0f, 0.0f, 1.0f),        // 64
    row("S3", "EnDly", Unit_Integer, 0.0f, 100.0f, 0.0f, 1.0f),        // 65
    row("S4", "EnDly", Unit_Integer, 0.0f, 100.0f, 0.0f, 1.0f),        // 66
    row("S1", "EnAtck", Unit_Integer, 0.0f, 100.0f, 0.0f, 1.0f),       // 67
    row("S2", "EnAtck", Unit_Integer, 0.0f, 100.0f, 0.0f, 1.0f),       // 68
    row("S3", "EnAtck", Unit_Integer, 0.0f, 100.0f, 0.0f, 1.0f),       // 69
    row("S4", "EnAtck", Unit_Integer, 0.0f, 100.0f, 0.0f, 1.0f),       // 70
    row("S1", "EnDcy", Unit_Integer, 0.0f, 100.0f, 0.0f, 1.0f),        // 71
    row("S2", "EnDcy", Unit_Integer, 0.0f, 100.0f, 0.0f, 1.0f),        // 72
    row("S3", "EnDcy", Unit_Integer, 0.0f, 100.0f, 0.0f, 1.0f),        // 73
    row("S4", "EnDcy", Unit_Integer, 0.0f, 100.0f, 0.0f, 1.0f),        // 74
    row("S1", "EnSust", Unit_Integer, 0.0f, 100.0f, 100.0f, 1.0f),     // 75
    row("S2", "EnSust", Unit_Integer, 0.0f, 100.0f, 100.0f, 1.0f),     // 76
    row("S3", "EnSust", Unit_Integer, 0.0f, 100.0f, 100.0f, 1.0f),     // 77
    row("S4", "EnSust", Unit_Integer, 0.0f, 100.0f, 100.0f, 1.0f),     // 78
    row("S1", "EnRel", Unit_Integer, 0.0f, 100.0f, 0.0f, 1.0f),        // 79
    row("S2", "EnRel", Unit_Integer, 0.0f, 100.0f, 0.0f, 1.0f),        // 80
    row("S3", "EnRel", Unit_Integer, 0.0f, 100.0f, 0.0f, 1.0f),        // 81
    row("S4", "EnRel", Unit_Integer, 0.0f, 100.0f, 0.0f, 1.0f),        // 82
    row("S1", "Vel>Lvl", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),     // 83
    row("S2", "Vel>Lvl", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),     // 84
    row("S3", "Vel>Lvl", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),     // 85
    row("S4", "Vel>Lvl", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),     // 86
    row("S1", "Pres>Lvl", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),    // 87
    row("S2", "Pres>Lvl", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),    // 88
    row("S3", "Pres>Lvl", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),    // 89
    row("S4", "Pres>Lvl", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),    // 90
    row("S1", "KS>Lvl", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),      // 91
    row("S2", "KS>Lvl", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),      // 92
    row("S3", "KS>Lvl", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),      // 93
    row("S4", "KS>Lvl", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),      // 94
    row("S1", "Vel>Tim", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),     // 95
    row("S2", "Vel>Tim", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),     // 96
    row("S3", "Vel>Tim", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),     // 97
    row("S4", "Vel>Tim", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),     // 98
    row("S1", "TMod KS", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),     // 99
    row("S2", "TMod KS", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),     // 100
    row("S3", "TMod KS", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),     // 101
    row("S4", "TMod KS", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),     // 102
    row("S1", "KS>Freq", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),     // 103
    row("S2", "KS>Freq", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),     // 104
    row("S3", "KS>Freq", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),     // 105
    row("S4", "KS>Freq", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),     // 106
    row("", "Mix 1/2", Unit_Float, -1.0f, 1.0f, 0.0f, 0.0f),           // 107
    row("", "Mix 3/4", Unit_Float, -1.0f, 1.0f, 0.0f, 0.0f),           // 108
    row("MName", "01", Unit_Character, 32.0f, 127.0f, 32.0f, 1.0f),    // 109
    row("MName", "02", Unit_Character, 32.0f, 127.0f, 32.0f, 1.0f),    // 110
    row("MName", "03", Unit_Character, 32.0f, 127.0f, 32.0f, 1.0f),    // 111
    row("MName", "04", Unit_Character, 32.0f, 127.0f, 32.0f, 1.0f),    // 112
    row("MName", "05", Unit_Character, 32.0f, 127.0f, 32.0f, 1.0f),    // 113
    row("MName", "06", Unit_Character, 32.0f, 127.0f, 32.0f, 1.0f),    // 114
    row("MName", "07", Unit_Character, 32.0f, 127.0f, 32.0f, 1.0f),    // 115
    row("MName", "08", Unit_Character, 32.0f, 127.0f, 32.0f, 1.0f),    // 116
    row("MName", "09", Unit_Character, 32.0f, 127.0f, 32.0f, 1.0f),    // 117
    row("MName", "10", Unit_Character, 32.0f, 127.0f, 32.0f, 1.0f),    // 118
    row("MVol", "Vol", Unit_Decibel, 1.0f, 100.0f, 100.0f, 1.0f),      // 119
    row("MS1", "Single", Unit_Integer, 0.0f, 63.0f, 0.0f, 1.0f),       // 120
    row("MS2", "Single", Unit_Integer, 0.0f, 63.0f, 0.0f, 1.0f),       // 121
    row("MS3", "Single", Unit_Integer, 0.0f, 63.0f, 0.0f, 1.0f),       // 122
    row("MS4", "Single", Unit_Integer, 0.0f, 63.0f, 0.0f, 1.0f),       // 123
    row("MS5", "Single", Unit_Integer, 0.0f, 63.0f, 0.0f, 1.0f),       // 124
    row("MS6", "Single", Unit_Integer, 0.0f, 63.0f, 0.0f, 1.0f),       // 125
    row("MS7", "Single", Unit_Integer, 0.0f, 63.0f, 0.0f, 1.0f),       // 126
    row("MS8", "Single", Unit_Integer, 0.0f, 63.0f, 0.0f, 1.0f),       // 127
    row("MS1", "ZnL", Unit_Integer, 0.0f, 127.0f, 0.0f, 1.0f),         // 128
    row("MS2", "ZnL", Unit_Integer, 0.0f, 127.0f, 0.0f, 1.0f),         // 129
    row("MS3", "ZnL", Unit_Integer, 0.0f, 127.0f, 0.0f, 1.0f),         // 130
    row("MS4", "ZnL", Unit_Integer, 0.0f, 127.0f, 0.0f, 1.0f),         // 131
    row("MS5", "ZnL", Unit_Integer, 0.0f, 127.0f, 0.0f, 1.0f),         // 132
    row("MS6", "ZnL", Unit_Integer, 0.0f, 127.0f, 0.0f, 1.0f),         // 133
    row("MS7", "ZnL", Unit_Integer, 0.0f, 127.0f, 0.0f, 1.0f),         // 134
    row("MS8", "ZnL", Unit_Integer, 0.0f, 127.0f, 0.0f, 1.0f),         // 135
    row("MS1", "ZnH", Unit_Integer, 0.0f, 127.0f, 127.0f, 1.0f),       // 136
    row("MS2", "ZnH", Unit_Integer, 0.0f, 127.0f, 127.0f, 1.0f),       // 137
    row("MS3", "ZnH", Unit_Integer, 0.0f, 127.0f, 127.0f, 1.0f),       // 138
    row("MS4", "ZnH", Unit_Integer, 0.0f, 127.0f, 127.0f, 1.0f),       // 139
    row("MS5", "ZnH", Unit_Integer, 0.0f, 127.0f, 127.0f, 1.0f),       // 140
    row("MS6", "ZnH", Unit_Integer, 0.0f, 127.0f, 127.0f, 1.0f),       // 141
    row("MS7", "ZnH", Unit_Integer, 0.0f, 127.0f, 127.0f, 1.0f),       // 142
    row("MS8", "ZnH", Unit_Integer, 0.0f, 127.0f, 127.0f, 1.0f),       // 143
    row("MS1", "Poly", Unit_Integer, 0.0f, 9.0f, 0.0f, 1.0f),          // 144
    row("MS2", "Poly", Unit_Integer, 0.0f, 9.0f, 0.0f, 1.0f),          // 145
    row("MS3", "Poly", Unit_Integer, 0.0f, 9.0f, 0.0f, 1.0f),          // 146
    row("MS4", "Poly", Unit_Integer, 0.0f, 9.0f, 0.0f, 1.0f),          // 147
    row("MS5", "Poly", Unit_Integer, 0.0f, 9.0f, 0.0f, 1.0f),          // 148
    row("MS6", "Poly", Unit_Integer, 0.0f, 9.0f, 0.0f, 1.0f),          // 149
    row("MS7", "Poly", Unit_Integer, 0.0f, 9.0f, 0.0f, 1.0f),          // 150
    row("MS8", "Poly", Unit_Integer, 0.0f, 9.0f, 0.0f, 1.0f),          // 151
    row("MS1", "Out", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),           // 152
    row("MS2", "Out", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),           // 153
    row("MS3", "Out", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),           // 154
    row("MS4", "Out", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),           // 155
    row("MS5", "Out", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),           // 156
    row("MS6", "Out", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),           // 157
    row("MS7", "Out", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),           // 158
    row("MS8", "Out", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),           // 159
    row("MS1", "Mode", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),          // 160
    row("MS2", "Mode", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),          // 161
    row("MS3", "Mode", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),          // 162
    row("MS4", "Mode", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),          // 163
    row("MS5", "Mode", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),          // 164
    row("MS6", "Mode", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),          // 165
    row("MS7", "Mode", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),          // 166
    row("MS8", "Mode", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),          // 167
    row("MS1", "Ch", Unit_Integer, 0.0f, 15.0f, 0.0f, 1.0f),           // 168
    row("MS2", "Ch", Unit_Integer, 0.0f, 15.0f, 0.0f, 1.0f),           // 169
    row("MS3", "Ch", Unit_Integer, 0.0f, 15.0f, 0.0f, 1.0f),           // 170
    row("MS4", "Ch", Unit_Integer, 0.0f, 15.0f, 0.0f, 1.0f),           // 171
    row("MS5", "Ch", Unit_Integer, 0.0f, 15.0f, 0.0f, 1.0f),           // 172
    row("MS6", "Ch", Unit_Integer, 0.0f, 15.0f, 0.0f, 1.0f),           // 173
    row("MS7", "Ch", Unit_Integer, 0.0f, 15.0f, 0.0f, 1.0f),           // 174
    row("MS8", "Ch", Unit_Integer, 0.0f, 15.0f, 0.0f, 1.0f),           // 175
    row("MS1", "Vel", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),           // 176
    row("MS2", "Vel", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),           // 177
    row("MS3", "Vel", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),           // 178
    row("MS4", "Vel", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),           // 179
    row("MS5", "Vel", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),           // 180
    row("MS6", "Vel", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),           // 181
    row("MS7", "Vel", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),           // 182
    row("MS8", "Vel", Unit_Integer, 0.0f, 2.0f, 0.0f, 1.0f),           // 183
    row("MS1", "Trans", Unit_Integer, -24.0f, 24.0f, 0.0f, 1.0f),      // 184
    row("MS2", "Trans", Unit_Integer, -24.0f, 24.0f, 0.0f, 1.0f),      // 185
    row("MS3", "Trans", Unit_Integer, -24.0f, 24.0f, 0.0f, 1.0f),      // 186
    row("MS4", "Trans", Unit_Integer, -24.0f, 24.0f, 0.0f, 1.0f),      // 187
    row("MS5", "Trans", Unit_Integer, -24.0f, 24.0f, 0.0f, 1.0f),      // 188
    row("MS6", "Trans", Unit_Integer, -24.0f, 24.0f, 0.0f, 1.0f),      // 189
    row("MS7", "Trans", Unit_Integer, -24.0f, 24.0f, 0.0f, 1.0f),      // 190
    row("MS8", "Trans", Unit_Integer, -24.0f, 24.0f, 0.0f, 1.0f),      // 191
    row("MS1", "Tune", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),       // 192
    row("MS2", "Tune", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),       // 193
    row("MS3", "Tune", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),       // 194
    row("MS4", "Tune", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),       // 195
    row("MS5", "Tune", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),       // 196
    row("MS6", "Tune", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),       // 197
    row("MS7", "Tune", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),       // 198
    row("MS8", "Tune", Unit_Integer, -50.0f, 50.0f, 0.0f, 1.0f),       // 199
    row("MS1", "Lvl", Unit_Integer, 0.0f, 100.0f, 100.0f, 1.0f),       // 200
    row("MS2", "Lvl", Unit_Integer, 0.0f, 100.0f, 100.0f, 1.0f),       // 201
    row("MS3", "Lvl", Unit_Integer, 0.0f, 100.0f, 100.0f, 1.0f),       // 202
    row("MS4", "Lvl", Unit_Integer, 0.0f, 100.0f, 100.0f, 1.0f),       // 203
    row("MS5", "Lvl", Unit_Integer, 0.0f, 100.0f, 100.0f, 1.0f),       // 204
    row("MS6", "Lvl", Unit_Integer, 0.0f, 100.0f, 100.0f, 1.0f),       // 205
    row("MS7", "Lvl", Unit_Integer, 0.0f, 100.0f, 100.0f, 1.0f),       // 206
    row("MS8", "Lvl", Unit_Integer, 0.0f, 100.0f, 100.0f, 1.0f),       // 207
    row("Zyk", "Mode", Unit_Integer, 0.0f, 1.0f, 0.0f, 1.0f),          // 208
};

const char* const g_paramEnumStrings[kParamCount] = {
    "Param_Name01",
    "Param_Name02",
    "Param_Name03",
    "Param_Name04",
    "Param_Name05",
    "Param_Name06",
    "Param_Name07",
    "Param_Name08",
    "Param_Name09",
    "Param_Name10",
    "Param_Volume",
    "Param_PolyMode",
    "Param_Source2or4",
    "Param_AmpModS1S2",
    "Param_AmpModS3S4",
    "Param_PressureToFreq",
    "Param_VibratoDepth",
    "Param_PressureToVibrato",
    "Param_PitchBendDepth",
    "Param_LfoSpeed",
    "Param_LfoShape",
    "Param_KeyScaleCurve",
    "Param_VibWheelMode",
    "Param_AutoBendDepth",
    "Param_AutoBendTime",
    "Param_VelToDepth",
    "Param_AutoBendKeyScaleToTime",
    "Param_SourceS1Mute",
    "Param_SourceS2Mute",
    "Param_SourceS3Mute",
    "Param_SourceS4Mute",
    "Param_SourceS1Fine",
    "Param_SourceS2Fine",
    "Param_SourceS3Fine",
    "Param_SourceS4Fine",
    "Param_SourceS1Coarse",
    "Param_SourceS2Coarse",
    "Param_SourceS3Coarse",
    "Param_SourceS4Coarse",
    "Param_SourceS1Wave",
    "Param_SourceS2Wave",
    "Param_SourceS3Wave",
    "Param_SourceS4Wave",
    "Param_SourceS1KeyTrack",
    "Param_SourceS2KeyTrack",
    "Param_SourceS3KeyTrack",
    "Param_SourceS4KeyTrack",
    "Param_SourceS1VibABend",
    "Param_SourceS2VibABend",
    "Param_SourceS3VibABend",
    "Param_SourceS4VibABend",
    "Param_SourceS1PressureToFreq",
    "Param_SourceS2PressureToFreq",
    "Param_SourceS3PressureToFreq",
    "Param_SourceS4PressureToFreq",
    "Param_SourceS1VelCurve",
    "Param_SourceS2VelCurve",
    "Param_SourceS3VelCurve",
    "Param_SourceS4VelCurve",
    "Param_SourceS1EnvLevel",
    "Param_SourceS2EnvLevel",
    "Param_SourceS3EnvLevel",
    "Param_SourceS4EnvLevel",
    "Param_SourceS1EnvDelay",
    "Param_SourceS2EnvDelay",
    "Param_SourceS3EnvDelay",
    "Param_SourceS4EnvDelay",
    "Param_SourceS1EnvAttack",
    "Param_SourceS2EnvAttack",
    "Param_SourceS3EnvAttack",
    "Param_SourceS4EnvAttack",
    "Param_SourceS1EnvDecay",
    "Param_SourceS2EnvDecay",
    "Param_SourceS3EnvDecay",
    "Param_SourceS4EnvDecay",
    "Param_SourceS1EnvSustain",
    "Param_SourceS2EnvSustain",
    "Param_SourceS3EnvSustain",
    "Param_SourceS4EnvSustain",
    "Param_SourceS1EnvRelease",
    "Param_SourceS2EnvRelease",
    "Param_SourceS3EnvRelease",
    "Param_SourceS4EnvRelease",
    "Param_SourceS1LevelModVel",
    "Param_SourceS2LevelModVel",
    "Param_SourceS3LevelModVel",
    "Param_SourceS4LevelModVel",
    "Param_SourceS1LevelModPressure",
    "Param_SourceS2LevelModPressure",
    "Param_SourceS3LevelModPressure",
    "Param_SourceS4LevelModPressure",
    "Param_SourceS1LevelModKeyScale",
    "Param_SourceS2LevelModKeyScale",
    "Param_SourceS3LevelModKeyScale",
    "Param_SourceS4LevelModKeyScale",
    "Param_SourceS1TimeModVel",
    "Param_SourceS2TimeModVel",
    "Param_SourceS3TimeModVel",
    "Param_SourceS4TimeModVel",
    "Param_SourceS1TimeModKeyScale",
    "Param_SourceS2TimeModKeyScale",
    "Param_SourceS3TimeModKeyScale",
    "Param_SourceS4TimeModKeyScale",
    "Param_SourceS1FreqKeyScaleToFreq",
    "Param_SourceS2FreqKeyScaleToFreq",
    "Param_SourceS3FreqKeyScaleToFreq",
    "Param_SourceS4FreqKeyScaleToFreq",
    "Param_SourceMix12",
    "Param_SourceMix34",
    "Param_MultiName01",
    "Param_MultiName02",
    "Param_MultiName03",
    "Param_MultiName04",
    "Param_MultiName05",
    "Param_MultiName06",
    "Param_MultiName07",
    "Param_MultiName08",
    "Param_MultiName09",
    "Param_MultiName10",
    "Param_MultiVolume",
    "Param_MultiS1Single",
    "Param_MultiS2Single",
    "Param_MultiS3Single",
    "Param_MultiS4Single",
    "Param_MultiS5Single",
    "Param_MultiS6Single",
    "Param_MultiS7Single",
    "Param_MultiS8Single",
    "Param_MultiS1ZoneLow",
    "Param_MultiS2ZoneLow",
    "Param_MultiS3ZoneLow",
    "Param_MultiS4ZoneLow",
    "Param_MultiS5ZoneLow",
    "Param_MultiS6ZoneLow",
    "Param_MultiS7ZoneLow",
    "Param_MultiS8ZoneLow",
    "Param_MultiS1ZoneHigh",
    "Param_MultiS2ZoneHigh",
    "Param_MultiS3ZoneHigh",
    "Param_MultiS4ZoneHigh",
    "Param_MultiS5ZoneHigh",
    "Param_MultiS6ZoneHigh",
    "Param_MultiS7ZoneHigh",
    "Param_MultiS8ZoneHigh",
    "Param_MultiS1Poly",
    "Param_MultiS2Poly",
    "Param_MultiS3Poly",
    "Param_MultiS4Poly",
    "Param_MultiS5Poly",
    "Param_MultiS6Poly",
    "Param_MultiS7Poly",
    "Param_MultiS8Poly",
    "Param_MultiS1Output",
    "Param_MultiS2Output",
    "Param_MultiS3Output",
    "Param_MultiS4Output",
    "Param_MultiS5Output",
    "Param_MultiS6Output",
    "Param_MultiS7Output",
    "Param_MultiS8Output",
    "Param_MultiS1Mode",
    "Param_MultiS2Mode",
    "Param_MultiS3Mode",
    "Param_MultiS4Mode",
    "Param_MultiS5Mode",
    "Param_MultiS6Mode",
    "Param_MultiS7Mode",
    "Param_MultiS8Mode",
    "Param_MultiS1Channel",
    "Param_MultiS2Channel",
    "Param_MultiS3Channel",
    "Param_MultiS4Channel",
    "Param_MultiS5Channel",
    "Param_MultiS6Channel",
    "Param_MultiS7Channel",
    "Param_MultiS8Channel",
    "Param_MultiS1Velocity",
    "Param_MultiS2Velocity",
    "Param_MultiS3Velocity",
    "Param_MultiS4Velocity",
    "Param_MultiS5Velocity",
    "Param_MultiS6Velocity",
    "Param_MultiS7Velocity",
    "Param_MultiS8Velocity",
    "Param_MultiS1Transpose",
    "Param_MultiS2Transpose",
    "Param_MultiS3Transpose",
    "Param_MultiS4Transpose",
    "Param_MultiS5Transpose",
    "Param_MultiS6Transpose",
    "Param_MultiS7Transpose",
    "Param_MultiS8Transpose",
    "Param_MultiS1Tune",
    "Param_MultiS2Tune",
    "Param_MultiS3Tune",
    "Param_MultiS4Tune",
    "Param_MultiS5Tune",
    "Param_MultiS6Tune",
    "Param_MultiS7Tune",
    "Param_MultiS8Tune",
    "Param_MultiS1Level",
    "Param_MultiS2Level",
    "Param_MultiS3Level",
    "Param_MultiS4Level",
    "Param_MultiS5Level",
    "Param_MultiS6Level",
    "Param_MultiS7Level",
    "Param_MultiS8Level",
    "Param_Mode",
};

} // namespace k1lib
