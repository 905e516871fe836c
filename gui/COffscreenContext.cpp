#include "gui/COffscreenContext.h"

#include <cairo.h>
#include <cmath>

namespace VSTGUI {

COffscreenContext::COffscreenContext(SharedPointer<CBitmap> target, cairo_t* context)
    : CDrawContext(context), bitmap(std::move(target)) {}

SharedPointer<COffscreenContext> COffscreenContext::create(CFrame*, CCoord width, CCoord height,
                                                           double scaleFactor) {
    if (!(scaleFactor > 0)) return {};
    const CCoord w = std::ceil(width * scaleFactor);
    const CCoord h = std::ceil(height * scaleFactor);
    if (!(w >= 1 && h >= 1 && w <= 32768 && h <= 32768)) return {};
    auto target = owned(new CBitmap(w, h));
    if (!target->isValid()) return {};
    cairo_t* cr = cairo_create(target->getSurface());
    cairo_scale(cr, scaleFactor, scaleFactor);
    auto context = owned(new COffscreenContext(target, cr));
    cairo_destroy(cr);
    return context;
}

void COffscreenContext::endDraw() {
    cairo_surface_flush(bitmap->getSurface());
}

} // namespace VSTGUI
