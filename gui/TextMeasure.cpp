#include "gui/TextMeasure.h"

#include "gui/CDrawContext.h"

#include <cairo.h>

namespace zykgui {

VSTGUI::CCoord measureString(const VSTGUI::CFontDesc& font, const VSTGUI::UTF8String& text) {
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    VSTGUI::CCoord width = 0;
    {
        VSTGUI::CDrawContext context(cr);
        context.setFont(&font);
        width = context.getStringWidth(text);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    return width;
}

} // namespace zykgui
