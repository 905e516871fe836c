#include "tools/wavegen/RomImage.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace wavegen {

const std::array<const char*, SampledSegmentCount> SegmentLabels = {"w225 w245L2",
                                                                    "w223 w235",
                                                                    "w230 w236 w248L3",
                                                                    "w233 w238",
                                                                    "w212 w255a",
                                                                    "w214",
                                                                    "w215 w241",
                                                                    "w218",
                                                                    "w210 w247L3 w252r",
                                                                    "w207",
                                                                    "w213",
                                                                    "w232 w237",
                                                                    "w224",
                                                                    "w234 w239",
                                                                    "w226",
                                                                    "w217 w243L2 w250L6 w253r",
                                                                    "w216",
                                                                    "w227 w256a",
                                                                    "w231",
                                                                    "w222 w244L2",
                                                                    "w221",
                                                                    "w228 w246L2",
                                                                    "w229",
                                                                    "w220",
                                                                    "w209",
                                                                    "w205 w249L5",
                                                                    "w208",
                                                                    "w219 w242",
                                                                    "w206 w240 w251r",
                                                                    "w211 w254a"};

namespace {

constexpr uint32_t CueCount = SampledSegmentCount + SingleCycleCount + 1;
constexpr uint32_t PaddingSize = 194326;

class Writer {
public:
    void u16(uint32_t v) {
        bytes.push_back(static_cast<unsigned char>(v));
        bytes.push_back(static_cast<unsigned char>(v >> 8));
    }
    void u32(uint32_t v) {
        u16(v & 0xffff);
        u16(v >> 16);
    }
    void id(const char* text) { bytes.insert(bytes.end(), text, text + 4); }
    void text(const std::string& s) { bytes.insert(bytes.end(), s.begin(), s.end()); }
    void pad() {
        if (bytes.size() & 1) bytes.push_back(0);
    }
    // Appends an id and a size placeholder; returns where the size goes.
    size_t beginChunk(const char* chunkId) {
        id(chunkId);
        u32(0);
        return bytes.size() - 4;
    }
    void endChunk(size_t sizeAt) {
        const auto size = static_cast<uint32_t>(bytes.size() - sizeAt - 4);
        for (int i = 0; i < 4; ++i)
            bytes[sizeAt + i] = static_cast<unsigned char>(size >> (8 * i));
        pad();
    }

    std::vector<unsigned char> bytes;
};

std::vector<uint32_t> cuePositions() {
    std::vector<uint32_t> positions;
    uint32_t position = 0;
    for (uint32_t length : SegmentLengths) {
        positions.push_back(position);
        position += length;
    }
    for (int n = 0; n <= SingleCycleCount; ++n)
        positions.push_back(SampledEnd + n * SingleCycleBlock);
    return positions;
}

std::string cueLabel(uint32_t cue) {
    if (cue < SampledSegmentCount) return SegmentLabels[cue];
    return "Marker " + std::to_string(cue + 3);
}

void writeLabels(Writer& w, const std::vector<uint32_t>& positions) {
    const size_t list = w.beginChunk("LIST");
    w.id("adtl");
    for (uint32_t cue = 0; cue < CueCount; ++cue) {
        const bool last = cue + 1 == CueCount;
        size_t chunk = w.beginChunk("labl");
        w.u32(cue + 1);
        w.text(cueLabel(cue));
        w.bytes.push_back(0);
        w.endChunk(chunk);
        chunk = w.beginChunk("note");
        w.u32(cue + 1);
        w.bytes.push_back(0);
        w.endChunk(chunk);
        chunk = w.beginChunk("ltxt");
        w.u32(cue + 1);
        w.u32(last ? SampleCount - positions[cue] : positions[cue + 1] - positions[cue]);
        w.id("rgn ");
        w.u16(0);
        w.u16(0);
        w.u16(0);
        w.u16(0);
        // A one-byte text on the final region makes the chunk sizes meet the image size exactly.
        if (last) w.bytes.push_back(0);
        w.endChunk(chunk);
    }
    w.endChunk(list);
}

} // namespace

uint32_t segmentStart(int segment) {
    uint32_t start = 0;
    for (int s = 0; s < segment; ++s)
        start += SegmentLengths[s];
    return start;
}

std::vector<unsigned char> buildRomImage(const std::vector<unsigned char>& samples) {
    Writer w;
    w.id("RIFF");
    w.u32(ImageSize - 8);
    w.id("WAVE");
    size_t chunk = w.beginChunk("fmt ");
    w.u16(1);
    w.u16(1);
    w.u32(SampleRate);
    w.u32(SampleRate);
    w.u16(1);
    w.u16(8);
    w.endChunk(chunk);
    chunk = w.beginChunk("data");
    w.bytes.insert(w.bytes.end(), samples.begin(), samples.end());
    w.endChunk(chunk);

    const std::vector<uint32_t> positions = cuePositions();
    chunk = w.beginChunk("cue ");
    w.u32(CueCount);
    for (uint32_t cue = 0; cue < CueCount; ++cue) {
        w.u32(cue + 1);
        w.u32(positions[cue]);
        w.id("data");
        w.u32(0);
        w.u32(0);
        w.u32(positions[cue]);
    }
    w.endChunk(chunk);
    writeLabels(w, positions);

    const size_t paddingSize = ImageSize - 8 - w.bytes.size();
    if (paddingSize != PaddingSize) {
        std::fprintf(stderr, "wavegen: filler chunk would be %zu bytes, expected %u\n", paddingSize,
                     PaddingSize);
        std::exit(1);
    }
    chunk = w.beginChunk("_PMX");
    const std::string banner = "Zyk wave ROM, written by wavegen";
    w.text(banner);
    w.bytes.resize(w.bytes.size() + PaddingSize - banner.size(), 0);
    w.endChunk(chunk);
    return w.bytes;
}

} // namespace wavegen
