#include "DanCommands.h"

#include "data/AsciiText.h"

#include <filesystem>
#include <set>

namespace bw::dan {

namespace {

// create and add share everything but the open mode.
int AddFiles(const DanCommand& cmd, const ArgList& args, TArchiveOpenMode mode) {
    const auto parsed = ParseArgs(cmd, args, {"key", "type", "date"});
    if (!parsed) return kExitUsage;
    if (parsed->Help) return PrintHelp(cmd);
    if (parsed->Positional.size() < 2) return UsageError(cmd, "expected ARCHIVE FILE...");
    const auto key = parsed->Get("key");
    if (key && parsed->Positional.size() != 2)
        return UsageError(cmd, "--key needs exactly one FILE");

    TArchiveRecordType type = artFile;
    if (const auto t = parsed->Get("type")) {
        const auto p = ParseRecordType(*t);
        if (!p) return UsageError(cmd, "unknown --type '" + *t + "' (file, image or font)");
        type = *p;
    }
    TDateTime date = 0.0; // now
    if (const auto d = parsed->Get("date")) {
        const auto p = IsoToDateTime(*d);
        if (!p) return UsageError(cmd, "bad --date '" + *d + "' (YYYY-MM-DD[THH:MM[:SS]])");
        date = *p == 0.0 ? 1e-9 : *p; // 0 would mean "now"
    }

    // Read every file and check the keys before the archive is touched.
    struct InputFile {
        std::string Key;
        std::vector<uint8_t> Bytes;
    };
    std::vector<InputFile> inputs;
    std::vector<std::string> seen;
    for (std::size_t i = 1; i < parsed->Positional.size(); ++i) {
        const std::string& file = parsed->Positional[i];
        auto bytes = ReadWholeFile(file);
        if (!bytes) return Report(cmd, "cannot read file '" + file + "'");
        if (bytes->size() > UINT32_MAX) return Report(cmd, "file '" + file + "' is too large");
        std::string k = key ? *key : std::filesystem::path(file).filename().string();
        k = TKilnArchive::CutKey(k);
        for (const auto& s : seen)
            if (AsciiSameText(s, k)) return Report(cmd, "two files for key '" + Printable(k) + "'");
        seen.push_back(k);
        inputs.push_back({std::move(k), std::move(*bytes)});
    }

    TKilnArchive archive;
    if (!OpenArchive(cmd, archive, parsed->Positional[0], mode)) return kExitFailure;
    for (const auto& in : inputs) {
        if (!archive.WriteRecord(in.Key, in.Bytes.data(), in.Bytes.size(), type, date))
            return Report(cmd, "cannot write record '" + Printable(in.Key) + "'");
    }
    return kExitOk;
}

int RunCreate(const ArgList& args) {
    return AddFiles(CreateCommand, args, aomOverwrite);
}
int RunAdd(const ArgList& args) {
    return AddFiles(AddCommand, args, aomUpdate);
}

#define DAN_ADD_OPTIONS                                                                            \
    "options:\n"                                                                                   \
    "  --key NAME      record key (only with one FILE; default: the file's name)\n"                \
    "  --type TYPE     record type: file (default), image or font\n"                               \
    "  --date ISO8601  time stamp YYYY-MM-DD[THH:MM[:SS]] (default: now); a fixed date\n"          \
    "                  makes the archive reproducible byte for byte\n"

} // namespace

const DanCommand CreateCommand{
    "create", "make a new archive from files",
    "usage: dan create ARCHIVE FILE... [--key NAME] [--type TYPE] [--date ISO8601]\n"
    "\n"
    "Creates ARCHIVE anew (replacing any old file) with one record per FILE, in the order\n"
    "given.\n"
    "\n" DAN_ADD_OPTIONS,
    RunCreate};

const DanCommand AddCommand{
    "add", "add or replace records",
    "usage: dan add ARCHIVE FILE... [--key NAME] [--type TYPE] [--date ISO8601]\n"
    "\n"
    "Adds one record per FILE to ARCHIVE (created when missing); a record with the same\n"
    "key (ASCII letter case ignored) is replaced.\n"
    "\n" DAN_ADD_OPTIONS,
    RunAdd};

} // namespace bw::dan
