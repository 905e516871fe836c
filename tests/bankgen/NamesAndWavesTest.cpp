// Preset names the display can show, and waveforms chosen by name.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "tools/bankgen/NameBook.h"
#include "tools/bankgen/Waves.h"

namespace {

using namespace bankgen;

TEST(BankgenNames, OnlyWhatTheDisplayShows) {
    for (const char* good : {"Piano&Str", "Bass/Piano", "12 String", "A", "Str+Pad[1]", "Hi-Hat #2"})
        EXPECT_TRUE(isDisplayableName(good)) << good;
    for (const char* bad : {"", "Under_line", "Caret^", "Back`tick", "Trailing ", "Eleven Char", "Tab\there",
                            "\xC3\xA9t\xC3\xA9"})
        EXPECT_FALSE(isDisplayableName(bad)) << bad;
}

TEST(BankgenNames, NoNameTwice) {
    NameBook book;
    EXPECT_TRUE(book.claim("Rock Kit"));
    EXPECT_FALSE(book.claim("Rock Kit"));
    EXPECT_FALSE(book.claim("Bad_Name"));
    EXPECT_EQ(book.claimNumbered("Rock Kit"), "Rock Kit 2");
    EXPECT_EQ(book.claimNumbered("Rock Kit"), "Rock Kit 3");
    // A full-length name is cut to make room for its number.
    EXPECT_EQ(book.claimNumbered("Studio Kit"), "Studio Kit");
    EXPECT_EQ(book.claimNumbered("Studio Kit"), "Studio K 2");
}

TEST(BankgenNames, RecordFieldEndsInZeros) {
    char field[11];
    std::memset(field, 'x', sizeof field);
    setPresetName(field, "Bass");
    EXPECT_STREQ(field, "Bass");
    for (int i = 4; i < 11; ++i)
        EXPECT_EQ(field[i], '\0');
}

TEST(BankgenWaves, ByNameAndOccurrence) {
    EXPECT_EQ(waveNumber("Sin 1st"), 0);
    EXPECT_EQ(waveNumber("Piano 1"), 44);
    EXPECT_EQ(waveNumber("Piano 1#2"), 85);
    EXPECT_EQ(waveNumber("PCM Piano Noise Alt"), 255);
    EXPECT_THROW(waveNumber("Piano 1#4"), std::runtime_error);
    EXPECT_THROW(waveNumber("Theremin"), std::runtime_error);
}

TEST(BankgenWaves, WhichOnesHoldANote) {
    EXPECT_TRUE(waveLoops(0));
    EXPECT_TRUE(waveLoops(waveNumber("PCM String Loop")));
    EXPECT_TRUE(waveLoops(waveNumber("PCM Crash Alt")));
    EXPECT_FALSE(waveLoops(waveNumber("PCM Piano")));
    EXPECT_FALSE(waveLoops(waveNumber("PCM String Sus")));
}

} // namespace
