#include "tests/panel/PanelTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>

using namespace VSTGUI;

namespace paneltest {

uint32_t MemoryProvider::readRawXmlData(int8_t* buffer, uint32_t max) {
    const size_t n = std::min<size_t>({size - position, max, chunk});
    std::memcpy(buffer, data + position, n);
    position += n;
    return static_cast<uint32_t>(n);
}

UIDescription& panelDescription() {
    static MemoryProvider provider(k1editor::getData_uiXml(), k1editor::getDataSize_uiXml(), 100000);
    static UIDescription* description = [] {
        auto* d = new UIDescription(&provider);
        if (!d->parse()) throw std::runtime_error("the embedded panel description does not parse");
        return d;
    }();
    return *description;
}

std::string customName(CView* view) {
    uint32_t size = 0;
    if (!view->getAttributeSize(kCViewCustomViewNameAttribute, size) || size == 0) return {};
    std::vector<char> buffer(size + 1, 0);
    uint32_t got = 0;
    if (!view->getAttribute(kCViewCustomViewNameAttribute, size, buffer.data(), got)) return {};
    return buffer.data();
}

std::string className(CView* view) {
    if (dynamic_cast<CTextEdit*>(view)) return "CTextEdit";
    if (dynamic_cast<CTextLabel*>(view)) return "CTextLabel";
    if (dynamic_cast<COptionMenu*>(view)) return "COptionMenu";
    if (dynamic_cast<CAnimKnob*>(view)) return "CAnimKnob";
    if (dynamic_cast<CKickButton*>(view)) return "CKickButton";
    if (view->asViewContainer()) return "CViewContainer";
    return "CView";
}

namespace {
void collect(CView* view, std::vector<CView*>& out) {
    if (CViewContainer* container = view->asViewContainer()) {
        for (uint32_t i = 0; i < container->getNbViews(); ++i) {
            CView* child = container->getView(i);
            out.push_back(child);
            collect(child, out);
        }
    }
}
} // namespace

std::vector<CView*> descendants(CView* root) {
    std::vector<CView*> out;
    collect(root, out);
    return out;
}

std::map<std::string, std::vector<CView*>> viewsByName(CView* root) {
    std::map<std::string, std::vector<CView*>> map;
    std::vector<CView*> all{root};
    for (CView* v : descendants(root))
        all.push_back(v);
    for (CView* v : all) {
        std::string name = customName(v);
        if (!name.empty()) map[name].push_back(v);
    }
    return map;
}

CView* findView(CView* root, const std::string& name) {
    for (CView* v : descendants(root))
        if (customName(v) == name) return v;
    return nullptr;
}

const std::string& displayGlyphTable() {
    static const std::string table =
        std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
                    "!\"$%&/()=?.,;:{}\\-+<>|[]'") +
        "\xB4 ~*#@\xF6";
    return table;
}

PanelFrame::PanelFrame(double factor) : zoom(factor) {
    root = panelDescription().createView("Zyk", nullptr);
    frame = new CFrame(CRect(0, 0, std::round(2560 * zoom), std::round(1440 * zoom)), nullptr);
    if (!root) return;
    frame->addView(root);
    CGraphicsTransform scale;
    scale.scale(zoom, zoom);
    frame->setTransform(scale);
    names = viewsByName(root);
    view("fontExport")->setVisible(false);
    names.at("Param_SourceS1Coarse")[1]->setVisible(false);
    names.at("Param_SourceS1Coarse")[2]->setVisible(false);
    for (CView* v : descendants(root)) {
        if (auto* menu = dynamic_cast<COptionMenu*>(v)) {
            menu->addEntry("Entry");
            menu->setValue(0);
        }
    }
    showText("SINGLE  Internal", "IA-1  Voice Ahh");
}

PanelFrame::~PanelFrame() {
    frame->forget();
}

void PanelFrame::showPage(const std::string& page, bool sourcePage) {
    for (const char* p : {"mode_play", "mode_edit", "mode_edit_multi", "mode_edit_system"})
        view(p)->setVisible(page == p);
    view("edit_source")->setVisible(sourcePage);
    view("edit_common")->setVisible(!sourcePage);
}

void PanelFrame::showText(const std::string& line0, const std::string& line1) {
    const std::string& table = displayGlyphTable();
    CViewContainer* glyphs = view("fontExport")->asViewContainer();
    for (int row = 0; row < 2; ++row) {
        const std::string& text = row == 0 ? line0 : line1;
        for (int c = 0; c < 16; ++c) {
            const char ch = c < int(text.size()) ? text[c] : ' ';
            const size_t index = table.find(ch);
            char name[8];
            std::snprintf(name, sizeof name, "char%d%02d", row, c);
            const uint32_t glyph = uint32_t(index == std::string::npos ? table.find('?') : index);
            view(name)->setBackground(glyphs->getView(glyph)->getBackground());
        }
    }
}

SharedPointer<CBitmap> PanelFrame::render(const std::string& file) const {
    auto context = COffscreenContext::create(frame, std::round(2560 * zoom), std::round(1440 * zoom));
    frame->draw(context);
    context->endDraw();
    SharedPointer<CBitmap> image = context->getBitmap();
    EXPECT_TRUE(image->writePNG(std::string(ZYK_PANEL_RENDER_DIR) + "/" + file)) << file;
    return image;
}

} // namespace paneltest
