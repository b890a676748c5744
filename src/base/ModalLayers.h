// The modal layers over a scene: the message box, the result panel, the level's pop-up, a
// character dialog and the tutorial.
//
// The frame offers every pointer event and Escape to the layers front to back, in the order of
// `Layer` below, before the scene sees it; the first layer that takes an event ends it. Each
// slot holds a null layer (never shown, takes nothing) until its module registers one.
#pragma once

#include "base/Messages.h"
#include "platform/Events.h"

#include <array>
#include <memory>

namespace bw {

class TSprite;

class ModalLayer {
public:
    virtual ~ModalLayer() = default;
    virtual bool Shown() const { return false; }
    // While true the board takes no pointer input (the level's hit test still runs).
    virtual bool BlocksBoard() const { return false; }
    // While true the level's per-tick hit test waits too.
    virtual bool BlocksHitTest() const { return false; }
    // msg_Create shows the layer, msg_Destroy takes it away.
    virtual void Command(TTS_Message) {}
    // Each returns whether the layer took the event.
    virtual bool Hit(TSprite&) { return false; }
    virtual bool Press() { return false; }
    virtual bool Release() { return false; }
    virtual bool Click() { return false; }
    virtual bool Escape() { return false; }
    // After a click's hit test: the tutorial's click step.
    virtual void AfterClick() {}
    // The debug keys (F1, F6) with the cheat switch.
    virtual bool DebugKey(Key) { return false; }
};

// Front to back.
enum class Layer { Message, Result, Popup, Dialog, Tutorial, Count };

class ModalLayers {
public:
    void Register(Layer slot, std::unique_ptr<ModalLayer> layer);
    ModalLayer& At(Layer slot);
    void Clear();

    bool Shown(Layer slot) { return At(slot).Shown(); }
    bool BlocksBoard();
    bool BlocksHitTest();
    bool Hit(TSprite& sprite);
    bool Press();
    bool Release();
    bool Click();
    bool Escape();
    void AfterClick();
    bool DebugKey(Key key);

private:
    // Asks the layers front to back until one answers true.
    template <class F> bool Any(F&& ask) {
        for (auto& layer : layers_)
            if (layer && ask(*layer)) return true;
        return false;
    }
    std::array<std::unique_ptr<ModalLayer>, static_cast<size_t>(Layer::Count)> layers_;
};

ModalLayers& Layers();

} // namespace bw
