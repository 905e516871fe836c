#include "gui/x11/X11Dialogs.h"

#include "gui/CFrame.h"
#include "gui/GuiLog.h"
#include "gui/x11/ChildProcess.h"
#include "gui/x11/X11ModalWindow.h"

#include <cstdlib>

namespace zykgui {

namespace {
std::string homeDirectory() {
    const char* home = std::getenv("HOME");
    return home && *home ? std::string(home) : std::string("/");
}

std::string firstLine(const std::string& text) {
    const size_t end = text.find('\n');
    return end == std::string::npos ? text : text.substr(0, end);
}
} // namespace

void X11Dialogs::makePlatformDefault() {
    static X11Dialogs dialogs;
    Dialogs::setPlatformDefault(&dialogs);
}

void X11Dialogs::showNotice(VSTGUI::CFrame* frame, const std::string& title, const std::string& text) {
    runModalWindow(frame, {title, text, {"OK"}, 0, 0, false, {}});
}

bool X11Dialogs::askOkCancel(VSTGUI::CFrame* frame, const std::string& title, const std::string& text) {
    return runModalWindow(frame, {title, text, {"Cancel", "OK"}, 0, 0, false, {}}).button == 1;
}

std::vector<std::string> X11Dialogs::zenityArguments(const FileRequest& request) {
    std::vector<std::string> args{"zenity", "--file-selection", "--title=" + request.title};
    // No --confirm-overwrite: the editor appends the extension after the dialog returns and asks
    // about an existing file itself, so the question would come twice or about the wrong name.
    if (request.save) args.push_back("--save");
    for (const FileType& type : request.types)
        args.push_back("--file-filter=" + type.description + " | *." + type.extension);
    args.push_back("--file-filter=All files | *");
    return args;
}

std::vector<std::string> X11Dialogs::kdialogArguments(const FileRequest& request,
                                                      const std::string& startDir) {
    std::string filter;
    for (const FileType& type : request.types) {
        if (!filter.empty()) filter += '\n';
        filter.append("*.").append(type.extension).append("|").append(type.description);
    }
    return {"kdialog", "--title", request.title, request.save ? "--getsavefilename" : "--getopenfilename",
            startDir,  filter};
}

std::string X11Dialogs::chooseFile(VSTGUI::CFrame* frame, const FileRequest& request) {
    std::vector<std::string> args;
    if (isInPath("zenity"))
        args = zenityArguments(request);
    else if (isInPath("kdialog"))
        args = kdialogArguments(request, homeDirectory() + "/");
    if (args.empty()) return chooseFileInWindow(frame, request);
    // The editor keeps painting while the selector is up; its input waits.
    const ChildOutput out = runAndCapture(args, [frame] {
        if (frame) frame->processPlatformEvents(false);
    });
    if (!out.started) return chooseFileInWindow(frame, request);
    if (out.exitStatus != 0) return {}; // cancelled
    return firstLine(out.standardOutput);
}

std::string X11Dialogs::chooseFileInWindow(VSTGUI::CFrame* frame, const FileRequest& request) {
    std::string message = request.title + "\nPath of the file";
    std::string types;
    for (const FileType& type : request.types)
        types += (types.empty() ? "" : ", ") + type.description;
    if (!types.empty()) message += " (" + types + ")";
    message += ":";
    const ModalWindowAnswer answer =
        runModalWindow(frame, {"Marn' Zyk", message, {"Cancel", "OK"}, 1, 0, true, homeDirectory() + "/"});
    if (answer.button != 1 || answer.text.empty() || answer.text.back() == '/') return {};
    return answer.text;
}

void X11Dialogs::openURL(const std::string& url) {
    if (!spawnDetached({"xdg-open", url})) log(__func__, __LINE__, "Cannot open ", url);
}

} // namespace zykgui
