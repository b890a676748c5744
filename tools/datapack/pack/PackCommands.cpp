#include "pack/PackCommands.h"
#include "pack/PackPixels.h"
#include "pack/PackSvg.h"
#include "platform/Files.h"
#include <cstdio>

#include "data/ImageRecord.h"
#include "data/KilnArchive.h"
#include "data/KilnFonts.h"
#include "data/Xml.h"
#include "data/XmlLoad.h"
#include "pack/PackBuild.h"
#include "pack/PackDrawings.h"
#include "pack/PackLevels.h"
#include "pack/PackManifest.h"
#include "render/Canvas.h"

#include <ostream>

namespace bw::pack {

namespace {

const char* const Usage =
    "usage:\n"
    "  datapack build DATA_DIR OUT_DIR [--only ARCHIVE...]\n"
    "      builds OUT_DIR/NAME.dan from every DATA_DIR/NAME/archive.xml (or the named ones)\n"
    "  datapack verify MANIFEST OUT_DIR [--all]\n"
    "      checks the built archives against the manifest; --all also lists planned items\n"
    "  datapack preview ARCHIVE KEY OUT.png\n"
    "      writes an image record's patterns as one PNG sheet\n"
    "  datapack text FONTS.dan FONT TEXT OUT.png\n"
    "      writes one line of UTF-8 text set with a built font, white on grey\n"
    "  datapack svg FILE.svg WxH OUT.png\n"
    "      renders one SVG file the way the build renders pictures (straight alpha)\n"
    "  datapack check-levels [--levels-dir DIR] [--manifest MANIFEST]\n"
    "                        [--locations-dir DIR] FILE...\n"
    "      checks level files and level lists (a list's level files too; they are looked\n"
    "      up in DIR, by default the list's folder; files the manifest marks planned may\n"
    "      be missing); a list's levels also against the boards of their locations (by\n"
    "      default in tData_Locations beside the levels folder)\n"
    "  datapack drawings\n"
    "      lists the drawing programs usable with <image draw=\"...\">\n";

int UsageError(std::ostream& err, const std::string& message) {
    err << "datapack: " << message << "\n" << Usage;
    return 2;
}

int Preview(const std::string& archivePath, const std::string& key, const std::string& png,
            std::ostream& out, std::ostream& err) {
    TKilnArchive archive;
    archive.SetOpenMode(aomReadOnly);
    if (!archive.OpenFile(archivePath)) {
        err << "datapack: " << archivePath << ": cannot be opened\n";
        return 1;
    }
    std::vector<uint8_t> data;
    if (!archive.ReadRecord(key, data)) {
        err << "datapack: " << archivePath << ": no readable record \"" << key << "\"\n";
        return 1;
    }
    TKilnImageData image;
    const auto result = DecodeImageRecord(data.data(), data.size(), image);
    if (result != ImageRecordResult::Ok) {
        err << "datapack: " << key << ": " << ImageRecordResultText(result) << "\n";
        return 1;
    }
    Picture sheet;
    std::string error;
    if (!SheetFromImageData(image, sheet, &error)) {
        err << "datapack: " << key << ": " << error << "\n";
        return 1;
    }
    if (!SavePng(png, sheet.width, sheet.height, sheet.argb)) {
        err << "datapack: " << png << ": cannot be written\n";
        return 1;
    }
    out << png << ": " << sheet.width << "x" << sheet.height << ", " << image.PatternCount
        << " patterns of " << image.PatternSize.x << "x" << image.PatternSize.y << "\n";
    return 0;
}

// UTF-8 to UTF-16 code units (characters beyond U+FFFF and malformed bytes become U+FFFD).
std::u16string CodeUnits(const std::string& text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : 3;
        uint32_t code = extra == 0 ? c : c & (0x3Fu >> extra);
        std::size_t k = 1;
        for (; k <= static_cast<std::size_t>(extra) && i + k < text.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        out += code > 0xFFFF ? char16_t(0xFFFD) : static_cast<char16_t>(code);
        i += k;
    }
    return out;
}

// Sets a line the way the game does (leading, glyph, trailing; whitespace 15; kerning 0).
int TextSample(const std::string& archivePath, const std::string& fontName, const std::string& text,
               const std::string& png, std::ostream& out, std::ostream& err) {
    TKilnArchive archive;
    archive.SetOpenMode(aomReadOnly);
    std::vector<uint8_t> xml, imageData;
    if (!archive.OpenFile(archivePath) || !archive.ReadRecord(fontName + ".xml", xml) ||
        !archive.ReadRecord(fontName + ".image", imageData)) {
        err << "datapack: " << archivePath << ": no font " << fontName << "\n";
        return 1;
    }
    const auto root = XMLFromBytes(xml.data(), xml.size());
    TKilnImageData image;
    if (!root ||
        DecodeImageRecord(imageData.data(), imageData.size(), image) != ImageRecordResult::Ok) {
        err << "datapack: " << fontName << ": damaged font records\n";
        return 1;
    }
    const FontDescription font = ReadFontDescription(*root);
    std::vector<LetterEntry> table(65536);
    for (const FontGlyph& g : font.Glyphs) table[g.Code] = g.Entry;
    const std::u16string units = CodeUnits(text);
    constexpr int whitespace = 15, margin = 8;
    int width = 0;
    for (const char16_t c : units) {
        const LetterEntry& e = table[c];
        width += e.HasGlyph() ? e.Leading + e.Width + e.Trailing : whitespace;
    }
    const int w = width + 2 * margin, h = font.FontSize.y + 2 * margin;
    std::vector<uint32_t> pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h),
                                 0xFF707880u);
    const auto& texture = image.Textures.front();
    int pen = margin;
    for (const char16_t c : units) {
        const LetterEntry& e = table[c];
        if (!e.HasGlyph()) {
            pen += whitespace;
            continue;
        }
        pen += e.Leading;
        for (int y = 0; y < e.Height; ++y) {
            for (int x = 0; x < e.Width; ++x) {
                const int tx = pen + x, ty = margin + e.Top + y;
                if (tx < 0 || ty < 0 || tx >= w || ty >= h) continue;
                const uint32_t s = texture[static_cast<std::size_t>(e.Y + y) *
                                               static_cast<std::size_t>(image.TextureSize.x) +
                                           static_cast<std::size_t>(e.X + x)];
                uint32_t& d = pixels[static_cast<std::size_t>(ty) * static_cast<std::size_t>(w) +
                                     static_cast<std::size_t>(tx)];
                const uint32_t a = s >> 24;
                uint32_t blended = 0xFF000000u;
                for (int shift = 0; shift <= 16; shift += 8) {
                    const uint32_t sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
                    blended |= ((sc * a + dc * (255 - a) + 127) / 255) << shift;
                }
                d = blended;
            }
        }
        pen += e.Width + e.Trailing;
    }
    if (!SavePng(png, w, h, pixels)) {
        err << "datapack: " << png << ": cannot be written\n";
        return 1;
    }
    out << png << ": " << w << "x" << h << "\n";
    return 0;
}

