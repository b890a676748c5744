#include "board/BoardSprites.h"

#include "board/Board.h"
#include "board/Location.h"
#include "board/LocationLayout.h"
#include "data/GameFonts.h"
#include "data/KilnFonts.h"
#include "gui/ButtonSprites.h"

#include <algorithm>
#include <string>

namespace bw {

namespace {

constexpr const char* GateOpenedImage = "gate_opened.image";
constexpr const char* GateClosedImage = "gate_closed.image";
constexpr const char* GateAnimImage = "gate_anim.image";
constexpr int GateAnimFrames = 16;
constexpr float GateAnimSpeed = 0.4f;

void CopyPicture(TAnimatedSprite& light, const TAnimatedSprite& owner) {
    light.SetImageName(owner.FImageName);
    light.SetPatternIndex(owner.FPatternIndex);
    light.FX = owner.FX;
    light.FY = owner.FY;
    light.FScaleX = owner.FScaleX;
    light.FScaleY = owner.FScaleY;
}

} // namespace

// ---- Cell -------------------------------------------------------------------------------------

TLevelSprite::TLevelSprite(TSprite* parent) : TAnimatedSprite(parent) {
    FLightSprite = new TAnimatedSprite(this);
    FLightSprite->FManualRender = true;
    FLightSprite->FVisible = false;
    FLightSprite->FEffect = beAdd;
    FLightSprite->SetAlpha(0);
}

void TLevelSprite::Highlight() {
    FLightLevel = CellLightLevel;
    CopyPicture(*FLightSprite, *this);
    FLightSprite->FVisible = true;
    FLightSprite->SetAlpha(static_cast<int>(FLightLevel));
}

void TLevelSprite::PlaceAt(TPoint2 pos) {
    FX = pos.x;
    FY = pos.y;
    FCenter = TPoint2{pos.x + FCentreOffset.x, pos.y + FCentreOffset.y};
    FLightSprite->FX = pos.x;
    FLightSprite->FY = pos.y;
    for (TAnimatedSprite* piece : backing) {
        piece->FX = pos.x + backingOffset.x;
        piece->FY = pos.y + backingOffset.y;
    }
}

void TLevelSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    if (FLightSprite->FVisible) {
        FLightLevel -= CellLightFade * moveCount;
        if (FLightLevel <= 0.0f) {
            FLightLevel = 0.0f;
            FLightSprite->FVisible = false;
        }
        FLightSprite->SetAlpha(static_cast<int>(std::min(FLightLevel, 255.0f)));
    }
    if (!FFloating) return;
    const TLocationOptions& location = LocationOptions();
    // A train cell rides only while there is a train; without it the cell stays put.
    if (location.FKind == lockind_Train && !LocationTrainObject()) return;
    AdvanceFloating(FTimecounter, FAnimPosOffset.y, moveCount);
    SetAlpha(FloatingAlpha(FAnimPosOffset.y));
    const TPoint2 offset = FloatingCellOffset(location, FTimecounter, FAnimPosOffset.y);
    PlaceAt(TPoint2{FStartPos.x + offset.x, FStartPos.y + offset.y});
}

void TLevelSprite::DoDraw() {
    TAnimatedSprite::DoDraw();
    if (FLightSprite->FVisible) {
        FLightSprite->SetPatternIndex(FPatternIndex);
        FLightSprite->DoDraw();
    }
}

// ---- Wall -------------------------------------------------------------------------------------

TWallSprite::TWallSprite(TSprite* parent) : TAnimatedSprite(parent) {
    FVisible = false;
}

void TWallSprite::UpdatePicture() {
    const TLocationOptions& location = LocationOptions();
    SetImageName(location.FWallsImage);
    if (FStrength == 0) {
        FVisible = false;
        return;
    }
    if (location.FWallsKind == 0) {
        SetPatternIndex(FStrength - 1);
    } else {
        const bool rightHalf = pX > location.FMapSize.x / 2;
        SetPatternIndex(2 * FStrength + (rightHalf ? 1 : 0) - 2);
    }
}

