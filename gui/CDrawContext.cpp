#include "gui/CDrawContext.h"

#include "gui/CBitmap.h"
#include "gui/CGradient.h"
#include "gui/CGraphicsPath.h"

#include <cairo.h>
#include <cmath>

namespace VSTGUI {

namespace {
cairo_filter_t filterFor(BitmapInterpolationQuality quality) {
    switch (quality) {
    case BitmapInterpolationQuality::kLow:
        return CAIRO_FILTER_FAST;
    case BitmapInterpolationQuality::kHigh:
        return CAIRO_FILTER_GOOD;
    default:
        return CAIRO_FILTER_BILINEAR;
    }
}

cairo_matrix_t toCairo(const CGraphicsTransform& t) {
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.m11, t.m21, t.m12, t.m22, t.dx, t.dy);
    return m;
}
} // namespace

CDrawContext::CDrawContext(cairo_t* context) : cr(cairo_reference(context)) {}

CDrawContext::~CDrawContext() {
    cairo_destroy(cr);
}

void CDrawContext::setFont(const CFontDesc* font, CCoord size, int32_t style) {
    if (!font) return;
    state.font = *font;
    if (size > 0) state.font.setSize(size);
    if (style >= 0) state.font.setStyle(style);
}

void CDrawContext::setGlobalAlpha(float alpha) {
    state.globalAlpha = std::fmin(1.f, std::fmax(0.f, alpha));
}

void CDrawContext::setSourceColor(const CColor& c) {
    cairo_set_source_rgba(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0,
                          c.alpha / 255.0 * state.globalAlpha);
}

void CDrawContext::applyAntialias() {
    cairo_set_antialias(cr, (drawMode & kAntiAliasing) ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
}

void CDrawContext::drawLine(const CPoint& start, const CPoint& end) {
    applyAntialias();
    setSourceColor(state.frameColor);
    cairo_set_line_width(cr, state.lineWidth);
    cairo_move_to(cr, start.x, start.y);
    cairo_line_to(cr, end.x, end.y);
    cairo_stroke(cr);
}

void CDrawContext::drawRect(const CRect& rect, CDrawStyle style) {
    applyAntialias();
    if (style != kDrawStroked) {
        setSourceColor(state.fillColor);
        cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
        cairo_fill(cr);
    }
    if (style != kDrawFilled) {
        // Strokes lie inside the rectangle.
        const CCoord half = state.lineWidth / 2;
        setSourceColor(state.frameColor);
        cairo_set_line_width(cr, state.lineWidth);
        cairo_rectangle(cr, rect.left + half, rect.top + half, rect.getWidth() - state.lineWidth,
                        rect.getHeight() - state.lineWidth);
        cairo_stroke(cr);
    }
}

void CDrawContext::drawEllipse(const CRect& rect, CDrawStyle style) {
    if (rect.isEmpty()) return;
    applyAntialias();
    const CPoint centre = rect.getCenter();
    cairo_save(cr);
    cairo_translate(cr, centre.x, centre.y);
    cairo_scale(cr, rect.getWidth() / 2, rect.getHeight() / 2);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    if (style != kDrawStroked) {
        setSourceColor(state.fillColor);
        cairo_fill_preserve(cr);
    }
    if (style != kDrawFilled) {
        setSourceColor(state.frameColor);
        cairo_set_line_width(cr, state.lineWidth);
        cairo_stroke_preserve(cr);
    }
    cairo_new_path(cr);
}

void CDrawContext::drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& offset, float alpha) {
    if (!bitmap || !bitmap->isValid() || dest.isEmpty()) return;
    // Only the source sub-rectangle is sampled, padded at its edges, so scaled strip frames
    // never bleed into their neighbours.
    CRect source(offset, dest.getSize());
    source.bound(CRect(0, 0, bitmap->getWidth(), bitmap->getHeight()));
    if (source.isEmpty()) return;
    cairo_surface_t* sub = cairo_surface_create_for_rectangle(bitmap->getSurface(), source.left, source.top,
                                                              source.getWidth(), source.getHeight());
    const CPoint origin(dest.left + (source.left - offset.x), dest.top + (source.top - offset.y));
    cairo_save(cr);
    cairo_rectangle(cr, origin.x, origin.y, source.getWidth(), source.getHeight());
    cairo_clip(cr);
    cairo_set_source_surface(cr, sub, origin.x, origin.y);
    cairo_pattern_t* pattern = cairo_get_source(cr);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(pattern, filterFor(state.quality));
    cairo_paint_with_alpha(cr, std::fmin(1.f, std::fmax(0.f, alpha)) * state.globalAlpha);
    cairo_restore(cr);
    cairo_surface_destroy(sub);
}