// One SVG file rendered as the build renders a picture, for sheets that are not game data
// (the style sheet of the docs).
int RenderSvgFile(const std::string& svgFile, const std::string& sizeText, const std::string& png,
                  std::ostream& out, std::ostream& err) {
    int w = 0, h = 0;
    char tail = 0;
    if (std::sscanf(sizeText.c_str(), "%dx%d%c", &w, &h, &tail) != 2 || w <= 0 || h <= 0 ||
        w > 8192 || h > 8192)
        return UsageError(err, "bad size " + sizeText + ", expected WxH");
    const auto bytes = ReadWholeFile(svgFile);
    if (!bytes) {
        err << "datapack: cannot read " << svgFile << "\n";
        return 1;
    }
    std::vector<uint32_t> pixels;
    std::string error;
    if (!RenderSvg(std::string(bytes->begin(), bytes->end()), svgFile, TPoint2px{w, h}, pixels,
                   error)) {
        err << "datapack: " << svgFile << ": " << error << "\n";
        return 1;
    }
    StraightFromPremultiplied(pixels);
    if (!SavePng(png, w, h, pixels)) {
        err << "datapack: cannot write " << png << "\n";
        return 1;
    }
    out << png << ": " << w << "x" << h << "\n";
    return 0;
}

} // namespace

