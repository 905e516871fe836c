#include "gui/CFontDesc.h"

#include "gui/GuiLog.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <map>
#include <mutex>

namespace VSTGUI {

namespace {
// The panel names Windows fonts; Liberation Sans is metric-compatible with Arial and close
// enough to Gadugi.
std::string familyForName(const std::string& name) {
    if (name.empty() || name == "Arial" || name == "Gadugi") return "Liberation Sans";
    return name;
}

// Fontconfig and cairo's face cache are process-wide; creation is serialised.
std::mutex& fontMutex() {
    static std::mutex mutex;
    return mutex;
}

struct ResolvedFace {
    cairo_font_face_t* face;
    std::string family;
};

// Faces by "family/bold/italic"; they live as long as the process.
std::map<std::string, ResolvedFace>& faceCache() {
    static std::map<std::string, ResolvedFace> cache;
    return cache;
}

ResolvedFace resolveFace(const std::string& family, bool bold, bool italic) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) {
        zykgui::log("CFontDesc", 78, "No font found for ", family);
        return {nullptr, ""};
    }
    ResolvedFace resolved{nullptr, ""};
    FcChar8* matchedFamily = nullptr;
    if (FcPatternGetString(match, FC_FAMILY, 0, &matchedFamily) == FcResultMatch)
        resolved.family = reinterpret_cast<const char*>(matchedFamily);
    resolved.face = cairo_ft_font_face_create_for_pattern(match);
    FcPatternDestroy(match);
    return resolved;
}

CFontDesc systemFont("Arial", 12);
CFontDesc normalFont("Arial", 18);
} // namespace

const CFontRef kSystemFont = &systemFont;
const CFontRef kNormalFont = &normalFont;

CFontDesc::CFontDesc(const UTF8String& fontName, CCoord fontSize, int32_t fontStyle)
    : name(fontName), size(fontSize), style(fontStyle) {}

CFontDesc::CFontDesc(const CFontDesc& other) : CFontDesc(other.name, other.size, other.style) {}

CFontDesc& CFontDesc::operator=(const CFontDesc& other) {
    if (this != &other) {
        name = other.name;
        size = other.size;
        style = other.style;
        dropFace();
    }
    return *this;
}

CFontDesc::~CFontDesc() {
    dropFace();
}

void CFontDesc::setName(const UTF8String& newName) {
    name = newName;
    dropFace();
}

void CFontDesc::setStyle(int32_t newStyle) {
    style = newStyle;
    dropFace();
}

void CFontDesc::dropFace() {
    if (face) cairo_font_face_destroy(face);
    face = nullptr;
    resolvedFamily.clear();
}

std::string CFontDesc::getResolvedFamily() {
    getFontFace();
    return resolvedFamily;
}

cairo_font_face_t* CFontDesc::getFontFace() {
    if (face) return face;
    const std::string family = familyForName(zykgui::makeValidUTF8(name.getString()));
    const bool bold = (style & kBoldFace) != 0;
    const bool italic = (style & kItalicFace) != 0;
    const std::string key = family + (bold ? "/b" : "/-") + (italic ? "/i" : "/-");
    std::lock_guard<std::mutex> lock(fontMutex());
    auto found = faceCache().find(key);
    if (found == faceCache().end()) found = faceCache().emplace(key, resolveFace(family, bold, italic)).first;
    if (!found->second.face) return nullptr;
    face = cairo_font_face_reference(found->second.face);
    resolvedFamily = found->second.family;
    return face;
}

} // namespace VSTGUI

// Fontconfig loses a few bytes while it parses the system's configuration files, once per
// process. LeakSanitizer asks for this list in sanitizer builds; it lives here because every
// program that draws text links this file.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
