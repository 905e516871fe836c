// Reading and writing whole K1 messages: framing tests, requests, parameter sends, buffers,
// short messages and files.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "k1lib/records/Sysex.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RandomRecords.h"

using namespace k1lib;
using Bytes = std::vector<unsigned char>;

namespace {

// Reads a message from a heap block of exactly its length, so any over-read is caught.
bool readExact(Sysex::SysexResult& result, const Bytes& message, unsigned char filter = 255) {
    std::unique_ptr<unsigned char[]> copy(new unsigned char[message.size() ? message.size() : 1]);
    std::copy(message.begin(), message.end(), copy.get());
    return Sysex::readSysex(result, copy.get(), message.size(), filter);
}

Bytes dumpOf(std::vector<SinglePreset> singles, StorageLocation location, unsigned char number) {
    Bytes out;
    EXPECT_TRUE(Sysex::writeSingles(out, singles, 0, location, number));
    return out;
}

} // namespace

TEST(SysexMessages, OneSingleDumpGivesItsNumber) {
    Bytes dump = dumpOf({SinglePreset{}}, StorageI, 5);
    Sysex::SysexResult result;
    ASSERT_TRUE(readExact(result, dump));
    EXPECT_EQ(result.singles.size(), 1u);
    EXPECT_EQ(result.firstSingle, 5u);
    dump[6] = 1;
    ASSERT_TRUE(readExact(result, dump));
    EXPECT_EQ(result.firstSingle, 69u);
    EXPECT_EQ(result.singles.size(), 2u); // results accumulate
}

TEST(SysexMessages, AllBlockDumpsHoldThirtyTwoRecords) {
    testing_records::RecordRandom random(7);
    std::vector<SinglePreset> singles;
    std::vector<MultiPreset> multis;
    for (int i = 0; i < 32; ++i) {
        singles.push_back(random.single());
        multis.push_back(random.multi());
    }
    Bytes s, m;
    ASSERT_TRUE(Sysex::writeSingles(s, singles, 3, Storagei, 0));
    ASSERT_TRUE(Sysex::writeMultis(m, multis, 3, StorageI, 0));
    EXPECT_EQ(s.size(), 2825u);
    EXPECT_EQ(m.size(), 2441u);
    EXPECT_EQ(s[7], 0x20);
    Sysex::SysexResult result;
    ASSERT_TRUE(readExact(result, s, 3));
    ASSERT_TRUE(readExact(result, m, 3));
    ASSERT_EQ(result.singles.size(), 32u);
    ASSERT_EQ(result.multis.size(), 32u);
    EXPECT_EQ(result.firstSingle, 32u);
    EXPECT_EQ(result.firstMulti, 0u);
    for (int i = 0; i < 32; ++i) {
        EXPECT_TRUE(result.singles[i] == singles[i]);
        EXPECT_TRUE(sameMulti(result.multis[i], multis[i]));
    }
}

