// A user-interface description: bitmaps (base64 PNG), fonts and view templates read from an XML
// document ("vstgui-ui-description"), and the view trees built from its templates.
#pragma once

#include "gui/CBaseObject.h"
#include "gui/CBitmap.h"
#include "gui/CFontDesc.h"
#include "gui/XmlParser.h"

#include <list>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace VSTGUI {

class CView;
class IController;

class UIDescription : public CBaseObject {
public:
    explicit UIDescription(xml::IContentProvider* provider);
    ~UIDescription() override;

    // Reads the document. False (with a log line) for malformed XML, a wrong root element or no template;
    // a bitmap that cannot be decoded is logged and left out.
    [[nodiscard]] bool parse();
    // Builds the view tree of a template; the caller owns the one reference. Null (logged) when there is
    // no such template. Unknown attributes are logged and ignored; views of unknown classes are left out.
    CView* createView(UTF8StringPtr name, IController* controller) const;

    CBitmap* getBitmap(UTF8StringPtr name) const;
    CFontRef getFont(UTF8StringPtr name) const;
    void collectBitmapNames(std::list<const std::string*>& names) const;
    void collectFontNames(std::list<const std::string*>& names) const;
    void collectTemplateViewNames(std::list<const std::string*>& names) const;

    // One element of the document: name, attributes in document order, text and children.
    struct Node {
        std::string name;
        std::vector<std::pair<std::string, std::string>> attributes;
        std::string text;
        std::vector<std::unique_ptr<Node>> children;

        const std::string* getAttribute(const std::string& key) const;
    };

private:
    class Reader;

    void loadBitmaps(Node& section);
    void loadFonts(const Node& section);
    CView* createViewFromNode(const Node& node) const;
    void applyAttribute(CView* view, const std::string& cls, const std::string& key,
                        const std::string& value) const;

    xml::IContentProvider* provider;
    std::unique_ptr<Node> document;
    std::map<std::string, SharedPointer<CBitmap>> bitmaps;
    std::map<std::string, SharedPointer<CFontDesc>> fonts;
    std::map<std::string, const Node*> templates;
};

} // namespace VSTGUI
