#include "editor/uiMultilevelOptionMenu.h"

using namespace VSTGUI;

uiMultilevelOptionMenu::uiMultilevelOptionMenu(COptionMenu* optionMenu) : menu(optionMenu) {
    if (menu) menu->registerOptionMenuListener(this);
}

uiMultilevelOptionMenu::~uiMultilevelOptionMenu() {
    if (menu) menu->unregisterOptionMenuListener(this);
}

void uiMultilevelOptionMenu::setTitle(const std::string& text) {
    title = text;
    if (!menu) return;
    if (titleShown && menu->getEntry(0)) {
        menu->getEntry(0)->setTitle(text);
    } else {
        menu->addEntry(text, 0, CMenuItem::kNoFlags);
        titleShown = true;
    }
    menu->setCurrent(0, true);
    menu->invalid();
}

void uiMultilevelOptionMenu::onOptionMenuPrePopup(COptionMenu*) {
    if (!titleShown || !menu) return;
    menu->removeEntry(0);
    titleShown = false;
}

void uiMultilevelOptionMenu::onOptionMenuPostPopup(COptionMenu*) {
    setTitle(title);
}
