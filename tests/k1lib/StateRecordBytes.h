#pragma once
// Engine state records built byte by byte, for the state tests: any version, any field.
#include <cstdint>
#include <cstring>
#include <vector>

#include "k1lib/records/MultiPreset.h"
#include "k1lib/records/SinglePreset.h"
#include "k1lib/records/Sysex.h"

namespace state_bytes {

using Bytes = std::vector<unsigned char>;

class RecordBytes {
public:
    RecordBytes& u32(uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<unsigned char>(value >> shift));
        return *this;
    }
    RecordBytes& u64(uint64_t value) {
        return u32(static_cast<uint32_t>(value)).u32(static_cast<uint32_t>(value >> 32));
    }
    RecordBytes& f32(float value) {
        uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        return u32(bits);
    }
    RecordBytes& append(const Bytes& more) {
        bytes.insert(bytes.end(), more.begin(), more.end());
        return *this;
    }
    // A u32 size, then the bytes.
    RecordBytes& block(const Bytes& more) { return u32(static_cast<uint32_t>(more.size())).append(more); }

    Bytes bytes;
};

inline uint32_t u32At(const Bytes& bytes, size_t offset) {
    uint32_t value = 0;
    for (int b = 3; b >= 0; --b)
        value = value << 8 | bytes.at(offset + static_cast<size_t>(b));
    return value;
}

// The presets as K1 dumps of at most 32, as the engine's record stores its banks.
template <typename Preset, typename Writer> Bytes dumps(const std::vector<Preset>& presets, Writer write) {
    Bytes out;
    for (size_t first = 0; first < presets.size(); first += 32) {
        const size_t end = first + 32 < presets.size() ? first + 32 : presets.size();
        Bytes message;
        write(message, std::vector<Preset>(presets.begin() + first, presets.begin() + end), 0,
              (first / 32) % 2 ? k1lib::Storagei : k1lib::StorageI, 0);
        out.insert(out.end(), message.begin(), message.end());
    }
    return out;
}
inline Bytes singleDumps(const std::vector<k1lib::SinglePreset>& singles) {
    return dumps(singles, k1lib::Sysex::writeSingles);
}
inline Bytes multiDumps(const std::vector<k1lib::MultiPreset>& multis) {
    return dumps(multis, k1lib::Sysex::writeMultis);
}

// The fields in front of the current Single as every version has them: version, a config block
// of configSize bytes (the default settings, zero-padded), the play mode when the version has
// one, the values and, from version 2 on, the custom data.
inline RecordBytes header(uint32_t version, uint32_t configSize, uint32_t playMode,
                          const std::vector<float>& values, const Bytes& custom) {
    const uint32_t defaults[13] = {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0};
    RecordBytes r;
    r.u32(version).u32(configSize);
    for (uint32_t i = 0; i < configSize / 4; ++i)
        r.u32(i < 13 ? defaults[i] : 0);
    for (uint32_t i = 0; i < configSize % 4; ++i)
        r.bytes.push_back(0);
    if (version >= 3) r.u32(playMode);
    r.u32(static_cast<uint32_t>(values.size()));
    for (float v : values)
        r.f32(v);
    if (version >= 2) r.block(custom);
    return r;
}

} // namespace state_bytes
