#pragma once
// The thirteen factory banks: which sounds each holds, in which order, and its Multis.
#include <string>
#include <vector>

#include "k1lib/records/MultiPreset.h"
#include "k1lib/records/SinglePreset.h"
#include "tools/bankgen/Multis.h"

namespace bankgen {

struct Bank {
    std::string id;   // file name without ".syx"
    bool phm = false; // the PHm module's 200 Singles, no Multis
    std::vector<k1lib::SinglePreset> singles;
    std::vector<Slot> slots; // what each Single was made from, in the same order
    std::vector<k1lib::MultiPreset> multis;
};

// ByEar sets levels and brightness by listening through the engine (the factory banks); Layout
// only lays the banks out (every name, slot and Multi in place), much quicker, for checks of
// the layout and the images.
enum class Listening { ByEar, Layout };

// All banks in bank-index order, K1INT first.
std::vector<Bank> buildBanks(Listening listening = Listening::ByEar);

} // namespace bankgen
