#include "gui/ButtonSprites.h"

#include "Engine/KilnSprite/SpriteMath.h"
#include "data/KilnFonts.h"

#include <algorithm>
#include <cmath>

namespace bw {

// --- TGlowButtonSprite -------------------------------------------------------------------------

TGlowButtonSprite::TGlowButtonSprite(TSprite* parent) : TAnimatedSprite(parent) {
    // The glow is a child of the button, so it goes wherever the button goes and is freed
    // with it; the button draws it itself, right after its own picture.
    FLightSprite = new TAnimatedSprite(this);
    FLightSprite->FManualRender = true;
    FLightSprite->FEffect = beAdd;
    FLightSprite->FAlpha = 0;
}

void TGlowButtonSprite::SetPosition(TPoint2 position) {
    FPosition = position;
    SetX(position.x);
    SetY(position.y);
    if (FLightSprite != nullptr) {
        FLightSprite->SetX(FX);
        FLightSprite->SetY(FY);
    }
}

void TGlowButtonSprite::SetLightLevel(float level) {
    FLightlevel = std::isnan(level) ? 0.0f : std::clamp(level, 0.0f, 255.0f);
    if (FLightSprite != nullptr) FLightSprite->FAlpha = KilnRound(FLightlevel);
}

void TGlowButtonSprite::Kill() {
    if (FLightSprite != nullptr) {
        FLightSprite->Dead();
        FLightSprite = nullptr;
    }
    Dead();
}

void TGlowButtonSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    if (!FDeaded && FLightlevel > 0.0f) SetLightLevel(FLightlevel - FLightFadeSpeed);
}

void TGlowButtonSprite::DrawButtonAndGlow() {
    TSpriteEx::DoDraw();
    TAnimatedSprite* glow = FLightSprite;
    if (glow == nullptr || FLightlevel <= 0.0f) return;
    // The glow always shows the button's current picture where the button is, even when a
    // screen moved or rescaled the button through its fields.
    glow->SetImageName(FImageName);
    glow->FPatternIndex = FPatternIndex;
    glow->FX = FX;
    glow->FY = FY;
    glow->FScaleX = FScaleX;
    glow->FScaleY = FScaleY;
    glow->FOffsetX = FOffsetX;
    glow->FOffsetY = FOffsetY;
    glow->FMirrorX = FMirrorX;
    glow->FMirrorY = FMirrorY;
    glow->FAlpha = KilnRound(FLightlevel);
    glow->DoDraw();
}

void TGlowButtonSprite::ShowPicture(std::string_view imageName) {
    SetImageName(imageName);
    if (FLightSprite != nullptr) FLightSprite->SetImageName(imageName);
}

// --- TSimpleButtonSprite -----------------------------------------------------------------------

TSimpleButtonSprite::TSimpleButtonSprite(TSprite* parent) : TGlowButtonSprite(parent) {}

void TSimpleButtonSprite::SetButtonScale(TPoint2 scale) {
    FButtonScale = scale;
    FScaleX = scale.x;
    FScaleY = scale.y;
    if (FLightSprite != nullptr) {
        FLightSprite->FScaleX = scale.x;
        FLightSprite->FScaleY = scale.y;
    }
}

void TSimpleButtonSprite::SetButtonImage(std::string_view imageName) {
    FButtonImage = std::string(imageName);
    ShowPicture(imageName);
}

void TSimpleButtonSprite::UpdateCollisionParameters() {
    const double w = GetPatternWidth();
    const double h = GetPatternHeight();
    FCollisioned = true;
    FCollideMode = cmRect;
    FCollideRect = TRect{KilnRound(FX), KilnRound(FY), KilnRound(FX + w * FScaleX),
                         KilnRound(FY + h * FScaleY)};
}

void TSimpleButtonSprite::DoDraw() {
    if (FDeaded) return;
    DrawButtonAndGlow();
}

// --- TButtonSprite2 ----------------------------------------------------------------------------

TButtonSprite2::TButtonSprite2(TSprite* parent) : TGlowButtonSprite(parent) {
    FParameters.Scale = TPoint2{1.0f, 1.0f};
    FParameters.Centered = true;
    FParameters.ButtonWidth = 208;
    FParameters.ButtonScale = TPoint2{1.0f, 1.0f};
    FLightSprite->SetZ(FZ + 1);
}

std::string TButtonSprite2::PictureName() const {
    const int index = std::clamp(FButtonTemplate, 1, static_cast<int>(ButtonTemplateWidths.size()));
    std::string name = FButtonImage + "_" +
                       std::to_string(ButtonTemplateWidths[static_cast<std::size_t>(index - 1)]);
    if (FButtonShadow) name += "_shadow";
    name += FEnabled ? ".image" : "_gs.image";
    return name;
}

