#include "gui/UIDescription.h"

#include "gui/CAnimKnob.h"
#include "gui/CKickButton.h"
#include "gui/COptionMenu.h"
#include "gui/CTextEdit.h"
#include "gui/CTextLabel.h"
#include "gui/CViewContainer.h"
#include "gui/GuiLog.h"

#include <charconv>
#include <cstring>

namespace VSTGUI {
namespace {

// Deeper documents are refused, so building a view tree never recurses without bound.
constexpr int kMaxDepth = 64;

bool parseNumber(const std::string& text, double& out) {
    const char* first = text.data();
    const char* last = first + text.size();
    while (first < last && *first == ' ')
        ++first;
    auto result = std::from_chars(first, last, out);
    if (result.ec != std::errc()) return false;
    for (const char* p = result.ptr; p < last; ++p)
        if (*p != ' ') return false;
    return true;
}

// "x, y"
bool parsePoint(const std::string& text, CPoint& out) {
    const size_t comma = text.find(',');
    return comma != std::string::npos && parseNumber(text.substr(0, comma), out.x) &&
           parseNumber(text.substr(comma + 1), out.y);
}

bool parseBool(const std::string& text, bool& out) {
    if (text != "true" && text != "false") return false;
    out = text == "true";
    return true;
}

int base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// Decodes base64, skipping white space; false for any other character or a broken ending.
bool decodeBase64(const std::string& text, std::vector<uint8_t>& out) {
    out.clear();
    out.reserve(text.size() / 4 * 3);
    uint32_t bits = 0;
    int count = 0, padding = 0;
    for (char c : text) {
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t') continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        const int value = base64Value(c);
        if (value < 0 || padding > 0) return false;
        bits = (bits << 6) | static_cast<uint32_t>(value);
        if (++count == 4) {
            out.push_back(static_cast<uint8_t>(bits >> 16));
            out.push_back(static_cast<uint8_t>(bits >> 8));
            out.push_back(static_cast<uint8_t>(bits));
            bits = 0;
            count = 0;
        }
    }
    if (count == 1 || padding > 2) return false;
    if (count == 2) out.push_back(static_cast<uint8_t>(bits >> 4));
    if (count == 3) {
        out.push_back(static_cast<uint8_t>(bits >> 10));
        out.push_back(static_cast<uint8_t>(bits >> 2));
    }
    return true;
}

CView* makeView(const std::string& cls, const CRect& rect) {
    if (cls == "CView") return new CView(rect);
    if (cls == "CViewContainer") return new CViewContainer(rect);
    if (cls == "CTextLabel") return new CTextLabel(rect);
    if (cls == "CTextEdit") return new CTextEdit(rect, nullptr, -1);
    if (cls == "COptionMenu") return new COptionMenu(rect, nullptr, -1);
    if (cls == "CAnimKnob") return new CAnimKnob(rect, nullptr, -1, nullptr);
    if (cls == "CKickButton") return new CKickButton(rect, nullptr, -1, nullptr);
    return nullptr;
}

} // namespace

const std::string* UIDescription::Node::getAttribute(const std::string& key) const {
    for (const auto& [attributeName, value] : attributes)
        if (attributeName == key) return &value;
    return nullptr;
}

// Builds the element tree while expat reads; keeps text only where the document carries data.
class UIDescription::Reader : public xml::IHandler {
public:
    std::unique_ptr<Node> root;

    void startXmlElement(xml::Parser* parser, IdStringPtr name, UTF8StringPtr* attributes) override {
        if (open.size() >= kMaxDepth) {
            zykgui::log("parse", 131, "Elements nested deeper than ", kMaxDepth);
            parser->stop();
            return;
        }
        auto node = std::make_unique<Node>();
        node->name = name;
        for (UTF8StringPtr* a = attributes; a && a[0] && a[1]; a += 2)
            node->attributes.emplace_back(a[0], a[1]);
        Node* raw = node.get();
        if (open.empty())
            root = std::move(node);
        else
            open.back()->children.push_back(std::move(node));
        open.push_back(raw);
    }

    void endXmlElement(xml::Parser*, IdStringPtr) override {
        if (!open.empty()) open.pop_back();
    }

