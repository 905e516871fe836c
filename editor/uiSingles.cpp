#include "editor/uiSingles.h"

#include "editor/ControlHelpers.h"
#include "editor/K1Editor.h"
#include "editor/uiPopup.h"
#include "k1lib/engine/Engine.h"
#include "k1lib/facade/Plugin.h"
#include "log/Log.h"

using namespace VSTGUI;

namespace {

const CColor kGreyedLabel(100, 100, 100, 255);
const char* const kButtonNames[] = {"btBankDec",     "btBankInc",   "btBankReset",   "btBankImport",
                                    "btBankExport",  "btPageDec",   "btPageInc",     "btPageReset",
                                    "btSingleDec",   "btSingleInc", "btSingleReset", "btSingleImport",
                                    "btSingleExport"};

uint64_t roundDownToPage(uint64_t position) {
    return position - position % uiSingles::kCellCount;
}

} // namespace

uiSingles::uiSingles(K1Editor& owner) : editor(owner) {
    const ViewsByName& views = editor.getViewsByName();
    for (size_t i = 0; i < kCellCount; ++i) {
        const std::string name =
            std::string("single") + char('A' + i / kColumnHeight) + std::to_string(i % kColumnHeight);
        cells[i] = ControlHelpers::initView<CTextLabel>(views, name);
        if (cells[i]) cells[i]->registerViewMouseListener(this);
    }
    if (cells[0]) colorCurrent = cells[0]->getFontColor();
    if (cells[2]) colorOthers = cells[2]->getFontColor();

    for (int b = 0; b < kButtonCount; ++b)
        buttons[b] = initButton(kButtonNames[b]);

    searchSingle = ControlHelpers::initView<CTextEdit>(views, "searchSingle");
    if (searchSingle) {
        searchSingle->setListener(this);
        searchSingle->setImmediateTextChange(true);
    }
    bankSelect = ControlHelpers::initView<COptionMenu>(views, "bankSelect");
    if (bankSelect) {
        initBankList();
        bankSelect->setValue(0);
        bankSelect->setListener(this);
    }

    restoreDefaultIndexMap();
    setPresetNames(roundDownToPage(plugin().getCurrentPresetIndex()));
}

uiSingles::~uiSingles() {
    for (CTextLabel* cell : cells)
        if (cell) cell->unregisterViewMouseListener(this);
    // The controls outlive the browser in the frame: they must not call back into it.
    for (const Button& button : buttons)
        if (button.control && button.control->getListener() == this) button.control->setListener(nullptr);
    if (searchSingle && searchSingle->getListener() == this) searchSingle->setListener(nullptr);
    if (bankSelect && bankSelect->getListener() == this) bankSelect->setListener(nullptr);
}

k1lib::Plugin& uiSingles::plugin() const {
    return editor.getPlugin();
}

uint32_t uiSingles::playMode() const {
    return plugin().getPlayMode();
}

std::string uiSingles::searchText() const {
    return searchSingle ? searchSingle->getText().getString() : std::string();
}

void uiSingles::setPresetNames(uint64_t start) {
    const uint64_t current = plugin().getCurrentPresetIndex();
    const auto mode = static_cast<k1lib::PlayMode>(playMode());
    for (size_t i = 0; i < kCellCount; ++i) {
        CTextLabel* cell = cells[i];
        if (!cell) continue;
        const uint64_t position = start + i;
        if (position >= indexMap.size()) {
            cell->setText("");
            continue;
        }
        const uint64_t index = indexMap[position];
        std::string name = plugin().getPresetName(index);
        std::string text = k1lib::Engine::getPresetNumberAsName(index, mode) + " " +
                           (name.empty() ? std::string("??????????") : name);
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        if (plugin().isPresetModified(index)) text += "*";
        cell->setText(text.c_str());
        cell->setFontColor(index == current ? colorCurrent : colorOthers);
    }

    enableButton(buttons[btSingleReset], plugin().isPresetModified(current));
    pageStart = start;

    if (!bankSelect) return;
    const k1lib::StorageInfo* storage = k1lib::Engine::getStorageInfoFromPresetIndex(start, mode);
    if (storage && static_cast<int64_t>(storage->bankIndex) != static_cast<int64_t>(bankSelect->getValue()))
        bankSelect->setValue(static_cast<float>(storage->bankIndex));
}

void uiSingles::focusOnPreset() {
    focusOnPreset(plugin().getCurrentPresetIndex());
}