TEST(SysexMessages, ABadRecordFailsTheDumpAndLeavesAGapWhereItStood) {
    std::vector<SinglePreset> singles(4);
    for (size_t i = 0; i < singles.size(); ++i)
        singles[i].volume = static_cast<uint8_t>(10 + i);
    Bytes dump;
    ASSERT_TRUE(Sysex::writeSingles(dump, singles, 0, StorageI, 0));
    unsigned char* third = dump.data() + 8 + 2 * kSingleRecordSize;
    third[15] = 0x0D;
    third[87] = getChecksum(third, 87);
    Sysex::SysexResult result;
    LogCapture capture;
    EXPECT_FALSE(readExact(result, dump));
    ASSERT_EQ(result.singles.size(), 3u);
    EXPECT_EQ(result.singleSlots, (std::vector<uint64_t>{0, 1, 3}));
    EXPECT_EQ(result.singles[2].volume, 13) << "the record after the bad one is read";
    EXPECT_TRUE(result.hasDamagedRecords());

    // Slots count on across the messages of a buffer; a Multi dump counts its own.
    Bytes multis;
    ASSERT_TRUE(Sysex::writeMultis(multis, std::vector<MultiPreset>(2), 0, StorageI, 0));
    multis[8 + 75] ^= 1;
    Bytes buffer = dump;
    buffer.insert(buffer.end(), multis.begin(), multis.end());
    buffer.insert(buffer.end(), dump.begin(), dump.end());
    Sysex::SysexResult both;
    EXPECT_FALSE(Sysex::readBuffer(both, buffer, 255)) << "every message holds a damaged record";
    EXPECT_EQ(both.singleSlots, (std::vector<uint64_t>{0, 1, 3, 4, 5, 7}));
    EXPECT_EQ(both.singleRecords, 8u);
    EXPECT_EQ(both.multiSlots, (std::vector<uint64_t>{1}));
    EXPECT_EQ(both.multiRecords, 2u);

    Sysex::SysexResult intact;
    EXPECT_TRUE(readExact(intact, dumpOf(singles, StorageI, 0)));
    EXPECT_EQ(intact.singleSlots, (std::vector<uint64_t>{0, 1, 2, 3}));
    EXPECT_FALSE(intact.hasDamagedRecords());
}

TEST(SysexMessages, FramingTestsInOrderWithTheirLines) {
    LogCapture capture;
    Sysex::SysexResult result;
    Bytes onFive = dumpOf({SinglePreset{}}, StorageI, 0);
    onFive[2] = 5;
    EXPECT_FALSE(readExact(result, onFive, 3));
    EXPECT_EQ(capture.lines().back(), "readSysex@248: Skipping read, expected channel 3 but sysex has 5");
    EXPECT_TRUE(readExact(result, onFive, 255));
    EXPECT_EQ(result.channel, 5);

    Sysex::SysexResult id;
    EXPECT_TRUE(readExact(id, {0xF0, 0x40, 0x05, 0x60, 0xF7}));
    EXPECT_TRUE(id.machineIdRequest);
    EXPECT_EQ(id.channel, 5);
    EXPECT_FALSE(readExact(id, {0xF0, 0x40, 0x05, 0x61, 0x00, 0x03, 0xF7}));

    EXPECT_FALSE(readExact(result, {0xF1, 0x40, 0x00, 0x20, 0x00, 0x03, 0xF7}));
    EXPECT_EQ(capture.lines().back(), "readSysex@228: Not a sysex message");
    EXPECT_FALSE(readExact(result, {0xF0, 0x41, 0x00, 0x20, 0x00, 0x03, 0xF7}));
    EXPECT_EQ(capture.lines().back(), "readSysex@234: Sysex from wrong manufacturer");
    EXPECT_FALSE(readExact(result, {0xF0, 0x40, 0x10, 0x20, 0x00, 0x03, 0xF7}));
    EXPECT_EQ(capture.lines().back(), "readSysex@242: Invalid channel number 16, expected 0-15");
    EXPECT_FALSE(readExact(result, {0xF0, 0x40, 0x00, 0x20, 0x01, 0x03, 0xF7}));
    EXPECT_EQ(capture.lines().back(),
              "readSysex@269: Expected group to be 0x00 (Synthesizer group) but got 1");
    EXPECT_FALSE(readExact(result, {0xF0, 0x40, 0x00, 0x20, 0x00, 0x04, 0xF7}));
    EXPECT_EQ(capture.lines().back(), "readSysex@275: Expected machine ID to be 0x03 but got 4");
    EXPECT_TRUE(readExact(result, {0xF0, 0x40, 0x00, 0x42, 0x00, 0x03, 0xF7}));
    EXPECT_EQ(capture.lines().back(), "readSysex@334: Got Sysex stating Write Error Protected");

    Bytes all = dumpOf(std::vector<SinglePreset>(2), StorageI, 0);
    all[7] = 0x10;
    EXPECT_FALSE(readExact(result, all));
    EXPECT_EQ(capture.lines().back(),
              "readSysex@386: Invalid subcommand 2, needs to be 00h, 20h or 40h but got 16");
}

