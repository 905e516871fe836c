// Arbitrary bytes through the buffer reader; every record it accepts must write to 7-bit
// bytes and read back equal.
#include <cstdlib>
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
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    k1lib::setLogSink(&quiet);
    const std::vector<unsigned char> bytes(data, data + size);
    k1lib::Sysex::SysexResult result;
    k1lib::Sysex::readBuffer(result, bytes, 255);
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
