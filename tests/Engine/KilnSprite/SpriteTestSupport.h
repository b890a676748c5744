// Shared scaffolding of the sprite tests: a recording canvas, an image catalogue with a few
// pictures and an engine that sees the whole 1920 x 1080 canvas.
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"
#include "Engine/KilnSprite/SpriteEngine.h"
#include "data/KilnImages.h"
#include "render/DisplayState.h"
#include "render/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bw::test {

// An image of `textures` square textures of `texSize` pixels cut into `cell` x `cell` cells.
inline TKilnImageData MakeSheet(const std::string& name, int textures, int texSize, int cell,
                                TPoint2px visible = {}) {
    TKilnImageData data;
    data.Name = name;
    data.PatternSize = {cell, cell};
    data.VisibleSize = visible;
    data.TextureSize = {texSize, texSize};
    data.Textures.assign(static_cast<size_t>(textures),
                         std::vector<uint32_t>(static_cast<size_t>(texSize) * texSize, 0xFF00FF00));
    return data;
}

// Restores the display mapping that a test changes.
class DisplayScaleGuard {
public:
    DisplayScaleGuard() : scale_(DisplayScale), offset_(WorldOffset) {}
    ~DisplayScaleGuard() {
        DisplayScale = scale_;
        WorldOffset = offset_;
    }

private:
    TPoint2 scale_;
    TPoint2 offset_;
};

class SpriteFixture : public ::testing::Test {
protected:
    SpriteFixture() : images(&canvas), engine(&canvas, &images) {
        DisplayScale = {1.0f, 1.0f};
        images.AddFromPixels(MakeSheet("Sheet.image", 1, 256, 64));
        images.AddFromPixels(MakeSheet("Small.image", 1, 64, 10, {5, 5}));
        engine.FVisibleWidth = 1920;
        engine.FVisibleHeight = 1080;
    }

    // A sprite of the 64 x 64 sheet at (x, y).
    template <class T = TAnimatedSprite>
    T* MakeSprite(float x, float y, TSprite* parent = nullptr) {
        auto* s = new T(parent != nullptr ? parent : &engine);
        s->SetImageName("sheet.image");
        s->FX = x;
        s->FY = y;
        return s;
    }

    const RecordingCanvas::Quad& OnlyQuad() const {
        EXPECT_EQ(canvas.Quads().size(), 1u);
        return canvas.Quads().front();
    }

    DisplayScaleGuard guard;
    RecordingCanvas canvas;
    TKilnImages images;
    TSpriteEngine engine;
};

} // namespace bw::test
