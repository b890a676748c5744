// The bonuses' rules of play over a snapshot of the board: what each kind is worth and how it
// pulses, what an explosion does to a cell, where a rocket stops next, which bird a lightning
// strike looks for and which birds a paint bonus may recolour.
#pragma once

#include "board/BoardTypes.h"
#include "render/Types.h"

#include <array>

namespace bw {

inline constexpr int BombBonusKind = 41;
inline constexpr int FireworksBonusKind = 42;
inline constexpr int LightningBonusKind = 43;
inline constexpr int PaintBonusKind = 44;

inline constexpr int BonusPulseUpdates = 15;
inline constexpr int LightningChainLength = 7;
inline constexpr int PaintDropsPerBlast = 7;
inline constexpr float FirstStrikeLife = 1.5f;

inline constexpr bool IsBonusKind(int k) {
    return k >= FirstBonusKind && k <= HamburgerBonusKind;
}

// The status a bonus of `kind` pulses with once set off (1, 11, 21, 31); 0 for the hamburger,
// which never goes off, and for anything that is not a bonus.
int ActivationStatus(int kind);
// The points for setting off a bonus of `kind`.
int ActivationScore(int kind);
// Where a bonus of `kind` stands relative to its cell's centre.
TPoint2 BonusBoardOffset(int kind);
// The pulse of a set-off bonus with `remaining` updates to go.
TPoint2 BonusPulseScale(int kind, float remaining);

// The bomb blasts its neighbours in this order.
inline constexpr std::array<TCoord2, 8> BombBlastOrder{
    {{-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}}};

// What an explosion does to one cell, the first that applies.
enum class ExplosionOutcome {
    Nothing,     // empty, a tied bird of this turn, a hamburger, a bonus already going off
    BurnBird,    // a free bird (crows too) is destroyed
    UnbindBird,  // a tied bird is set free
    SetOffBonus, // a weapon bonus goes off
    HitWall,
    CatHops,
};
ExplosionOutcome ExplosionAt(const BoardSnapshot& s, TCoord2 c);

// Rocket directions: 1 left, 2 up, 3 right, 4 down.
TCoord2 RocketStep(int direction);
// The next cell a rocket flying in `direction` from `from` hits: the first beyond it holding a
// bird, a bonus lying idle, a wall or a cat; NoCell when it reaches the edge of the board.
TCoord2 NextRocketTarget(const BoardSnapshot& s, TCoord2 from, int direction);

// The cells a lightning strike from `from` may hit next: the qualifying birds of `kind` on the
// nearest square ring around `from` that holds any, walked side by side so that a corner
// appears twice. Cells outside 1..16 are never looked at; `prohibited` cells never qualify.
TCoords2Array LightningRingTargets(const BoardSnapshot& s, TCoord2 from, int kind,
                                   const TCoords2Array& prohibited);
// The delay of the strike after one that waited `life`: 0.3 shorter, and 0.1 once it is down
// to 0.1 or less.
float NextStrikeLife(float life);

// The birds a paint bonus of `kind` may recolour, pX ascending then pY: no crows, eggs, birds
// tied this turn, the lifted bird, or birds already of that kind.
TCoords2Array PaintCandidates(const BoardSnapshot& s, int kind, TCoord2 lifted);

} // namespace bw
