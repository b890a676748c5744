// Image records: one image of the catalogue as stored in a data archive (records of the
// artImage kind), and the conversion between picture sheets and images.
//
// Layout, all numbers little-endian and unsigned:
//   u8   pixel format of the stored pixels (TKilnPixelFormat ordinal)
//   u16  cell width, u16 cell height
//   u32  pattern count
//   u16  visible width, u16 visible height
//   u16  texture width, u16 texture height
//   u16  number of textures
//   then every texture's rows from top to bottom, each row texture width times the byte
//   size of the stored format.
//
// Readable stored formats: apf_A8R8G8B8 (what the writer produces), apf_X8R8G8B8,
// apf_A8B8G8R8, apf_X8B8G8R8 and apf_R8G8B8. Every other format is reported unreadable.
#pragma once

#include "data/KilnImages.h"
#include "platform/PictureFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bw {

constexpr std::size_t ImageRecordHeaderSize = 19;
// The largest texture the writer and the sheet importer produce, on either side.
constexpr int MaxImportTextureSize = 2048;

struct ImageRecordHeader {
    uint8_t PixelFormat = apf_Unknown; // raw ordinal; may lie beyond the known formats
    TPoint2px PatternSize;
    uint32_t PatternCount = 0;
    TPoint2px VisibleSize;
    TPoint2px TextureSize;
    int TextureCount = 0;
};

enum class ImageRecordResult {
    Ok,
    ShortHeader,       // fewer bytes than the header takes
    UnsupportedFormat, // a stored pixel format this reader does not convert
    BadSize,           // a zero cell, texture size or texture count, or a cell larger than
                       // the texture
    BadPatternCount,   // more patterns than the textures hold
    ShortPixels,       // the pixel data end before the last texture's last row
};

const char* ImageRecordResultText(ImageRecordResult result);

// The name of a format ("apf_A8R8G8B8"); "unknown (N)" for ordinals beyond the list.
std::string PixelFormatName(uint8_t format);
// Bytes one stored pixel of the format takes; 0 for ordinals beyond the list.
int PixelFormatBytes(uint8_t format);
bool PixelFormatReadable(uint8_t format);

// Reads the fixed header only (no checks beyond its length).
ImageRecordResult ReadImageRecordHeader(const uint8_t* data, std::size_t size,
                                        ImageRecordHeader& out);

// Decodes a whole record into ARGB textures. Every size is checked against the bytes present
// before anything is allocated, so a damaged record costs no more memory than its own size.
// Bytes after the last texture are ignored. On failure `out` is left empty.
ImageRecordResult DecodeImageRecord(const uint8_t* data, std::size_t size, TKilnImageData& out);

// Serialises an image as an apf_A8R8G8B8 record. A pattern count of 0 is written as the
// number of cells the textures hold, a visible size of (0, 0) as the whole cell. False (with
// a reason in `error`) when the data do not form an image or do not fit the record's fields.
bool EncodeImageRecord(const TKilnImageData& data, std::vector<uint8_t>& out,
                       std::string* error = nullptr);

// Cuts a picture made of equal cells, laid out row by row, into an image. A sheet no larger
// than maxTextureSize on either side becomes one texture as it is; a larger one is repacked
// into textures of at most maxTextureSize. `count` 0 takes every whole cell of the sheet;
// `visible` (0, 0) the whole cell.
bool ImageDataFromSheet(const Picture& sheet, TPoint2px cell, TPoint2px visible, int count,
                        TKilnImageData& out, std::string* error = nullptr,
                        int maxTextureSize = MaxImportTextureSize);

// Lays an image's patterns out as one picture: a one-texture image is its texture; several
// textures are joined into rows of as many cells as one texture holds across.
bool SheetFromImageData(const TKilnImageData& data, Picture& out, std::string* error = nullptr);

} // namespace bw
