// An editor over a fresh facade, offscreen, with scripted dialogs and a temporary directory,
// for the preset browser's tests. Events reach the browser through real clicks and keys on the
// frame; the facade's notifications are applied with idle().
#pragma once

#include "editor/ControlHelpers.h"
#include "editor/K1Editor.h"
#include "editor/k1EditorListener.h"
#include "editor/uiSingles.h"
#include "k1lib/facade/Plugin.h"
#include "k1lib/records/Sysex.h"
#include "tests/editor/EditorFixture.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ZykGuiTest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace browsertest {

// Records the system-exclusive messages the facade sends to hardware.
class SysexRecorder : public PluginListener {
public:
    std::vector<std::vector<unsigned char>> sent;
    void sendMidi(const k1lib::SMidiEvent& event) override { sent.push_back(event.sysex); }
};

class BrowserFixture : public ::testing::Test {
protected:
    static constexpr uint64_t kSingles = 968;
    static constexpr uint64_t kLastSinglesPage = 960; // holds the last 8 Singles

    void SetUp() override;
    void TearDown() override;

    uiSingles& browser() { return *editor->getBrowser(); }
    VSTGUI::CFrame* frame() { return editor->getFrame(); }
    template <class T> T* view(const std::string& name) {
        return ControlHelpers::initView<T>(editor->getViewsByName(), name);
    }
    VSTGUI::CTextLabel* cell(size_t i);
    std::string cellText(size_t i) { return cell(i)->getText().getString(); }
    // A press and release in the middle of a view, in window pixels.
    void clickView(VSTGUI::CView* v, int32_t buttons = VSTGUI::kLButton);
    void press(const std::string& button) { clickView(view<VSTGUI::CKickButton>(button)); }
    void clickCell(size_t i, int32_t buttons = VSTGUI::kLButton) { clickView(cell(i), buttons); }
    bool isGreyed(const std::string& button);
    // Types into the search field, then leaves it with Return.
    void search(const std::string& text);
    bool key(unsigned char virt) { return zykgui::test::typeKey(frame(), 0, virt); }
    void idle() { editor->idle(); }
    uint64_t current() { return plugin.getCurrentPresetIndex(); }
    // Gives the Single another name (at most 10 characters).
    void rename(uint64_t index, const char* name);
    void select(uint64_t index);
    // Shows the page that starts at `start` through the page buttons.
    void showPage(uint64_t start);

    // Files in the test's own temporary directory.
    std::string path(const std::string& name) const { return (dir / name).string(); }
    void writeBytes(const std::string& file, const std::vector<unsigned char>& bytes) const;
    std::vector<unsigned char> readBytes(const std::string& file) const;
    // One dump of n Singles starting at the given index of the facade (32 per message).
    std::vector<unsigned char> singlesDump(uint64_t first, uint64_t n);
    // A Standard MIDI File carrying `sysex` (F0h ... F7h messages) in one track.
    static std::vector<unsigned char> midiFileWith(const std::vector<unsigned char>& sysex);
    // Runs a file button with a scripted path.
    void runFileButton(const std::string& button, const std::string& file);

    LogCapture log; // keeps the readers' and engine's lines out of the test output
    SysexRecorder hardware;
    k1lib::Plugin plugin{&hardware, k1lib::PluginType_Vst3};
    RecordingListener hostView{plugin};
    zykgui::test::ScriptedDialogs dialogs;
    std::unique_ptr<K1Editor> editor;
    std::filesystem::path dir;
};

} // namespace browsertest
