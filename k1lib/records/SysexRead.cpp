// Reading K1 records and messages. Every field that comes in is brought into its range, so a
// record the system holds always writes back to 7-bit bytes and reads back equal.
#include <algorithm>
#include <cstring>
#include <string>
#include <type_traits>

#include "k1lib/base/FileBytes.h"
#include "k1lib/constants/K1Constants.h"
#include "k1lib/records/RecordLayout.h"
#include "k1lib/records/Sysex.h"
#include "log/Log.h"

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
    for (int i = 9; i >= 0 && name[i] == ' '; --i)
        name[i] = '\0';
    if (repaired) log(function, line, name, ": Invalid characters in name replaced by blanks");
}

template <typename T>
void clampField(T& field, unsigned max, const char* patchName, const char* what, const char* function,
                int line) {
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
    namespace F = singlelayout;
    auto clamp = [&](auto& field, unsigned max, const char* what) {
        clampField(field, max, s.name, what, "readSingle", 110);
    };
    clamp(s.volume, F::Volume.max, "volume");
    clamp(s.polyMode, F::PolyMode.max, "poly mode");
    clamp(s.ampModS1S2, F::AmpModS1S2.max, "amplitude modulation S1/S2");
    clamp(s.ampModS3S4, F::AmpModS3S4.max, "amplitude modulation S3/S4");
    clamp(s.pressureToFreq, F::PressureToFreq.max, "pressure to frequency");
    clamp(s.vibratoDepth, F::VibratoDepth.max, "vibrato depth");
    clamp(s.pressureToVibrato, F::PressureToVibrato.max, "pressure to vibrato");
    clamp(s.lfoSpeed, F::LfoSpeed.max, "LFO speed");
    clamp(s.keyScaleCurve, F::KeyScaleCurve.max, "key scaling curve");
    clamp(s.autoBendDepth, F::AutoBendDepth.max, "auto bend depth");
    clamp(s.autoBendTime, F::AutoBendTime.max, "auto bend time");
    clamp(s.velToDepth, F::VelToDepth.max, "velocity to auto bend depth");
    clamp(s.autoBendKeyScaleToTime, F::AutoBendKeyScaleToTime.max, "key scaling to auto bend time");
    for (SingleSource& src : s.sources) {
        clamp(src.fine, F::Fine.max, "fine tune");
        clamp(src.coarse, F::Coarse.max, "coarse tune");
        clamp(src.velCurve, F::VelCurve.max, "velocity curve");
        clamp(src.envLevel, F::EnvLevel.max, "envelope level");
        clamp(src.envDelay, F::EnvDelay.max, "envelope delay");
        clamp(src.envAttack, F::EnvAttack.max, "envelope attack");
        clamp(src.envDecay, F::EnvDecay.max, "envelope decay");
        clamp(src.envSustain, F::EnvSustain.max, "envelope sustain");
        clamp(src.envRelease, F::EnvRelease.max, "envelope release");
        clamp(src.levelModVel, F::LevelModVel.max, "velocity to level");
        clamp(src.levelModPressure, F::LevelModPressure.max, "pressure to level");
        clamp(src.levelModKeyScale, F::LevelModKeyScale.max, "key scaling to level");
        clamp(src.timeModVel, F::TimeModVel.max, "velocity to time");
        clamp(src.timeModKeyScale, F::TimeModKeyScale.max, "key scaling to time");
        clamp(src.freqKeyScaleToFreq, F::FreqKeyScaleToFreq.max, "key scaling to frequency");
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

} // namespace

bool readSingle(SinglePreset& out, const unsigned char* r) {
    namespace F = singlelayout;
    const unsigned char checksum = getChecksum(r, F::ChecksumByte);
    if (checksum != r[F::ChecksumByte]) {
        log("readSingle", 49, "Invalid checksum, expected ", checksum, " but got ", r[F::ChecksumByte]);
        return false;
    }
    decodeName(out.name, r + F::NameByte, "readSingle", 58);
    auto take = [r](auto& field, const RecordField& f, unsigned index = 0) {
        field = static_cast<std::remove_reference_t<decltype(field)>>(getField(r, f, index));
    };
    take(out.volume, F::Volume);
    take(out.polyMode, F::PolyMode);
    take(out.source2or4, F::Source2or4);
    take(out.ampModS1S2, F::AmpModS1S2);
    take(out.ampModS3S4, F::AmpModS3S4);
    take(out.pressureToFreq, F::PressureToFreq);
    take(out.vibratoDepth, F::VibratoDepth);
    take(out.pressureToVibrato, F::PressureToVibrato);
    take(out.pitchBendDepth, F::PitchBendDepth);
    if (out.pitchBendDepth > F::PitchBendDepth.max) {
        log("readSingle", 71, "Invalid pitch bend range, valid is 0-12 but got ", out.pitchBendDepth);
        return false;
    }
    take(out.lfoSpeed, F::LfoSpeed);
    take(out.lfoShape, F::LfoShape);
    take(out.keyScaleCurve, F::KeyScaleCurve);
    take(out.vibWheelMode, F::VibWheelMode);
    if (out.vibWheelMode > F::VibWheelMode.max) {
        log("readSingle", 85, out.name, ": Invalid vibrato wheel mode, needs to be 0 or 1 but got ",
            out.vibWheelMode);
        out.vibWheelMode &= 1;
    }
    take(out.autoBendDepth, F::AutoBendDepth);
    take(out.autoBendTime, F::AutoBendTime);
    take(out.velToDepth, F::VelToDepth);
    take(out.autoBendKeyScaleToTime, F::AutoBendKeyScaleToTime);
    const uint32_t muted = getField(r, F::Mute);
    if (muted > F::Mute.max)
        log("readSingle", 98, "Invalid sources mute flags, allowed are 0000xxxx but got ", muted);
    for (unsigned k = 0; k < kSourceCount; ++k)
        out.mute[k] = (muted >> k) & 1;
    for (unsigned s = 0; s < kSourceCount; ++s) {
        SingleSource& src = out.sources[s];
        take(src.fine, F::Fine, s);
        take(src.coarse, F::Coarse, s);
        src.wave = static_cast<uint8_t>(getField(r, F::WaveLow, s) | getField(r, F::WaveHigh, s) << 7);
        take(src.keyTrack, F::KeyTrack, s);
        take(src.vibABend, F::VibABend, s);
        take(src.pressureToFreq, F::SourcePressureToFreq, s);
        take(src.velCurve, F::VelCurve, s);
        take(src.envLevel, F::EnvLevel, s);
        take(src.envDelay, F::EnvDelay, s);
        take(src.envAttack, F::EnvAttack, s);
        take(src.envDecay, F::EnvDecay, s);
        take(src.envSustain, F::EnvSustain, s);
        take(src.envRelease, F::EnvRelease, s);
        take(src.levelModVel, F::LevelModVel, s);
        take(src.levelModPressure, F::LevelModPressure, s);
        take(src.levelModKeyScale, F::LevelModKeyScale, s);
        take(src.timeModVel, F::TimeModVel, s);
        take(src.timeModKeyScale, F::TimeModKeyScale, s);
        take(src.freqKeyScaleToFreq, F::FreqKeyScaleToFreq, s);
    }
    clampSingleFields(out);
    return true;
}

bool readMulti(MultiPreset& out, const unsigned char* r) {
    namespace F = multilayout;
    const unsigned char checksum = getChecksum(r, F::ChecksumByte);
    if (checksum != r[F::ChecksumByte]) {
        log("readMulti", 151, "Invalid checksum, expected ", checksum, " but got ", r[F::ChecksumByte]);
        return false;
    }
    decodeName(out.name, r + F::NameByte, "readMulti", 156);
    auto take = [r](auto& field, const RecordField& f, unsigned index = 0) { field = getField(r, f, index); };
    take(out.volume, F::Volume);
    if (out.volume > F::Volume.max) {
        log("readMulti", 161, out.name, ": Invalid multi volume ", out.volume);
        out.volume = F::Volume.max;
    }
    for (unsigned s = 0; s < kSectionCount; ++s) {
        MultiSection& sec = out.sections[s];
        take(sec.single, F::Single, s);
        take(sec.zoneLow, F::ZoneLow, s);
        take(sec.zoneHigh, F::ZoneHigh, s);
        take(sec.poly, F::Poly, s);
        take(sec.output, F::Output, s);
        sec.mode = getField(r, F::ModeLow, s) | getField(r, F::ModeHigh, s) << 1;
        take(sec.channel, F::Channel, s);
        take(sec.velocity, F::Velocity, s);
        sec.transpose = static_cast<int32_t>(getField(r, F::Transpose, s)) - F::Transpose.bias;
        sec.tune = static_cast<int32_t>(getField(r, F::Tune, s)) - F::Tune.bias;
        take(sec.level, F::Level, s);
        if (sec.poly > F::Poly.max) {
            log("readMulti", 190, out.name, ": Invalid multi poly mode ", sec.poly);
            sec.poly = PolyVariable;
        }
        if (sec.output > F::Output.max) {
            log("readMulti", 196, out.name, ": Invalid multi output mode ", sec.output, " in section ", s);
            sec.output = OutputBoth;
        }
        if (sec.mode > ModeBoth) {
            log("readMulti", 202, out.name, ": Invalid multi midi mode ", sec.mode, " in section ", s);
            sec.mode = ModeBoth;
        }
        if (sec.velocity > F::Velocity.max) {
            log("readMulti", 208, out.name, ": Invalid multi velo switch ", sec.velocity, " in section ", s);
            sec.velocity = VelocityAll;
        }
        if (sec.level > F::Level.max) {
            log("readMulti", 214, out.name, ": Invalid multi section level ", sec.level, " in section ", s);
            sec.level = F::Level.max;
        }
        clampField(sec.zoneLow, F::ZoneLow.max, out.name, "zone low key", "readMulti", 218);
        clampField(sec.zoneHigh, F::ZoneHigh.max, out.name, "zone high key", "readMulti", 218);
        clampSigned(sec.transpose, F::Transpose.bias, out.name, "transpose", s);
        clampSigned(sec.tune, F::Tune.bias, out.name, "tune", s);
    }
    return true;
}

namespace {

// F0h, Kawai, a channel of 0-15 that the filter lets through.
bool checkAddress(const unsigned char* m, unsigned long length, unsigned long available,
                  unsigned char channelFilter) {
    if (length == 0 || m[0] != kSysexStart) {
        log("readSysex", 228, "Not a sysex message");
        return false;
    }
    if (tooShort(available, 4, length)) return false;
    if (m[1] != kKawaiId) {
        log("readSysex", 234, "Sysex from wrong manufacturer");
        return false;
    }
    if (m[2] >= kMidiChannelCount) {
        log("readSysex", 242, "Invalid channel number ", m[2], ", expected 0-15");
        return false;
    }
    if (channelFilter < kMidiChannelCount && channelFilter != m[2]) {
        log("readSysex", 248, "Skipping read, expected channel ", channelFilter, " but sysex has ", m[2]);
        return false;
    }
    return true;
}

// The synthesizer group and the K1's machine ID, which every message but the ID request carries.
bool checkMachine(const unsigned char* m, unsigned long length, unsigned long available) {
    if (tooShort(available, 6, length)) return false;
    if (m[4] != kSynthesizerGroup) {
        log("readSysex", 269, "Expected group to be 0x00 (Synthesizer group) but got ", m[4]);
        return false;
    }
    if (m[5] != kK1MachineId) {
        log("readSysex", 275, "Expected machine ID to be 0x03 but got ", m[5]);
        return false;
    }
    return true;
}

void logWriteResult(unsigned char function) {
    if (function == kWriteError) log("readSysex", 322, "Got Sysex stating Write Error");
    if (function == kWriteErrorNoCard) log("readSysex", 328, "Got Sysex stating Write Error No Card");
    if (function == kWriteErrorProtected) log("readSysex", 334, "Got Sysex stating Write Error Protected");
}

// Sub-command 2 below 40h asks for Singles, from 40h on for Multis.
void readRequest(Sysex::SysexResult& result, unsigned char function, unsigned char sub1, unsigned char sub2) {
    const bool singles = sub2 < 0x40;
    if (function == kOneBlockRequest) {
        if (singles)
            result.singleRequests.push_back(sub1 * uint64_t{kSinglesPerBank} + sub2);
        else
            result.multiRequests.push_back(sub1 * uint64_t{kMultisPerBank} + (sub2 - 0x40));
    } else if (singles) {
        result.allSinglesRequested = true;
        result.firstSingle = sub1 * uint64_t{kSinglesPerBank} + sub2;
    } else {
        result.allMultisRequested = true;
        result.firstMulti = sub1 * uint64_t{kMultisPerBank};
    }
}

// The whole records of a dump's data; a partial record at its end is counted, never read.
template <typename Preset>
bool readRecords(std::vector<Preset>& presets, std::vector<uint64_t>& slots, uint64_t& records,
                 const unsigned char* data, unsigned long size, unsigned long recordSize,
                 bool (*read)(Preset&, const unsigned char*)) {
    bool intact = true;
    for (unsigned long k = 0; recordSize * (k + 1) <= size; ++k) {
        const uint64_t slot = records++;
        Preset preset{};
        const unsigned char* record = data + recordSize * k;
        // Every byte of a K1 record is 7-bit; a real-time byte among them is damage that the
        // 7-bit checksum cannot see.
        if (std::any_of(record, record + recordSize, [](unsigned char b) { return b >= 0x80; }) ||
            !read(preset, record)) {
            intact = false;
            continue;
        }
        presets.push_back(preset);
        slots.push_back(slot);
    }
    if (size % recordSize == 0) return intact;
    ++records;
    return false;
}

unsigned long recordsIn(unsigned long size, unsigned long recordSize) {
    return (size + recordSize - 1) / recordSize;
}

// Which kind of records a dump carries: sub-command 2 says, unless the whole dump's length holds
// only whole records of the other kind, which shows sub-command 2 itself is damaged.
bool holdsSingles(const unsigned char* m, unsigned long payload, bool cutOff) {
    const unsigned long size = payload > 8 && !cutOff ? payload - 8 : 0;
    const bool singlesFit = size % kSingleRecordSize == 0;
    const bool multisFit = size % kMultiRecordSize == 0;
    if (size > 0 && singlesFit != multisFit) return singlesFit;
    return payload < 8 || m[7] < 0x40;
}

// A message refused before its records were reached (its refusal is logged) counts as a damaged
// dump when it was cut off or its length is that of a dump. The records it held, by its length, keep their
// places, so the dumps after it land where the file has them.
void countRefusedDump(Sysex::SysexResult& result, const unsigned char* m, unsigned long length) {
    const unsigned long payload = payloadLength(m, length);
    const bool cutOff = m[length - 1] != kSysexEnd;
    const unsigned long size = payload > 8 ? payload - 8 : 0;
    const bool dumpLength = size > 0 && (size % kSingleRecordSize == 0 || size % kMultiRecordSize == 0);
    if (!cutOff && !dumpLength) return; // another kind of message
    ++result.damagedDumps;
    if (holdsSingles(m, payload, cutOff))
        result.singleRecords += recordsIn(size, kSingleRecordSize);
    else
        result.multiRecords += recordsIn(size, kMultiRecordSize);
}

Sysex::ParameterChange readParameterChange(const unsigned char* m) {
    namespace F = paramsendlayout;
    Sysex::ParameterChange change;
    change.cursor = static_cast<uint8_t>(getField(m, F::Cursor));
    change.source = static_cast<uint8_t>(getField(m, F::Source));
    change.value = static_cast<uint8_t>(getField(m, F::ValueLow) | getField(m, F::ValueHigh) << 7);
    return change;
}

// A dump cut off or ending in a partial record is damaged as a whole, whatever its records gave.
bool finishDump(Sysex::SysexResult& result, bool intact, bool cutOff, unsigned long size,
                unsigned long recordSize) {
    if (!cutOff && size % recordSize == 0) return intact;
    if (!cutOff) log("readSysex", 384, "Dump ends inside a record");
    ++result.damagedDumps;
    return false;
}

// As many whole records as follow the sub-commands. A record that cannot be read fails the
// message, but only its own slot stays empty: the records after it are read in their places. A
// dump cut off (no F7h) or ending in a partial record fails too, after its whole records.
bool readDump(Sysex::SysexResult& result, const unsigned char* m, unsigned long length,
              unsigned char function) {
    const unsigned long payload = payloadLength(m, length);
    const bool cutOff = m[length - 1] != kSysexEnd;
    if (holdsSingles(m, payload, cutOff) != (m[7] < 0x40)) {
        log("readSysex", 380, "Subcommand 2 ", m[7], " does not match the dump's length ", length);
        return false;
    }
    if (cutOff) log("readSysex", 382, "Dump cut off after ", length, " bytes");
    const unsigned char sub1 = m[6];
    const unsigned char sub2 = m[7];
    unsigned char bank = sub1;
    if (bank >= 2) {
        bank &= 1;
        log("readSysex", 342, "Expected subcommand 1 to be 0=intern or 1=extern but got ", sub1,
            ", treating as ", bank);
    }
    if (sub2 < 0x40) {
        result.firstSingle = bank * uint64_t{kSinglesPerBank} + sub2;
        if (function == kAllBlockDump && sub2 != 0x00 && sub2 != 0x20) {
            log("readSysex", 386, "Invalid subcommand 2, needs to be 00h, 20h or 40h but got ", sub2);
            return false;
        }
        const bool intact =
            readRecords<SinglePreset>(result.singles, result.singleSlots, result.singleRecords, m + 8,
                                      payload - 8, kSingleRecordSize, readSingle);
        return finishDump(result, intact, cutOff, payload - 8, kSingleRecordSize);
    }
    result.firstMulti = bank * uint64_t{kMultisPerBank} + (sub2 - 0x40);
    const bool intact = readRecords<MultiPreset>(result.multis, result.multiSlots, result.multiRecords, m + 8,
                                                 payload - 8, kMultiRecordSize, readMulti);
    return finishDump(result, intact, cutOff, payload - 8, kMultiRecordSize);
}

} // namespace

namespace {

bool readMessage(Sysex::SysexResult& result, const unsigned char* m, unsigned long length,
                 unsigned char channelFilter) {
    const unsigned long available = payloadLength(m, length);
    if (!checkAddress(m, length, available, channelFilter)) return false;
    result.channel = m[2];
    const unsigned char function = m[3];
    if (function == kMachineIdRequest) {
        result.machineIdRequest = true;
        return true;
    }
    if (!checkMachine(m, length, available)) return false;
    switch (function) {
    case kWriteComplete:
    case kWriteError:
    case kWriteErrorNoCard:
    case kWriteErrorProtected:
        logWriteResult(function);
        return true;
    case kOneBlockRequest:
    case kAllBlockRequest:
        if (tooShort(available, 8, length)) return false;
        readRequest(result, function, m[6], m[7]);
        return true;
    case kParameterSend:
        if (tooShort(available, 9, length)) return false;
        result.parameterChanges.push_back(readParameterChange(m));
        return true;
    case kOneBlockDump:
    case kAllBlockDump:
        if (tooShort(available, 8, length)) return false;
        return readDump(result, m, length, function);
    default:
        log("readSysex", 391,
            "Invalid function, expected all block data dump (21h) or single block data dump (20h) but got ",
            function);
        return false;
    }
}

enum class MessageRead { Read, Skipped, Refused, Damaged };

// One message; a message refused before its records counts as a damaged dump where its length
// says it was one.
MessageRead readOne(Sysex::SysexResult& result, const unsigned char* m, unsigned long length,
                    unsigned char channelFilter) {
    const uint64_t singles = result.singleRecords;
    const uint64_t multis = result.multiRecords;
    if (readMessage(result, m, length, channelFilter)) return MessageRead::Read;
    // A message that another channel's filter skipped is not damaged.
    if (channelFilter < kMidiChannelCount && length > 2 && m[2] < kMidiChannelCount && m[2] != channelFilter)
        return MessageRead::Skipped;
    if (singles != result.singleRecords || multis != result.multiRecords) return MessageRead::Damaged;
    if (length > 0 && m[0] == kSysexStart) countRefusedDump(result, m, length);
    return MessageRead::Refused;
}

// A stray status byte or F7h cut the dump off; the bytes after it up to the dump's own F7h were
// lost with it but still tell how many records the dump held. `payload` runs from its F0h to
// before its F7h, where its F7h may itself be lost: the count is rounded to the nearest record.
void countLostRecords(Sysex::SysexResult& result, uint64_t singles, uint64_t multis, unsigned long payload) {
    const unsigned long size = payload > 8 ? payload - 8 : 0;
    auto nearest = [size](unsigned long recordSize) { return (size + recordSize / 2) / recordSize; };
    if (result.singleRecords != singles)
        result.singleRecords = std::max<uint64_t>(result.singleRecords, singles + nearest(kSingleRecordSize));
    if (result.multiRecords != multis)
        result.multiRecords = std::max<uint64_t>(result.multiRecords, multis + nearest(kMultiRecordSize));
}

// A complete dump whose records do not fill it: an F7h may have taken the place of a data byte.
bool endsInsideRecord(const Sysex::SysexResult& result, uint64_t singles, unsigned long length) {
    const unsigned long size = length > 9 ? length - 9 : 0;
    return size % (result.singleRecords != singles ? kSingleRecordSize : kMultiRecordSize) != 0;
}

} // namespace

bool Sysex::readSysex(SysexResult& result, const unsigned char* m, unsigned long length,
                      unsigned char channelFilter) {
    return readOne(result, m, length, channelFilter) == MessageRead::Read;
}

bool Sysex::readBuffer(SysexResult& result, const std::vector<unsigned char>& bytes,
                       unsigned char channelFilter) {
    bool any = false;
    bool afterCut = false; // this message's F0h ended a damaged dump before its F7h
    const size_t size = bytes.size();
    for (size_t start = 0; start < size;) {
        if (bytes[start] != kSysexStart) {
            ++start;
            continue;
        }
        size_t end = start + 1;
        while (end < size && (bytes[end] < 0x80 || bytes[end] >= kFirstRealTime))
            ++end;
        const bool complete = end < size && bytes[end] == kSysexEnd;
        const unsigned char* message = bytes.data() + start;
        const unsigned long length = end - start + (complete ? 1 : 0);
        const uint64_t singles = result.singleRecords;
        const uint64_t multis = result.multiRecords;
        const MessageRead read = readOne(result, message, length, channelFilter);
        any |= read == MessageRead::Read;
        const bool counted = singles != result.singleRecords || multis != result.multiRecords;
        size_t next = complete ? end + 1 : end;
        // The data bytes after a stray status byte, and those up to any F7h that follows before
        // the next F0h, are the lost rest of a damaged message: they still count for the records a
        // dump held.
        bool lost = false;
        for (size_t rest = next;; rest = next) {
            while (rest < size && bytes[rest] != kSysexStart && bytes[rest] != kSysexEnd)
                ++rest;
            const bool closed = rest < size && bytes[rest] == kSysexEnd;
            if (closed || (!complete && !lost)) {
                lost |= closed || rest > next;
                next = rest + (closed ? 1 : 0);
            }
            if (!closed) break;
        }
        if (lost && counted)
            countLostRecords(result, singles, multis, next - start - (bytes[next - 1] == kSysexEnd ? 1 : 0));
        const bool brokenOff = lost || !complete || (counted && endsInsideRecord(result, singles, length));
        // A refused message where a damaged dump broke off, or a damaged one that cannot say what
        // it was: where the rest of the dump went is unknown, and so is where the records after it
        // belong.
        if (read == MessageRead::Refused && (afterCut || (brokenOff && !counted))) {
            log("readSysex", 402, "Records after a damaged dump of unknown length are skipped");
            ++result.damagedDumps;
            break;
        }
        afterCut = brokenOff && next < size && bytes[next] == kSysexStart;
        start = next;
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

} // namespace k1lib
