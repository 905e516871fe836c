// Serves the embedded panel description to the UI-description parser.
#pragma once

#include "gui/vstgui/vstgui_uidescription.h"

#include <cstdint>

namespace k1editor {
const unsigned char* getData_uiXml();
unsigned long getDataSize_uiXml();
} // namespace k1editor

class XmlContentProvider : public VSTGUI::xml::IContentProvider {
public:
    uint32_t readRawXmlData(int8_t* buffer, uint32_t size) override;
    void rewind() override;

private:
    uint64_t position = 0;
};
