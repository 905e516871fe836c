// The preset browser of the play page: one page of 32 name cells over the Singles or Multis of
// the current play mode, paging, a bank menu, a search that narrows the list as the user types,
// selection by mouse and arrow keys, and - from its buttons and the cells' context menu - the
// preset files (uiSinglesFiles.cpp) and the preset actions (uiSinglesActions.cpp).
//
// It holds no preset data of its own: names, counts, flags and changes all go through the
// facade, and the editor asks it to refresh when the facade reports a change.
//
// Thread contract: the editor's user-interface thread only (VSTGUI callbacks and the editor's
// idle dispatch). It takes no lock of its own; every facade call locks the engine inside the
// facade.
#pragma once

#include "gui/vstgui/vstgui.h"
#include "k1lib/records/Sysex.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class K1Editor;
class uiPopup;

namespace k1lib {
class Plugin;
}

class uiSingles : public VSTGUI::ViewMouseListenerAdapter, public VSTGUI::IControlListener {
public:
    // A kick button of the browser with its caption and the caption's own colour.
    struct Button {
        VSTGUI::CControl* control = nullptr;
        VSTGUI::CTextLabel* label = nullptr;
        VSTGUI::CColor color;
    };

    static constexpr size_t kCellCount = 32;
    static constexpr size_t kColumnHeight = 8;

    explicit uiSingles(K1Editor& editor);
    ~uiSingles() override;
    uiSingles(const uiSingles&) = delete;
    uiSingles& operator=(const uiSingles&) = delete;

    // Shows the page whose first cell is position `start` of the index map.
    void setPresetNames(uint64_t start);
    uint64_t getPageStart() const { return pageStart; }
    // Shows the page that holds the current (or the given) preset.
    void focusOnPreset();
    void focusOnPreset(uint64_t index);
    // Makes the preset current, then shows its page.
    void setProgram(uint64_t index);
    // First position of the preset index in the index map; 0 when it is absent.
    uint64_t getIndexMapIndex(uint64_t index) const;
    void restoreDefaultIndexMap();
    void updateSearch();
    void initBankList();
    Button initButton(const std::string& name);
    void enableButton(const Button& button, bool enable);
    void setBank(int bank);
    // The facade's name of the preset at that position of the index map; false when empty.
    bool getPresetName(std::string& name, uint64_t position) const;
    void onPlayModeChanged();
    // The arrow keys; true when the selection moved.
    bool onKeyDown(const VSTGUI::VstKeyCode& key);

    const std::vector<uint64_t>& getIndexMap() const { return indexMap; }
    const std::vector<unsigned char>& getCopyPasteBuffer() const { return copyPasteBuffer; }
    // 0 (Singles) for a 97-byte one-Single dump, else 1 (Multis).
    uint32_t getCopyPasteBufferPlayMode() const;

    // IControlListener: the search field, the bank menu and the 13 buttons.
    void valueChanged(VSTGUI::CControl* control) override;

    // IViewMouseListener: clicks on the cells.
    VSTGUI::CMouseEventResult viewOnMouseDown(VSTGUI::CView* view, VSTGUI::CPoint where,
                                              VSTGUI::CButtonState buttons) override;

private:
    enum ButtonId {
        btBankDec,
        btBankInc,
        btBankReset,
        btBankImport,
        btBankExport,
        btPageDec,
        btPageInc,
        btPageReset,
        btSingleDec,
        btSingleInc,
        btSingleReset,
        btSingleImport,
        btSingleExport,
        kButtonCount
    };

    k1lib::Plugin& plugin() const;
    uint32_t playMode() const;
    std::string searchText() const;
    // The position of the preset in the index map, or kAbsent.
    static constexpr uint64_t kAbsent = ~uint64_t(0);
    uint64_t findPosition(uint64_t index) const;
    // Makes the preset at that position current and applies the page follow rule.
    void selectPosition(uint64_t position);
    void followPreset(uint64_t index);
    void chooseBank(int bank);
    bool onButtonPressed(VSTGUI::CControl* control);

    // Preset files (uiSinglesFiles.cpp).
    void exportSingle(uint64_t index, const std::string& path);
    void exportPage(uint64_t start, const std::string& path);
    void importSingle(uint64_t index, const std::string& path);
    void importPage(uint64_t start, const std::string& path);
    enum class FileDialog { Export, ImportSingle, ImportPage };
    void runFileDialog(FileDialog kind, std::function<void(const std::string& path)> onChosen);
    // Reads and parses a chosen file for an import, telling the user about read and parse errors.
    // False when the file could not be read (the import ends there); `damaged` after a parse
    // error (the result may still hold the presets that could be read).
    [[nodiscard]] bool readImport(k1lib::Sysex::SysexResult& result, bool& damaged, const std::string& path,
                                  const char* readError, const char* parseError) const;
    // After a parse error, asks whether to import what could be read; true to go on.
    bool confirmDamagedImport(bool damaged) const;
    // Writes an export, asking first before it replaces an existing file.
    void saveFile(const std::string& path, const std::vector<unsigned char>& bytes) const;
    void showErrorMessage(const std::string& text) const;

    // Preset actions (uiSinglesActions.cpp).
    void resetCurrentPreset();
    void resetPage();
    void resetBank();
    void openContextMenu(VSTGUI::CView* cell, uint64_t index);
    void openPopup(std::function<void(int tag)> callback);
    void onContextMenuChoice(uint64_t index, int tag);

    K1Editor& editor;
    std::array<VSTGUI::CTextLabel*, kCellCount> cells{};
    VSTGUI::CColor colorOthers;
    VSTGUI::CColor colorCurrent;
    std::array<Button, kButtonCount> buttons{};
    VSTGUI::CTextEdit* searchSingle = nullptr;
    VSTGUI::COptionMenu* bankSelect = nullptr;
    uint64_t pageStart = 0;
    std::vector<uint64_t> indexMap;
    std::unique_ptr<uiPopup> popup;
    std::vector<unsigned char> copyPasteBuffer;
};
