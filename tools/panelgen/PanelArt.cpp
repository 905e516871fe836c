#include "tools/panelgen/Artwork.h"
#include "tools/panelgen/Painter.h"

#include <array>
#include <cmath>

namespace panelgen {
namespace {

const double kPi = 3.14159265358979323846;

// The display: bezel and glass at (x, y), 847 x 336; the glass lies under the panel shadow (86, 81, 670 x
// 172).
void drawDisplay(cairo_t* cr, double x, double y, bool lit) {
    roundedRect(cr, x + 4, y + 4, 839, 328, 26);
    fillVertical(cr, y, y + 336, rgb(0x1A1C1F), rgb(0x08090A));
    roundedRect(cr, x + 5, y + 5, 837, 326, 25);
    cairo_set_line_width(cr, 2);
    setColour(cr, rgb(0xFFFFFF, 0.12));
    cairo_stroke(cr);
    roundedRect(cr, x + 64, y + 59, 714, 216, 12);
    fillVertical(cr, y + 59, y + 275, rgb(0x000000), rgb(0x141518));

    roundedRect(cr, x + 86, y + 81, 670, 172, 6);
    if (lit) {
        fillVertical(cr, y + 81, y + 253, rgb(0xC8E35A), rgb(0x9CC23A));
        roundedRect(cr, x + 86, y + 81, 670, 172, 6);
        cairo_pattern_t* glow = cairo_pattern_create_radial(x + 421, y + 167, 20, x + 421, y + 167, 360);
        cairo_pattern_add_color_stop_rgba(glow, 0, 1, 1, 0.85, 0.35);
        cairo_pattern_add_color_stop_rgba(glow, 1, 1, 1, 0.85, 0);
        cairo_set_source(cr, glow);
        cairo_fill(cr);
        cairo_pattern_destroy(glow);
    } else {
        fillVertical(cr, y + 81, y + 253, rgb(0x3A4528), rgb(0x29321D));
    }
}

Bitmap displayLight() {
    Canvas canvas(847, 336);
    drawDisplay(canvas.cr(), 0, 0, true);
    return {"display_light", 847, 336, canvas.png()};
}

// Inner shadow of the window the glass sits behind, plus a faint reflection across it.
Bitmap displayShadow() {
    const int w = 670, h = 172;
    Canvas canvas(w, h);
    cairo_t* cr = canvas.cr();
    struct Edge {
        double x0, y0, x1, y1, depth, alpha;
    };
    const std::array<Edge, 4> edges{{{0, 0, 0, 26, 26, 0.55},
                                     {0, h, 0, h - 10, 10, 0.3},
                                     {0, 0, 18, 0, 18, 0.45},
                                     {w, 0, w - 18, 0, 18, 0.45}}};
    for (const Edge& e : edges) {
        cairo_pattern_t* p = cairo_pattern_create_linear(e.x0, e.y0, e.x1, e.y1);
        cairo_pattern_add_color_stop_rgba(p, 0, 0, 0, 0, e.alpha);
        cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 0, 0);
        cairo_set_source(cr, p);
        cairo_rectangle(cr, 0, 0, w, h);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
    cairo_move_to(cr, 120, 0);
    cairo_line_to(cr, 300, 0);
    cairo_line_to(cr, 180, h);
    cairo_line_to(cr, 0, h);
    cairo_line_to(cr, 0, 90);
    cairo_close_path(cr);
    setColour(cr, rgb(0xFFFFFF, 0.05));
    cairo_fill(cr);
    return {"display_panelshadow", w, h, canvas.png()};
}

Bitmap donateButton() {
    Canvas canvas(239, 73);
    cairo_t* cr = canvas.cr();
    roundedRect(cr, 3, 6, 233, 64, 32);
    setColour(cr, rgb(0x000000, 0.5));
    cairo_fill(cr);
    roundedRect(cr, 3, 3, 233, 64, 32);
    fillVertical(cr, 3, 67, rgb(0xB8433A), rgb(0x7E2621));
    roundedRect(cr, 4, 4, 231, 62, 31);
    setColour(cr, rgb(0xFFFFFF, 0.2));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    // A heart: two arcs and a point.
    const double hx = 46, hy = 33;
    cairo_move_to(cr, hx, hy + 16);
    cairo_arc(cr, hx - 8, hy - 3, 9, 0.75 * kPi, 2 * kPi);
    cairo_arc(cr, hx + 8, hy - 3, 9, kPi, 2.25 * kPi);
    cairo_close_path(cr);
    setColour(cr, rgb(0xFFE3DF));
    cairo_fill(cr);
    drawText(cr, "DONATE", 70, 3, 150, 64, 30, rgb(0xFFF4F2));
    return {"btn_donate_SM", 239, 73, canvas.png()};
}

Bitmap throttleHandle() {
    Canvas canvas(74, 74);
    cairo_t* cr = canvas.cr();
    cairo_arc(cr, 37, 40, 33, 0, 2 * kPi);
    setColour(cr, rgb(0x000000, 0.45));
    cairo_fill(cr);
    cairo_arc(cr, 37, 37, 31, 0, 2 * kPi);
    cairo_pattern_t* body = cairo_pattern_create_radial(30, 28, 4, 37, 37, 31);
    cairo_pattern_add_color_stop_rgb(body, 0, 0.62, 0.64, 0.68);
    cairo_pattern_add_color_stop_rgb(body, 1, 0.22, 0.23, 0.26);
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);
    cairo_arc(cr, 37, 37, 24, 0, 2 * kPi);
    setColour(cr, rgb(0xF0A030));
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    cairo_arc(cr, 37, 37, 5, 0, 2 * kPi);
    setColour(cr, rgb(0xF4F4F4));
    cairo_fill(cr);
    return {"sourcemixthrottle", 74, 74, canvas.png()};
}

Bitmap resizeGrip() {
    Canvas canvas(122, 100);
    cairo_t* cr = canvas.cr();
    cairo_set_line_width(cr, 3);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int k = 1; k <= 4; ++k) {
        const double d = 16.0 * k;
        cairo_move_to(cr, 116 - d, 96);
        cairo_line_to(cr, 116, 96 - d);
        setColour(cr, rgb(0x000000, 0.7));
        cairo_stroke(cr);
        cairo_move_to(cr, 116 - d + 3, 96);
        cairo_line_to(cr, 116, 96 - d + 3);
        setColour(cr, rgb(0xA0A6AE, 0.8));
        cairo_stroke(cr);
    }
    return {"resize", 122, 100, canvas.png()};
}

