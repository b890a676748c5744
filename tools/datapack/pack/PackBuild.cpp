#include "pack/PackBuild.h"

#include "data/ImageRecord.h"
#include "data/KilnArchive.h"
#include "data/KilnFonts.h"
#include "data/Xml.h"
#include "data/XmlLoad.h"
#include "pack/PackDrawings.h"
#include "pack/PackFonts.h"
#include "pack/PackPixels.h"
#include "pack/PackSound.h"
#include "pack/PackSvg.h"

#include <algorithm>
#include <cairo.h>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <ostream>
#include <sstream>

namespace bw::pack {

namespace fs = std::filesystem;

TDateTime BuildRecordDate() {
    static const TDateTime date = EncodeDateTime(DateTimeParts{2024, 1, 1, 0, 0, 0, 0}).value();
    return date;
}

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool ReadWholeFile(const fs::path& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// One frame's premultiplied pixels from a drawing program.
bool DrawFrame(const DrawingEntry& program, const ImageItem& item, int frame,
               std::vector<uint32_t>& pixels, std::string& error) {
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, item.Pattern.x, item.Pattern.y);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        error = "cannot create a drawing surface";
        return false;
    }
    cairo_t* cr = cairo_create(surface);
    DrawContext context;
    context.Width = item.Pattern.x;
    context.Height = item.Pattern.y;
    context.Frame = frame;
    context.Frames = static_cast<int>(item.Frames.size());
    context.Seed = item.Seed;
    context.Params = &item.Frames[static_cast<std::size_t>(frame)];
    const bool ok = program.Run(cr, context, error);
    cairo_destroy(cr);
    if (ok) pixels = SurfacePixels(surface);
    cairo_surface_destroy(surface);
    return ok;
}

} // namespace

bool RenderImageItem(const ArchiveDescription& archive, const ImageItem& item, TKilnImageData& out,
                     std::string& error) {
    const DrawingEntry* program = nullptr;
    std::string svgText;
    const fs::path svgPath = archive.Folder / item.Svg;
    if (!item.Draw.empty()) {
        program = FindDrawingProgram(item.Draw);
        if (!program) {
            error = "no drawing program \"" + item.Draw + "\" (datapack drawings lists them)";
            return false;
        }
    } else if (!ReadWholeFile(svgPath, svgText)) {
        error = "cannot read " + svgPath.string();
        return false;
    }

    const TPoint2px cell = item.Pattern;
    const int count = item.Count;
    // As few rows as the widest texture allows, then the cells spread evenly over them: a
    // last row filled only in part would be texture memory that holds nothing.
    const int widest = std::max(1, std::min(count, MaxImportTextureSize / cell.x));
    const int rows = (count + widest - 1) / widest;
    const int columns = (count + rows - 1) / rows;
    Picture sheet;
    sheet.width = columns * cell.x;
    sheet.height = rows * cell.y;
    sheet.argb.assign(
        static_cast<std::size_t>(sheet.width) * static_cast<std::size_t>(sheet.height), 0u);

    std::vector<uint32_t> pixels;
    std::string text;
    for (int f = 0; f < count; ++f) {
        const std::string frameName = "frame " + std::to_string(f);
        if (program) {
            if (!DrawFrame(*program, item, f, pixels, error)) {
                error = "drawing \"" + item.Draw + "\", " + frameName + ": " + error;
                return false;
            }
        } else {
            if (!SubstituteTemplate(svgText, item.Frames[static_cast<std::size_t>(f)], text,
                                    error)) {
                error = svgPath.string() + ": " + error;
                return false;
            }
            if (!RenderSvg(text, svgPath.string(), cell, pixels, error)) {
                error = svgPath.string() + " (" + frameName + "): " + error;
                return false;
            }
        }
        StraightFromPremultiplied(pixels);
        BleedEdges(cell.x, cell.y, pixels);
        const int x0 = (f % columns) * cell.x;
        const int y0 = (f / columns) * cell.y;
        for (int y = 0; y < cell.y; ++y) {
            std::copy_n(pixels.begin() + static_cast<std::ptrdiff_t>(y) * cell.x, cell.x,
                        sheet.argb.begin() + static_cast<std::ptrdiff_t>(y0 + y) * sheet.width +
                            x0);
        }
    }
    if (!ImageDataFromSheet(sheet, cell, item.Visible, count, out, &error)) return false;
    out.Name = item.Key;
    return true;
}

