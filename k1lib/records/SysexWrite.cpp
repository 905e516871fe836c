// Writing K1 records and messages. Every field is masked to its bit width, so whatever a record
// holds, the message carries only 7-bit data bytes between F0h and F7h.
#include <cstring>

#include "k1lib/constants/K1Constants.h"
#include "k1lib/records/RecordLayout.h"
#include "k1lib/records/Sysex.h"
#include "log/Log.h"

namespace k1lib {
namespace {

unsigned char bits(uint32_t value, unsigned width) {
    return static_cast<unsigned char>(value & ((1u << width) - 1));
}
unsigned char byte7(uint32_t value) {
    return bits(value, 7);
}

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

} // namespace

unsigned char getChecksum(const unsigned char* data, unsigned long length) {
    unsigned sum = 0xA5;
    for (unsigned long i = 0; i < length; ++i)
        sum += data[i];
    return static_cast<unsigned char>(sum & 0x7F);
}

bool readName(char* out, const unsigned char* field, unsigned long length) {
    std::memset(out, 0, length + 1);
    for (unsigned long i = 0; i < length && field[i] != 0; ++i)
        out[i] = static_cast<char>(field[i]);
    for (unsigned long i = length; i > 0 && (out[i - 1] == ' ' || out[i - 1] == '\0'); --i)
        out[i - 1] = '\0';
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
    out[4] = kSynthesizerGroup;
    out[5] = kK1MachineId;
    return 6;
}

unsigned char getSysexSubcommand1Storage(StorageLocation location) {
    return static_cast<unsigned char>(location >> 1);
}

unsigned char getSysexSubcommand2Storage(StorageLocation location) {
    return (location & ~2u) ? 0x20 : 0x00;
}

bool verifySingleNumberAgainstStorageLocation(StorageLocation location, unsigned char number) {
    if (location > 3) return true;
    if ((location == Storagei || location == Storagee) && number < kSinglesPerLocation) {
        log("verifySingleNumberAgainstStorageLocation", 471,
            "If single number is < 32, storage location needs to be I or E");
        return false;
    }
    if ((location == StorageI || location == StorageE) && number >= kSinglesPerLocation) {
        log("verifySingleNumberAgainstStorageLocation", 465,
            "If single number is >= 32, storage location needs to be i or e");
        return false;
    }
    return true;
}

bool writeSingle(unsigned char* r, const SinglePreset& s) {
    namespace F = singlelayout;
    std::memset(r, 0, kSingleRecordSize);
    writeRecordName(r + F::NameByte, s.name);
    putField(r, F::Volume, s.volume);
    putField(r, F::PolyMode, s.polyMode);
    putField(r, F::Source2or4, s.source2or4);
    putField(r, F::AmpModS1S2, s.ampModS1S2);
    putField(r, F::AmpModS3S4, s.ampModS3S4);
    putField(r, F::PressureToFreq, s.pressureToFreq);
    putField(r, F::VibratoDepth, s.vibratoDepth);
    putField(r, F::PressureToVibrato, s.pressureToVibrato);
    putField(r, F::PitchBendDepth, s.pitchBendDepth);
    putField(r, F::LfoSpeed, s.lfoSpeed);
    putField(r, F::LfoShape, s.lfoShape);
    putField(r, F::KeyScaleCurve, s.keyScaleCurve);
    putField(r, F::VibWheelMode, s.vibWheelMode);
    putField(r, F::AutoBendDepth, s.autoBendDepth);
    putField(r, F::AutoBendTime, s.autoBendTime);
    putField(r, F::VelToDepth, s.velToDepth);
    putField(r, F::AutoBendKeyScaleToTime, s.autoBendKeyScaleToTime);
    uint32_t muted = 0;
    for (unsigned k = 0; k < kSourceCount; ++k)
        muted |= (s.mute[k] != 0 ? 1u : 0u) << k;
    putField(r, F::Mute, muted);
    for (unsigned i = 0; i < kSourceCount; ++i) {
        const SingleSource& src = s.sources[i];
        putField(r, F::Fine, src.fine, i);
        putField(r, F::Coarse, src.coarse, i);
        putField(r, F::WaveLow, src.wave, i);
        putField(r, F::WaveHigh, src.wave >> 7, i);
        putField(r, F::KeyTrack, src.keyTrack, i);
        putField(r, F::VibABend, src.vibABend, i);
        putField(r, F::SourcePressureToFreq, src.pressureToFreq, i);
        putField(r, F::VelCurve, src.velCurve, i);
        putField(r, F::EnvLevel, src.envLevel, i);
        putField(r, F::EnvDelay, src.envDelay, i);
        putField(r, F::EnvAttack, src.envAttack, i);
        putField(r, F::EnvDecay, src.envDecay, i);
        putField(r, F::EnvSustain, src.envSustain, i);
        putField(r, F::EnvRelease, src.envRelease, i);
        putField(r, F::LevelModVel, src.levelModVel, i);
        putField(r, F::LevelModPressure, src.levelModPressure, i);
        putField(r, F::LevelModKeyScale, src.levelModKeyScale, i);
        putField(r, F::TimeModVel, src.timeModVel, i);
        putField(r, F::TimeModKeyScale, src.timeModKeyScale, i);
        putField(r, F::FreqKeyScaleToFreq, src.freqKeyScaleToFreq, i);
    }
    r[F::ChecksumByte] = getChecksum(r, F::ChecksumByte);
    return true;
}

bool writeMulti(unsigned char* r, const MultiPreset& m) {
    namespace F = multilayout;
    std::memset(r, 0, kMultiRecordSize);
    writeRecordName(r + F::NameByte, m.name);
    putField(r, F::Volume, m.volume);
    for (unsigned s = 0; s < kSectionCount; ++s) {
        const MultiSection& sec = m.sections[s];
        putField(r, F::Single, sec.single, s);
        putField(r, F::ZoneLow, sec.zoneLow, s);
        putField(r, F::ZoneHigh, sec.zoneHigh, s);
        putField(r, F::Poly, sec.poly, s);
        putField(r, F::Output, sec.output, s);
        putField(r, F::ModeHigh, sec.mode >> 1, s);
        putField(r, F::Channel, sec.channel, s);
        putField(r, F::Velocity, sec.velocity, s);
        putField(r, F::ModeLow, sec.mode, s);
        putField(r, F::Transpose, static_cast<uint32_t>(sec.transpose + F::Transpose.bias), s);
        putField(r, F::Tune, static_cast<uint32_t>(sec.tune + F::Tune.bias), s);
        putField(r, F::Level, sec.level, s);
    }
    r[F::ChecksumByte] = getChecksum(r, F::ChecksumByte);
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
    for (unsigned long k = 0; k < n; ++k)
        writeRecord(message.data() + sub + 2 + recordSize * k, records[k]);
    message.back() = kSysexEnd;
    out.swap(message);
}

} // namespace

