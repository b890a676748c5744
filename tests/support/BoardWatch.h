// What a scripted player looks at before it moves: whether anything on the board is still
// under way. The scripted player's library holds the watch; the tests call it from here.
#pragma once

#include "Engine/KilnSprite/SpriteEngine.h"
#include "actors/Bonuses.h"
#include "actors/CatSprites.h"
#include "actors/NestlingSprites.h"
#include "base/GameObjects.h"
#include "board/Board.h"
#include "replay/LevelPlayer.h"

namespace bw::testing {

using bw::BoardBusy;

} // namespace bw::testing
