// The contents of the factory bank images: their structure, clean decoding, names and Multis.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "FactoryData.h"
#include "LogCapture.h"
#include "Sysex.h"

namespace {

using namespace k1lib;

std::vector<unsigned char> bankBytes(int bank) {
    return std::vector<unsigned char>(sysexDatas[bank], sysexDatas[bank] + sysexDataSizes[bank]);
}

// The messages of an image as (start, length), scanned from F0h to F7h.
std::vector<std::pair<size_t, size_t>> messages(const std::vector<unsigned char>& bytes) {
    std::vector<std::pair<size_t, size_t>> found;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != kSysexStart) continue;
        size_t end = i;
        while (end < bytes.size() && bytes[end] != kSysexEnd)
            ++end;
        found.emplace_back(i, end - i + 1);
        i = end;
    }
    return found;
}

bool displayable(std::string_view name) {
    static constexpr std::string_view punctuation = "!\"$%&/()=?.,;:{}\\-+<>|[]' ~*#@";
    if (name.empty() || name.size() > 10 || name.back() == ' ') return false;
    for (const char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && punctuation.find(c) == std::string_view::npos)
            return false;
    return true;
}

TEST(FactoryBanks, ImagesAreDumpsOfTheBankStructure) {
    for (int bank = 0; bank < 12; ++bank) {
        const std::vector<unsigned char> bytes = bankBytes(bank);
        const auto found = messages(bytes);
        ASSERT_EQ(found.size(), 3u) << storageNamesShort[bank];
        const unsigned char groups[3] = {0x00, 0x20, 0x40};
        const size_t lengths[3] = {2825, 2825, 2441};
        for (int m = 0; m < 3; ++m) {
            const unsigned char* message = bytes.data() + found[m].first;
            EXPECT_EQ(found[m].second, lengths[m]);
            EXPECT_EQ(message[2], 0) << "channel";
            EXPECT_EQ(message[3], kAllBlockDump);
            EXPECT_EQ(message[6], 0);
            EXPECT_EQ(message[7], groups[m]);
        }
    }
    const std::vector<unsigned char> phm = bankBytes(12);
    const auto found = messages(phm);
    ASSERT_EQ(found.size(), 200u);
    for (size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i].first, 97 * i);
        EXPECT_EQ(found[i].second, 97u);
        EXPECT_EQ(phm[found[i].first + 3], kOneBlockDump);
        EXPECT_EQ(phm[found[i].first + 7], i % 64);
        EXPECT_EQ(phm[found[i].first + 30], 0) << "no source muted";
    }
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

TEST(FactoryBanks, NamesAreDisplayableAndUnique) {
    initFactoryData();
    std::set<std::string> names;
    for (const SinglePreset& s : factorySingles) {
        EXPECT_TRUE(displayable(s.name)) << '"' << s.name << '"';
        EXPECT_TRUE(names.insert(s.name).second) << s.name;
    }
    for (const MultiPreset& m : factoryMultis) {
        EXPECT_TRUE(displayable(m.name)) << '"' << m.name << '"';
        EXPECT_TRUE(names.insert(m.name).second) << m.name;
    }
    EXPECT_EQ(names.size(), 968u + 384u);
}

} // namespace
