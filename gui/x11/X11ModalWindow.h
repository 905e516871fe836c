// A small modal window of our own on the X display: a title, a wrapped message, an optional
// one-line text field and a row of buttons. It runs its own event loop until answered, while
// the frame it belongs to keeps painting (its input waits). While it is up it grabs the
// pointer and the keyboard, so no input meant for other windows piles up behind it.
//
// Thread contract: the user-interface thread only; run() blocks until the window is answered.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace VSTGUI {
class CFrame;
}

namespace zykgui {

struct ModalWindowSpec {
    std::string title;
    std::string message;
    std::vector<std::string> buttons; // left to right
    int defaultButton = 0;            // taken by Return
    int cancelButton = 0;             // taken by Escape and by closing the window
    bool textField = false;           // a one-line field for a path
    std::string text;                 // the field's starting text
};

struct ModalWindowAnswer {
    int button = -1; // index into the buttons; the cancel button when the display failed
    std::string text;
};

// The window is transient for the top-level window that holds `frame` (when there is one).
ModalWindowAnswer runModalWindow(VSTGUI::CFrame* frame, const ModalWindowSpec& spec);

// Words wrapped into lines no wider than `width` by `measure` (a width in pixels per text).
template <class Measure>
std::vector<std::string> wrapText(const std::string& text, double width, Measure measure) {
    std::vector<std::string> lines;
    std::string line;
    std::string word;
    auto flushWord = [&] {
        if (word.empty()) return;
        const std::string joined = line.empty() ? word : line + " " + word;
        if (!line.empty() && measure(joined) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = joined;
        }
        word.clear();
    };
    for (char c : text) {
        if (c == '\n') {
            flushWord();
            lines.push_back(line);
            line.clear();
        } else if (c == ' ') {
            flushWord();
        } else {
            word += c;
        }
    }
    flushWord();
    if (!line.empty() || lines.empty()) lines.push_back(line);
    return lines;
}

} // namespace zykgui
