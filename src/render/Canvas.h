// The canvas: everything the game draws goes through these few operations.
//
// Coordinates handed to the canvas are client pixels (origin top-left, y down). A drawing
// operation uses the texture selected last; texture colour and alpha are multiplied by the
// corner colours, pixels whose resulting alpha is 0 are discarded, and the result is blended
// with the effect given. Sampling is linear without mipmaps, and addressing repeats.
#pragma once

#include "render/Types.h"

#include <cstdint>
#include <string>
#include <vector>

namespace bw {

// Opaque handle of a texture created by a canvas. 0 is "no texture".
using TextureId = uint32_t;
constexpr TextureId kNoTexture = 0;

class Canvas {
public:
    virtual ~Canvas() = default;

    // --- Textures ------------------------------------------------------------------------
    // Creates a texture from width*height ARGB words, top row first. Returns kNoTexture when
    // the size is not positive or too large for the device.
    virtual TextureId CreateTexture(int width, int height, const uint32_t* argb) = 0;
    // Replaces the pixels of an existing texture (same size).
    virtual void UpdateTexture(TextureId tex, const uint32_t* argb) = 0;
    virtual void DestroyTexture(TextureId tex) = 0;
    // Size of a texture in pixels; (0, 0) for an unknown handle.
    virtual TPoint2px TextureSize(TextureId tex) const = 0;

    // --- Texture selection ---------------------------------------------------------------
    // (1) Selects a rectangle of a texture in texture pixels, optionally mirrored (left and
    // right swapped) and flipped (top and bottom swapped).
    void UseTexturePx(TextureId tex, const TRect& src, bool mirror = false, bool flip = false);
    // (2) Selects a texture with four explicit coordinates (top-left, top-right, bottom-right,
    // bottom-left) in texture space; values outside 0..1 repeat the texture.
    virtual void UseTexture(TextureId tex, const TPoint4& uv) = 0;
    // Selects no texture: following quads are filled with their corner colours alone.
    void UseNoTexture();

    // --- Drawing -------------------------------------------------------------------------
    // (3) Draws the selected texture on a quadrangle given by its corners (top-left,
    // top-right, bottom-right, bottom-left) with four corner colours. Quads that are not
    // parallelograms are interpolated projectively, so there is no crease along a diagonal.
    virtual void TexMap(const TPoint4& corners, const TColor4& colors, TBlendingEffect effect) = 0;
    // (4) Draws a filled arc (a pie slice) of `segments` untextured triangles around
    // `center`, from angle `from` to angle `to` (radians, clockwise on screen, 0 pointing
    // right). The four colours are the corner colours of the circle's bounding square and
    // are interpolated over it.
    void FillArc(TPoint2 center, float radius, float from, float to, int segments,
                 const TColor4& colors, TBlendingEffect effect);
    // A filled, untextured quadrangle.
    void FillQuad(const TPoint4& corners, const TColor4& colors, TBlendingEffect effect);
    // One pixel at (x, y).
    void PutPixel(float x, float y, TColor color, TBlendingEffect effect);

    // (5) The current clip rectangle in client pixels; everything outside is not drawn.
    virtual TRect ClipRect() const = 0;
    virtual void SetClipRect(const TRect& rect) = 0;

    // --- Frames --------------------------------------------------------------------------
    // Size of the drawing surface in pixels.
    virtual TPoint2px Size() const = 0;
    virtual void Resize(int width, int height) = 0;
    // Starts a frame: clears the surface and resets the clip rectangle to the whole surface.
    virtual void BeginFrame(TColor clearColor) = 0;
    // Sends everything drawn so far to the device.
    virtual void Flush() = 0;
    // Ends a frame (flushes); presenting is the window's business.
    virtual void EndFrame() = 0;
    // Reads the drawn surface back as ARGB words, top row first.
    virtual std::vector<uint32_t> ReadPixels() = 0;

    // Statistics of the current (or last) frame.
    struct Stats {
        uint32_t quads = 0;
        uint32_t triangles = 0;
        uint32_t drawCalls = 0;
        uint32_t culledQuads = 0; // quads left out because nothing of them could show
    };
    virtual Stats FrameStats() const = 0;

protected:
    // Untextured triangles with per-vertex colours (used by FillArc).
    struct ColorVertex {
        TPoint2 pos;
        TColor color;
    };
    virtual void DrawTriangles(const ColorVertex* vertices, size_t count,
                               TBlendingEffect effect) = 0;
};

// Writes ARGB pixels (top row first) to a PNG file. Returns false and leaves no file on error.
bool SavePng(const std::string& path, int width, int height, const std::vector<uint32_t>& argb);

} // namespace bw
