#include "DanCommands.h"

#include <iostream>

namespace bw::dan {

namespace {

int RunVerify(const ArgList& args) {
    const auto parsed = ParseArgs(VerifyCommand, args, {});
    if (!parsed) return kExitUsage;
    if (parsed->Help) return PrintHelp(VerifyCommand);
    if (parsed->Positional.size() != 1) return UsageError(VerifyCommand, "expected ARCHIVE");
    const std::string& path = parsed->Positional[0];
    TKilnArchive archive;
    if (!OpenArchive(VerifyCommand, archive, path, aomReadOnly)) return kExitFailure;
    int bad = 0;
    std::vector<uint8_t> data;
    for (int i = 0; i < archive.RecordCount(); ++i) {
        const auto result = archive.ReadRecordAt(i, data);
        if (result == ArchiveReadResult::Ok) continue;
        ++bad;
        Report(VerifyCommand, path + ": " + Printable(archive.RecordKey(i)) + ": " +
                                  ArchiveReadResultText(result));
    }
    if (bad) {
        return Report(VerifyCommand, path + ": " + std::to_string(bad) + " of " +
                                         std::to_string(archive.RecordCount()) +
                                         " records are bad");
    }
    std::cout << path << ": " << archive.RecordCount() << " records OK\n";
    return kExitOk;
}

} // namespace

const DanCommand VerifyCommand{
    "verify", "read every record and check its size and CRC",
    "usage: dan verify ARCHIVE\n"
    "\n"
    "Reads every record, checking that it inflates to its original size and matches its\n"
    "CRC-32. Each bad record is named on standard error and the exit status is 1.\n"
    "Enciphered records cannot be checked and count as bad.\n",
    RunVerify};

} // namespace bw::dan
