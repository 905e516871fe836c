// One entry of an option menu: a title, a tag (-1 untagged), flags and an optional sub-menu.
#pragma once

#include "gui/CBaseObject.h"
#include "gui/UTF8String.h"

#include <cstdint>
#include <vector>

namespace VSTGUI {

class CBitmap;
class COptionMenu;

class CMenuItem : public CBaseObject {
public:
    enum Flags : int32_t {
        kNoFlags = 0,
        kDisabled = 1 << 0,
        kTitle = 1 << 1,
        kChecked = 1 << 2,
        kSeparator = 1 << 3
    };

    CMenuItem(const UTF8String& title, const UTF8String& keycode = "", int32_t keyModifiers = 0,
              CBitmap* icon = nullptr, int32_t flags = kNoFlags);
    CMenuItem(const UTF8String& title, COptionMenu* submenu, CBitmap* icon = nullptr);
    CMenuItem(const UTF8String& title, int32_t tag);
    ~CMenuItem() override;

    void setTitle(const UTF8String& newTitle) { title = newTitle; }
    const UTF8String& getTitle() const { return title; }
    void setTag(int32_t newTag) { tag = newTag; }
    int32_t getTag() const { return tag; }
    void setEnabled(bool state);
    bool isEnabled() const { return !(flags & kDisabled); }
    void setChecked(bool state);
    void setIsTitle(bool state);
    bool isTitle() const { return (flags & kTitle) != 0; }
    void setIsSeparator(bool state);
    bool isSeparator() const { return (flags & kSeparator) != 0; }
    void setSubmenu(COptionMenu* menu);
    COptionMenu* getSubmenu() const { return submenu.get(); }
    int32_t getKeyModifiers() const { return keyModifiers; }
    // Can be chosen: enabled, neither title nor separator.
    bool isSelectable() const { return isEnabled() && !isTitle() && !isSeparator(); }

private:
    void setFlag(int32_t flag, bool state);

    UTF8String title;
    UTF8String keycode;
    int32_t keyModifiers = 0;
    SharedPointer<CBitmap> icon;
    int32_t flags = kNoFlags;
    int32_t tag = -1;
    SharedPointer<COptionMenu> submenu;
};

using CMenuItemList = std::vector<SharedPointer<CMenuItem>>;

// A separator entry.
class CMenuItemSeparator : public CMenuItem {
public:
    CMenuItemSeparator() : CMenuItem("", "", 0, nullptr, kSeparator) {}
};

} // namespace VSTGUI
