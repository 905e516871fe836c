#include "tools/panelgen/Artwork.h"
#include "tools/panelgen/Glyphs.h"
#include "tools/panelgen/Painter.h"

#include <array>
#include <cmath>

namespace panelgen {
namespace {

const double kPi = 3.14159265358979323846;

struct KeyColours {
    unsigned top, bottom, led;
};

// One key of a strip; frame 1 is the key held down: darker, lower, with a shadow inside.
void drawKey(cairo_t* cr, double y0, double w, double h, const KeyColours& colours, bool pressed) {
    const double inset = 4, radius = std::min(10.0, h / 6), drop = pressed ? 2 : 0;
    // Cast shadow below the key (shorter when pressed).
    roundedRect(cr, inset, y0 + inset + (pressed ? 2 : 5), w - 2 * inset, h - 2 * inset, radius);
    setColour(cr, rgb(0x000000, pressed ? 0.35 : 0.55));
    cairo_fill(cr);
    roundedRect(cr, inset, y0 + inset + drop, w - 2 * inset, h - 2 * inset - 2, radius);
    Colour top = rgb(colours.top), bottom = rgb(colours.bottom);
    if (pressed) {
        top = {top.r * 0.78, top.g * 0.78, top.b * 0.78, 1};
        bottom = {bottom.r * 0.78, bottom.g * 0.78, bottom.b * 0.78, 1};
    }
    fillVertical(cr, y0 + inset, y0 + h - inset, top, bottom);
    // Rim: highlight on top, shade at the bottom.
    roundedRect(cr, inset + 1, y0 + inset + drop + 1, w - 2 * inset - 2, h - 2 * inset - 4, radius - 1);
    cairo_set_line_width(cr, 2);
    cairo_pattern_t* rim = cairo_pattern_create_linear(0, y0 + inset, 0, y0 + h - inset);
    cairo_pattern_add_color_stop_rgba(rim, 0, 1, 1, 1, pressed ? 0.10 : 0.28);
    cairo_pattern_add_color_stop_rgba(rim, 1, 0, 0, 0, 0.4);
    cairo_set_source(cr, rim);
    cairo_stroke(cr);
    cairo_pattern_destroy(rim);
    if (pressed) {
        roundedRect(cr, inset + 3, y0 + inset + drop + 3, w - 2 * inset - 6, h - 2 * inset - 8, radius - 2);
        setColour(cr, rgb(0x000000, 0.35));
        cairo_set_line_width(cr, 4);
        cairo_stroke(cr);
    }
    if (colours.led) {
        // The lit strip of a green or red key.
        roundedRect(cr, w * 0.3, y0 + inset + drop + 7, w * 0.4, 5, 2.5);
        setColour(cr, rgb(colours.led, pressed ? 0.75 : 1.0));
        cairo_fill(cr);
    }
}

Bitmap buttonStrip(const char* prefix, int w, int h, const KeyColours& colours) {
    Canvas canvas(w, 2 * h);
    drawKey(canvas.cr(), 0, w, h, colours, false);
    drawKey(canvas.cr(), h, w, h, colours, true);
    return {prefix + std::to_string(w) + "x" + std::to_string(h), w, 2 * h, canvas.png()};
}

// One knob frame: 270 degrees of travel from lower left (value 0) to lower right (value 1).
void drawKnob(cairo_t* cr, double y0, double value, unsigned arcColour, bool heavyShadow) {
    const double cx = 75, cy = y0 + 75;
    cairo_pattern_t* shadow = cairo_pattern_create_radial(cx, cy + 7, 30, cx, cy + 7, heavyShadow ? 66 : 60);
    cairo_pattern_add_color_stop_rgba(shadow, 0, 0, 0, 0, heavyShadow ? 0.7 : 0.55);
    cairo_pattern_add_color_stop_rgba(shadow, 1, 0, 0, 0, 0);
    cairo_set_source(cr, shadow);
    cairo_arc(cr, cx, cy + 7, 66, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(shadow);

    const double start = 0.75 * kPi, sweep = 1.5 * kPi, angle = start + sweep * value;
    // Scale: eleven ticks, the track and the lit part of the track.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int t = 0; t <= 10; ++t) {
        double a = start + sweep * t / 10.0;
        cairo_move_to(cr, cx + 52 * std::cos(a), cy + 52 * std::sin(a));
        cairo_line_to(cr, cx + 56 * std::cos(a), cy + 56 * std::sin(a));
    }
    setColour(cr, rgb(0x7D848D));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 4);
    cairo_arc(cr, cx, cy, 48, start, start + sweep);
    setColour(cr, rgb(0x0E0F11));
    cairo_stroke(cr);
    if (value > 0) {
        cairo_arc(cr, cx, cy, 48, start, angle);
        setColour(cr, rgb(arcColour));
        cairo_stroke(cr);
    }

