#include "editor/uiMulti.h"

#include "editor/uiMultiSection.h"

#include <string>

using namespace VSTGUI;

uiMulti::uiMulti(K1Editor& owner, CViewContainer* page) : editor(owner), container(page) {
    if (container) ControlHelpers::getViewsByCustomViewName(views, container);
    arrowLeft = ControlHelpers::initView<CView>(views, "arrowLeft");
    arrowRight = ControlHelpers::initView<CView>(views, "arrowRight");
    if (arrowRight) arrowRight->registerViewMouseListener(this);
    if (arrowLeft) arrowLeft->registerViewMouseListener(this);

    for (int k = 0; k < kColumns; ++k) {
        const std::string name = std::string("multiSection") + char('A' + k);
        CViewContainer* column = ControlHelpers::initView<CViewContainer>(views, name);
        sections[k] = std::make_unique<uiMultiSection>(editor, column, k);
    }
    updateSectionOffset(0);
}

uiMulti::~uiMulti() {
    if (arrowRight) arrowRight->unregisterViewMouseListener(this);
    if (arrowLeft) arrowLeft->unregisterViewMouseListener(this);
}

void uiMulti::updateSectionOffset(int offset) {
    sectionOffset = offset;
    for (int k = 0; k < kColumns; ++k)
        sections[k]->setSectionIndex(offset + k);
    if (arrowLeft) arrowLeft->setVisible(offset != 0);
    if (arrowRight) arrowRight->setVisible(!(arrowLeft && arrowLeft->isVisible()));
}

void uiMulti::onParamChanged(k1lib::EParam param, float value) {
    for (auto& section : sections)
        section->onParamChanged(param, value);
}

void uiMulti::onActiveMultiChanged(unsigned long) {
    for (auto& section : sections)
        section->onActiveMultiChanged();
}

CMouseEventResult uiMulti::viewOnMouseDown(CView* view, CPoint, CButtonState) {
    if (view == arrowLeft) {
        updateSectionOffset(0);
        return kMouseEventHandled;
    }
    if (view == arrowRight) {
        updateSectionOffset(4);
        return kMouseEventHandled;
    }
    return kMouseEventNotHandled;
}
