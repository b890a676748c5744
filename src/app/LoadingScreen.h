// The loading screens. Archives are read in three batches, each behind the loading screen: the
// main resources once after the splash, a location's pictures before its first level, the
// cut-scenes' pictures before the first cut-scene. Reading happens on the main thread; the
// screen stays alive by drawing a frame from the progress callback whenever the whole-number
// percentage changes. When reading ends the screen waits for a click or a key (scene_Loaded)
// and then goes on to the scene that asked for the loading.
#pragma once

#include <string>

namespace bw {

class TTextureOffsetSprite;

// What the loading screen shows and remembers.
struct LoadingScreenState {
    int LoadingPercent = 0; // the last percentage shown
    std::string Caption;    // the caption given with it
    bool ShowVersionOnLoading = false;
    int LoadingHintIndex = -1; // into the text database's loading hints; -1 for none
    int ProgressFrames = 0;    // frames drawn from the progress callback in the last batch
};
LoadingScreenState& LoadingScreen();

// The backdrop, the bar's frame and the progress bar in the loading engine.
void CreateLoadingSprites();
// The progress bar, null before CreateLoadingSprites.
TTextureOffsetSprite* LoadingProgressBar();

// Shows `percent` on the bar and draws one frame of the loading screen, unless the percentage
// is the one shown last.
void SetLoadingProgress(int percent, const std::string& caption);

// The first batch (once, when the splash has ended): pictures, particle descriptions, music,
// ambience and sounds.
void LoadMainResources();

// The player leaves the loaded screen (a click, a double click or a key).
void LeaveLoadingScreen();

// The frame of scene_Loading and scene_Loaded: the loading engine, the pulsing prompt, the
// version line and the hint.
void RenderLoadingFrame();

// Installs the location and cut-scene loading of this screen (the wiring does).
void InstallLoadingScreen();
// The game is going: the screen's sprites and flags with it.
void ForgetLoadingScreen();

} // namespace bw
