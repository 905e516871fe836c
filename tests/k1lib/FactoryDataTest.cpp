// The factory set-up: the bank tables, the four global lists and their one-time filling.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "k1lib/records/FactoryBankImages.h"
#include "k1lib/records/FactoryData.h"
#include "k1lib/records/Sysex.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RandomRecords.h"

namespace {

using namespace k1lib;

TEST(FactoryData, ListsHoldEveryBankInOrder) {
    initFactoryData();
    ASSERT_EQ(factorySingles.size(), 968u);
    ASSERT_EQ(factoryMultis.size(), 384u);
    ASSERT_EQ(factorySinglesStorageInfo.size(), 13u);
    ASSERT_EQ(factoryMultisStorageInfo.size(), 12u);
    for (uint64_t i = 0; i < 13; ++i) {
        const StorageInfo& info = factorySinglesStorageInfo[i];
        EXPECT_EQ(info.bankIndex, i);
        EXPECT_EQ(info.offset, 64 * i);
        EXPECT_EQ(info.count, i < 12 ? 64u : 200u);
    }
    const StorageInfo& phm = factorySinglesStorageInfo[12];
    EXPECT_EQ(phm.type, 2u);
    EXPECT_EQ(phm.shortName, "PHm Int");
    EXPECT_EQ(phm.longName, "Kawai PHm Module");
    for (uint64_t i = 0; i < 12; ++i) {
        EXPECT_EQ(factoryMultisStorageInfo[i].bankIndex, i);
        EXPECT_EQ(factoryMultisStorageInfo[i].offset, 32 * i);
        EXPECT_EQ(factoryMultisStorageInfo[i].count, 32u);
    }
    EXPECT_EQ(factoryMultisStorageInfo.back().offset, 352u);
}

TEST(FactoryData, SecondCallChangesNothing) {
    initFactoryData();
    const std::vector<SinglePreset> singles = factorySingles;
    const std::vector<MultiPreset> multis = factoryMultis;
    initFactoryData();
    ASSERT_EQ(factorySingles.size(), singles.size());
    ASSERT_EQ(factoryMultis.size(), multis.size());
    EXPECT_EQ(factorySingles, singles);
    for (size_t i = 0; i < multis.size(); ++i)
        EXPECT_TRUE(sameMulti(factoryMultis[i], multis[i]));
    EXPECT_EQ(factorySinglesStorageInfo.size(), 13u);
}

TEST(FactoryData, ThreadsCallingAtOnceSetUpOnce) {
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([] {
            initFactoryData();
            // Every caller may read the lists as soon as its call returns.
            EXPECT_EQ(factorySingles.size(), 968u);
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(factorySingles.size(), 968u);
    EXPECT_EQ(factoryMultis.size(), 384u);
    EXPECT_EQ(factorySinglesStorageInfo.size(), 13u);
}

TEST(FactoryData, ShortBankIsReportedLoudly) {
    testing_records::RecordRandom random(5);
    std::vector<SinglePreset> written(32);
    for (SinglePreset& s : written)
        s = random.single();
    std::vector<unsigned char> image;
    ASSERT_TRUE(Sysex::writeSingles(image, written, 0, StorageI, 0));
    const std::vector<FactoryBank> banks = {
        {image.data(), image.size(), StorageTypeK1Card, "Short", "Short card"}};
    std::vector<SinglePreset> singles;
    std::vector<MultiPreset> multis;
    std::vector<StorageInfo> singlesInfo, multisInfo;
    LogCapture capture;
    EXPECT_FALSE(decodeFactoryBanks(banks, singles, multis, singlesInfo, multisInfo));
    EXPECT_TRUE(capture.contains(
        "initFactoryData@1031: FACTORY DATA DAMAGED: bank Short holds 32 Singles, expected 64"));
    EXPECT_TRUE(capture.contains(
        "initFactoryData@1031: FACTORY DATA DAMAGED: bank Short holds 0 Multis, expected 32"));
    EXPECT_EQ(singles.size(), 32u); // what could be read is still there
    EXPECT_TRUE(multisInfo.empty());
}

} // namespace
