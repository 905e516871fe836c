// The engine's state record on its own: the byte layout written, blocks of other sizes read, and
// every kind of bad record refused with its log line before anything would be applied.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "k1lib/engine/EngineStateRecord.h"
#include "k1lib/records/FactoryData.h"
#include "tests/k1lib/StateRecordBytes.h"
#include "tests/support/LogCapture.h"

using namespace k1lib;
using namespace state_bytes;

namespace {

// Offsets in a version 4 record without custom data.
constexpr size_t kModeOffset = 60;
constexpr size_t kValuesOffset = 68;
constexpr size_t kCurrentSingleOffset = 908;
constexpr size_t kSinglesOffset = 920;

EngineStateRecord factoryRecord() {
    initFactoryData();
    EngineStateRecord record;
    record.playMode = PlayMode_Multi;
    record.parameterValues.assign(kParamCount, 0.25f);
    record.currentSingle = 5;
    record.currentMulti = 7;
    record.singles = factorySingles;
    record.multis = factoryMultis;
    return record;
}

Bytes written(const EngineStateRecord& record) {
    Bytes out;
    record.write(out);
    return out;
}

bool readsBack(const Bytes& bytes) {
    EngineStateRecord record;
    return record.read(bytes);
}

// The sizes of the K1 messages in a block of dumps.
std::vector<size_t> messageSizes(const Bytes& bytes, size_t offset, size_t size) {
    std::vector<size_t> sizes;
    for (size_t start = offset; start < offset + size;) {
        size_t end = start;
        while (bytes.at(end) != 0xF7)
            ++end;
        sizes.push_back(end + 1 - start);
        start = end + 1;
    }
    return sizes;
}

} // namespace

TEST(EngineStateRecordLayout, FactoryBanksGiveTheFieldsInOrderIn115687Bytes) {
    const Bytes bytes = written(factoryRecord());
    ASSERT_EQ(bytes.size(), 115687u);
    EXPECT_EQ(u32At(bytes, 0), 4u);
    EXPECT_EQ(u32At(bytes, 4), 52u);
    const uint32_t defaults[13] = {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0};
    for (size_t f = 0; f < 13; ++f)
        EXPECT_EQ(u32At(bytes, 8 + 4 * f), defaults[f]) << "setting " << f;
    EXPECT_EQ(u32At(bytes, kModeOffset), 1u);
    EXPECT_EQ(u32At(bytes, 64), 209u);
    EXPECT_EQ(u32At(bytes, kValuesOffset), 0x3E800000u); // 0.25f
    EXPECT_EQ(u32At(bytes, 904), 0u);                    // no custom data
    EXPECT_EQ(u32At(bytes, kCurrentSingleOffset), 5u);
    EXPECT_EQ(u32At(bytes, 912), 968u);
    ASSERT_EQ(u32At(bytes, 916), 85463u);

    const std::vector<size_t> singleSizes = messageSizes(bytes, kSinglesOffset, 85463);
    ASSERT_EQ(singleSizes.size(), 31u);
    for (size_t j = 0; j < 30; ++j)
        EXPECT_EQ(singleSizes[j], 2825u);
    EXPECT_EQ(singleSizes[30], 713u);
    // Runs alternate between the two halves of internal memory: sub-command 2 is 00h, then 20h.
    size_t start = kSinglesOffset;
    for (size_t j = 0; j < singleSizes.size(); start += singleSizes[j++])
        EXPECT_EQ(bytes[start + 7], j % 2 ? 0x20 : 0x00) << "dump " << j;

    const size_t multiFields = kSinglesOffset + 85463;
    EXPECT_EQ(u32At(bytes, multiFields), 7u);
    EXPECT_EQ(u32At(bytes, multiFields + 4), 384u);
    ASSERT_EQ(u32At(bytes, multiFields + 8), 29292u);
    const std::vector<size_t> multiSizes = messageSizes(bytes, multiFields + 12, 29292);
    EXPECT_EQ(multiSizes, std::vector<size_t>(12, 2441u));
}

TEST(EngineStateRecordRead, ConfigBlocksAndParameterCountsOfOtherSizes) {
    const auto record = [](uint32_t configSize, const std::vector<float>& values) {
        return header(4, configSize, 0, values, {}).u32(0).u32(0).block({}).u32(0).u32(0).block({}).bytes;
    };
    // 48 bytes set the first twelve settings and keep the output mode.
    EngineStateRecord shortConfig;
    shortConfig.config.audioOutputMode = 1;
    shortConfig.config.midiReceiveChannel = 9;
    ASSERT_TRUE(shortConfig.read(record(48, {})));
    EXPECT_EQ(shortConfig.config.midiReceiveChannel, 0u);
    EXPECT_EQ(shortConfig.config.audioOutputMode, 1u);
    // A longer block is skipped past its 52 bytes.
    EngineStateRecord longConfig;
    ASSERT_TRUE(longConfig.read(record(61, std::vector<float>(3, 1.0f))));
    EXPECT_EQ(longConfig.parameterValues, std::vector<float>(3, 1.0f));

    EngineStateRecord fewValues;
    ASSERT_TRUE(fewValues.read(record(52, std::vector<float>(100, 0.0f))));
    EXPECT_EQ(fewValues.parameterValues.size(), 100u);
    // Values beyond the 209 parameters are skipped unread, whatever they hold.
    std::vector<float> many(300, 0.5f);
    many[250] = std::numeric_limits<float>::quiet_NaN();
    EngineStateRecord manyValues;
    ASSERT_TRUE(manyValues.read(record(52, many)));
    EXPECT_EQ(manyValues.parameterValues, std::vector<float>(209, 0.5f));
}

