// The record codec: byte maps, checksums, repairs, and the invariant that every record the
// system can hold writes to 7-bit bytes and reads back equal.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "k1lib/records/Sysex.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RandomRecords.h"

using namespace k1lib;

namespace {

std::array<unsigned char, kSingleRecordSize> singleRecord(const SinglePreset& s) {
    std::array<unsigned char, kSingleRecordSize> r{};
    EXPECT_TRUE(writeSingle(r.data(), s));
    return r;
}

void resum(unsigned char* record, unsigned long size) {
    record[size - 1] = getChecksum(record, size - 1);
}

bool allSevenBit(const unsigned char* p, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (p[i] >= 0x80) return false;
    return true;
}

} // namespace

TEST(Records, EqualityComparesRawNameBytesAndEveryField) {
    SinglePreset a{}, b{};
    EXPECT_TRUE(a == b);
    EXPECT_STREQ(a.name, "");
    b.sources[2].wave = 1;
    EXPECT_FALSE(a == b);
    b = a;
    b.name[7] = 'x'; // after the terminator
    EXPECT_FALSE(a == b);

    MultiPreset m{}, n{};
    EXPECT_TRUE(sameMulti(m, n));
    n.sections[7].level = 1;
    EXPECT_FALSE(sameMulti(m, n));
    m.sections[3].transpose = -1;
    n = m;
    n.sections[3].transpose = 1;
    EXPECT_FALSE(sameMulti(m, n));
}

TEST(Records, DefaultSingleWritesBlankNameZerosAndChecksum) {
    std::vector<unsigned char> out;
    ASSERT_TRUE(Sysex::writeSingle(out, SinglePreset{}, 0, StorageI, 0));
    ASSERT_EQ(out.size(), 97u);
    const unsigned char header[] = {0xF0, 0x40, 0x00, 0x20, 0x00, 0x03, 0x00, 0x00};
    EXPECT_EQ(std::memcmp(out.data(), header, 8), 0);
    for (int i = 8; i < 18; ++i)
        EXPECT_EQ(out[i], ' ');
    for (int i = 18; i < 95; ++i)
        EXPECT_EQ(out[i], 0);
    EXPECT_EQ(out[95], 0x65);
    EXPECT_EQ(out[96], 0xF7);
}

TEST(Records, RandomInRangeRecordsRoundTripExactlyThroughSevenBitBytes) {
    testing_records::RecordRandom random(1234);
    LogCapture capture;
    for (int i = 0; i < 1000; ++i) {
        const SinglePreset single = random.single();
        std::array<unsigned char, kSingleRecordSize> r = singleRecord(single);
        ASSERT_TRUE(allSevenBit(r.data(), r.size()));
        SinglePreset back{};
        ASSERT_TRUE(readSingle(back, r.data()));
        ASSERT_TRUE(back == single) << "single " << i;

        const MultiPreset multi = random.multi();
        std::array<unsigned char, kMultiRecordSize> mr{};
        EXPECT_TRUE(writeMulti(mr.data(), multi));
        ASSERT_TRUE(allSevenBit(mr.data(), mr.size()));
        MultiPreset mback{};
        ASSERT_TRUE(readMulti(mback, mr.data()));
        ASSERT_TRUE(sameMulti(mback, multi)) << "multi " << i;
    }
    EXPECT_TRUE(capture.lines().empty());
}

TEST(Records, AnyNonzeroMuteFlagWritesAsMuted) {
    SinglePreset s{};
    s.mute[0] = 2;
    s.mute[3] = 1;
    EXPECT_EQ(singleRecord(s)[singlelayout::Mute.byte], 0x09);
}

