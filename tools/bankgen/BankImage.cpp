#include "tools/bankgen/BankImage.h"

#include <set>
#include <stdexcept>

#include "k1lib/records/Sysex.h"
#include "log/Log.h"
#include "tools/bankgen/NameBook.h"

namespace bankgen {
namespace {

using k1lib::Sysex;

constexpr size_t kGroupSize = 32;

void append(std::vector<unsigned char>& image, const std::vector<unsigned char>& message) {
    image.insert(image.end(), message.begin(), message.end());
}

// The PHm keeps a Single as the record's bytes 10-21 and 23-86: no name, no mute byte, no checksum.
std::vector<unsigned char> phmPreset(const k1lib::SinglePreset& single) {
    unsigned char record[k1lib::kSingleRecordSize];
    if (!k1lib::writeSingle(record, single))
        k1lib::log("phmPreset", 24, "Single '", single.name, "' out of range");
    std::vector<unsigned char> data(record + 10, record + 22);
    data.insert(data.end(), record + 23, record + 87);
    return data;
}

std::vector<std::string> g_captured;
void captureLine(const std::string& line) {
    g_captured.push_back(line);
}

std::string checkBytes(const std::vector<unsigned char>& image) {
    bool inside = false;
    for (const unsigned char b : image) {
        if (b == k1lib::kSysexStart) {
            if (inside) return "F0h inside a message";
            inside = true;
        } else if (b == k1lib::kSysexEnd) {
            inside = false;
        } else if (!inside || b >= 0x80) {
            return "byte outside a message or above 7Fh";
        }
    }
    return inside ? "unterminated message" : "";
}

std::string checkSections(const Bank& bank) {
    for (const k1lib::MultiPreset& multi : bank.multis) {
        bool anyPlays = false;
        for (const k1lib::MultiSection& s : multi.sections) {
            if (s.single >= bank.singles.size() || s.zoneLow > s.zoneHigh || s.zoneHigh > 127)
                return std::string("invalid section in Multi ") + multi.name;
            anyPlays |= s.poly != 1;
        }
        if (!anyPlays) return std::string("silent Multi ") + multi.name;
    }
    return "";
}

} // namespace

std::vector<unsigned char> encodeBank(const Bank& bank) {
    std::vector<unsigned char> image;
    std::vector<unsigned char> message;
    if (bank.phm) {
        for (size_t i = 0; i < bank.singles.size(); ++i) {
            const std::vector<unsigned char> data = phmPreset(bank.singles[i]);
            if (!Sysex::convertPhmPreset(message, 0, static_cast<unsigned char>(i % 64), bank.singles[i].name,
                                         data.data(), data.size()))
                throw std::runtime_error("PHm preset not written");
            append(image, message);
        }
        return image;
    }
    const std::vector<k1lib::SinglePreset> first(bank.singles.begin(), bank.singles.begin() + kGroupSize);
    const std::vector<k1lib::SinglePreset> second(bank.singles.begin() + kGroupSize, bank.singles.end());
    if (!Sysex::writeSingles(message, first, 0, k1lib::StorageI, 0))
        throw std::runtime_error("Singles not written");
    append(image, message);
    if (!Sysex::writeSingles(message, second, 0, k1lib::Storagei, 0))
        throw std::runtime_error("Singles not written");
    append(image, message);
    if (!Sysex::writeMultis(message, bank.multis, 0, k1lib::StorageI, 0))
        throw std::runtime_error("Multis not written");
    append(image, message);
    return image;
}

std::string verifyBank(const Bank& bank, const std::vector<unsigned char>& image) {
    const size_t singles = bank.phm ? 200 : 64;
    const size_t multis = bank.phm ? 0 : 32;
    if (bank.singles.size() != singles || bank.multis.size() != multis) return "wrong number of presets";
    if (image.size() != (bank.phm ? 200 * 97u : 2 * 2825u + 2441u)) return "wrong image size";
    if (std::string fault = checkBytes(image); !fault.empty()) return fault;
    if (std::string fault = checkSections(bank); !fault.empty()) return fault;

    g_captured.clear();
    const k1lib::LogSink previous = k1lib::setLogSink(captureLine);
    Sysex::SysexResult result;
    const bool read = Sysex::readBuffer(result, image, 255);
    k1lib::setLogSink(previous);
    if (!read || !g_captured.empty())
        return "decoding logged: " + (g_captured.empty() ? "" : g_captured.front());
    if (result.singles.size() != singles || result.multis.size() != multis) return "decoded the wrong count";
    for (size_t i = 0; i < singles; ++i) {
        if (!(result.singles[i] == bank.singles[i]))
            return std::string("Single differs: ") + bank.singles[i].name;
        if (!isDisplayableName(bank.singles[i].name)) return std::string("bad name: ") + bank.singles[i].name;
    }
    for (size_t i = 0; i < multis; ++i) {
        if (!k1lib::sameMulti(result.multis[i], bank.multis[i]))
            return std::string("Multi differs: ") + bank.multis[i].name;
        if (!isDisplayableName(bank.multis[i].name)) return std::string("bad name: ") + bank.multis[i].name;
    }
    return "";
}

std::string verifyUniqueNames(const std::vector<Bank>& banks) {
    std::set<std::string> names;
    for (const Bank& bank : banks) {
        for (const k1lib::SinglePreset& single : bank.singles)
            if (!names.insert(single.name).second) return std::string("name used twice: ") + single.name;
        for (const k1lib::MultiPreset& multi : bank.multis)
            if (!names.insert(multi.name).second) return std::string("name used twice: ") + multi.name;
    }
    return "";
}

} // namespace bankgen
