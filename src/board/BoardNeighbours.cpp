#include "board/BoardActors.h"
#include "board/BoardEffects.h"
#include "board/BoardHost.h"

namespace bw {

namespace {

BoardHost* InstalledHost = nullptr;
BoardActors* InstalledActors = nullptr;

} // namespace

BoardHost& Host() {
    static BoardHost none;
    return InstalledHost ? *InstalledHost : none;
}

void SetBoardHost(BoardHost* host) {
    InstalledHost = host;
}

BoardActors& Actors() {
    static BoardActors none;
    return InstalledActors ? *InstalledActors : none;
}

void SetBoardActors(BoardActors* actors) {
    InstalledActors = actors;
}

} // namespace bw

namespace bw {

namespace {
BoardEffects* InstalledEffects = nullptr;
} // namespace

BoardEffects& Effects() {
    static BoardEffects none;
    return InstalledEffects ? *InstalledEffects : none;
}

void SetBoardEffects(BoardEffects* effects) {
    InstalledEffects = effects;
}

} // namespace bw
