#include "app/LoadingScreen.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "app/LoadingBackdrop.h"
#include "audio/SoundEngine.h"
#include "base/GameObjects.h"
#include "base/GameState.h"
#include "base/Scene.h"
#include "platform/Log.h"

namespace bw {

namespace {

constexpr int LoadingTag = 1;
constexpr int FullBar = 470;

} // namespace

void CreateLoadingSprites() {
    CreateLoadingBackdrop(LoadingEngine, FullBar, LoadingTag);
}

void LoadMainResources() {
    LoadMainPictures();
    LoadAllSounds();
}

void RenderLoadingFrame() {
    if (!LoadingEngine) return;
    LoadingEngine->Draw();
    LoadingEngine->Dead();
}

void LeaveLoadingScreen() {
    uint8_t next = SceneAfterLoading;
    // Until the main menu exists the first loading screen leads straight into play.
    if (!SceneRegistered(next)) {
        WriteLog(std::string("Nothing serves ") + SceneName(next) + " yet; the level starts", 1);
        next = scene_Level;
    }
    SceneOf(next).Command(msg_Create);
    // A scene that could not begin leaves the player on the loading screen, which stays.
    if (CurrentScene == scene_Loaded || !LoadingEngine) return;
    for (TSprite* sprite : LoadingEngine->Items())
        if (sprite->FTag == LoadingTag && !sprite->FDeaded) sprite->Dead();
}

} // namespace bw
