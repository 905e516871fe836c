#include "tools/panelgen/Document.h"

#include <array>
#include <charconv>

namespace panelgen {
namespace {

std::string escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

void attribute(std::string& out, const std::string& key, const std::string& value) {
    out += ' ' + key + "=\"" + escape(value) + '"';
}

std::string pair(double a, double b) {
    return formatNumber(a) + ", " + formatNumber(b);
}

void writeCommon(std::string& out, const ViewNode& v) {
    attribute(out, "class", v.cls);
    attribute(out, "origin", pair(v.x, v.y));
    attribute(out, "size", pair(v.w, v.h));
}

void writeView(std::string& out, const ViewNode& v, int depth) {
    const std::string indent(depth, '\t');
    out += indent + "<view";
    writeCommon(out, v);
    attribute(out, "transparent", v.transparent ? "true" : "false");
    attribute(out, "custom-view-name", v.name);
    for (const auto& [key, value] : v.attributes)
        attribute(out, key, value);
    if (v.children.empty()) {
        out += "/>\n";
        return;
    }
    out += ">\n";
    for (const ViewNode& child : v.children)
        writeView(out, child, depth + 1);
    out += indent + "</view>\n";
}

} // namespace

std::string formatNumber(double value) {
    std::array<char, 64> buffer;
    auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
    return std::string(buffer.data(), result.ptr);
}

std::string base64(const std::string& bytes) {
    static const char* const alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        unsigned n = (static_cast<unsigned char>(bytes[i]) << 16) |
                     (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                     static_cast<unsigned char>(bytes[i + 2]);
        out += alphabet[n >> 18];
        out += alphabet[(n >> 12) & 63];
        out += alphabet[(n >> 6) & 63];
        out += alphabet[n & 63];
    }
    if (i < bytes.size()) {
        unsigned n = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += alphabet[n >> 18];
        out += alphabet[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? alphabet[(n >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string writeDocument(const Layout& layout, const std::vector<Bitmap>& bitmaps) {
    std::string out = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
    out += "<vstgui-ui-description version=\"1\">\n\t<bitmaps>\n";
    for (const Bitmap& bitmap : bitmaps) {
        out += "\t\t<bitmap";
        attribute(out, "name", bitmap.name);
        attribute(out, "path", bitmap.name + ".png");
        out += ">\n\t\t\t<data encoding=\"base64\"><![CDATA[" + base64(bitmap.png) +
               "]]></data>\n\t\t</bitmap>\n";
    }
    out += "\t</bitmaps>\n\t<fonts>\n";
    const std::array<std::array<const char*, 3>, 6> fonts{{{"gadugi_33_b", "Gadugi", "33"},
                                                           {"arial_36_b", "Arial", "36"},
                                                           {"gadugi_26_b", "Gadugi", "26"},
                                                           {"arial_28_b", "Arial", "28"},
                                                           {"arial_24_b", "Arial", "24"},
                                                           {"arial_30_b", "Arial", "30"}}};
    for (const auto& font : fonts) {
        out += "\t\t<font";
        attribute(out, "name", font[0]);
        attribute(out, "font-name", font[1]);
        attribute(out, "size", font[2]);
        attribute(out, "bold", "true");
        attribute(out, "italic", "false");
        out += "/>\n";
    }
    out += "\t</fonts>\n";

    const ViewNode& root = layout.root;
    out += "\t<template";
    attribute(out, "name", "Zyk");
    attribute(out, "class", root.cls);
    // The template's origin is written as the panel was first laid out, a hair above zero.
    attribute(out, "origin", "0, -0.00006103516");
    attribute(out, "size", pair(root.w, root.h));
    for (const auto& [key, value] : root.attributes)
        if (key != "bitmap") attribute(out, key, value);
    attribute(out, "transparent", "false");
    for (const auto& [key, value] : root.attributes)
        if (key == "bitmap") attribute(out, key, value);
    attribute(out, "custom-view-name", root.name);
    out += ">\n";
    for (const ViewNode& child : root.children)
        writeView(out, child, 2);
    out += "\t</template>\n</vstgui-ui-description>\n";
    return out;
}

} // namespace panelgen
