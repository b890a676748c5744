// The living picture behind the main menu: background, bottom panel, drifting clouds, the two
// swaying trees with their lianas and leaf clusters, the blinking squirrel, the night cat, the
// front leaves, rain and lightning, the train smoke; each in a day look and a night look
// ("night_" pictures) that cross-fade. The main menu owns the clock and the cross-fade and
// tells the scenery every update; the scenery only animates and draws.
#pragma once

namespace bw {

class TSprite;

struct MenuSceneryState {
    double clock = 0;   // milliseconds of the menu music (or the menu's own count)
    bool night = false; // the look being shown or faded in
    double fade = 1;    // 0 .. 1: how far the look `night` has faded in
};

// Builds every sprite of the scenery in MainEngine in the day look.
void CreateMenuScenery();
// Removes every sprite of the scenery.
void DestroyMenuScenery();
// One update: animation, the cross-fade alphas, the night's cat and lightning (with the
// thunder sound and the full-screen flash).
void UpdateMenuScenery(const MenuSceneryState& state);
// The night sky's alpha 0..255 after the last update.
int MenuNightSkyAlpha();
// The game's logo sprite (the credits move it).
TSprite* MenuLogo();
// Positions that depend on the window's shape (the front leaves sit at the window's edges).
void RefreshMenuSceneryLayout();

} // namespace bw

namespace bw {

// What the scenery shows after the last update (for the tests and the showcase):
// the lightning picture shown (0 none, 1 or 2), the full-screen flash's alpha, how many
// thunders have started since it was built, the night cat's stage (0 away, 1 walking in,
// 2 sitting and licking, 3 looking up, 4 walking out, 5 gone until the next night) and
// whether the train smoke runs.
int MenuLightningShown();
int MenuFlashAlpha();
int MenuThunderCount();
int MenuCatStage();
bool MenuTrainSmokeRunning();

} // namespace bw
