// Data archives (".dan"): a flat list of named records, each one resource file compressed with
// zlib (level 9) and guarded by a CRC-32 of its uncompressed bytes.
//
// File layout, all numbers little-endian:
//   header (16 bytes): "ASVF", record count (int32), table offset (int64; 16 when empty)
//   record: type byte (low nibble = TArchiveRecordType, 0xF0 added when enciphered),
//           OrigSize (u32), PhysSize (u32), DateTime (double), Checksum (u32),
//           InitVec (8 bytes, enciphered records only), then PhysSize stored bytes
//   record table at the table offset: per record u16 key length, UTF-8 key, int64 offset
//
// The index is read once on opening; no file handle is kept between operations. Readers open
// the file with a shared lock, writers with an exclusive one. No operation throws: failures
// are reported as false, -1 or empty results.
#pragma once

#include "data/ArchiveCrc32.h"
#include "data/ArchiveDateTime.h"
#include "data/KilnXtea.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace bw {

enum TArchiveOpenMode : uint8_t {
    aomUpdate = 0,    // read and write; a missing file is created
    aomReadOnly = 1,  // read only; a missing file fails the open
    aomOverwrite = 2, // the file is created anew on opening, then the mode becomes aomUpdate
};

// Informative only: readers pick records by key. A damaged file may hold values 3..15.
enum TArchiveRecordType : uint8_t {
    artFile = 0,
    artImage = 1,
    artFont = 2,
};

struct TArchiveRecord {
    std::string Key;    // UTF-8, unique within the archive under ASCII case folding
    int64_t Offset = 0; // file position of the record header
    TArchiveRecordType RecordType = artFile;
    uint32_t OrigSize = 0;
    uint32_t PhysSize = 0;
    TDateTime DateTime = 0.0;
    uint32_t Checksum = 0;
    bool Secure = false;
    uint64_t InitVec = 0;
};

// Why a record read failed; ReadRecordAt reports it, the key-based reads reduce it to a flag.
enum class ArchiveReadResult {
    Ok,
    Refused,          // not open, overwrite mode, or update mode while archive access is locked
    UnknownKey,       // no such key or index
    SecureWithoutKey, // enciphered record and no key set
    IoError,          // the file could not be opened or read
    OutOfFile,        // the stored bytes lie (partly) outside the file
    ImplausibleSize,  // OrigSize is more than the stored bytes can possibly inflate to
    BadData,          // the stored bytes are not a valid zlib stream
    SizeMismatch,     // the stream does not inflate to exactly OrigSize bytes
    BadChecksum,      // the inflated bytes do not match the stored CRC-32
};

const char* ArchiveReadResultText(ArchiveReadResult r);

// Archives whose records are read in place of the records with the same key, whether that
// record exists or not, by every archive opened read-only (the game's): the replay harness
// lets a test replace a level, a level list or a text this way. Later archives win. With no
// override installed nothing changes.
bool AddArchiveOverride(const std::string& fileName); // false when it cannot be opened
void ClearArchiveOverrides();

class TKilnArchive {
public:
    static constexpr std::size_t MaxKeyBytes = 65535;
    static constexpr int64_t HeaderSize = 16;

    TKilnArchive();
    TKilnArchive(const TKilnArchive&) = delete;
    TKilnArchive& operator=(const TKilnArchive&) = delete;
    TKilnArchive(TKilnArchive&&) noexcept = default;
    TKilnArchive& operator=(TKilnArchive&&) noexcept = default;
    ~TKilnArchive();

    TArchiveOpenMode OpenMode() const { return FOpenMode; }
    // Set before the file name; takes effect on the next open.
    void SetOpenMode(TArchiveOpenMode mode) { FOpenMode = mode; }

    // The archive path with "\" turned into "/".
    const std::string& FileName() const { return FFileName; }
    // Opening as OpenFile, ignoring the result (Ready() tells it).
    void SetFileName(std::string_view fileName) { OpenFile(fileName); }
    // Opens the archive (see the open modes). The same name again does nothing and succeeds;
    // an empty name closes the archive. On failure the file name is cleared.
    bool OpenFile(std::string_view fileName);
    // Opens the current file again.
    bool Refresh();