TEST(SysexMessages, RequestsAndParameterSends) {
    Sysex::SysexResult result;
    ASSERT_TRUE(readExact(result, {0xF0, 0x40, 0x00, 0x10, 0x00, 0x03, 0x24, 0x05, 0x12, 0xF7}));
    ASSERT_EQ(result.parameterChanges.size(), 1u);
    EXPECT_EQ(result.parameterChanges[0].cursor, 36);
    EXPECT_EQ(result.parameterChanges[0].source, 2);
    EXPECT_EQ(result.parameterChanges[0].value, 146);
    Bytes out;
    Sysex::writeParameterChange(out, 0, result.parameterChanges[0]);
    EXPECT_EQ(out, (Bytes{0xF0, 0x40, 0x00, 0x10, 0x00, 0x03, 0x24, 0x05, 0x12, 0xF7}));

    ASSERT_TRUE(Sysex::writeOneSingleRequest(out, 2, StorageE, 7));
    EXPECT_EQ(out, (Bytes{0xF0, 0x40, 0x02, 0x00, 0x00, 0x03, 0x01, 0x07, 0xF7}));
    ASSERT_TRUE(readExact(result, out));
    ASSERT_TRUE(readExact(result, {0xF0, 0x40, 0x00, 0x00, 0x00, 0x03, 0x01, 0x45, 0xF7}));
    EXPECT_EQ(result.singleRequests, (std::vector<uint64_t>{71}));
    EXPECT_EQ(result.multiRequests, (std::vector<uint64_t>{37}));
    ASSERT_TRUE(Sysex::writeAllSinglesRequest(out, 0, Storagee));
    EXPECT_EQ(out, (Bytes{0xF0, 0x40, 0x00, 0x01, 0x00, 0x03, 0x01, 0x20, 0xF7}));
    ASSERT_TRUE(readExact(result, out));
    EXPECT_TRUE(result.allSinglesRequested);
    EXPECT_EQ(result.firstSingle, 96u);
    ASSERT_TRUE(readExact(result, {0xF0, 0x40, 0x00, 0x01, 0x00, 0x03, 0x01, 0x40, 0xF7}));
    EXPECT_TRUE(result.allMultisRequested);
    EXPECT_EQ(result.firstMulti, 32u);

    ASSERT_TRUE(Sysex::writeMachineIdRequest(out, 9));
    EXPECT_EQ(out, (Bytes{0xF0, 0x40, 0x09, 0x60, 0xF7}));
    Sysex::writeMachineIdResponse(out, 9);
    EXPECT_EQ(out, (Bytes{0xF0, 0x40, 0x09, 0x61, 0x00, 0x03, 0xF7}));
    Sysex::writeWriteResult(out, 1, 0x43);
    EXPECT_EQ(out, (Bytes{0xF0, 0x40, 0x01, 0x43, 0x00, 0x03, 0xF7}));
}

