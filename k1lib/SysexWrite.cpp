// Writing K1 records and messages. Every field is masked to its bit width, so whatever a record
// holds, the message carries only 7-bit data bytes between F0h and F7h.
#include <cstring>

#include "Log.h"
#include "Sysex.h"

namespace k1lib {
namespace {

unsigned char bits(uint32_t value, unsigned width) { return static_cast<unsigned char>(value & ((1u << width) - 1)); }
unsigned char byte7(uint32_t value) { return bits(value, 7); }

// The K1 keeps names of at most 10 characters; a longer or unterminated name is cut there.
void writeRecordName(unsigned char* field, const char* name) {
    char bounded[11];
    std::memcpy(bounded, name, 10);
    bounded[10] = '\0';
    writeName(field, bounded, 10);
}

bool refuseEmpty(unsigned long count, const char* function, int line, const char* what) {
    if (count > 0) return false;
    log(function, line, "No ", what, " to write");
    return true;
}

}  // namespace

unsigned char getChecksum(const unsigned char* data, unsigned long length) {
    unsigned sum = 0xA5;
    for (unsigned long i = 0; i < length; ++i) sum += data[i];
    return static_cast<unsigned char>(sum & 0x7F);
}

bool readName(char* out, const unsigned char* field, unsigned long length) {
    std::memset(out, 0, length + 1);
    for (unsigned long i = 0; i < length && field[i] != 0; ++i) out[i] = static_cast<char>(field[i]);
    for (unsigned long i = length; i > 0 && (out[i - 1] == ' ' || out[i - 1] == '\0'); --i) out[i - 1] = '\0';
    return out[0] != '\0';
}

void writeName(unsigned char* field, const char* name, unsigned long length) {
    std::memset(field, ' ', length);
    // Characters the K1 cannot hold (control codes, bytes above 7Fh) are written as blanks,
    // the same repair the reader makes.
    for (unsigned long i = 0; i < length && name[i] != '\0'; ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        field[i] = (c >= 0x20 && c < 0x80) ? c : ' ';
    }
}

unsigned long writeHeader(std::vector<unsigned char>& out, unsigned char channel, unsigned char function) {
    if (out.size() < 6) out.resize(6);
    out[0] = kSysexStart;
    out[1] = kKawaiId;
    out[2] = bits(channel, 4);
    out[3] = function;
    out[4] = 0x00;
    out[5] = 0x03;
    return 6;
}

unsigned char getSysexSubcommand1Storage(StorageLocation location) { return static_cast<unsigned char>(location >> 1); }

unsigned char getSysexSubcommand2Storage(StorageLocation location) { return (location & ~2u) ? 0x20 : 0x00; }

bool verifySingleNumberAgainstStorageLocation(StorageLocation location, unsigned char number) {
    if (location > 3) return true;
    if ((location == Storagei || location == Storagee) && number < 32) {
        log("verifySingleNumberAgainstStorageLocation", 471,
            "If single number is < 32, storage location needs to be I or E");
        return false;
    }
    if ((location == StorageI || location == StorageE) && number >= 32) {
        log("verifySingleNumberAgainstStorageLocation", 465,
            "If single number is >= 32, storage location needs to be i or e");
        return false;
    }
    return true;
}

bool writeSingle(unsigned char* r, const SinglePreset& s) {
    writeRecordName(r, s.name);
    r[10] = byte7(s.volume);
    r[11] = static_cast<unsigned char>(bits(s.polyMode, 2) | bits(s.source2or4, 1) << 2 | bits(s.ampModS1S2, 2) << 3 |
                                       bits(s.ampModS3S4, 2) << 5);
    r[12] = byte7(s.pressureToFreq);
    r[13] = byte7(s.vibratoDepth);
    r[14] = byte7(s.pressureToVibrato);
    r[15] = bits(s.pitchBendDepth, 4);
    r[16] = byte7(s.lfoSpeed);
    r[17] = static_cast<unsigned char>(bits(s.lfoShape, 2) | bits(s.keyScaleCurve, 3) << 2 | bits(s.vibWheelMode, 2) << 5);
    r[18] = byte7(s.autoBendDepth);
    r[19] = byte7(s.autoBendTime);
    r[20] = byte7(s.velToDepth);
    r[21] = byte7(s.autoBendKeyScaleToTime);
    r[22] = bits(s.mute[0], 1) | (s.mute[1] ? 2 : 0) | (s.mute[2] ? 4 : 0) | (s.mute[3] ? 8 : 0);
    for (int i = 0; i < 4; ++i) {
        const SingleSource& src = s.sources[i];
        r[23 + i] = byte7(src.fine);
        r[27 + i] = byte7(src.coarse);
        r[31 + i] = byte7(src.wave);
        r[35 + i] = static_cast<unsigned char>(bits(src.wave >> 7, 1) | bits(src.keyTrack, 1) << 1 | bits(src.vibABend, 1) << 2 |
                                           bits(src.pressureToFreq, 1) << 3 | bits(src.velCurve, 3) << 4);
        r[39 + i] = byte7(src.envLevel);
        r[43 + i] = byte7(src.envDelay);
        r[47 + i] = byte7(src.envAttack);
        r[51 + i] = byte7(src.envDecay);
        r[55 + i] = byte7(src.envSustain);
        r[59 + i] = byte7(src.envRelease);
        r[63 + i] = byte7(src.levelModVel);
        r[67 + i] = byte7(src.levelModPressure);
        r[71 + i] = byte7(src.levelModKeyScale);
        r[75 + i] = byte7(src.timeModVel);
        r[79 + i] = byte7(src.timeModKeyScale);
        r[83 + i] = byte7(src.freqKeyScaleToFreq);
    }
    r[87] = getChecksum(r, 87);
    return true;
}

bool writeMulti(unsigned char* r, const MultiPreset& m) {
    writeRecordName(r, m.name);
    r[10] = byte7(m.volume);
    for (int s = 0; s < 8; ++s) {
        const MultiSection& sec = m.sections[s];
        r[11 + s] = bits(sec.single, 6);
        r[19 + s] = byte7(sec.zoneLow);
        r[27 + s] = byte7(sec.zoneHigh);
        // Mode bit 1 rides in bit 6 of the poly byte, bit 0 in bit 6 of the channel byte.
        r[35 + s] = static_cast<unsigned char>(bits(sec.poly, 4) | bits(sec.output, 2) << 4 | bits(sec.mode >> 1, 1) << 6);
        r[43 + s] = static_cast<unsigned char>(bits(sec.channel, 4) | bits(sec.velocity, 2) << 4 | bits(sec.mode, 1) << 6);
        r[51 + s] = byte7(static_cast<uint32_t>(sec.transpose + 24));
        r[59 + s] = byte7(static_cast<uint32_t>(sec.tune + 50));
        r[67 + s] = byte7(sec.level);
    }
    r[75] = getChecksum(r, 75);
    return true;
}

namespace {

// One dump message: the header, sub-command 1 of the location, sub-command 2, the records, F7h.
// Function 20h carries one record, 21h several.
template <typename Record>
void writeDump(std::vector<unsigned char>& out, const std::vector<Record>& records, unsigned char channel,
               StorageLocation location, unsigned char sub2, unsigned long recordSize,
               bool (*writeRecord)(unsigned char*, const Record&)) {
    const unsigned long n = records.size();
    std::vector<unsigned char> message(n * recordSize + 9);
    const unsigned long sub = writeHeader(message, channel, n < 2 ? kOneBlockDump : kAllBlockDump);
    message[sub] = getSysexSubcommand1Storage(location);
    message[sub + 1] = sub2;
    for (unsigned long k = 0; k < n; ++k) writeRecord(message.data() + sub + 2 + recordSize * k, records[k]);
    message.back() = kSysexEnd;
    out.swap(message);
}

}  // namespace

bool Sysex::writeSingles(std::vector<unsigned char>& out, const std::vector<SinglePreset>& singles,
                         unsigned char channel, StorageLocation location, unsigned char number) {
    const unsigned long n = singles.size();
    if (n > 32) {
        log("writeSingles", 620, "Too many singles for one command");
        return false;
    }
    if (refuseEmpty(n, "writeSingles", 624, "singles")) return false;
    if (n < 2) {
        if (number >= 64) {
            log("writeSingles", 648, "Preset number needs to be within range 0-63");
            return false;
        }
        if (!verifySingleNumberAgainstStorageLocation(location, number)) return false;
    }
    writeDump(out, singles, channel, location, n < 2 ? number : getSysexSubcommand2Storage(location),
              kSingleRecordSize, &k1lib::writeSingle);
    return true;
}

bool Sysex::writeSingle(std::vector<unsigned char>& out, const SinglePreset& single, unsigned char channel,
                        StorageLocation location, unsigned char number) {
    return writeSingles(out, std::vector<SinglePreset>{single}, channel, location, number);
}

bool Sysex::writeMultis(std::vector<unsigned char>& out, const std::vector<MultiPreset>& multis,
                        unsigned char channel, StorageLocation location, unsigned char number) {
    const unsigned long n = multis.size();
    if (n > 32) {
        log("writeMultis", 688, "Too many multis for one command");
        return false;
    }
    if (refuseEmpty(n, "writeMultis", 692, "multis")) return false;
    if (n < 2 && number >= 32) {
        log("writeMultis", 715, "Multi number needs to be within range 0-32");
        return false;
    }
    writeDump(out, multis, channel, location, static_cast<unsigned char>(n < 2 ? 0x40 + number : 0x40),
              kMultiRecordSize, &k1lib::writeMulti);
    return true;
}

bool Sysex::writeMulti(std::vector<unsigned char>& out, const MultiPreset& multi, unsigned char channel,
                       StorageLocation location, unsigned char number) {
    return writeMultis(out, std::vector<MultiPreset>{multi}, channel, location, number);
}

bool Sysex::writeOneSingleRequest(std::vector<unsigned char>& out, unsigned char channel, StorageLocation location,
                                  unsigned char number) {
    if (channel >= 16) {
        log("writeOneSingleRequest", 752, "Channel number needs to be within range 0-15");
        return false;
    }
    if (number >= 64) {
        log("writeOneSingleRequest", 758, "Single number needs to be within range 0-63");
        return false;
    }
    if (!verifySingleNumberAgainstStorageLocation(location, number)) return false;
    out = {kSysexStart, kKawaiId, channel, kOneBlockRequest, 0x00, 0x03, getSysexSubcommand1Storage(location),
           number, kSysexEnd};
    return true;
}

bool Sysex::writeAllSinglesRequest(std::vector<unsigned char>& out, unsigned char channel, StorageLocation location) {
    if (channel >= 16) {
        log("writeAllSinglesRequest", 781, "Channel number needs to be within range 0-15");
        return false;
    }
    out = {kSysexStart, kKawaiId, channel, kAllBlockRequest, 0x00, 0x03, getSysexSubcommand1Storage(location),
           getSysexSubcommand2Storage(location), kSysexEnd};
    return true;
}

bool Sysex::writeMachineIdRequest(std::vector<unsigned char>& out, unsigned char channel) {
    if (channel >= 16) {
        log("writeMachineIdRequest", 802, "Channel number needs to be within range 0-15");
        return false;
    }
    out = {kSysexStart, kKawaiId, channel, kMachineIdRequest, kSysexEnd};
    return true;
}

void Sysex::writeMachineIdResponse(std::vector<unsigned char>& out, unsigned char channel) {
    out = {kSysexStart, kKawaiId, bits(channel, 4), kMachineIdAnswer, 0x00, 0x03, kSysexEnd};
}

void Sysex::writeWriteResult(std::vector<unsigned char>& out, unsigned char channel, unsigned char function) {
    out = {kSysexStart, kKawaiId, bits(channel, 4), byte7(function), 0x00, 0x03, kSysexEnd};
}

void Sysex::writeParameterChange(std::vector<unsigned char>& out, unsigned char channel,
                                 const ParameterChange& change) {
    out = {kSysexStart,
           kKawaiId,
           bits(channel, 4),
           kParameterSend,
           0x00,
           0x03,
           byte7(change.cursor),
           static_cast<unsigned char>(((change.source * 2) & 6) | (change.value >> 7)),
           byte7(change.value),
           kSysexEnd};
}

bool Sysex::convertPhmPreset(std::vector<unsigned char>& out, unsigned char channel, unsigned char number,
                             const std::string& name, const unsigned char* data, unsigned long size) {
    if (size != kPhmPresetSize || !data) {
        log("convertPhmPreset", 884, "Invalid PHm data size");
        return false;
    }
    if (name.size() > 10) {
        log("convertPhmPreset", 890, "Invalid PHm single name, max length is 10");
        return false;
    }
    if (number >= 64) {
        log("convertPhmPreset", 896, "Preset number needs to be within range 0-63");
        return false;
    }
    std::vector<unsigned char> message(97);
    writeHeader(message, channel, kOneBlockDump);
    message[6] = 0x00;
    message[7] = number;
    writeName(message.data() + 8, name.c_str(), 10);
    for (int i = 0; i < 12; ++i) message[18 + i] = byte7(data[i]);
    message[30] = 0;  // no source muted
    for (int i = 12; i < 76; ++i) message[19 + i] = byte7(data[i]);
    message[95] = getChecksum(message.data() + 8, 87);
    message[96] = kSysexEnd;
    out.swap(message);
    return true;
}

}  // namespace k1lib
