#include "tools/bankgen/Waves.h"

#include <stdexcept>
#include <string>

#include "k1lib/wavenames/WaveformNames.h"

namespace bankgen {
namespace {

// The table's entries read "NNN: name".
std::string_view displayName(int wave) {
    const std::string_view entry = k1lib::g_waveformNames[wave];
    const size_t colon = entry.find(": ");
    return colon == std::string_view::npos ? entry : entry.substr(colon + 2);
}

} // namespace

uint8_t waveNumber(std::string_view name) {
    const std::string_view request = name;
    int first = 0;
    if (name.starts_with("PCM ")) {
        first = kFirstSampledWave;
        name.remove_prefix(4);
    }
    int occurrence = 1;
    if (const size_t hash = name.find('#'); hash != std::string_view::npos) {
        occurrence = std::stoi(std::string(name.substr(hash + 1)));
        name = name.substr(0, hash);
    }
    for (int wave = first; wave < k1lib::kWaveCount; ++wave)
        if (displayName(wave) == name && --occurrence == 0) return static_cast<uint8_t>(wave);
    throw std::runtime_error("no waveform named " + std::string(request));
}

bool waveLoops(uint8_t wave) {
    const std::string_view name = displayName(wave);
    return wave < kFirstSampledWave || name.find("Loop") != std::string_view::npos ||
           name.find(" Alt") != std::string_view::npos;
}

} // namespace bankgen
