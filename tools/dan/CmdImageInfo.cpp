#include "DanCommands.h"

#include "data/ImageRecord.h"

#include <iostream>

namespace bw::dan {

extern const DanCommand ImageInfoCommand;

namespace {

std::string Size(TPoint2px s) {
    return std::to_string(s.x) + "x" + std::to_string(s.y);
}

int RunImageInfo(const ArgList& args) {
    const DanCommand& cmd = ImageInfoCommand;
    const auto parsed = ParseArgs(cmd, args, {});
    if (!parsed) return kExitUsage;
    if (parsed->Help) return PrintHelp(cmd);
    if (parsed->Positional.size() != 2) return UsageError(cmd, "expected ARCHIVE KEY");
    const std::string& key = parsed->Positional[1];
    std::vector<uint8_t> bytes;
    if (!ReadArchiveRecord(cmd, parsed->Positional[0], key, bytes)) return kExitFailure;
    ImageRecordHeader h;
    const auto header = ReadImageRecordHeader(bytes.data(), bytes.size(), h);
    if (header != ImageRecordResult::Ok)
        return Report(cmd, Printable(key) + ": " + ImageRecordResultText(header));
    std::cout << "format\t" << PixelFormatName(h.PixelFormat) << "\n"
              << "pattern size\t" << Size(h.PatternSize) << "\n"
              << "pattern count\t" << h.PatternCount << "\n"
              << "visible size\t" << Size(h.VisibleSize) << "\n"
              << "texture size\t" << Size(h.TextureSize) << "\n"
              << "texture count\t" << h.TextureCount << "\n";
    std::cout.flush();
    // The game reads the whole record; tell when it would skip it.
    TKilnImageData data;
    const auto decoded = DecodeImageRecord(bytes.data(), bytes.size(), data);
    if (decoded != ImageRecordResult::Ok)
        return Report(cmd, Printable(key) + ": " + ImageRecordResultText(decoded));
    return kExitOk;
}

} // namespace

const DanCommand ImageInfoCommand{
    "image-info", "print the header of an image record",
    "usage: dan image-info ARCHIVE KEY\n"
    "\n"
    "Prints the stored pixel format, the pattern (cell) size and count, the visible size,\n"
    "and the texture size and count of the image record KEY, one \"name<TAB>value\" line\n"
    "each. Exits with 1 when the game could not load the record.\n",
    RunImageInfo};

} // namespace bw::dan
