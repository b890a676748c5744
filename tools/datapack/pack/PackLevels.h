// The level check: "datapack check-levels". Reads level files and the level list the way the
// game does and reports every value that the game would silently ignore, misread or choke on
// (unknown codes, rows of the wrong length, objects on missing cells, kinds without pictures,
// settings that would carry over from the level played before, missing level files), each
// with its file and line.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace bw::pack {

// Line of every start tag, in document order (the order of a pre-order walk of the parsed
// tree). Comments, processing instructions, doctype lines and end tags are skipped.
std::vector<int> StartTagLines(std::string_view text);

// "datapack check-levels": every FILE is a level file or a level list (told apart by the
// root element); a list's level files are checked too. `levelsDir` defaults to the list's
// own folder; `manifest` (optional) names the level files that are planned, not yet written.
// The levels of a list are also checked against the location each is played in, read from
// `locationsDir` (default: "tData_Locations" beside the levels folder, when there is one): their
// cells must lie on the location's board, one-way cells only where its layout has arrows, and a
// boss on two cells of one height.
// Reports "FILE:LINE: message" on `out`. Returns 0 when nothing was found, 1 otherwise.
int RunCheckLevels(const std::vector<std::string>& files, const std::string& levelsDir,
                   const std::string& manifest, std::ostream& out, std::ostream& err,
                   const std::string& locationsDir = {});

} // namespace bw::pack
