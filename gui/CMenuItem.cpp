#include "gui/CMenuItem.h"

#include "gui/CBitmap.h"
#include "gui/COptionMenu.h"

namespace VSTGUI {

CMenuItem::CMenuItem(const UTF8String& itemTitle, const UTF8String& itemKeycode, int32_t modifiers,
                     CBitmap* itemIcon, int32_t itemFlags)
    : title(itemTitle), keycode(itemKeycode), keyModifiers(modifiers), icon(itemIcon), flags(itemFlags) {}

CMenuItem::CMenuItem(const UTF8String& itemTitle, COptionMenu* menu, CBitmap* itemIcon)
    : title(itemTitle), icon(itemIcon), submenu(menu) {}

CMenuItem::CMenuItem(const UTF8String& itemTitle, int32_t itemTag) : title(itemTitle), tag(itemTag) {}

CMenuItem::~CMenuItem() = default;

void CMenuItem::setFlag(int32_t flag, bool state) {
    if (state)
        flags |= flag;
    else
        flags &= ~flag;
}

void CMenuItem::setEnabled(bool state) {
    setFlag(kDisabled, !state);
}
void CMenuItem::setChecked(bool state) {
    setFlag(kChecked, state);
}
void CMenuItem::setIsTitle(bool state) {
    setFlag(kTitle, state);
}
void CMenuItem::setIsSeparator(bool state) {
    setFlag(kSeparator, state);
}
void CMenuItem::setSubmenu(COptionMenu* menu) {
    submenu = menu;
}

} // namespace VSTGUI