void TButtonSprite2::SetButtonImage(std::string_view base) {
    FButtonImage = std::string(base);
    // The picture follows the enabled state, so a disabled button stays grey when its width,
    // base or shadow changes.
    ShowPicture(PictureName());
}

void TButtonSprite2::SetButtonWidth(int width) {
    if (width == 0) return;
    FButtonWidth = width;
    for (int n = static_cast<int>(ButtonTemplateWidths.size()); n >= 1; --n) {
        if (width >= ButtonTemplateWidths[static_cast<std::size_t>(n - 1)]) {
            FButtonTemplate = n;
            break;
        }
    }
    const int templateWidth = ButtonTemplateWidths[static_cast<std::size_t>(FButtonTemplate - 1)];
    if (!FButtonScaling) {
        FButtonWidth = templateWidth;
    } else {
        FScaleX = static_cast<float>(static_cast<double>(width) / templateWidth);
        FButtonWidth = width;
    }
    if (FLightSprite != nullptr) {
        FLightSprite->FScaleX = FScaleX;
        FLightSprite->FScaleY = FScaleY;
    }
    SetButtonImage(FButtonImage);
    UpdateCollisionParameters();
}

void TButtonSprite2::SetButtonShadow(bool shadow) {
    FButtonShadow = shadow;
    SetButtonImage(FButtonImage);
}

void TButtonSprite2::SetEnabled(bool enabled) {
    FEnabled = enabled;
    ShowPicture(PictureName());
    FCollisioned = enabled;
}

void TButtonSprite2::SetParameters(const TTSTextButton& parameters) {
    FParameters = parameters;
    FScaleX = parameters.ButtonScale.x;
    FScaleY = parameters.ButtonScale.y;
    if (FLightSprite != nullptr) {
        FLightSprite->FScaleX = FScaleX;
        FLightSprite->FScaleY = FScaleY;
    }
    FButtonScaling = parameters.ButtonExactSize;
    SetButtonWidth(parameters.ButtonWidth);
    UpdateCollisionParameters();
}

void TButtonSprite2::SetGVisible(bool visible) {
    FGVisible = visible;
    FVisible = visible;
    if (FLightSprite != nullptr) FLightSprite->FVisible = visible;
}

void TButtonSprite2::UpdateCollisionParameters() {
    const double w = GetPatternWidth();
    const double h = GetPatternHeight();
    // A disabled button stays out of the hit test whatever moved or resized it.
    FCollisioned = FEnabled;
    FCollideMode = cmRect;
    FCollideRect = TRect{KilnRound(FX + 15.0), KilnRound(FY + 10.0),
                         KilnRound(FX + w * FScaleX - 15.0), KilnRound(FY + h * FScaleY - 18.0)};
}

TPoint2 TButtonSprite2::CaptionCentre() const {
    const double w = GetPatternWidth();
    const double h = GetPatternHeight();
    return TPoint2{static_cast<float>(KilnRound(w / 2.0 * FScaleX + FX + FParameters.OffSet.x)),
                   static_cast<float>(KilnRound(h / 2.0 * FScaleY + FY + FParameters.OffSet.y))};
}

void TButtonSprite2::DoDraw() {
    if (FDeaded) return;
    DrawButtonAndGlow();

    TKilnFonts* fonts = GuiFonts();
    TKilnFont* font = fonts != nullptr ? fonts->Font(FText_Font_index) : nullptr;
    if (font == nullptr || FParameters.Text.empty()) return;
    font->FScale = FParameters.Scale;
    const TPoint2 centre = CaptionCentre();
    const auto leading = static_cast<float>(FParameters.Leading);
    // Captions are centred on the button whatever the record says.
    font->TextOut(centre, FParameters.Text, true, 1.0f,
                  FEnabled ? FText_Color : FText_Color_grayscale, leading);
    // The glowing copy reaches full strength at a light level of 155.
    if (FLightlevel > 0.0f) {
        font->TextOut(centre, FParameters.Text, true, FLightlevel / 155.0f, FText_Color_lighted,
                      leading);
    }
}

void StyleGoldButton(TButtonSprite2& button, int font) {
    button.SetButtonImage("Button_1");
    button.FText_Font_index = font;
    button.FText_Color = TColor2{0xFFFFFA42, 0xFFFCE021};
    button.FText_Color_lighted = TColor2{0xFFFFFFFF, 0xFFFFFFFF};
    button.FText_Color_grayscale = TColor2{0xFFBCBCBC, 0xFF848484};
    button.SetButtonShadow(true);
    button.SetLightFadeSpeed(7.0f);
}

TKilnFonts*& GuiFonts() {
    static TKilnFonts* fonts = nullptr;
    return fonts;
}

} // namespace bw
