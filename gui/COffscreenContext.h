// A draw context over an offscreen image (a CBitmap), e.g. to render a whole frame to PNG.
#pragma once

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"

namespace VSTGUI {

class CFrame;

class COffscreenContext : public CDrawContext {
public:
    // An image of width × height pixels (× scaleFactor); the frame is not drawn yet.
    // Null for sizes below one pixel.
    static SharedPointer<COffscreenContext> create(CFrame* frame, CCoord width, CCoord height,
                                                   double scaleFactor = 1.);

    CBitmap* getBitmap() const { return bitmap.get(); }
    void beginDraw() {}
    // Flushes drawing into the bitmap.
    void endDraw();

private:
    COffscreenContext(SharedPointer<CBitmap> target, cairo_t* cr);

    SharedPointer<CBitmap> bitmap;
};

} // namespace VSTGUI