    void xmlCharData(xml::Parser*, const int8_t* data, int32_t length) override {
        if (!open.empty() && open.back()->name == "data")
            open.back()->text.append(reinterpret_cast<const char*>(data), static_cast<size_t>(length));
    }

private:
    std::vector<Node*> open;
};

UIDescription::UIDescription(xml::IContentProvider* contentProvider) : provider(contentProvider) {}

UIDescription::~UIDescription() = default;

bool UIDescription::parse() {
    document.reset();
    bitmaps.clear();
    fonts.clear();
    templates.clear();
    Reader reader;
    xml::Parser parser;
    if (!parser.parse(provider, &reader) || !reader.root) return false;
    document = std::move(reader.root);
    if (document->name != "vstgui-ui-description") {
        zykgui::log("parse", 176, "Unexpected root element ", document->name);
        return false;
    }
    for (const auto& section : document->children) {
        if (section->name == "bitmaps")
            loadBitmaps(*section);
        else if (section->name == "fonts")
            loadFonts(*section);
        else if (section->name == "template") {
            const std::string* name = section->getAttribute("name");
            if (name)
                templates.emplace(*name, section.get());
            else
                zykgui::log("parse", 189, "Template without a name ignored");
        } else
            zykgui::log("parse", 191, "Unknown section ", section->name, " ignored");
    }
    if (templates.empty()) {
        zykgui::log("parse", 194, "The description holds no template");
        return false;
    }
    return true;
}

void UIDescription::loadBitmaps(Node& section) {
    std::vector<uint8_t> png;
    for (const auto& bitmap : section.children) {
        const std::string* name = bitmap->getAttribute("name");
        if (bitmap->name != "bitmap" || !name) {
            zykgui::log("loadBitmaps", 205, "Bitmap entry without a name ignored");
            continue;
        }
        Node* data = nullptr;
        for (const auto& child : bitmap->children)
            if (child->name == "data") data = child.get();
        const std::string* encoding = data ? data->getAttribute("encoding") : nullptr;
        if (!encoding || *encoding != "base64") {
            zykgui::log("loadBitmaps", 213, "Bitmap ", *name, " carries no base64 data");
            continue;
        }
        CBitmap* decoded = nullptr;
        if (decodeBase64(data->text, png)) decoded = CBitmap::createFromPNG(png.data(), png.size());
        std::string().swap(data->text); // the decoded image is all that is kept
        if (!decoded) {
            zykgui::log("loadBitmaps", 219, "Bitmap ", *name, " could not be decoded");
            continue;
        }
        bitmaps[*name] = SharedPointer<CBitmap>(decoded, false);
    }
}

void UIDescription::loadFonts(const Node& section) {
    for (const auto& font : section.children) {
        const std::string* name = font->getAttribute("name");
        const std::string* family = font->getAttribute("font-name");
        const std::string* sizeText = font->getAttribute("size");
        double size = 0;
        if (font->name != "font" || !name || !family || !sizeText || !parseNumber(*sizeText, size) ||
            size <= 0) {
            zykgui::log("loadFonts", 233, "Incomplete font entry ignored");
            continue;
        }
        int32_t style = kNormalFace;
        const std::string* bold = font->getAttribute("bold");
        const std::string* italic = font->getAttribute("italic");
        if (bold && *bold == "true") style |= kBoldFace;
        if (italic && *italic == "true") style |= kItalicFace;
        fonts[*name] = SharedPointer<CFontDesc>(new CFontDesc(*family, size, style), false);
    }
}

CView* UIDescription::createView(UTF8StringPtr name, IController*) const {
    auto found = templates.find(name ? name : "");
    if (found == templates.end()) {
        zykgui::log("createView", 248, "No template named ", name ? name : "");
        return nullptr;
    }
    return createViewFromNode(*found->second);
}

CView* UIDescription::createViewFromNode(const Node& node) const {
    const bool isTemplate = node.name == "template";
    const std::string* clsAttribute = node.getAttribute("class");
    const std::string cls = clsAttribute ? *clsAttribute : isTemplate ? "CViewContainer" : "";
    CPoint origin, size;
    const std::string* originText = node.getAttribute("origin");
    const std::string* sizeText = node.getAttribute("size");
    if ((originText && !parsePoint(*originText, origin)) || (sizeText && !parsePoint(*sizeText, size)))
        zykgui::log("createView", 262, "Invalid origin or size on a ", cls, " view");
    CView* view = makeView(cls, CRect(origin, size));
    if (!view) {
        zykgui::log("createView", 265, "Unknown view class '", cls, "' left out");
        return nullptr;
    }
    for (const auto& [key, value] : node.attributes) {
        if (key == "class" || key == "origin" || key == "size") continue;
        if (isTemplate && (key == "name" || key == "minSize" || key == "maxSize")) continue;
        applyAttribute(view, cls, key, value);
    }
    CViewContainer* container = view->asViewContainer();
    for (const auto& child : node.children) {
        if (child->name != "view") continue;
        if (!container) {
            zykgui::log("createView", 277, "Children of a ", cls, " view ignored");
            break;
        }
        if (CView* childView = createViewFromNode(*child)) container->addView(childView);
    }
    return view;
}

void UIDescription::applyAttribute(CView* view, const std::string& cls, const std::string& key,
                                   const std::string& value) const {
    auto invalidValue = [&] { zykgui::log("applyAttribute", 287, "Invalid value '", value, "' for ", key); };
    bool flag = false;
    double number = 0;
    if (key == "transparent" || key == "mouse-enabled" || key == "font-antialias") {
        if (!parseBool(value, flag)) return invalidValue();
    } else if (key == "opacity" || key == "angle-start" || key == "angle-range" ||
               key == "height-of-one-image" || key == "default-value" || key == "min-value" ||
               key == "max-value" || key == "wheel-inc-value") {
        if (!parseNumber(value, number)) return invalidValue();
    }

    auto* control = dynamic_cast<CControl*>(view);
    auto* knob = dynamic_cast<CKnobBase*>(view);
    auto* display = dynamic_cast<CParamDisplay*>(view);
    const double degrees = 3.14159265358979323846 / 180.0;
    if (key == "transparent")
        view->setTransparency(flag);
    else if (key == "mouse-enabled")
        view->setMouseEnabled(flag);
    else if (key == "opacity")
        view->setAlphaValue(static_cast<float>(number));
    else if (key == "custom-view-name")
        view->setAttribute(kCViewCustomViewNameAttribute, static_cast<uint32_t>(value.size() + 1),
                           value.c_str());
    else if (key == "tooltip")
        view->setTooltipText(value.c_str());
    else if (key == "bitmap") {
        if (CBitmap* bitmap = getBitmap(value.c_str()))
            view->setBackground(bitmap);
        else
            zykgui::log("applyAttribute", 313, "Unknown bitmap ", value);
    } else if (knob && key == "angle-start")
        knob->setStartAngle(static_cast<float>(number * degrees));
    else if (knob && key == "angle-range")
        knob->setRangeAngle(static_cast<float>(number * degrees));
    else if (key == "height-of-one-image" && dynamic_cast<CAnimKnob*>(view))
        static_cast<CAnimKnob*>(view)->setHeightOfOneImage(number);
    else if (key == "height-of-one-image" && dynamic_cast<CKickButton*>(view))
        static_cast<CKickButton*>(view)->setHeightOfOneImage(number);
    else if (control && key == "default-value")
        control->setDefaultValue(static_cast<float>(number));
    else if (control && key == "min-value")
        control->setMin(static_cast<float>(number));
    else if (control && key == "max-value")
        control->setMax(static_cast<float>(number));
    else if (control && key == "wheel-inc-value")
        control->setWheelInc(static_cast<float>(number));
    else if (display && key == "font") {
        if (CFontRef font = getFont(value.c_str()))
            display->setFont(font);
        else
            zykgui::log("applyAttribute", 333, "Unknown font ", value);
    } else if (display && key == "font-color") {
        CColor colour;
        if (!colour.fromString(value)) return invalidValue();
        display->setFontColor(colour);
    } else if (display && key == "text-alignment") {
        if (value == "left")
            display->setHoriAlign(kLeftText);
        else if (value == "center")
            display->setHoriAlign(kCenterText);
        else if (value == "right")
            display->setHoriAlign(kRightText);
        else
            invalidValue();
    } else if (display && key == "font-antialias")
        display->setAntialias(flag);
    else if (key == "title" && dynamic_cast<CTextLabel*>(view))
        static_cast<CTextLabel*>(view)->setText(value.c_str());
    else
        zykgui::log("applyAttribute", 351, "Unknown attribute '", key, "' on ", cls, " ignored");
}

CBitmap* UIDescription::getBitmap(UTF8StringPtr name) const {
    auto found = bitmaps.find(name ? name : "");
    return found == bitmaps.end() ? nullptr : found->second.get();
}

CFontRef UIDescription::getFont(UTF8StringPtr name) const {
    auto found = fonts.find(name ? name : "");
    return found == fonts.end() ? nullptr : found->second.get();
}

void UIDescription::collectBitmapNames(std::list<const std::string*>& names) const {
    for (const auto& entry : bitmaps)
        names.push_back(&entry.first);
}

void UIDescription::collectFontNames(std::list<const std::string*>& names) const {
    for (const auto& entry : fonts)
        names.push_back(&entry.first);
}

void UIDescription::collectTemplateViewNames(std::list<const std::string*>& names) const {
    for (const auto& entry : templates)
        names.push_back(&entry.first);
}

} // namespace VSTGUI