namespace {

struct RecordJob {
    std::string Key;
    std::string Where;
    // Produces the record's bytes and type.
    std::function<bool(std::vector<uint8_t>&, TArchiveRecordType&, std::string&)> Make;
    // The job's errors begin with the source file they are about (and its line), so they are
    // reported as they are rather than under the archive description's item.
    bool ErrorsNameTheSource = false;
};

bool EndsWithXml(std::string_view name) {
    return name.size() >= 4 && Lower(name.substr(name.size() - 4)) == ".xml";
}

// A copied record that the game reads as XML must parse: the game would otherwise drop the
// whole document without a word. The error is "file:line: what is wrong".
bool CheckXmlSource(const fs::path& source, const std::vector<uint8_t>& bytes, std::string& error) {
    XmlParseError why;
    if (XMLFromBytes(bytes.data(), bytes.size(), &why)) return true;
    error = source.string() + ":" + std::to_string(why.Line) + ": " + why.What;
    return false;
}

bool EncodeImage(const TKilnImageData& image, std::vector<uint8_t>& bytes, std::string& error) {
    return EncodeImageRecord(image, bytes, &error);
}

} // namespace

bool BuildArchive(const ArchiveDescription& archive, const fs::path& outFile, BuildResult& result,
                  std::string& error) {
    const auto start = std::chrono::steady_clock::now();
    result = BuildResult{};

    // Fonts make two records from one rendering; it is shared through this cache.
    std::map<std::string, std::shared_ptr<BuiltFont>> fonts;
    auto font = [&](const FontItem& item, std::string& err) -> std::shared_ptr<BuiltFont> {
        auto& slot = fonts[item.Name];
        if (!slot) {
            auto built = std::make_shared<BuiltFont>();
            if (!BuildFont(item, *built, err)) return nullptr;
            slot = built;
        }
        return slot;
    };

    std::vector<RecordJob> jobs;
    for (const ImageItem& item : archive.Images) {
        jobs.push_back({item.Key, item.Where,
                        [&archive, &item](std::vector<uint8_t>& bytes, TArchiveRecordType& type,
                                          std::string& err) {
                            TKilnImageData image;
                            type = artImage;
                            return RenderImageItem(archive, item, image, err) &&
                                   EncodeImage(image, bytes, err);
                        }});
    }
    for (const FileItem& item : archive.Files) {
        const bool xml = EndsWithXml(item.Key) || EndsWithXml(item.Src);
        jobs.push_back({item.Key, item.Where,
                        [&archive, &item, xml](std::vector<uint8_t>& bytes,
                                               TArchiveRecordType& type, std::string& err) {
                            const fs::path source = archive.Folder / item.Src;
                            std::string text;
                            type = artFile;
                            if (!ReadWholeFile(source, text)) {
                                err = source.string() + ": cannot be read";
                                return false;
                            }
                            bytes.assign(text.begin(), text.end());
                            return !xml || CheckXmlSource(source, bytes, err);
                        },
                        true});
    }
    for (const FontItem& item : archive.Fonts) {
        jobs.push_back({item.Name + ".image", item.Where,
                        [&item, &font](std::vector<uint8_t>& bytes, TArchiveRecordType& type,
                                       std::string& err) {
                            const auto built = font(item, err);
                            type = artImage;
                            return built && EncodeImage(built->Image, bytes, err);
                        }});
        jobs.push_back({item.Name + ".xml", item.Where,
                        [&item, &font](std::vector<uint8_t>& bytes, TArchiveRecordType& type,
                                       std::string& err) {
                            const auto built = font(item, err);
                            if (!built) return false;
                            type = artFont;
                            std::ostringstream text;
                            if (!WriteFontDescription(built->Description)->SaveToStream(text)) {
                                err = "cannot write the font description";
                                return false;
                            }
                            const std::string s = text.str();
                            bytes.assign(s.begin(), s.end());
                            return true;
                        }});
    }
    for (const SoundItem& item : archive.Sounds) {
        jobs.push_back({item.Key, item.Where,
                        [&archive, &item](std::vector<uint8_t>& bytes, TArchiveRecordType& type,
                                          std::string& err) {
                            type = artFile;
                            return BuildSoundItem(archive.Folder, item, bytes, err);
                        }});
    }
    std::sort(jobs.begin(), jobs.end(), [](const RecordJob& a, const RecordJob& b) {
        const std::string la = Lower(a.Key), lb = Lower(b.Key);
        return la != lb ? la < lb : a.Key < b.Key;
    });

    const fs::path partial = fs::path(outFile.string() + ".partial");
    std::error_code ec;
    fs::create_directories(outFile.parent_path().empty() ? fs::path(".") : outFile.parent_path(),
                           ec);
    fs::remove(partial, ec);
    const std::string archiveFile = (archive.Folder / "archive.xml").string();
    {
        TKilnArchive out;
        out.SetOpenMode(aomOverwrite);
        if (!out.OpenFile(partial.string())) {
            error = partial.string() + ": cannot be created";
            return false;
        }
        std::vector<uint8_t> bytes;
        for (const RecordJob& job : jobs) {
            bytes.clear();
            TArchiveRecordType type = artFile;
            std::string why;
            if (!job.Make(bytes, type, why)) {
                error = job.ErrorsNameTheSource ? why : archiveFile + ": " + job.Where + ": " + why;
                fs::remove(partial, ec);
                return false;
            }
            if (!out.WriteRecord(job.Key, bytes.data(), bytes.size(), type, BuildRecordDate())) {
                error = partial.string() + ": writing record \"" + job.Key + "\" failed";
                fs::remove(partial, ec);
                return false;
            }
            ++result.Records;
        }
    }
    fs::rename(partial, outFile, ec);
    if (ec) {
        error = outFile.string() + ": " + ec.message();
        fs::remove(partial, ec);
        return false;
    }
    result.Seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return true;
}

