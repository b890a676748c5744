#include "data/KilnArchive.h"

#include "data/ArchiveAccess.h"
#include "data/AsciiText.h"
#include "platform/Files.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <istream>
#include <memory>
#include <mutex>
#include <ostream>
#include <random>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace bw {

namespace {

constexpr char kSignature[4] = {'A', 'S', 'V', 'F'};
constexpr int64_t kPlainHeader = 21;
constexpr int64_t kSecureHeader = 29;
constexpr int64_t kMinTableEntry = 2 + 8;
// Deflate cannot expand data by more than about 1032:1; anything claiming more is a lie.
constexpr uint64_t kMaxInflateRatio = 1100;
constexpr uint64_t kInflateSlack = 4096;
constexpr char kTempName[] = "archive.temp.asvf";

int64_t HeaderBytes(bool secure) {
    return secure ? kSecureHeader : kPlainHeader;
}

// --- little-endian packing -------------------------------------------------------------

void Put16(std::vector<uint8_t>& b, uint16_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}
void Put64(std::vector<uint8_t>& b, uint64_t v) {
    for (int i = 0; i < 8; ++i) b.push_back(uint8_t(v >> (8 * i)));
}
void PutDouble(std::vector<uint8_t>& b, double d) {
    uint64_t v;
    std::memcpy(&v, &d, 8);
    Put64(b, v);
}
uint16_t Get16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}
uint32_t Get32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint64_t Get64(const uint8_t* p) {
    return uint64_t(Get32(p)) | uint64_t(Get32(p + 4)) << 32;
}
double GetDouble(const uint8_t* p) {
    const uint64_t v = Get64(p);
    double d;
    std::memcpy(&d, &v, 8);
    return d;
}

// --- the file layer ----------------------------------------------------------------------

enum class ArchiveLock { Shared, Exclusive };

// One open file with an advisory lock; closed on destruction.
class ArchiveFile {
public:
    ArchiveFile() = default;
    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;
    ~ArchiveFile() { Close(); }

    bool Open(const std::string& path, int flags, ArchiveLock lock) {
        Close();
        do {
            FFd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
        } while (FFd < 0 && errno == EINTR);
        if (FFd < 0) return false;
        struct stat st {};
        if (::fstat(FFd, &st) != 0 || !S_ISREG(st.st_mode)) {
            Close();
            return false;
        }
        const int op = (lock == ArchiveLock::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB;
        int rc;
        do {
            rc = ::flock(FFd, op);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            Close();
            return false;
        }
        return true;
    }
    void Close() {
        if (FFd >= 0) ::close(FFd);
        FFd = -1;
    }
    int64_t Size() const {
        struct stat st {};
        if (FFd < 0 || ::fstat(FFd, &st) != 0) return -1;
        return static_cast<int64_t>(st.st_size);
    }
    bool ReadAt(int64_t pos, void* dst, std::size_t n) const {
        auto* p = static_cast<uint8_t*>(dst);
        while (n > 0) {
            const ssize_t r = ::pread(FFd, p, n, static_cast<off_t>(pos));
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) return false;
            p += r;
            n -= static_cast<std::size_t>(r);
            pos += r;
        }
        return true;
    }
    bool WriteAt(int64_t pos, const void* src, std::size_t n) {
        const auto* p = static_cast<const uint8_t*>(src);
        while (n > 0) {
            const ssize_t r = ::pwrite(FFd, p, n, static_cast<off_t>(pos));
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) return false;
            p += r;
            n -= static_cast<std::size_t>(r);
            pos += r;
        }
        return true;
    }
    bool Truncate(int64_t size) { return ::ftruncate(FFd, static_cast<off_t>(size)) == 0; }
    // Flushes what was written to disk.
    bool Sync() { return ::fsync(FFd) == 0; }

private:
    int FFd = -1;
};

