#include "meta/OptionsScreen.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "audio/SoundEngine.h"
#include "base/GameObjects.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "base/ModalLayers.h"
#include "base/Scene.h"
#include "base/SceneTransition.h"
#include "data/GameFonts.h"
#include "data/KilnFonts.h"
#include "data/TextDatabase.h"
#include "gui/ButtonProtocol.h"
#include "gui/MessageBox.h"
#include "gui/Shade.h"
#include "gui/TextDrawing.h"
#include "meta/OptionsMath.h"
#include "platform/Log.h"

#include <algorithm>
#include <array>

namespace bw {

OptionsCallbacks OptionsHooks;

namespace {

constexpr TPoint2 PanelPos{635, 250};
constexpr int PanelZ = 7000;
constexpr int ShadeZ = 6999;
constexpr int ControlZ = 7001;
// The arrows and handles lie over the slider's fill.
constexpr int SliderButtonZ = 7002;
constexpr int ShadeStep = 5;
constexpr int ShadeOverMenu = 125;
constexpr int ShadeOverLevel = 215;
constexpr TColor2 TextColors{0xFFFFFFFF, 0xFFF7FFE1};
constexpr float CaptionGap = 270;
// Each update advances the fill effects by this much; building the screen, by 50 of them.
constexpr float FillStep = 0.017f;
constexpr int FillPreSteps = 50;

constexpr char FillEffect[] = "Options_Scroll_fx.xml";
constexpr char EmptyBox[] = "MM_Options_Checkbox_empty.image";
constexpr char CheckedBox[] = "MM_Options_Checkbox_checked.image";

constexpr int NoDrag = -1;
constexpr int MusicSlider = 0;
constexpr int EffectsSlider = 1;

struct OptionsState {
    bool open = false;
    bool overLevel = false; // the level beneath stands frozen; otherwise the menu lives on
    int drag = NoDrag;
    TAnimatedSprite* shade = nullptr;
    TOptions_Panel* panel = nullptr;
    TMM_Options_SimpleButton* back = nullptr;
    std::array<TMM_OptionsScrollBar*, 2> sliders{};
    std::array<TOptions_CheckBox*, 4> boxes{};
};
OptionsState State;

constexpr std::array<TButtonName, 4> BoxNames{
    button_MM_Options_FullScreen_CheckBox, button_MM_Options_Cursor_CheckBox,
    button_MM_Options_Tutorial_CheckBox, button_MM_Options_VSync_CheckBox};

TKilnFont* ShadowFontOrNull() {
    TKilnFonts* fonts = GuiFonts();
    return fonts && ShadowFont >= 0 ? fonts->Font(ShadowFont) : nullptr;
}

TTSText Aligned(TTSText text, bool centred) {
    text.Centered = centred;
    return text;
}

float& SliderOption(int slider) {
    return slider == MusicSlider ? GameOptions.MusicVolume : GameOptions.SoundFxVolume;
}

void ApplyVolume(int slider) {
    if (slider == MusicSlider)
        ApplyMusicVolume();
    else
        ApplyAmbienceVolume();
}

// A new value for a slider: the handle, the fill, the option and the volume follow.
void SetVolume(int slider, float value) {
    TMM_OptionsScrollBar* bar = State.sliders[static_cast<size_t>(slider)];
    if (!bar) return;
    bar->SetProgress(value);
    SliderOption(slider) = bar->FProgress;
    ApplyVolume(slider);
}

void PlayClick() {
    if (const SoundEffectHook& play = ButtonSoundHook()) play(ButtonClickSound);
}

TMM_Options_SimpleButton* MakeButton(TButtonName name, const char* image, TPoint2 pos, int z) {
    auto* b = new TMM_Options_SimpleButton(MainEngine);
    b->SetButtonImage(image);
    b->SetButtonName(name);
    b->SetPosition(pos);
    b->SetLightFadeSpeed(7.0f);
    b->SetZ(z);
    b->UpdateCollisionParameters();
    return b;
}

TMM_OptionsScrollBar* MakeSlider(TPoint2 pos, const char* title, float value, TButtonName left,
                                 TButtonName right, TButtonName drag) {
    auto* s = new TMM_OptionsScrollBar(MainEngine);
    s->SetImageName("MM_Options_Scrollbar_Panel.image");
    s->FX = pos.x;
    s->FY = pos.y;
    s->SetZ(ControlZ);
    s->FTitle = Texts().Text(title);
    s->FRange = TLine2{pos.x, pos.x + static_cast<float>(s->GetImageWidth())};
    s->FLeftButton = MakeButton(left, "MM_Options_Scrollbar_Left.image",
                                TPoint2{pos.x - 45, pos.y + 1}, SliderButtonZ);
    s->FRightButton = MakeButton(right, "MM_Options_Scrollbar_Right.image",
                                 TPoint2{pos.x + 301, pos.y + 1}, SliderButtonZ);
    s->FDragButton = MakeButton(drag, "MM_Options_Scrollbar_Drag.image",
                                TPoint2{pos.x, pos.y + SliderHandleY}, SliderButtonZ);
    s->SetProgress(value);
    s->AdvanceFill(FillPreSteps);
    return s;
}

TOptions_CheckBox* MakeCheckBox(TButtonName name, const char* caption, TPoint2 pos, bool checked) {
    auto* b = new TOptions_CheckBox(MainEngine);
    b->SetButtonName(name);
    b->FCaption = Aligned(Texts().Text(caption), false);
    b->SetPosition(pos);
    b->SetLightFadeSpeed(7.0f);
    b->SetZ(ControlZ);
    b->SetChecked(checked);
    return b;
}

void BuildOptions() {
    const TPoint2 p = PanelPos;
    State.shade = CreateShade(MainEngine, ShadeZ);

    State.panel = new TOptions_Panel(MainEngine);
    State.panel->SetImageName("MM_Options_Panel.image");
    State.panel->FX = p.x;
    State.panel->FY = p.y;
    State.panel->SetZ(PanelZ);

    State.back = MakeButton(button_MM_Options_Back, "MM_Options_Back_Button.image",
                            TPoint2{p.x + 493, p.y + 495}, ControlZ);

    State.sliders[MusicSlider] = MakeSlider(
        TPoint2{p.x + 174, p.y + 156}, "Options_Music_Volume", GameOptions.MusicVolume,
        button_MM_Options_Music_Left, button_MM_Options_Music_Right, button_MM_Options_Music_Drag);
    State.sliders[EffectsSlider] =
        MakeSlider(TPoint2{p.x + 174, p.y + 260}, "Options_SoundFx_Volume",
                   GameOptions.SoundFxVolume, button_MM_Options_SoundFx_Left,
                   button_MM_Options_SoundFx_Right, button_MM_Options_SoundFx_Drag);
    // A volume the sliders cannot show (set by code out of range) is shown and kept clamped.
    GameOptions.MusicVolume = State.sliders[MusicSlider]->FProgress;
    GameOptions.SoundFxVolume = State.sliders[EffectsSlider]->FProgress;

    State.boxes[0] = MakeCheckBox(BoxNames[0], "Options_Fullscreen", TPoint2{p.x + 415, p.y + 340},
                                  GameOptions.FullScreen);
    State.boxes[1] = MakeCheckBox(BoxNames[1], "Options_Cursor", TPoint2{p.x + 415, p.y + 390},
                                  GameOptions.Cursor);
    State.boxes[2] = MakeCheckBox(BoxNames[2], "Options_Tutorial", TPoint2{p.x + 415, p.y + 440},
                                  GameOptions.ShowTutorial);
    State.boxes[3] = MakeCheckBox(BoxNames[3], "Options_VSync", TPoint2{p.x + 415, p.y + 490},
                                  GameOptions.VSync);
}

void RemoveOptionsSprites() {
    for (TMM_OptionsScrollBar* s : State.sliders) {
        if (!s) continue;
        for (TMM_Options_SimpleButton* b : {s->FLeftButton, s->FRightButton, s->FDragButton})
            if (b) b->Kill();
        s->FMaskFx.Kill();
        s->Dead();
    }
    for (TOptions_CheckBox* b : State.boxes)
        if (b) b->Kill();
    if (State.back) State.back->Kill();
    if (State.panel) State.panel->Dead();
    if (State.shade) State.shade->Dead();
    State.sliders = {};
    State.boxes = {};
    State.back = nullptr;
    State.panel = nullptr;
    State.shade = nullptr;
}

void ToggleFullScreen(TOptions_CheckBox& box) {
    const bool tooSmall =
        OptionsHooks.ScreenTooSmallForWindow && OptionsHooks.ScreenTooSmallForWindow();
    if (GameOptions.FullScreen && tooSmall) {
        OpenNotice("msg_smallresolution");
        return;
    }
    box.SetChecked(!box.FChecked);
    GameOptions.FullScreen = box.FChecked;
    if (OptionsHooks.SwitchWindowMode) OptionsHooks.SwitchWindowMode(GameOptions.FullScreen);
    SceneOf(SceneBelow()).WindowShapeChanged();
}

void ToggleBox(TOptions_CheckBox& box) {
    switch (box.ButtonName()) {
    case button_MM_Options_FullScreen_CheckBox:
        ToggleFullScreen(box);
        break;
    case button_MM_Options_Cursor_CheckBox:
        box.SetChecked(!box.FChecked);
        GameOptions.Cursor = box.FChecked;
        if (OptionsHooks.ApplyCursor) OptionsHooks.ApplyCursor();
        break;
    case button_MM_Options_Tutorial_CheckBox:
        box.SetChecked(!box.FChecked);
        GameOptions.ShowTutorial = box.FChecked;
        // Over a level, a tutorial bubble on screen goes away with the tutorial.
        if (!box.FChecked && State.overLevel) Layers().At(Layer::Tutorial).Command(msg_Hide);
        break;
    case button_MM_Options_VSync_CheckBox:
        box.SetChecked(!box.FChecked);
        GameOptions.VSync = box.FChecked;
        if (OptionsHooks.ApplyVSync) OptionsHooks.ApplyVSync(GameOptions.VSync);
        break;
    default:
        break;
    }
}

// The arrows and handles of both sliders.
void SliderButton(TButtonName name) {
    switch (name) {
    case button_MM_Options_Music_Left:
    case button_MM_Options_Music_Right:
        SetVolume(MusicSlider, ArrowStep(GameOptions.MusicVolume,
                                         name == button_MM_Options_Music_Left ? -1 : 1));
        break;
    case button_MM_Options_SoundFx_Left:
    case button_MM_Options_SoundFx_Right:
        SetVolume(EffectsSlider, ArrowStep(GameOptions.SoundFxVolume,
                                           name == button_MM_Options_SoundFx_Left ? -1 : 1));
        break;
    case button_MM_Options_Music_Drag:
        State.drag = MusicSlider;
        break;
    case button_MM_Options_SoundFx_Drag:
        State.drag = EffectsSlider;
        break;
    default:
        break;
    }
}

// The dragged handle follows the pointer.
void FollowPointer() {
    if (State.drag == NoDrag) return;
    TMM_OptionsScrollBar* bar = State.sliders[static_cast<size_t>(State.drag)];
    if (!bar || !bar->FDragButton) return;
    TMM_Options_SimpleButton& handle = *bar->FDragButton;
    const float x =
        DraggedHandleX(static_cast<float>(MouseX), static_cast<float>(handle.GetImageWidth()),
                       bar->FRange.Left, bar->FRange.Right);
    if (x == handle.FX) return;
    handle.SetPosition(TPoint2{x, handle.FY});
    handle.UpdateCollisionParameters();
    bar->FProgress = SliderValueAt(bar->FX, x);
    bar->UpdateFill();
    SliderOption(State.drag) = bar->FProgress;
    ApplyVolume(State.drag);
}

bool IsOptionsSprite(const TSprite& s) {
    return SpriteIs<TOptions_Panel>(s) || SpriteIs<TOptions_CheckBox>(s) ||
           SpriteIs<TMM_OptionsScrollBar>(s) || SpriteIs<TMM_Options_SimpleButton>(s);
}

} // namespace

// --- Sprites ----------------------------------------------------------------------------------

void TOptions_Panel::DoDraw() {
    TAnimatedSprite::DoDraw();
    DrawTSText(ShadowFontOrNull(), Aligned(Texts().Text("Options_Title"), true),
               TPoint2{FX + 335, FY + 37}, static_cast<float>(FAlpha) / 255.0f, TextColors);
}

void TOptions_CheckBox::SetChecked(bool checked) {
    FChecked = checked;
    SetButtonImage(checked ? CheckedBox : EmptyBox);
    UpdateCollisionParameters();
}

void TOptions_CheckBox::DoDraw() {
    TSimpleButtonSprite::DoDraw();
    DrawTSText(ShadowFontOrNull(), FCaption, TPoint2{FX - CaptionGap, FY},
               static_cast<float>(FAlpha) / 255.0f, TextColors);
}

TMM_OptionsScrollBar::~TMM_OptionsScrollBar() {
    FMaskFx.Kill();
}

void TMM_OptionsScrollBar::SetProgress(float value) {
    FProgress = ClampVolume(value);
    if (FDragButton) {
        FDragButton->SetPosition(TPoint2{SliderHandleX(FX, FProgress), FY + SliderHandleY});
        FDragButton->UpdateCollisionParameters();
    }
    UpdateFill();
}

void TMM_OptionsScrollBar::UpdateFill() {
    const float handleX = FDragButton ? FDragButton->FX : SliderHandleX(FX, FProgress);
    const SliderFill fill = SliderFillFor(TPoint2{FX, FY}, handleX, FProgress);
    TXParticleSystem* fx = FMaskFx.Get();
    if (!fx && FProgress > 0.0f) {
        if (TXParticleManager* manager = ParticleManager()) {
            fx = manager->Launch(FillEffect, TPoint2{0, 0});
            if (fx) {
                fx->FManualRender = true;
                FMaskFx = fx;
            } else {
                WriteLog(std::string("Options: the effect ") + FillEffect + " is missing", 1);
            }
        }
    }
    if (!fx) return;
    fx->RemoveAllEmitters();
    if (fill.emitters.empty()) return;
    fx->EmittersAdd(fill.emitters);
    fx->FSettings.EmissionRate = fill.rate;
    if (fx->FAge < 0.0f) fx->Start();
}

void TMM_OptionsScrollBar::AdvanceFill(int steps) {
    if (TXParticleSystem* fx = FMaskFx.Get())
        for (int i = 0; i < steps; ++i) fx->Update(FillStep);
}

void TMM_OptionsScrollBar::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    AdvanceFill(1);
}