    // Body with a lit top rim, then the cap that carries the value.
    cairo_arc(cr, cx, cy, 43, 0, 2 * kPi);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, cy - 43, 0, cy + 43);
    cairo_pattern_add_color_stop_rgb(body, 0, 0.36, 0.38, 0.41);
    cairo_pattern_add_color_stop_rgb(body, 1, 0.13, 0.14, 0.16);
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);
    cairo_arc(cr, cx, cy, 36, 0, 2 * kPi);
    cairo_pattern_t* cap = cairo_pattern_create_radial(cx, cy - 14, 4, cx, cy, 36);
    cairo_pattern_add_color_stop_rgb(cap, 0, 0.22, 0.23, 0.26);
    cairo_pattern_add_color_stop_rgb(cap, 1, 0.10, 0.11, 0.12);
    cairo_set_source(cr, cap);
    cairo_fill(cr);
    cairo_pattern_destroy(cap);
    cairo_arc(cr, cx, cy, 36, 0, 2 * kPi);
    setColour(cr, rgb(0x000000, 0.5));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);

    // Pointer on the skirt between cap and rim.
    cairo_set_line_width(cr, 5);
    cairo_move_to(cr, cx + 37.5 * std::cos(angle), cy + 37.5 * std::sin(angle));
    cairo_line_to(cr, cx + 45 * std::cos(angle), cy + 45 * std::sin(angle));
    setColour(cr, rgb(0xF4F4F4));
    cairo_stroke(cr);
}

Bitmap knobStrip(const char* name, unsigned arcColour, bool heavyShadow) {
    const int frames = 63;
    Canvas canvas(150, 150 * frames);
    for (int i = 0; i < frames; ++i)
        drawKnob(canvas.cr(), 150.0 * i, i / double(frames - 1), arcColour, heavyShadow);
    return {name, 150, 150 * frames, canvas.png()};
}

Bitmap menuBox(double w, double h) {
    // The image is as large as the menu, rounded half up.
    const int iw = static_cast<int>(std::floor(w + 0.5)), ih = static_cast<int>(std::floor(h + 0.5));
    Canvas canvas(iw, ih);
    cairo_t* cr = canvas.cr();
    drawRecess(cr, 2, 2, iw - 4, ih - 5, 8);
    roundedRect(cr, 2.5, 2.5, iw - 5, ih - 6, 8);
    setColour(cr, rgb(0x5A6068, 0.8));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    // A small down-pointing triangle at the right edge marks it as a menu.
    const double tx = iw - 16, ty = ih / 2.0;
    cairo_move_to(cr, tx - 6, ty - 3);
    cairo_line_to(cr, tx + 6, ty - 3);
    cairo_line_to(cr, tx, ty + 4);
    cairo_close_path(cr);
    setColour(cr, rgb(0xF0A030, 0.9));
    cairo_fill(cr);
    return {menuBoxName(w, h), iw, ih, canvas.png()};
}

Bitmap glyph(int i) {
    Canvas canvas(39, 50);
    cairo_t* cr = canvas.cr();
    const auto& pattern = glyphPattern(i);
    for (int row = 0; row < 7; ++row) {
        for (int column = 0; column < 5; ++column) {
            bool lit = pattern[row][column] == '#';
            cairo_rectangle(cr, 2 + 7 * column, 7 * row, 6, 6);
            setColour(cr, rgb(0x142008, lit ? 0.9 : 0.07));
            cairo_fill(cr);
        }
    }
    return {glyphBitmapName(i), 39, 50, canvas.png()};
}

} // namespace

void addControlBitmaps(std::vector<Bitmap>& out) {
    const KeyColours grey{0x5C6169, 0x3A3E44, 0}, green{0x3F7F48, 0x24532B, 0x7CFF8A},
        red{0x8A3434, 0x5A1F1F, 0xFF6A5A};
    const char* plain = "button_button_button_pressed_";
    out.push_back(buttonStrip(plain, 215, 87, grey));
    out.push_back(buttonStrip(plain, 297, 87, grey));
    out.push_back(buttonStrip(plain, 190, 87, grey));
    out.push_back(buttonStrip(plain, 105, 87, grey));
    out.push_back(buttonStrip(plain, 74, 74, grey));
    out.push_back(buttonStrip("button_button_green_button_green_pressed_", 215, 87, green));
    out.push_back(buttonStrip("button_button_green_button_green_pressed_", 297, 87, green));
    out.push_back(buttonStrip("button_button_red_button_red_pressed_", 215, 87, red));

    out.push_back(knobStrip("knobvalue_knobvalue_knobshadow_Top", 0xF0A030, false));
    out.push_back(knobStrip("knobvalue_knobvalue_knobshadow_Bottom", 0x46C3D8, true));

    const std::array<std::pair<double, double>, 12> boxes{{{168.5, 73.4},
                                                           {390, 55},
                                                           {193.01, 55},
                                                           {237.5, 55},
                                                           {224.8, 55},
                                                           {738.8, 61.8},
                                                           {347.1, 55},
                                                           {187.1, 51.92429},
                                                           {236.5227, 55},
                                                           {218.8421, 55},
                                                           {184.8, 55},
                                                           {312.21, 55}}};
    for (const auto& [w, h] : boxes)
        out.push_back(menuBox(w, h));
}

void addGlyphBitmaps(std::vector<Bitmap>& out) {
    for (int i = 0; i < kGlyphCount; ++i)
        out.push_back(glyph(i));
}

} // namespace panelgen