bool Sysex::writeSingles(std::vector<unsigned char>& out, const std::vector<SinglePreset>& singles,
                         unsigned char channel, StorageLocation location, unsigned char number) {
    const unsigned long n = singles.size();
    if (n > kSinglesPerLocation) {
        log("writeSingles", 620, "Too many singles for one command");
        return false;
    }
    if (refuseEmpty(n, "writeSingles", 624, "singles")) return false;
    if (n < 2) {
        if (number >= kSinglesPerBank) {
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
    if (n > kMultisPerBank) {
        log("writeMultis", 688, "Too many multis for one command");
        return false;
    }
    if (refuseEmpty(n, "writeMultis", 692, "multis")) return false;
    if (n < 2 && number >= kMultisPerBank) {
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

bool Sysex::writeOneSingleRequest(std::vector<unsigned char>& out, unsigned char channel,
                                  StorageLocation location, unsigned char number) {
    if (channel >= kMidiChannelCount) {
        log("writeOneSingleRequest", 752, "Channel number needs to be within range 0-15");
        return false;
    }
    if (number >= kSinglesPerBank) {
        log("writeOneSingleRequest", 758, "Single number needs to be within range 0-63");
        return false;
    }
    if (!verifySingleNumberAgainstStorageLocation(location, number)) return false;
    out = {kSysexStart,
           kKawaiId,
           channel,
           kOneBlockRequest,
           kSynthesizerGroup,
           kK1MachineId,
           getSysexSubcommand1Storage(location),
           number,
           kSysexEnd};
    return true;
}

bool Sysex::writeAllSinglesRequest(std::vector<unsigned char>& out, unsigned char channel,
                                   StorageLocation location) {
    if (channel >= kMidiChannelCount) {
        log("writeAllSinglesRequest", 781, "Channel number needs to be within range 0-15");
        return false;
    }
    out = {kSysexStart,
           kKawaiId,
           channel,
           kAllBlockRequest,
           kSynthesizerGroup,
           kK1MachineId,
           getSysexSubcommand1Storage(location),
           getSysexSubcommand2Storage(location),
           kSysexEnd};
    return true;
}

bool Sysex::writeMachineIdRequest(std::vector<unsigned char>& out, unsigned char channel) {
    if (channel >= kMidiChannelCount) {
        log("writeMachineIdRequest", 802, "Channel number needs to be within range 0-15");
        return false;
    }
    out = {kSysexStart, kKawaiId, channel, kMachineIdRequest, kSysexEnd};
    return true;
}

void Sysex::writeMachineIdResponse(std::vector<unsigned char>& out, unsigned char channel) {
    out = {kSysexStart,       kKawaiId,     bits(channel, 4), kMachineIdAnswer,
           kSynthesizerGroup, kK1MachineId, kSysexEnd};
}

void Sysex::writeWriteResult(std::vector<unsigned char>& out, unsigned char channel, unsigned char function) {
    out = {kSysexStart,       kKawaiId,     bits(channel, 4), byte7(function),
           kSynthesizerGroup, kK1MachineId, kSysexEnd};
}

void Sysex::writeParameterChange(std::vector<unsigned char>& out, unsigned char channel,
                                 const ParameterChange& change) {
    namespace F = paramsendlayout;
    out.assign(F::MessageSize, 0);
    writeHeader(out, channel, kParameterSend);
    putField(out.data(), F::Cursor, change.cursor);
    putField(out.data(), F::Source, change.source);
    putField(out.data(), F::ValueHigh, change.value >> 7u);
    putField(out.data(), F::ValueLow, change.value);
    out.back() = kSysexEnd;
}

bool Sysex::convertPhmPreset(std::vector<unsigned char>& out, unsigned char channel, unsigned char number,
                             const std::string& name, const unsigned char* data, unsigned long size) {
    if (size != kPhmPresetSize || !data) {
        log("convertPhmPreset", 884, "Invalid PHm data size");
        return false;
    }
    if (name.size() > kNameLength) {
        log("convertPhmPreset", 890, "Invalid PHm single name, max length is 10");
        return false;
    }
    if (number >= kSinglesPerBank) {
        log("convertPhmPreset", 896, "Preset number needs to be within range 0-63");
        return false;
    }
    namespace F = singlelayout;
    std::vector<unsigned char> message(8 + kSingleRecordSize + 1);
    writeHeader(message, channel, kOneBlockDump);
    message[6] = 0x00;
    message[7] = number;
    // A PHm preset is a Single record without its name, its mute byte and its checksum.
    unsigned char* record = message.data() + 8;
    writeName(record + F::NameByte, name.c_str(), kNameLength);
    const unsigned long beforeMute = F::Mute.byte - F::Volume.byte;
    for (unsigned long i = 0; i < beforeMute; ++i)
        record[F::Volume.byte + i] = byte7(data[i]);
    record[F::Mute.byte] = 0; // no source muted
    for (unsigned long i = beforeMute; i < kPhmPresetSize; ++i)
        record[F::Mute.byte + 1 + i - beforeMute] = byte7(data[i]);
    record[F::ChecksumByte] = getChecksum(record, F::ChecksumByte);
    message.back() = kSysexEnd;
    out.swap(message);
    return true;
}

} // namespace k1lib