int RunDatapack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        (args.empty() ? err : out) << Usage;
        return args.empty() ? 2 : 0;
    }
    const std::string& command = args[0];
    if (command == "build") {
        std::vector<std::string> positional, only;
        bool inOnly = false;
        for (std::size_t i = 1; i < args.size(); ++i) {
            if (args[i] == "--only") {
                inOnly = true;
            } else if (args[i].rfind("--", 0) == 0) {
                return UsageError(err, "unknown option " + args[i]);
            } else if (inOnly) {
                only.push_back(args[i]);
            } else {
                positional.push_back(args[i]);
            }
        }
        if (positional.size() != 2) return UsageError(err, "build needs DATA_DIR and OUT_DIR");
        if (inOnly && only.empty()) return UsageError(err, "--only needs archive names");
        return RunBuild(positional[0], positional[1], only, out, err);
    }
    if (command == "verify") {
        std::vector<std::string> positional;
        bool all = false;
        for (std::size_t i = 1; i < args.size(); ++i) {
            if (args[i] == "--all") {
                all = true;
            } else if (args[i].rfind("--", 0) == 0) {
                return UsageError(err, "unknown option " + args[i]);
            } else {
                positional.push_back(args[i]);
            }
        }
        if (positional.size() != 2) return UsageError(err, "verify needs MANIFEST and OUT_DIR");
        return RunVerify(positional[0], positional[1], all, out, err);
    }
    if (command == "preview" || command == "render-sheet") {
        if (args.size() != 4) return UsageError(err, "preview needs ARCHIVE, KEY and OUT.png");
        return Preview(args[1], args[2], args[3], out, err);
    }
    if (command == "text") {
        if (args.size() != 5)
            return UsageError(err, "text needs FONTS.dan, FONT, TEXT and OUT.png");
        return TextSample(args[1], args[2], args[3], args[4], out, err);
    }
    if (command == "svg") {
        if (args.size() != 4) return UsageError(err, "svg needs FILE.svg, WxH and OUT.png");
        return RenderSvgFile(args[1], args[2], args[3], out, err);
    }
    if (command == "check-levels") {
        std::vector<std::string> files;
        std::string levelsDir, manifest, locationsDir;
        for (std::size_t i = 1; i < args.size(); ++i) {
            if (args[i] == "--levels-dir" || args[i] == "--manifest" ||
                args[i] == "--locations-dir") {
                if (i + 1 >= args.size()) return UsageError(err, args[i] + " needs a value");
                (args[i] == "--levels-dir" ? levelsDir
                 : args[i] == "--manifest" ? manifest
                                           : locationsDir) = args[i + 1];
                ++i;
            } else if (args[i].rfind("--", 0) == 0) {
                return UsageError(err, "unknown option " + args[i]);
            } else {
                files.push_back(args[i]);
            }
        }
        if (files.empty()) return UsageError(err, "check-levels needs level files");
        return RunCheckLevels(files, levelsDir, manifest, out, err, locationsDir);
    }
    if (command == "drawings") {
        for (const DrawingEntry& d : DrawingPrograms()) out << d.Name << "\t" << d.Summary << "\n";
        return 0;
    }
    return UsageError(err, "unknown command " + command);
}

} // namespace bw::pack
