#pragma once
// The thirteen factory banks: which sounds each holds, in which order, and its Multis.
#include <string>
#include <vector>

#include "MultiPreset.h"
#include "Multis.h"
#include "SinglePreset.h"

namespace bankgen {

struct Bank {
    std::string id;   // file name without ".syx"
    bool phm = false; // the PHm module's 200 Singles, no Multis
    std::vector<k1lib::SinglePreset> singles;
    std::vector<Slot> slots; // what each Single was made from, in the same order
    std::vector<k1lib::MultiPreset> multis;
};

// All banks in bank-index order, K1INT first.
std::vector<Bank> buildBanks();

} // namespace bankgen
