#include "pack/PackFonts.h"

#include "data/ImageRecord.h"
#include "pack/PackPixels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace bw::pack {

namespace {

// Coverage (0..1) of one glyph in a box that leaves room for the shadow on every side.
struct GlyphMask {
    char16_t Code = 0;
    int Width = 0, Height = 0;
    int Left = 0;            // from the pen position to the box's left edge
    int Top = 0;             // from the baseline up to the box's top edge
    int Advance = 0;         // pen advance in pixels
    std::vector<float> Ink;  // the glyph itself
    std::vector<float> Dark; // outline and shadow under it (shadow style only)
    int X = 0, Y = 0;        // place in the atlas
};

class FreeTypeLibrary {
public:
    FT_Library Library = nullptr;
    FT_Face Face = nullptr;
    ~FreeTypeLibrary() {
        if (Face) FT_Done_Face(Face);
        if (Library) FT_Done_FreeType(Library);
    }
};

// The largest value within a disc of the radius (a round, soft-edged dilation).
std::vector<float> Dilate(const std::vector<float>& in, int w, int h, int radius) {
    if (radius <= 0) return in;
    std::vector<float> out(in.size(), 0.0f);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            float best = 0.0f;
            for (int dy = -radius; dy <= radius; ++dy) {
                for (int dx = -radius; dx <= radius; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
                    const double d = std::sqrt(double(dx * dx + dy * dy));
                    const double weight = std::clamp(radius + 0.5 - d, 0.0, 1.0);
                    if (weight <= 0) continue;
                    best = std::max(best, static_cast<float>(
                                              in[static_cast<std::size_t>(ny * w + nx)] * weight));
                }
            }
            out[static_cast<std::size_t>(y * w + x)] = best;
        }
    }
    return out;
}

// Two passes of a box blur in each direction (close to a Gaussian).
std::vector<float> Blur(std::vector<float> v, int w, int h, int radius) {
    if (radius <= 0) return v;
    std::vector<float> tmp(v.size());
    const float norm = 1.0f / static_cast<float>(2 * radius + 1);
    for (int pass = 0; pass < 2; ++pass) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                float sum = 0;
                for (int k = -radius; k <= radius; ++k) {
                    const int nx = x + k;
                    if (nx >= 0 && nx < w) sum += v[static_cast<std::size_t>(y * w + nx)];
                }
                tmp[static_cast<std::size_t>(y * w + x)] = sum * norm;
            }
        }
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                float sum = 0;
                for (int k = -radius; k <= radius; ++k) {
                    const int ny = y + k;
                    if (ny >= 0 && ny < h) sum += tmp[static_cast<std::size_t>(ny * w + x)];
                }
                v[static_cast<std::size_t>(y * w + x)] = sum * norm;
            }
        }
    }
    return v;
}

// Shelf packing in code order; returns the height used, or -1 when a glyph is too wide.
int Pack(std::vector<GlyphMask>& glyphs, int width, int spacing) {
    int x = spacing, y = spacing, shelf = 0;
    for (GlyphMask& g : glyphs) {
        if (g.Width + 2 * spacing > width) return -1;
        if (x + g.Width + spacing > width) {
            x = spacing;
            y += shelf + spacing;
            shelf = 0;
        }
        g.X = x;
        g.Y = y;
        x += g.Width + spacing;
        shelf = std::max(shelf, g.Height);
    }
    return y + shelf + spacing;
}

std::string CodeName(uint32_t code) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(code));
    return text;
}

constexpr uint32_t ShadowColour = 0x1E1020; // the dark ink of drop shadows
constexpr float ShadowStrength = 0.8f;

} // namespace

