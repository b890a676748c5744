#include "DanCommands.h"

#include "data/KilnFonts.h"
#include "data/XmlLoad.h"

#include <iostream>
#include <set>

namespace bw::dan {

extern const DanCommand FontInfoCommand;

namespace {

int RunFontInfo(const ArgList& args) {
    const DanCommand& cmd = FontInfoCommand;
    const auto parsed = ParseArgs(cmd, args, {});
    if (!parsed) return kExitUsage;
    if (parsed->Help) return PrintHelp(cmd);
    if (parsed->Positional.size() != 2) return UsageError(cmd, "expected ARCHIVE KEY");
    const std::string& key = parsed->Positional[1];
    std::vector<uint8_t> bytes;
    if (!ReadArchiveRecord(cmd, parsed->Positional[0], key, bytes)) return kExitFailure;
    const auto tree = XMLFromBytes(bytes.data(), bytes.size());
    if (!tree) return Report(cmd, Printable(key) + ": not a valid document");
    const FontDescription desc = ReadFontDescription(*tree);
    // A later item for the same code replaces an earlier one, as in the game.
    std::vector<LetterEntry> table(TKilnFont::EntryCount);
    std::set<char16_t> codes;
    for (const FontGlyph& g : desc.Glyphs) {
        table[g.Code] = g.Entry;
        codes.insert(g.Code);
    }
    int drawn = 0;
    for (const char16_t c : codes) drawn += table[c].HasGlyph() ? 1 : 0;
    std::cout << "font size\t" << desc.FontSize.x << "x" << desc.FontSize.y << "\n"
              << "glyphs\t" << drawn << "\n";
    if (static_cast<int>(codes.size()) != drawn)
        std::cout << "empty glyphs\t" << codes.size() - static_cast<std::size_t>(drawn) << "\n";
    std::cout.flush();
    return std::cout ? kExitOk : Report(cmd, "cannot write to standard output");
}

} // namespace

const DanCommand FontInfoCommand{
    "font-info", "print the cell size and glyph count of a font description",
    "usage: dan font-info ARCHIVE KEY\n"
    "\n"
    "Reads the font description KEY as the game does and prints the font's cell size and\n"
    "the number of glyphs it draws (codes with a rectangle of positive width and height).\n"
    "Codes listed without such a rectangle, which draw as whitespace, are counted on an\n"
    "\"empty glyphs\" line.\n",
    RunFontInfo};

} // namespace bw::dan
