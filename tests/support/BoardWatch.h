// What a scripted player looks at before it moves: whether anything on the board is still
// under way (a flight, a removal, a cat's walk or jump, a hatching egg, a bonus going off).
#pragma once

#include "Engine/KilnSprite/SpriteEngine.h"
#include "actors/Bonuses.h"
#include "actors/CatSprites.h"
#include "actors/NestlingSprites.h"
#include "base/GameObjects.h"
#include "board/Board.h"

namespace bw::testing {

inline bool BoardBusy() {
    if (!MainEngine) return true;
    for (TSprite* s : MainEngine->Items()) {
        if (s->FDeaded) continue;
        if (dynamic_cast<TMovedBirdSprite*>(s) || dynamic_cast<TKilledBirdSprite*>(s) ||
            dynamic_cast<TMovedCatSprite*>(s) || dynamic_cast<TJumpingCatSprite*>(s) ||
            dynamic_cast<TKilledCatSprite*>(s) || dynamic_cast<TBonusWeaponSprite*>(s) ||
            dynamic_cast<TLightningSprite*>(s) || dynamic_cast<TPaintDropSprite*>(s) ||
            dynamic_cast<TKilledNestlingSprite*>(s))
            return true;
        if (auto* m = dynamic_cast<TMovedKeySprite*>(s); m && m->UnderWay()) return true;
        if (auto* m = dynamic_cast<TMovedBonusSprite*>(s); m && m->UnderWay()) return true;
        if (auto* b = dynamic_cast<TBirdSprite*>(s); b && b->FEggSprite->FAnimStage >= 2)
            return true;
        if (auto* b = dynamic_cast<TBonusSprite*>(s); b && b->FVisible && b->FBonusStatus != 0)
            return true;
        if (auto* c = dynamic_cast<TCatSprite*>(s); c && c->FNewShadow && c->DropStage() >= 2)
            return true;
    }
    return false;
}

} // namespace bw::testing
