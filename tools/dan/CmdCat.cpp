#include "DanCommands.h"

#include <iostream>

namespace bw::dan {

namespace {

int RunCat(const ArgList& args) {
    const auto parsed = ParseArgs(CatCommand, args, {});
    if (!parsed) return kExitUsage;
    if (parsed->Help) return PrintHelp(CatCommand);
    if (parsed->Positional.size() != 2) return UsageError(CatCommand, "expected ARCHIVE KEY");
    TKilnArchive archive;
    if (!OpenArchive(CatCommand, archive, parsed->Positional[0], aomReadOnly)) return kExitFailure;
    const std::string& key = parsed->Positional[1];
    const int index = archive.IndexOf(key);
    if (index < 0) return Report(CatCommand, "no record '" + Printable(key) + "'");
    std::vector<uint8_t> data;
    const auto result = archive.ReadRecordAt(index, data);
    if (result != ArchiveReadResult::Ok)
        return Report(CatCommand, Printable(key) + ": " + ArchiveReadResultText(result));
    std::cout.write(reinterpret_cast<const char*>(data.data()),
                    static_cast<std::streamsize>(data.size()));
    std::cout.flush();
    return std::cout ? kExitOk : Report(CatCommand, "cannot write to standard output");
}

} // namespace

const DanCommand CatCommand{"cat", "write one record's bytes to standard output",
                            "usage: dan cat ARCHIVE KEY\n"
                            "\n"
                            "Writes the uncompressed bytes of the record KEY (letter case of\n"
                            "ASCII letters ignored) to standard output.\n",
                            RunCat};

} // namespace bw::dan
