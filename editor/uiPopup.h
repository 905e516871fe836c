// A context menu popped up over a view: an invisible option menu placed on the anchor, filled by the
// caller, opened once; the chosen entry's tag goes to a callback. One object serves one popup.
#pragma once

#include <functional>
#include <string>

namespace VSTGUI {
class CMenuItem;
class COptionMenu;
class CView;
} // namespace VSTGUI

class uiPopup {
public:
    explicit uiPopup(VSTGUI::CView* anchor);
    ~uiPopup();
    uiPopup(const uiPopup&) = delete;
    uiPopup& operator=(const uiPopup&) = delete;

    VSTGUI::CMenuItem* addEntry(const std::string& text, int tag, bool enabled = true);
    VSTGUI::CMenuItem* addEntry(const std::string& title, VSTGUI::COptionMenu* submenu, bool enabled = true);
    void addSeparator();
    // Opens the menu; when it closes the menu is removed and, for a choice with a tag >= 0, the
    // callback gets the tag. Does nothing once the menu is gone.
    void popup(std::function<void(int)> callback);
    void removeMenu();

    VSTGUI::COptionMenu* getMenu() const { return menu; }

private:
    VSTGUI::COptionMenu* menu = nullptr; // owned by the anchor's parent container
};