// Anything at all goes by that name (also a folder or a device, which then fail to open).
bool PathExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Sequential reads through a buffer, for the record table.
class BufferedReader {
public:
    BufferedReader(const ArchiveFile& file, int64_t pos, int64_t end)
        : FFile(file), FPos(pos), FEnd(end) {}
    bool Read(void* dst, std::size_t n) {
        auto* out = static_cast<uint8_t*>(dst);
        while (n > 0) {
            if (FBufPos == FBuf.size()) {
                const int64_t left = FEnd - FPos;
                if (left <= 0) return false;
                const std::size_t chunk =
                    static_cast<std::size_t>(std::min<int64_t>(left, 64 * 1024));
                FBuf.resize(chunk);
                if (!FFile.ReadAt(FPos, FBuf.data(), chunk)) return false;
                FPos += static_cast<int64_t>(chunk);
                FBufPos = 0;
            }
            const std::size_t take = std::min(n, FBuf.size() - FBufPos);
            std::memcpy(out, FBuf.data() + FBufPos, take);
            FBufPos += take;
            out += take;
            n -= take;
        }
        return true;
    }
    bool Read(std::string& dst, std::size_t n) {
        dst.resize(n);
        return n == 0 || Read(dst.data(), n);
    }

private:
    const ArchiveFile& FFile;
    int64_t FPos;
    int64_t FEnd;
    std::vector<uint8_t> FBuf;
    std::size_t FBufPos = 0;
};

std::vector<uint8_t> EncodeTable(const std::vector<TArchiveRecord>& records) {
    std::vector<uint8_t> b;
    for (const auto& r : records) {
        Put16(b, static_cast<uint16_t>(r.Key.size()));
        b.insert(b.end(), r.Key.begin(), r.Key.end());
        Put64(b, static_cast<uint64_t>(r.Offset));
    }
    return b;
}

std::vector<uint8_t> EncodeCountAndTable(int32_t count, int64_t tableOffset) {
    std::vector<uint8_t> b;
    Put32(b, static_cast<uint32_t>(count));
    Put64(b, static_cast<uint64_t>(tableOffset));
    return b;
}

uint64_t NewInitVec() {
    static thread_local std::mt19937 gen{std::random_device{}()};
    std::uniform_int_distribution<uint32_t> dist(0, 0xFFFF);
    uint64_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint64_t(dist(gen)) << (16 * i);
    return v;
}

// Inflates a complete zlib stream into exactly origSize bytes and computes the CRC-32 of the
// output piece by piece while it is still in the cache. The output grows with what the stream
// really yields, so a lying OrigSize cannot make us allocate far more than the data.
ArchiveReadResult InflateExact(const std::vector<uint8_t>& stored, uint32_t origSize,
                               std::vector<uint8_t>& out, uint32_t& crc) {
    constexpr std::size_t kPiece = 256 * 1024;
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) return ArchiveReadResult::BadData;
    const uint64_t firstGuess = uint64_t(stored.size()) * 8 + (64u << 10);
    std::size_t cap = static_cast<std::size_t>(std::min<uint64_t>(origSize, firstGuess));
    out.resize(cap);
    uint8_t dummy = 0;
    std::size_t done = 0; // bytes produced (and checksummed) so far
    uint32_t sum = 0;
    zs.next_in = const_cast<Bytef*>(stored.data());
    zs.avail_in = static_cast<uInt>(stored.size());
    int rc;
    for (;;) {
        if (done == cap && cap < origSize) {
            cap = static_cast<std::size_t>(std::min<uint64_t>(origSize, uint64_t(cap) * 2));
            out.resize(cap);
        }
        const std::size_t room = std::min(kPiece, cap - done);
        zs.next_out = room ? out.data() + done : &dummy;
        zs.avail_out = static_cast<uInt>(room);
        rc = inflate(&zs, Z_FINISH);
        const std::size_t produced = room - zs.avail_out;
        if (produced) sum = ArchiveCrc32Update(sum, out.data() + done, produced);
        done += produced;
        if (rc == Z_STREAM_END) break;
        if (rc != Z_OK && rc != Z_BUF_ERROR) break;
        // No room was left: the stream holds more than OrigSize. Room left but no progress:
        // the input ended early.
        if (done == origSize || (zs.avail_out != 0 && produced == 0)) break;
    }
    const uint64_t total = zs.total_out;
    const bool moreInput = zs.avail_in > 0;
    inflateEnd(&zs);
    crc = sum;
    if (rc == Z_STREAM_END) {
        if (total != origSize) return ArchiveReadResult::SizeMismatch;
        return ArchiveReadResult::Ok;
    }
    if (rc == Z_DATA_ERROR || rc == Z_NEED_DICT || rc == Z_STREAM_ERROR || rc == Z_MEM_ERROR)
        return ArchiveReadResult::BadData;
    // The stream did not end: either truncated (BadData) or longer than OrigSize.
    return total >= origSize && moreInput ? ArchiveReadResult::SizeMismatch
                                          : ArchiveReadResult::BadData;
}

} // namespace

