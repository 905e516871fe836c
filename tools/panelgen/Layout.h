// The panel's view tree and the captions engraved into the artwork behind it.
#pragma once

#include "tools/panelgen/ViewNode.h"

#include <map>
#include <string>
#include <vector>

namespace panelgen {

// Something drawn into a page layer or the background at a view's place.
struct Engraving {
    enum Kind { Caption, Heading, Group, Field, Band };
    Kind kind;
    double x, y, w, h;
    std::string text;
};

struct Layout {
    ViewNode root;
    // Engravings by the name of the bitmap they are drawn into.
    std::map<std::string, std::vector<Engraving>> engravings;
};

Layout buildLayout();

// The bitmap name of an option-menu box for a menu of this size ("optionmenu_box_168,5x73,4").
std::string menuBoxName(double w, double h);

} // namespace panelgen
