#include "gui/CBitmap.h"

#include "gui/GuiLog.h"

#include <cairo.h>
#include <cstring>

namespace VSTGUI {

namespace {
struct PngSource {
    const unsigned char* data;
    size_t size;
    size_t position;
};

cairo_status_t readPng(void* closure, unsigned char* out, unsigned int length) {
    auto* source = static_cast<PngSource*>(closure);
    if (length > source->size - source->position) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, source->data + source->position, length);
    source->position += length;
    return CAIRO_STATUS_SUCCESS;
}
} // namespace

CBitmap::CBitmap(CCoord width, CCoord height) {
    if (width >= 1 && height >= 1)
        surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(width),
                                             static_cast<int>(height));
}

CBitmap::CBitmap(cairo_surface_t* adoptedSurface) : surface(adoptedSurface) {}

CBitmap::~CBitmap() {
    if (surface) cairo_surface_destroy(surface);
}

CBitmap* CBitmap::createFromPNG(const void* data, size_t size) {
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!data || size < sizeof(signature) || std::memcmp(data, signature, sizeof(signature)) != 0) {
        zykgui::log("CBitmap", 31, "Not a PNG image (", size, " bytes)");
        return nullptr;
    }
    PngSource source{static_cast<const unsigned char*>(data), size, 0};
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(readPng, &source);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        zykgui::log("CBitmap", 37,
                    "Failed to decode PNG image: ", cairo_status_to_string(cairo_surface_status(surface)));
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return new CBitmap(surface);
}

bool CBitmap::isValid() const {
    return surface && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
}

CCoord CBitmap::getWidth() const {
    return isValid() ? cairo_image_surface_get_width(surface) : 0;
}

CCoord CBitmap::getHeight() const {
    return isValid() ? cairo_image_surface_get_height(surface) : 0;
}

bool CBitmap::writePNG(const std::string& path) const {
    const cairo_status_t status =
        isValid() ? cairo_surface_write_to_png(surface, path.c_str()) : CAIRO_STATUS_NULL_POINTER;
    if (status != CAIRO_STATUS_SUCCESS) {
        zykgui::log("CBitmap", 59, "Failed to write PNG ", path, ": ", cairo_status_to_string(status));
        return false;
    }
    return true;
}

uint32_t CBitmap::getPixelRGBA(int x, int y) const {
    if (!isValid() || x < 0 || y < 0 || x >= getWidth() || y >= getHeight()) return 0;
    cairo_surface_flush(surface);
    const unsigned char* row =
        cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
    uint32_t argb;
    std::memcpy(&argb, row + 4 * x, 4);
    const uint32_t a = argb >> 24;
    if (a == 0) return 0;
    // Cairo stores premultiplied colour; undo it for callers.
    const auto channel = [&](int shift) { return (((argb >> shift) & 0xFF) * 255 + a / 2) / a; };
    return (channel(16) << 24) | (channel(8) << 16) | (channel(0) << 8) | a;
}

} // namespace VSTGUI
