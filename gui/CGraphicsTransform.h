// Affine 2-D transform: x' = m11·x + m12·y + dx, y' = m21·x + m22·y + dy.
#pragma once

#include "gui/CRect.h"

#include <algorithm>

namespace VSTGUI {

struct CGraphicsTransform {
    double m11 = 1;
    double m12 = 0;
    double m21 = 0;
    double m22 = 1;
    double dx = 0;
    double dy = 0;

    constexpr CGraphicsTransform() = default;
    constexpr CGraphicsTransform(double a11, double a12, double a21, double a22, double tx, double ty)
        : m11(a11), m12(a12), m21(a21), m22(a22), dx(tx), dy(ty) {}

    // Applies a translation after this transform.
    CGraphicsTransform& translate(double x, double y) {
        dx += x;
        dy += y;
        return *this;
    }
    CGraphicsTransform& translate(const CPoint& p) { return translate(p.x, p.y); }
    // Applies a scale after this transform.
    CGraphicsTransform& scale(double sx, double sy) {
        *this = CGraphicsTransform(sx, 0, 0, sy, 0, 0) * *this;
        return *this;
    }

    bool isInvariant() const { return *this == CGraphicsTransform(); }
    double determinant() const { return m11 * m22 - m12 * m21; }

    // The inverse; the identity when the transform cannot be inverted.
    CGraphicsTransform inverse() const {
        const double det = determinant();
        if (det == 0) return {};
        const double i11 = m22 / det;
        const double i12 = -m12 / det;
        const double i21 = -m21 / det;
        const double i22 = m11 / det;
        return {i11, i12, i21, i22, -(i11 * dx + i12 * dy), -(i21 * dx + i22 * dy)};
    }

    CPoint transform(const CPoint& p) const {
        return {m11 * p.x + m12 * p.y + dx, m21 * p.x + m22 * p.y + dy};
    }
    // In-place forms as in VSTGUI.
    CPoint& transform(CPoint& p) const { return p = transform(static_cast<const CPoint&>(p)); }
    // The bounding box of the transformed corners.
    CRect& transform(CRect& r) const {
        const CPoint a = transform(r.getTopLeft());
        const CPoint b = transform(r.getTopRight());
        const CPoint c = transform(r.getBottomLeft());
        const CPoint d = transform(r.getBottomRight());
        r = CRect(std::min({a.x, b.x, c.x, d.x}), std::min({a.y, b.y, c.y, d.y}),
                  std::max({a.x, b.x, c.x, d.x}), std::max({a.y, b.y, c.y, d.y}));
        return r;
    }

    // Composition: (a * b)(p) = a(b(p)).
    CGraphicsTransform operator*(const CGraphicsTransform& b) const {
        return {m11 * b.m11 + m12 * b.m21, m11 * b.m12 + m12 * b.m22,    m21 * b.m11 + m22 * b.m21,
                m21 * b.m12 + m22 * b.m22, m11 * b.dx + m12 * b.dy + dx, m21 * b.dx + m22 * b.dy + dy};
    }
    bool operator==(const CGraphicsTransform& t) const {
        return m11 == t.m11 && m12 == t.m12 && m21 == t.m21 && m22 == t.m22 && dx == t.dx && dy == t.dy;
    }
    bool operator!=(const CGraphicsTransform& t) const { return !(*this == t); }
};

} // namespace VSTGUI