TEST(Records, SectionModeKeepsBothBitsAndOldModesWriteAsBefore) {
    MultiPreset m{};
    m.sections[0].mode = 1;
    m.sections[1].mode = 2;
    std::array<unsigned char, kMultiRecordSize> r{};
    EXPECT_TRUE(writeMulti(r.data(), m));
    EXPECT_EQ(r[43], 0x40); // mode 1: bit 6 of the channel byte, as the K1 writes it
    EXPECT_EQ(r[35], 0x00);
    EXPECT_EQ(r[36], 0x40); // mode 2: bit 6 of the poly byte
    EXPECT_EQ(r[44], 0x00);
    r[37] |= 0x40; // mode 3 read from a foreign dump is repaired to 2
    r[45] |= 0x40;
    resum(r.data(), kMultiRecordSize);
    LogCapture capture;
    MultiPreset back{};
    ASSERT_TRUE(readMulti(back, r.data()));
    EXPECT_EQ(back.sections[0].mode, 1u);
    EXPECT_EQ(back.sections[1].mode, 2u);
    EXPECT_EQ(back.sections[2].mode, 2u);
    EXPECT_TRUE(capture.contains("readMulti@202: : Invalid multi midi mode 3 in section 2"));
}

TEST(Records, ReadSingleRefusesChecksumAndBendRangeAndRepairsTheRest) {
    SinglePreset original{};
    std::strcpy(original.name, "Bells");
    std::array<unsigned char, kSingleRecordSize> r = singleRecord(original);
    LogCapture capture;

    auto bad = r;
    bad[87] ^= 1;
    SinglePreset out{};
    out.volume = 42;
    EXPECT_FALSE(readSingle(out, bad.data()));
    EXPECT_EQ(out.volume, 42); // untouched
    EXPECT_EQ(capture.lines().back(), "readSingle@49: Invalid checksum, expected " + std::to_string(r[87]) +
                                          " but got " + std::to_string(bad[87]));

    bad = r;
    bad[15] = 0x0D;
    resum(bad.data(), kSingleRecordSize);
    EXPECT_FALSE(readSingle(out, bad.data()));
    EXPECT_EQ(capture.lines().back(), "readSingle@71: Invalid pitch bend range, valid is 0-12 but got 13");

    bad = r;
    bad[17] = 3 << 5; // wheel mode 3
    bad[22] = 0x10;
    resum(bad.data(), kSingleRecordSize);
    ASSERT_TRUE(readSingle(out, bad.data()));
    EXPECT_EQ(out.vibWheelMode, 1u);
    for (uint8_t m : out.mute)
        EXPECT_EQ(m, 0);
    EXPECT_TRUE(
        capture.contains("readSingle@85: Bells: Invalid vibrato wheel mode, needs to be 0 or 1 but got 3"));
    EXPECT_TRUE(
        capture.contains("readSingle@98: Invalid sources mute flags, allowed are 0000xxxx but got 16"));
}

TEST(Records, ReadMultiRepairsFieldsAndRefusesOnlyTheChecksum) {
    MultiPreset m{};
    std::strcpy(m.name, "Split");
    std::array<unsigned char, kMultiRecordSize> r{};
    EXPECT_TRUE(writeMulti(r.data(), m));
    r[10] = 120;
    r[67 + 7] = 101;
    r[35 + 2] = 3 << 4; // output 3
    r[43 + 1] = 3 << 4; // velocity 3
    r[35 + 4] = 12;     // poly 12
    r[51 + 5] = 127;    // transpose +103
    resum(r.data(), kMultiRecordSize);
    LogCapture capture;
    MultiPreset out{};
    ASSERT_TRUE(readMulti(out, r.data()));
    EXPECT_EQ(out.volume, 99u);
    EXPECT_EQ(out.sections[7].level, 100u);
    EXPECT_EQ(out.sections[2].output, 1u);
    EXPECT_EQ(out.sections[1].velocity, 0u);
    EXPECT_EQ(out.sections[4].poly, 0u);
    EXPECT_EQ(out.sections[5].transpose, 24);
    EXPECT_TRUE(capture.contains("readMulti@161: Split: Invalid multi volume 120"));
    EXPECT_TRUE(capture.contains("readMulti@214: Split: Invalid multi section level 101 in section 7"));
    EXPECT_TRUE(capture.contains("readMulti@196: Split: Invalid multi output mode 3 in section 2"));
    EXPECT_TRUE(capture.contains("readMulti@208: Split: Invalid multi velo switch 3 in section 1"));
    EXPECT_TRUE(capture.contains("readMulti@190: Split: Invalid multi poly mode 12"));
}

