#include "tools/render/WavFile.h"

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
} // namespace

WavFileWriter::~WavFileWriter() {
    close();
}

bool WavFileWriter::open(const std::string& path, int channels, int rate, uint32_t frames) {
    close();
    if (channels < 1) return false;
    const uint16_t count = static_cast<uint16_t>(channels);
    const uint32_t dataBytes = frames * count * 4;
    m_file = std::fopen(path.c_str(), "wb");
    if (!m_file) return false;
    m_channels = channels;
    std::fwrite("RIFF", 1, 4, m_file);
    put32(m_file, 36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, m_file);
    put32(m_file, 16);
    put16(m_file, 3); // IEEE float
    put16(m_file, count);
    put32(m_file, static_cast<uint32_t>(rate));
    put32(m_file, static_cast<uint32_t>(rate) * count * 4);
    put16(m_file, static_cast<uint16_t>(count * 4));
    put16(m_file, 32);
    std::fwrite("data", 1, 4, m_file);
    put32(m_file, dataBytes);
    return true;
}

void WavFileWriter::write(const float* const* channels, int frames) {
    if (!m_file || frames <= 0) return;
    m_interleaved.resize(static_cast<size_t>(frames) * static_cast<size_t>(m_channels));
    size_t n = 0;
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < m_channels; ++c)
            m_interleaved[n++] = channels[c][i];
    std::fwrite(m_interleaved.data(), 4, n, m_file);
}

bool WavFileWriter::close() {
    if (!m_file) return true;
    const bool ok = std::ferror(m_file) == 0;
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    return ok && closed;
}
