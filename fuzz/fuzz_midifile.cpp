// Arbitrary bytes as a Standard MIDI File: the walk must stay inside the bytes and end.
#include <cstring>
#include <vector>

#include "k1lib/records/MidiToSysex.h"
#include "log/Log.h"

namespace {
void quiet(const std::string&) {}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    k1lib::setLogSink(&quiet);
    std::vector<unsigned char> out;
    const bool whole = k1lib::MidiToSysex::readBytes(out, std::vector<unsigned char>(data, data + size));
    if (out.size() > size) __builtin_trap(); // nothing is invented
    // Only a file that starts with its header chunk is taken whole.
    if (whole && (size < 4 || std::memcmp(data, "MThd", 4) != 0)) __builtin_trap();
    return 0;
}
