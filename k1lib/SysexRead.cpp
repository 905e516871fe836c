// Reading K1 records and messages. Every field that comes in is brought into its range, so a
// record the system holds always writes back to 7-bit bytes and reads back equal.
#include <cstring>
#include <string>

#include "FileBytes.h"
#include "Log.h"
#include "Sysex.h"

namespace k1lib {
namespace {

// Name bytes outside the printable 7-bit range (NUL padding, control codes, high bytes from a
// damaged message) become blanks, so the terminator ends the name and nothing follows it.
void decodeName(char* name, const unsigned char* field, const char* function, int line) {
    std::memset(name, 0, 11);
    bool repaired = false;
    for (int i = 0; i < 10; ++i) {
        const unsigned char c = field[i];
        const bool printable = c >= 0x20 && c < 0x80;
        name[i] = printable ? static_cast<char>(c) : ' ';
        repaired |= !printable;
    }
    for (int i = 9; i >= 0 && name[i] == ' '; --i) name[i] = '\0';
    if (repaired) log(function, line, name, ": Invalid characters in name replaced by blanks");
}

template <typename T>
void clampField(T& field, unsigned max, const char* patchName, const char* what, const char* function, int line) {
    if (field <= max) return;
    log(function, line, patchName, ": Invalid ", what, " ", static_cast<unsigned>(field), ", using ", max);
    field = static_cast<T>(max);
}

void clampSigned(int32_t& field, int32_t limit, const char* patchName, const char* what, unsigned section) {
    if (field >= -limit && field <= limit) return;
    log("readMulti", 220, patchName, ": Invalid ", what, " ", field, " in section ", section, ", using ",
        field < 0 ? -limit : limit);
    field = field < 0 ? -limit : limit;
}

void clampSingleFields(SinglePreset& s) {
    auto clamp = [&](auto& field, unsigned max, const char* what) {
        clampField(field, max, s.name, what, "readSingle", 110);
    };
    clamp(s.volume, 99, "volume");
    clamp(s.polyMode, 2, "poly mode");
    clamp(s.ampModS1S2, 2, "amplitude modulation S1/S2");
    clamp(s.ampModS3S4, 2, "amplitude modulation S3/S4");
    clamp(s.pressureToFreq, 100, "pressure to frequency");
    clamp(s.vibratoDepth, 100, "vibrato depth");
    clamp(s.pressureToVibrato, 100, "pressure to vibrato");
    clamp(s.lfoSpeed, 100, "LFO speed");
    clamp(s.keyScaleCurve, 4, "key scaling curve");
    clamp(s.autoBendDepth, 100, "auto bend depth");
    clamp(s.autoBendTime, 100, "auto bend time");
    clamp(s.velToDepth, 100, "velocity to auto bend depth");
    clamp(s.autoBendKeyScaleToTime, 100, "key scaling to auto bend time");
    for (SingleSource& src : s.sources) {
        clamp(src.fine, 100, "fine tune");
        clamp(src.coarse, 127, "coarse tune");
        clamp(src.velCurve, 7, "velocity curve");
        clamp(src.envLevel, 100, "envelope level");
        clamp(src.envDelay, 100, "envelope delay");
        clamp(src.envAttack, 100, "envelope attack");
        clamp(src.envDecay, 100, "envelope decay");
        clamp(src.envSustain, 100, "envelope sustain");
        clamp(src.envRelease, 100, "envelope release");
        clamp(src.levelModVel, 100, "velocity to level");
        clamp(src.levelModPressure, 100, "pressure to level");
        clamp(src.levelModKeyScale, 100, "key scaling to level");
        clamp(src.timeModVel, 100, "velocity to time");
        clamp(src.timeModKeyScale, 100, "key scaling to time");
        clamp(src.freqKeyScaleToFreq, 100, "key scaling to frequency");
    }
}

// Bytes of a message that lie before its closing F7h.
unsigned long payloadLength(const unsigned char* message, unsigned long length) {
    return (length > 0 && message[length - 1] == kSysexEnd) ? length - 1 : length;
}

bool tooShort(unsigned long available, unsigned long needed, unsigned long length) {
    if (available >= needed) return false;
    log("readSysex", 256, "Message too short, ", length, " bytes");
    return true;
}

}  // namespace

bool readSingle(SinglePreset& out, const unsigned char* r) {
    const unsigned char checksum = getChecksum(r, 87);
    if (checksum != r[87]) {
        log("readSingle", 49, "Invalid checksum, expected ", checksum, " but got ", r[87]);
        return false;
    }
    decodeName(out.name, r, "readSingle", 58);
    out.volume = r[10];
    out.polyMode = r[11] & 3;
    out.source2or4 = (r[11] >> 2) & 1;
    out.ampModS1S2 = (r[11] >> 3) & 3;
    out.ampModS3S4 = (r[11] >> 5) & 3;
    out.pressureToFreq = r[12];
    out.vibratoDepth = r[13];
    out.pressureToVibrato = r[14];
    out.pitchBendDepth = r[15] & 0x0F;
    if (out.pitchBendDepth >= 13) {
        log("readSingle", 71, "Invalid pitch bend range, valid is 0-12 but got ", out.pitchBendDepth);
        return false;
    }
    out.lfoSpeed = r[16];
    out.lfoShape = r[17] & 3;
    out.keyScaleCurve = (r[17] >> 2) & 7;
    out.vibWheelMode = (r[17] >> 5) & 3;
    if (out.vibWheelMode >= 2) {
        log("readSingle", 85, out.name, ": Invalid vibrato wheel mode, needs to be 0 or 1 but got ",
            out.vibWheelMode);
        out.vibWheelMode &= 1;
    }
    out.autoBendDepth = r[18];
    out.autoBendTime = r[19];
    out.velToDepth = r[20];
    out.autoBendKeyScaleToTime = r[21];
    if (r[22] >= 16) log("readSingle", 98, "Invalid sources mute flags, allowed are 0000xxxx but got ", r[22]);
    for (int k = 0; k < 4; ++k) out.mute[k] = (r[22] >> k) & 1;
    for (int s = 0; s < 4; ++s) {
        SingleSource& src = out.sources[s];
        src.fine = r[23 + s];
        src.coarse = r[27 + s];
        src.wave = static_cast<uint8_t>((r[31 + s] & 0x7F) | ((r[35 + s] & 1) << 7));
        src.keyTrack = (r[35 + s] >> 1) & 1;
        src.vibABend = (r[35 + s] >> 2) & 1;
        src.pressureToFreq = (r[35 + s] >> 3) & 1;
        src.velCurve = (r[35 + s] >> 4) & 0x0F;
        src.envLevel = r[39 + s];
        src.envDelay = r[43 + s];
        src.envAttack = r[47 + s];
        src.envDecay = r[51 + s];
        src.envSustain = r[55 + s];
        src.envRelease = r[59 + s];
        src.levelModVel = r[63 + s];
        src.levelModPressure = r[67 + s];
        src.levelModKeyScale = r[71 + s];
        src.timeModVel = r[75 + s];
        src.timeModKeyScale = r[79 + s];
        src.freqKeyScaleToFreq = r[83 + s];
    }
    clampSingleFields(out);
    return true;
}

bool readMulti(MultiPreset& out, const unsigned char* r) {
    const unsigned char checksum = getChecksum(r, 75);
    if (checksum != r[75]) {
        log("readMulti", 151, "Invalid checksum, expected ", checksum, " but got ", r[75]);
        return false;
    }
    decodeName(out.name, r, "readMulti", 156);
    out.volume = r[10];
    if (out.volume >= 100) {
        log("readMulti", 161, out.name, ": Invalid multi volume ", out.volume);
        out.volume = 99;
    }
    for (unsigned s = 0; s < 8; ++s) {
        MultiSection& sec = out.sections[s];
        sec.single = r[11 + s] & 0x3F;
        sec.zoneLow = r[19 + s];
        sec.zoneHigh = r[27 + s];
        sec.poly = r[35 + s] & 0x0F;
        sec.output = (r[35 + s] >> 4) & 3;
        // The mode keeps bit 0 in bit 6 of the channel byte and bit 1 in bit 6 of the poly byte.
        sec.mode = ((r[43 + s] >> 6) & 1) | (((r[35 + s] >> 6) & 1) << 1);
        sec.channel = r[43 + s] & 0x0F;
        sec.velocity = (r[43 + s] >> 4) & 3;
        sec.transpose = static_cast<int32_t>(r[51 + s]) - 24;
        sec.tune = static_cast<int32_t>(r[59 + s]) - 50;
        sec.level = r[67 + s];
        if (sec.poly >= 10) {
            log("readMulti", 190, out.name, ": Invalid multi poly mode ", sec.poly);
            sec.poly = 0;
        }
        if (sec.output == 3) {
            log("readMulti", 196, out.name, ": Invalid multi output mode ", sec.output, " in section ", s);
            sec.output = 1;
        }
        if (sec.mode >= 3) {
            log("readMulti", 202, out.name, ": Invalid multi midi mode ", sec.mode, " in section ", s);
            sec.mode = 2;
        }
        if (sec.velocity == 3) {
            log("readMulti", 208, out.name, ": Invalid multi velo switch ", sec.velocity, " in section ", s);
            sec.velocity = 0;
        }
        if (sec.level > 100) {
            log("readMulti", 214, out.name, ": Invalid multi section level ", sec.level, " in section ", s);
            sec.level = 100;
        }
        clampField(sec.zoneLow, 127, out.name, "zone low key", "readMulti", 218);
        clampField(sec.zoneHigh, 127, out.name, "zone high key", "readMulti", 218);
        clampSigned(sec.transpose, 24, out.name, "transpose", s);
        clampSigned(sec.tune, 50, out.name, "tune", s);
    }
    return true;
}

bool Sysex::readSysex(SysexResult& result, const unsigned char* m, unsigned long length,
                      unsigned char channelFilter) {
    const unsigned long available = payloadLength(m, length);
    if (length == 0 || m[0] != kSysexStart) {
        log("readSysex", 228, "Not a sysex message");
        return false;
    }
    if (tooShort(available, 4, length)) return false;
    if (m[1] != kKawaiId) {
        log("readSysex", 234, "Sysex from wrong manufacturer");
        return false;
    }
    if (m[2] > 15) {
        log("readSysex", 242, "Invalid channel number ", m[2], ", expected 0-15");
        return false;
    }
    if (channelFilter < 16 && channelFilter != m[2]) {
        log("readSysex", 248, "Skipping read, expected channel ", channelFilter, " but sysex has ", m[2]);
        return false;
    }
    result.channel = m[2];
    const unsigned char function = m[3];
    if (function == kMachineIdRequest) {
        result.machineIdRequest = true;
        return true;
    }
    if (tooShort(available, 6, length)) return false;
    if (m[4] != 0x00) {
        log("readSysex", 269, "Expected group to be 0x00 (Synthesizer group) but got ", m[4]);
        return false;
    }
    if (m[5] != 0x03) {
        log("readSysex", 275, "Expected machine ID to be 0x03 but got ", m[5]);
        return false;
    }
    switch (function) {
    case kWriteComplete:
        return true;
    case kWriteError:
        log("readSysex", 322, "Got Sysex stating Write Error");
        return true;
    case kWriteErrorNoCard:
        log("readSysex", 328, "Got Sysex stating Write Error No Card");
        return true;
    case kWriteErrorProtected:
        log("readSysex", 334, "Got Sysex stating Write Error Protected");
        return true;
    case kOneBlockRequest:
    case kAllBlockRequest:
    case kParameterSend:
    case kOneBlockDump:
    case kAllBlockDump:
        break;
    default:
        log("readSysex", 391,
            "Invalid function, expected all block data dump (21h) or single block data dump (20h) but got ",
            function);
        return false;
    }
    if (tooShort(available, function == kParameterSend ? 9 : 8, length)) return false;
    const unsigned char sub1 = m[6];
    const unsigned char sub2 = m[7];
    if (function == kOneBlockRequest) {
        if (sub2 < 0x40)
            result.singleRequests.push_back(sub1 * 64ull + sub2);
        else
            result.multiRequests.push_back(sub1 * 32ull + (sub2 - 0x40));
        return true;
    }
    if (function == kAllBlockRequest) {
        if (sub2 < 0x40) {
            result.allSinglesRequested = true;
            result.firstSingle = sub1 * 64ull + sub2;
        } else {
            result.allMultisRequested = true;
            result.firstMulti = sub1 * 32ull;
        }
        return true;
    }
    if (function == kParameterSend) {
        ParameterChange change;
        change.cursor = m[6];
        change.source = (m[7] >> 1) & 3;
        change.value = static_cast<uint8_t>((m[8] & 0x7F) | ((m[7] & 1) << 7));
        result.parameterChanges.push_back(change);
        return true;
    }
    unsigned char bank = sub1;
    if (bank >= 2) {
        bank &= 1;
        log("readSysex", 342, "Expected subcommand 1 to be 0=intern or 1=extern but got ", sub1,
            ", treating as ", bank);
    }
    if (sub2 < 0x40) {
        result.firstSingle = bank * 64ull + sub2;
        if (function == kAllBlockDump && sub2 != 0x00 && sub2 != 0x20) {
            log("readSysex", 386, "Invalid subcommand 2, needs to be 00h, 20h or 40h but got ", sub2);
            return false;
        }
        for (unsigned long k = 0; 8 + kSingleRecordSize * (k + 1) <= length; ++k) {
            SinglePreset single{};
            if (!readSingle(single, m + 8 + kSingleRecordSize * k)) return false;
            result.singles.push_back(single);
        }
    } else {
        result.firstMulti = bank * 32ull + (sub2 - 0x40);
        for (unsigned long k = 0; 8 + kMultiRecordSize * (k + 1) <= length; ++k) {
            MultiPreset multi{};
            if (!readMulti(multi, m + 8 + kMultiRecordSize * k)) return false;
            result.multis.push_back(multi);
        }
    }
    return true;
}

bool Sysex::readBuffer(SysexResult& result, const std::vector<unsigned char>& bytes, unsigned char channelFilter) {
    bool any = false;
    const size_t size = bytes.size();
    for (size_t start = 0; start < size; ++start) {
        if (bytes[start] != kSysexStart) continue;
        size_t end = start + 1;
        while (end < size && bytes[end] != kSysexEnd) ++end;
        if (end == size) break;  // no F7h follows this F0h, so none follows a later one either
        any |= readSysex(result, bytes.data() + start, end - start + 1, channelFilter);
        start = end;
    }
    return any;
}

bool Sysex::readFile(std::vector<unsigned char>& out, const std::string& path) {
    switch (readFileBytes(path, out)) {
    case FileBytesResult::Ok:
        return true;
    case FileBytesResult::OpenFailed:
        log("readFile", 426, "Failed to open file ", path);
        return false;
    case FileBytesResult::NotRegularFile:
        log("readFile", 430, "Not a regular file ", path);
        return false;
    case FileBytesResult::TooLarge:
        log("readFile", 433, "File too large ", path);
        return false;
    case FileBytesResult::ReadFailed:
        log("readFile", 436, "Failed to read file ", path);
        return false;
    }
    return false;
}

bool Sysex::readFile(SysexResult& result, const std::string& path, unsigned char channelFilter) {
    std::vector<unsigned char> bytes;
    return readFile(bytes, path) && readBuffer(result, bytes, channelFilter);
}

}  // namespace k1lib
