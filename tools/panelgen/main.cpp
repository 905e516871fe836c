// panelgen: draws the panel artwork and writes the user-interface description document.
//   panelgen <document.xml> [--dump-png <directory>]
#include "tools/panelgen/Artwork.h"
#include "tools/panelgen/Document.h"
#include "tools/panelgen/Layout.h"

#include <cairo.h>
#include <cstdio>
#include <cstring>
#include <fontconfig/fontconfig.h>
#include <fstream>
#include <string>

namespace {

bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "panelgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--dump-png") == 0)) {
        std::fprintf(stderr, "usage: panelgen <document.xml> [--dump-png <directory>]\n");
        return 2;
    }
    const panelgen::Layout layout = panelgen::buildLayout();
    const std::vector<panelgen::Bitmap> bitmaps = panelgen::drawAllBitmaps(layout);
    if (argc == 4) {
        for (const panelgen::Bitmap& bitmap : bitmaps)
            if (!writeFile(std::string(argv[3]) + "/" + bitmap.name + ".png", bitmap.png)) return 1;
    }
    const bool written = writeFile(argv[1], panelgen::writeDocument(layout, bitmaps));
    // Release cairo's and fontconfig's caches so leak checkers see a clean exit.
    cairo_debug_reset_static_data();
    FcFini();
    return written ? 0 : 1;
}
