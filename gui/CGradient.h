// A colour gradient: colour stops at offsets 0..1.
#pragma once

#include "gui/CBaseObject.h"
#include "gui/CColor.h"

#include <map>

namespace VSTGUI {

class CGradient : public CBaseObject {
public:
    using ColorStopMap = std::multimap<double, CColor>;

    // Two stops at color1Start and color2Start (offsets 0..1).
    static CGradient* create(double color1Start, double color2Start, const CColor& color1,
                             const CColor& color2);
    static CGradient* create(const ColorStopMap& stops);

    // Offsets outside 0..1 are clamped.
    void addColorStop(double start, const CColor& color);
    const ColorStopMap& getColorStops() const { return stops; }

private:
    explicit CGradient(const ColorStopMap& initial) : stops(initial) {}

    ColorStopMap stops;
};

} // namespace VSTGUI