const char* ArchiveReadResultText(ArchiveReadResult r) {
    switch (r) {
    case ArchiveReadResult::Ok:
        return "ok";
    case ArchiveReadResult::Refused:
        return "archive not open for reading";
    case ArchiveReadResult::UnknownKey:
        return "no such record";
    case ArchiveReadResult::SecureWithoutKey:
        return "enciphered record and no key";
    case ArchiveReadResult::IoError:
        return "read error";
    case ArchiveReadResult::OutOfFile:
        return "stored data lies outside the file";
    case ArchiveReadResult::ImplausibleSize:
        return "original size impossible for stored data";
    case ArchiveReadResult::BadData:
        return "damaged compressed data";
    case ArchiveReadResult::SizeMismatch:
        return "size mismatch";
    case ArchiveReadResult::BadChecksum:
        return "CRC mismatch";
    }
    return "unknown error";
}

TKilnArchive::TKilnArchive() = default;
TKilnArchive::~TKilnArchive() = default;

std::string TKilnArchive::CutKey(std::string_view key) {
    if (key.size() <= MaxKeyBytes) return std::string(key);
    std::size_t n = MaxKeyBytes;
    // Step back over continuation bytes so that no character is split.
    while (n > 0 && (static_cast<unsigned char>(key[n]) & 0xC0) == 0x80) --n;
    return std::string(key.substr(0, n));
}

// --- properties --------------------------------------------------------------------------

const TArchiveRecord* TKilnArchive::Record(int index) const {
    if (index < 0 || index >= RecordCount()) return nullptr;
    return &FRecords[static_cast<std::size_t>(index)];
}
std::string TKilnArchive::RecordKey(int index) const {
    const auto* r = Record(index);
    return r ? r->Key : std::string();
}
uint32_t TKilnArchive::RecordPhysSize(int index) const {
    const auto* r = Record(index);
    return r ? r->PhysSize : 0;
}
uint32_t TKilnArchive::RecordOrigSize(int index) const {
    const auto* r = Record(index);
    return r ? r->OrigSize : 0;
}
TArchiveRecordType TKilnArchive::RecordType(int index) const {
    const auto* r = Record(index);
    return r ? r->RecordType : artFile;
}
TDateTime TKilnArchive::RecordDate(int index) const {
    const auto* r = Record(index);
    return r ? r->DateTime : 0.0;
}
bool TKilnArchive::RecordSecure(int index) const {
    const auto* r = Record(index);
    return r ? r->Secure : false;
}
uint32_t TKilnArchive::RecordChecksum(int index) const {
    const auto* r = Record(index);
    return r ? r->Checksum : 0;
}

// --- opening -----------------------------------------------------------------------------

void TKilnArchive::Close() {
    FFileName.clear();
    FRecords.clear();
    FFileSize = 0;
    FTableOffset = 0;
    FReady = false;
    MarkDirty();
}

bool TKilnArchive::OpenFile(std::string_view fileName) {
    std::string name(fileName);
    std::replace(name.begin(), name.end(), '\\', '/');
    if (name.empty()) {
        Close();
        return false;
    }
    // File names are case-sensitive here, so only an exact match is "the same archive".
    if (name == FFileName) return true;
    FFileName = name;
    return OpenCurrent();
}

bool TKilnArchive::Refresh() {
    if (FFileName.empty()) return false;
    return OpenCurrent();
}

