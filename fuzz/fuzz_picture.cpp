// Reads arbitrary bytes as a loose picture (the splash folder's png, jpg, bmp and tga files).
// A decoded picture has a size within the limit and one pixel word per pixel.
#include "FuzzFail.h"
#include "platform/PictureFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    bw::Picture picture;
    std::string error;
    if (!bw::DecodePicture(data, size, picture, &error)) {
        if (error.empty()) Fail("failure without a reason");
        return 0;
    }
    if (picture.width <= 0 || picture.height <= 0) Fail("empty picture decoded");
    if (picture.width > 16384 || picture.height > 16384) Fail("over the size limit");
    if (picture.argb.size() !=
        static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height))
        Fail("pixel count");
    return 0;
}
