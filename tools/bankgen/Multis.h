#pragma once
// The 32 Multis of a K1 bank, built from that bank's own Singles: splits, layers, velocity
// switches, zone ensembles, multitimbral set-ups and detuned stacks, or drum kits in the drum bank.
#include <string>
#include <vector>

#include "k1lib/records/MultiPreset.h"
#include "tools/bankgen/Instruments.h"
#include "tools/bankgen/NameBook.h"
#include "tools/bankgen/Voicing.h"

namespace bankgen {

// One Single of a bank with what its Multis need to know about it.
struct Slot {
    const Instrument* instrument;
    std::string stem;
    Character character;
};

std::vector<k1lib::MultiPreset> buildMultis(const std::vector<Slot>& slots, NameBook& names,
                                            const std::string& bankId);

} // namespace bankgen
