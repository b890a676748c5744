#include "DanCommands.h"

namespace bw::dan {

namespace {

int RunRemove(const ArgList& args) {
    const auto parsed = ParseArgs(RemoveCommand, args, {});
    if (!parsed) return kExitUsage;
    if (parsed->Help) return PrintHelp(RemoveCommand);
    if (parsed->Positional.size() < 2) return UsageError(RemoveCommand, "expected ARCHIVE KEY...");
    TKilnArchive archive;
    if (!OpenArchive(RemoveCommand, archive, parsed->Positional[0], aomUpdate)) return kExitFailure;
    for (std::size_t i = 1; i < parsed->Positional.size(); ++i) {
        const std::string& key = parsed->Positional[i];
        if (archive.IndexOf(key) < 0)
            return Report(RemoveCommand, "no record '" + Printable(key) + "'");
        if (!archive.RemoveRecord(key))
            return Report(RemoveCommand, "cannot remove '" + Printable(key) + "'");
    }
    return kExitOk;
}

int RunMove(const ArgList& args) {
    const auto parsed = ParseArgs(MoveCommand, args, {});
    if (!parsed) return kExitUsage;
    if (parsed->Help) return PrintHelp(MoveCommand);
    if (parsed->Positional.size() != 3)
        return UsageError(MoveCommand, "expected ARCHIVE KEY NEWKEY");
    TKilnArchive archive;
    if (!OpenArchive(MoveCommand, archive, parsed->Positional[0], aomUpdate)) return kExitFailure;
    const std::string& key = parsed->Positional[1];
    const std::string& newKey = parsed->Positional[2];
    const int index = archive.IndexOf(key);
    if (index < 0) return Report(MoveCommand, "no record '" + Printable(key) + "'");
    const int clash = archive.IndexOf(newKey);
    if (clash >= 0 && clash != index)
        return Report(MoveCommand, "a record '" + Printable(newKey) + "' already exists");
    if (!archive.RenameRecord(key, newKey))
        return Report(MoveCommand, "cannot rename '" + Printable(key) + "'");
    return kExitOk;
}

} // namespace

const DanCommand RemoveCommand{"rm", "remove records",
                               "usage: dan rm ARCHIVE KEY...\n"
                               "\n"
                               "Removes the records (the archive is rewritten without them).\n",
                               RunRemove};

const DanCommand MoveCommand{"mv", "rename a record",
                             "usage: dan mv ARCHIVE KEY NEWKEY\n"
                             "\n"
                             "Renames a record; fails when another record has the key NEWKEY.\n",
                             RunMove};

} // namespace bw::dan
