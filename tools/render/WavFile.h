#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Writes 32-bit float PCM block by block: the header is written first for the frame count
// given, then the frames as they come, interleaved.
class WavFileWriter {
public:
    WavFileWriter() = default;
    WavFileWriter(const WavFileWriter&) = delete;
    WavFileWriter& operator=(const WavFileWriter&) = delete;
    ~WavFileWriter();

    [[nodiscard]] bool open(const std::string& path, int channels, int rate, uint32_t frames);
    // frames frames of each of the channels given at open.
    void write(const float* const* channels, int frames);
    // True when every write reached the file.
    bool close();

private:
    std::FILE* m_file = nullptr;
    int m_channels = 0;
    std::vector<float> m_interleaved;
};
