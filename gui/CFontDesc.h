// A font by family name, size (in drawing units) and style; resolved through fontconfig.
#pragma once

#include "gui/CBaseObject.h"
#include "gui/CRect.h"
#include "gui/UTF8String.h"

#include <cstdint>

typedef struct _cairo_font_face cairo_font_face_t;

namespace VSTGUI {

enum CTxtFace : int32_t {
    kNormalFace = 0,
    kBoldFace = 1 << 1,
    kItalicFace = 1 << 2,
    kUnderlineFace = 1 << 3,
    kStrikethroughFace = 1 << 4,
};

class CFontDesc : public CBaseObject {
public:
    CFontDesc(const UTF8String& name = "", CCoord size = 0, int32_t style = kNormalFace);
    CFontDesc(const CFontDesc& other);
    CFontDesc& operator=(const CFontDesc& other);
    ~CFontDesc() override;

    const UTF8String& getName() const { return name; }
    CCoord getSize() const { return size; }
    int32_t getStyle() const { return style; }
    void setName(const UTF8String& newName);
    void setSize(CCoord newSize) { size = newSize; }
    void setStyle(int32_t newStyle);

    // The family fontconfig chose for this font (after our alias table), e.g. "Liberation Sans".
    std::string getResolvedFamily();
    // The cairo face (shared by all fonts of the same family and style, looked up once);
    // null only when fontconfig finds nothing at all.
    cairo_font_face_t* getFontFace();

private:
    void dropFace();

    UTF8String name;
    CCoord size;
    int32_t style;
    cairo_font_face_t* face = nullptr;
    std::string resolvedFamily;
};

using CFontRef = CFontDesc*;

// The default fonts, as in VSTGUI (Liberation Sans, 12 and 18 units, plain).
extern const CFontRef kSystemFont;
extern const CFontRef kNormalFont;

} // namespace VSTGUI
