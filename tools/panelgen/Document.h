// Writes the user-interface description document: bitmaps as base64 PNG, fonts, and the template.
#pragma once

#include "tools/panelgen/Artwork.h"
#include "tools/panelgen/Layout.h"

#include <string>
#include <vector>

namespace panelgen {

std::string writeDocument(const Layout& layout, const std::vector<Bitmap>& bitmaps);
std::string base64(const std::string& bytes);

} // namespace panelgen
