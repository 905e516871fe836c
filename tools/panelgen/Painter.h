// Drawing helpers shared by the artwork: an image surface, PNG encoding, shapes and engraved text.
#pragma once

#include "tools/panelgen/Layout.h"

#include <cairo.h>
#include <string>

namespace panelgen {

struct Colour {
    double r, g, b, a = 1.0;
};

// Colour from 0xRRGGBB and an alpha.
Colour rgb(unsigned hex, double alpha = 1.0);

// An ARGB image with its drawing context.
class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return context; }
    int width() const { return w; }
    int height() const { return h; }
    // The image as PNG bytes (cairo writes no time stamp, so equal pixels give equal bytes).
    std::string png();

private:
    int w, h;
    cairo_surface_t* surface;
    cairo_t* context;
};

void setColour(cairo_t* cr, const Colour& c);
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);
// A vertical gradient between two colours over [y0, y1].
void fillVertical(cairo_t* cr, double y0, double y1, const Colour& top, const Colour& bottom);

enum class Align { Left, Center, Right };
// Text in Liberation Sans Bold, each line of `text` ('\n' separated) centred vertically as a block in the
// rect.
void drawText(cairo_t* cr, const std::string& text, double x, double y, double w, double h, double size,
              const Colour& colour, Align align = Align::Center);
// Light text with a dark edge above and a faint highlight below, as if cut into the panel.
void engraveText(cairo_t* cr, const std::string& text, double x, double y, double w, double h, double size,
                 const Colour& colour);

// A brushed-metal panel surface with a soft bevel at its edges.
void drawPanelSurface(cairo_t* cr, double w, double h, const Colour& top, const Colour& bottom,
                      unsigned seed);
// A dark recessed field (screens, text fields, lists).
void drawRecess(cairo_t* cr, double x, double y, double w, double h, double radius);
void drawEngravings(cairo_t* cr, const std::vector<Engraving>& engravings);

} // namespace panelgen
