#pragma once
// The K1 system-exclusive codec: message framing, the 88-byte Single and 76-byte Multi records,
// checksums, storage numbering, and the readers and writers of dumps, requests and replies.
//
// Framing: F0 40 channel function 00 03 sub1 sub2 data... F7. Sub-command 1 is 0 for internal
// memory and 1 for a card; sub-command 2 is a Single number (0-63), 00h/20h for all Singles of
// a location, or 40h + a Multi number.
#include <cstdint>
#include <string>
#include <vector>

#include "k1lib/records/MultiPreset.h"
#include "k1lib/records/RecordLayout.h"
#include "k1lib/records/SinglePreset.h"

namespace k1lib {

// 0 I (internal 0-31), 1 i (internal 32-63), 2 E (card 0-31), 3 e (card 32-63).
enum StorageLocation : unsigned char { StorageI = 0, Storagei = 1, StorageE = 2, Storagee = 3 };

constexpr unsigned long kSingleRecordSize = singlelayout::RecordSize;
constexpr unsigned long kMultiRecordSize = multilayout::RecordSize;
constexpr unsigned long kPhmPresetSize = 76;
constexpr unsigned char kSysexStart = 0xF0;
constexpr unsigned char kSysexEnd = 0xF7;
constexpr unsigned char kFirstRealTime = 0xF8; // F8h-FFh do not end a message
constexpr unsigned char kKawaiId = 0x40;
constexpr unsigned char kSynthesizerGroup = 0x00;
constexpr unsigned char kK1MachineId = 0x03;

// K1 function codes.
enum SysexFunction : unsigned char {
    kOneBlockRequest = 0x00,
    kAllBlockRequest = 0x01,
    kParameterSend = 0x10,
    kOneBlockDump = 0x20,
    kAllBlockDump = 0x21,
    kWriteComplete = 0x40,
    kWriteError = 0x41,
    kWriteErrorProtected = 0x42,
    kWriteErrorNoCard = 0x43,
    kMachineIdRequest = 0x60,
    kMachineIdAnswer = 0x61,
};

// Record codec. Readers refuse a bad checksum; writers produce 7-bit bytes for any record.
[[nodiscard]] bool readSingle(SinglePreset& out, const unsigned char* record);
[[nodiscard]] bool readMulti(MultiPreset& out, const unsigned char* record);
[[nodiscard]] bool writeSingle(unsigned char* record, const SinglePreset& single);
[[nodiscard]] bool writeMulti(unsigned char* record, const MultiPreset& multi);

unsigned char getChecksum(const unsigned char* data, unsigned long length);
[[nodiscard]] bool readName(char* out, const unsigned char* field, unsigned long length);
void writeName(unsigned char* field, const char* name, unsigned long length);
unsigned long writeHeader(std::vector<unsigned char>& out, unsigned char channel, unsigned char function);
unsigned char getSysexSubcommand1Storage(StorageLocation location);
unsigned char getSysexSubcommand2Storage(StorageLocation location);
bool verifySingleNumberAgainstStorageLocation(StorageLocation location, unsigned char number);

class Sysex {
public:
    struct SysexResult {
        // One K1 parameter send: the K1's parameter number, the source 0-3 and the value 0-255.
        struct ParameterChange {
            uint8_t cursor = 0;
            uint8_t source = 0;
            uint8_t value = 0;
        };

        std::vector<SinglePreset> singles;
        std::vector<MultiPreset> multis;
        std::vector<uint64_t> singleRequests;
        std::vector<uint64_t> multiRequests;
        uint64_t firstSingle = 0;
        uint64_t firstMulti = 0;
        std::vector<ParameterChange> parameterChanges;
        uint8_t channel = 0;
        bool machineIdRequest = false;
        bool allMultisRequested = false;
        bool allSinglesRequested = false;
        // Where each entry of `singles` and `multis` stood among the records of its kind that the
        // dumps carried, unreadable ones counted: a damaged record leaves a gap and the records
        // after it keep their places.
        std::vector<uint64_t> singleSlots;
        std::vector<uint64_t> multiSlots;
        // A dump refused for its header counts the records its length says it held.
        uint64_t singleRecords = 0; // Single records met, readable or not
        uint64_t multiRecords = 0;
        uint64_t damagedDumps = 0; // dumps refused for their header, cut off or of a broken length

        uint64_t singleSlot(size_t k) const { return k < singleSlots.size() ? singleSlots[k] : k; }
        uint64_t multiSlot(size_t k) const { return k < multiSlots.size() ? multiSlots[k] : k; }
        // True when a dump held a record that could not be read, or a dump was damaged.
        bool hasDamagedRecords() const {
            return singleRecords != singles.size() || multiRecords != multis.size() || damagedDumps != 0;
        }
    };
    using ParameterChange = SysexResult::ParameterChange;

    // A channelFilter of 0-15 accepts only that channel; 16 or more accepts every channel.
    // A message that does not end in F7h was cut off: a dump of that kind reads its whole
    // records and fails.
    [[nodiscard]] static bool readSysex(SysexResult& result, const unsigned char* message,
                                        unsigned long length, unsigned char channelFilter);
    // Every message of the buffer. As MIDI has it, a status byte ends a message: F7h completes
    // it, F0h or any other byte from 80h but the real-time ones (F8h-FFh) cuts it off. A real-time
    // byte stays where it is and damages the record it falls in.
    static bool readBuffer(SysexResult& result, const std::vector<unsigned char>& bytes,
                           unsigned char channelFilter);
    [[nodiscard]] static bool readFile(std::vector<unsigned char>& out, const std::string& path);
    [[nodiscard]] static bool readFile(SysexResult& result, const std::string& path,
                                       unsigned char channelFilter);

    [[nodiscard]] static bool writeSingles(std::vector<unsigned char>& out,
                                           const std::vector<SinglePreset>& singles, unsigned char channel,
                                           StorageLocation location, unsigned char number);
    [[nodiscard]] static bool writeSingle(std::vector<unsigned char>& out, const SinglePreset& single,
                                          unsigned char channel, StorageLocation location,
                                          unsigned char number);
    [[nodiscard]] static bool writeMultis(std::vector<unsigned char>& out,
                                          const std::vector<MultiPreset>& multis, unsigned char channel,
                                          StorageLocation location, unsigned char number);
    [[nodiscard]] static bool writeMulti(std::vector<unsigned char>& out, const MultiPreset& multi,
                                         unsigned char channel, StorageLocation location,
                                         unsigned char number);
    [[nodiscard]] static bool writeOneSingleRequest(std::vector<unsigned char>& out, unsigned char channel,
                                                    StorageLocation location, unsigned char number);
    [[nodiscard]] static bool writeAllSinglesRequest(std::vector<unsigned char>& out, unsigned char channel,
                                                     StorageLocation location);
    [[nodiscard]] static bool writeMachineIdRequest(std::vector<unsigned char>& out, unsigned char channel);
    static void writeMachineIdResponse(std::vector<unsigned char>& out, unsigned char channel);
    static void writeWriteResult(std::vector<unsigned char>& out, unsigned char channel,
                                 unsigned char function);
    static void writeParameterChange(std::vector<unsigned char>& out, unsigned char channel,
                                     const ParameterChange& change);
    [[nodiscard]] static bool convertPhmPreset(std::vector<unsigned char>& out, unsigned char channel,
                                               unsigned char number, const std::string& name,
                                               const unsigned char* data, unsigned long size);
};

} // namespace k1lib