bool TKilnArchive::OpenCurrent() {
    bool ok = false;
    switch (FOpenMode) {
    case aomUpdate:
        // An archive open for update cannot be read once archive access is locked.
        if (ArchiveAccessLocked()) break;
        if (PathExists(FFileName)) {
            ok = ReadIndex();
        } else {
            ArchiveWriteGuard guard;
            ok = guard.Allowed() && CreateEmptyFile();
        }
        break;
    case aomReadOnly:
        ok = ReadIndex();
        break;
    case aomOverwrite: {
        ArchiveWriteGuard guard;
        ok = guard.Allowed() && CreateEmptyFile();
        if (ok) FOpenMode = aomUpdate;
        break;
    }
    }
    FReady = ok;
    if (!ok) Close(); // also clears the file name
    return ok;
}

// Writes a new empty archive over the file; the caller holds the write guard.
bool TKilnArchive::CreateEmptyFile() {
    if (FOpenMode == aomReadOnly) return false;
    ArchiveFile f;
    if (!f.Open(FFileName, O_RDWR | O_CREAT, ArchiveLock::Exclusive)) return false;
    std::vector<uint8_t> header(kSignature, kSignature + 4);
    Put32(header, 0);
    Put64(header, static_cast<uint64_t>(HeaderSize));
    if (!f.Truncate(0) || !f.WriteAt(0, header.data(), header.size())) return false;
    FRecords.clear();
    MarkDirty();
    FFileSize = HeaderSize;
    FTableOffset = HeaderSize;
    return true;
}

bool TKilnArchive::ReadIndex() {
    FRecords.clear();
    MarkDirty();
    ArchiveFile f;
    if (!f.Open(FFileName, O_RDONLY, ArchiveLock::Shared)) return false;
    const int64_t size = f.Size();
    if (size < HeaderSize) return false;
    uint8_t header[HeaderSize];
    if (!f.ReadAt(0, header, sizeof header)) return false;
    if (std::memcmp(header, kSignature, 4) != 0) return false;
    const auto count = static_cast<int32_t>(Get32(header + 4));
    const auto tableOffset = static_cast<int64_t>(Get64(header + 8));
    // Every table entry needs at least 10 bytes, so a count the file cannot hold is refused
    // before anything is allocated for it.
    if (count < 0 || tableOffset < HeaderSize || tableOffset > size ||
        count > (size - tableOffset) / kMinTableEntry)
        return false;

    std::vector<TArchiveRecord> records(static_cast<std::size_t>(count));
    BufferedReader table(f, tableOffset, size);
    for (auto& r : records) {
        uint8_t len[2];
        if (!table.Read(len, 2) || !table.Read(r.Key, Get16(len))) return false;
        uint8_t off[8];
        if (!table.Read(off, 8)) return false;
        r.Offset = static_cast<int64_t>(Get64(off));
    }
    for (auto& r : records) {
        if (r.Offset < 0 || r.Offset > size - kPlainHeader) return false;
        uint8_t h[kSecureHeader];
        const std::size_t want =
            static_cast<std::size_t>(std::min<int64_t>(kSecureHeader, size - r.Offset));
        if (!f.ReadAt(r.Offset, h, want)) return false;
        r.RecordType = static_cast<TArchiveRecordType>(h[0] & 0x0F);
        r.Secure = h[0] > 15;
        r.OrigSize = Get32(h + 1);
        r.PhysSize = Get32(h + 5);
        r.DateTime = GetDouble(h + 9);
        r.Checksum = Get32(h + 17);
        if (r.Secure) {
            if (want < static_cast<std::size_t>(kSecureHeader)) return false;
            r.InitVec = Get64(h + 21);
        }
    }
    FRecords = std::move(records);
    MarkDirty();
    FFileSize = size;
    FTableOffset = tableOffset;
    return true;
}

// --- lookup ------------------------------------------------------------------------------

int TKilnArchive::IndexOf(std::string_view key) const {
    if (FSearchDirty) {
        FSearchList.resize(FRecords.size());
        for (std::size_t i = 0; i < FSearchList.size(); ++i) FSearchList[i] = static_cast<int>(i);
        // Stable, so that among keys that fold equal (only in damaged files) the first in
        // table order is found.
        std::stable_sort(FSearchList.begin(), FSearchList.end(), [this](int a, int b) {
            return AsciiCompareText(FRecords[static_cast<std::size_t>(a)].Key,
                                    FRecords[static_cast<std::size_t>(b)].Key) < 0;
        });
        FSearchDirty = false;
    }
    const auto it = std::lower_bound(
        FSearchList.begin(), FSearchList.end(), key, [this](int a, std::string_view k) {
            return AsciiCompareText(FRecords[static_cast<std::size_t>(a)].Key, k) < 0;
        });
    if (it == FSearchList.end() || !AsciiSameText(FRecords[static_cast<std::size_t>(*it)].Key, key))
        return -1;
    return *it;
}

