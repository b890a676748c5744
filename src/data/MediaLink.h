// Media links name a resource either by a file path relative to the program's folder
// ("Data/Levels.xml") or by an archive path and a record key separated by the first "|"
// ("Data\Fonts.dan | Toon.xml"). Both "/" and "\" separate folders in a link; file paths
// are returned with "/", item names (catalogue names) with "\".
#pragma once

#include <string>
#include <string_view>

namespace bw {

// True when the link's first "|" is neither its first nor its last character.
bool IsArchiveLink(std::string_view link);
// The file named by the part before the first "|" (the whole link without one): an alias's
// file name, or the path resolved against the program's folder.
std::string LinkArchivePath(std::string_view link);
// The part after the first "|", trimmed (empty without one).
std::string LinkKey(std::string_view link);
// The part before the first "|" with "/" turned into "\", trimmed, one leading "\" dropped.
std::string LinkItemName(std::string_view link);

// The folder that relative links start from, ending in "/": the one holding "Data". It is
// the running executable's folder unless SetProgramFolder chose another (an installed game
// keeps its data apart from the executable).
const std::string& ProgramFolder();
void SetProgramFolder(const std::string& folder);

} // namespace bw