void TMM_OptionsScrollBar::DoDraw() {
    TAnimatedSprite::DoDraw();
    if (TXParticleSystem* fx = FMaskFx.Get()) fx->Render(0, 0);
    DrawTSText(ShadowFontOrNull(), Aligned(FTitle, true), TPoint2{FX + 151, FY - 20},
               static_cast<float>(FAlpha) / 255.0f, TextColors);
}

// --- The screen -------------------------------------------------------------------------------

void OpenOptions() {
    if (State.open || !MainEngine) return;
    WriteLog("Creating options...", 1);
    State.drag = NoDrag;
    BuildOptions();
    State.overLevel = CurrentScene == scene_Level;
    State.open = true;
    OpenOver(scene_Options, State.overLevel ? Beneath::Frozen : Beneath::Lives);
    if (State.overLevel && PlaylistPos >= 0 &&
        PlaylistPos < static_cast<int>(Playlist.Tracks.size()))
        PlayMusic(Playlist.Tracks[static_cast<size_t>(PlaylistPos)].Track, false);
}

void CloseOptions() {
    if (!State.open) return;
    SaveOptions();
    WriteLog("Destroying options...", 1);
    RemoveOptionsSprites();
    State.open = false;
    State.drag = NoDrag;
    CloseOver(scene_Options);
}

