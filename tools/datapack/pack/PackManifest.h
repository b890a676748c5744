// The manifest: every archive record the game asks for, one row per key, and the check of
// built archives against it.
//
// File format: UTF-8 text, one row per line, fields separated by tabs; "#" starts a comment
// line; a row whose first field is "status" is the header. Fields:
//   status   required | planned   (only required rows fail a check)
//   archive  archive file name, "Common.dan"
//   key      record key; "Text.xml#words/Name" asks for the element words/Name inside the
//            XML record Text.xml
//   kind     image | font | xml | particle | sound | music | ambience | file
//   pattern  images: cell size "WxH", either side may be "*"; "*" = any
//   count    images: pattern count "N", at least "N+" or "*"
//   visible  images: visible size like pattern
//   notes    free text
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace bw::pack {

struct ManifestRow {
    int Line = 0;
    bool Required = false;
    std::string Archive, Key, Kind, Pattern = "*", Count = "*", Visible = "*", Notes;
};

bool ReadManifest(const std::filesystem::path& file, std::vector<ManifestRow>& rows,
                  std::string& error);

// Checks one row against the archives in outDir. Empty result = fine; otherwise the problem.
std::string CheckManifestRow(const ManifestRow& row, const std::filesystem::path& outDir);

// "datapack verify": reports each problem of a required row (and, with `all`, of a planned
// row) on `out`, then a summary. Returns 1 when a required row has a problem, else 0.
int RunVerify(const std::filesystem::path& manifest, const std::filesystem::path& outDir, bool all,
              std::ostream& out, std::ostream& err);

} // namespace bw::pack
