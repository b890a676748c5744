// How every screen treats a button under the pointer. The frame's hit test hands the sprite
// under the pointer to the screen's handler once per tick (and again inside click, press and
// release); for a button the handler:
//   1. plays "sfx_button_over" when the button's light is not above the screen's threshold,
//   2. sets the light to the screen's hover level (held while the pointer stays, fading by
//      the button's LightFadeSpeed per tick once it leaves),
//   3. on a click plays "sfx_button_click", consumes MouseClicked and performs the action of
//      the button's name.
// Screens whose controls act while the button is held (the arrows and handles of the options
// screen) do steps 1 and 2 with HoverButton and test MouseButtonDown themselves.
#pragma once

#include "gui/ButtonNames.h"

#include <functional>
#include <string>

namespace bw {

class TGlowButtonSprite;
class TSprite;

// How buttons play their hover and click sounds: through the effects engine unless a test
// puts its own player here (or empties it: buttons are silent).
using SoundEffectHook = std::function<void(const std::string& name)>;
SoundEffectHook& ButtonSoundHook();
// Buttons play through the effects engine again.
void ConnectButtonSounds();

inline constexpr char ButtonOverSound[] = "sfx_button_over";
inline constexpr char ButtonClickSound[] = "sfx_button_click";

// A screen's hover sound threshold and the light level the pointer holds a button at.
struct HoverLevels {
    float Threshold = 50.0f;
    float Level = 100.0f;
};

// Text buttons of the main menu, awards, credits, level result, message boxes, in-game menu,
// map and in-game interface.
inline constexpr HoverLevels MenuButtonHover{50.0f, 100.0f};
// Player selection and help text buttons; check boxes and picture buttons of the options,
// name entry, player selection and help screens.
inline constexpr HoverLevels PanelButtonHover{50.0f, 90.0f};
// The pop-up buttons of the in-game interface.
inline constexpr HoverLevels PopupButtonHover{25.0f, 50.0f};
// The player panel of the main menu.
inline constexpr HoverLevels PlayerPanelHover{20.0f, 45.0f};

// Steps 1 and 2: the hover sound (when the light has fallen to the threshold) and the glow.
void HoverButton(TGlowButtonSprite& button, HoverLevels levels);
// Step 3: when a click is pending, plays the click sound, clears MouseClicked and returns
// true.
bool TakeButtonClick();
// All three steps for one button; true when its action is due.
bool ButtonProtocol(TGlowButtonSprite& button, HoverLevels levels);

// For a screen's hit handler: when `hit` is a button, runs the protocol and, on a click,
// calls `action` with the button's name. Returns whether `hit` was a button.
bool HandleButtonHit(TSprite& hit, HoverLevels levels,
                     const std::function<void(TButtonName)>& action);

} // namespace bw
