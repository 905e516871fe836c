#include "tools/panelgen/Painter.h"

#include <cstdint>
#include <sstream>
#include <vector>

namespace panelgen {

Colour rgb(unsigned hex, double alpha) {
    return {((hex >> 16) & 0xFF) / 255.0, ((hex >> 8) & 0xFF) / 255.0, (hex & 0xFF) / 255.0, alpha};
}

Canvas::Canvas(int width, int height) : w(width), h(height) {
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    context = cairo_create(surface);
}

Canvas::~Canvas() {
    cairo_destroy(context);
    cairo_surface_destroy(surface);
}

std::string Canvas::png() {
    cairo_surface_flush(surface);
    std::string bytes;
    auto write = [](void* closure, const unsigned char* data, unsigned int length) {
        static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
    };
    cairo_surface_write_to_png_stream(surface, write, &bytes);
    return bytes;
}

void setColour(cairo_t* cr, const Colour& c) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double radius) {
    const double pi = 3.14159265358979323846;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - radius, y + radius, radius, -pi / 2, 0);
    cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, pi / 2);
    cairo_arc(cr, x + radius, y + h - radius, radius, pi / 2, pi);
    cairo_arc(cr, x + radius, y + radius, radius, pi, 3 * pi / 2);
    cairo_close_path(cr);
}

void fillVertical(cairo_t* cr, double y0, double y1, const Colour& top, const Colour& bottom) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    cairo_pattern_add_color_stop_rgba(p, 0, top.r, top.g, top.b, top.a);
    cairo_pattern_add_color_stop_rgba(p, 1, bottom.r, bottom.g, bottom.b, bottom.a);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void drawText(cairo_t* cr, const std::string& text, double x, double y, double w, double h, double size,
              const Colour& colour, Align align) {
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    const double lineHeight = size * 1.15;
    double baseline = y + (h - lineHeight * static_cast<double>(lines.size())) / 2 +
                      (lineHeight + font.ascent - font.descent) / 2;
    setColour(cr, colour);
    for (const std::string& line : lines) {
        cairo_text_extents_t extents;
        cairo_text_extents(cr, line.c_str(), &extents);
        double left = align == Align::Left    ? x
                      : align == Align::Right ? x + w - extents.x_advance
                                              : x + (w - extents.x_advance) / 2;
        cairo_move_to(cr, left, baseline);
        cairo_show_text(cr, line.c_str());
        baseline += lineHeight;
    }
}

void engraveText(cairo_t* cr, const std::string& text, double x, double y, double w, double h, double size,
                 const Colour& colour) {
    drawText(cr, text, x, y - 1.5, w, h, size, rgb(0x000000, 0.75));
    drawText(cr, text, x, y + 1, w, h, size, rgb(0xFFFFFF, 0.08));
    drawText(cr, text, x, y, w, h, size, colour);
}

void drawPanelSurface(cairo_t* cr, double w, double h, const Colour& top, const Colour& bottom,
                      unsigned seed) {
    cairo_rectangle(cr, 0, 0, w, h);
    fillVertical(cr, 0, h, top, bottom);
    // Brushing: faint horizontal streaks from a fixed pseudo-random sequence, the same on every run.
    uint32_t state = seed * 2654435761u + 1;
    for (int y = 0; y < h; y += 2) {
        state = state * 1664525u + 1013904223u;
        double shade = ((state >> 24) & 0xFF) / 255.0;
        cairo_rectangle(cr, 0, y, w, 1);
        setColour(cr,
                  shade > 0.5 ? rgb(0xFFFFFF, (shade - 0.5) * 0.035) : rgb(0x000000, (0.5 - shade) * 0.06));
        cairo_fill(cr);
    }
    // Bevel: a light top-left edge and a dark bottom-right edge.
    cairo_set_line_width(cr, 2);
    cairo_move_to(cr, 1, h - 1);
    cairo_line_to(cr, 1, 1);
    cairo_line_to(cr, w - 1, 1);
    setColour(cr, rgb(0xFFFFFF, 0.10));
    cairo_stroke(cr);
    cairo_move_to(cr, w - 1, 1);
    cairo_line_to(cr, w - 1, h - 1);
    cairo_line_to(cr, 1, h - 1);
    setColour(cr, rgb(0x000000, 0.45));
    cairo_stroke(cr);
}

void drawRecess(cairo_t* cr, double x, double y, double w, double h, double radius) {
    roundedRect(cr, x, y, w, h, radius);
    fillVertical(cr, y, y + h, rgb(0x0B0C0E), rgb(0x16181B));
    // Inner shadow along the top edge and a highlight along the bottom lip.
    roundedRect(cr, x + 1, y + 1, w - 2, h - 2, radius);
    cairo_set_line_width(cr, 2);
    setColour(cr, rgb(0x000000, 0.6));
    cairo_stroke(cr);
    cairo_move_to(cr, x + radius, y + h + 1);
    cairo_line_to(cr, x + w - radius, y + h + 1);
    setColour(cr, rgb(0xFFFFFF, 0.12));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
}

namespace {

void drawGroup(cairo_t* cr, const Engraving& e) {
    const double size = 20, mid = e.y + e.h / 2;
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, e.text.c_str(), &extents);
    const double gapLeft = e.x + (e.w - extents.x_advance) / 2 - 12,
                 gapRight = gapLeft + extents.x_advance + 24;
    cairo_set_line_width(cr, 2);
    for (int pass = 0; pass < 2; ++pass) {
        const double dy = pass == 0 ? 1.5 : 0;
        setColour(cr, pass == 0 ? rgb(0x000000, 0.6) : rgb(0x8C939C));
        cairo_move_to(cr, e.x + 2, mid + 10 + dy);
        cairo_line_to(cr, e.x + 2, mid + dy);
        cairo_line_to(cr, gapLeft, mid + dy);
        cairo_move_to(cr, gapRight, mid + dy);
        cairo_line_to(cr, e.x + e.w - 2, mid + dy);
        cairo_line_to(cr, e.x + e.w - 2, mid + 10 + dy);
        cairo_stroke(cr);
    }
    engraveText(cr, e.text, e.x, e.y, e.w, e.h, size, rgb(0xB4BAC2));
}

} // namespace

void drawEngravings(cairo_t* cr, const std::vector<Engraving>& engravings) {
    for (const Engraving& e : engravings) {
        switch (e.kind) {
        case Engraving::Caption:
            engraveText(cr, e.text, e.x, e.y, e.w, e.h, 21, rgb(0xC9CDD3));
            break;
        case Engraving::Heading:
            engraveText(cr, e.text, e.x, e.y, e.w, e.h, 28, rgb(0xE4E7EB));
            break;
        case Engraving::Group:
            drawGroup(cr, e);
            break;
        case Engraving::Field:
            drawRecess(cr, e.x, e.y, e.w, e.h, 8);
            break;
        case Engraving::Band:
            cairo_rectangle(cr, e.x, e.y, e.w, e.h);
            setColour(cr, rgb(0xFFFFFF, 0.035));
            cairo_fill(cr);
            break;
        }
    }
}

} // namespace panelgen
