#include "DanCommands.h"

#include "data/XmlLoad.h"

#include <iostream>

namespace bw::dan {

namespace {

int RunXml(const ArgList& args) {
    const auto parsed = ParseArgs(XmlCommand, args, {});
    if (!parsed) return kExitUsage;
    if (parsed->Help) return PrintHelp(XmlCommand);
    const auto& pos = parsed->Positional;
    std::unique_ptr<TXMLNode> tree;
    if (pos.size() == 1) {
        if (!ReadWholeFile(pos[0])) return Report(XmlCommand, "cannot read file '" + pos[0] + "'");
        tree = XMLFromFile(pos[0]);
        if (!tree) return Report(XmlCommand, pos[0] + ": not a valid document");
    } else if (pos.size() == 2) {
        TKilnArchive archive;
        if (!OpenArchive(XmlCommand, archive, pos[0], aomReadOnly)) return kExitFailure;
        const int index = archive.IndexOf(pos[1]);
        if (index < 0) return Report(XmlCommand, "no record '" + Printable(pos[1]) + "'");
        std::vector<uint8_t> data;
        const auto result = archive.ReadRecordAt(index, data);
        if (result != ArchiveReadResult::Ok)
            return Report(XmlCommand, Printable(pos[1]) + ": " + ArchiveReadResultText(result));
        tree = XMLFromBytes(data.data(), data.size());
        if (!tree) return Report(XmlCommand, Printable(pos[1]) + ": not a valid document");
    } else {
        return UsageError(XmlCommand, "expected FILE or ARCHIVE KEY");
    }
    tree->WriteCode(std::cout);
    std::cout.flush();
    return std::cout ? kExitOk : Report(XmlCommand, "cannot write to standard output");
}

} // namespace

const DanCommand XmlCommand{
    "xml", "parse an XML file or record and print it",
    "usage: dan xml FILE\n"
    "       dan xml ARCHIVE KEY\n"
    "\n"
    "Parses the document as the game does and prints the tree it keeps (elements and\n"
    "attributes; character data and comments are dropped). Exits with 1 when the parse\n"
    "fails.\n",
    RunXml};

} // namespace bw::dan
