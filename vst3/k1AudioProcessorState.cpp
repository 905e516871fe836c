// The state the host saves with a project: the engine's record wrapped in a version and the bank
// sizes, so that a project made with other banks is refused before the engine sees it. One state
// serves the component and the controller faces.
//
// Little-endian, no padding: int32 version (1 written; 0 and 1 read), uint64 Single count,
// uint64 Multi count, uint64 N, then the N bytes of the engine's record. Nothing is logged here:
// the engine logs its own refusals.
#include <algorithm>
#include <vector>

#include "log/Log.h"
#include "pluginterfaces/base/ibstream.h"
#include "vst3/k1AudioProcessor.h"

using namespace Steinberg;

namespace {

constexpr int32 g_vst3_stateVersion = 1;
constexpr size_t kHeaderSize = 28;
// A real engine record is about 116 KB: a length far beyond it is damage and is never reserved.
constexpr uint64_t kMaxEngineRecord = 16u << 20;
constexpr uint64_t kChunk = 64u << 10;

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

// Moves up to size bytes in as many calls as the stream needs (a stream may take or give less
// per call); returns how many moved before the stream failed or stopped.
template <typename Call> uint64_t transfer(unsigned char* bytes, uint64_t size, Call call) {
    uint64_t done = 0;
    while (done < size) {
        const auto want = static_cast<int32>(std::min(size - done, kChunk));
        int32 moved = 0;
        const tresult result = call(bytes + done, want, &moved);
        if (moved > 0) done += static_cast<uint64_t>(std::min(moved, want));
        if (result != kResultOk || moved <= 0) break;
    }
    return done;
}

uint64_t readBytes(IBStream& stream, unsigned char* out, uint64_t size) {
    return transfer(out, size,
                    [&](unsigned char* at, int32 want, int32* got) { return stream.read(at, want, got); });
}

bool writeBytes(IBStream& stream, const unsigned char* in, uint64_t size) {
    // IBStream::write takes a non-const buffer but only reads it.
    return transfer(const_cast<unsigned char*>(in), size, [&](unsigned char* at, int32 want, int32* put) {
               return stream.write(at, want, put);
           }) == size;
}

bool readNumber(IBStream& stream, uint64_t& value) {
    unsigned char bytes[8];
    if (readBytes(stream, bytes, sizeof bytes) != sizeof bytes) return false;
    value = getLittleEndian(bytes, sizeof bytes);
    return true;
}

// The storage grows only with the bytes that arrive, so an untrusted length reserves nothing.
bool readRecord(IBStream& stream, uint64_t length, std::vector<unsigned char>& record) {
    if (length > kMaxEngineRecord) return false;
    while (record.size() < length) {
        const size_t at = record.size();
        const auto want = static_cast<size_t>(std::min(kChunk, length - at));
        record.resize(at + want);
        if (readBytes(stream, record.data() + at, want) != want) return false;
    }
    return true;
}

} // namespace

tresult PLUGIN_API k1AudioProcessor::getState(IBStream* state) {
    onHostCall();
    if (!state) return kResultFalse;
    std::vector<unsigned char> record;
    if (!plugin.getState(record)) {
        k1lib::log("getState", 87, "The engine's state could not be saved");
        return kResultFalse;
    }
    unsigned char header[kHeaderSize];
    putLittleEndian(header, static_cast<uint32_t>(g_vst3_stateVersion), 4);
    putLittleEndian(header + 4, plugin.getSingleCount(), 8);
    putLittleEndian(header + 12, plugin.getMultiCount(), 8);
    putLittleEndian(header + 20, record.size(), 8);
    // A stream that took less would hold a project that cannot be loaded: the host must hear it.
    return writeBytes(*state, header, kHeaderSize) && writeBytes(*state, record.data(), record.size())
               ? kResultOk
               : kResultFalse;
}

tresult PLUGIN_API k1AudioProcessor::setState(IBStream* state) {
    if (!state) return kResultFalse;
    replayExpected = true; // the host's replay of the project's controller values follows
    unsigned char version[4];
    const uint64_t got = readBytes(*state, version, sizeof version);
    if (got == 0) return kResultOk; // nothing to restore
    // A version cut short is damage; a negative one reads as a large unsigned number.
    if (got < sizeof version || getLittleEndian(version, sizeof version) > g_vst3_stateVersion)
        return kResultFalse;
    uint64_t singles = 0;
    uint64_t multis = 0;
    uint64_t length = 0;
    if (!readNumber(*state, singles) || !readNumber(*state, multis) || singles != plugin.getSingleCount() ||
        multis != plugin.getMultiCount() || !readNumber(*state, length))
        return kResultFalse;
    std::vector<unsigned char> record;
    if (!readRecord(*state, length, record)) return kResultFalse;
    // Some hosts load the state back after every "values changed": what the instrument already
    // holds is no change, and the notes keep sounding.
    std::vector<unsigned char> current;
    if (plugin.getState(current) && current == record) {
        onHostCall();
        return kResultOk;
    }
    // The facade refuses an empty record; the engine checks the whole record before it changes anything.
    if (!plugin.setState(record)) return kResultFalse;
    // The host re-reads the values that changed, then hears them with the next blocks.
    delayHostValuesRefresh();
    onHostCall();
    return kResultOk;
}
