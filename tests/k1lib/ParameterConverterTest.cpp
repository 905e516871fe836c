#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "k1lib/params/ParameterConverter.h"
#include "k1lib/records/Sysex.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RandomRecords.h"

using namespace k1lib;

namespace {

constexpr uint32_t kLastSingleParam = Param_SourceS4FreqKeyScaleToFreq;

// The record survives a K1 dump: 7-bit bytes, read back equal.
::testing::AssertionResult writesAndReadsBack(const SinglePreset& single) {
    std::array<unsigned char, kSingleRecordSize> record{};
    EXPECT_TRUE(writeSingle(record.data(), single));
    for (unsigned char b : record)
        if (b >= 0x80) return ::testing::AssertionFailure() << "byte " << int(b);
    SinglePreset back{};
    if (!readSingle(back, record.data())) return ::testing::AssertionFailure() << "refused";
    if (!(back == single)) return ::testing::AssertionFailure() << "differs";
    return ::testing::AssertionSuccess();
}

Sysex::ParameterChange change(uint8_t cursor, uint8_t source, uint8_t value) {
    return {cursor, source, value};
}

} // namespace

TEST(ParameterConverter, IntegerPathStoresTheK1Encodings) {
    SinglePreset single{};
    ASSERT_TRUE(ParameterConverter::toSingle(single, Param_SourceS2Fine, -50));
    EXPECT_EQ(single.sources[1].fine, 0u);
    int out = 0;
    ASSERT_TRUE(ParameterConverter::getValue(out, Param_SourceS2Fine, single));
    EXPECT_EQ(out, -50);
    ASSERT_TRUE(ParameterConverter::toSingle(single, Param_Volume, 100));
    EXPECT_EQ(single.volume, 99);
    ASSERT_TRUE(ParameterConverter::toSingle(single, Param_SourceS3Mute, 7));
    EXPECT_EQ(single.mute[2], 1);
    ASSERT_TRUE(ParameterConverter::toSingle(single, Param_AutoBendDepth, 10));
    EXPECT_EQ(single.autoBendDepth, 60);

    MultiPreset multi{};
    ASSERT_TRUE(ParameterConverter::toMulti(multi, Param_MultiS3Tune, -7));
    EXPECT_EQ(multi.sections[2].tune, -7);
    ASSERT_TRUE(ParameterConverter::toMulti(multi, Param_MultiVolume, 1));
    EXPECT_EQ(multi.volume, 0u);
    ASSERT_TRUE(ParameterConverter::toMulti(multi, Param_MultiS8Level, 55));
    EXPECT_EQ(multi.sections[7].level, 55u);
}

TEST(ParameterConverter, IntegerPathClampsToTheParameterRange) {
    SinglePreset single{};
    EXPECT_TRUE(ParameterConverter::toSingle(single, Param_PitchBendDepth, 40));
    EXPECT_TRUE(ParameterConverter::toSingle(single, Param_SourceS1Fine, 300));
    EXPECT_TRUE(ParameterConverter::toSingle(single, Param_SourceS2Wave, 256));
    EXPECT_TRUE(ParameterConverter::toSingle(single, Param_Volume, 0));
    EXPECT_EQ(single.pitchBendDepth, 12u);
    EXPECT_EQ(single.sources[0].fine, 100u);
    EXPECT_EQ(single.sources[1].wave, 255);
    EXPECT_EQ(single.volume, 0);
    EXPECT_TRUE(writesAndReadsBack(single));

    MultiPreset multi{};
    EXPECT_TRUE(ParameterConverter::toMulti(multi, Param_MultiS1Transpose, 99));
    EXPECT_TRUE(ParameterConverter::toMulti(multi, Param_MultiS1Channel, -3));
    EXPECT_TRUE(ParameterConverter::toMulti(multi, Param_MultiVolume, 500));
    EXPECT_EQ(multi.sections[0].transpose, 24);
    EXPECT_EQ(multi.sections[0].channel, 0u);
    EXPECT_EQ(multi.volume, 99u);
}

TEST(ParameterConverter, NamesAreReadOnlyAndReadAsPrintableCharacters) {
    SinglePreset single{};
    std::strcpy(single.name, "Pad");
    const SinglePreset before = single;
    EXPECT_TRUE(ParameterConverter::toSingle(single, Param_Name01, 65));
    EXPECT_TRUE(single == before);
    int out = 0;
    ASSERT_TRUE(ParameterConverter::getValue(out, Param_Name01, single));
    EXPECT_EQ(out, 'P');
    // A short name's NUL bytes would be plain 0, below the parameter's range: they read as blanks.
    ASSERT_TRUE(ParameterConverter::getValue(out, Param_Name10, single));
    EXPECT_EQ(out, ' ');
    single.name[1] = static_cast<char>(0xC8);
    ASSERT_TRUE(ParameterConverter::getValue(out, Param_Name02, single));
    EXPECT_EQ(out, ' ');

    MultiPreset multi{};
    std::strcpy(multi.name, "Split");
    EXPECT_TRUE(ParameterConverter::toMulti(multi, Param_MultiName02, 66));
    ASSERT_TRUE(ParameterConverter::getValue(out, Param_MultiName02, multi));
    EXPECT_EQ(out, 'p');
    ASSERT_TRUE(ParameterConverter::getValue(out, Param_MultiName10, multi));
    EXPECT_EQ(out, ' ');
}