Bitmap arrow(const char* name, bool right) {
    Canvas canvas(128, 256);
    cairo_t* cr = canvas.cr();
    roundedRect(cr, 10, 16, 108, 232, 18);
    setColour(cr, rgb(0x000000, 0.5));
    cairo_fill(cr);
    roundedRect(cr, 10, 10, 108, 232, 18);
    fillVertical(cr, 10, 242, rgb(0x454A51), rgb(0x2B2E33));
    const double tip = right ? 88 : 40, back = right ? 44 : 84;
    cairo_move_to(cr, back, 76);
    cairo_line_to(cr, tip, 126);
    cairo_line_to(cr, back, 176);
    cairo_set_line_width(cr, 14);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    setColour(cr, rgb(0xE4E7EB));
    cairo_stroke(cr);
    return {name, 128, 256, canvas.png()};
}

void drawScrew(cairo_t* cr, double x, double y) {
    cairo_arc(cr, x, y, 11, 0, 2 * kPi);
    fillVertical(cr, y - 11, y + 11, rgb(0x6B7078), rgb(0x2A2D31));
    cairo_move_to(cr, x - 7, y - 3);
    cairo_line_to(cr, x + 7, y + 3);
    setColour(cr, rgb(0x111214));
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
}

void drawSourceMixPad(cairo_t* cr) {
    const double cx = 440, cy = 517;
    cairo_arc(cr, cx, cy, 158, 0, 2 * kPi);
    cairo_pattern_t* disc = cairo_pattern_create_radial(cx, cy - 40, 10, cx, cy, 158);
    cairo_pattern_add_color_stop_rgb(disc, 0, 0.12, 0.13, 0.15);
    cairo_pattern_add_color_stop_rgb(disc, 1, 0.05, 0.05, 0.06);
    cairo_set_source(cr, disc);
    cairo_fill(cr);
    cairo_pattern_destroy(disc);
    cairo_arc(cr, cx, cy, 158, 0, 2 * kPi);
    setColour(cr, rgb(0x000000, 0.8));
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    cairo_arc(cr, cx, cy, 160, 0.15 * kPi, 0.85 * kPi);
    setColour(cr, rgb(0xFFFFFF, 0.12));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    // The handle's centre stays within 123 of the middle.
    const double dashes[] = {6, 6};
    cairo_set_dash(cr, dashes, 2, 0);
    cairo_arc(cr, cx, cy, 123, 0, 2 * kPi);
    setColour(cr, rgb(0x7D848D, 0.6));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    cairo_move_to(cr, cx - 123, cy);
    cairo_line_to(cr, cx + 123, cy);
    cairo_move_to(cr, cx, cy - 123);
    cairo_line_to(cr, cx, cy + 123);
    setColour(cr, rgb(0x7D848D, 0.35));
    cairo_stroke(cr);
    const Colour label = rgb(0xC9CDD3);
    drawText(cr, "1", cx - 20, cy - 150, 40, 30, 22, label);
    drawText(cr, "2", cx - 20, cy + 120, 40, 30, 22, label);
    drawText(cr, "3", cx - 152, cy - 15, 30, 30, 22, label);
    drawText(cr, "4", cx + 122, cy - 15, 30, 30, 22, label);
}

