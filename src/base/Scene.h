// A scene as the frame sees it: one object per value of TGameScene.
//
// The frame keeps what every scene shares (the pause and loading guards, the transition, the
// sound tick) and hands the rest to SceneOf(CurrentScene). A module that owns a scene puts a
// thin Scene at the bottom of its file and the wiring file registers it; a scene nobody
// registered is served by a null scene that does nothing and says so once in the log.
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"
#include "base/GameState.h"
#include "base/Messages.h"
#include "platform/Events.h"

#include <functional>
#include <memory>
#include <string>

namespace bw {

class Scene {
public:
    virtual ~Scene() = default;
    // msg_Create builds the scene's sprites, msg_Destroy tears them down.
    virtual void Command(TTS_Message) {}
    // One update tick: the scene's own update, the move and the hit test, in its own order.
    virtual void Tick() {}
    // A sprite under the pointer, reached by the hit test (no modal layer took it).
    virtual void Hit(TSprite&) {}
    // The left button went down (after the hit test), while no modal layer blocks the board.
    virtual void Press() {}
    // The left button came up; MouseReleased is set meanwhile.
    virtual void Release() {}
    virtual void Escape() {}
    // Keyboard text and the editing keys (Backspace, Enter) while a name is typed.
    virtual void TextInput(const std::string&) {}
    virtual void EditKey(Key) {}
    // The level clock's second (the frame calls it in scene_Level while no dialog is shown).
    virtual void Second() {}
    // Something follows the pointer (a dragged bird, bonus or key): the pointer picture moves.
    virtual bool Dragging() const { return false; }
    // The sprite engines are about to be freed with every sprite: let go of them unfreed.
    virtual void ForgetSprites() {}
    // Its own update while another scene is shown over it and it lives on beneath (the menu's
    // clock and scenery): no sprite moves and nothing is hit-tested here, the scene on top
    // does both.
    virtual void Live() {}
    // The window changed its shape (full screen on or off): lay out again what depends on the
    // visible width.
    virtual void WindowShapeChanged() {}
};

// Installs `scene` for `id`, replacing whatever served it before.
void RegisterScene(uint8_t id, std::unique_ptr<Scene> scene);
// Whether a module registered a scene for `id`.
bool SceneRegistered(uint8_t id);
// The scene of `id`; the null scene when none is registered (or `id` is out of range).
Scene& SceneOf(uint8_t id);
// Calls `f` for every registered scene.
void ForEachScene(const std::function<void(Scene&)>& f);
// Forgets every registered scene (between games of the tests and the replay harness).
void ClearScenes();

// A scene shown over another (options, credits, the player list, the name entry, the in-game
// menu, help, the awards screen) remembers the scene beneath it. Beneath either lives on (its Live
// runs from the top scene's tick and all of MainEngine moves) or stands frozen (a level: no
// board, no timer, no ambience; the top scene moves only its own sprites).
enum class Beneath : uint8_t { Lives, Frozen };

// Shows `id` over the current scene, which is remembered below it; CurrentScene becomes `id`.
void OpenOver(uint8_t id, Beneath beneath);
// Closes the top scene `id` if it is the current scene over another: CurrentScene returns to
// the scene below. Anything else (a scene not open over another, or no longer current) is
// left alone and answers false.
bool CloseOver(uint8_t id);
// The scene below the current one; the current scene itself when it is not over another.
uint8_t SceneBelow();
// Whether the current scene stands over another and how the one below goes on.
bool SceneIsOver();
bool SceneBelowLives();
// The Live steps of the scenes below the current one, top down, as far as they live on.
void TickScenesBelow();
// Moves what the current scene's tick moves: all of MainEngine when the scene below lives on
// (or nothing lies below), only the sprites `own` accepts when it stands frozen.
void MoveOverScene(SpriteFilter own);

// The two steps most scene ticks are made of: every sprite of MainEngine moves by one tick,
// and the pointer's hit test runs against MainEngine (never while LevelFinished is set).
void MoveMainEngine();
void RunHitTest();

} // namespace bw