    bool Ready() const { return FReady; }
    int64_t FileSize() const { return FFileSize; }
    int64_t TableOffset() const { return FTableOffset; }

    // The 128-bit key for the current read or write, or null; not owned.
    const XteaKey* Password() const { return FPassword; }
    void SetPassword(const XteaKey* key) { FPassword = key; }

    int RecordCount() const { return static_cast<int>(FRecords.size()); }
    // Per-index properties; an index out of range gives the empty text, 0 or false.
    std::string RecordKey(int index) const;
    uint32_t RecordPhysSize(int index) const;
    uint32_t RecordOrigSize(int index) const;
    TArchiveRecordType RecordType(int index) const;
    TDateTime RecordDate(int index) const;
    bool RecordSecure(int index) const;
    uint32_t RecordChecksum(int index) const;
    // The whole index entry, or null.
    const TArchiveRecord* Record(int index) const;

    // Index of the key (ASCII case-insensitive), or -1.
    int IndexOf(std::string_view key) const;

    // Reads one record; on failure Data is left empty.
    bool ReadRecord(std::string_view key, std::vector<uint8_t>& data) const;
    // Writes all uncompressed bytes of the record at the stream's position; nothing is written
    // when the read fails.
    bool ReadStream(std::string_view key, std::ostream& stream) const;
    // Reads into a memory buffer whose size becomes OrigSize (empty on failure).
    bool ReadMemStream(std::string_view key, std::vector<uint8_t>& memStream) const;
    // Reads the record at an index and tells why it failed.
    ArchiveReadResult ReadRecordAt(int index, std::vector<uint8_t>& data) const;

    // Adds a record or replaces the one with the same key. A date of 0 means now. The key is
    // cut to 65535 bytes at a character boundary.
    bool WriteRecord(std::string_view key, const void* source, std::size_t sourceSize,
                     TArchiveRecordType recType = artFile, TDateTime recDate = 0.0);
    // WriteRecord with the bytes from the stream's position to its end.
    bool WriteStream(std::string_view key, std::istream& stream,
                     TArchiveRecordType recType = artFile, TDateTime recDate = 0.0);
    bool RenameRecord(std::string_view key, std::string_view newKey);
    // Removes a record by rewriting the archive without it (through "archive.temp.asvf").
    bool RemoveRecord(std::string_view key);

    // Cuts a key to at most MaxKeyBytes bytes without splitting a UTF-8 sequence.
    static std::string CutKey(std::string_view key);

private:
    struct TableState {
        std::vector<TArchiveRecord> Records;
        int64_t TableOffset = 0;
        int64_t FileSize = 0;
    };

    void Close();
    bool OpenCurrent();
    bool ReadIndex();
    bool CreateEmptyFile();
    int64_t DataEnd() const;
    bool AppendRecord(const std::string& key, const void* source, std::size_t sourceSize,
                      TArchiveRecordType recType, TDateTime recDate);
    bool RemoveAt(int index);
    ArchiveReadResult ReadInto(int index, std::vector<uint8_t>& data) const;
    bool RestoreTable(const TableState& state);
    // The record of an override archive with this key, when overrides apply to this archive.
    bool ReadOverride(std::string_view key, std::vector<uint8_t>& data,
                      ArchiveReadResult& result) const;
    void MarkDirty() { FSearchDirty = true; }

    TArchiveOpenMode FOpenMode = aomUpdate;
    std::string FFileName;
    int64_t FFileSize = 0;
    const XteaKey* FPassword = nullptr;
    std::vector<TArchiveRecord> FRecords;
    int64_t FTableOffset = HeaderSize;
    bool FReady = false;
    mutable std::vector<int> FSearchList;
    mutable bool FSearchDirty = true;
};

// Told of every record an archive reads successfully (file name and key), for measuring what
// a part of the program reads; empty to stop. Reads on several threads call it one at a time.
using ArchiveReadObserver = std::function<void(const std::string& file, const std::string& key)>;
void SetArchiveReadObserver(ArchiveReadObserver observer);

} // namespace bw