void TWallSprite::UpdatePosition() {
    const TLevelSprite* cell = BoardCells[pX][pY];
    if (!cell) return;
    const TLocationOptions& location = LocationOptions();
    float dx = -3.0f;
    if (pX > location.FMapSize.x / 2) {
        if (location.FWallsKind == 1) dx = 5.0f;
        if (location.FWallsKind == 2) dx = 0.0f;
    }
    FX = cell->FX + dx + FgrowOffset.x;
    FY = cell->FY - 18.0f + FgrowOffset.y;
}

void TWallSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    if (FAnimStage == 1 || FAnimStage == 3) {
        if (GrowStep(FScaleX, FAnimStage, moveCount)) {
            FSmall = false;
            Host().RefreshTask(false);
        }
        FScaleY = FScaleX;
    }
    const float w = static_cast<float>(GetImageWidth());
    const float h = static_cast<float>(GetImageHeight());
    const TPoint2 scale = LocationOptions().FMapElementsScale;
    FgrowOffset = TPoint2{(w * scale.x - w * FScaleX) / 2.0f, (h * scale.y - h * FScaleY) / 2.0f};
    UpdatePosition();
}

// ---- Gate -------------------------------------------------------------------------------------

TGateSprite::TGateSprite(TSprite* parent) : TAnimatedSprite(parent) {
    FVisible = false;
}

void TGateSprite::StartToggleAnimation() {
    // A gate toggled while it still moves turns round from the frame it shows.
    const int frame = FAnimating ? std::clamp(FPatternIndex, 0, GateAnimFrames - 1)
                                 : (FOpened ? GateAnimFrames - 1 : 0);
    SetImageName(GateAnimImage);
    FAnimStart = 0;
    FAnimCount = GateAnimFrames;
    FAnimLooped = false;
    FAnimPlayMode = FOpened ? pmBackward : pmForward;
    FAnimSpeed = GateAnimSpeed;
    FAnimPos = static_cast<float>(frame);
    SetPatternIndex(frame);
    FDoAnimate = true;
    FAnimating = true;
}

void TGateSprite::UpdatePosition() {
    const TLevelSprite* cell = BoardCells[pX][pY];
    if (!cell) return;
    const TPoint2 scale = LocationOptions().FMapElementsScale;
    FX = cell->FX - 3.0f / (scale.x != 0.0f ? scale.x : 1.0f);
    FY = cell->FY - 18.0f / (scale.y != 0.0f ? scale.y : 1.0f);
}

void TGateSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    if (FAnimating) {
        const bool done = FOpened ? FPatternIndex <= 0 : FPatternIndex >= GateAnimFrames - 1;
        if (done) {
            FAnimating = false;
            FDoAnimate = false;
            SetImageName(FOpened ? GateOpenedImage : GateClosedImage);
            SetPatternIndex(0);
            FAnimCount = 0;
        }
    }
    UpdatePosition();
}

void TGateSprite::DoDraw() {
    TAnimatedSprite::DoDraw();
    TKilnFonts* fonts = GuiFonts();
    if (!fonts || ShadowFont < 0) return;
    TKilnFont* font = fonts->Font(ShadowFont);
    if (!font) return;
    const std::string text = FAnimating ? "0" : std::to_string(FProgress);
    const float lift =
        (!FOpened && !FAnimating) ? 23.4f : static_cast<float>(FPatternIndex) * 1.56f;
    const TPoint2 centre{FX + static_cast<float>(GetImageWidth()) * FScaleX / 2.0f - 3.0f,
                         FY + static_cast<float>(GetImageHeight()) * FScaleY / 2.0f + 2.0f - lift};
    const TPoint2 saved = font->FScale;
    font->FScale = TPoint2{0.6f, 0.6f};
    font->TextMidF(centre, text, static_cast<float>(FAlpha) / 255.0f,
                   TColor2{0xFFFFFFFFu, 0xFFFFFFFFu});
    font->FScale = saved;
}

} // namespace bw
