#include "gui/COptionMenu.h"

#include "gui/CFrame.h"
#include "gui/ListenerList.h"

#include <algorithm>

namespace VSTGUI {

namespace {
// Sub-menus nest a few levels; the depth limit keeps a (mistaken) cycle from recursing forever.
bool containsMenu(const COptionMenu* root, const COptionMenu* wanted, int depth = 0) {
    if (root == wanted) return true;
    if (depth >= 16) return false;
    for (int32_t i = 0; i < root->getNbEntries(); ++i) {
        const COptionMenu* sub = root->getEntry(i)->getSubmenu();
        if (sub && containsMenu(sub, wanted, depth + 1)) return true;
    }
    return false;
}
} // namespace

COptionMenu::COptionMenu() : COptionMenu(CRect(), nullptr, -1) {}

COptionMenu::COptionMenu(const CRect& rect, IControlListener* controlListener, int32_t controlTag,
                         CBitmap* backgroundBitmap, CBitmap* clickedBackground, int32_t displayStyle)
    : CParamDisplay(rect, backgroundBitmap, displayStyle), backgroundWhenClicked(clickedBackground) {
    setListener(controlListener);
    setTag(controlTag);
    value = -1.f;
    updateMax();
}

COptionMenu::COptionMenu(const COptionMenu& other)
    : CParamDisplay(other), items(other.items), currentIndex(other.currentIndex),
      backgroundWhenClicked(other.backgroundWhenClicked) {}

COptionMenu::~COptionMenu() = default;

void COptionMenu::updateMax() {
    vmin = 0.f;
    vmax = items.empty() ? 0.f : static_cast<float>(items.size() - 1);
}

CMenuItem* COptionMenu::addEntry(CMenuItem* item, int32_t index) {
    if (!item) return nullptr;
    auto adopted = owned(item);
    if (index < 0 || index >= getNbEntries()) {
        items.push_back(adopted);
    } else {
        items.insert(items.begin() + index, adopted);
        if (currentIndex >= index) value = static_cast<float>(++currentIndex);
    }
    updateMax();
    invalid();
    return item;
}

CMenuItem* COptionMenu::addEntry(const UTF8String& title, int32_t index, int32_t itemFlags) {
    if (title == "-") return addSeparator(index);
    return addEntry(new CMenuItem(title, "", 0, nullptr, itemFlags), index);
}

CMenuItem* COptionMenu::addEntry(COptionMenu* submenu, const UTF8String& title) {
    return addEntry(new CMenuItem(title, submenu));
}

CMenuItem* COptionMenu::addSeparator(int32_t index) {
    return addEntry(new CMenuItemSeparator, index);
}

bool COptionMenu::removeEntry(int32_t index) {
    if (index < 0 || index >= getNbEntries()) return false;
    items.erase(items.begin() + index);
    // The current entry stays the same item where possible.
    if (currentIndex > index || currentIndex >= getNbEntries()) --currentIndex;
    value = static_cast<float>(currentIndex);
    updateMax();
    invalid();
    return true;
}

bool COptionMenu::removeAllEntry() {
    items.clear();
    currentIndex = -1;
    value = -1.f;
    lastMenu = nullptr;
    lastIndex = -1;
    updateMax();
    invalid();
    return true;
}

CMenuItem* COptionMenu::getEntry(int32_t index) const {
    return index >= 0 && index < getNbEntries() ? items[index].get() : nullptr;
}

bool COptionMenu::checkEntry(int32_t index, bool state) {
    CMenuItem* item = getEntry(index);
    if (!item || item->isSeparator()) return false;
    item->setChecked(state);
    return true;
}

int32_t COptionMenu::getCurrentIndex(bool countSeparator) const {
    if (countSeparator || currentIndex < 0) return currentIndex;
    int32_t separators = 0;
    for (int32_t i = 0; i < currentIndex; ++i)
        separators += items[i]->isSeparator() ? 1 : 0;
    return currentIndex - separators;
}

bool COptionMenu::setCurrent(int32_t index, bool countSeparator) {
    if (!countSeparator) {
        int32_t remaining = index;
        index = -1;
        for (int32_t i = 0; i < getNbEntries() && remaining >= 0; ++i) {
            if (items[i]->isSeparator()) continue;
            if (remaining-- == 0) index = i;
        }
    }
    if (index < 0 || index >= getNbEntries()) return false;
    setValue(static_cast<float>(index));
    return true;
}

void COptionMenu::setValue(float newValue) {
    if (!(newValue >= 0.f) || newValue >= static_cast<float>(getNbEntries())) return;
    const auto index = static_cast<int32_t>(newValue);
    currentIndex = index;
    CParamDisplay::setValue(static_cast<float>(index));
    invalid();
}

COptionMenu* COptionMenu::getLastItemMenu(int32_t& idxInMenu) const {
    // The chosen sub-menu may have been removed since.
    if (!lastMenu || !containsMenu(this, lastMenu)) {
        idxInMenu = -1;
        return nullptr;
    }
    idxInMenu = lastIndex;
    return lastMenu;
}

void COptionMenu::registerOptionMenuListener(IOptionMenuListener* menuListener) {
    zykgui::addOnce(menuListeners, menuListener);
}

void COptionMenu::unregisterOptionMenuListener(IOptionMenuListener* menuListener) {
    zykgui::removeItem(menuListeners, menuListener);
}

bool COptionMenu::popup(const PopupCallback& callback) {
    CFrame* frame = getFrame();
    if (!frame || popupOpen || frame->isMenuPopupOpen()) return false;
    remember();
    popupOpen = true;
    invalid();
    for (IOptionMenuListener* l : std::vector<IOptionMenuListener*>(menuListeners))
        l->onOptionMenuPrePopup(this);
    const bool shown = frame->showMenuPopup(
        this, [this, callback](COptionMenu* menu, int32_t index) { popupClosed(menu, index, callback); });
    if (!shown) popupClosed(nullptr, -1, callback);
    return shown;
}

void COptionMenu::popupClosed(COptionMenu* chosenMenu, int32_t chosenIndex, const PopupCallback& callback) {
    if (chosenMenu && chosenMenu->getEntry(chosenIndex)) {
        chosenMenu->setValue(static_cast<float>(chosenIndex));
        lastMenu = chosenMenu;
        lastIndex = chosenIndex;
        valueChanged();
    }
    popupOpen = false;
    invalid();
    for (IOptionMenuListener* l : std::vector<IOptionMenuListener*>(menuListeners))
        l->onOptionMenuPostPopup(this);
    if (callback) callback(this);
    forget();
}

CMouseEventResult COptionMenu::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    popup();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

bool COptionMenu::onWheel(const CPoint&, const CMouseWheelAxis&, const float&, const CButtonState&) {
    // Menus change only through a popup.
    return false;
}

CBitmap* COptionMenu::getDrawnBackground() const {
    return popupOpen && backgroundWhenClicked ? backgroundWhenClicked.get() : getBackground();
}

std::string COptionMenu::getDisplayText() const {
    const CMenuItem* item = getCurrent();
    return item && !item->isSeparator() ? item->getTitle().getString() : std::string();
}

} // namespace VSTGUI
