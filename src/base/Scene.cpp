#include "base/Scene.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "base/CursorPoint.h"
#include "base/GameObjects.h"
#include "platform/Log.h"

#include <array>

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

struct Registry {
    std::array<std::unique_ptr<Scene>, SceneCount> scenes;
    std::array<std::unique_ptr<NullScene>, SceneCount + 1> nulls;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
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
}

void MoveMainEngine() {
    if (MainEngine) MainEngine->Move(1.0f);
}

void RunHitTest() {
    if (CursorPoint && !LevelFinished) CursorPoint->Collision();
}

} // namespace bw