std::vector<fs::path> ArchiveFolders(const fs::path& dataDir) {
    std::vector<fs::path> folders;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dataDir, ec)) {
        if (entry.is_directory(ec) && fs::is_regular_file(entry.path() / "archive.xml", ec))
            folders.push_back(entry.path());
    }
    std::sort(folders.begin(), folders.end());
    return folders;
}

int RunBuild(const fs::path& dataDir, const fs::path& outDir, const std::vector<std::string>& only,
             std::ostream& log, std::ostream& err) {
    std::error_code ec;
    if (!fs::is_directory(dataDir, ec)) {
        err << "datapack: " << dataDir.string() << ": not a folder\n";
        return 1;
    }
    std::vector<fs::path> folders;
    if (only.empty()) {
        folders = ArchiveFolders(dataDir);
    } else {
        for (std::string name : only) {
            if (name.size() > 4 && Lower(name.substr(name.size() - 4)) == ".dan")
                name.resize(name.size() - 4);
            const fs::path folder = dataDir / name;
            if (!fs::is_regular_file(folder / "archive.xml", ec)) {
                err << "datapack: " << (folder / "archive.xml").string() << ": not found\n";
                return 1;
            }
            folders.push_back(folder);
        }
    }

    // Keys must be unique across archives too: the game may find either copy.
    std::map<std::string, std::string> owners;
    int failures = 0;
    for (const fs::path& folder : folders) {
        ArchiveDescription archive;
        std::string error;
        if (!ReadArchiveDescription(folder, archive, error)) {
            err << "datapack: error: " << error << "\n";
            ++failures;
            continue;
        }
        for (const std::string& warning : archive.Warnings)
            err << "datapack: warning: " << warning << "\n";
        auto claim = [&](const std::string& key) {
            const auto [it, fresh] = owners.emplace(Lower(key), archive.Name);
            if (!fresh)
                err << "datapack: warning: key \"" << key << "\" is in both " << it->second
                    << ".dan and " << archive.Name << ".dan\n";
        };
        for (const auto& i : archive.Images) claim(i.Key);
        for (const auto& f : archive.Files) claim(f.Key);
        for (const auto& s : archive.Sounds) claim(s.Key);
        for (const auto& f : archive.Fonts) {
            claim(f.Name + ".image");
            claim(f.Name + ".xml");
        }
        BuildResult result;
        const fs::path outFile = outDir / (archive.Name + ".dan");
        if (!BuildArchive(archive, outFile, result, error)) {
            err << "datapack: error: " << error << "\n";
            ++failures;
            continue;
        }
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.2f", result.Seconds);
        log << outFile.string() << ": " << result.Records << " records (" << seconds << " s)\n";
    }
    if (failures) {
        err << "datapack: " << failures << " archive(s) failed\n";
        return 1;
    }
    return 0;
}

} // namespace bw::pack
