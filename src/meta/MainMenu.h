// The main menu (scene_MainMenu): the forest picture with its day and night looks, the start
// sign, the four menu buttons and the welcome board. The player selection and the name entry
// (PlayerSelection.h) and the options and credits screens open over it.
#pragma once

#include "render/Types.h"

#include <memory>

namespace bw {

class Scene;
class TSprite;

void OpenMainMenu();
void CloseMainMenu();
bool MainMenuOpen();
// One update of the menu: the time of day, the cross-fade, the start sign, the welcome board
// and the scenery. The screens over the menu call it from their own tick.
void MainMenuUpdate();
// The sprite the pointer reached while the menu is the current scene.
void MainMenuInput(TSprite& sprite);
// The welcome board begins its entry (after the fade that opened the menu).
void StartWelcomeBoardEntry();

// What the screens over the menu need of it.
// The night sky's alpha, 0 (day) .. 255 (night), as the texts shift their colours by it.
int MainMenuNightAlpha();
// The text colours of the menu's buttons while the night sky is visible with `alpha`: round(0.7
// a) more blue, round(0.18 a) less red and round(0.05 a) less green in both colours.
TColor2 NightShiftedColors(TColor2 colors, int alpha);
// The welcome boards, the start sign and the four buttons (the credits hide them).
void ShowMainMenuFront(bool visible);
// The game's logo, which the credits scroll along with their text; null while closed.
TSprite* MainMenuLogo();
// The screen-dependent layout after a change of the screen mode: the front leaves and the
// welcome boards take their new positions.
void RefreshMainMenuLayout();
// The menu's clock (milliseconds of the menu music), for tests.
double MainMenuClock();
bool MainMenuNight();

std::unique_ptr<Scene> MakeMainMenuScene();

} // namespace bw
