#include "gui/ButtonProtocol.h"

#include "audio/SoundEngine.h"
#include "base/GameState.h"
#include "gui/ButtonSprites.h"

namespace bw {

namespace {

void PlaySound(const char* name) {
    const SoundEffectHook& play = ButtonSoundHook();
    if (play) play(name);
}

} // namespace

SoundEffectHook& ButtonSoundHook() {
    static SoundEffectHook hook = [](const std::string& name) { SfxByName(name); };
    return hook;
}

void ConnectButtonSounds() {
    ButtonSoundHook() = [](const std::string& name) { SfxByName(name); };
}

void HoverButton(TGlowButtonSprite& button, HoverLevels levels) {
    if (button.LightLevel() <= levels.Threshold) PlaySound(ButtonOverSound);
    button.SetLightLevel(levels.Level);
}

bool TakeButtonClick() {
    if (!MouseClicked) return false;
    PlaySound(ButtonClickSound);
    MouseClicked = false;
    return true;
}

bool ButtonProtocol(TGlowButtonSprite& button, HoverLevels levels) {
    HoverButton(button, levels);
    return TakeButtonClick();
}

bool HandleButtonHit(TSprite& hit, HoverLevels levels,
                     const std::function<void(TButtonName)>& action) {
    auto* button = dynamic_cast<TGlowButtonSprite*>(&hit);
    if (button == nullptr) return false;
    if (ButtonProtocol(*button, levels) && action) action(button->ButtonName());
    return true;
}

} // namespace bw
