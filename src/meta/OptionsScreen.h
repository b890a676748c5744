// The options screen (scene_Options) over the main menu or a level: two volume sliders and
// four check boxes that edit GameOptions and take effect at once; Back saves "Game.ini".
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"
#include "data/TextRecords.h"
#include "effects/ParticleManager.h"
#include "gui/ButtonSprites.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace bw {

class Scene;

// Opens the options over the current scene (scene_MainMenu or scene_Level).
void OpenOptions();
void CloseOptions();
bool OptionsOpen();
// The shade's alpha (the in-game menu sets it to 200 when it hands over to the options).
void SetOptionsShadeAlpha(int alpha);
// One update: the shade fades in and a dragged handle follows the pointer.
void OptionsUpdate();
// The sprite the pointer reached while the options are the current scene.
void OptionsInput(TSprite& sprite);

// What the options need of the application shell and of a level underneath; the wiring fills
// it. An empty hook is skipped: the option still changes and is saved.
struct OptionsCallbacks {
    // The primary screen is too small to leave full screen.
    std::function<bool()> ScreenTooSmallForWindow;
    // Applies the full-screen option to the window.
    std::function<void(bool fullScreen)> SwitchWindowMode;
    // Applies the vertical sync option to the swap chain.
    std::function<void(bool on)> ApplyVSync;
    // Shows the game's pointer or the system's as the Cursor option says.
    std::function<void()> ApplyCursor;
};
extern OptionsCallbacks OptionsHooks;

// A side of a slider: its left and right end in x.
struct TLine2 {
    float Left = 0;
    float Right = 0;
};

// The panel; it writes the screen's title.
class TOptions_Panel : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;
    void DoDraw() override;
};

// A check box with its caption 270 units to its left.
class TOptions_CheckBox : public TSimpleButtonSprite {
public:
    using TSimpleButtonSprite::TSimpleButtonSprite;
    TTSText FCaption;
    bool FChecked = false;
    // Shows the empty or the checked picture.
    void SetChecked(bool checked);
    void DoDraw() override;
};

// The arrows and the handle of a slider, and the Back button.
class TMM_Options_SimpleButton : public TSimpleButtonSprite {
public:
    using TSimpleButtonSprite::TSimpleButtonSprite;
};

// A volume slider. It draws its picture, its fill effect and its title; the arrows and the
// handle are buttons of their own above it.
class TMM_OptionsScrollBar : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;
    ~TMM_OptionsScrollBar() override;

    TTSText FTitle;
    float FProgress = 0; // 0 .. 1
    TLine2 FRange;
    TMM_Options_SimpleButton* FLeftButton = nullptr;
    TMM_Options_SimpleButton* FRightButton = nullptr;
    TMM_Options_SimpleButton* FDragButton = nullptr;
    TParticleRef FMaskFx;

    // Takes the value (kept in 0 .. 1), moves the handle to it and refills.
    void SetProgress(float value);
    // The fill effect for the current value and handle: launched the first time the value
    // is above 0; at 0 its emitters go.
    void UpdateFill();
    // Advances the fill effect by `steps` particle steps.
    void AdvanceFill(int steps);
    void DoMove(float moveCount) override;
    void DoDraw() override;
};

// The options' sliders (0 music, 1 effects), check boxes (full screen, pointer, tutorial,
// vertical sync) and shade while open; null otherwise.
TMM_OptionsScrollBar* OptionsSlider(int index);
TOptions_CheckBox* OptionsCheckBox(TButtonName name);
TAnimatedSprite* OptionsShade();

std::unique_ptr<Scene> MakeOptionsScene();

} // namespace bw
