#include "gui/XmlParser.h"

#include "gui/GuiLog.h"

#include <expat.h>
#include <vector>

namespace VSTGUI {
namespace xml {

struct Parser::Impl {
    XML_Parser expat = nullptr;
    bool stopped = false;
};

namespace {

Parser* owner(void* userData) {
    return static_cast<Parser*>(userData);
}

void XMLCALL onStart(void* userData, const XML_Char* name, const XML_Char** attributes) {
    Parser* parser = owner(userData);
    parser->getHandler()->startXmlElement(parser, name, const_cast<UTF8StringPtr*>(attributes));
}

void XMLCALL onEnd(void* userData, const XML_Char* name) {
    Parser* parser = owner(userData);
    parser->getHandler()->endXmlElement(parser, name);
}

void XMLCALL onCharData(void* userData, const XML_Char* data, int length) {
    Parser* parser = owner(userData);
    parser->getHandler()->xmlCharData(parser, reinterpret_cast<const int8_t*>(data), length);
}

} // namespace

Parser::Parser() : impl(new Impl) {}

Parser::~Parser() {
    if (impl->expat) XML_ParserFree(impl->expat);
    delete impl;
}

bool Parser::parse(IContentProvider* provider, IHandler* newHandler) {
    if (!provider || !newHandler) return false;
    if (impl->expat) XML_ParserFree(impl->expat);
    impl->expat = XML_ParserCreate(nullptr);
    impl->stopped = false;
    handler = newHandler;
    if (!impl->expat) {
        zykgui::log("parse", 58, "Cannot create the XML parser");
        return false;
    }
    XML_SetUserData(impl->expat, this);
    XML_SetElementHandler(impl->expat, onStart, onEnd);
    XML_SetCharacterDataHandler(impl->expat, onCharData);

    provider->rewind();
    std::vector<int8_t> chunk(64 * 1024);
    for (;;) {
        const uint32_t length = provider->readRawXmlData(chunk.data(), static_cast<uint32_t>(chunk.size()));
        if (length > chunk.size()) {
            zykgui::log("parse", 70, "The content provider delivered more bytes than asked for");
            return false;
        }
        const bool last = length == 0;
        if (XML_Parse(impl->expat, reinterpret_cast<const char*>(chunk.data()), static_cast<int>(length),
                      last) != XML_STATUS_OK) {
            if (impl->stopped) return false;
            zykgui::log("parse", 75, "XML error at line ", XML_GetCurrentLineNumber(impl->expat), ", column ",
                        XML_GetCurrentColumnNumber(impl->expat), ": ",
                        XML_ErrorString(XML_GetErrorCode(impl->expat)));
            return false;
        }
        if (last) return true;
    }
}

bool Parser::stop() {
    if (!impl->expat) return false;
    impl->stopped = true;
    return XML_StopParser(impl->expat, XML_FALSE) == XML_STATUS_OK;
}

} // namespace xml
} // namespace VSTGUI
