// Sequences of parameter edits applied to a Single, which must still survive a dump: 7-bit bytes
// that read back into an equal record. Each 3-byte step is a received K1 parameter change
// (cursor, source, value), or, when the first byte has bit 7 set, an integer-path edit of the
// Single parameter (first byte & 7Fh) with a signed value.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "k1lib/params/ParameterConverter.h"
#include "k1lib/records/Sysex.h"

using namespace k1lib;

namespace {

void fail(const char* what) {
    std::fprintf(stderr, "fuzz_paramchange: %s\n", what);
    std::abort();
}

void applyStep(SinglePreset& single, const uint8_t* step) {
    if (step[0] & 0x80) {
        const int value = static_cast<int16_t>(step[1] << 8 | step[2]);
        // Refused or not, the steps after it check the Single the same way.
        (void)ParameterConverter::toSingle(single, static_cast<EParam>(step[0] & 0x7F), value);
        return;
    }
    const SinglePreset before = single;
    const Sysex::ParameterChange change{step[0], step[1], step[2]};
    if (!ParameterConverter::toSingle(single, change) && !(single == before))
        fail("refused change modified the Single");
    unsigned char sent = 0;
    if (ParameterConverter::fromSingle(sent, single, change.cursor, change.source) && sent >= 0x80 &&
        change.cursor != 35)
        fail("a sent value other than a wave number needs more than 7 bits");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SinglePreset single{};
    for (size_t i = 0; i + 3 <= size; i += 3)
        applyStep(single, data + i);

    std::array<unsigned char, kSingleRecordSize> record{};
    if (!writeSingle(record.data(), single)) fail("Single refused by the writer");
    for (unsigned char b : record)
        if (b >= 0x80) fail("record byte above 7Fh");
    SinglePreset back{};
    if (!readSingle(back, record.data())) fail("written Single refused by the reader");
    if (!(back == single)) fail("Single changed through a dump");
    return 0;
}
