// Shared by the panel tests: content providers, the parsed embedded description, view-tree helpers.
#pragma once

#include "gui/UIDescription.h"
#include "gui/vstgui/vstgui.h"

#include <map>
#include <string>
#include <vector>

namespace k1editor {
const unsigned char* getData_uiXml();
unsigned long getDataSize_uiXml();
} // namespace k1editor

namespace paneltest {

// Serves bytes from memory, at most `chunk` bytes per read.
class MemoryProvider : public VSTGUI::xml::IContentProvider {
public:
    MemoryProvider(const void* bytes, size_t length, uint32_t chunkSize = 0xFFFFFFFFu)
        : data(static_cast<const int8_t*>(bytes)), size(length), chunk(chunkSize) {}
    explicit MemoryProvider(const std::string& text, uint32_t chunkSize = 0xFFFFFFFFu)
        : MemoryProvider(text.data(), text.size(), chunkSize) {}
    uint32_t readRawXmlData(int8_t* buffer, uint32_t max) override;
    void rewind() override { position = 0; }

private:
    const int8_t* data;
    size_t size;
    uint32_t chunk;
    size_t position = 0;
};

// The embedded panel description, parsed once for the whole suite.
VSTGUI::UIDescription& panelDescription();

std::string customName(VSTGUI::CView* view);
// The most derived of the seven classes a description builds.
std::string className(VSTGUI::CView* view);
// Every view below `root` in depth-first pre-order (document order).
std::vector<VSTGUI::CView*> descendants(VSTGUI::CView* root);
// Name -> views in document order, the root included (as the editor collects them).
std::map<std::string, std::vector<VSTGUI::CView*>> viewsByName(VSTGUI::CView* root);
// The first view of `name` below `root` (pre-order), or null.
VSTGUI::CView* findView(VSTGUI::CView* root, const std::string& name);

// The display's 94 glyph characters in the order of its glyph table (single bytes, Latin-1).
const std::string& displayGlyphTable();

// The panel in a frame at a zoom, set up the way the editor shows a page: glyph sheet hidden, the coarse
// menu shown instead of its knob, one entry in every menu and a text on the display.
class PanelFrame {
public:
    explicit PanelFrame(double zoom);
    ~PanelFrame();
    PanelFrame(const PanelFrame&) = delete;
    PanelFrame& operator=(const PanelFrame&) = delete;

    bool valid() const { return root != nullptr; }
    VSTGUI::CView* view(const std::string& name) const { return names.at(name).front(); }
    // Shows one of "mode_play", "mode_edit", "mode_edit_multi", "mode_edit_system".
    void showPage(const std::string& page, bool sourcePage = true);
    // Puts glyphs into the display cells as the display does (row by row, blank-padded).
    void showText(const std::string& line0, const std::string& line1);
    // Window pixel of a point given in `v`'s parent coordinates.
    VSTGUI::CPoint toWindow(VSTGUI::CView* v, VSTGUI::CPoint p) const { return v->localToFrame(p); }
    // Draws the whole frame and writes it as a PNG file into the build directory.
    VSTGUI::SharedPointer<VSTGUI::CBitmap> render(const std::string& file) const;

    double zoom;
    VSTGUI::CFrame* frame = nullptr;
    VSTGUI::CView* root = nullptr;
    std::map<std::string, std::vector<VSTGUI::CView*>> names;
};

} // namespace paneltest