// --- reading -----------------------------------------------------------------------------

namespace {

std::vector<std::unique_ptr<TKilnArchive>>& Overrides() {
    static std::vector<std::unique_ptr<TKilnArchive>> overrides;
    return overrides;
}

} // namespace

bool AddArchiveOverride(const std::string& fileName) {
    auto archive = std::make_unique<TKilnArchive>();
    archive->SetOpenMode(aomReadOnly);
    if (!archive->OpenFile(fileName)) return false;
    Overrides().push_back(std::move(archive));
    return true;
}

void ClearArchiveOverrides() {
    Overrides().clear();
}

bool TKilnArchive::ReadOverride(std::string_view key, std::vector<uint8_t>& data,
                                ArchiveReadResult& result) const {
    if (Overrides().empty() || FOpenMode != aomReadOnly) return false;
    for (auto it = Overrides().rbegin(); it != Overrides().rend(); ++it) {
        // An override archive reads its own records.
        if (it->get() == this) return false;
    }
    for (auto it = Overrides().rbegin(); it != Overrides().rend(); ++it) {
        const int index = (*it)->IndexOf(key);
        if (index < 0) continue;
        result = (*it)->ReadRecordAt(index, data);
        return true;
    }
    return false;
}

namespace {
// Reads may run on several threads at once; the observer hears them one at a time.
std::mutex ObserverLock;
ArchiveReadObserver& ReadObserver() {
    static ArchiveReadObserver observer;
    return observer;
}
std::atomic<bool> Observed{false};
} // namespace

void SetArchiveReadObserver(ArchiveReadObserver observer) {
    const std::lock_guard<std::mutex> hold(ObserverLock);
    Observed = static_cast<bool>(observer);
    ReadObserver() = std::move(observer);
}

ArchiveReadResult TKilnArchive::ReadRecordAt(int index, std::vector<uint8_t>& data) const {
    ArchiveReadResult r = ArchiveReadResult::Ok;
    if (const TArchiveRecord* rec = Overrides().empty() ? nullptr : Record(index);
        rec && ReadOverride(rec->Key, data, r))
        return r;
    // Whatever the buffer held is reused as space; a failed read leaves it empty.
    r = ReadInto(index, data);
    if (r != ArchiveReadResult::Ok)
        data.clear();
    else if (Observed) {
        const std::lock_guard<std::mutex> hold(ObserverLock);
        if (ReadObserver()) ReadObserver()(FFileName, RecordKey(index));
    }
    return r;
}

ArchiveReadResult TKilnArchive::ReadInto(int index, std::vector<uint8_t>& data) const {
    if (!FReady || FOpenMode == aomOverwrite) return ArchiveReadResult::Refused;
    if (FOpenMode == aomUpdate && ArchiveAccessLocked()) return ArchiveReadResult::Refused;
    const TArchiveRecord* rec = Record(index);
    if (!rec) return ArchiveReadResult::UnknownKey;
    if (rec->Secure && !FPassword) return ArchiveReadResult::SecureWithoutKey;

    // A zlib stream of n bytes cannot inflate to more than about 1032 n bytes.
    if (rec->OrigSize > uint64_t(rec->PhysSize) * kMaxInflateRatio + kInflateSlack)
        return ArchiveReadResult::ImplausibleSize;

    // The stored bytes go through a per-thread scratch buffer, kept between reads unless it
    // grew large.
    static thread_local std::vector<uint8_t> stored;
    struct ScratchTrim {
        ~ScratchTrim() {
            if (stored.capacity() > (16u << 20)) std::vector<uint8_t>().swap(stored);
        }
    } trim;
    {
        ArchiveFile f;
        if (!f.Open(FFileName, O_RDONLY, ArchiveLock::Shared)) return ArchiveReadResult::IoError;
        const int64_t size = f.Size();
        const int64_t dataPos = rec->Offset + HeaderBytes(rec->Secure);
        if (size < 0 || dataPos > size || int64_t(rec->PhysSize) > size - dataPos)
            return ArchiveReadResult::OutOfFile;
        stored.resize(rec->PhysSize);
        if (!stored.empty() && !f.ReadAt(dataPos, stored.data(), stored.size()))
            return ArchiveReadResult::IoError;
    }
    if (rec->Secure) XteaCbcDecipher(stored.data(), stored.size(), *FPassword, rec->InitVec);

    // Inflated straight into the caller's buffer, reusing its space.
    uint32_t crc = 0;
    const ArchiveReadResult r = InflateExact(stored, rec->OrigSize, data, crc);
    if (r == ArchiveReadResult::Ok && crc != rec->Checksum) return ArchiveReadResult::BadChecksum;
    return r;
}

