// The Multi page ("mode_edit_multi"): four section columns showing sections 1-4 or 5-8, switched
// with two arrows.
//
// Thread contract: user-interface thread only.
#pragma once

#include "editor/ControlHelpers.h"
#include "gui/vstgui/vstgui.h"
#include "k1lib/params/Parameters.h"

#include <array>
#include <memory>

class K1Editor;
class uiMultiSection;

class uiMulti : public VSTGUI::ViewMouseListenerAdapter {
public:
    static constexpr int kColumns = 4;

    uiMulti(K1Editor& editor, VSTGUI::CViewContainer* page);
    ~uiMulti() override;
    uiMulti(const uiMulti&) = delete;
    uiMulti& operator=(const uiMulti&) = delete;

    // Shows sections offset+1 .. offset+4 (offset 0 or 4).
    void updateSectionOffset(int offset);
    void onParamChanged(k1lib::EParam param, float value);
    void onActiveMultiChanged(unsigned long index);
    uiMultiSection* getSection(int column) const { return sections[column].get(); }
    K1Editor& getEditor() const { return editor; }
    VSTGUI::CViewContainer* getContainer() const { return container; }

    // A click on an arrow (any button) switches the four sections shown.
    VSTGUI::CMouseEventResult viewOnMouseDown(VSTGUI::CView* view, VSTGUI::CPoint where,
                                              VSTGUI::CButtonState buttons) override;

private:
    K1Editor& editor;
    VSTGUI::CViewContainer* container; // the page; the frame owns it
    std::array<std::unique_ptr<uiMultiSection>, kColumns> sections;
    ViewsByName views;
    VSTGUI::CView* arrowLeft = nullptr;
    VSTGUI::CView* arrowRight = nullptr;
    int sectionOffset = 0;
};
