// What the X11 platform makes of raw input, and the argument vectors and text layout of its
// dialogs; no display is needed.
#include <gtest/gtest.h>

#include <X11/X.h>
#include <X11/keysym.h>

#include "gui/x11/X11Dialogs.h"
#include "gui/x11/X11Input.h"
#include "gui/x11/X11ModalWindow.h"

using namespace VSTGUI;
using namespace zykgui;

TEST(X11Input, KeysBecomeVirtualKeysOrCharactersWithModifiers) {
    EXPECT_EQ(keyCodeFromX(XK_Left, 0, 0).virt, VKEY_LEFT);
    EXPECT_EQ(keyCodeFromX(XK_KP_Down, 0, 0).virt, VKEY_DOWN);
    EXPECT_EQ(keyCodeFromX(XK_Return, '\r', 0).virt, VKEY_RETURN);
    EXPECT_EQ(keyCodeFromX(XK_Return, '\r', 0).character, 0);
    EXPECT_EQ(keyCodeFromX(XK_Escape, 27, 0).virt, VKEY_ESCAPE);

    const VstKeyCode upperE = keyCodeFromX(XK_E, 'E', ShiftMask);
    EXPECT_EQ(upperE.character, 'E');
    EXPECT_EQ(upperE.virt, 0);
    EXPECT_EQ(upperE.modifier, MODIFIER_SHIFT);
    // Ctrl+C types the control character 3, which is no text.
    const VstKeyCode ctrlC = keyCodeFromX(XK_c, 3, ControlMask);
    EXPECT_EQ(ctrlC.character, 0);
    EXPECT_EQ(ctrlC.modifier, MODIFIER_CONTROL);
    EXPECT_EQ(keyCodeFromX(XK_odiaeresis, 0xF6, 0).character, 0xF6);
}

TEST(X11Input, ButtonsAndModifiersFromTheEventState) {
    EXPECT_EQ(buttonsFromX(Button1Mask | ShiftMask), kLButton | kShift);
    EXPECT_EQ(buttonsFromX(Button3Mask | ControlMask | Mod1Mask), kRButton | kControl | kAlt);
    EXPECT_EQ(buttonFromXNumber(Button2), kMButton);
    EXPECT_EQ(buttonFromXNumber(Button4), 0); // the wheel is no button
}

TEST(X11Input, ADoubleClickIsASecondNearbyPressOfTheSameButtonSoonAfter) {
    DoubleClickDetector clicks;
    EXPECT_FALSE(clicks.onPress(1, 10, 10, 1000));
    EXPECT_TRUE(clicks.onPress(1, 12, 11, 1300));
    EXPECT_FALSE(clicks.onPress(1, 12, 11, 1400)); // a third press starts over
    EXPECT_FALSE(clicks.onPress(1, 12, 11, 1900)); // too late
    EXPECT_FALSE(clicks.onPress(3, 12, 11, 2000)); // another button
    EXPECT_FALSE(clicks.onPress(3, 30, 11, 2100)); // too far
}

TEST(X11Dialogs, FileSelectorsGetArgumentVectorsWithTitleFiltersAndSaveMode) {
    FileRequest request{true, "Choose a sysex file", {{"Sysex File (*.syx)", "syx"}}, "syx"};
    const std::vector<std::string> zenity = X11Dialogs::zenityArguments(request);
    const std::vector<std::string> expected{"zenity",
                                            "--file-selection",
                                            "--title=Choose a sysex file",
                                            "--save",
                                            "--file-filter=Sysex File (*.syx) | *.syx",
                                            "--file-filter=All files | *"};
    EXPECT_EQ(zenity, expected);
    request.save = false;
    request.types.push_back({"Midi File (*.mid)", "mid"});
    const std::vector<std::string> kdialog = X11Dialogs::kdialogArguments(request, "/home/u/");
    const std::vector<std::string> expectedK{
        "kdialog",           "--title",  "Choose a sysex file",
        "--getopenfilename", "/home/u/", "*.syx|Sysex File (*.syx)\n*.mid|Midi File (*.mid)"};
    EXPECT_EQ(kdialog, expectedK);
}

TEST(X11Dialogs, MessagesWrapAtWordsAndKeepTheirLineBreaks) {
    auto width = [](const std::string& s) { return static_cast<double>(s.size()); };
    EXPECT_EQ(wrapText("one two three four", 9, width),
              (std::vector<std::string>{"one two", "three", "four"}));
    EXPECT_EQ(wrapText("a\nb c", 10, width), (std::vector<std::string>{"a", "b c"}));
    // A word longer than the line stays whole on its own line.
    EXPECT_EQ(wrapText("x averyverylongword y", 5, width),
              (std::vector<std::string>{"x", "averyverylongword", "y"}));
    EXPECT_EQ(wrapText("", 5, width), (std::vector<std::string>{""}));
}