bool OptionsOpen() {
    return State.open;
}

void SetOptionsShadeAlpha(int alpha) {
    if (State.shade) State.shade->SetAlpha(std::clamp(alpha, 0, 255));
}

void OptionsUpdate() {
    if (!State.open) return;
    if (State.shade) {
        const int limit = State.overLevel ? ShadeOverLevel : ShadeOverMenu;
        if (State.shade->FAlpha < limit)
            State.shade->SetAlpha(std::min(limit, State.shade->FAlpha + ShadeStep));
    }
    FollowPointer();
}

void OptionsInput(TSprite& sprite) {
    auto* button = dynamic_cast<TGlowButtonSprite*>(&sprite);
    if (!button || !State.open) return;
    if (button == State.back) {
        if (ButtonProtocol(*button, PanelButtonHover)) CloseOptions();
        return;
    }
    if (!dynamic_cast<TOptions_CheckBox*>(button) &&
        !dynamic_cast<TMM_Options_SimpleButton*>(button))
        return;
    // A check box toggles on a click; the arrows and the handles act when the button goes
    // down, once per press.
    HoverButton(*button, PanelButtonHover);
    if (auto* box = dynamic_cast<TOptions_CheckBox*>(button)) {
        if (State.drag == NoDrag && TakeButtonClick()) ToggleBox(*box);
        return;
    }
    if (!MouseButtonDown) return;
    MouseButtonDown = false;
    PlayClick();
    SliderButton(button->ButtonName());
}

