// The dialogs on an X display: message boxes and the path-entry window are our own modal
// windows; the file selector is zenity or kdialog when either is installed; web pages open
// through xdg-open, started without a shell. It becomes the platform's dialogs when the first
// frame opens a window on the display.
//
// Thread contract: the user-interface thread only; every call blocks until answered.
#pragma once

#include "gui/Dialogs.h"

namespace zykgui {

class X11Dialogs : public Dialogs {
public:
    void showNotice(VSTGUI::CFrame* frame, const std::string& title, const std::string& text) override;
    bool askOkCancel(VSTGUI::CFrame* frame, const std::string& title, const std::string& text) override;
    std::string chooseFile(VSTGUI::CFrame* frame, const FileRequest& request) override;
    void openURL(const std::string& url) override;

    // The one instance, made the platform's dialogs (tests that installed their own keep them).
    static void makePlatformDefault();

    // The argument vectors of the external file selectors.
    static std::vector<std::string> zenityArguments(const FileRequest& request);
    static std::vector<std::string> kdialogArguments(const FileRequest& request, const std::string& startDir);

private:
    std::string chooseFileInWindow(VSTGUI::CFrame* frame, const FileRequest& request);
};

} // namespace zykgui
