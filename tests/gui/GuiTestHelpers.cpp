#include "tests/gui/GuiTestHelpers.h"

#include <cairo.h>

namespace guitest {

using namespace VSTGUI;

CBitmap* makeStrip(int w, int h, int frames, const std::vector<CColor>& colours) {
    auto* bitmap = new CBitmap(w, h * frames);
    cairo_t* cr = cairo_create(bitmap->getSurface());
    for (int i = 0; i < frames; ++i) {
        const CColor& c = colours[i % colours.size()];
        cairo_set_source_rgba(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0);
        cairo_rectangle(cr, 0, i * h, w, h);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    return bitmap;
}

std::vector<unsigned char> encodePNG(CBitmap* bitmap) {
    std::vector<unsigned char> bytes;
    cairo_surface_write_to_png_stream(
        bitmap->getSurface(),
        [](void* closure, const unsigned char* data, unsigned int length) {
            auto* out = static_cast<std::vector<unsigned char>*>(closure);
            out->insert(out->end(), data, data + length);
            return CAIRO_STATUS_SUCCESS;
        },
        &bytes);
    return bytes;
}

void Recorder::valueChanged(CControl* control) {
    calls.push_back("value");
    values.push_back(control->getValue());
}

} // namespace guitest
