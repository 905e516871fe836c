// The platform's modal dialogs: message boxes, the file selector and opening a web page.
// One process-wide implementation is current: the headless default (logs and answers
// "Cancel"/no file, so nothing is written or opened unasked), the X11 windows when a display
// is there, or a scripted one that tests install.
//
// Thread contract: the user-interface thread only; every call blocks until it is answered.
#pragma once

#include <string>
#include <vector>

namespace VSTGUI {
class CFrame;
}

namespace zykgui {

struct FileType {
    std::string description; // "Sysex File (*.syx)"
    std::string extension;   // "syx", without the dot
};

struct FileRequest {
    bool save = false; // a save dialog (may name a new file) or an open dialog
    std::string title;
    std::vector<FileType> types;
    std::string defaultExtension; // empty when none
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A notice with the one button "OK"; returns once closed. `frame` may be null.
    virtual void showNotice(VSTGUI::CFrame* frame, const std::string& title, const std::string& text) = 0;
    // A question whose default button is "Cancel" and alternate "OK"; true only for "OK"
    // (Escape, Return on the default and closing the window all count as "Cancel").
    virtual bool askOkCancel(VSTGUI::CFrame* frame, const std::string& title, const std::string& text) = 0;
    // The chosen path, or an empty string when the user chose none.
    virtual std::string chooseFile(VSTGUI::CFrame* frame, const FileRequest& request) = 0;
    // Opens an address in the user's web browser, detached; no shell is involved.
    virtual void openURL(const std::string& url) = 0;

    // The current implementation (never null).
    static Dialogs& current();
    // Makes `dialogs` current (not owned; it must outlive its use); null restores the default.
    static void install(Dialogs* dialogs);
    // The default while nothing is installed: the platform's dialogs once a display is in use
    // (not owned); null goes back to the headless answers.
    static void setPlatformDefault(Dialogs* dialogs);
};

// Answers without a display: logs the text, "Cancel", no file, opens nothing.
class HeadlessDialogs : public Dialogs {
public:
    void showNotice(VSTGUI::CFrame* frame, const std::string& title, const std::string& text) override;
    bool askOkCancel(VSTGUI::CFrame* frame, const std::string& title, const std::string& text) override;
    std::string chooseFile(VSTGUI::CFrame* frame, const FileRequest& request) override;
    void openURL(const std::string& url) override;
};

} // namespace zykgui
