// The in-game menu (scene_InGameMenu): the pause menu of a level, a panel with five buttons
// over a shade, shown over the frozen level. Continue returns to the level with its music,
// Options hands over to the options screen over the level, and Restart, Map and Exit ask
// first (a message box over the menu; No closes only the question).
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"
#include "base/Messages.h"
#include "data/TextRecords.h"
#include "gui/ButtonSprites.h"

#include <memory>

namespace bw {

class Scene;

class TIGM_Panel : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;
    TTSText FText; // the title
    void DoDraw() override;
};

class TIGM_Button : public TButtonSprite2 {
public:
    using TButtonSprite2::TButtonSprite2;
};

// msg_Create opens the menu over the current scene (a level) and silences the music;
// msg_Destroy takes it away and returns to the scene beneath, with its music when
// `restoreMusic` is set.
void InGameMenu(TTS_Message action, bool restoreMusic = true);
// One update while the menu is open: the shade darkens by 5 up to 200.
void IGMUpdate();
bool IGMOpen();
// The shade's alpha; -1 while the menu is closed.
int IGMShadeAlpha();

// The scene that the wiring registers for scene_InGameMenu; it also gives the menu's three
// questions their Yes.
std::unique_ptr<Scene> MakeInGameMenuScene();

} // namespace bw