void uiSingles::focusOnPreset(uint64_t index) {
    followPreset(index);
}

void uiSingles::setProgram(uint64_t index) {
    const bool other = index != plugin().getCurrentPresetIndex();
    if (!plugin().setCurrentPresetIndex(index))
        k1lib::log("setProgram", 118, "No preset ", index);
    else if (other)
        editor.onProgramChosen();
    followPreset(index);
}

void uiSingles::followPreset(uint64_t index) {
    const uint64_t q = getIndexMapIndex(index);
    if (q >= pageStart && q < pageStart + kCellCount)
        setPresetNames(pageStart);
    else
        setPresetNames(roundDownToPage(q));
}

uint64_t uiSingles::findPosition(uint64_t index) const {
    for (uint64_t p = 0; p < indexMap.size(); ++p)
        if (indexMap[p] == index) return p;
    return kAbsent;
}

uint64_t uiSingles::getIndexMapIndex(uint64_t index) const {
    const uint64_t p = findPosition(index);
    return p == kAbsent ? 0 : p;
}

void uiSingles::selectPosition(uint64_t position) {
    if (position >= indexMap.size()) return;
    setProgram(indexMap[position]);
}

void uiSingles::restoreDefaultIndexMap() {
    const uint64_t count = plugin().getPresetCount();
    indexMap.resize(count);
    for (uint64_t i = 0; i < count; ++i)
        indexMap[i] = i;
}

void uiSingles::updateSearch() {
    const std::string text = searchText();
    if (!text.empty()) {
        k1lib::Plugin& facade = plugin();
        if (playMode() == k1lib::PlayMode_Multi)
            facade.searchMultis(indexMap, text, facade.getPresetCount());
        else
            facade.searchSingles(indexMap, text, facade.getPresetCount());
        setPresetNames(0);
    } else {
        restoreDefaultIndexMap();
        setPresetNames(roundDownToPage(plugin().getCurrentPresetIndex()));
    }

    if (bankSelect) {
        CColor color = bankSelect->getFontColor();
        color.alpha = text.empty() ? 255 : 0;
        bankSelect->setFontColor(color);
    }
    for (ButtonId id : {btBankImport, btBankExport, btBankReset, btPageReset, btSingleImport})
        enableButton(buttons[id], text.empty());
}

void uiSingles::initBankList() {
    if (!bankSelect) return;
    bankSelect->removeAllEntry();
    for (const k1lib::StorageInfo& storage :
         k1lib::Engine::getStorageInfos(static_cast<k1lib::PlayMode>(playMode())))
        bankSelect->addEntry(storage.longName.c_str());
}

uiSingles::Button uiSingles::initButton(const std::string& name) {
    const ViewsByName& views = editor.getViewsByName();
    Button button;
    button.control = ControlHelpers::initView<CKickButton>(views, name);
    button.label = ControlHelpers::initView<CTextLabel>(views, name + "Text");
    if (button.control) button.control->setListener(this);
    if (button.label) button.color = button.label->getFontColor();
    return button;
}

void uiSingles::enableButton(const Button& button, bool enable) {
    if (button.control) button.control->setMouseEnabled(enable);
    if (button.label) button.label->setFontColor(enable ? button.color : kGreyedLabel);
}

void uiSingles::setBank(int bank) {
    if (!bankSelect) return;
    bankSelect->setValue(static_cast<float>(bank));
    valueChanged(bankSelect);
}

bool uiSingles::getPresetName(std::string& name, uint64_t position) const {
    name = position < indexMap.size() ? plugin().getPresetName(indexMap[position]) : std::string();
    return !name.empty();
}

void uiSingles::onPlayModeChanged() {
    initBankList();
    if (searchSingle) searchSingle->setText("");
    updateSearch();
}

bool uiSingles::onKeyDown(const VstKeyCode& key) {
    const uint64_t n = indexMap.size();
    // A search that matched nothing leaves no position to move to.
    if (n == 0) return false;
    const uint64_t q = getIndexMapIndex(plugin().getCurrentPresetIndex());
    uint64_t target;
    switch (key.virt) {
    case VKEY_LEFT:
        if (q < kColumnHeight) return false;
        target = q - kColumnHeight;
        break;
    case VKEY_RIGHT:
        if (q + kColumnHeight >= n) return false;
        target = q + kColumnHeight;
        break;
    case VKEY_UP:
        target = q >= 1 ? q - 1 : (n > kColumnHeight - 1 ? kColumnHeight - 1 : n - 1);
        break;
    case VKEY_DOWN:
        target = q + 1 < n ? q + 1 : q - q % kColumnHeight;
        break;
    default:
        return false;
    }
    selectPosition(target);
    return true;
}

