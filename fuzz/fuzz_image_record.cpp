// Reads arbitrary bytes as an image record. A record that decodes must hold what its header
// promises, must be accepted by the catalogue, and must encode back to a record that decodes
// to the same pixels.
#include "FuzzFail.h"
#include "data/ImageRecord.h"
#include "data/KilnImages.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    bw::ImageRecordHeader header;
    const bw::ImageRecordResult headerResult = bw::ReadImageRecordHeader(data, size, header);
    bw::TKilnImageData image;
    const bw::ImageRecordResult result = bw::DecodeImageRecord(data, size, image);
    if (size < bw::ImageRecordHeaderSize && result != bw::ImageRecordResult::ShortHeader)
        Fail("short record not reported");
    if (result != bw::ImageRecordResult::Ok) return 0;
    if (headerResult != bw::ImageRecordResult::Ok) Fail("header unreadable but record read");

    const size_t texPixels =
        static_cast<size_t>(image.TextureSize.x) * static_cast<size_t>(image.TextureSize.y);
    if (image.Textures.size() != static_cast<size_t>(header.TextureCount))
        Fail("texture count differs from the header");
    for (const auto& pixels : image.Textures)
        if (pixels.size() != texPixels) Fail("texture of the wrong size");

    bw::TKilnImages catalogue(nullptr);
    image.Name = "fuzz.image";
    const bw::TKilnImageData kept = image;
    if (catalogue.AddFromPixels(image) < 0) Fail("decoded record refused by the catalogue");

    std::vector<uint8_t> bytes;
    if (!bw::EncodeImageRecord(kept, bytes)) return 0; // formats the writer does not produce
    bw::TKilnImageData back;
    if (bw::DecodeImageRecord(bytes.data(), bytes.size(), back) != bw::ImageRecordResult::Ok)
        Fail("written record does not read");
    if (back.Textures != kept.Textures) Fail("pixels changed by writing");
    return 0;
}
