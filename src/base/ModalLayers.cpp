#include "base/ModalLayers.h"

namespace bw {

namespace {

ModalLayer& NullLayer() {
    static ModalLayer none;
    return none;
}

} // namespace

void ModalLayers::Register(Layer slot, std::unique_ptr<ModalLayer> layer) {
    if (slot >= Layer::Count) return;
    layers_[static_cast<size_t>(slot)] = std::move(layer);
}

ModalLayer& ModalLayers::At(Layer slot) {
    if (slot >= Layer::Count) return NullLayer();
    const auto& layer = layers_[static_cast<size_t>(slot)];
    return layer ? *layer : NullLayer();
}

void ModalLayers::Clear() {
    for (auto& layer : layers_) layer.reset();
}

bool ModalLayers::BlocksBoard() {
    return Any([](ModalLayer& l) { return l.BlocksBoard(); });
}
bool ModalLayers::BlocksHitTest() {
    return Any([](ModalLayer& l) { return l.BlocksHitTest(); });
}
bool ModalLayers::Hit(TSprite& sprite) {
    return Any([&](ModalLayer& l) { return l.Hit(sprite); });
}
bool ModalLayers::Press() {
    return Any([](ModalLayer& l) { return l.Press(); });
}
bool ModalLayers::Release() {
    return Any([](ModalLayer& l) { return l.Release(); });
}
bool ModalLayers::Click() {
    return Any([](ModalLayer& l) { return l.Click(); });
}
bool ModalLayers::Escape() {
    return Any([](ModalLayer& l) { return l.Escape(); });
}
bool ModalLayers::DebugKey(Key key) {
    return Any([&](ModalLayer& l) { return l.DebugKey(key); });
}

void ModalLayers::AfterClick() {
    for (auto& layer : layers_)
        if (layer) layer->AfterClick();
}

ModalLayers& Layers() {
    static ModalLayers layers;
    return layers;
}

} // namespace bw
