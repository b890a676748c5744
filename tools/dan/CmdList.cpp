#include "DanCommands.h"

#include <cstdio>
#include <iostream>

namespace bw::dan {

namespace {

int RunList(const ArgList& args) {
    const auto parsed = ParseArgs(ListCommand, args, {});
    if (!parsed) return kExitUsage;
    if (parsed->Help) return PrintHelp(ListCommand);
    if (parsed->Positional.size() != 1) return UsageError(ListCommand, "expected ARCHIVE");
    TKilnArchive archive;
    if (!OpenArchive(ListCommand, archive, parsed->Positional[0], aomReadOnly)) return kExitFailure;
    for (int i = 0; i < archive.RecordCount(); ++i) {
        const TArchiveRecord& r = *archive.Record(i);
        char crc[16];
        std::snprintf(crc, sizeof crc, "%08x", r.Checksum);
        std::cout << Printable(r.Key) << '\t' << RecordTypeName(r.RecordType) << '\t' << r.OrigSize
                  << '\t' << r.PhysSize << '\t' << crc << '\t' << DateTimeToIso(r.DateTime) << '\t'
                  << (r.Secure ? "secure" : "plain") << '\n';
    }
    std::cout.flush();
    return std::cout ? kExitOk : kExitFailure;
}

} // namespace

const DanCommand ListCommand{
    "list", "one line per record of an archive",
    "usage: dan list ARCHIVE\n"
    "\n"
    "Prints one line per record, in table order, with tab-separated columns:\n"
    "key, type (file, image, font), original size, stored size, CRC-32 (hex),\n"
    "date (ISO 8601, local time) and 'secure' or 'plain'.\n",
    RunList};

} // namespace bw::dan
