// All bitmaps of the panel, drawn with cairo and encoded as PNG.
#pragma once

#include "tools/panelgen/Layout.h"

#include <string>
#include <vector>

namespace panelgen {

struct Bitmap {
    std::string name;
    int width;
    int height;
    std::string png;
};

// The 133 bitmaps in document order.
std::vector<Bitmap> drawAllBitmaps(const Layout& layout);

// Panel pieces: background, display, page layers, donate, resize grip, arrows, source-mix handle.
void addPanelBitmaps(std::vector<Bitmap>& out, const Layout& layout);
// Controls: button strips, knob strips, option-menu boxes.
void addControlBitmaps(std::vector<Bitmap>& out);
// The 94 display glyphs.
void addGlyphBitmaps(std::vector<Bitmap>& out);

} // namespace panelgen
