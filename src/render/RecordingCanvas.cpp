#include "render/RecordingCanvas.h"

#include <algorithm>

namespace bw {

RecordingCanvas::RecordingCanvas(int width, int height)
    : size_{width, height}, clip_{0, 0, width, height} {}

TextureId RecordingCanvas::CreateTexture(int width, int height, const uint32_t* /*argb*/) {
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return kNoTexture;
    textures_.push_back({width, height});
    return static_cast<TextureId>(textures_.size());
}

void RecordingCanvas::UpdateTexture(TextureId /*tex*/, const uint32_t* /*argb*/) {}

void RecordingCanvas::DestroyTexture(TextureId tex) {
    if (tex >= 1 && tex <= textures_.size()) textures_[tex - 1] = {0, 0};
}

TPoint2px RecordingCanvas::TextureSize(TextureId tex) const {
    if (tex >= 1 && tex <= textures_.size()) return textures_[tex - 1];
    return {0, 0};
}

size_t RecordingCanvas::LiveTextures() const {
    return static_cast<size_t>(std::count_if(textures_.begin(), textures_.end(),
                                             [](const TPoint2px& s) { return s.x > 0; }));
}

void RecordingCanvas::UseTexture(TextureId tex, const TPoint4& uv) {
    currentTex_ = tex;
    currentUv_ = uv;
}

void RecordingCanvas::TexMap(const TPoint4& corners, const TColor4& colors,
                             TBlendingEffect effect) {
    ++stats_.quads;
    stats_.triangles += 2;
    if (recording_) quads_.push_back(Quad{currentTex_, currentUv_, corners, colors, effect});
}

void RecordingCanvas::DrawTriangles(const ColorVertex* vertices, size_t count,
                                    TBlendingEffect effect) {
    stats_.triangles += static_cast<uint32_t>(count / 3);
    if (recording_) triangles_.push_back(Triangles{{vertices, vertices + count}, effect});
}

void RecordingCanvas::Resize(int width, int height) {
    size_ = {width, height};
    clip_ = {0, 0, width, height};
}

void RecordingCanvas::BeginFrame(TColor clearColor) {
    clearColor_ = clearColor;
    clip_ = {0, 0, size_.x, size_.y};
    stats_ = {};
    Clear();
}

void RecordingCanvas::Clear() {
    quads_.clear();
    triangles_.clear();
}

std::vector<uint32_t> RecordingCanvas::ReadPixels() {
    return std::vector<uint32_t>(static_cast<size_t>(size_.x) * static_cast<size_t>(size_.y),
                                 clearColor_);
}

} // namespace bw