// Whatever arrives in a record position, the decoded record is in range and survives a round trip.
TEST(Records, HostileBytesInEveryPositionDecodeIntoRange) {
    testing_records::RecordRandom random(99);
    LogCapture capture;
    const unsigned char hostile[] = {0x00, 0x0D, 0x3F, 0x64, 0x65, 0x7F, 0x80, 0xF0, 0xF7, 0xFF};
    for (int pos = 0; pos < 87; ++pos) {
        for (unsigned char value : hostile) {
            std::array<unsigned char, kSingleRecordSize> r = singleRecord(random.single());
            r[pos] = value;
            resum(r.data(), kSingleRecordSize);
            SinglePreset s{};
            if (!readSingle(s, r.data())) continue; // only a bend range above 12 is refused
            std::array<unsigned char, kSingleRecordSize> again = singleRecord(s);
            ASSERT_TRUE(allSevenBit(again.data(), kSingleRecordSize)) << pos;
            SinglePreset back{};
            ASSERT_TRUE(readSingle(back, again.data()));
            ASSERT_TRUE(back == s) << "byte " << pos << " value " << int(value);
        }
    }
    for (int pos = 0; pos < 75; ++pos) {
        for (unsigned char value : hostile) {
            std::array<unsigned char, kMultiRecordSize> r{};
            EXPECT_TRUE(writeMulti(r.data(), random.multi()));
            r[pos] = value;
            resum(r.data(), kMultiRecordSize);
            MultiPreset m{};
            ASSERT_TRUE(readMulti(m, r.data()));
            std::array<unsigned char, kMultiRecordSize> again{};
            EXPECT_TRUE(writeMulti(again.data(), m));
            ASSERT_TRUE(allSevenBit(again.data(), kMultiRecordSize)) << pos;
            MultiPreset back{};
            ASSERT_TRUE(readMulti(back, again.data()));
            ASSERT_TRUE(sameMulti(back, m)) << "byte " << pos << " value " << int(value);
        }
    }
}

TEST(Records, NamesAreTrimmedCutAndRepaired) {
    SinglePreset s{};
    std::memcpy(s.name, "Pad   ", 6);
    std::array<unsigned char, kSingleRecordSize> r = singleRecord(s);
    SinglePreset back{};
    ASSERT_TRUE(readSingle(back, r.data()));
    EXPECT_STREQ(back.name, "Pad");

    // An unterminated name never writes past its ten characters.
    std::memset(s.name, 'A', sizeof s.name);
    r = singleRecord(s);
    EXPECT_EQ(r[10], s.volume);
    ASSERT_TRUE(readSingle(back, r.data()));
    EXPECT_STREQ(back.name, "AAAAAAAAAA");

    // NUL padding from other software reads as a plain name.
    r = singleRecord(SinglePreset{});
    std::memcpy(r.data(), "Hi\0\0\0\0\0\0\0\0", 10);
    resum(r.data(), kSingleRecordSize);
    LogCapture capture;
    ASSERT_TRUE(readSingle(back, r.data()));
    EXPECT_STREQ(back.name, "Hi");
    for (int i = 3; i < 11; ++i)
        EXPECT_EQ(back.name[i], 0);

    char out[11];
    const unsigned char field[10] = {'A', 'B', ' ', ' ', 0, 'x', 'y', 'z', 'w', 'v'};
    EXPECT_TRUE(readName(out, field, 10));
    EXPECT_STREQ(out, "AB");
    const unsigned char blanks[10] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    EXPECT_FALSE(readName(out, blanks, 10));
}
