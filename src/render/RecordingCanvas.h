// A canvas that draws nothing and records every call, for tests and benchmarks of the layers
// above the renderer.
#pragma once

#include "render/Canvas.h"

#include <vector>

namespace bw {

class RecordingCanvas final : public Canvas {
public:
    struct Quad {
        TextureId texture = kNoTexture;
        TPoint4 uv{};
        TPoint4 corners{};
        TColor4 colors{};
        TBlendingEffect effect = beNormal;
    };
    struct Triangles {
        std::vector<ColorVertex> vertices;
        TBlendingEffect effect = beNormal;
    };

    explicit RecordingCanvas(int width = 1920, int height = 1080);

    TextureId CreateTexture(int width, int height, const uint32_t* argb) override;
    void UpdateTexture(TextureId tex, const uint32_t* argb) override;
    void DestroyTexture(TextureId tex) override;
    TPoint2px TextureSize(TextureId tex) const override;

    void UseTexture(TextureId tex, const TPoint4& uv) override;
    void TexMap(const TPoint4& corners, const TColor4& colors, TBlendingEffect effect) override;
    TRect ClipRect() const override { return clip_; }
    void SetClipRect(const TRect& rect) override { clip_ = rect; }

    TPoint2px Size() const override { return size_; }
    void Resize(int width, int height) override;
    void BeginFrame(TColor clearColor) override;
    void Flush() override {}
    void EndFrame() override { ++framesEnded_; }
    std::vector<uint32_t> ReadPixels() override;
    Stats FrameStats() const override { return stats_; }

    // What was drawn since the last BeginFrame (or Clear).
    const std::vector<Quad>& Quads() const { return quads_; }
    const std::vector<Triangles>& TriangleBatches() const { return triangles_; }
    TColor LastClearColor() const { return clearColor_; }
    int FramesEnded() const { return framesEnded_; }
    size_t LiveTextures() const;
    // Forgets the recorded draws (keeps textures). With recording off, draws are only counted.
    void Clear();
    void SetRecording(bool on) { recording_ = on; }

protected:
    void DrawTriangles(const ColorVertex* vertices, size_t count, TBlendingEffect effect) override;

private:
    TPoint2px size_;
    TRect clip_;
    TColor clearColor_ = 0;
    int framesEnded_ = 0;
    bool recording_ = true;
    TextureId currentTex_ = kNoTexture;
    TPoint4 currentUv_{};
    std::vector<TPoint2px> textures_; // index = id - 1; (0, 0) once destroyed
    std::vector<Quad> quads_;
    std::vector<Triangles> triangles_;
    Stats stats_;
};

} // namespace bw
