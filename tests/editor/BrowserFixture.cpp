#include "tests/editor/BrowserFixture.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace VSTGUI;

namespace browsertest {

void BrowserFixture::SetUp() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zyk-browser-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    editor = std::make_unique<K1Editor>(plugin, nullptr, nullptr, &hostView, K1Editor::getDefaultRect());
    ASSERT_NE(editor->getFrame(), nullptr);
    ASSERT_NE(editor->getBrowser(), nullptr);
    plugin.setEditor(editor.get());
}

void BrowserFixture::TearDown() {
    plugin.setEditor(nullptr);
    editor.reset();
    std::error_code ignored;
    if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
}

CTextLabel* BrowserFixture::cell(size_t i) {
    return view<CTextLabel>(std::string("single") + char('A' + i / 8) + std::to_string(i % 8));
}

void BrowserFixture::clickView(CView* v, int32_t buttons) {
    ASSERT_NE(v, nullptr);
    CPoint centre = v->getViewSize().getCenter();
    v->localToFrame(centre);
    zykgui::test::click(frame(), centre, buttons);
}

bool BrowserFixture::isGreyed(const std::string& button) {
    const bool disabled = !view<CKickButton>(button)->getMouseEnabled();
    const bool grey = view<CTextLabel>(button + "Text")->getFontColor() == CColor(100, 100, 100, 255);
    EXPECT_EQ(disabled, grey) << button << ": the caption follows the control";
    return disabled;
}

void BrowserFixture::search(const std::string& text) {
    auto* field = view<CTextEdit>("searchSingle");
    clickView(field);
    // Clear what is there, then type.
    for (size_t i = field->getText().length(); i > 0; --i)
        zykgui::test::typeKey(frame(), 0, VKEY_BACK);
    zykgui::test::typeText(frame(), text);
    zykgui::test::typeKey(frame(), 0, VKEY_RETURN);
}

void BrowserFixture::select(uint64_t index) {
    EXPECT_TRUE(plugin.setCurrentPresetIndex(index));
    idle();
}

void BrowserFixture::rename(uint64_t index, const char* name) {
    k1lib::SinglePreset single;
    ASSERT_TRUE(plugin.getSingle(single, index));
    std::memset(single.name, 0, sizeof single.name);
    std::strncpy(single.name, name, 10);
    ASSERT_TRUE(plugin.setSingle(index, single));
}

void BrowserFixture::showPage(uint64_t start) {
    while (browser().getPageStart() < start)
        press("btPageInc");
    while (browser().getPageStart() > start)
        press("btPageDec");
}

void BrowserFixture::writeBytes(const std::string& file, const std::vector<unsigned char>& bytes) const {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<unsigned char> BrowserFixture::readBytes(const std::string& file) const {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<unsigned char> BrowserFixture::singlesDump(uint64_t first, uint64_t n) {
    std::vector<unsigned char> all;
    for (uint64_t start = first; start < first + n; start += 32) {
        std::vector<k1lib::SinglePreset> singles;
        for (uint64_t i = start; i < std::min(first + n, start + 32); ++i) {
            k1lib::SinglePreset single;
            EXPECT_TRUE(plugin.getSingle(single, i));
            singles.push_back(single);
        }
        std::vector<unsigned char> bytes;
        const auto location =
            singles.size() == 1 ? k1lib::StorageI : k1lib::StorageLocation((start / 32) % 2);
        EXPECT_TRUE(k1lib::Sysex::writeSingles(bytes, singles, 0, location, 0));
        all.insert(all.end(), bytes.begin(), bytes.end());
    }
    return all;
}

std::vector<unsigned char> BrowserFixture::midiFileWith(const std::vector<unsigned char>& sysex) {
    // One track; each message an F0h event at delta 0: F0, length, the bytes after F0 up to F7.
    std::vector<unsigned char> track;
    for (size_t start = 0, end; start < sysex.size(); start = end + 1) {
        end = std::find(sysex.begin() + long(start), sysex.end(), 0xF7) - sysex.begin();
        const size_t length = std::min(end + 1, sysex.size()) - start - 1;
        track.insert(track.end(), {0, 0xF0, uint8_t(0x80 | length >> 7), uint8_t(length & 0x7F)});
        track.insert(track.end(), sysex.begin() + long(start) + 1, sysex.begin() + long(start + 1 + length));
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    const size_t n = track.size();
    std::vector<unsigned char> file = {'M',
                                       'T',
                                       'h',
                                       'd',
                                       0,
                                       0,
                                       0,
                                       6,
                                       0,
                                       0,
                                       0,
                                       1,
                                       0,
                                       96,
                                       'M',
                                       'T',
                                       'r',
                                       'k',
                                       uint8_t(n >> 24),
                                       uint8_t(n >> 16),
                                       uint8_t(n >> 8),
                                       uint8_t(n)};
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

void BrowserFixture::runFileButton(const std::string& button, const std::string& file) {
    dialogs.paths.push_back(file);
    press(button);
    idle();
}

} // namespace browsertest