TEST(EngineStateRecordRead, RefusesBadFieldsWithTheirLogLine) {
    const Bytes good = written(factoryRecord());
    const auto withU32 = [&](size_t offset, uint32_t value) {
        Bytes bytes = good;
        for (int b = 0; b < 4; ++b)
            bytes[offset + b] = static_cast<unsigned char>(value >> (8 * b));
        return bytes;
    };
    uint32_t nanBits = 0;
    const float nan = std::nanf("");
    std::memcpy(&nanBits, &nan, sizeof nanBits);
    Bytes badDump = good;
    badDump[kSinglesOffset + 8 + kSingleRecordSize * 40 + 20] ^=
        1; // a record in the second dump: its checksum fails
    Bytes shortRecord = good;
    shortRecord.resize(910);

    const std::vector<std::pair<Bytes, std::string>> cases = {
        {{}, "loadState@818: Unable to restore state, the record is empty"},
        {withU32(0, 5), "loadState@824: Unable to restore state, unknown version number 5"},
        {withU32(0, 0), "loadState@824: Unable to restore state, unknown version number 0"},
        {withU32(8, 16),
         "loadState@846: Unable to restore state, setting midiReceiveChannel is 16, expected 0-15"},
        {withU32(8 + 4 * 12, 2),
         "loadState@846: Unable to restore state, setting audioOutputMode is 2, expected 0-1"},
        {withU32(kModeOffset, 2), "loadState@852: Unable to restore state, unknown play mode 2"},
        {withU32(kValuesOffset + 12, nanBits),
         "loadState@860: Unable to restore state, parameter 3 has the value nan, expected 0-1"},
        {withU32(kValuesOffset, 0x3FC00000), // 1.5f
         "loadState@860: Unable to restore state, parameter 0 has the value 1.5, expected 0-1"},
        {withU32(kCurrentSingleOffset, 968),
         "loadState@880: Unable to restore state, current Single 968 is beyond the 968 Singles"},
        {withU32(kSinglesOffset + 85463, 384),
         "loadState@880: Unable to restore state, current Multi 384 is beyond the 384 Multis"},
        {withU32(916, 200000), "loadState@830: Unable to restore state, the record ends inside the Singles"},
        {withU32(kSinglesOffset + 85463 + 8, 29293),
         "loadState@830: Unable to restore state, the record ends inside the Multis"},
        {withU32(64, 0x40000000),
         "loadState@830: Unable to restore state, the record ends inside the parameter values"},
        {shortRecord, "loadState@830: Unable to restore state, the record ends inside the current Single"},
        {badDump, "loadState@866: Unable to restore state, a dump of the Singles does not read"},
    };
    for (const auto& [bytes, line] : cases) {
        LogCapture capture;
        EXPECT_FALSE(readsBack(bytes)) << line;
        EXPECT_TRUE(capture.contains(line)) << line;
    }
}

TEST(EngineStateRecordRead, RefusesEveryTruncation) {
    const Bytes good = written(factoryRecord());
    LogCapture capture; // one line per refusal
    for (size_t length = 0; length < good.size(); ++length) {
        // An exact copy, so a read past the prefix would touch memory it does not own.
        const Bytes prefix(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length));
        ASSERT_FALSE(readsBack(prefix)) << length;
        if (length % 4096 == 0) capture.clear();
    }
    EXPECT_TRUE(readsBack(good));
}

TEST(EngineStateRecordRead, ExtraDumpsNeverGrowTheBanks) {
    initFactoryData();
    std::vector<SinglePreset> singles = factorySingles;
    singles.insert(singles.end(), factorySingles.begin(), factorySingles.begin() + 40);
    std::vector<MultiPreset> multis = factoryMultis;
    multis.push_back(factoryMultis[0]);
    EngineStateRecord record;
    LogCapture capture;
    ASSERT_TRUE(record.read(header(4, 52, 0, {}, {})
                                .u32(0)
                                .u32(1008)
                                .block(singleDumps(singles))
                                .u32(0)
                                .u32(385)
                                .block(multiDumps(multis))
                                .bytes));
    EXPECT_EQ(record.singles.size(), 968u);
    EXPECT_EQ(record.multis.size(), 384u);
    EXPECT_TRUE(capture.contains("loadState@872: Ignoring 40 Singles beyond the bank of 968"));
    EXPECT_TRUE(capture.contains("loadState@872: Ignoring 1 Multis beyond the bank of 384"));
}