bool BuildFont(const FontItem& item, BuiltFont& out, std::string& error) {
    out = BuiltFont{};
    FreeTypeLibrary ft;
    if (FT_Init_FreeType(&ft.Library) != 0) {
        error = "FreeType could not start";
        return false;
    }
    if (FT_New_Face(ft.Library, item.Face.c_str(), 0, &ft.Face) != 0) {
        error = "cannot open the font file " + item.Face;
        return false;
    }
    if (FT_Set_Pixel_Sizes(ft.Face, 0, static_cast<FT_UInt>(item.Size)) != 0) {
        error = "the font cannot be set to " + std::to_string(item.Size) + " pixels";
        return false;
    }
    const int ascender = static_cast<int>((ft.Face->size->metrics.ascender + 32) >> 6);
    const int descender = static_cast<int>((ft.Face->size->metrics.descender - 32) / 64);
    const int pad = item.Shadow ? item.Outline + item.ShadowOffset + 2 * item.Blur + 1 : 0;
    const int extraAdvance = item.Shadow ? item.Outline : 0;

    std::vector<GlyphMask> glyphs;
    for (const auto& [first, last] : item.Ranges) {
        for (uint32_t code = first; code <= last && code <= 0xFFFF; ++code) {
            if (code >= 0xD800 && code <= 0xDFFF) continue; // not a character
            const FT_UInt index = FT_Get_Char_Index(ft.Face, code);
            if (index == 0) continue;
            if (FT_Load_Glyph(ft.Face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) != 0 ||
                FT_Render_Glyph(ft.Face->glyph, FT_RENDER_MODE_LIGHT) != 0) {
                error = "glyph " + CodeName(code) + " cannot be rendered";
                return false;
            }
            const FT_GlyphSlot slot = ft.Face->glyph;
            const FT_Bitmap& bm = slot->bitmap;
            if (bm.width == 0 || bm.rows == 0) continue; // blanks advance as whitespace
            if (bm.pixel_mode != FT_PIXEL_MODE_GRAY) {
                error = "glyph " + CodeName(code) + " is not a grey bitmap";
                return false;
            }
            GlyphMask g;
            g.Code = static_cast<char16_t>(code);
            g.Width = static_cast<int>(bm.width) + 2 * pad;
            g.Height = static_cast<int>(bm.rows) + 2 * pad;
            g.Left = slot->bitmap_left - pad;
            g.Top = slot->bitmap_top + pad;
            g.Advance = static_cast<int>((slot->advance.x + 32) >> 6) + extraAdvance;
            g.Ink.assign(static_cast<std::size_t>(g.Width * g.Height), 0.0f);
            for (unsigned row = 0; row < bm.rows; ++row) {
                const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(row) * bm.pitch;
                for (unsigned col = 0; col < bm.width; ++col) {
                    g.Ink[static_cast<std::size_t>((static_cast<int>(row) + pad) * g.Width +
                                                   static_cast<int>(col) + pad)] =
                        src[col] / 255.0f;
                }
            }
            if (item.Shadow) {
                const std::vector<float> outline = Dilate(g.Ink, g.Width, g.Height, item.Outline);
                std::vector<float> shifted(outline.size(), 0.0f);
                const int s = item.ShadowOffset;
                for (int y = 0; y + s < g.Height; ++y) {
                    for (int x = 0; x + s < g.Width; ++x) {
                        shifted[static_cast<std::size_t>((y + s) * g.Width + x + s)] =
                            outline[static_cast<std::size_t>(y * g.Width + x)];
                    }
                }
                const std::vector<float> shadow = Blur(shifted, g.Width, g.Height, item.Blur);
                g.Dark.resize(outline.size());
                for (std::size_t i = 0; i < outline.size(); ++i)
                    g.Dark[i] = std::max(outline[i], shadow[i]) * ShadowStrength;
            }
            glyphs.push_back(std::move(g));
        }
    }
    if (glyphs.empty()) {
        error = "the font has none of the wanted characters";
        return false;
    }

    // The cell: every glyph box inside it, the baseline where the tallest glyph needs it.
    int baseline = ascender + pad;
    for (const GlyphMask& g : glyphs) baseline = std::max(baseline, g.Top);
    int cellHeight = baseline - descender + pad;
    int cellWidth = 0;
    for (const GlyphMask& g : glyphs) {
        cellHeight = std::max(cellHeight, baseline - g.Top + g.Height);
        cellWidth = std::max(cellWidth, g.Width);
    }

    constexpr int spacing = 2;
    int width = 0, height = 0;
    for (int w = 128; w <= MaxImportTextureSize; w *= 2) {
        const int used = Pack(glyphs, w, spacing);
        if (used < 0) continue;
        const int h = (used + 3) / 4 * 4;
        if (h <= w) {
            width = w;
            height = h;
            break;
        }
    }
    if (width == 0) {
        error = "the glyphs do not fit one texture of " + std::to_string(MaxImportTextureSize) +
                " pixels";
        return false;
    }
    Pack(glyphs, width, spacing);

    std::vector<uint32_t> atlas(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                                0u);
    for (const GlyphMask& g : glyphs) {
        for (int y = 0; y < g.Height; ++y) {
            for (int x = 0; x < g.Width; ++x) {
                const std::size_t i = static_cast<std::size_t>(y * g.Width + x);
                const float ink = g.Ink[i];
                const float dark = g.Dark.empty() ? 0.0f : g.Dark[i];
                // White ink over the dark layer, in straight alpha.
                const float a = ink + dark * (1.0f - ink);
                if (a <= 0.0f) continue;
                auto channel = [&](uint32_t darkChannel) {
                    const float c =
                        (255.0f * ink + static_cast<float>(darkChannel) * dark * (1.0f - ink)) / a;
                    return static_cast<uint32_t>(std::lround(std::clamp(c, 0.0f, 255.0f)));
                };
                const uint32_t alpha =
                    static_cast<uint32_t>(std::lround(std::clamp(a, 0.0f, 1.0f) * 255.0f));
                if (alpha == 0) continue;
                const uint32_t argb = (alpha << 24) | (channel((ShadowColour >> 16) & 0xFF) << 16) |
                                      (channel((ShadowColour >> 8) & 0xFF) << 8) |
                                      channel(ShadowColour & 0xFF);
                atlas[static_cast<std::size_t>(g.Y + y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(g.X + x)] = argb;
            }
        }
        FontGlyph glyph;
        glyph.Code = g.Code;
        glyph.Entry.Top = baseline - g.Top;
        glyph.Entry.X = g.X;
        glyph.Entry.Y = g.Y;
        glyph.Entry.Width = g.Width;
        glyph.Entry.Height = g.Height;
        glyph.Entry.Leading = g.Left;
        glyph.Entry.Trailing = g.Advance - g.Left - g.Width;
        out.Description.Glyphs.push_back(glyph);
    }
    BleedEdges(width, height, atlas);
    out.Description.FontSize = TPoint2px{cellWidth, cellHeight};

    TKilnImageData& image = out.Image;
    image.Name = item.Name + ".image";
    image.PatternSize = TPoint2px{width, height};
    image.VisibleSize = TPoint2px{width, height};
    image.PatternCount = 1;
    image.TextureSize = TPoint2px{width, height};
    image.Textures.push_back(std::move(atlas));
    image.PixelFormat = apf_A8R8G8B8;
    return true;
}

} // namespace bw::pack
