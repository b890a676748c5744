#include "platform/PictureFile.h"

#include "platform/Files.h"

#include <stb_image.h>

#include <climits>

namespace bw {

namespace {
constexpr int kMaxSide = 16384;
// A header may claim any size; more pixels than a large screen picture needs are refused
// before anything is decoded (8192 x 4096).
constexpr long long kMaxPixels = 8192LL * 4096LL;

// The decoder's reason may be missing (null or empty); a failure always says something.
std::string DecoderReason() {
    const char* why = stbi_failure_reason();
    return why != nullptr && *why != '\0' ? std::string(why) : std::string("cannot be decoded");
}
} // namespace

bool DecodePicture(const uint8_t* data, size_t size, Picture& out, std::string* error) {
    out = Picture{};
    if (!data || size == 0 || size > static_cast<size_t>(INT_MAX)) {
        if (error) *error = "empty or oversized picture data";
        return false;
    }
    int w = 0, h = 0, comp = 0;
    // Check the header first so a lying size never gets allocated.
    if (!stbi_info_from_memory(data, static_cast<int>(size), &w, &h, &comp) || w <= 0 || h <= 0 ||
        w > kMaxSide || h > kMaxSide || static_cast<long long>(w) * h > kMaxPixels) {
        const bool large =
            w > kMaxSide || h > kMaxSide || static_cast<long long>(w) * h > kMaxPixels;
        if (error) *error = large ? std::string("picture too large") : DecoderReason();
        return false;
    }
    unsigned char* rgba = stbi_load_from_memory(data, static_cast<int>(size), &w, &h, &comp, 4);
    if (!rgba) {
        if (error) *error = DecoderReason();
        return false;
    }
    out.width = w;
    out.height = h;
    out.argb.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (size_t i = 0; i < out.argb.size(); ++i) {
        const unsigned char* p = rgba + i * 4;
        out.argb[i] = (static_cast<uint32_t>(p[3]) << 24) | (static_cast<uint32_t>(p[0]) << 16) |
                      (static_cast<uint32_t>(p[1]) << 8) | p[2];
    }
    stbi_image_free(rgba);
    return true;
}

bool LoadPictureFile(const std::string& path, Picture& out, std::string* error) {
    ReadFailure failure = ReadFailure::None;
    const auto bytes = ReadWholeFile(path, &failure);
    if (!bytes) {
        out = Picture{};
        if (error) *error = path + " " + ReadFailureText(failure);
        return false;
    }
    return DecodePicture(bytes->data(), bytes->size(), out, error);
}

} // namespace bw
