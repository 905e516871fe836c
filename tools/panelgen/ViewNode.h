// One view of the panel's template: class, name, rectangle, extra attributes and children.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace panelgen {

struct ViewNode {
    std::string cls;
    std::string name;
    double x = 0, y = 0, w = 0, h = 0;
    bool transparent = true;
    // Class-specific attributes in document order (name, value).
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<ViewNode> children;

    ViewNode& set(const std::string& key, const std::string& value) {
        attributes.emplace_back(key, value);
        return *this;
    }
    ViewNode& add(ViewNode child) {
        children.push_back(std::move(child));
        return children.back();
    }
};

// Shortest decimal form that reads back as the same double, never with an exponent.
std::string formatNumber(double value);

} // namespace panelgen