TEST(ParameterConverter, UnknownParametersAreRefused) {
    LogCapture capture;
    SinglePreset single{};
    MultiPreset multi{};
    int out = 12345;
    EXPECT_FALSE(ParameterConverter::toSingle(single, Param_SourceMix12, 0));
    EXPECT_FALSE(ParameterConverter::getValue(out, Param_Mode, single));
    EXPECT_FALSE(ParameterConverter::toSingle(single, static_cast<EParam>(5000), 3));
    EXPECT_FALSE(ParameterConverter::toMulti(multi, Param_SourceMix12, 0));
    EXPECT_FALSE(ParameterConverter::toMulti(multi, static_cast<EParam>(209), 0));
    EXPECT_FALSE(ParameterConverter::getValue(out, Param_Volume, multi));
    EXPECT_FALSE(ParameterConverter::getValue(out, static_cast<EParam>(209), multi));
    EXPECT_EQ(out, 12345);
    EXPECT_TRUE(single == SinglePreset{});
    EXPECT_TRUE(sameMulti(multi, MultiPreset{}));
    const std::vector<std::string> expected = {"toSingle@198: ERROR: Unknown parameter 107 with value 0",
                                               "getValue@444: ERROR: Unknown parameter 208",
                                               "toSingle@198: ERROR: Unknown parameter 5000 with value 3"};
    EXPECT_EQ(capture.lines(), expected);
}

TEST(ParameterConverter, RandomRecordsRoundTripThroughTheParameters) {
    testing_records::RecordRandom random(31);
    for (int n = 0; n < 300; ++n) {
        const SinglePreset single = random.single();
        SinglePreset rebuilt{};
        std::memcpy(rebuilt.name, single.name, sizeof(single.name)); // names travel as a whole
        for (uint32_t p = Param_Volume; p <= kLastSingleParam; ++p) {
            int value = 0;
            ASSERT_TRUE(ParameterConverter::getValue(value, static_cast<EParam>(p), single));
            ASSERT_GE(value, g_params[p].min) << p;
            ASSERT_LE(value, g_params[p].max) << p;
            ASSERT_TRUE(ParameterConverter::toSingle(rebuilt, static_cast<EParam>(p), value));
        }
        ASSERT_TRUE(rebuilt == single);

        const MultiPreset multi = random.multi();
        MultiPreset rebuiltMulti{};
        std::memcpy(rebuiltMulti.name, multi.name, sizeof(multi.name));
        for (uint32_t p = Param_MultiVolume; p <= Param_MultiS8Level; ++p) {
            int value = 0;
            ASSERT_TRUE(ParameterConverter::getValue(value, static_cast<EParam>(p), multi));
            ASSERT_TRUE(ParameterConverter::toMulti(rebuiltMulti, static_cast<EParam>(p), value));
        }
        ASSERT_TRUE(sameMulti(rebuiltMulti, multi));
    }
}

// For every parameter with a cursor, the engine's send order (integer path into a copy, then
// fromSingle) yields a change that sets the same field when the K1 or another plug-in receives it:
// a wrong cursor or source index in the table lands the value in another field.
TEST(ParameterConverter, SentChangesSetTheSameFieldOnReceipt) {
    testing_records::RecordRandom random(7);
    for (int n = 0; n < 50; ++n) {
        const SinglePreset edited = random.single();
        for (uint32_t p = Param_Volume; p <= kLastSingleParam; ++p) {
            const EParam param = static_cast<EParam>(p);
            unsigned char source = 0;
            const ParameterCursor cursor = ParameterConverter::toCursor(source, param);
            if (cursor == 0) continue;
            unsigned char value = 0;
            const bool sent = ParameterConverter::fromSingle(value, edited, cursor, source);
            EXPECT_EQ(sent, cursor != 36 && cursor != 37) << p; // AM settings are never sent
            SinglePreset receiver = random.single();
            ASSERT_TRUE(ParameterConverter::toSingle(receiver, change(cursor, source, value))) << p;
            int expected = 0, got = 0;
            ParameterConverter::getValue(expected, param, edited);
            ParameterConverter::getValue(got, param, receiver);
            EXPECT_EQ(got, expected) << p;
        }
    }
}

