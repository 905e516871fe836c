#include "WavFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {
void put32(std::FILE* f, uint32_t v) {
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    std::fwrite(b, 1, 4, f);
}
void put16(std::FILE* f, uint16_t v) {
    const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    std::fwrite(b, 1, 2, f);
}
}  // namespace

bool writeWavFile(const std::string& path, const std::vector<std::vector<float>>& channels, int rate) {
    if (channels.empty()) return false;
    const uint32_t frames = static_cast<uint32_t>(channels[0].size());
    const uint16_t count = static_cast<uint16_t>(channels.size());
    const uint32_t dataBytes = frames * count * 4;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fwrite("RIFF", 1, 4, f);
    put32(f, 36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put32(f, 16);
    put16(f, 3);  // IEEE float
    put16(f, count);
    put32(f, static_cast<uint32_t>(rate));
    put32(f, static_cast<uint32_t>(rate) * count * 4);
    put16(f, static_cast<uint16_t>(count * 4));
    put16(f, 32);
    std::fwrite("data", 1, 4, f);
    put32(f, dataBytes);
    // Interleaved a stretch at a time: one write per sample would cost more than rendering it.
    std::vector<float> interleaved;
    for (uint32_t start = 0; start < frames; start += 4096) {
        const uint32_t end = std::min(frames, start + 4096);
        interleaved.clear();
        for (uint32_t i = start; i < end; ++i)
            for (const std::vector<float>& channel : channels) interleaved.push_back(channel[i]);
        std::fwrite(interleaved.data(), 4, interleaved.size(), f);
    }
    const bool ok = std::ferror(f) == 0;
    return std::fclose(f) == 0 && ok;
}
