// A scene whose answers a test writes as lambdas.
#pragma once

#include "base/Scene.h"

#include <functional>
#include <memory>

namespace bw::testing {

struct ScriptedScene final : Scene {
    std::function<void()> onCreate;
    std::function<void()> onTick;
    std::function<void(TSprite&)> onHit;
    std::function<void()> onPress;
    std::function<void()> onRelease;
    std::function<void()> onEscape;
    std::function<void()> onLive;

    void Command(TTS_Message m) override {
        if (m == msg_Create && onCreate) onCreate();
    }
    // Without its own tick the scene moves and hit-tests like most scenes.
    void Tick() override {
        if (onTick) {
            onTick();
            return;
        }
        MoveMainEngine();
        RunHitTest();
    }
    void Hit(TSprite& s) override {
        if (onHit) onHit(s);
    }
    void Press() override {
        if (onPress) onPress();
    }
    void Release() override {
        if (onRelease) onRelease();
    }
    void Escape() override {
        if (onEscape) onEscape();
    }
    void Live() override {
        if (onLive) onLive();
    }
};

// Registers a scripted scene for `id` and returns it (owned by the registry).
inline ScriptedScene& Script(uint8_t id) {
    auto scene = std::make_unique<ScriptedScene>();
    ScriptedScene& ref = *scene;
    RegisterScene(id, std::move(scene));
    return ref;
}

} // namespace bw::testing
