// The loading screen of the start: its sprites in the loading engine, drawn alone while the
// main resources are read and afterwards until the player leaves it with a click or a key.
#pragma once

namespace bw {

// The backdrop with its progress bar, full once the resources are in.
void CreateLoadingSprites();
// Reads the pictures and sounds of the main archives.
void LoadMainResources();
// The frame of scene_Loading and scene_Loaded: the loading engine alone.
void RenderLoadingFrame();
// The player leaves the loaded screen: its sprites go and the scene after loading begins.
void LeaveLoadingScreen();

} // namespace bw
