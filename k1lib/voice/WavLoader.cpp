#include "k1lib/voice/WavLoader.h"

#include "log/Log.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

namespace k1lib {

namespace {

constexpr uint16_t FormatPcm = 1;
constexpr uint16_t FormatFloat = 3;
constexpr uint64_t ChunkHeaderSize = 8;
constexpr uint64_t CueRecordSize = 24;

uint16_t readU16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t readU32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
bool isId(const unsigned char* p, const char* id) {
    return std::memcmp(p, id, 4) == 0;
}
uint64_t padToEven(uint64_t size) {
    return size + (size & 1);
}

struct CueRecord {
    uint32_t position = 0;
    uint32_t sampleOffset = 0;
};

// The RIFF walk; every chunk and sub-chunk must lie inside the image.
class RiffParser {
public:
    RiffParser(const unsigned char* image, uint64_t size, bool wantLabels)
        : m_image(image), m_size(size), m_wantLabels(wantLabels) {}

    bool parse(Data& data, std::vector<CuePoint>* cues) {
        if (m_size < 12) {
            log("load", 131, "Failed to find wave data in file");
            return false;
        }
        if (!isId(m_image, "RIFF") || !isId(m_image + 8, "WAVE")) return false;
        const uint64_t limit = m_size - 8;
        if (limit < 13) {
            log("load", 131, "Failed to find wave data in file");
            return false;
        }
        for (uint64_t pos = 12; pos < limit;) {
            const uint64_t payload = pos + ChunkHeaderSize;
            const uint64_t chunkSize = readU32(m_image + pos + 4);
            if (chunkSize > m_size - payload) {
                log("load", 62, "Chunk at offset ", pos, " of size ", chunkSize, " exceeds the image of ",
                    m_size, " bytes");
                return false;
            }
            if (!readChunk(m_image + pos, payload, chunkSize)) return false;
            pos = payload + padToEven(chunkSize);
        }
        if (!m_hasData) {
            log("load", 131, "Failed to find wave data in file");
            return false;
        }
        if (!m_hasFormat) {
            log("load", 137, "Failed to find format information in file");
            return false;
        }
        const unsigned char* format = m_image + m_formatStart;
        const uint16_t tag = readU16(format);
        if (tag != FormatPcm && tag != FormatFloat) return false;
        data.samples = m_image + m_dataStart;
        data.byteSize = m_dataSize;
        data.channels = readU16(format + 2);
        data.sampleRate = readU32(format + 4);
        data.bitsPerSample = readU16(format + 14);
        data.isFloat = tag == FormatFloat;
        if (cues && !m_cues.empty()) fillCues(*cues, data);
        return true;
    }

private:
    bool readChunk(const unsigned char* header, uint64_t payload, uint64_t chunkSize) {
        if (isId(header, "fmt ")) {
            if (chunkSize < 16) {
                log("load", 66, "Format chunk of ", chunkSize, " bytes is too short");
                return false;
            }
            m_hasFormat = true;
            m_formatStart = payload;
        } else if (isId(header, "data")) {
            m_hasData = true;
            m_dataStart = payload;
            m_dataSize = chunkSize;
        } else if (isId(header, "cue ")) {
            return readCues(payload, chunkSize);
        } else if ((isId(header, "LIST") || isId(header, "list")) && m_wantLabels) {
            return readLabels(payload, chunkSize);
        }
        return true;
    }

    bool readCues(uint64_t payload, uint64_t chunkSize) {
        if (chunkSize < 4) {
            log("load", 72, "Cue chunk of ", chunkSize, " bytes is too short");
            return false;
        }
        const uint64_t count = readU32(m_image + payload);
        if (count > (chunkSize - 4) / CueRecordSize) {
            log("load", 75, "Cue chunk of ", chunkSize, " bytes cannot hold ", count, " cue points");
            return false;
        }
        for (uint64_t i = 0; i < count; ++i) {
            const unsigned char* record = m_image + payload + 4 + i * CueRecordSize;
            const uint32_t id = readU32(record);
            if (m_cues.count(id)) {
                log("load", 80, "Warning: duplicated cue point ", id, " found");
                continue;
            }
            m_cues[id] = CueRecord{readU32(record + 4), readU32(record + 20)};
        }
        return true;
    }

    bool readLabels(uint64_t payload, uint64_t chunkSize) {
        const uint64_t end = payload + chunkSize;
        for (uint64_t pos = payload + 4; pos < end;) {
            if (end - pos < ChunkHeaderSize) {
                log("load", 100, "Truncated sub-chunk at offset ", pos, " in list chunk");
                return false;
            }
            const unsigned char* header = m_image + pos;
            const uint64_t subSize = readU32(header + 4);
            const uint64_t subPayload = pos + ChunkHeaderSize;
            if (subSize > end - subPayload) {
                log("load", 105, "Sub-chunk at offset ", pos, " of size ", subSize,
                    " exceeds its list chunk");
                return false;
            }
            if (isId(header, "labl") || isId(header, "note")) {
                if (subSize < 4) {
                    log("load", 109, "Label sub-chunk of ", subSize, " bytes has no cue id");
                    return false;
                }
                addLabel(readU32(m_image + subPayload), m_image + subPayload + 4, subSize - 4);
            }
            pos = subPayload + padToEven(subSize);
        }
        return true;
    }

