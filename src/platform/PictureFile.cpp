#include "platform/PictureFile.h"

#include "platform/Files.h"

#include <stb_image.h>

#include <climits>
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

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

namespace {

// Whether a header's size is beyond what the game takes, before anything is allocated.
bool TooLarge(long long w, long long h) {
    return w > kMaxSide || h > kMaxSide || w * h > kMaxPixels;
}

bool IsJpeg(const uint8_t* data, size_t size) {
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

// libjpeg reports damage through its error manager; ours jumps back out of the decoder with
// the message instead of ending the program.
struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf back;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JpegFail(j_common_ptr info) {
    auto* e = reinterpret_cast<JpegError*>(info->err);
    (*info->err->format_message)(info, e->message);
    std::longjmp(e->back, 1);
}

void JpegWarning(j_common_ptr, int) {}

bool DecodeJpeg(const uint8_t* data, size_t size, Picture& out, std::string* error) {
    jpeg_decompress_struct info{};
    JpegError e{};
    info.err = jpeg_std_error(&e.manager);
    e.manager.error_exit = JpegFail;
    e.manager.emit_message = JpegWarning;
    // Everything the jump may skip lives outside this frame or is plain data.
    std::vector<unsigned char> row;
    if (setjmp(e.back)) {
        jpeg_destroy_decompress(&info);
        out = Picture{};
        if (error) *error = e.message[0] ? e.message : "cannot be decoded";
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    if (info.image_width == 0 || info.image_height == 0 ||
        TooLarge(info.image_width, info.image_height)) {
        jpeg_destroy_decompress(&info);
        if (error) *error = "picture too large";
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    const int w = static_cast<int>(info.output_width);
    const int h = static_cast<int>(info.output_height);
    out.width = w;
    out.height = h;
    out.argb.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0xFF000000u);
    row.resize(static_cast<size_t>(w) * 3);
    while (info.output_scanline < info.output_height) {
        const size_t y = info.output_scanline;
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = row.data() + static_cast<size_t>(x) * 3;
            out.argb[y * static_cast<size_t>(w) + static_cast<size_t>(x)] =
                0xFF000000u | (static_cast<uint32_t>(p[0]) << 16) |
                (static_cast<uint32_t>(p[1]) << 8) | p[2];
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

bool DecodePicture(const uint8_t* data, size_t size, Picture& out, std::string* error) {
    out = Picture{};
    if (!data || size == 0 || size > static_cast<size_t>(INT_MAX)) {
        if (error) *error = "empty or oversized picture data";
        return false;
    }
    // JPEG goes to libjpeg, whose damaged-data handling returns an error where the small
    // decoder used for the other formats would stop the program on an internal check.
    if (IsJpeg(data, size)) return DecodeJpeg(data, size, out, error);
    int w = 0, h = 0, comp = 0;
    // Check the header first so a lying size never gets allocated.
    const bool known = stbi_info_from_memory(data, static_cast<int>(size), &w, &h, &comp);
    if (!known || w <= 0 || h <= 0 || TooLarge(w, h)) {
        if (error) *error = known && TooLarge(w, h) ? "picture too large" : DecoderReason();
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
