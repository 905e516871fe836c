// Helpers for headless tests of views and editors: offscreen rendering, a manual clock for
// the timer hub, and event injection in window pixels. Not used by editor code.
#pragma once

#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "gui/Dialogs.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace zykgui::test {

// Draws the whole frame into an image of its size; null when the frame is empty-sized.
VSTGUI::SharedPointer<VSTGUI::CBitmap> renderFrame(VSTGUI::CFrame* frame);
// Draws the frame and writes it as PNG; false (and a log line) on failure.
bool renderToPNG(VSTGUI::CFrame* frame, const std::string& path);

// Drives the timer hub while alive: time starts at 0 and moves only by advance().
class ManualClock {
public:
    ManualClock();
    ~ManualClock();
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    uint64_t now() const { return time; }
    // Moves time forward in steps of at most 1 ms, pumping the hub at each; returns the
    // number of timer firings.
    int advance(uint64_t ms);

private:
    uint64_t time = 0;
};

// A press and release at one point (window pixels).
void click(VSTGUI::CFrame* frame, VSTGUI::CPoint where, int32_t buttons = VSTGUI::kLButton);
// A left drag from one point to another in `steps` moves.
void drag(VSTGUI::CFrame* frame, VSTGUI::CPoint from, VSTGUI::CPoint to, int steps = 4,
          int32_t buttons = VSTGUI::kLButton);
// Key down and up of a character or a virtual key; returns whether the down was handled.
bool typeKey(VSTGUI::CFrame* frame, int32_t character, unsigned char virt = 0, unsigned char modifier = 0);
bool typeText(VSTGUI::CFrame* frame, const std::string& ascii);

// Answers dialogs from a script while installed: questions pop `answers` (true = "OK"; an
// empty script answers "Cancel"), file dialogs pop `paths` (empty = none chosen). Every
// request is recorded in order.
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        enum Kind { Notice, Question, File, Url } kind;
        std::string title; // the box title, the file dialog's title, or empty for a URL
        std::string text;  // the message, or the URL
        FileRequest file;  // for File
    };

    ScriptedDialogs() { Dialogs::install(this); }
    ~ScriptedDialogs() override { Dialogs::install(nullptr); }
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    void showNotice(VSTGUI::CFrame*, const std::string& title, const std::string& text) override {
        shown.push_back({Shown::Notice, title, text, {}});
    }
    bool askOkCancel(VSTGUI::CFrame*, const std::string& title, const std::string& text) override {
        shown.push_back({Shown::Question, title, text, {}});
        if (answers.empty()) return false;
        bool ok = answers.front();
        answers.pop_front();
        return ok;
    }
    std::string chooseFile(VSTGUI::CFrame*, const FileRequest& request) override {
        shown.push_back({Shown::File, request.title, {}, request});
        if (paths.empty()) return {};
        std::string path = paths.front();
        paths.pop_front();
        return path;
    }
    void openURL(const std::string& url) override { shown.push_back({Shown::Url, {}, url, {}}); }

    // The texts of the notices and questions shown, in order.
    std::vector<std::string> messages() const {
        std::vector<std::string> texts;
        for (const auto& s : shown)
            if (s.kind == Shown::Notice || s.kind == Shown::Question) texts.push_back(s.text);
        return texts;
    }

    std::deque<bool> answers;
    std::deque<std::string> paths;
    std::vector<Shown> shown;
};

} // namespace zykgui::test
