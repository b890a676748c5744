#include "render/Canvas.h"

#include <stb_image_write.h>

#include <cstdio>
#include <filesystem>

namespace bw {

bool SavePng(const std::string& path, int width, int height, const std::vector<uint32_t>& argb) {
    if (width <= 0 || height <= 0 ||
        argb.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        return false;
    std::vector<unsigned char> rgba(argb.size() * 4);
    for (size_t i = 0; i < argb.size(); ++i) {
        const uint32_t c = argb[i];
        rgba[i * 4 + 0] = static_cast<unsigned char>(ColorRed(c));
        rgba[i * 4 + 1] = static_cast<unsigned char>(ColorGreen(c));
        rgba[i * 4 + 2] = static_cast<unsigned char>(ColorBlue(c));
        rgba[i * 4 + 3] = static_cast<unsigned char>(ColorAlpha(c));
    }
    // Written next to the target first, so a failed write never leaves half a picture.
    const std::string tmp = path + ".tmp";
    if (!stbi_write_png(tmp.c_str(), width, height, 4, rgba.data(), width * 4)) {
        std::remove(tmp.c_str());
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(tmp, path, ec);
    if (ec) {
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

} // namespace bw
