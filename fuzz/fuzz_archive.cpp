// Opens an archive made of arbitrary bytes, reads every record, and checks that writing to any
// archive that opens leaves a readable archive behind.
#include "data/KilnArchive.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The folder for the input file, removed at exit. Kept in a plain array, which needs no
// destructor, so the exit handler can still read it.
char gWorkDir[256];

void RemoveWorkDir() {
    std::error_code ec;
    std::filesystem::remove_all(gWorkDir, ec);
}

// A RAM-backed folder where there is one: truncating files on a disk can cost milliseconds per
// input.
const char* WorkDir() {
    if (gWorkDir[0] == 0) {
        for (const char* base : {"/dev/shm", "/tmp"}) {
            std::snprintf(gWorkDir, sizeof gWorkDir, "%s/fuzz_archive-XXXXXX", base);
            if (::mkdtemp(gWorkDir)) {
                std::atexit(RemoveWorkDir);
                return gWorkDir;
            }
        }
        std::abort();
    }
    return gWorkDir;
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "property violated: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace bw;
    const std::string path = std::string(WorkDir()) + "/input.dan";
    WriteFile(path, data, size);

    TKilnArchive archive;
    archive.SetOpenMode(aomReadOnly);
    if (!archive.OpenFile(path)) {
        Check(archive.RecordCount() == 0 && !archive.Ready(), "failed open leaves records");
        return 0;
    }
    std::vector<uint8_t> record;
    for (int i = 0; i < archive.RecordCount(); ++i) {
        const TArchiveRecord* r = archive.Record(i);
        const auto result = archive.ReadRecordAt(i, record);
        Check(result == ArchiveReadResult::Ok ? record.size() == r->OrigSize : record.empty(),
              "read handed over data of the wrong size");
        if (result == ArchiveReadResult::Ok)
            Check(ArchiveCrc32(record.data(), record.size()) == r->Checksum,
                  "read handed over data with a wrong CRC");
        Check(archive.IndexOf(r->Key) >= 0, "a stored key is not found");
    }

    // Writing into an archive that opened must leave one that opens and reads the new record.
    // The writes touch the file system several times, so only a quarter of the inputs (picked
    // by their CRC) take this path.
    if (size > 64 * 1024 || (ArchiveCrc32(data, size) & 3) != 0) return 0;
    TKilnArchive update;
    if (!update.OpenFile(path)) return 0;
    const int before = update.RecordCount();
    const std::string payload = "fuzz payload";
    if (update.WriteRecord("fuzz.key", payload.data(), payload.size(), artFile, 1.0)) {
        TKilnArchive check;
        check.SetOpenMode(aomReadOnly);
        Check(check.OpenFile(path), "archive does not open after a write");
        std::vector<uint8_t> back;
        Check(check.ReadRecord("FUZZ.KEY", back), "written record cannot be read");
        Check(std::string(back.begin(), back.end()) == payload, "written record differs");
    }
    if (before > 0 && update.RemoveRecord(update.RecordKey(0))) {
        TKilnArchive check;
        check.SetOpenMode(aomReadOnly);
        Check(check.OpenFile(path), "archive does not open after a removal");
    }
    return 0;
}
