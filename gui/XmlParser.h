// A streaming XML parser (expat) that reads its bytes from a content provider in chunks
// and reports elements and character data to a handler.
#pragma once

#include "gui/CBaseObject.h"

#include <cstdint>

namespace VSTGUI {
namespace xml {

// The source of a document's bytes.
class IContentProvider {
public:
    virtual ~IContentProvider() = default;
    // Copies up to `size` bytes into `buffer`; 0 marks the end of the document.
    virtual uint32_t readRawXmlData(int8_t* buffer, uint32_t size) = 0;
    virtual void rewind() = 0;
};

class Parser;

class IHandler {
public:
    virtual ~IHandler() = default;
    // `attributes` alternates names and values and ends with a null pointer.
    virtual void startXmlElement(Parser* parser, IdStringPtr name, UTF8StringPtr* attributes) = 0;
    virtual void endXmlElement(Parser* parser, IdStringPtr name) = 0;
    // Text between tags, possibly in several pieces.
    virtual void xmlCharData(Parser* parser, const int8_t* data, int32_t length) = 0;
};

class Parser {
public:
    Parser();
    ~Parser();
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    // Reads the whole document; false (with a log line) on malformed XML or when a handler stopped it.
    [[nodiscard]] bool parse(IContentProvider* provider, IHandler* handler);
    // Called by a handler to end parsing with a failure.
    bool stop();
    IHandler* getHandler() const { return handler; }

private:
    struct Impl;
    Impl* impl;
    IHandler* handler = nullptr;
};

} // namespace xml
} // namespace VSTGUI
