// A menu of entries shown as the title of its current entry; a click opens the frame's
// in-frame popup. The value is the current entry index (-1 before any choice), min 0 and
// max the entry count - 1.
#pragma once

#include "gui/CMenuItem.h"
#include "gui/CParamDisplay.h"

#include <functional>
#include <vector>

namespace VSTGUI {

class COptionMenu : public CParamDisplay {
public:
    enum Style : int32_t { kMultipleCheckStyle = 1 << 6, kCheckStyle = 1 << 7 };
    using PopupCallback = std::function<void(COptionMenu*)>;

    COptionMenu();
    COptionMenu(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background = nullptr,
                CBitmap* backgroundWhenClicked = nullptr, int32_t style = 0);
    // Entries are shared with the original (as in VSTGUI).
    COptionMenu(const COptionMenu& other);
    ~COptionMenu() override;

    CView* newCopy() const override { return new COptionMenu(*this); }

    // Adopts the item's reference; index -1 (or past the end) appends. Returns the item.
    CMenuItem* addEntry(CMenuItem* item, int32_t index = -1);
    // The title "-" makes a separator.
    CMenuItem* addEntry(const UTF8String& title, int32_t index = -1, int32_t itemFlags = CMenuItem::kNoFlags);
    // Appends an entry opening `submenu` (which is remembered).
    CMenuItem* addEntry(COptionMenu* submenu, const UTF8String& title);
    CMenuItem* addSeparator(int32_t index = -1);
    bool removeEntry(int32_t index);
    bool removeAllEntry();
    CMenuItem* getEntry(int32_t index) const;
    int32_t getNbEntries() const { return static_cast<int32_t>(items.size()); }
    bool checkEntry(int32_t index, bool state);

    // The current entry; null while the index is -1.
    CMenuItem* getCurrent() const { return getEntry(currentIndex); }
    // With countSeparator false, separators before the current entry are not counted.
    int32_t getCurrentIndex(bool countSeparator = false) const;
    // With countSeparator false, `index` counts only the non-separator entries.
    bool setCurrent(int32_t index, bool countSeparator = true);
    // Selects entry (int)value; values outside the entries are ignored.
    void setValue(float value) override;
    // The menu (this one or a sub-menu) and index of the last choice made in a popup.
    COptionMenu* getLastItemMenu(int32_t& idxInMenu) const;

    void registerOptionMenuListener(IOptionMenuListener* listener);
    void unregisterOptionMenuListener(IOptionMenuListener* listener);

    // Opens the popup in the frame. A choice sets the chosen menu's current entry, records it
    // as the last item menu and calls valueChanged on this menu; then the post-popup
    // listeners and the callback run. The menu stays alive until the callback returns.
    bool popup(const PopupCallback& callback = nullptr);

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                 const CButtonState& buttons) override;

protected:
    std::string getDisplayText() const override;
    CBitmap* getDrawnBackground() const override;

private:
    void updateMax();
    void popupClosed(COptionMenu* chosenMenu, int32_t chosenIndex, const PopupCallback& callback);

    CMenuItemList items;
    int32_t currentIndex = -1;
    SharedPointer<CBitmap> backgroundWhenClicked;
    std::vector<IOptionMenuListener*> menuListeners;
    COptionMenu* lastMenu = nullptr;
    int32_t lastIndex = -1;
    bool popupOpen = false;
};

} // namespace VSTGUI