uint32_t uiSingles::getCopyPasteBufferPlayMode() const {
    return copyPasteBuffer.size() == 97 ? k1lib::PlayMode_Single : k1lib::PlayMode_Multi;
}

void uiSingles::chooseBank(int bank) {
    const auto& storages = k1lib::Engine::getStorageInfos(static_cast<k1lib::PlayMode>(playMode()));
    if (bank < 0 || static_cast<size_t>(bank) >= storages.size()) return;
    if (!searchText().empty()) {
        searchSingle->setText("");
        updateSearch();
    }
    setPresetNames(storages[bank].offset);
}

void uiSingles::valueChanged(CControl* control) {
    if (!control) return;
    if (control == searchSingle) {
        updateSearch();
        return;
    }
    if (control == bankSelect) {
        chooseBank(static_cast<int>(bankSelect->getValue()));
        return;
    }
    // Kick buttons act on the press; the release that follows is ignored.
    if (control->getValue() < 0.5f) return;
    onButtonPressed(control);
}

bool uiSingles::onButtonPressed(CControl* control) {
    int id = 0;
    while (id < kButtonCount && buttons[id].control != control)
        ++id;
    switch (id) {
    case btPageDec:
        if (pageStart >= kCellCount) setPresetNames(pageStart - kCellCount);
        return true;
    case btPageInc:
        if (pageStart + kCellCount < indexMap.size()) setPresetNames(pageStart + kCellCount);
        return true;
    case btBankDec:
    case btBankInc: {
        if (!bankSelect) return true;
        const int bank = static_cast<int>(bankSelect->getValue());
        const int last =
            static_cast<int>(
                k1lib::Engine::getStorageInfos(static_cast<k1lib::PlayMode>(playMode())).size()) -
            1;
        if (id == btBankDec ? bank <= 0 : bank >= last) return true;
        setBank(id == btBankDec ? bank - 1 : bank + 1);
        return true;
    }
    case btSingleDec: {
        const uint64_t q = findPosition(plugin().getCurrentPresetIndex());
        if (q != kAbsent && q > 0) selectPosition(q - 1);
        return true;
    }
    case btSingleInc: {
        const uint64_t q = getIndexMapIndex(plugin().getCurrentPresetIndex());
        if (!indexMap.empty() && q + 1 < indexMap.size()) selectPosition(q + 1);
        return true;
    }
    case btSingleExport: {
        const uint64_t index = plugin().getCurrentPresetIndex();
        runFileDialog(FileDialog::Export,
                      [this, index](const std::string& path) { exportSingle(index, path); });
        return true;
    }
    case btSingleImport: {
        const uint64_t index = plugin().getCurrentPresetIndex();
        runFileDialog(FileDialog::ImportSingle,
                      [this, index](const std::string& path) { importSingle(index, path); });
        return true;
    }
    case btBankExport: {
        const uint64_t start = pageStart;
        runFileDialog(FileDialog::Export,
                      [this, start](const std::string& path) { exportPage(start, path); });
        return true;
    }
    case btBankImport: {
        const uint64_t start = pageStart;
        runFileDialog(FileDialog::ImportPage,
                      [this, start](const std::string& path) { importPage(start, path); });
        return true;
    }
    case btSingleReset:
        resetCurrentPreset();
        return true;
    case btPageReset:
        resetPage();
        return true;
    case btBankReset:
        resetBank();
        return true;
    default:
        return false;
    }
}

CMouseEventResult uiSingles::viewOnMouseDown(CView* view, CPoint, CButtonState state) {
    size_t i = 0;
    while (i < kCellCount && cells[i] != view)
        ++i;
    if (i == kCellCount) return kMouseEventNotHandled;
    const uint64_t position = pageStart + i;
    if (position >= indexMap.size()) return kMouseEventNotHandled;
    const uint64_t index = indexMap[position];
    if (index >= plugin().getPresetCount()) return kMouseEventNotHandled;

    const int32_t mouseButtons =
        state.getButtonState() & (kLButton | kMButton | kRButton | kButton4 | kButton5);
    if (mouseButtons == kRButton)
        openContextMenu(view, index);
    else if (mouseButtons == kLButton)
        setProgram(index);
    return kMouseEventHandled;
}
