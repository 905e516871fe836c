// Lets an option menu made of sub-menus show the current value while closed: a title entry sits at
// index 0 while the menu is closed and is taken out while it is open.
#pragma once

#include "gui/vstgui/vstgui.h"

#include <string>

namespace VSTGUI {
class COptionMenu;
}

class uiMultilevelOptionMenu : public VSTGUI::IOptionMenuListener {
public:
    explicit uiMultilevelOptionMenu(VSTGUI::COptionMenu* menu);
    ~uiMultilevelOptionMenu() override;
    uiMultilevelOptionMenu(const uiMultilevelOptionMenu&) = delete;
    uiMultilevelOptionMenu& operator=(const uiMultilevelOptionMenu&) = delete;

    void onOptionMenuPrePopup(VSTGUI::COptionMenu* menu) override;
    void onOptionMenuPostPopup(VSTGUI::COptionMenu* menu) override;

    void setTitle(const std::string& text);
    // The owner emptied the menu (removeAllEntry): there is no title entry any more.
    void onMenuCleared() { titleShown = false; }

    VSTGUI::COptionMenu* getMenu() const { return menu; }
    const std::string& getTitle() const { return title; }

private:
    VSTGUI::COptionMenu* menu; // owned by the frame
    std::string title;
    bool titleShown = false;
};
