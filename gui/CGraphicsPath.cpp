#include "gui/CGraphicsPath.h"

#include <cairo.h>

namespace VSTGUI {

void CGraphicsPath::beginSubpath(const CPoint& start) {
    elements.push_back({Kind::Move, start});
}

void CGraphicsPath::addLine(const CPoint& to) {
    elements.push_back({Kind::Line, to});
}

void CGraphicsPath::addRect(const CRect& rect) {
    beginSubpath(rect.getTopLeft());
    addLine(rect.getTopRight());
    addLine(rect.getBottomRight());
    addLine(rect.getBottomLeft());
    closeSubpath();
}

void CGraphicsPath::closeSubpath() {
    elements.push_back({Kind::Close, {}});
}

CRect CGraphicsPath::getBoundingBox() const {
    bool first = true;
    CRect box;
    for (const Element& e : elements) {
        if (e.kind == Kind::Close) continue;
        const CRect point(e.point, {0, 0});
        if (first)
            box = point;
        else
            box.unite(point);
        first = false;
    }
    return box;
}

void CGraphicsPath::appendTo(cairo_t* cr) const {
    for (const Element& e : elements) {
        switch (e.kind) {
        case Kind::Move:
            cairo_move_to(cr, e.point.x, e.point.y);
            break;
        case Kind::Line:
            cairo_line_to(cr, e.point.x, e.point.y);
            break;
        case Kind::Close:
            cairo_close_path(cr);
            break;
        }
    }
}

} // namespace VSTGUI