bool CDrawContext::prepareFont(const UTF8String& text, std::string& valid) {
    cairo_font_face_t* face = state.font.getFontFace();
    if (!face || text.empty()) return false;
    // Invalid UTF-8 would put the cairo context into an error state for good.
    valid = zykgui::makeValidUTF8(text.getString());
    cairo_set_font_face(cr, face);
    cairo_set_font_size(cr, state.font.getSize() > 0 ? state.font.getSize() : 12);
    return true;
}

CCoord CDrawContext::getStringWidth(const UTF8String& text) {
    std::string valid;
    if (!prepareFont(text, valid)) return 0;
    cairo_text_extents_t extents;
    cairo_text_extents(cr, valid.c_str(), &extents);
    return extents.x_advance;
}

void CDrawContext::drawString(const UTF8String& text, const CPoint& baseline, bool antialias) {
    std::string valid;
    if (!prepareFont(text, valid)) return;
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    setSourceColor(state.fontColor);
    cairo_move_to(cr, baseline.x, baseline.y);
    cairo_show_text(cr, valid.c_str());
    cairo_new_path(cr);
}

void CDrawContext::drawString(const UTF8String& text, const CRect& rect, CHoriTxtAlign align,
                              bool antialias) {
    std::string valid;
    if (!prepareFont(text, valid)) return;
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, valid.c_str(), &extents);
    CCoord x = rect.left;
    if (align == kCenterText)
        x = rect.left + (rect.getWidth() - extents.x_advance) / 2;
    else if (align == kRightText)
        x = rect.right - extents.x_advance;
    const CCoord y = rect.getCenter().y + (font.ascent - font.descent) / 2;
    cairo_save(cr);
    cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
    cairo_clip(cr);
    drawString(UTF8String(valid), CPoint(x, y), antialias);
    cairo_restore(cr);
}

void CDrawContext::appendPath(const CGraphicsPath& path, const CGraphicsTransform* transform) {
    applyAntialias();
    cairo_save(cr);
    if (transform) {
        const cairo_matrix_t m = toCairo(*transform);
        cairo_transform(cr, &m);
    }
    path.appendTo(cr);
    // The path keeps the transformed coordinates; the matrix goes back for the paint.
    cairo_restore(cr);
}

CGraphicsPath* CDrawContext::createGraphicsPath() {
    return new CGraphicsPath;
}

void CDrawContext::drawGraphicsPath(CGraphicsPath* path, PathDrawMode mode,
                                    const CGraphicsTransform* transform) {
    if (!path) return;
    appendPath(*path, transform);
    if (mode == kPathStroked) {
        setSourceColor(state.frameColor);
        cairo_set_line_width(cr, state.lineWidth);
        cairo_stroke(cr);
        return;
    }
    cairo_set_fill_rule(cr, mode == kPathFilledEvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    setSourceColor(state.fillColor);
    cairo_fill(cr);
}

void CDrawContext::fillLinearGradient(CGraphicsPath* path, const CGradient& gradient,
                                      const CPoint& startPoint, const CPoint& endPoint, bool evenOdd,
                                      const CGraphicsTransform* transform) {
    if (!path) return;
    appendPath(*path, transform);
    cairo_pattern_t* pattern =
        cairo_pattern_create_linear(startPoint.x, startPoint.y, endPoint.x, endPoint.y);
    for (const auto& [offset, c] : gradient.getColorStops())
        cairo_pattern_add_color_stop_rgba(pattern, offset, c.red / 255.0, c.green / 255.0, c.blue / 255.0,
                                          c.alpha / 255.0 * state.globalAlpha);
    cairo_set_source(cr, pattern);
    cairo_set_fill_rule(cr, evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
}

void CDrawContext::setClipRect(const CRect& clip) {
    cairo_rectangle(cr, clip.left, clip.top, clip.getWidth(), clip.getHeight());
    cairo_clip(cr);
}

CRect CDrawContext::getClipRect() const {
    double x1, y1, x2, y2;
    cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
    return {x1, y1, x2, y2};
}

void CDrawContext::saveGlobalState() {
    cairo_save(cr);
    savedStates.push_back(state);
}

void CDrawContext::restoreGlobalState() {
    if (savedStates.empty()) return;
    cairo_restore(cr);
    state = savedStates.back();
    savedStates.pop_back();
}

void CDrawContext::concatTransform(const CGraphicsTransform& t) {
    const cairo_matrix_t m = toCairo(t);
    cairo_transform(cr, &m);
}

CGraphicsTransform CDrawContext::getCurrentTransform() const {
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    return {m.xx, m.xy, m.yx, m.yy, m.x0, m.y0};
}

CDrawContext::Transform::Transform(CDrawContext& c, const CGraphicsTransform& t) : context(c) {
    context.saveGlobalState();
    context.concatTransform(t);
}

CDrawContext::Transform::~Transform() {
    context.restoreGlobalState();
}

} // namespace VSTGUI
