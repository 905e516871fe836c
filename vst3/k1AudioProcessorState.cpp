// The state the host saves with a project: a version and the bank sizes around the engine's
// own record, little-endian. One state serves the component and the controller faces.
#include <algorithm>
#include <vector>

#include "Log.h"
#include "k1AudioProcessor.h"
#include "pluginterfaces/base/ibstream.h"

using namespace Steinberg;

namespace {

constexpr int32 g_vst3_stateVersion = 1;
constexpr size_t kHeaderSize = 28;
// The engine's record is about 120 KB; a length far beyond it is damage, not a project.
constexpr uint64_t kMaxEngineRecord = 64u << 20;
constexpr int32 kReadChunk = 64 << 10;

void putLittleEndian(unsigned char* out, uint64_t value, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i)
        out[i] = static_cast<unsigned char>(value >> (8 * i));
}

uint64_t getLittleEndian(const unsigned char* in, size_t bytes) {
    uint64_t value = 0;
    for (size_t i = 0; i < bytes; ++i)
        value |= static_cast<uint64_t>(in[i]) << (8 * i);
    return value;
}

// How many of `size` bytes the stream delivered; 0 when it reports an error.
int32 readBytes(IBStream& stream, unsigned char* out, int32 size) {
    int32 got = 0;
    if (stream.read(out, size, &got) != kResultOk || got < 0) return 0;
    return std::min(got, size);
}

bool readNumber(IBStream& stream, uint64_t& value) {
    unsigned char bytes[8];
    if (readBytes(stream, bytes, 8) != 8) return false;
    value = getLittleEndian(bytes, 8);
    return true;
}

} // namespace

tresult PLUGIN_API k1AudioProcessor::getState(IBStream* state) {
    std::vector<unsigned char> record;
    if (!state || !plugin.getState(record) || record.size() > kMaxEngineRecord) {
        k1lib::log("getState", 188, "No state to save");
        return kResultFalse;
    }
    std::vector<unsigned char> bytes(kHeaderSize);
    putLittleEndian(bytes.data(), static_cast<uint32_t>(g_vst3_stateVersion), 4);
    putLittleEndian(bytes.data() + 4, plugin.getSingleCount(), 8);
    putLittleEndian(bytes.data() + 12, plugin.getMultiCount(), 8);
    putLittleEndian(bytes.data() + 20, record.size(), 8);
    bytes.insert(bytes.end(), record.begin(), record.end());
    int32 written = 0;
    const auto size = static_cast<int32>(bytes.size());
    if (state->write(bytes.data(), size, &written) != kResultOk || written != size) {
        k1lib::log("getState", 201, "The host's stream took ", written, " of ", size, " bytes");
        return kResultFalse;
    }
    return kResultOk;
}

tresult PLUGIN_API k1AudioProcessor::setState(IBStream* state) {
    if (!state) return kResultFalse;
    unsigned char version[4];
    const int32 got = readBytes(*state, version, 4);
    if (got == 0) return kResultOk; // nothing to restore
    if (got < 4 || getLittleEndian(version, 4) > static_cast<uint32_t>(g_vst3_stateVersion)) {
        k1lib::log("setState", 221, "Unknown state version");
        return kResultFalse;
    }
    uint64_t singles = 0, multis = 0, length = 0;
    if (!readNumber(*state, singles) || !readNumber(*state, multis) || !readNumber(*state, length)) {
        k1lib::log("setState", 226, "The state ends inside its header");
        return kResultFalse;
    }
    if (singles != plugin.getSingleCount() || multis != plugin.getMultiCount()) {
        k1lib::log("setState", 230, "The state holds ", singles, " Singles and ", multis,
                   " Multis, expected ", plugin.getSingleCount(), " and ", plugin.getMultiCount());
        return kResultFalse;
    }
    if (length == 0 || length > kMaxEngineRecord) {
        k1lib::log("setState", 235, "Implausible engine record length ", length);
        return kResultFalse;
    }
    // Read in chunks: the length comes from the file, the storage only grows with what arrives.
    std::vector<unsigned char> record;
    while (record.size() < length) {
        const auto want = static_cast<int32>(std::min<uint64_t>(kReadChunk, length - record.size()));
        const size_t at = record.size();
        record.resize(at + static_cast<size_t>(want));
        const int32 chunk = readBytes(*state, record.data() + at, want);
        if (chunk != want) {
            k1lib::log("setState", 246, "The state ends after ", at + static_cast<size_t>(chunk), " of ",
                       length, " engine record bytes");
            return kResultFalse;
        }
    }
    return plugin.setState(record) ? kResultOk : kResultFalse;
}
