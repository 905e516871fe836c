#include "gui/Dialogs.h"

#include "gui/GuiLog.h"

namespace zykgui {

namespace {
HeadlessDialogs g_headless;
Dialogs* g_current = nullptr;
Dialogs* g_platform = nullptr;
} // namespace

Dialogs& Dialogs::current() {
    if (g_current) return *g_current;
    return g_platform ? *g_platform : g_headless;
}

void Dialogs::setPlatformDefault(Dialogs* dialogs) {
    g_platform = dialogs;
}

void Dialogs::install(Dialogs* dialogs) {
    g_current = dialogs;
}

void HeadlessDialogs::showNotice(VSTGUI::CFrame*, const std::string& title, const std::string& text) {
    log(__func__, __LINE__, "No display for the notice \"" + title + "\": " + text);
}

bool HeadlessDialogs::askOkCancel(VSTGUI::CFrame*, const std::string& title, const std::string& text) {
    log(__func__, __LINE__, "No display for the question \"" + title + "\", answering Cancel: " + text);
    return false;
}

std::string HeadlessDialogs::chooseFile(VSTGUI::CFrame*, const FileRequest& request) {
    log(__func__, __LINE__, "No display for the file dialog \"" + request.title + "\"");
    return {};
}

void HeadlessDialogs::openURL(const std::string& url) {
    log(__func__, __LINE__, "No display to open " + url);
}

} // namespace zykgui
