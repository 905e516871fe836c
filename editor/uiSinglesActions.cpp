// The browser's preset actions: factory resets of the current preset, the page and the bank
// after a question, and the cells' context menu with copy, paste and sending a preset to a
// K1 as a program dump.
#include "editor/K1Editor.h"
#include "editor/uiPopup.h"
#include "editor/uiSingles.h"
#include "k1lib/engine/Engine.h"
#include "k1lib/facade/Plugin.h"
#include "log/Log.h"

#include <cstdio>

using namespace VSTGUI;

namespace {

constexpr int kTagCopy = 0;
constexpr int kTagPaste = 1;
constexpr int kTagSendFirst = 1000;

std::string storageLongName(uint64_t index, k1lib::PlayMode mode) {
    const k1lib::StorageInfo* storage = k1lib::Engine::getStorageInfoFromPresetIndex(index, mode);
    return storage ? storage->longName : std::string();
}

// "Send to K1 Hardware": one sub-menu per K1 storage group ("IiEe" for Singles, "IE" for
// Multis) and bank A-D, each with the programs 1-8, tagged 1000 + 32 group + 8 bank + number.
COptionMenu* makeSendMenu(k1lib::PlayMode mode) {
    const char* groups = mode == k1lib::PlayMode_Multi ? "IE" : "IiEe";
    auto* send = new COptionMenu();
    for (int g = 0; groups[g]; ++g) {
        for (int b = 0; b < 4; ++b) {
            auto* bank = new COptionMenu();
            for (int k = 0; k < 8; ++k) {
                char number[8];
                std::snprintf(number, sizeof number, "%i", k + 1);
                bank->addEntry(number)->setTag(kTagSendFirst + 32 * g + 8 * b + k);
            }
            char title[8];
            std::snprintf(title, sizeof title, "%c%c-", groups[g], 'A' + b);
            send->addEntry(bank, title);
            bank->forget();
        }
    }
    return send;
}

} // namespace

void uiSingles::resetCurrentPreset() {
    const uint64_t index = plugin().getCurrentPresetIndex();
    const auto mode = static_cast<k1lib::PlayMode>(playMode());
    const std::string text =
        "Do you want to reset the selected preset to factory defaults? Factory Preset is:\n\n" +
        storageLongName(index, mode) + " - " + k1lib::Engine::getPresetNumberAsName(index, mode) + " " +
        k1lib::Engine::getFactoryPresetName(index, mode);
    if (editor.showMessageBoxYesNo(text)) plugin().restoreFactoryPreset(index);
}

void uiSingles::resetPage() {
    // Disabled during a search, so page positions are preset indices here.
    const uint64_t start = pageStart;
    const std::string text =
        "Do you want to reset the current page to factory defaults? This will discard all "
        "edits to all " +
        std::to_string(kCellCount) + " Singles on this page.";
    if (!editor.showMessageBoxYesNo(text)) return;
    // The facade ignores indices past the last preset.
    for (uint64_t i = start; i < start + kCellCount; ++i)
        plugin().restoreFactoryPreset(i);
}

void uiSingles::resetBank() {
    const k1lib::StorageInfo* storage =
        k1lib::Engine::getStorageInfoFromPresetIndex(pageStart, static_cast<k1lib::PlayMode>(playMode()));
    if (!storage) return;
    const std::string text =
        "Do you want to reset the Bank " + storage->longName +
        " to factory defaults? This will discard all edits to all Singles for this Bank.";
    if (!editor.showMessageBoxYesNo(text)) return;
    for (uint64_t i = storage->offset; i < storage->offset + storage->count; ++i)
        plugin().restoreFactoryPreset(i);
}

void uiSingles::openContextMenu(CView* cell, uint64_t index) {
    const auto mode = static_cast<k1lib::PlayMode>(playMode());
    popup.reset();
    popup = std::make_unique<uiPopup>(cell);
    popup->addEntry("Copy", kTagCopy, true);
    popup->addEntry("Paste", kTagPaste, !copyPasteBuffer.empty() && getCopyPasteBufferPlayMode() == mode);
    popup->addSeparator();
    COptionMenu* send = makeSendMenu(mode);
    popup->addEntry("Send to K1 Hardware", send, true);
    send->forget();
    openPopup([this, index](int tag) { onContextMenuChoice(index, tag); });
}

void uiSingles::openPopup(std::function<void(int tag)> callback) {
    if (!popup) return;
    popup->popup([this, callback = std::move(callback)](int tag) {
        callback(tag);
        popup.reset();
    });
}

void uiSingles::onContextMenuChoice(uint64_t index, int tag) {
    if (tag == kTagCopy) {
        if (!plugin().getPreset(copyPasteBuffer, index))
            k1lib::log("copy", 108, "No preset ", index, " to copy");
    } else if (tag == kTagPaste) {
        // Each copy pastes once; a rejected paste keeps the buffer.
        if (plugin().setPreset(copyPasteBuffer, index)) copyPasteBuffer.clear();
    } else if (tag >= kTagSendFirst) {
        if (!plugin().sendPreset(index, static_cast<unsigned char>((tag + 24) % 256)))
            k1lib::log("send", 113, "Preset ", index, " not sent");
    }
}
