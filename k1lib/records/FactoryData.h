#pragma once
// The factory sounds carried in the module: thirteen K1 system-exclusive bank images (the K1's
// internal memory, eleven ROM cards and the PHm module's memory), decoded once per process into
// read-only lists that every engine copies and compares against.
#include <cstdint>
#include <vector>

#include "k1lib/records/MultiPreset.h"
#include "k1lib/records/SinglePreset.h"
#include "k1lib/records/StorageInfo.h"

namespace k1lib {

constexpr int kFactoryBankCount = 13;

enum StorageType : uint32_t { StorageTypeK1Internal = 0, StorageTypeK1Card = 1, StorageTypePhm = 2 };

// Bank tables, indexed by bank index; the name tables end with a null entry.
extern const unsigned char* const sysexDatas[kFactoryBankCount];
extern const unsigned long sysexDataSizes[kFactoryBankCount];
extern const uint32_t storageTypes[kFactoryBankCount];
extern const char* const storageNamesShort[kFactoryBankCount + 1];
extern const char* const storageNamesLong[kFactoryBankCount + 1];

// Filled by initFactoryData, unchanged afterwards.
extern std::vector<SinglePreset> factorySingles;
extern std::vector<MultiPreset> factoryMultis;
extern std::vector<StorageInfo> factorySinglesStorageInfo;
extern std::vector<StorageInfo> factoryMultisStorageInfo;

// Decodes the bank images into the four lists on the first call; later calls, from any
// thread, wait for that one to finish and then do nothing.
void initFactoryData();

// One bank image with its place in the bank tables.
struct FactoryBank {
    const unsigned char* data;
    unsigned long size;
    uint32_t type;
    const char* shortName;
    const char* longName;
};

// The decoding behind initFactoryData, over any banks: replaces the lists with the banks' presets
// in order and one StorageInfo per bank and list. A bank whose counts are not its type's (64
// Singles and 32 Multis, or 200 Singles for the PHm) is logged, and the result is then false.
[[nodiscard]] bool decodeFactoryBanks(const std::vector<FactoryBank>& banks,
                                      std::vector<SinglePreset>& singles, std::vector<MultiPreset>& multis,
                                      std::vector<StorageInfo>& singlesInfo,
                                      std::vector<StorageInfo>& multisInfo);

} // namespace k1lib
