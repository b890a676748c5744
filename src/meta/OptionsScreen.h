// The options screen (scene_Options) over the main menu or a level: two volume sliders and
// four check boxes that edit GameOptions and take effect at once; Back saves "Game.ini". And
// the credits screen (scene_Credits) that rolls the credits list over the main menu.
#pragma once

#include <cstdint>
#include <memory>

namespace bw {

class Scene;

// Opens the options over the current scene (scene_MainMenu or scene_Level).
void OpenOptions();
void CloseOptions();
bool OptionsOpen();
// The shade's alpha (the in-game menu sets it to 200 when it hands over to the options).
void SetOptionsShadeAlpha(int alpha);

std::unique_ptr<Scene> MakeOptionsScene();
std::unique_ptr<Scene> MakeCreditsScene();

} // namespace bw
