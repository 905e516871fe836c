// The display's 94 glyphs: their characters, names and 5 x 7 dot patterns.
#pragma once

#include <array>
#include <string>

namespace panelgen {

constexpr int kGlyphCount = 94;

// The display's glyph table in order (single bytes, Latin-1).
const std::string& glyphCharacters();
// Bitmap name of glyph i ("tmptext_A", "tmptext__x0021_", ...).
std::string glyphBitmapName(int i);
// Custom-view name of glyph view i ("lcdCharA", "lcdCharaa", "lcdChar9 (1)", "@", "BLOCK").
std::string glyphViewName(int i);
// Seven rows of five dots ('#' lit) of glyph i.
const std::array<const char*, 7>& glyphPattern(int i);

} // namespace panelgen
