// The two-line, sixteen-character LCD: each of the 32 character cells shows the bitmap of a
// glyph taken from the hidden "fontExport" container. Shows a start-up banner when the editor
// opens, the current preset afterwards and the firmware screen when the display is clicked.
//
// Thread contract: user-interface thread only (construction, timer callbacks, the editor's idle).
// At most one timer is pending; it is released in the destructor, so no step runs afterwards.
#pragma once

#include "gui/vstgui/vstgui.h"
#include "k1lib/base/StaticArray.h"

#include <cstdint>
#include <map>
#include <string>

class K1Editor;

class uiDisplay : public VSTGUI::ViewMouseListenerAdapter {
public:
    static constexpr size_t kColumns = 16;
    using Row = StaticArray<VSTGUI::CView*, kColumns>;

    // Milliseconds of each timed step.
    static constexpr uint32_t kStartupDarkMs = 1000;
    static constexpr uint32_t kBannerMs = 2000;
    static constexpr uint32_t kFirmwareDarkMs = 500;
    static constexpr uint32_t kFirmwareMs = 2000;

    // The release date shown on the firmware screen: fixed, so every build shows the same bytes.
    static constexpr const char* kBuildDate = "Dec 07 2026";
    static constexpr const char* kFirmwareVersion = "1.26";

    explicit uiDisplay(K1Editor& editor);
    ~uiDisplay() override;
    uiDisplay(const uiDisplay&) = delete;
    uiDisplay& operator=(const uiDisplay&) = delete;

    void setText(const std::string& line0, const std::string& line1);
    void setText(Row& row, const std::string& text);
    void setTextShowCurrentPreset();
    // Starts the start-up sequence at its first (dark) step.
    void doStartupAnimation();
    void destroyTimer();
    void switchPower(bool on) const;

    // A click (any button) on the lit display starts the firmware sequence.
    VSTGUI::CMouseEventResult viewOnMouseDown(VSTGUI::CView* view, VSTGUI::CPoint where,
                                              VSTGUI::CButtonState buttons) override;

private:
    enum class Step { Startup1, Startup2, Firmware1, Firmware2 };

    // Releases the pending timer and starts a one-shot timer for `step`.
    void startStep(Step step, uint32_t delayMs);
    void onStepExpired(Step step);

    K1Editor& editor;
    VSTGUI::CViewContainer* lcdLines = nullptr;
    VSTGUI::CView* lcdLight = nullptr;
    VSTGUI::CVSTGUITimer* timer = nullptr;
    Row row0{};
    Row row1{};
    std::map<char, VSTGUI::CBitmap*> glyphs;
};
