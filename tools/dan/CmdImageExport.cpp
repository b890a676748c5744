#include "DanCommands.h"

#include "data/ImageRecord.h"
#include "render/Canvas.h"

namespace bw::dan {

extern const DanCommand ImageExportCommand;

namespace {

int RunImageExport(const ArgList& args) {
    const DanCommand& cmd = ImageExportCommand;
    const auto parsed = ParseArgs(cmd, args, {});
    if (!parsed) return kExitUsage;
    if (parsed->Help) return PrintHelp(cmd);
    if (parsed->Positional.size() != 3) return UsageError(cmd, "expected ARCHIVE KEY OUT.png");
    const std::string& key = parsed->Positional[1];
    std::vector<uint8_t> bytes;
    if (!ReadArchiveRecord(cmd, parsed->Positional[0], key, bytes)) return kExitFailure;
    TKilnImageData data;
    const auto decoded = DecodeImageRecord(bytes.data(), bytes.size(), data);
    if (decoded != ImageRecordResult::Ok)
        return Report(cmd, Printable(key) + ": " + ImageRecordResultText(decoded));
    Picture sheet;
    std::string error;
    if (!SheetFromImageData(data, sheet, &error)) return Report(cmd, Printable(key) + ": " + error);
    const std::string& out = parsed->Positional[2];
    if (!SavePng(out, sheet.width, sheet.height, sheet.argb))
        return Report(cmd, "cannot write '" + out + "'");
    return kExitOk;
}

} // namespace

const DanCommand ImageExportCommand{
    "image-export", "write an image record as one PNG sheet",
    "usage: dan image-export ARCHIVE KEY OUT.png\n"
    "\n"
    "Writes the image record KEY as a PNG picture. An image of one texture is written as\n"
    "that texture; the cells of several textures are joined into one sheet with as many\n"
    "cells across as one texture holds.\n",
    RunImageExport};

} // namespace bw::dan
