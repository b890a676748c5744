#include "base/Scene.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "base/CursorPoint.h"
#include "base/GameObjects.h"
#include "platform/Log.h"

#include <array>
#include <vector>

namespace bw {

namespace {

// Serves a scene that no module registered: nothing happens, and the log says so once.
class NullScene final : public Scene {
public:
    explicit NullScene(uint8_t id) : id_(id) {}
    void Command(TTS_Message) override { Mention(); }
    void Tick() override { Mention(); }
    void Hit(TSprite&) override { Mention(); }
    void Release() override { Mention(); }
    void Escape() override { Mention(); }

private:
    void Mention() {
        if (mentioned_) return;
        mentioned_ = true;
        WriteLog(std::string("No module serves ") + SceneName(id_) + "; it does nothing", 1);
    }
    uint8_t id_;
    bool mentioned_ = false;
};

struct Over {
    uint8_t below;
    uint8_t top;
    Beneath beneath;
};

struct Registry {
    std::array<std::unique_ptr<Scene>, SceneCount> scenes;
    std::array<std::unique_ptr<NullScene>, SceneCount + 1> nulls;
    // Scenes shown over others, bottom first. A fade that switches scenes sets CurrentScene
    // directly: entries whose top is no longer current are dropped when next looked at.
    std::vector<Over> over;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

// The stack as it stands for the current scene.
std::vector<Over>& Stack() {
    std::vector<Over>& over = TheRegistry().over;
    while (!over.empty() && over.back().top != CurrentScene) over.pop_back();
    return over;
}

} // namespace

void RegisterScene(uint8_t id, std::unique_ptr<Scene> scene) {
    if (id >= SceneCount) return;
    TheRegistry().scenes[id] = std::move(scene);
}

bool SceneRegistered(uint8_t id) {
    return id < SceneCount && TheRegistry().scenes[id] != nullptr;
}

Scene& SceneOf(uint8_t id) {
    Registry& r = TheRegistry();
    if (id < SceneCount && r.scenes[id]) return *r.scenes[id];
    const size_t slot = id < SceneCount ? id : SceneCount;
    if (!r.nulls[slot]) r.nulls[slot] = std::make_unique<NullScene>(id);
    return *r.nulls[slot];
}

void ForEachScene(const std::function<void(Scene&)>& f) {
    for (auto& s : TheRegistry().scenes)
        if (s) f(*s);
}

void ClearScenes() {
    Registry& r = TheRegistry();
    for (auto& s : r.scenes) s.reset();
    for (auto& n : r.nulls) n.reset();
    r.over.clear();
}

void OpenOver(uint8_t id, Beneath beneath) {
    std::vector<Over>& over = Stack();
    if (id == CurrentScene) return;
    over.push_back(Over{CurrentScene, id, beneath});
    CurrentScene = id;
}

bool CloseOver(uint8_t id) {
    std::vector<Over>& over = Stack();
    if (over.empty() || over.back().top != id) return false;
    CurrentScene = over.back().below;
    over.pop_back();
    return true;
}

uint8_t SceneBelow() {
    const std::vector<Over>& over = Stack();
    return over.empty() ? CurrentScene : over.back().below;
}

bool SceneIsOver() {
    return !Stack().empty();
}

bool SceneBelowLives() {
    const std::vector<Over>& over = Stack();
    return !over.empty() && over.back().beneath == Beneath::Lives;
}

void TickScenesBelow() {
    const std::vector<Over> over = Stack(); // a Live step may open or close scenes
    for (auto it = over.rbegin(); it != over.rend() && it->beneath == Beneath::Lives; ++it)
        SceneOf(it->below).Live();
}

void MoveOverScene(SpriteFilter own) {
    if (!MainEngine) return;
    const std::vector<Over>& over = Stack();
    for (const Over& o : over)
        if (o.beneath == Beneath::Frozen) {
            MainEngine->MoveOnly(own, 1.0f);
            return;
        }
    MainEngine->Move(1.0f);
}

void MoveMainEngine() {
    if (MainEngine) MainEngine->Move(1.0f);
}

void RunHitTest() {
    if (CursorPoint && !LevelFinished) CursorPoint->Collision();
}

} // namespace bw
