#include "pack/PackSvg.h"

#include <cairo.h>
#include <cstring>
#include <gio/gio.h>
#include <librsvg/rsvg.h>

namespace bw::pack {

std::vector<uint32_t> SurfacePixels(void* cairoSurface) {
    auto* surface = static_cast<cairo_surface_t*>(cairoSurface);
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    std::vector<uint32_t> out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        std::memcpy(out.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width),
                    data + static_cast<std::ptrdiff_t>(y) * stride,
                    static_cast<std::size_t>(width) * 4);
    }
    return out;
}

namespace {

std::string TakeError(GError*& err, const char* fallback) {
    std::string text = err && err->message ? err->message : fallback;
    if (err) g_error_free(err);
    err = nullptr;
    return text;
}

} // namespace

bool RenderSvg(const std::string& svgText, const std::string& baseFile, TPoint2px size,
               std::vector<uint32_t>& premultiplied, std::string& error) {
    premultiplied.clear();
    if (size.x <= 0 || size.y <= 0) {
        error = "empty cell";
        return false;
    }
    GError* err = nullptr;
    GInputStream* stream = g_memory_input_stream_new_from_data(
        svgText.data(), static_cast<gssize>(svgText.size()), nullptr);
    GFile* base = baseFile.empty() ? nullptr : g_file_new_for_path(baseFile.c_str());
    RsvgHandle* handle =
        rsvg_handle_new_from_stream_sync(stream, base, RSVG_HANDLE_FLAGS_NONE, nullptr, &err);
    g_object_unref(stream);
    if (base) g_object_unref(base);
    if (!handle) {
        error = "not a valid SVG document: " + TakeError(err, "unknown error");
        return false;
    }

    // The area of the document that is stretched over the cell.
    gboolean hasWidth = FALSE, hasHeight = FALSE, hasViewBox = FALSE;
    RsvgLength w{}, h{};
    RsvgRectangle viewBox{};
    rsvg_handle_get_intrinsic_dimensions(handle, &hasWidth, &w, &hasHeight, &h, &hasViewBox,
                                         &viewBox);
    double areaW = 0, areaH = 0;
    if (hasViewBox && viewBox.width > 0 && viewBox.height > 0) {
        areaW = viewBox.width;
        areaH = viewBox.height;
    } else if (!rsvg_handle_get_intrinsic_size_in_pixels(handle, &areaW, &areaH) || areaW <= 0 ||
               areaH <= 0) {
        g_object_unref(handle);
        error = "the SVG has neither a viewBox nor a width and height in pixels";
        return false;
    }

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size.x, size.y);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, size.x / areaW, size.y / areaH);
    const RsvgRectangle viewport{0, 0, areaW, areaH};
    const bool ok = rsvg_handle_render_document(handle, cr, &viewport, &err);
    cairo_destroy(cr);
    g_object_unref(handle);
    if (!ok) {
        cairo_surface_destroy(surface);
        error = "rendering failed: " + TakeError(err, "unknown error");
        return false;
    }
    premultiplied = SurfacePixels(surface);
    cairo_surface_destroy(surface);
    return true;
}

} // namespace bw::pack
