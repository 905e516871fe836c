// A path of straight sub-paths, made by a draw context and replayed into cairo when drawn.
#pragma once

#include "gui/CBaseObject.h"
#include "gui/CRect.h"

#include <vector>

typedef struct _cairo cairo_t;

namespace VSTGUI {

class CGraphicsPath : public CBaseObject {
public:
    void beginSubpath(const CPoint& start);
    void addLine(const CPoint& to);
    void addRect(const CRect& rect);
    void closeSubpath();

    bool isEmpty() const { return elements.empty(); }
    // The bounding box of all points (empty rectangle for an empty path).
    CRect getBoundingBox() const;

    // Replays the path into the cairo context's current path.
    void appendTo(cairo_t* cr) const;

private:
    enum class Kind { Move, Line, Close };
    struct Element {
        Kind kind;
        CPoint point;
    };
    std::vector<Element> elements;
};

} // namespace VSTGUI