TMM_OptionsScrollBar* OptionsSlider(int index) {
    if (index < 0 || index >= 2) return nullptr;
    return State.sliders[static_cast<size_t>(index)];
}

TOptions_CheckBox* OptionsCheckBox(TButtonName name) {
    for (TOptions_CheckBox* b : State.boxes)
        if (b && b->ButtonName() == name) return b;
    return nullptr;
}

TAnimatedSprite* OptionsShade() {
    return State.shade;
}

namespace {

class OptionsScene final : public Scene {
public:
    void Command(TTS_Message message) override {
        if (message == msg_Create) OpenOptions();
        if (message == msg_Destroy) CloseOptions();
    }
    // Over a level the board stands still: only the options' own sprites move. Over the
    // menu, the menu lives on beneath.
    void Tick() override {
        if (!State.open) return;
        TickScenesBelow();
        OptionsUpdate();
        MoveOverScene(&IsOptionsSprite);
        // Nothing answers the pointer while a fade covers the screen.
        if (!TransitionVisible()) RunHitTest();
    }
    void Hit(TSprite& sprite) override { OptionsInput(sprite); }
    void Release() override {
        if (!State.open) return;
        MouseReleased = true;
        MouseButtonDown = false;
        State.drag = NoDrag;
        MouseReleased = false;
    }
    void Escape() override { CloseOptions(); }
    void ForgetSprites() override { State = OptionsState{}; }
};

} // namespace

std::unique_ptr<Scene> MakeOptionsScene() {
    return std::make_unique<OptionsScene>();
}

} // namespace bw