TEST(SysexMessages, WriterRefusalsLeaveOutUnchanged) {
    LogCapture capture;
    const Bytes before = {1, 2, 3};
    Bytes out = before;
    EXPECT_FALSE(Sysex::writeSingles(out, std::vector<SinglePreset>(33), 0, StorageI, 0));
    EXPECT_EQ(capture.lines().back(), "writeSingles@620: Too many singles for one command");
    EXPECT_FALSE(Sysex::writeSingles(out, {}, 0, StorageI, 0));
    EXPECT_FALSE(Sysex::writeSingle(out, SinglePreset{}, 0, Storagei, 10));
    EXPECT_EQ(capture.lines().back(), "verifySingleNumberAgainstStorageLocation@471: If single number is < "
                                      "32, storage location needs to be I or E");
    EXPECT_FALSE(Sysex::writeSingle(out, SinglePreset{}, 0, StorageI, 40));
    EXPECT_EQ(capture.lines().back(), "verifySingleNumberAgainstStorageLocation@465: If single number is >= "
                                      "32, storage location needs to be i or e");
    EXPECT_FALSE(Sysex::writeSingle(out, SinglePreset{}, 0, StorageI, 64));
    EXPECT_EQ(capture.lines().back(), "writeSingles@648: Preset number needs to be within range 0-63");
    EXPECT_FALSE(Sysex::writeMulti(out, MultiPreset{}, 0, StorageI, 32));
    EXPECT_EQ(capture.lines().back(), "writeMultis@715: Multi number needs to be within range 0-32");
    EXPECT_FALSE(Sysex::writeMultis(out, {}, 0, StorageI, 0));
    EXPECT_EQ(out, before);
    EXPECT_FALSE(Sysex::writeOneSingleRequest(out, 16, StorageI, 0));
    EXPECT_EQ(capture.lines().back(),
              "writeOneSingleRequest@752: Channel number needs to be within range 0-15");
    EXPECT_FALSE(Sysex::writeOneSingleRequest(out, 0, StorageI, 64));
    EXPECT_EQ(capture.lines().back(),
              "writeOneSingleRequest@758: Single number needs to be within range 0-63");
    EXPECT_EQ(out, before);

    ASSERT_TRUE(Sysex::writeMulti(out, MultiPreset{}, 0, StorageE, 31));
    EXPECT_EQ(out.size(), 85u);
    EXPECT_EQ(out[6], 1);
    EXPECT_EQ(out[7], 0x5F);
    ASSERT_TRUE(Sysex::writeSingles(out, std::vector<SinglePreset>(2), 0, Storagei, 0));
    EXPECT_EQ(out.size(), 185u);
    EXPECT_EQ(out[3], 0x21);
    EXPECT_EQ(out[6], 0);
    EXPECT_EQ(out[7], 0x20);
}

TEST(SysexMessages, EveryPrefixIsRefusedOrReadWithinItsLength) {
    std::vector<Bytes> messages = {
        dumpOf({SinglePreset{}}, StorageI, 3),
        dumpOf(std::vector<SinglePreset>(3), Storagei, 0),
        {0xF0, 0x40, 0x00, 0x10, 0x00, 0x03, 0x24, 0x05, 0x12, 0xF7},
        {0xF0, 0x40, 0x00, 0x00, 0x00, 0x03, 0x01, 0x07, 0xF7},
        {0xF0, 0x40, 0x00, 0x01, 0x00, 0x03, 0x00, 0x40, 0xF7},
        {0xF0, 0x40, 0x00, 0x40, 0x00, 0x03, 0xF7},
        {0xF0, 0x40, 0x00, 0x60, 0xF7},
    };
    Bytes multi;
    ASSERT_TRUE(Sysex::writeMultis(multi, std::vector<MultiPreset>(2), 0, StorageI, 0));
    messages.push_back(multi);
    LogCapture capture;
    for (const Bytes& message : messages) {
        for (size_t n = 0; n <= message.size(); ++n) {
            Bytes prefix(message.begin(), message.begin() + static_cast<long>(n));
            Sysex::SysexResult result;
            readExact(result, prefix); // ASan proves no byte beyond n is read
            prefix.push_back(0xF7);    // and a truncated message closed early is refused or partial
            Sysex::SysexResult closed;
            readExact(closed, prefix);
            EXPECT_LE(closed.singles.size() * kSingleRecordSize + closed.multis.size() * kMultiRecordSize,
                      prefix.size());
        }
    }
    Sysex::SysexResult result;
    EXPECT_FALSE(readExact(result, {0xF0, 0x40, 0x00, 0x00, 0x00, 0x03, 0xF7}));
    EXPECT_TRUE(result.singleRequests.empty() && result.multiRequests.empty());
}

