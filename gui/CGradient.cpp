#include "gui/CGradient.h"

#include <algorithm>

namespace VSTGUI {

CGradient* CGradient::create(double color1Start, double color2Start, const CColor& color1,
                             const CColor& color2) {
    auto* gradient = new CGradient({});
    gradient->addColorStop(color1Start, color1);
    gradient->addColorStop(color2Start, color2);
    return gradient;
}

CGradient* CGradient::create(const ColorStopMap& stops) {
    auto* gradient = new CGradient({});
    for (const auto& [offset, colour] : stops)
        gradient->addColorStop(offset, colour);
    return gradient;
}

void CGradient::addColorStop(double start, const CColor& color) {
    stops.emplace(std::clamp(start, 0.0, 1.0), color);
}

} // namespace VSTGUI
