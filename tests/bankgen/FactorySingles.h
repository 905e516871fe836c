#pragma once
// The factory Singles as the sound tests hear them: the embedded ones (which the generator
// reproduces byte for byte), each with the instrument it was voiced from.
#include <vector>

#include "k1lib/records/FactoryData.h"
#include "tools/bankgen/Banks.h"
#include "tools/bankgen/SoundMeasure.h"

namespace factorysingles {

struct Voiced {
    const k1lib::SinglePreset& single;
    const bankgen::Instrument& instrument;
    bankgen::Family family;
};

// Every Single of one bank (or of all, bank -1), or every every-th, in bank order.
inline std::vector<Voiced> factory(size_t every = soundmeasure::kEvery, int onlyBank = -1) {
    static const std::vector<bankgen::Bank> layout = bankgen::buildBanks(bankgen::Listening::Layout);
    k1lib::initFactoryData();
    std::vector<Voiced> all;
    for (size_t b = 0; b < layout.size(); ++b) {
        if (onlyBank >= 0 && b != static_cast<size_t>(onlyBank)) continue;
        const uint64_t offset = k1lib::factorySinglesStorageInfo[b].offset;
        for (size_t i = 0; i < layout[b].slots.size(); i += every) {
            const bankgen::Instrument& instrument = *layout[b].slots[i].instrument;
            all.push_back({k1lib::factorySingles[offset + i], instrument, instrument.family});
        }
    }
    return all;
}

} // namespace factorysingles
