// Bitmaps and recorders shared by the GUI tests.
#pragma once

#include "gui/vstgui/vstgui.h"

#include <string>
#include <vector>

namespace guitest {

// A strip of `frames` frames of w×h, frame i filled with colours[i % colours.size()].
VSTGUI::CBitmap* makeStrip(int w, int h, int frames, const std::vector<VSTGUI::CColor>& colours);
// PNG bytes of such a strip, as a description would embed them.
std::vector<unsigned char> encodePNG(VSTGUI::CBitmap* bitmap);

// Records listener calls as short strings ("value:3", "begin", ...).
struct Recorder : VSTGUI::IControlListener {
    std::vector<std::string> calls;
    std::vector<float> values;
    void valueChanged(VSTGUI::CControl* control) override;
    void controlBeginEdit(VSTGUI::CControl*) override { calls.push_back("begin"); }
    void controlEndEdit(VSTGUI::CControl*) override { calls.push_back("end"); }
};

} // namespace guitest
