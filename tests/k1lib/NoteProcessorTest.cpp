#include "k1lib/voice/NoteProcessor.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace k1lib;

namespace {

struct Recorder {
    std::vector<std::array<int, 2>> ons;
    std::vector<std::array<int, 4>> offs;
    NoteProcessor processor{[this](unsigned char n, unsigned char v) {
                                ons.push_back({n, v});
                            },
                            [this](unsigned char n, unsigned char r, unsigned char pn, unsigned char pv) {
                                offs.push_back({n, r, pn, pv});
                            }};
};

using Off = std::array<int, 4>;

} // namespace

TEST(NoteProcessor, NoteOffNamesTheKeyPressedBefore) {
    Recorder r;
    r.processor.noteOn(60, 100);
    r.processor.noteOn(64, 90);
    r.processor.noteOff(64, 30);
    r.processor.noteOff(60, 40);
    ASSERT_EQ(r.ons.size(), 2u);
    ASSERT_EQ(r.offs.size(), 2u);
    EXPECT_EQ(r.offs[0], (Off{64, 30, 60, 90})); // the newest key now, the released key's velocity
    EXPECT_EQ(r.offs[1], (Off{60, 40, 0, 0}));

    // A key pressed twice counts twice but stands once in the stack; its first note-off removes it.
    r.processor.noteOn(50, 80);
    r.processor.noteOn(50, 70);
    EXPECT_EQ(r.processor.getPressCount(50), 2u);
    EXPECT_EQ(r.processor.getStackSize(), 1);
    r.processor.noteOff(50, 0);
    EXPECT_EQ(r.processor.getStackSize(), 0);
    r.processor.noteOff(50, 0);
    EXPECT_EQ(r.offs.back(), (Off{50, 0, 0, 0}));
    EXPECT_EQ(r.processor.getPressCount(50), 0u);
}

TEST(NoteProcessor, HoldPedalDefersNoteOffs) {
    Recorder r;
    r.processor.setHoldPedal(true);
    r.processor.noteOn(60, 100);
    r.processor.noteOff(60, 10);
    EXPECT_TRUE(r.offs.empty());
    // Pressed again while held: the deferred note-off still releases it when the pedal goes up.
    r.processor.noteOn(60, 100);
    r.processor.setHoldPedal(false);
    ASSERT_EQ(r.offs.size(), 1u);
    EXPECT_EQ(r.offs[0], (Off{60, 127, 0, 0}));
    EXPECT_EQ(r.processor.getHeldCount(60), 0u);
    EXPECT_EQ(r.processor.getPressCount(60), 0u);
}

TEST(NoteProcessor, AllNotesOffReleasesPressedAndHeldKeys) {
    Recorder r;
    r.processor.noteOn(40, 100);
    r.processor.noteOn(70, 100);
    r.processor.noteOn(70, 100);
    r.processor.setHoldPedal(true);
    r.processor.noteOn(55, 100);
    r.processor.noteOff(55, 0); // released under the pedal
    r.processor.allNotesOff();
    ASSERT_EQ(r.offs.size(), 4u);
    EXPECT_EQ(r.offs[0], (Off{40, 64, 55, 100})); // the key held by the pedal is still in the stack
    // The pedal goes up with everything else, so the key it held is released too (never left stuck).
    EXPECT_EQ(r.offs[1], (Off{55, 64, 70, 100}));
    EXPECT_EQ(r.offs[2][0], 70);
    EXPECT_EQ(r.offs[3][0], 70);
    EXPECT_FALSE(r.processor.isHoldPedalDown());
    EXPECT_EQ(r.processor.getHeldCount(55), 0u);
    EXPECT_EQ(r.processor.getStackSize(), 0);
}

TEST(NoteProcessor, NotesOutsideTheKeyboardAreIgnored) {
    Recorder r;
    r.processor.noteOn(128, 100);
    r.processor.noteOn(255, 100);
    r.processor.noteOff(200, 0);
    EXPECT_TRUE(r.ons.empty());
    EXPECT_TRUE(r.offs.empty());
    r.processor.noteOn(10, 200);
    EXPECT_EQ(r.ons.back()[1], 127);
    // 128 distinct keys fill the stack exactly.
    for (int key = 0; key < 128; ++key)
        r.processor.noteOn(static_cast<uint8_t>(key), 1);
    EXPECT_EQ(r.processor.getStackSize(), 128);
}
