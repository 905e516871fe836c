#pragma once
// A bank as the bytes of its .syx image, and the check that the image decodes to exactly the
// bank that was generated.
#include <string>
#include <vector>

#include "tools/bankgen/Banks.h"

namespace bankgen {

// K1 banks: three all-block dumps (Singles 0-31, Singles 32-63, Multis 0-31) on channel 0.
// The PHm bank: one one-Single dump per preset in the PHm module's own form.
std::vector<unsigned char> encodeBank(const Bank& bank);

// Empty when the image reads back with no log line into exactly the bank's records, every data
// byte is 7-bit and every Multi plays Singles of its own bank; otherwise what is wrong.
std::string verifyBank(const Bank& bank, const std::vector<unsigned char>& image);

// Empty when no two presets of all the banks share a name; otherwise the first name used twice.
std::string verifyUniqueNames(const std::vector<Bank>& banks);

} // namespace bankgen
