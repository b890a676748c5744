#include "DanCommands.h"

#include <filesystem>
#include <fstream>
#include <iostream>

namespace bw::dan {

namespace {

// The path below the target folder for a key: "\" and "/" both separate folders. Keys that
// would leave the folder (absolute paths, "." or ".." parts, empty parts) or hold a NUL byte
// are refused.
std::optional<std::filesystem::path> KeyToPath(const std::string& key) {
    if (key.empty() || key.find('\0') != std::string::npos) return std::nullopt;
    std::filesystem::path path;
    std::string part;
    auto flush = [&]() -> bool {
        if (part.empty() || part == "." || part == "..") return false;
        path /= part;
        part.clear();
        return true;
    };
    for (const char c : key) {
        if (c == '/' || c == '\\') {
            if (!flush()) return std::nullopt;
        } else {
            part.push_back(c);
        }
    }
    if (!flush()) return std::nullopt;
    return path;
}

int RunExtract(const ArgList& args) {
    const auto parsed = ParseArgs(ExtractCommand, args, {"dir"});
    if (!parsed) return kExitUsage;
    if (parsed->Help) return PrintHelp(ExtractCommand);
    if (parsed->Positional.empty()) return UsageError(ExtractCommand, "expected ARCHIVE");
    const std::filesystem::path dir = parsed->Get("dir").value_or(".");
    TKilnArchive archive;
    if (!OpenArchive(ExtractCommand, archive, parsed->Positional[0], aomReadOnly))
        return kExitFailure;

    std::vector<int> indices;
    if (parsed->Positional.size() == 1) {
        for (int i = 0; i < archive.RecordCount(); ++i) indices.push_back(i);
    } else {
        for (std::size_t k = 1; k < parsed->Positional.size(); ++k) {
            const int index = archive.IndexOf(parsed->Positional[k]);
            if (index < 0)
                return Report(ExtractCommand,
                              "no record '" + Printable(parsed->Positional[k]) + "'");
            indices.push_back(index);
        }
    }

    int failures = 0;
    for (const int index : indices) {
        const std::string key = archive.RecordKey(index);
        const auto rel = KeyToPath(key);
        if (!rel) {
            Report(ExtractCommand, Printable(key) + ": key is not a safe file name, skipped");
            ++failures;
            continue;
        }
        std::vector<uint8_t> data;
        const auto result = archive.ReadRecordAt(index, data);
        if (result != ArchiveReadResult::Ok) {
            Report(ExtractCommand, Printable(key) + ": " + ArchiveReadResultText(result));
            ++failures;
            continue;
        }
        const std::filesystem::path target = dir / *rel;
        std::error_code ec;
        std::filesystem::create_directories(target.parent_path(), ec);
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data.data()),
                  static_cast<std::streamsize>(data.size()));
        out.close();
        if (!out) {
            Report(ExtractCommand, "cannot write '" + target.string() + "'");
            ++failures;
        }
    }
    return failures ? kExitFailure : kExitOk;
}

} // namespace

const DanCommand ExtractCommand{
    "extract", "write records to files",
    "usage: dan extract ARCHIVE [KEY...] [-C DIR]\n"
    "\n"
    "Writes the named records (all records without KEY) as files below DIR (default: the\n"
    "current folder). A key's \"\\\" and \"/\" separate folders; keys that would leave DIR\n"
    "are skipped with an error.\n",
    RunExtract};

} // namespace bw::dan
