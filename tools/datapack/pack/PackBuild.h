// Building archives from their source folders. Builds are reproducible byte for byte: records
// are written in key order with one fixed date, and nothing depends on the clock, the locale
// or the order of directory listings.
#pragma once

#include "data/ArchiveDateTime.h"
#include "data/KilnImages.h"
#include "pack/PackDescription.h"

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace bw::pack {

// The date every built record carries (2024-01-01 00:00).
TDateTime BuildRecordDate();

// Renders every stored frame of an image item (SVG template or drawing program), converts the
// pixels to straight alpha, bleeds each cell's edges and cuts the sheet into textures.
bool RenderImageItem(const ArchiveDescription& archive, const ImageItem& item, TKilnImageData& out,
                     std::string& error);

struct BuildResult {
    int Records = 0;
    double Seconds = 0;
};

// Builds one archive into `outFile` (written beside it under a temporary name first, so a
// failed build never leaves a half-written archive in place).
bool BuildArchive(const ArchiveDescription& archive, const std::filesystem::path& outFile,
                  BuildResult& result, std::string& error);

// The archive source folders of a data folder: every subfolder holding "archive.xml", sorted.
std::vector<std::filesystem::path> ArchiveFolders(const std::filesystem::path& dataDir);

// "datapack build": every archive of dataDir (or only the named ones) into outDir. Progress
// goes to `log`, warnings and errors to `err`. Returns the exit status.
int RunBuild(const std::filesystem::path& dataDir, const std::filesystem::path& outDir,
             const std::vector<std::string>& only, std::ostream& log, std::ostream& err);

} // namespace bw::pack
