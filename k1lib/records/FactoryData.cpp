#include "k1lib/records/FactoryData.h"

#include <mutex>

#include "k1lib/records/FactoryBankImages.h"
#include "k1lib/records/Sysex.h"
#include "log/Log.h"

namespace k1lib {

#define K1_BANK_DATA(id) k1data::getData_sysex_##id(),
#define K1_BANK_SIZE(id) k1data::getDataSize_sysex_##id(),
const unsigned char* const sysexDatas[kFactoryBankCount] = {K1_FACTORY_BANK_IDS(K1_BANK_DATA)};
const unsigned long sysexDataSizes[kFactoryBankCount] = {K1_FACTORY_BANK_IDS(K1_BANK_SIZE)};
#undef K1_BANK_DATA
#undef K1_BANK_SIZE

const uint32_t storageTypes[kFactoryBankCount] = {
    StorageTypeK1Internal, StorageTypeK1Card, StorageTypeK1Card, StorageTypeK1Card, StorageTypeK1Card,
    StorageTypeK1Card,     StorageTypeK1Card, StorageTypeK1Card, StorageTypeK1Card, StorageTypeK1Card,
    StorageTypeK1Card,     StorageTypeK1Card, StorageTypePhm};

const char* const storageNamesShort[kFactoryBankCount + 1] = {
    "K1 Int",    "ROM A1-01", "ROM A1-02", "ROM A1-03", "ROM A1-04", "ROM A1-05", "ROM A2-00",
    "ROM E1-01", "ROM E1-02", "ROM J1-01", "ROM J1-02", "ROM J1-03", "PHm Int",   nullptr};

const char* const storageNamesLong[kFactoryBankCount + 1] = {"Kawai K1 Factory",  "K1 ROM Card A1-01",
                                                             "K1 ROM Card A1-02", "K1 ROM Card A1-03",
                                                             "K1 ROM Card A1-04", "K1 ROM Card A1-05",
                                                             "K1 ROM Card A2-00", "K1 ROM Card E1-01",
                                                             "K1 ROM Card E1-02", "K1 ROM Card J1-01",
                                                             "K1 ROM Card J1-02", "K1 ROM Card J1-03",
                                                             "Kawai PHm Module",  nullptr};

std::vector<SinglePreset> factorySingles;
std::vector<MultiPreset> factoryMultis;
std::vector<StorageInfo> factorySinglesStorageInfo;
std::vector<StorageInfo> factoryMultisStorageInfo;

namespace {

constexpr uint64_t kPhmBankSingles = 200;

bool checkCount(const char* bank, const char* what, uint64_t decoded, uint64_t expected) {
    if (decoded == expected) return true;
    log("initFactoryData", 1031, "FACTORY DATA DAMAGED: bank ", bank, " holds ", decoded, " ", what,
        ", expected ", expected);
    return false;
}

} // namespace

bool decodeFactoryBanks(const std::vector<FactoryBank>& banks, std::vector<SinglePreset>& singles,
                        std::vector<MultiPreset>& multis, std::vector<StorageInfo>& singlesInfo,
                        std::vector<StorageInfo>& multisInfo) {
    singles.clear();
    multis.clear();
    singlesInfo.clear();
    multisInfo.clear();
    bool complete = true;
    for (size_t i = 0; i < banks.size(); ++i) {
        const FactoryBank& bank = banks[i];
        const std::vector<unsigned char> bytes(bank.data, bank.data + bank.size);
        Sysex::SysexResult result;
        Sysex::readBuffer(result, bytes, 255);

        StorageInfo info;
        info.bankIndex = i;
        info.type = bank.type;
        info.shortName = bank.shortName;
        info.longName = bank.longName;
        if (!result.singles.empty()) {
            info.offset = singles.size();
            info.count = result.singles.size();
            singlesInfo.push_back(info);
        }
        if (!result.multis.empty()) {
            info.offset = multis.size();
            info.count = result.multis.size();
            multisInfo.push_back(info);
        }
        singles.insert(singles.end(), result.singles.begin(), result.singles.end());
        multis.insert(multis.end(), result.multis.begin(), result.multis.end());

        const bool phm = bank.type == StorageTypePhm;
        complete &= checkCount(bank.shortName, "Singles", result.singles.size(),
                               phm ? kPhmBankSingles : kSinglesPerBank);
        complete &= checkCount(bank.shortName, "Multis", result.multis.size(), phm ? 0 : kMultisPerBank);
    }
    return complete;
}

void initFactoryData() {
    static std::once_flag once;
    std::call_once(once, [] {
        std::vector<FactoryBank> banks;
        for (int i = 0; i < kFactoryBankCount; ++i)
            banks.push_back({sysexDatas[i], sysexDataSizes[i], storageTypes[i], storageNamesShort[i],
                             storageNamesLong[i]});
        if (!decodeFactoryBanks(banks, factorySingles, factoryMultis, factorySinglesStorageInfo,
                                factoryMultisStorageInfo))
            log("initFactoryData", 104, "The factory banks did not decode");
    });
}

} // namespace k1lib
