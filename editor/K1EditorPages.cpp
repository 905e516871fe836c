// The editor's pages (play, Single edit with its common and source pages, Multi edit, system), the
// keyboard shortcuts, the two clickable web links and the message boxes.
#include "editor/K1Editor.h"
#include "editor/uiSingles.h"

#include "editor/uiDisplay.h"
#include "gui/Dialogs.h"
#include "k1lib/facade/Plugin.h"

using namespace VSTGUI;

namespace {
const char* const kBoxTitle = "Marn' Zyk";
const char* const kProductURL = "https://zyk.example.org";
const char* const kDonateURL = "https://zyk.example.org/donate";

bool visible(const CView* view) {
    return view && view->isVisible();
}
void show(CView* view, bool on) {
    if (view) view->setVisible(on);
}
} // namespace

bool K1Editor::isEditMode() const {
    return visible(modeEdit) || visible(modeEditMulti);
}

bool K1Editor::setModeEdit(bool edit) {
    const bool was = isEditMode();
    const bool single = plugin.getPlayMode() == k1lib::PlayMode_Single;
    show(modeEdit, edit && single);
    show(modeEditMulti, edit && !single);
    show(modeEditSystem, false);
    setButtonImage(btSystem, bitmapSmallOff);
    show(modePlay, !edit);
    setSmallButtonActive(btEdit, edit);
    if (browser && visible(modePlay)) browser->setPresetNames(browser->getPageStart());
    return was != edit;
}

void K1Editor::setModeSystem(bool on) {
    setSmallButtonActive(btSystem, on);
    setButtonImage(btEdit, bitmapSmallOff);
    if (!on) {
        setModeEdit(false);
        return;
    }
    show(modeEdit, false);
    show(modeEditMulti, false);
    show(modePlay, false);
    show(modeEditSystem, true);
}

bool K1Editor::setEditModeCommon() {
    if (visible(modeEdit) && visible(editCommon)) return true;
    setButtonImage(btEditCommon, bitmapSmallOn);
    show(editCommon, true);
    show(editSource, false);
    for (CKickButton* button : btEditSource)
        setButtonImage(button, bitmapSmallOff);
    setModeEdit(true);
    return true;
}

void K1Editor::onPlayModeChanged() {
    const bool single = plugin.getPlayMode() == k1lib::PlayMode_Single;
    setSmallButtonActive(btModeSingle, single);
    setSmallButtonActive(btModeMulti, !single);
    if (!visible(modeEditSystem)) setModeEdit(isEditMode());
    if (display) display->setTextShowCurrentPreset();
    if (browser) browser->onPlayModeChanged();
}

bool K1Editor::handleKeyDownSetSource(unsigned long source) {
    if (source == activeSource && visible(editSource) && visible(modeEdit)) return false;
    setActiveSource(source);
    return true;
}

int32_t K1Editor::onKeyDown(const VstKeyCode& key, CFrame*) {
    // Typing into a name or search field is never a shortcut.
    if (!frame || dynamic_cast<CTextEdit*>(frame->getFocusView())) return -1;
    switch (key.character) {
    case '1':
    case '2':
    case '3':
    case '4':
        return handleKeyDownSetSource(static_cast<unsigned long>(key.character - '1')) ? 1 : -1;
    case '5':
    case 'C':
    case 'c':
        setEditModeCommon();
        return 1;
    case 'E':
    case 'e':
        return setModeEdit(true) ? 1 : -1;
    case 'P':
    case 'p':
        return setModeEdit(false) ? 1 : -1;
    default:
        break;
    }
    return browser && browser->onKeyDown(key) ? 1 : -1;
}

int32_t K1Editor::onKeyUp(const VstKeyCode&, CFrame*) {
    return -1;
}

CMouseEventResult K1Editor::viewOnMouseDown(CView* view, CPoint, CButtonState) {
    if (view && view == clickableLogo) {
        openURL(kProductURL, "Open Marn' Zyk Website?");
        return kMouseEventHandled;
    }
    if (view && view == btDonate) {
        openURL(kDonateURL, "Do you want to support this project by donating something?");
        return kMouseEventHandled;
    }
    return kMouseEventNotHandled;
}

void K1Editor::openURL(const std::string& url, const std::string& question) {
    zykgui::Dialogs& dialogs = zykgui::Dialogs::current();
    if (dialogs.askOkCancel(frame, kBoxTitle, question + " (internet connection required)"))
        dialogs.openURL(url);
}

void K1Editor::showMessageBoxOk(const std::string& text) const {
    zykgui::Dialogs::current().showNotice(frame, kBoxTitle, text);
}

bool K1Editor::showMessageBoxYesNo(const std::string& text) const {
    return zykgui::Dialogs::current().askOkCancel(frame, kBoxTitle, text);
}