TEST(ParameterConverter, ReceivedChangesFollowTheCursorRules) {
    SinglePreset single{};
    EXPECT_FALSE(ParameterConverter::toSingle(single, change(17, 0, 4)));
    EXPECT_TRUE(ParameterConverter::toSingle(single, change(17, 0, 3)));
    EXPECT_EQ(single.lfoShape, 3u);
    EXPECT_TRUE(ParameterConverter::toSingle(single, change(25, 0, 12)));
    EXPECT_EQ(single.pitchBendDepth, 12u);
    EXPECT_FALSE(ParameterConverter::toSingle(single, change(25, 0, 13))); // unreadable in a dump
    EXPECT_EQ(single.pitchBendDepth, 12u);
    EXPECT_TRUE(ParameterConverter::toSingle(single, change(31, 1, 5)));
    EXPECT_EQ(single.sources[1].keyTrack, 1);
    EXPECT_TRUE(ParameterConverter::toSingle(single, change(14, 0, 9)));
    EXPECT_EQ(single.source2or4, 1u);
    EXPECT_FALSE(ParameterConverter::toSingle(single, change(30, 4, 10)));
    EXPECT_TRUE(ParameterConverter::toSingle(single, change(28, 2, 60)));
    EXPECT_TRUE(ParameterConverter::toSingle(single, change(29, 3, 61)));
    EXPECT_EQ(single.sources[2].coarse, 60u);
    EXPECT_EQ(single.sources[3].coarse, 61u);
    EXPECT_FALSE(ParameterConverter::toSingle(single, change(3, 0, 100)));
    EXPECT_TRUE(ParameterConverter::toSingle(single, change(36, 0, 2)));
    EXPECT_EQ(single.ampModS1S2, 2u);
    for (uint8_t refused : std::initializer_list<uint8_t>{0, 1, 2, 38, 39, 40, 53, 127, 255})
        EXPECT_FALSE(ParameterConverter::toSingle(single, change(refused, 0, 1))) << int(refused);

    single.sources[3].envLevel = 77;
    unsigned char value = 0;
    EXPECT_FALSE(ParameterConverter::fromSingle(value, single, 39, 0));
    EXPECT_TRUE(ParameterConverter::fromSingle(value, single, 41, 3));
    EXPECT_EQ(value, 77);
    EXPECT_FALSE(ParameterConverter::fromSingle(value, single, 41, 4));
    EXPECT_FALSE(ParameterConverter::fromSingle(value, single, 36, 0));
    EXPECT_EQ(value, 2); // written, but not sent

    SingleSource source{};
    EXPECT_TRUE(toSingleSource(source, change(47, 0, 7)));
    EXPECT_FALSE(toSingleSource(source, change(47, 0, 8)));
    EXPECT_FALSE(toSingleSource(source, change(3, 0, 8)));
    EXPECT_TRUE(fromSingleSource(value, source, 47));
    EXPECT_EQ(value, 7);
}

TEST(ParameterConverter, ReceivedNameCharactersKeepTheRecordsNameForm) {
    SinglePreset single{};
    std::strcpy(single.name, "AB");
    ASSERT_TRUE(ParameterConverter::toSingle(single, change(4 + 5, 0, 'X')));
    EXPECT_EQ(std::memcmp(single.name, "AB   X\0\0\0\0\0", 11), 0);
    ASSERT_TRUE(ParameterConverter::toSingle(single, change(4 + 5, 0, ' ')));
    EXPECT_EQ(std::memcmp(single.name, "AB\0\0\0\0\0\0\0\0\0", 11), 0);
    EXPECT_FALSE(ParameterConverter::toSingle(single, change(4, 0, 0)));
    EXPECT_FALSE(ParameterConverter::toSingle(single, change(4, 0, 128)));
    unsigned char value = 0;
    ASSERT_TRUE(ParameterConverter::fromSingle(value, single, 4 + 9, 0));
    EXPECT_EQ(value, ' ');
    EXPECT_TRUE(writesAndReadsBack(single));
}

// Whatever arrives, every field stays in range and the Single still survives a dump.
TEST(ParameterConverter, AnyReceivedChangeKeepsTheSingleWritable) {
    testing_records::RecordRandom random(5);
    for (int cursor = 0; cursor < 256; ++cursor)
        for (uint8_t source = 0; source < 8; ++source)
            for (uint8_t value : std::initializer_list<uint8_t>{0, 1, 2, 3, 4, 5, 7, 8, 12, 13, 99, 100, 101,
                                                                127, 128, 255}) {
                SinglePreset single = random.single();
                const SinglePreset before = single;
                const bool stored =
                    ParameterConverter::toSingle(single, change(static_cast<uint8_t>(cursor), source, value));
                if (!stored) {
                    ASSERT_TRUE(single == before) << cursor << " " << int(source) << " " << int(value);
                }
                ASSERT_TRUE(writesAndReadsBack(single)) << cursor << " " << int(source) << " " << int(value);
            }
}