    void addLabel(uint32_t id, const unsigned char* text, uint64_t length) {
        while (length > 0 && text[length - 1] == 0)
            --length;
        if (length == 0) return;
        std::string label(reinterpret_cast<const char*>(text), length);
        if (m_labels.count(id)) {
            log("load", 118, "Warning: duplicated cue label ", label, " found for cue id ", id);
            return;
        }
        m_labels[id] = std::move(label);
    }

    void fillCues(std::vector<CuePoint>& cues, const Data& data) const {
        cues.clear();
        for (const auto& [id, record] : m_cues) {
            CuePoint cue;
            cue.position = record.position;
            if (record.position == 0 && record.sampleOffset != 0)
                cue.position = positionFromOffset(record.sampleOffset, data);
            auto label = m_labels.find(id);
            if (label != m_labels.end()) cue.label = label->second;
            cues.push_back(std::move(cue));
        }
    }

    // A sample offset inside the sample count is taken as samples; beyond it, as bytes.
    static uint64_t positionFromOffset(uint64_t offset, const Data& data) {
        const uint64_t bytesPerSample = data.bitsPerSample >= 8 ? data.bitsPerSample / 8 : 1;
        const uint64_t sampleCount = data.byteSize / bytesPerSample;
        return offset < sampleCount ? offset : offset / bytesPerSample;
    }

    const unsigned char* m_image;
    uint64_t m_size;
    bool m_wantLabels;
    bool m_hasFormat = false;
    bool m_hasData = false;
    uint64_t m_formatStart = 0;
    uint64_t m_dataStart = 0;
    uint64_t m_dataSize = 0;
    std::map<uint32_t, CueRecord> m_cues;
    std::map<uint32_t, std::string> m_labels;
};

int32_t readS32(const unsigned char* p) {
    return static_cast<int32_t>(readU32(p));
}

// One sample of the given width as float; integers are scaled so full scale reads about 1.
float sampleToFloat(const unsigned char* p, uint32_t bits, bool isFloat) {
    constexpr double scale31 = 1.0 / 2147483648.0;
    switch (bits) {
    case 8:
        return static_cast<float>(static_cast<int>(*p) - 128) * 0.0078125f;
    case 16:
        return static_cast<int16_t>(readU16(p)) * 3.051851e-5f;
    case 24: {
        const uint32_t top24 = (static_cast<uint32_t>(p[0]) << 8) | (static_cast<uint32_t>(p[1]) << 16) |
                               (static_cast<uint32_t>(p[2]) << 24);
        return static_cast<float>(static_cast<int32_t>(top24) * scale31);
    }
    case 32: {
        if (!isFloat) return static_cast<float>(readS32(p) * scale31);
        float value;
        std::memcpy(&value, p, sizeof value);
        return value;
    }
    default: {
        if (!isFloat) return static_cast<float>(readS32(p + 4) * scale31);
        double value;
        std::memcpy(&value, p, sizeof value);
        return static_cast<float>(value);
    }
    }
}

bool toFloat(std::vector<float>& out, const Data& data) {
    const uint32_t bits = data.bitsPerSample;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32 && bits != 64) return false;
    if (data.channels == 0) {
        log("load", 160, "Wave data has no channels");
        return false;
    }
    const uint64_t bytes = bits / 8;
    const uint64_t count = data.byteSize / bytes;
    out.resize(count);
    for (uint64_t i = 0; i < count; ++i)
        out[i] = sampleToFloat(data.samples + i * bytes, bits, data.isFloat);
    if (data.channels > 1) {
        const uint64_t frames = count / data.channels;
        const float gain = 1.0f / static_cast<float>(data.channels);
        for (uint64_t f = 0; f < frames; ++f) {
            float sum = 0.0f;
            for (uint32_t c = 0; c < data.channels; ++c)
                sum += out[f * data.channels + c];
            out[f] = sum * gain;
        }
        out.resize(frames);
    }
    return true;
}

void appendU16(std::vector<unsigned char>& out, uint32_t value) {
    out.push_back(static_cast<unsigned char>(value));
    out.push_back(static_cast<unsigned char>(value >> 8));
}
void appendU32(std::vector<unsigned char>& out, uint32_t value) {
    appendU16(out, value & 0xffff);
    appendU16(out, value >> 16);
}
void appendId(std::vector<unsigned char>& out, const char* id) {
    out.insert(out.end(), id, id + 4);
}

} // namespace