TEST(SysexMessages, BufferScanSkipsGarbageAndUnclosedMessages) {
    LogCapture capture;
    Sysex::SysexResult result;
    EXPECT_FALSE(Sysex::readBuffer(result, {}, 255));
    Bytes good = dumpOf({SinglePreset{}}, StorageI, 1);
    Bytes buffer = {0x01, 0x02, 0xF7};
    buffer.insert(buffer.end(), {0xF0, 0x41, 0x00, 0xF7}); // another manufacturer
    buffer.insert(buffer.end(), good.begin(), good.end());
    buffer.insert(buffer.end(), {0x33, 0xF0, 0x40, 0x00}); // F0h with no F7h
    ASSERT_TRUE(Sysex::readBuffer(result, buffer, 255));
    EXPECT_EQ(result.singles.size(), 1u);
    EXPECT_EQ(result.firstSingle, 1u);

    // A second F0h before the F7h belongs to the message and makes it a bad one.
    Bytes inner = good;
    inner[20] = 0xF0;
    Sysex::SysexResult other;
    EXPECT_FALSE(Sysex::readBuffer(other, inner, 255));
    EXPECT_TRUE(other.singles.empty());

    // Many F0h bytes without an F7h are scanned once, not once per F0h.
    Sysex::SysexResult none;
    EXPECT_FALSE(Sysex::readBuffer(none, Bytes(1 << 20, 0xF0), 255));
}

TEST(SysexMessages, PhmPresetBecomesAOneSingleDump) {
    testing_records::RecordRandom random(3);
    SinglePreset single = random.single();
    std::strcpy(single.name, "PHm Bass");
    for (uint8_t& m : single.mute)
        m = 0;
    unsigned char record[kSingleRecordSize];
    EXPECT_TRUE(writeSingle(record, single));
    unsigned char phm[kPhmPresetSize];
    std::copy(record + 10, record + 22, phm);
    std::copy(record + 23, record + 87, phm + 12);
    Bytes out;
    LogCapture capture;
    ASSERT_TRUE(Sysex::convertPhmPreset(out, 0, 17, "PHm Bass", phm, kPhmPresetSize));
    ASSERT_EQ(out.size(), 97u);
    Sysex::SysexResult result;
    ASSERT_TRUE(Sysex::readBuffer(result, out, 255));
    ASSERT_EQ(result.singles.size(), 1u);
    EXPECT_TRUE(result.singles[0] == single);
    EXPECT_EQ(result.firstSingle, 17u);
    EXPECT_FALSE(Sysex::convertPhmPreset(out, 0, 17, "PHm Bass", phm, 75));
    EXPECT_EQ(capture.lines().back(), "convertPhmPreset@884: Invalid PHm data size");
    EXPECT_FALSE(Sysex::convertPhmPreset(out, 0, 17, "Eleven chars", phm, kPhmPresetSize));
    EXPECT_EQ(capture.lines().back(), "convertPhmPreset@890: Invalid PHm single name, max length is 10");
    EXPECT_FALSE(Sysex::convertPhmPreset(out, 0, 64, "x", phm, kPhmPresetSize));
    EXPECT_EQ(capture.lines().back(), "convertPhmPreset@896: Preset number needs to be within range 0-63");
}

TEST(SysexFiles, OnlyWholeRegularFilesAreRead) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "zyk_sysex_files";
    fs::create_directories(dir);
    LogCapture capture;
    Bytes out = {9};
    EXPECT_FALSE(Sysex::readFile(out, (dir / "missing.syx").string()));
    EXPECT_EQ(capture.lines().back(), "readFile@426: Failed to open file " + (dir / "missing.syx").string());
    EXPECT_FALSE(Sysex::readFile(out, dir.string()));
    EXPECT_EQ(out, Bytes{9});

    const Bytes dump = dumpOf({SinglePreset{}}, StorageI, 2);
    const fs::path file = dir / "one.syx";
    FILE* f = std::fopen(file.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fwrite(dump.data(), 1, dump.size(), f);
    std::fclose(f);
    ASSERT_TRUE(Sysex::readFile(out, file.string()));
    EXPECT_EQ(out, dump);
    Sysex::SysexResult result;
    ASSERT_TRUE(Sysex::readFile(result, file.string(), 255));
    EXPECT_EQ(result.firstSingle, 2u);
    fs::remove_all(dir);
}
