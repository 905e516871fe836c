#pragma once
// A readable sheet of the banks for checking the sounds on paper: waves by name, envelope times
// in seconds and levels as gains, taken through the engine's own value curves.
#include <ostream>
#include <vector>

#include "tools/bankgen/Banks.h"

namespace bankgen {

void listBanks(std::ostream& out, const std::vector<Bank>& banks);

} // namespace bankgen
