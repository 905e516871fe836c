// An editor whose timers run on a manual clock, with helpers that read the LCD back through the
// glyph views, find a view's place in window pixels and write renders for people to look at.
#pragma once

#include "gui/TimerHub.h"
#include "tests/editor/EditorFixture.h"

#include <cstdio>
#include <map>

class PagesTest : public EditorTest {
protected:
    // The clock exists before SetUp opens the editor, so the display's first timer runs on it.
    zykgui::test::ManualClock clock;

    // The characters of the "fontExport" children in child order, as the panel document draws them.
    static std::string glyphOrder() {
        std::string order;
        for (char c = 'A'; c <= 'Z'; ++c)
            order += c;
        for (char c = 'a'; c <= 'z'; ++c)
            order += c;
        for (char c = '0'; c <= '9'; ++c)
            order += c;
        return order + "!\"$%&/()=?.,;:{}\\-+<>|[]'\xB4 ~*#@\xF6";
    }

    // The text a row of the LCD shows, read from the cells' glyph bitmaps ('#' for none).
    std::string lcdLine(int row) const {
        std::map<VSTGUI::CBitmap*, char> characters;
        auto* font = view<VSTGUI::CViewContainer>("fontExport");
        const std::string order = glyphOrder();
        for (uint32_t i = 0; i < font->getNbViews() && i < order.size(); ++i)
            characters.emplace(font->getView(i)->getBackground(), order[i]);
        std::string text;
        for (int c = 0; c < 16; ++c) {
            char name[8];
            std::snprintf(name, sizeof name, "char%d%02d", row, c);
            const auto found = characters.find(view(name)->getBackground());
            text += found == characters.end() ? '#' : found->second;
        }
        return text;
    }
    // The n-th view of that name and class, in document order.
    template <class T> T* nthOfClass(const std::string& name, size_t n) const {
        for (VSTGUI::CView* v : editor->getViewsByName().at(name))
            if (auto* typed = dynamic_cast<T*>(v); typed && n-- == 0) return typed;
        return nullptr;
    }
    bool lcdLit() const { return view("LCDLight")->isVisible() && view("LCDLines")->isVisible(); }

    // A view's rectangle in window pixels.
    static VSTGUI::CRect windowRect(VSTGUI::CView* v) {
        VSTGUI::CRect r = v->getViewSize();
        return v->getGlobalTransform().transform(r);
    }

    VSTGUI::SharedPointer<VSTGUI::CBitmap> render(const std::string& name) const {
        auto image = zykgui::test::renderFrame(frame());
        if (image) {
            EXPECT_TRUE(image->writePNG(renderPath(name + ".png")));
        }
        return image;
    }
};

// Pads a text with blanks to the sixteen columns of an LCD row.
inline std::string lcdRow(const std::string& text) {
    return text.substr(0, 16) + std::string(16 - std::min<size_t>(16, text.size()), ' ');
}
