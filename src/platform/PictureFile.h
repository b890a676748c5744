// Loose picture files (".png", ".jpg", ".bmp", ".tga") decoded to 32-bit ARGB.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bw {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb; // width*height words, top row first
};

// Decodes a picture file; false (with `error` filled) when it cannot be read or decoded, or is
// larger than 16384 pixels on a side.
bool LoadPictureFile(const std::string& path, Picture& out, std::string* error = nullptr);
// The same from bytes in memory.
bool DecodePicture(const uint8_t* data, size_t size, Picture& out, std::string* error = nullptr);

} // namespace bw
