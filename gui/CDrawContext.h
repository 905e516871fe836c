// Drawing onto a cairo context: colours, lines, rectangles, bitmaps, text, paths, gradients,
// clipping and transforms. Coordinates are those of the view being drawn.
#pragma once

#include "gui/CBaseObject.h"
#include "gui/CColor.h"
#include "gui/CFontDesc.h"
#include "gui/CGraphicsTransform.h"
#include "gui/CRect.h"
#include "gui/UTF8String.h"
#include "gui/VSTGUITypes.h"

#include <vector>

typedef struct _cairo cairo_t;

namespace VSTGUI {

class CBitmap;
class CGradient;
class CGraphicsPath;

class CDrawContext : public CBaseObject {
public:
    enum PathDrawMode { kPathFilled, kPathFilledEvenOdd, kPathStroked };

    // Keeps its own reference on the cairo context.
    explicit CDrawContext(cairo_t* cr);
    ~CDrawContext() override;

    void setDrawMode(CDrawMode mode) { drawMode = mode; }
    void setLineWidth(CCoord width) { state.lineWidth = width; }
    void setFillColor(const CColor& color) { state.fillColor = color; }
    void setFrameColor(const CColor& color) { state.frameColor = color; }
    const CColor& getFrameColor() const { return state.frameColor; }
    void setFontColor(const CColor& color) { state.fontColor = color; }
    const CColor& getFontColor() const { return state.fontColor; }
    // size 0 keeps the font's own size; style -1 keeps its own style.
    void setFont(const CFontDesc* font, CCoord size = 0, int32_t style = -1);
    const CFontDesc* getFont() const { return &state.font; }
    // Multiplies the alpha of everything drawn (0..1).
    void setGlobalAlpha(float alpha);
    void setBitmapInterpolationQuality(BitmapInterpolationQuality q) { state.quality = q; }
    BitmapInterpolationQuality getBitmapInterpolationQuality() const { return state.quality; }

    void drawLine(const CPoint& start, const CPoint& end);
    void drawRect(const CRect& rect, CDrawStyle style = kDrawStroked);
    void drawEllipse(const CRect& rect, CDrawStyle style = kDrawStroked);
    // Draws the part of the bitmap starting at `offset` into `dest` (no scaling; the current
    // transform applies).
    void drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& offset = {0, 0}, float alpha = 1.f);
    // One line of text, vertically centred in `rect`, aligned horizontally.
    void drawString(const UTF8String& text, const CRect& rect, CHoriTxtAlign align = kCenterText,
                    bool antialias = true);
    // One line of text with its baseline starting at `baseline`.
    void drawString(const UTF8String& text, const CPoint& baseline, bool antialias = true);
    CCoord getStringWidth(const UTF8String& text);

    // The caller owns the path (forget it when done). Optional transforms apply to the path
    // only; gradient points are in the current coordinates.
    CGraphicsPath* createGraphicsPath();
    void drawGraphicsPath(CGraphicsPath* path, PathDrawMode mode = kPathFilled,
                          const CGraphicsTransform* transform = nullptr);
    void fillLinearGradient(CGraphicsPath* path, const CGradient& gradient, const CPoint& startPoint,
                            const CPoint& endPoint, bool evenOdd = false,
                            const CGraphicsTransform* transform = nullptr);

    // Clip rectangles are in current coordinates and intersect with the previous clip.
    void setClipRect(const CRect& clip);
    CRect getClipRect() const;
    void saveGlobalState();
    void restoreGlobalState();
    // Concatenates a transform to the current one until the matching restore.
    void concatTransform(const CGraphicsTransform& t);
    CGraphicsTransform getCurrentTransform() const;

    // Concatenates a transform for the lifetime of this object.
    class Transform {
    public:
        Transform(CDrawContext& context, const CGraphicsTransform& t);
        ~Transform();
        Transform(const Transform&) = delete;
        Transform& operator=(const Transform&) = delete;

    private:
        CDrawContext& context;
    };

    cairo_t* getCairoContext() const { return cr; }

private:
    struct State {
        CColor fillColor = kWhiteCColor;
        CColor frameColor = kBlackCColor;
        CColor fontColor = kBlackCColor;
        CFontDesc font{"Arial", 12};
        CCoord lineWidth = 1;
        float globalAlpha = 1.f;
        BitmapInterpolationQuality quality = BitmapInterpolationQuality::kDefault;
    };

    void setSourceColor(const CColor& color);
    void applyAntialias();
    void appendPath(const CGraphicsPath& path, const CGraphicsTransform* transform);
    bool prepareFont(const UTF8String& text, std::string& valid);

    cairo_t* cr;
    CDrawMode drawMode = kAntiAliasing;
    State state;
    std::vector<State> savedStates;
};

} // namespace VSTGUI
