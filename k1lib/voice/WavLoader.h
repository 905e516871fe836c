#pragma once
// Reads RIFF/WAVE images: the sample format, the samples and the cue points with their labels.
// Every size field is checked against the image, so a malformed image is refused, never overread.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace k1lib {

// A parsed WAV image; refers into the caller's image and owns nothing.
struct Data {
    const unsigned char* samples = nullptr;
    uint64_t byteSize = 0;
    uint32_t bitsPerSample = 0;
    uint32_t channels = 0;
    uint32_t sampleRate = 0;
    bool isFloat = false;
};

struct CuePoint {
    uint64_t position = 0; // in samples
    std::string label;     // empty when the cue has no label
};

class WavLoader {
public:
    // Parses the image; cue points (ascending id) are filled only when cues is given and any are found.
    [[nodiscard]] static bool load(Data& data, std::vector<CuePoint>* cues, const unsigned char* image,
                                   uint64_t size);
    // Unsigned 8-bit mono integer PCM only, stored as two's-complement signed bytes.
    [[nodiscard]] static bool load(std::vector<char>& samples, int& sampleRate, std::vector<CuePoint>* cues,
                                   const unsigned char* image, uint64_t size);
    // Any supported width, channels folded to mono.
    [[nodiscard]] static bool load(std::vector<float>& samples, int& sampleRate, std::vector<CuePoint>* cues,
                                   const unsigned char* image, uint64_t size);
    [[nodiscard]] static bool load(std::vector<float>& samples, int& sampleRate, std::vector<CuePoint>* cues,
                                   const std::string& path);
    // Writes 32-bit float mono, with cue points and their labels when cues is given and not empty.
    [[nodiscard]] static bool write(const std::string& path, const std::vector<float>& samples,
                                    int sampleRate, const std::vector<CuePoint>* cues);
};

void convert(std::vector<float>& out, const short* samples, size_t count);
void convert(std::vector<float>& out, const unsigned char* samples, size_t count);

} // namespace k1lib
