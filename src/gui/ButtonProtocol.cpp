#include "gui/ButtonProtocol.h"

#include "base/GameState.h"
#include "gui/ButtonSprites.h"

namespace bw {

namespace {

void PlaySound(const char* name) {
    const TSoundEffectHook& play = ButtonSoundHook();
    if (play) play(name);
}

} // namespace

TSoundEffectHook& ButtonSoundHook() {
    static TSoundEffectHook hook;
    return hook;
}

void HoverButton(TGlowButtonSprite& button, THoverLevels levels) {
    if (button.LightLevel() <= levels.Threshold) PlaySound(ButtonOverSound);
    button.SetLightLevel(levels.Level);
}

bool TakeButtonClick() {
    if (!MouseClicked) return false;
    PlaySound(ButtonClickSound);
    MouseClicked = false;
    return true;
}

bool ButtonProtocol(TGlowButtonSprite& button, THoverLevels levels) {
    HoverButton(button, levels);
    return TakeButtonClick();
}

bool HandleButtonHit(TSprite& hit, THoverLevels levels,
                     const std::function<void(TButtonName)>& action) {
    auto* button = dynamic_cast<TGlowButtonSprite*>(&hit);
    if (button == nullptr) return false;
    if (ButtonProtocol(*button, levels) && action) action(button->ButtonName());
    return true;
}

} // namespace bw
