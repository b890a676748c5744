#include "DanCommands.h"

#include "data/ImageRecord.h"
#include "platform/PictureFile.h"

#include <charconv>

namespace bw::dan {

extern const DanCommand ImageImportCommand;

namespace {

// "WxH" with positive whole numbers.
std::optional<TPoint2px> ParseSize(const std::string& text) {
    const auto x = text.find_first_of("xX");
    if (x == std::string::npos) return std::nullopt;
    TPoint2px size;
    const char* end = text.data() + text.size();
    const auto w = std::from_chars(text.data(), text.data() + x, size.x);
    const auto h = std::from_chars(text.data() + x + 1, end, size.y);
    if (w.ec != std::errc() || w.ptr != text.data() + x || h.ec != std::errc() || h.ptr != end ||
        size.x <= 0 || size.y <= 0)
        return std::nullopt;
    return size;
}

int RunImageImport(const ArgList& args) {
    const DanCommand& cmd = ImageImportCommand;
    const auto parsed = ParseArgs(cmd, args, {"pattern", "visible", "count"});
    if (!parsed) return kExitUsage;
    if (parsed->Help) return PrintHelp(cmd);
    if (parsed->Positional.size() != 3) return UsageError(cmd, "expected ARCHIVE KEY PICTURE");
    const auto patternText = parsed->Get("pattern");
    if (!patternText) return UsageError(cmd, "--pattern WxH is required");
    const auto pattern = ParseSize(*patternText);
    if (!pattern) return UsageError(cmd, "bad --pattern '" + *patternText + "' (WxH)");
    TPoint2px visible;
    if (const auto v = parsed->Get("visible")) {
        const auto size = ParseSize(*v);
        if (!size) return UsageError(cmd, "bad --visible '" + *v + "' (WxH)");
        visible = *size;
    }
    int count = 0;
    if (const auto c = parsed->Get("count")) {
        const auto r = std::from_chars(c->data(), c->data() + c->size(), count);
        if (r.ec != std::errc() || r.ptr != c->data() + c->size() || count <= 0)
            return UsageError(cmd, "bad --count '" + *c + "' (a positive number)");
    }

    const std::string& key = parsed->Positional[1];
    const std::string& file = parsed->Positional[2];
    Picture sheet;
    std::string error;
    if (!LoadPictureFile(file, sheet, &error)) return Report(cmd, file + ": " + error);
    TKilnImageData data;
    if (!ImageDataFromSheet(sheet, *pattern, visible, count, data, &error))
        return Report(cmd, file + ": " + error);
    std::vector<uint8_t> record;
    if (!EncodeImageRecord(data, record, &error)) return Report(cmd, file + ": " + error);

    TKilnArchive archive;
    if (!OpenArchive(cmd, archive, parsed->Positional[0], aomUpdate)) return kExitFailure;
    if (!archive.WriteRecord(key, record.data(), record.size(), artImage))
        return Report(cmd, "cannot write record '" + Printable(key) + "'");
    return kExitOk;
}

} // namespace

const DanCommand ImageImportCommand{
    "image-import", "store a picture sheet as an image record",
    "usage: dan image-import ARCHIVE KEY PICTURE --pattern WxH [--visible WxH] [--count N]\n"
    "\n"
    "Reads PICTURE (png, jpg, bmp or tga), a sheet of equal cells of WxH pixels laid out\n"
    "row by row, and stores it as the image record KEY (normally ending in \".image\"),\n"
    "creating the archive when it does not exist. A sheet larger than 2048 pixels on a\n"
    "side is repacked into several textures of at most 2048 x 2048.\n"
    "\n"
    "  --pattern WxH   cell size (required)\n"
    "  --visible WxH   the part of each cell that is drawn, from its top-left corner\n"
    "                  (default: the whole cell)\n"
    "  --count N       number of patterns (default: every whole cell of the sheet)\n",
    RunImageImport};

} // namespace bw::dan
