// Files damaged in their framing, through the page import button: a dump refused for its header,
// a file cut off and a dump that lost its F7h all fail the import and ask first; "Cancel" changes
// nothing, and "OK" puts each complete record in the slot its place in the file gives it.
#include "tests/editor/BrowserFixture.h"

#include <algorithm>
#include <cstring>

using browsertest::BrowserFixture;
using Messages = std::vector<std::string>;

namespace {

const Messages kDamagedPage = {
    "Failed to import Sysex data",
    "Some presets of the file could not be read. Import the Singles that could be read?"};

class DamagedFiles : public BrowserFixture {
protected:
    // Two dumps of 16 Singles each, taken from Singles 200-231.
    void SetUp() override {
        BrowserFixture::SetUp();
        for (uint64_t i = 200; i < 232; ++i)
            ASSERT_TRUE(plugin.getSingle(source.emplace_back(), i));
        ASSERT_TRUE(
            k1lib::Sysex::writeSingles(first, {source.begin(), source.begin() + 16}, 0, k1lib::StorageI, 0));
        ASSERT_TRUE(
            k1lib::Sysex::writeSingles(second, {source.begin() + 16, source.end()}, 0, k1lib::Storagei, 0));
    }

    std::vector<k1lib::SinglePreset> page(uint64_t start) {
        std::vector<k1lib::SinglePreset> singles(64);
        for (uint64_t k = 0; k < singles.size(); ++k)
            EXPECT_TRUE(plugin.getSingle(singles[k], start + k));
        return singles;
    }

    // Imports the file onto the page at `start`, first answering "Cancel", then "OK": both times
    // the damage is reported and asked about; "Cancel" changes nothing, "OK" stores source[k] in
    // slot start + k for each k in [from, to) and leaves every other slot as it was.
    void importDamaged(const std::string& file, uint64_t start, uint64_t from, uint64_t to) {
        showPage(start);
        const std::vector<k1lib::SinglePreset> before = page(start);
        dialogs.shown.clear();
        runFileButton("btBankImport", file);
        EXPECT_EQ(dialogs.messages(), kDamagedPage) << file;
        EXPECT_TRUE(page(start) == before) << file << ": Cancel changes nothing";

        dialogs.shown.clear();
        dialogs.answers.push_back(true);
        runFileButton("btBankImport", file);
        EXPECT_EQ(dialogs.messages(), kDamagedPage) << file;
        std::vector<k1lib::SinglePreset> expected = before;
        std::copy(source.begin() + long(from), source.begin() + long(to), expected.begin() + long(from));
        const std::vector<k1lib::SinglePreset> after = page(start);
        const auto differs = std::mismatch(after.begin(), after.end(), expected.begin()).first;
        EXPECT_EQ(differs - after.begin(), long(after.size())) << file << ": the first slot that differs";
    }

    std::vector<k1lib::SinglePreset> source;
    std::vector<unsigned char> first, second;
};

std::vector<unsigned char> joined(std::vector<unsigned char> a, const std::vector<unsigned char>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST_F(DamagedFiles, ADumpWithADamagedHeaderKeepsThePlacesOfTheDumpsAfterIt) {
    // Manufacturer, channel 16, function, group, machine ID, sub-command 2 of an all-Singles dump.
    const std::pair<size_t, unsigned char> damages[] = {{1, 0x41}, {2, 0x10}, {3, 0x25},
                                                        {4, 0x01}, {5, 0x04}, {7, 0x05}};
    uint64_t start = 0;
    for (const auto& [byte, value] : damages) {
        std::vector<unsigned char> damaged = first;
        damaged[byte] = value;
        const std::string file = path("header" + std::to_string(byte) + ".syx");
        writeBytes(file, joined(damaged, second));
        importDamaged(file, start, 16, 32);
        start += 32;
    }
}

TEST_F(DamagedFiles, ACutOffFileImportsItsCompleteRecordsOnlyAfterOk) {
    std::vector<unsigned char> noEnd = joined(first, second);
    noEnd.pop_back();
    writeBytes(path("noend.syx"), noEnd);
    importDamaged(path("noend.syx"), 0, 0, 32);

    // Cut inside record 5 of the second dump.
    std::vector<unsigned char> cut = joined(first, second);
    cut.resize(first.size() + 8 + 5 * k1lib::kSingleRecordSize + 40);
    writeBytes(path("cut.syx"), cut);
    importDamaged(path("cut.syx"), 32, 0, 21);

    // The same cut in a MIDI file: the second dump's bytes after its F0h follow its length.
    std::vector<unsigned char> midi = midiFileWith(joined(first, second));
    const size_t data =
        size_t(std::search(midi.begin(), midi.end(), second.begin() + 1, second.begin() + 40) - midi.begin());
    ASSERT_LT(data, midi.size());
    midi.resize(data + 7 + 5 * k1lib::kSingleRecordSize + 40);
    writeBytes(path("cut.mid"), midi);
    importDamaged(path("cut.mid"), 64, 0, 21);
    // Cut inside the length of the second dump's event.
    midi.resize(data - 1);
    writeBytes(path("cutlength.mid"), midi);
    importDamaged(path("cutlength.mid"), 96, 0, 16);
}

TEST_F(DamagedFiles, ADumpThatLostItsF7EndsAtTheNextF0) {
    std::vector<unsigned char> lost;
    ASSERT_TRUE(k1lib::Sysex::writeSingle(lost, source[0], 0, k1lib::StorageI, 0));
    lost.pop_back();
    // A one-Single dump whose first 88 bytes, its own header among them, pass a Single's checksum:
    // read on across its F0h they would make a Single of another message's bytes.
    k1lib::SinglePreset next = source[1];
    std::vector<unsigned char> dump;
    bool crafted = false;
    std::memset(next.name, 0, sizeof next.name);
    std::strcpy(next.name, "Probe");
    for (char a = 'A'; a <= 'Z' && !crafted; ++a)
        for (char b = 'a'; b <= 'z' && !crafted; ++b) {
            next.name[0] = a;
            next.name[1] = b;
            dump.clear();
            ASSERT_TRUE(k1lib::Sysex::writeSingle(dump, next, 0, k1lib::StorageI, 1));
            crafted = k1lib::getChecksum(dump.data(), 87) == dump[87];
        }
    k1lib::SinglePreset across;
    ASSERT_TRUE(crafted && k1lib::readSingle(across, dump.data()));
    source[1] = next;
    writeBytes(path("lost.syx"), joined(lost, dump));
    importDamaged(path("lost.syx"), 64, 0, 2);
    k1lib::SinglePreset stored;
    ASSERT_TRUE(plugin.getSingle(stored, 65));
    EXPECT_FALSE(stored == across) << "a Single made of the next message's bytes";
}
