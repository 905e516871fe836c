// The option-menu popup the frame draws over its views: cascading columns (one per open
// sub-menu) in window pixels, not scaled by the frame's zoom. Mouse: hovering highlights and
// opens sub-menus, a press on an entry chooses it, a press outside closes. Keys: Up/Down,
// Right/Return open a sub-menu, Left closes one, Return chooses, Escape closes. Columns taller
// than the frame scroll (wheel or keys).
#pragma once

#include "gui/CBaseObject.h"
#include "gui/CButtonState.h"
#include "gui/COptionMenu.h"
#include "gui/CRect.h"
#include "gui/VstKeyCode.h"

#include <vector>

namespace VSTGUI {
class CDrawContext;
} // namespace VSTGUI

namespace zykgui {

class MenuPopup {
public:
    static constexpr VSTGUI::CCoord kRowHeight = 20;
    static constexpr VSTGUI::CCoord kFontSize = 13;

    // `anchor` is the menu view's rectangle in window pixels; `bounds` the frame's.
    MenuPopup(VSTGUI::COptionMenu* menu, const VSTGUI::CRect& anchor, const VSTGUI::CRect& bounds);

    // Events in window pixels; the caller repaints getBounds() before and after (sub-menus
    // close and open on every one of them, the wheel's included).
    void onMouseDown(const VSTGUI::CPoint& where);
    void onMouseMoved(const VSTGUI::CPoint& where);
    void onWheel(const VSTGUI::CPoint& where, float distance);
    void onKeyDown(const VSTGUI::VstKeyCode& key);

    void draw(VSTGUI::CDrawContext* context);
    // The area all open columns cover.
    VSTGUI::CRect getBounds() const;

    bool isFinished() const { return finished; }
    // The chosen menu and entry index, or null and -1.
    VSTGUI::COptionMenu* getChosenMenu() const { return chosenMenu.get(); }
    int32_t getChosenIndex() const { return chosenIndex; }
    // For tests and the keyboard: the highlighted entry of the deepest column.
    int32_t getHighlighted() const;

private:
    // Menus may change while open (an echo from the host retitles one); the columns keep
    // their menus alive and every index is checked before use.
    struct Column {
        VSTGUI::SharedPointer<VSTGUI::COptionMenu> menu;
        VSTGUI::CRect rect;
        int32_t highlighted;
        int32_t firstVisible;
    };

    Column makeColumn(VSTGUI::COptionMenu* menu, VSTGUI::CPoint topLeft, VSTGUI::CCoord minWidth) const;
    int32_t visibleRows(const Column& column) const;
    int32_t rowAt(const Column& column, const VSTGUI::CPoint& where) const;
    int32_t columnAt(const VSTGUI::CPoint& where) const;
    void highlight(size_t columnIndex, int32_t row);
    bool openSubmenu(size_t columnIndex);
    void moveHighlight(int32_t direction);
    void scrollTo(Column& column, int32_t row);
    void choose(size_t columnIndex, int32_t row);
    void drawColumn(VSTGUI::CDrawContext* context, const Column& column);

    VSTGUI::CRect bounds;
    std::vector<Column> columns;
    bool finished = false;
    VSTGUI::SharedPointer<VSTGUI::COptionMenu> chosenMenu;
    int32_t chosenIndex = -1;
};

} // namespace zykgui
