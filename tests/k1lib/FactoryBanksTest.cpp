// The contents of the factory bank images: clean decoding into the lists, names and Multis. Their
// structure is the generator's self-check, and the reproducibility test proves the images are its output.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "k1lib/records/FactoryData.h"
#include "k1lib/records/Sysex.h"
#include "tests/support/LogCapture.h"

namespace {

using namespace k1lib;

std::vector<unsigned char> bankBytes(int bank) {
    return std::vector<unsigned char>(sysexDatas[bank], sysexDatas[bank] + sysexDataSizes[bank]);
}

TEST(FactoryBanks, EveryImageDecodesCleanlyIntoTheLists) {
    initFactoryData();
    for (int bank = 0; bank < kFactoryBankCount; ++bank) {
        const std::vector<unsigned char> bytes = bankBytes(bank);
        for (const unsigned char b : bytes)
            ASSERT_TRUE(b < 0x80 || b == kSysexStart || b == kSysexEnd);
        LogCapture capture;
        Sysex::SysexResult result;
        EXPECT_TRUE(Sysex::readBuffer(result, bytes, 255));
        EXPECT_TRUE(capture.lines().empty()) << storageNamesShort[bank] << ": " << capture.lines().front();

        const StorageInfo& singles = factorySinglesStorageInfo[static_cast<size_t>(bank)];
        ASSERT_EQ(result.singles.size(), singles.count);
        for (size_t i = 0; i < result.singles.size(); ++i)
            EXPECT_EQ(result.singles[i], factorySingles[singles.offset + i]);
        if (bank < 12) {
            const StorageInfo& multis = factoryMultisStorageInfo[static_cast<size_t>(bank)];
            ASSERT_EQ(result.multis.size(), multis.count);
            for (size_t i = 0; i < result.multis.size(); ++i)
                EXPECT_TRUE(sameMulti(result.multis[i], factoryMultis[multis.offset + i]));
        }
    }
}

TEST(FactoryBanks, MultisPlaySinglesOfTheirOwnBank) {
    initFactoryData();
    for (const MultiPreset& multi : factoryMultis) {
        int playing = 0;
        for (const MultiSection& s : multi.sections) {
            EXPECT_LT(s.single, 64u) << multi.name;
            EXPECT_LE(s.zoneLow, s.zoneHigh) << multi.name;
            EXPECT_LE(s.mode, 2u) << multi.name;
            if (s.poly != 1) ++playing;
        }
        EXPECT_GE(playing, 1) << multi.name;
    }
}

TEST(FactoryBanks, EveryMultisSoundingSectionsReceiveOnChannelOne) {
    // Hosts deliver every note and controller on channel 1: a section on another channel would
    // never sound there.
    initFactoryData();
    int multis = 0;
    for (const MultiPreset& multi : factoryMultis) {
        for (size_t s = 0; s < multi.sections.size(); ++s) {
            const MultiSection& section = multi.sections[s];
            if (section.poly != PolyOff && section.level > 0) {
                EXPECT_EQ(section.channel, 0u) << multi.name << " section " << s + 1;
            }
        }
        ++multis;
    }
    EXPECT_EQ(multis, 384);
}

TEST(FactoryBanks, NamesAreUnique) {
    initFactoryData();
    std::set<std::string> names;
    for (const SinglePreset& s : factorySingles)
        EXPECT_TRUE(names.insert(s.name).second) << s.name;
    for (const MultiPreset& m : factoryMultis)
        EXPECT_TRUE(names.insert(m.name).second) << m.name;
    EXPECT_EQ(names.size(), 968u + 384u);
}

} // namespace