void drawLogo(cairo_t* cr) {
    const double x = 1690.5, y = 436.3, w = 641, h = 266;
    engraveText(cr, "ZYK", x, y + 10, w, 170, 168, rgb(0xE8EAED));
    cairo_rectangle(cr, x + 120, y + 186, w - 240, 5);
    setColour(cr, rgb(0xF0A030));
    cairo_fill(cr);
    engraveText(cr, "MULTI-SOURCE SYNTHESIZER", x, y + 198, w, 50, 27, rgb(0xB4BAC2));
    (void)h;
}

Bitmap background(const std::vector<Engraving>& engravings) {
    Canvas canvas(2560, 1440);
    cairo_t* cr = canvas.cr();
    drawPanelSurface(cr, 2560, 1440, rgb(0x2E3136), rgb(0x1B1D21), 1);
    // An accent line under the top band.
    cairo_rectangle(cr, 0, 8, 2560, 3);
    setColour(cr, rgb(0xF0A030, 0.8));
    cairo_fill(cr);
    for (double sx : {28.0, 2532.0})
        for (double sy : {40.0, 820.0})
            drawScrew(cr, sx, sy);
    drawDisplay(cr, 752.499, 345.8, false);
    drawSourceMixPad(cr);
    drawLogo(cr);
    // The tray that the pages sit in.
    drawRecess(cr, 172, 850, 2290, 552, 14);
    drawEngravings(cr, engravings);
    return {"background", 2560, 1440, canvas.png()};
}

Bitmap pageLayer(const Layout& layout, const std::string& name, int w, int h, unsigned seed) {
    Canvas canvas(w, h);
    drawPanelSurface(canvas.cr(), w, h, rgb(0x34383E), rgb(0x2A2D32), seed);
    auto found = layout.engravings.find(name);
    if (found != layout.engravings.end()) drawEngravings(canvas.cr(), found->second);
    return {name, w, h, canvas.png()};
}

} // namespace

void addPanelBitmaps(std::vector<Bitmap>& out, const Layout& layout) {
    out.push_back(background(layout.engravings.at("background")));
    out.push_back(displayLight());
    out.push_back(displayShadow());
    out.push_back(donateButton());
    out.push_back(throttleHandle());
    out.push_back(resizeGrip());
    struct Layer {
        const char* name;
        int w, h;
    };
    const std::array<Layer, 9> layers{{{"bake_mode_edit", 2210, 525},
                                       {"bake_sourcesMute", 224, 517},
                                       {"bake_edit_source", 1665, 517},
                                       {"bake_edit_common", 1537, 517},
                                       {"bake_mode_play", 2063, 517},
                                       {"bake_mode_edit_multi", 2216, 525},
                                       {"bake_multiSection", 347, 525},
                                       {"bake_mode_edit_system", 2101, 475},
                                       {"bake_audio", 546, 103}}};
    unsigned seed = 2;
    for (const Layer& layer : layers)
        out.push_back(pageLayer(layout, layer.name, layer.w, layer.h, seed++));
    out.push_back(arrow("bake_arrowRight", true));
    out.push_back(arrow("bake_arrowLeft", false));
}

std::vector<Bitmap> drawAllBitmaps(const Layout& layout) {
    std::vector<Bitmap> bitmaps;
    addPanelBitmaps(bitmaps, layout);
    addControlBitmaps(bitmaps);
    addGlyphBitmaps(bitmaps);
    return bitmaps;
}

} // namespace panelgen
