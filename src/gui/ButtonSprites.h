// The GUI buttons: a picture button (TSimpleButtonSprite) and a text button built from width
// templates (TButtonSprite2). Both glow while the pointer is over them: a second sprite draws
// the button's picture additively with an alpha of the light level, which fades by
// LightFadeSpeed every tick (ButtonProtocol.h keeps it up while the pointer stays).
//
// A screen creates a button, gives it its picture, position, name, fade speed and Z, then
// calls UpdateCollisionParameters (again after every move or resize), and removes it with
// Kill, never with Dead alone.
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"
#include "data/TextRecords.h"
#include "gui/ButtonNames.h"

#include <array>
#include <string>
#include <string_view>

namespace bw {

class TKilnFonts;

// What the two button classes share: the name, the position, the glow and its light level.
class TGlowButtonSprite : public TAnimatedSprite {
public:
    // Creates the glow sprite too (a manually rendered child, additive blend).
    explicit TGlowButtonSprite(TSprite* parent);

    TButtonName FButtonName = button_Nil;
    int FButtonWidth = 0;
    std::string FButtonImage;
    TPoint2 FPosition;
    float FLightFadeSpeed = 0.0f; // light lost per tick (the screens use 7.0)

    TButtonName ButtonName() const { return FButtonName; }
    void SetButtonName(TButtonName name) { FButtonName = name; }
    TPoint2 Position() const { return FPosition; }
    // Moves the button and its glow.
    void SetPosition(TPoint2 position);
    float LightLevel() const { return FLightlevel; }
    // Clamped to 0 .. 255; the glow's alpha follows.
    void SetLightLevel(float level);
    float LightFadeSpeed() const { return FLightFadeSpeed; }
    void SetLightFadeSpeed(float speed) { FLightFadeSpeed = speed; }
    // The glow sprite; null once the button was killed.
    TAnimatedSprite* LightSprite() const { return FLightSprite; }

    // The hit rectangle from the current position, scale and picture.
    virtual void UpdateCollisionParameters() = 0;
    // Marks the glow and then the button for removal.
    void Kill();

    // The animation step, then the glow fades.
    void DoMove(float moveCount) override;

protected:
    float FLightlevel = 0.0f;
    TAnimatedSprite* FLightSprite = nullptr;

    // Draws the button picture and the glow over it.
    void DrawButtonAndGlow();
    // Sets the picture of the button and the glow.
    void ShowPicture(std::string_view imageName);
};

// A picture button that brightens under the pointer.
class TSimpleButtonSprite : public TGlowButtonSprite {
public:
    explicit TSimpleButtonSprite(TSprite* parent);

    TPoint2 FButtonScale; // (0, 0) and not applied until set

    TPoint2 ButtonScale() const { return FButtonScale; }
    // Scales the button and its glow.
    void SetButtonScale(TPoint2 scale);
    const std::string& ButtonImage() const { return FButtonImage; }
    // The picture of button and glow (an image name with ".image").
    void SetButtonImage(std::string_view imageName);

    // The picture's rectangle at the current position and scale.
    void UpdateCollisionParameters() override;
    void DoDraw() override;
};

// Widths of the ten picture templates of TButtonSprite2, template 1 first.
inline constexpr std::array<int, 10> ButtonTemplateWidths{88,  112, 136, 160, 184,
                                                          208, 232, 256, 280, 304};

// A text button. Its picture is base + "_" + template width (+ "_shadow") + ".image", or
// + "_gs.image" while disabled, where the template is the widest one that the wanted width
// reaches; with ButtonScaling the template is stretched to the exact width.
class TButtonSprite2 : public TGlowButtonSprite {
public:
    explicit TButtonSprite2(TSprite* parent);

    bool FEnabled = true;
    TTSTextButton FParameters; // caption and sizing
    int FButtonTemplate = 1;   // 1 .. 10
    bool FButtonScaling = false;
    TColor2 FText_Color;           // caption while enabled
    TColor2 FText_Color_lighted;   // glowing caption drawn over it
    TColor2 FText_Color_grayscale; // caption while disabled
    int FText_Font_index = 0;
    bool FButtonShadow = false;
    bool FGVisible = false;

    bool Enabled() const { return FEnabled; }
    // Grey or normal picture; a disabled button is not hit.
    void SetEnabled(bool enabled);
    const TTSTextButton& Parameters() const { return FParameters; }
    // Takes the caption, the scale, the exact-size flag and the width of a text record.
    void SetParameters(const TTSTextButton& parameters);
    int ButtonWidth() const { return FButtonWidth; }
    // Chooses the template (0 is ignored; below the narrowest template the template stays).
    void SetButtonWidth(int width);
    bool ButtonScaling() const { return FButtonScaling; }
    void SetButtonScaling(bool scaling) { FButtonScaling = scaling; }
    const std::string& ButtonImage() const { return FButtonImage; }
    // The base picture name without width and extension, for example "Button_1".
    void SetButtonImage(std::string_view base);
    bool ButtonShadow() const { return FButtonShadow; }
    void SetButtonShadow(bool shadow);
    bool GVisible() const { return FGVisible; }
    // Shows or hides button and glow.
    void SetGVisible(bool visible);

    // The picture rectangle inset by 15 at the sides, 10 at the top and 18 at the bottom.
    void UpdateCollisionParameters() override;
    // Button, glow, then the caption centred on the picture and its glowing copy.
    void DoDraw() override;

    // The picture name for the current template, shadow and enabled state.
    std::string PictureName() const;
    // The caption's centre in design units.
    TPoint2 CaptionCentre() const;
};

// The look of the game's text buttons: the "Button_1" pictures with their shadow, the caption
// in `font` in gold (white while glowing, grey while disabled), the light fading by 7 a tick.
void StyleGoldButton(TButtonSprite2& button, int font);

// The font catalogue that button captions are drawn with; null draws no captions.
TKilnFonts*& GuiFonts();

} // namespace bw
