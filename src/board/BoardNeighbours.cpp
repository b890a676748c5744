#include "board/BoardActors.h"
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
