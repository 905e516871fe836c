// Feeds arbitrary bytes to the WAV reader, both as they are and behind a valid RIFF/WAVE header (so
// the chunk walk sees them at once), and, when they parse as 8-bit mono, to the wave ROM walk.
#include "k1lib/voice/WavLoader.h"
#include "k1lib/voice/Waveforms.h"
#include "log/Log.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

void discard(const std::string&) {}

void loadAll(const uint8_t* bytes, size_t size) {
    static const auto waveforms = std::make_unique<k1lib::Waveforms>();
    k1lib::Data data;
    std::vector<k1lib::CuePoint> cues;
    if (!k1lib::WavLoader::load(data, &cues, bytes, size)) return;
    std::vector<float> floats;
    int rate = 0;
    // The same bytes parse the same way: converted, they keep the sample rate just read.
    if (k1lib::WavLoader::load(floats, rate, nullptr, bytes, size) &&
        rate != static_cast<int>(data.sampleRate))
        __builtin_trap();
    if (data.bitsPerSample == 8 && data.channels == 1 && !data.isFloat) waveforms->loadFromImage(bytes, size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    k1lib::setLogSink(discard);
    loadAll(bytes, size);
    std::vector<uint8_t> wrapped = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    wrapped.insert(wrapped.end(), bytes, bytes + size);
    loadAll(wrapped.data(), wrapped.size());
    return 0;
}
