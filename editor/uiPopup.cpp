#include "editor/uiPopup.h"

#include "gui/vstgui/vstgui.h"

using namespace VSTGUI;

uiPopup::uiPopup(CView* anchor) {
    CViewContainer* parent = anchor ? anchor->getParentContainer() : nullptr;
    if (!parent) return;
    menu = new COptionMenu(anchor->getViewSize(), nullptr, 0, nullptr, nullptr, 0);
    menu->setTransparency(true);
    parent->addView(menu);
}

uiPopup::~uiPopup() {
    removeMenu();
}

CMenuItem* uiPopup::addEntry(const std::string& text, int tag, bool enabled) {
    if (!menu) return nullptr;
    CMenuItem* item = menu->addEntry(text, -1, CMenuItem::kNoFlags);
    item->setTag(tag);
    item->setEnabled(enabled);
    return item;
}

CMenuItem* uiPopup::addEntry(const std::string& title, COptionMenu* submenu, bool enabled) {
    if (!menu) return nullptr;
    CMenuItem* item = menu->addEntry(submenu, title);
    item->setEnabled(enabled);
    return item;
}

void uiPopup::addSeparator() {
    if (menu) menu->addSeparator(-1);
}

void uiPopup::popup(std::function<void(int)> callback) {
    if (!menu) return;
    menu->popup([this, callback = std::move(callback)](COptionMenu* closed) {
        // Closed because removeMenu took the menu away: nothing was chosen and nobody is told.
        if (!menu) return;
        const CMenuItem* item = closed->getCurrent();
        if (!item) {
            int32_t index = -1;
            if (COptionMenu* sub = closed->getLastItemMenu(index)) item = sub->getEntry(index);
        }
        const int tag = item ? item->getTag() : -1;
        removeMenu();
        if (tag >= 0 && callback) callback(tag);
    });
}

void uiPopup::removeMenu() {
    // Cleared first: removing the menu while it is open closes the popup, which calls back here.
    COptionMenu* removed = std::exchange(menu, nullptr);
    if (!removed) return;
    if (CViewContainer* parent = removed->getParentContainer())
        parent->removeView(removed, true);
    else
        removed->forget();
}
