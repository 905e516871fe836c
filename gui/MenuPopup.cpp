#include "gui/MenuPopup.h"

#include "gui/CDrawContext.h"
#include "gui/CGraphicsPath.h"
#include "gui/COptionMenu.h"
#include "gui/TextMeasure.h"

#include <algorithm>
#include <cmath>

namespace zykgui {

using namespace VSTGUI;

namespace {
constexpr CCoord kPadding = 10;
constexpr CCoord kArrowSpace = 16;
const CColor kBackColour(245, 245, 245);
const CColor kBorderColour(120, 120, 120);
const CColor kHighlightColour(56, 116, 216);
const CColor kTextColour(0, 0, 0);
const CColor kDisabledColour(160, 160, 160);
const CColor kTitleColour(90, 90, 90);

// An entry the keyboard and mouse can land on: choosable, or an enabled sub-menu.
bool canHighlight(const CMenuItem* item) {
    return item && item->isSelectable();
}

CFontDesc menuFont(bool bold) {
    return CFontDesc("Arial", MenuPopup::kFontSize, bold ? kBoldFace : kNormalFace);
}

void drawTriangle(CDrawContext* context, const CPoint& a, const CPoint& b, const CPoint& c,
                  const CColor& colour) {
    SharedPointer<CGraphicsPath> path = owned(context->createGraphicsPath());
    path->beginSubpath(a);
    path->addLine(b);
    path->addLine(c);
    path->closeSubpath();
    context->setFillColor(colour);
    context->drawGraphicsPath(path, CDrawContext::kPathFilled);
}
} // namespace

MenuPopup::MenuPopup(COptionMenu* menu, const CRect& anchor, const CRect& frameBounds) : bounds(frameBounds) {
    Column root = makeColumn(menu, anchor.getBottomLeft(), anchor.getWidth());
    // Below the anchor when it fits, else above it, else as low as the frame allows.
    if (root.rect.bottom > bounds.bottom) {
        const CCoord height = root.rect.getHeight();
        const CCoord top = anchor.top - height >= bounds.top ? anchor.top - height : bounds.bottom - height;
        root.rect.moveTo(root.rect.left, std::max(bounds.top, top));
    }
    columns.push_back(root);
    const int32_t current = menu->getCurrentIndex(true);
    if (canHighlight(menu->getEntry(current))) {
        columns[0].highlighted = current;
        scrollTo(columns[0], current);
    }
}

MenuPopup::Column MenuPopup::makeColumn(COptionMenu* menu, CPoint topLeft, CCoord minWidth) const {
    CCoord width = minWidth;
    for (int32_t i = 0; i < menu->getNbEntries(); ++i) {
        const CMenuItem* item = menu->getEntry(i);
        width = std::max(width, zykgui::measureString(menuFont(item->isTitle()), item->getTitle()) +
                                    2 * kPadding + kArrowSpace);
    }
    width = std::min(std::ceil(width), bounds.getWidth());
    const CCoord fullHeight = menu->getNbEntries() * kRowHeight + 2;
    const CCoord maxRows = std::max<CCoord>(1, std::floor((bounds.getHeight() - 2) / kRowHeight));
    const CCoord height = std::min(fullHeight, maxRows * kRowHeight + 2);
    CRect rect(topLeft, {width, height});
    if (rect.right > bounds.right) rect.offset(bounds.right - rect.right, 0);
    if (rect.bottom > bounds.bottom) rect.offset(0, bounds.bottom - rect.bottom);
    if (rect.left < bounds.left) rect.offset(bounds.left - rect.left, 0);
    if (rect.top < bounds.top) rect.offset(0, bounds.top - rect.top);
    return {menu, rect, -1, 0};
}

int32_t MenuPopup::visibleRows(const Column& column) const {
    return std::max(1, static_cast<int32_t>((column.rect.getHeight() - 2) / kRowHeight));
}

int32_t MenuPopup::rowAt(const Column& column, const CPoint& where) const {
    if (!column.rect.pointInside(where)) return -1;
    const auto row = column.firstVisible + static_cast<int32_t>((where.y - column.rect.top - 1) / kRowHeight);
    return row >= 0 && row < column.menu->getNbEntries() && row < column.firstVisible + visibleRows(column)
               ? row
               : -1;
}

int32_t MenuPopup::columnAt(const CPoint& where) const {
    for (size_t i = columns.size(); i-- > 0;)
        if (columns[i].rect.pointInside(where)) return static_cast<int32_t>(i);
    return -1;
}

int32_t MenuPopup::getHighlighted() const {
    return columns.back().highlighted;
}

CRect MenuPopup::getBounds() const {
    CRect all = columns.front().rect;
    for (const Column& c : columns)
        all.unite(c.rect);
    return all;
}

void MenuPopup::highlight(size_t columnIndex, int32_t row) {
    columns.resize(columnIndex + 1);
    columns[columnIndex].highlighted = row;
    openSubmenu(columnIndex);
}

bool MenuPopup::openSubmenu(size_t columnIndex) {
    const Column& column = columns[columnIndex];
    const CMenuItem* item = column.menu->getEntry(column.highlighted);
    if (!canHighlight(item) || !item->getSubmenu() || item->getSubmenu()->getNbEntries() == 0) return false;
    columns.resize(columnIndex + 1);
    const CCoord rowTop = column.rect.top + 1 + (column.highlighted - column.firstVisible) * kRowHeight;
    Column sub = makeColumn(item->getSubmenu(), {column.rect.right, rowTop - 1}, 0);
    // Open to the left when there is no room on the right.
    if (sub.rect.left < column.rect.right && column.rect.left - sub.rect.getWidth() >= bounds.left)
        sub.rect.moveTo(column.rect.left - sub.rect.getWidth(), sub.rect.top);
    columns.push_back(sub);
    return true;
}

void MenuPopup::scrollTo(Column& column, int32_t row) {
    const int32_t visible = visibleRows(column);
    if (row < column.firstVisible) column.firstVisible = row;
    if (row >= column.firstVisible + visible) column.firstVisible = row - visible + 1;
    column.firstVisible =
        std::clamp(column.firstVisible, 0, std::max(0, column.menu->getNbEntries() - visible));
}

void MenuPopup::moveHighlight(int32_t direction) {
    Column& column = columns.back();
    const int32_t count = column.menu->getNbEntries();
    int32_t row = column.highlighted;
    for (int32_t step = 0; step < count; ++step) {
        row = row < 0 ? (direction > 0 ? 0 : count - 1) : (row + direction + count) % count;
        if (canHighlight(column.menu->getEntry(row))) {
            column.highlighted = row;
            scrollTo(column, row);
            return;
        }
    }
}

void MenuPopup::choose(size_t columnIndex, int32_t row) {
    chosenMenu = columns[columnIndex].menu;
    chosenIndex = row;
    finished = true;
}

void MenuPopup::onMouseDown(const CPoint& where) {
    const int32_t columnIndex = columnAt(where);
    if (columnIndex < 0) {
        finished = true;
        return;
    }
    const int32_t row = rowAt(columns[columnIndex], where);
    const CMenuItem* item = columns[columnIndex].menu->getEntry(row);
    if (!canHighlight(item)) return;
    if (item->getSubmenu())
        highlight(columnIndex, row);
    else
        choose(columnIndex, row);
}

void MenuPopup::onMouseMoved(const CPoint& where) {
    const int32_t columnIndex = columnAt(where);
    if (columnIndex < 0) return;
    const int32_t row = rowAt(columns[columnIndex], where);
    if (row == columns[columnIndex].highlighted) return;
    if (canHighlight(columns[columnIndex].menu->getEntry(row))) highlight(columnIndex, row);
}

void MenuPopup::onWheel(const CPoint& where, float distance) {
    const int32_t columnIndex = columnAt(where);
    if (columnIndex < 0) return;
    Column& column = columns[columnIndex];
    const int32_t maxFirst = std::max(0, column.menu->getNbEntries() - visibleRows(column));
    const auto rows = static_cast<int32_t>(std::lround(std::clamp(distance, -1000.f, 1000.f)));
    column.firstVisible = std::clamp(column.firstVisible - rows, 0, maxFirst);
    // The entries moved under the pointer: the highlight and the open sub-menu follow the entry
    // now under it, as if the pointer had moved there.
    columns.resize(static_cast<size_t>(columnIndex) + 1);
    const int32_t row = rowAt(columns.back(), where);
    columns.back().highlighted = canHighlight(columns.back().menu->getEntry(row)) ? row : -1;
    openSubmenu(columns.size() - 1);
}

void MenuPopup::onKeyDown(const VstKeyCode& key) {
    Column& column = columns.back();
    const CMenuItem* item = column.menu->getEntry(column.highlighted);
    switch (key.virt) {
    case VKEY_UP:
        moveHighlight(-1);
        break;
    case VKEY_DOWN:
        moveHighlight(1);
        break;
    case VKEY_LEFT:
        if (columns.size() > 1) columns.pop_back();
        break;
    case VKEY_RIGHT:
    case VKEY_RETURN:
    case VKEY_ENTER:
        if (openSubmenu(columns.size() - 1)) {
            moveHighlight(1);
        } else if (key.virt != VKEY_RIGHT && canHighlight(item)) {
            choose(columns.size() - 1, column.highlighted);
        }
        break;
    case VKEY_ESCAPE:
        finished = true;
        break;
    default:
        break;
    }
}

void MenuPopup::draw(CDrawContext* context) {
    for (const Column& column : columns)
        drawColumn(context, column);
}

void MenuPopup::drawColumn(CDrawContext* context, const Column& column) {
    context->saveGlobalState();
    context->setDrawMode(kAntiAliasing);
    context->setFillColor(kBackColour);
    context->setFrameColor(kBorderColour);
    context->setLineWidth(1);
    context->drawRect(column.rect, kDrawFilledAndStroked);
    const int32_t last = std::min(column.menu->getNbEntries(), column.firstVisible + visibleRows(column));
    for (int32_t row = column.firstVisible; row < last; ++row) {
        const CMenuItem* item = column.menu->getEntry(row);
        CRect rowRect(column.rect.left + 1, column.rect.top + 1 + (row - column.firstVisible) * kRowHeight,
                      column.rect.right - 1, 0);
        rowRect.setHeight(kRowHeight);
        if (item->isSeparator()) {
            context->setFrameColor(kDisabledColour);
            const CCoord y = std::floor(rowRect.getCenter().y) + 0.5;
            context->drawLine({rowRect.left + 4, y}, {rowRect.right - 4, y});
            continue;
        }
        const bool lit = row == column.highlighted && canHighlight(item);
        if (lit) {
            context->setFillColor(kHighlightColour);
            context->drawRect(rowRect, kDrawFilled);
        }
        const CFontDesc font = menuFont(item->isTitle());
        context->setFont(&font);
        context->setFontColor(lit                 ? kWhiteCColor
                              : item->isTitle()   ? kTitleColour
                              : item->isEnabled() ? kTextColour
                                                  : kDisabledColour);
        CRect textRect = rowRect;
        textRect.left += kPadding;
        textRect.right -= kArrowSpace;
        context->drawString(item->getTitle(), textRect, kLeftText);
        if (item->getSubmenu()) {
            const CPoint tip(rowRect.right - 6, rowRect.getCenter().y);
            drawTriangle(context, {tip.x - 5, tip.y - 4}, tip, {tip.x - 5, tip.y + 4},
                         lit ? kWhiteCColor : kTextColour);
        }
    }
    // Arrows tell that a long column scrolls.
    const CCoord x = column.rect.right - 10;
    if (column.firstVisible > 0)
        drawTriangle(context, {x - 4, column.rect.top + 7}, {x, column.rect.top + 3},
                     {x + 4, column.rect.top + 7}, kBorderColour);
    if (last < column.menu->getNbEntries())
        drawTriangle(context, {x - 4, column.rect.bottom - 7}, {x, column.rect.bottom - 3},
                     {x + 4, column.rect.bottom - 7}, kBorderColour);
    context->restoreGlobalState();
}

} // namespace zykgui
