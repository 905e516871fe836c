// An image (cairo ARGB surface), loaded from PNG bytes; views draw it whole or by sub-rectangle.
#pragma once

#include "gui/CBaseObject.h"
#include "gui/CRect.h"

#include <cstddef>
#include <cstdint>
#include <string>

typedef struct _cairo_surface cairo_surface_t;

namespace VSTGUI {

class CBitmap : public CBaseObject {
public:
    // An empty (transparent) image; sizes below 1 give an invalid bitmap.
    CBitmap(CCoord width, CCoord height);
    // Adopts a cairo image surface (takes over the caller's surface reference).
    explicit CBitmap(cairo_surface_t* adoptedSurface);
    ~CBitmap() override;

    // Decodes PNG bytes; null (and a log line) for anything that is not a valid PNG.
    static CBitmap* createFromPNG(const void* data, size_t size);

    bool isValid() const;
    CCoord getWidth() const;
    CCoord getHeight() const;
    CPoint getSize() const { return {getWidth(), getHeight()}; }

    // Writes the image as PNG; false (and a log line) on failure.
    [[nodiscard]] bool writePNG(const std::string& path) const;
    // The pixel at (x, y) as non-premultiplied RGBA; transparent black outside.
    uint32_t getPixelRGBA(int x, int y) const;

    cairo_surface_t* getSurface() const { return surface; }

private:
    cairo_surface_t* surface = nullptr;
};

} // namespace VSTGUI