bool WavLoader::load(Data& data, std::vector<CuePoint>* cues, const unsigned char* image, uint64_t size) {
    if (!image) size = 0;
    return RiffParser(image, size, cues != nullptr).parse(data, cues);
}

bool WavLoader::load(std::vector<char>& samples, int& sampleRate, std::vector<CuePoint>* cues,
                     const unsigned char* image, uint64_t size) {
    Data data;
    if (!load(data, cues, image, size)) return false;
    if (data.bitsPerSample != 8 || data.channels != 1 || data.isFloat) return false;
    sampleRate = static_cast<int>(data.sampleRate);
    samples.resize(data.byteSize);
    for (uint64_t i = 0; i < data.byteSize; ++i)
        samples[i] = static_cast<char>(data.samples[i] ^ 0x80);
    return true;
}

bool WavLoader::load(std::vector<float>& samples, int& sampleRate, std::vector<CuePoint>* cues,
                     const unsigned char* image, uint64_t size) {
    Data data;
    if (!load(data, cues, image, size)) return false;
    sampleRate = static_cast<int>(data.sampleRate);
    return toFloat(samples, data);
}

bool WavLoader::load(std::vector<float>& samples, int& sampleRate, std::vector<CuePoint>* cues,
                     const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        log("load", 197, "Failed to open file ", path);
        return false;
    }
    const std::vector<unsigned char> image((std::istreambuf_iterator<char>(file)),
                                           std::istreambuf_iterator<char>());
    return load(samples, sampleRate, cues, image.data(), image.size());
}

bool WavLoader::write(const std::string& path, const std::vector<float>& samples, int sampleRate,
                      const std::vector<CuePoint>* cues) {
    std::ofstream file(path, std::ios::binary);
    if (!file) {
        log("write", 357, "Failed to open file for writing: ", path);
        return false;
    }
    std::vector<unsigned char> body;
    appendId(body, "fmt ");
    appendU32(body, 16);
    appendU16(body, FormatFloat);
    appendU16(body, 1);
    appendU32(body, static_cast<uint32_t>(sampleRate));
    appendU32(body, static_cast<uint32_t>(sampleRate) * 4);
    appendU16(body, 4);
    appendU16(body, 32);
    appendId(body, "data");
    appendU32(body, static_cast<uint32_t>(samples.size() * sizeof(float)));
    const auto* sampleBytes = reinterpret_cast<const unsigned char*>(samples.data());
    body.insert(body.end(), sampleBytes, sampleBytes + samples.size() * sizeof(float));
    if (cues && !cues->empty()) {
        appendId(body, "cue ");
        appendU32(body, static_cast<uint32_t>(4 + CueRecordSize * cues->size()));
        appendU32(body, static_cast<uint32_t>(cues->size()));
        for (size_t i = 0; i < cues->size(); ++i) {
            const auto position = static_cast<uint32_t>((*cues)[i].position);
            appendU32(body, static_cast<uint32_t>(i));
            appendU32(body, position);
            appendId(body, "data");
            appendU32(body, 0);
            appendU32(body, 0);
            appendU32(body, position);
        }
        std::vector<unsigned char> labels;
        appendId(labels, "adtl");
        for (size_t i = 0; i < cues->size(); ++i) {
            const std::string& label = (*cues)[i].label;
            const auto size = static_cast<uint32_t>(label.size() + 5);
            appendId(labels, "labl");
            appendU32(labels, size);
            appendU32(labels, static_cast<uint32_t>(i));
            labels.insert(labels.end(), label.begin(), label.end());
            labels.push_back(0);
            if (size & 1) labels.push_back(0);
        }
        appendId(body, "LIST");
        appendU32(body, static_cast<uint32_t>(labels.size()));
        body.insert(body.end(), labels.begin(), labels.end());
    }
    // The header is written last, once the total size is known.
    file.write("\0\0\0\0\0\0\0\0\0\0\0\0", 12);
    file.write(reinterpret_cast<const char*>(body.data()), static_cast<std::streamsize>(body.size()));
    std::vector<unsigned char> header;
    appendId(header, "RIFF");
    appendU32(header, static_cast<uint32_t>(body.size() + 4));
    appendId(header, "WAVE");
    file.seekp(0);
    file.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
    if (!file) {
        log("write", 380, "Failed to write file ", path);
        return false;
    }
    return true;
}

void convert(std::vector<float>& out, const short* samples, size_t count) {
    out.resize(count);
    for (size_t i = 0; i < count; ++i)
        out[i] = samples[i] * 3.051851e-5f;
}

void convert(std::vector<float>& out, const unsigned char* samples, size_t count) {
    out.resize(count);
    for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<float>(static_cast<int>(samples[i]) - 128) * 0.0078125f;
}

} // namespace k1lib