bool TKilnArchive::ReadRecord(std::string_view key, std::vector<uint8_t>& data) const {
    if (ArchiveReadResult r; ReadOverride(key, data, r)) return r == ArchiveReadResult::Ok;
    const int index = IndexOf(key);
    if (index < 0) {
        data.clear();
        return false;
    }
    return ReadRecordAt(index, data) == ArchiveReadResult::Ok;
}

bool TKilnArchive::ReadMemStream(std::string_view key, std::vector<uint8_t>& memStream) const {
    return ReadRecord(key, memStream);
}

bool TKilnArchive::ReadStream(std::string_view key, std::ostream& stream) const {
    std::vector<uint8_t> data;
    if (!ReadRecord(key, data)) return false;
    stream.write(reinterpret_cast<const char*>(data.data()),
                 static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(stream);
}

// --- writing -----------------------------------------------------------------------------

// End of the last stored record data, as far as it lies inside the file (a damaged record
// claiming data past the end must not make a write jump far beyond it).
int64_t TKilnArchive::DataEnd() const {
    int64_t end = HeaderSize;
    for (const auto& r : FRecords)
        end = std::max(end,
                       std::min(FFileSize, r.Offset + HeaderBytes(r.Secure) + int64_t(r.PhysSize)));
    return end;
}

// Puts the previous index back into the file after a failed change: its table at its offset,
// its count and table offset in the header, and the file cut to its old size.
bool TKilnArchive::RestoreTable(const TableState& state) {
    FRecords = state.Records;
    FTableOffset = state.TableOffset;
    FFileSize = state.FileSize;
    MarkDirty();
    ArchiveFile f;
    if (!f.Open(FFileName, O_RDWR, ArchiveLock::Exclusive)) return false;
    const auto table = EncodeTable(FRecords);
    const auto head = EncodeCountAndTable(static_cast<int32_t>(FRecords.size()), FTableOffset);
    return f.WriteAt(FTableOffset, table.data(), table.size()) &&
           f.WriteAt(4, head.data(), head.size()) && f.Truncate(state.FileSize);
}

bool TKilnArchive::AppendRecord(const std::string& key, const void* source, std::size_t sourceSize,
                                TArchiveRecordType recType, TDateTime recDate) {
    if (FRecords.size() >= static_cast<std::size_t>(INT32_MAX)) return false;
    const uint32_t crc = ArchiveCrc32(source, sourceSize);

    const uint64_t bound = std::max<uint64_t>(compressBound(static_cast<uLong>(sourceSize)),
                                              (uint64_t(sourceSize) * 105 + 99) / 100 + 256);
    if (bound > UINT32_MAX) return false;
    std::vector<uint8_t> packed(static_cast<std::size_t>(bound));
    uLongf packedSize = static_cast<uLongf>(packed.size());
    static const Bytef kNothing = 0;
    if (compress2(packed.data(), &packedSize,
                  sourceSize ? static_cast<const Bytef*>(source) : &kNothing,
                  static_cast<uLong>(sourceSize), 9) != Z_OK)
        return false;
    packed.resize(packedSize);

    TArchiveRecord rec;
    rec.Key = key;
    rec.RecordType = static_cast<TArchiveRecordType>(recType & 0x0F);
    rec.OrigSize = static_cast<uint32_t>(sourceSize);
    rec.PhysSize = static_cast<uint32_t>(packed.size());
    rec.Checksum = crc;
    rec.Secure = FPassword != nullptr;
    if (rec.Secure) {
        rec.InitVec = NewInitVec();
        XteaCbcEncipher(packed.data(), packed.size(), *FPassword, rec.InitVec);
    }
    rec.DateTime = recDate == 0.0 ? DateTimeNow() : recDate;

    // Normally the table is the end of the file and the record goes over it; in a file whose
    // table lies before some record data, the record goes after the data instead.
    rec.Offset = std::max(FTableOffset, DataEnd());

    std::vector<uint8_t> tail;
    tail.reserve(kSecureHeader + packed.size());
    tail.push_back(static_cast<uint8_t>(rec.Secure ? 0xF0 + rec.RecordType : rec.RecordType));
    Put32(tail, rec.OrigSize);
    Put32(tail, rec.PhysSize);
    PutDouble(tail, rec.DateTime);
    Put32(tail, rec.Checksum);
    if (rec.Secure) Put64(tail, rec.InitVec);
    tail.insert(tail.end(), packed.begin(), packed.end());
    const int64_t newTableOffset = rec.Offset + static_cast<int64_t>(tail.size());

    const TableState previous{FRecords, FTableOffset, FFileSize};
    FRecords.push_back(rec);
    MarkDirty();
    const auto table = EncodeTable(FRecords);
    tail.insert(tail.end(), table.begin(), table.end());
    const int64_t newSize = rec.Offset + static_cast<int64_t>(tail.size());

    ArchiveFile f;
    if (!f.Open(FFileName, O_RDWR, ArchiveLock::Exclusive)) {
        FRecords.pop_back();
        MarkDirty();
        return false;
    }
    // Record and new table first; the header switches to them last.
    const auto head = EncodeCountAndTable(static_cast<int32_t>(FRecords.size()), newTableOffset);
    bool ok =
        f.WriteAt(rec.Offset, tail.data(), tail.size()) && f.WriteAt(4, head.data(), head.size());
    if (ok && f.Size() > newSize) ok = f.Truncate(newSize);
    f.Close();
    if (!ok) {
        RestoreTable(previous);
        return false;
    }
    FTableOffset = newTableOffset;
    FFileSize = newSize;
    return true;
}

bool TKilnArchive::WriteRecord(std::string_view key, const void* source, std::size_t sourceSize,
                               TArchiveRecordType recType, TDateTime recDate) {
    ArchiveWriteGuard guard;
    if (!guard.Allowed() || FOpenMode == aomReadOnly || FFileName.empty()) return false;
    if (sourceSize > UINT32_MAX || (sourceSize > 0 && source == nullptr)) return false;
    if (!PathExists(FFileName)) {
        FReady = CreateEmptyFile();
        if (!FReady) return false;
    }
    if (!FReady) return false;
    const std::string cutKey = CutKey(key);

    // A record under the same key is replaced: the new one is appended first and the old one
    // removed afterwards, so a failed write never loses the old record.
    const int old = IndexOf(cutKey);
    const TableState previous{FRecords, FTableOffset, FFileSize};
    if (!AppendRecord(cutKey, source, sourceSize, recType, recDate)) return false;
    if (old >= 0 && !RemoveAt(old)) {
        if (FFileName.empty()) return false;
        RestoreTable(previous);
        return false;
    }
    return true;
}

bool TKilnArchive::WriteStream(std::string_view key, std::istream& stream,
                               TArchiveRecordType recType, TDateTime recDate) {
    std::vector<uint8_t> bytes;
    char buf[64 * 1024];
    while (stream) {
        stream.read(buf, sizeof buf);
        const auto got = static_cast<std::size_t>(stream.gcount());
        if (bytes.size() + got > UINT32_MAX) return false;
        bytes.insert(bytes.end(), buf, buf + got);
    }
    if (stream.bad()) return false;
    return WriteRecord(key, bytes.data(), bytes.size(), recType, recDate);
}

bool TKilnArchive::RenameRecord(std::string_view key, std::string_view newKey) {
    ArchiveWriteGuard guard;
    if (!guard.Allowed() || FOpenMode != aomUpdate || !FReady) return false;
    const int index = IndexOf(key);
    if (index < 0) return false;
    const std::string cutKey = CutKey(newKey);
    const int clash = IndexOf(cutKey);
    // Another record under the new key blocks the rename; the record itself does not, so a
    // key's letter case can be changed.
    if (clash >= 0 && clash != index) return false;

    const TableState previous{FRecords, FTableOffset, FFileSize};
    FRecords[static_cast<std::size_t>(index)].Key = cutKey;
    MarkDirty();
    const int64_t at = std::max(FTableOffset, DataEnd());
    const auto table = EncodeTable(FRecords);
    const int64_t newSize = at + static_cast<int64_t>(table.size());
    ArchiveFile f;
    if (!f.Open(FFileName, O_RDWR, ArchiveLock::Exclusive)) {
        FRecords = previous.Records;
        MarkDirty();
        return false;
    }
    const auto head = EncodeCountAndTable(static_cast<int32_t>(FRecords.size()), at);
    bool ok = f.WriteAt(at, table.data(), table.size()) && f.WriteAt(4, head.data(), head.size());
    if (ok && f.Size() > newSize) ok = f.Truncate(newSize);
    f.Close();
    if (!ok) {
        RestoreTable(previous);
        return false;
    }
    FTableOffset = at;
    FFileSize = newSize;
    return true;
}

bool TKilnArchive::RemoveRecord(std::string_view key) {
    ArchiveWriteGuard guard;
    if (!guard.Allowed()) return false;
    return RemoveAt(IndexOf(key));
}

// Rewrites the archive without one record; the caller holds the write guard.
bool TKilnArchive::RemoveAt(int index) {
    if (FOpenMode != aomUpdate || !FReady || index < 0 || index >= RecordCount()) return false;
    const std::string tempName = FolderOf(FFileName) + "/" + kTempName;
    bool ok = true;
    {
        ArchiveFile src;
        if (!src.Open(FFileName, O_RDONLY, ArchiveLock::Shared)) return false;
        const int64_t srcSize = src.Size();
        ArchiveFile dst;
        if (!dst.Open(tempName, O_RDWR | O_CREAT | O_TRUNC, ArchiveLock::Exclusive)) return false;

        std::vector<TArchiveRecord> kept;
        kept.reserve(FRecords.size() - 1);
        std::vector<uint8_t> head(kSignature, kSignature + 4);
        Put32(head, static_cast<uint32_t>(FRecords.size() - 1));
        Put64(head, static_cast<uint64_t>(HeaderSize));
        ok = dst.WriteAt(0, head.data(), head.size());
        int64_t pos = HeaderSize;
        std::vector<uint8_t> buf;
        for (std::size_t i = 0; ok && i < FRecords.size(); ++i) {
            if (static_cast<int>(i) == index) continue;
            TArchiveRecord r = FRecords[i];
            const int64_t len = HeaderBytes(r.Secure) + int64_t(r.PhysSize);
            if (r.Offset < 0 || r.Offset > srcSize || len > srcSize - r.Offset) {
                ok = false;
                break;
            }
            for (int64_t done = 0; ok && done < len;) {
                const auto chunk = static_cast<std::size_t>(std::min<int64_t>(len - done, 1 << 20));
                buf.resize(chunk);
                ok = src.ReadAt(r.Offset + done, buf.data(), chunk) &&
                     dst.WriteAt(pos + done, buf.data(), chunk);
                done += static_cast<int64_t>(chunk);
            }
            r.Offset = pos;
            pos += len;
            kept.push_back(std::move(r));
        }
        if (ok) {
            const auto table = EncodeTable(kept);
            std::vector<uint8_t> offset;
            Put64(offset, static_cast<uint64_t>(pos));
            ok = dst.WriteAt(pos, table.data(), table.size()) &&
                 dst.WriteAt(8, offset.data(), offset.size());
        }
        ok = ok && dst.Sync();
    }
    // The rename replaces the old archive in one step, so there is no moment without it.
    if (!ok) {
        ::unlink(tempName.c_str());
        return false;
    }
    if (!CommitFile(tempName, FFileName)) return false;
    const bool reread = ReadIndex();
    FReady = reread;
    if (!reread) Close();
    return reread;
}

} // namespace bw
