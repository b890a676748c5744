// The canvas on OpenGL 3.3 core. Needs a current GL context for its whole life.
#pragma once

#include "render/AlphaTiles.h"
#include "render/Canvas.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace bw {

class GlCanvas final : public Canvas {
public:
    // Builds the shaders and buffers; returns nullptr (and fills `error`) when that fails.
    static std::unique_ptr<GlCanvas> Create(int width, int height, std::string* error);
    ~GlCanvas() override;
    GlCanvas(const GlCanvas&) = delete;
    GlCanvas& operator=(const GlCanvas&) = delete;

    TextureId CreateTexture(int width, int height, const uint32_t* argb) override;
    void UpdateTexture(TextureId tex, const uint32_t* argb) override;
    void DestroyTexture(TextureId tex) override;
    TPoint2px TextureSize(TextureId tex) const override;

    void UseTexture(TextureId tex, const TPoint4& uv) override;
    void TexMap(const TPoint4& corners, const TColor4& colors, TBlendingEffect effect) override;
    TRect ClipRect() const override { return clip_; }
    void SetClipRect(const TRect& rect) override;

    TPoint2px Size() const override { return size_; }
    void Resize(int width, int height) override;
    void BeginFrame(TColor clearColor) override;
    void Flush() override;
    void EndFrame() override;
    std::vector<uint32_t> ReadPixels() override;
    Stats FrameStats() const override { return stats_; }

    // Copies the drawn frame onto the window's own framebuffer (of the given size), ready to
    // be presented. Frames are drawn into an off-screen target of the canvas's size, so what
    // is read back never depends on the window system.
    void CopyToWindow(int windowWidth, int windowHeight);

    // Largest texture side the device takes.
    int MaxTextureSize() const { return maxTextureSize_; }

    struct Vertex {
        float x, y;     // client pixels
        float u, v, q;  // projective texture coordinates (u*q, v*q, q)
        uint32_t color; // ARGB
    };
    // What the device was sent, for measuring a frame against a bare replay of it: every
    // vertex as triangles, and the GL texture of each draw call with its vertex count.
    struct DrawCapture {
        std::vector<Vertex> vertices;
        std::vector<std::pair<unsigned, size_t>> draws;
    };
    // Appends what each following draw call sends to `capture` (nullptr stops).
    void SetDrawCapture(DrawCapture* capture) { capture_ = capture; }

protected:
    void DrawTriangles(const ColorVertex* vertices, size_t count, TBlendingEffect effect) override;

private:
    struct Texture {
        unsigned name = 0;
        int width = 0;
        int height = 0;
        AlphaTiles tiles; // of a large picture; empty for small or updated ones
    };
    enum class Primitive { Quads, Triangles };

    GlCanvas() = default;
    bool Init(int width, int height, std::string* error);
    void Prepare(unsigned texture, TBlendingEffect effect, Primitive primitive,
                 bool opaque = false);
    // Draws a large axis-aligned picture by its tiles; false when the quad is not one.
    bool TexMapTiles(const Texture& tex, const TPoint4& corners, TColor color,
                     TBlendingEffect effect);
    void PushQuad(const TPoint4& corners, const TPoint4& uv, const TColor4& colors);
    void ApplyBlend(TBlendingEffect effect);
    void ApplyViewport();
    void Capture(); // the batch into capture_
    unsigned GlName(TextureId tex) const;

    TPoint2px size_{};
    TRect clip_{};
    int maxTextureSize_ = 2048;

    unsigned program_ = 0;
    int uniformScreen_ = -1;
    unsigned opaqueProgram_ = 0; // no discard, drawn without blending
    int opaqueScreen_ = -1;
    unsigned vao_ = 0;
    unsigned vbo_ = 0;
    unsigned ibo_ = 0;
    unsigned whiteTexture_ = 0;
    unsigned fbo_ = 0;
    unsigned colorBuffer_ = 0;

    std::vector<Texture> textures_; // index = id - 1; name 0 once destroyed
    std::vector<TextureId> freeIds_;

    // Selection made by UseTexture.
    TextureId selId_ = kNoTexture; // none: the white texture
    TPoint4 selUv_{};

    // The batch being collected: the first batchCount_ vertices of a store sized once.
    std::vector<Vertex> batch_;
    size_t batchCount_ = 0;
    size_t ringHead_ = 0; // where the next batch goes in the vertex buffer, in vertices
    unsigned batchTexture_ = 0;
    TBlendingEffect batchEffect_ = beNormal;
    Primitive batchPrimitive_ = Primitive::Quads;
    bool batchOpaque_ = false;
    bool blendEnabled_ = true;
    std::vector<AlphaTiles::Run> runs_; // scratch of TexMapTiles
    TBlendingEffect lastEffect_ = beNormal;
    bool blendApplied_ = false;
    unsigned boundTexture_ = ~0u;

    Stats stats_;
    DrawCapture* capture_ = nullptr;
    bool scissorSet_ = false; // clip_ is what the scissor box holds
};

} // namespace bw
