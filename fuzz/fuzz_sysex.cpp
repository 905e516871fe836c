// Arbitrary bytes through the buffer reader; every record it accepts must write to 7-bit
// bytes and read back equal, must be the record that some run of 7-bit input bytes gives (never
// one made of bytes around a status byte), and the records keep their order in the input.
#include <cstdlib>
#include <set>
#include <vector>

#include "k1lib/records/Sysex.h"
#include "log/Log.h"

namespace {
void quiet(const std::string&) {}
bool sevenBit(const std::vector<unsigned char>& m) {
    for (size_t i = 1; i + 1 < m.size(); ++i)
        if (m[i] >= 0x80) return false;
    return true;
}

// The records, as our writer makes them, that every run of `size` 7-bit input bytes with a valid
// checksum decodes to.
template <typename Preset>
std::set<std::vector<unsigned char>> recordsIn(const std::vector<unsigned char>& in, size_t size,
                                               bool (*read)(Preset&, const unsigned char*),
                                               bool (*write)(unsigned char*, const Preset&)) {
    std::set<std::vector<unsigned char>> records;
    size_t sevenBitRun = 0;
    for (size_t end = 0; end < in.size(); ++end) {
        sevenBitRun = in[end] < 0x80 ? sevenBitRun + 1 : 0;
        if (sevenBitRun < size) continue;
        Preset preset{};
        std::vector<unsigned char> record(size);
        if (read(preset, in.data() + end + 1 - size) && write(record.data(), preset)) records.insert(record);
    }
    return records;
}

template <typename Preset>
void expectFromInput(const std::vector<Preset>& presets, const std::vector<uint64_t>& slots,
                     const std::vector<unsigned char>& in, size_t size,
                     bool (*read)(Preset&, const unsigned char*),
                     bool (*write)(unsigned char*, const Preset&)) {
    if (presets.empty()) return;
    const std::set<std::vector<unsigned char>> records = recordsIn(in, size, read, write);
    std::vector<unsigned char> record(size);
    for (size_t k = 0; k < presets.size(); ++k) {
        if (!write(record.data(), presets[k]) || records.count(record) == 0) std::abort();
        if (k > 0 && slots[k] <= slots[k - 1]) std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    k1lib::setLogSink(&quiet);
    const std::vector<unsigned char> bytes(data, data + size);
    k1lib::Sysex::SysexResult result;
    k1lib::Sysex::readBuffer(result, bytes, 255);
    expectFromInput(result.singles, result.singleSlots, bytes, k1lib::kSingleRecordSize, k1lib::readSingle,
                    k1lib::writeSingle);
    expectFromInput(result.multis, result.multiSlots, bytes, k1lib::kMultiRecordSize, k1lib::readMulti,
                    k1lib::writeMulti);
    for (const k1lib::SinglePreset& single : result.singles) {
        std::vector<unsigned char> out;
        if (!k1lib::Sysex::writeSingle(out, single, 0, k1lib::StorageI, 0) || !sevenBit(out)) std::abort();
        k1lib::Sysex::SysexResult again;
        if (!k1lib::Sysex::readBuffer(again, out, 255) || again.singles.size() != 1 ||
            !(again.singles[0] == single))
            std::abort();
    }
    for (const k1lib::MultiPreset& multi : result.multis) {
        std::vector<unsigned char> out;
        if (!k1lib::Sysex::writeMulti(out, multi, 0, k1lib::StorageI, 0) || !sevenBit(out)) std::abort();
        k1lib::Sysex::SysexResult again;
        if (!k1lib::Sysex::readBuffer(again, out, 255) || again.multis.size() != 1 ||
            !k1lib::sameMulti(again.multis[0], multi))
            std::abort();
    }
    return 0;
}
