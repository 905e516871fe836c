#include "editor/XmlContentProvider.h"

#include <algorithm>
#include <cstring>

uint32_t XmlContentProvider::readRawXmlData(int8_t* buffer, uint32_t size) {
    const uint64_t length = k1editor::getDataSize_uiXml();
    if (position >= length) return 0;
    const uint64_t n = std::min<uint64_t>(length - position, size);
    if (n == 0) return 0;
    std::memcpy(buffer, k1editor::getData_uiXml() + position, n);
    position += n;
    return static_cast<uint32_t>(n);
}

void XmlContentProvider::rewind() {
    position = 0;
}
