// The generator's banks and the self-check that guards every image it writes.
#include <gtest/gtest.h>

#include <cstring>

#include "k1lib/records/Sysex.h"
#include "tools/bankgen/BankImage.h"
#include "tools/bankgen/Banks.h"

namespace {

using namespace bankgen;

const std::vector<Bank>& banks() {
    static const std::vector<Bank> built = buildBanks(Listening::Layout);
    return built;
}

TEST(BankgenBanks, ThirteenBanksCheckedClean) {
    ASSERT_EQ(banks().size(), 13u);
    EXPECT_EQ(banks().front().id, "K1INT");
    EXPECT_EQ(banks().back().id, "PHm");
    EXPECT_EQ(verifyUniqueNames(banks()), "");
    for (const Bank& bank : banks())
        EXPECT_EQ(verifyBank(bank, encodeBank(bank)), "") << bank.id;
}

TEST(BankgenSelfCheck, RefusesWhatWouldNotReadBackEqual) {
    const Bank good = banks()[1];
    Bank badName = good;
    std::strcpy(badName.singles[5].name, "Bad_Name");
    EXPECT_NE(verifyBank(badName, encodeBank(badName)), "");

    Bank outOfRange = good;
    outOfRange.singles[7].sources[2].envDecay = 101; // read back as 101 but logged as invalid
    EXPECT_NE(verifyBank(outOfRange, encodeBank(outOfRange)), "");

    Bank foreignSingle = good;
    foreignSingle.multis[3].sections[0].single = 64; // no such Single in the bank
    EXPECT_NE(verifyBank(foreignSingle, encodeBank(foreignSingle)), "");

    std::vector<unsigned char> damaged = encodeBank(good);
    damaged[100] ^= 0x01; // the record's checksum no longer fits
    EXPECT_NE(verifyBank(good, damaged), "");

    Bank shortBank = good;
    shortBank.multis.pop_back();
    EXPECT_NE(verifyBank(shortBank, encodeBank(good)), "");
}

TEST(BankgenSelfCheck, FindsANameUsedTwice) {
    std::vector<Bank> twice = {banks()[0], banks()[1]};
    std::strcpy(twice[1].multis[9].name, twice[0].singles[4].name);
    EXPECT_NE(verifyUniqueNames(twice), "");
}

} // namespace
