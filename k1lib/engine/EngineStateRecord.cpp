#include "k1lib/engine/EngineStateRecord.h"

#include <algorithm>
#include <cstring>

#include "k1lib/records/FactoryData.h"
#include "k1lib/records/Sysex.h"
#include "log/Log.h"

namespace k1lib {
namespace {

using Config = Engine::Config;

struct ConfigField {
    uint32_t Config::*member;
    const char* name;
    uint32_t max;
};

// The record's order of the settings, with the largest value each may take.
constexpr ConfigField kConfigFields[] = {
    {&Config::midiReceiveChannel, "midiReceiveChannel", 15},
    {&Config::omni, "omni", 1},
    {&Config::midiReceiveProgramChange, "midiReceiveProgramChange", 2},
    {&Config::midiReceivePressure, "midiReceivePressure", 1},
    {&Config::midiReceivePitchBend, "midiReceivePitchBend", 1},
    {&Config::midiReceiveModWheel, "midiReceiveModWheel", 1},
    {&Config::midiReceiveVolume, "midiReceiveVolume", 1},
    {&Config::midiReceiveHoldPedal, "midiReceiveHoldPedal", 1},
    {&Config::midiReceiveVelocity, "midiReceiveVelocity", 1},
    {&Config::midiReceiveSysEx, "midiReceiveSysEx", 1},
    {&Config::midiReceivePan, "midiReceivePan", 1},
    {&Config::midiSendSysex, "midiSendSysex", 1},
    {&Config::audioOutputMode, "audioOutputMode", 1},
};
static_assert(sizeof(kConfigFields) / sizeof(kConfigFields[0]) * 4 == EngineStateRecord::kConfigSize);

void putU32(std::vector<unsigned char>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

uint32_t getU32(const unsigned char* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// Appends the records as dumps of at most kRecordsPerDump, alternating the two halves of a location, then
// the total size in front of them.
template <typename Record, typename Writer>
void putDumps(std::vector<unsigned char>& out, const std::vector<Record>& records, Writer writeRun) {
    std::vector<unsigned char> messages;
    std::vector<unsigned char> message;
    for (size_t first = 0, run = 0; first < records.size(); first += kRecordsPerDump, ++run) {
        const auto begin = records.begin() + static_cast<std::ptrdiff_t>(first);
        const std::vector<Record> chunk(begin, begin + static_cast<std::ptrdiff_t>(std::min<size_t>(
                                                           kRecordsPerDump, records.size() - first)));
        if (writeRun(message, chunk, 0, (run & 1) != 0 ? Storagei : StorageI, 0))
            messages.insert(messages.end(), message.begin(), message.end());
    }
    putU32(out, static_cast<uint32_t>(messages.size()));
    out.insert(out.end(), messages.begin(), messages.end());
}

// A block of the record: the K1 messages of one bank.
struct Span {
    const unsigned char* bytes = nullptr;
    uint64_t size = 0;
};

// Reads the record front to back; every read checks that the record still holds the bytes and
// logs which field it ends in when it does not.
class RecordReader {
public:
    explicit RecordReader(const std::vector<unsigned char>& in) : m_input(in) {}

    bool take(uint64_t size, const unsigned char*& bytes, const char* field) {
        if (size > m_input.size() - m_position) {
            log("loadState", 830, "Unable to restore state, the record ends inside the ", field);
            return false;
        }
        bytes = m_input.data() + m_position;
        m_position += static_cast<size_t>(size);
        return true;
    }
    bool u32(uint32_t& value, const char* field) {
        const unsigned char* bytes = nullptr;
        if (!take(4, bytes, field)) return false;
        value = getU32(bytes);
        return true;
    }
    // An index: u64 in version 3, of which only the low 32 bits count; u32 otherwise.
    bool index(uint64_t& value, uint32_t version, const char* field) {
        const unsigned char* bytes = nullptr;
        if (!take(version == 3 ? 8 : 4, bytes, field)) return false;
        value = getU32(bytes);
        return true;
    }
    bool span(uint64_t size, Span& out, const char* field) {
        out.size = size;
        return take(size, out.bytes, field);
    }
    // A u32 size, then that many bytes.
    bool sizedSpan(Span& out, const char* sizeField, const char* field) {
        uint32_t size = 0;
        return u32(size, sizeField) && span(size, out, field);
    }
    uint64_t remaining() const { return m_input.size() - m_position; }

private:
    const std::vector<unsigned char>& m_input;
    size_t m_position = 0;
};

// Overwrites the first size bytes of the settings' little-endian form with the saved ones.
void overwriteConfig(Config& config, const unsigned char* bytes, uint32_t size) {
    unsigned char raw[EngineStateRecord::kConfigSize];
    for (size_t f = 0; f < std::size(kConfigFields); ++f) {
        const uint32_t value = config.*kConfigFields[f].member;
        for (size_t b = 0; b < 4; ++b)
            raw[4 * f + b] = static_cast<unsigned char>(value >> (8 * b));
    }
    std::memcpy(raw, bytes, std::min(size, EngineStateRecord::kConfigSize));
    for (size_t f = 0; f < std::size(kConfigFields); ++f)
        config.*kConfigFields[f].member = getU32(raw + 4 * f);
}

bool validConfig(const Config& config) {
    for (const ConfigField& field : kConfigFields) {
        if (config.*field.member <= field.max) continue;
        log("loadState", 846, "Unable to restore state, setting ", field.name, " is ", config.*field.member,
            ", expected 0-", field.max);
        return false;
    }
    return true;
}

// Reads every K1 message of a block. A message that does not read, or one cut short, refuses the
// record: the dumps after it would land on the wrong presets.
bool readMessages(Sysex::SysexResult& result, const Span& block, const char* what) {
    const unsigned char* bytes = block.bytes;
    const uint64_t size = block.size;
    for (uint64_t start = 0; start < size; ++start) {
        if (bytes[start] != kSysexStart) continue;
        uint64_t end = start + 1;
        while (end < size && bytes[end] != kSysexEnd)
            ++end;
        if (end == size ||
            !Sysex::readSysex(result, bytes + start, static_cast<unsigned long>(end - start + 1), 255)) {
            log("loadState", 866, "Unable to restore state, a dump of the ", what, " does not read");
            return false;
        }
        start = end;
    }
    return true;
}

// The bank read, in order, cut to the factory size and completed from the factory set.
template <typename Record>
void completeBank(std::vector<Record>& bank, const std::vector<Record>& read,
                  const std::vector<Record>& factory, const char* what) {
    if (read.size() > factory.size())
        log("loadState", 872, "Ignoring ", read.size() - factory.size(), " ", what, " beyond the bank of ",
            factory.size());
    const size_t kept = std::min(read.size(), factory.size());
    bank.assign(read.begin(), read.begin() + static_cast<std::ptrdiff_t>(kept));
    bank.insert(bank.end(), factory.begin() + static_cast<std::ptrdiff_t>(kept), factory.end());
}

bool validIndex(uint64_t index, size_t count, const char* what) {
    if (index < count) return true;
    log("loadState", 880, "Unable to restore state, current ", what, " ", index, " is beyond the ", count,
        " ", what, "s");
    return false;
}

bool readSettings(EngineStateRecord& record, RecordReader& reader, uint32_t version) {
    uint32_t configSize = 0;
    const unsigned char* configBytes = nullptr;
    if (!reader.u32(configSize, "config size") || !reader.take(configSize, configBytes, "config"))
        return false;
    overwriteConfig(record.config, configBytes, configSize);
    if (!validConfig(record.config)) return false;

    uint32_t mode = PlayMode_Single;
    if (version >= 3 && !reader.u32(mode, "play mode")) return false;
    if (mode > PlayMode_Multi) {
        log("loadState", 852, "Unable to restore state, unknown play mode ", mode);
        return false;
    }
    record.playMode = static_cast<PlayMode>(mode);

    uint32_t count = 0;
    const unsigned char* values = nullptr;
    if (!reader.u32(count, "parameter count") || !reader.take(4ull * count, values, "parameter values"))
        return false;
    record.parameterValues.resize(std::min<uint32_t>(count, kParamCount));
    for (size_t p = 0; p < record.parameterValues.size(); ++p) {
        const uint32_t bits = getU32(values + 4 * p);
        std::memcpy(&record.parameterValues[p], &bits, sizeof bits);
        if (record.parameterValues[p] >= 0.0f && record.parameterValues[p] <= 1.0f)
            continue; // NaN fails here
        log("loadState", 860, "Unable to restore state, parameter ", p, " has the value ",
            record.parameterValues[p], ", expected 0-1");
        return false;
    }

    record.customData.clear();
    if (version < 2) return true;
    uint32_t size = 0;
    const unsigned char* bytes = nullptr;
    if (!reader.u32(size, "custom size") || !reader.take(size, bytes, "custom data")) return false;
    record.customData.assign(bytes, bytes + size);
    return true;
}

bool readPresetFields(EngineStateRecord& record, RecordReader& reader, uint32_t version, Span& singleDumps,
                      Span& multiDumps) {
    uint32_t unusedCount = 0;
    if (!reader.index(record.currentSingle, version, "current Single") ||
        !reader.u32(unusedCount, "Single count"))
        return false;
    if (version < 3) {
        // The Singles run to the end; there are no Multi fields.
        record.currentMulti = 0;
        return reader.span(reader.remaining(), singleDumps, "Singles");
    }
    return reader.sizedSpan(singleDumps, "Singles size", "Singles") &&
           reader.index(record.currentMulti, version, "current Multi") &&
           reader.u32(unusedCount, "Multi count") && reader.sizedSpan(multiDumps, "Multis size", "Multis");
}

} // namespace

void EngineStateRecord::write(std::vector<unsigned char>& out) const {
    putU32(out, kVersion);
    putU32(out, kConfigSize);
    for (const ConfigField& field : kConfigFields)
        putU32(out, config.*field.member);
    putU32(out, playMode);
    putU32(out, static_cast<uint32_t>(parameterValues.size()));
    for (float value : parameterValues) {
        uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        putU32(out, bits);
    }
    putU32(out, static_cast<uint32_t>(customData.size()));
    out.insert(out.end(), customData.begin(), customData.end());
    putU32(out, static_cast<uint32_t>(currentSingle));
    putU32(out, static_cast<uint32_t>(singles.size()));
    putDumps(out, singles, Sysex::writeSingles);
    putU32(out, static_cast<uint32_t>(currentMulti));
    putU32(out, static_cast<uint32_t>(multis.size()));
    putDumps(out, multis, Sysex::writeMultis);
}

bool EngineStateRecord::read(const std::vector<unsigned char>& in) {
    if (in.empty()) {
        log("loadState", 818, "Unable to restore state, the record is empty");
        return false;
    }
    RecordReader reader(in);
    uint32_t version = 0;
    if (!reader.u32(version, "version")) return false;
    if (version == 0 || version > kVersion) {
        log("loadState", 824, "Unable to restore state, unknown version number ", version);
        return false;
    }
    // The layout and every plain field first: the dumps are decoded only once all of it holds.
    Span singleDumps;
    Span multiDumps;
    initFactoryData();
    if (!readSettings(*this, reader, version) ||
        !readPresetFields(*this, reader, version, singleDumps, multiDumps) ||
        !validIndex(currentSingle, factorySingles.size(), "Single") ||
        !validIndex(currentMulti, factoryMultis.size(), "Multi"))
        return false;

    Sysex::SysexResult singlesRead;
    if (!readMessages(singlesRead, singleDumps, "Singles")) return false;
    completeBank(singles, singlesRead.singles, factorySingles, "Singles");
    multis.clear();
    if (version < 3) return true;
    Sysex::SysexResult multisRead;
    if (!readMessages(multisRead, multiDumps, "Multis")) return false;
    completeBank(multis, multisRead.multis, factoryMultis, "Multis");
    return true;
}

} // namespace k1lib
