#include "gui/TextureOffsetSprite.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "Engine/KilnSprite/SpriteMath.h"
#include "data/KilnImages.h"
#include "render/Canvas.h"
#include "render/DisplayState.h"

namespace bw {

TTextureOffsetSprite::TTextureOffsetSprite(TSprite* parent) : TSpriteEx(parent) {}

void TTextureOffsetSprite::DoMove(float moveCount) {
    if (fDoTextureMove) {
        fTranspose.x = static_cast<float>(fTranspose.x + static_cast<double>(fSpeed.x) * moveCount);
        fTranspose.y = static_cast<float>(fTranspose.y + static_cast<double>(fSpeed.y) * moveCount);
    }
    fTC_Double.Pattern = FPatternIndex;
    fTC_Double.Mirror = FMirrorX;
    fTC_Double.Flip = FMirrorY;
    fTC_Double.x = fTranspose.x;
    fTC_Double.y = fTranspose.y;
    fTC_Double.w = GetPatternWidth();
    fTC_Double.h = GetPatternHeight();
}

void TTextureOffsetSprite::DoDraw() {
    if (!FVisible || FEngine == nullptr || FEngine->FCanvas == nullptr || FImage == nullptr) {
        return;
    }
    const TKilnImage& image = *FImage;
    image.Touch();
    if (image.Textures.empty() || image.Textures.front() == kNoTexture) return;
    const double iw = image.FVisibleSize.x;
    const double ih = image.FVisibleSize.y;
    if (iw <= 0.0 || ih <= 0.0) return;

    // How many image copies the drawn size holds; the texture repeats beyond 0 .. 1.
    const double sx = fRenderSize.x != 0 ? fRenderSize.x / iw : 1.0;
    const double sy = fRenderSize.y != 0 ? fRenderSize.y / ih : 1.0;
    const double tx = fTranspose.x;
    const double ty = fTranspose.y;
    auto uv = [](double u, double v) {
        return TPoint2{static_cast<float>(u), static_cast<float>(v)};
    };
    const TPoint4 coords{uv(sx * tx, sy * ty), uv(sx * (tx + 1.0), sy * ty),
                         uv(sx * (tx + 1.0), sy * (ty + 1.0)), uv(sx * tx, sy * (ty + 1.0))};

    const double w = fRenderSize.x != 0 ? fRenderSize.x : iw;
    const double h = fRenderSize.y != 0 ? fRenderSize.y : ih;
    const TSpriteEngine& e = *FEngine;
    const TPoint2 s = DisplayScale;
    const double left = (static_cast<double>(FX) - KilnTrunc(e.FWorldX)) * s.x;
    const double top = (static_cast<double>(FY) - KilnTrunc(e.FWorldY)) * s.y;
    const double width = KilnRound(w * FScaleX * s.x);
    const double height = KilnRound(h * FScaleY * s.y);
    const auto l = static_cast<float>(left);
    const auto t = static_cast<float>(top);
    const auto r = static_cast<float>(left + width);
    const auto b = static_cast<float>(top + height);

    const TColor color = MakeColor(static_cast<uint32_t>(FRed), static_cast<uint32_t>(FGreen),
                                   static_cast<uint32_t>(FBlue), static_cast<uint32_t>(FAlpha));
    Canvas& canvas = *e.FCanvas;
    canvas.UseTexture(image.Textures.front(), coords);
    canvas.TexMap(TPoint4{TPoint2{l, t}, TPoint2{r, t}, TPoint2{r, b}, TPoint2{l, b}},
                  TColor4(color), FEffect);
}

void TTextureOffsetSprite::Assign(const TSprite& source) {
    if (&source == this) return;
    if (const auto* src = dynamic_cast<const TTextureOffsetSprite*>(&source)) {
        fTranspose = src->fTranspose;
        fSpeed = src->fSpeed;
        fDoTextureMove = src->fDoTextureMove;
        fTC_Double = src->fTC_Double;
        fRenderSize = src->fRenderSize;
        FX = src->FX;
        FY = src->FY;
        SetZ(src->FZ);
        FScaleX = src->FScaleX;
        FScaleY = src->FScaleY;
    }
    TSpriteEx::Assign(source);
}

} // namespace bw
