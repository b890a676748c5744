#include "actors/BonusRules.h"

#include <algorithm>

namespace bw {

namespace {

bool LyingIdle(const BonusState& b) {
    return b.Visible && b.BonusStatus == 0 && IsBonusKind(b.Kind);
}

bool HasCat(const CatState& c) {
    return c.Visible && !c.NewShadow;
}

} // namespace

int ActivationStatus(int kind) {
    switch (kind) {
    case BombBonusKind:
        return 1;
    case FireworksBonusKind:
        return 11;
    case LightningBonusKind:
        return 21;
    case PaintBonusKind:
        return 31;
    default:
        return 0;
    }
}

int ActivationScore(int kind) {
    return IsMatchableBonusKind(kind) ? 50 + 5 * (kind - BombBonusKind) : 0;
}

TPoint2 BonusBoardOffset(int kind) {
    switch (kind) {
    case BombBonusKind:
    case PaintBonusKind:
        return {0.0f, 8.0f};
    case FireworksBonusKind:
        return {0.0f, 18.0f};
    case HamburgerBonusKind:
        return {0.0f, 20.0f};
    default:
        return {0.0f, 0.0f};
    }
}

TPoint2 BonusPulseScale(int kind, float remaining) {
    const float f = 1.0f / (remaining + 1.0f);
    switch (kind) {
    case BombBonusKind:
    case LightningBonusKind:
        return {1.0f + f, 1.0f + 0.3f * f};
    case FireworksBonusKind:
        return {1.0f + 0.35f * f, 1.0f + 0.35f * f};
    case PaintBonusKind:
        return {1.0f + 0.3f * f, 1.0f + 0.55f * f};
    default:
        return {1.0f, 1.0f};
    }
}

ExplosionOutcome ExplosionAt(const BoardSnapshot& s, TCoord2 c) {
    if (!IsPlayableCell(c)) return ExplosionOutcome::Nothing;
    const BirdState& bird = s.Birds[c.x][c.y];
    if (bird.Visible) {
        if (!bird.Bounded && !bird.SmallBounded) return ExplosionOutcome::BurnBird;
        return bird.SmallBounded ? ExplosionOutcome::Nothing : ExplosionOutcome::UnbindBird;
    }
    const BonusState& bonus = s.Bonuses[c.x][c.y];
    if (LyingIdle(bonus))
        return IsMatchableBonusKind(bonus.Kind) ? ExplosionOutcome::SetOffBonus
                                                : ExplosionOutcome::Nothing;
    if (s.Walls[c.x][c.y].Visible) return ExplosionOutcome::HitWall;
    if (HasCat(s.Cats[c.x][c.y])) return ExplosionOutcome::CatHops;
    return ExplosionOutcome::Nothing;
}

TCoord2 RocketStep(int direction) {
    switch (direction) {
    case 1:
        return {-1, 0};
    case 2:
        return {0, -1};
    case 3:
        return {1, 0};
    case 4:
        return {0, 1};
    default:
        return {0, 0};
    }
}

TCoord2 NextRocketTarget(const BoardSnapshot& s, TCoord2 from, int direction) {
    const TCoord2 step = RocketStep(direction);
    if (step == TCoord2{0, 0}) return NoCell;
    for (TCoord2 c{from.x + step.x, from.y + step.y}; IsPlayableCell(c);
         c = TCoord2{c.x + step.x, c.y + step.y}) {
        if (s.Birds[c.x][c.y].Visible || LyingIdle(s.Bonuses[c.x][c.y]) ||
            s.Walls[c.x][c.y].Visible || HasCat(s.Cats[c.x][c.y]))
            return c;
    }
    return NoCell;
}

TCoords2Array LightningRingTargets(const BoardSnapshot& s, TCoord2 from, int kind,
                                   const TCoords2Array& prohibited) {
    const auto qualifies = [&](TCoord2 c) {
        if (!IsPlayableCell(c)) return false;
        const BirdState& bird = s.Birds[c.x][c.y];
        if (!bird.Visible || bird.Egg || bird.SmallBounded || bird.Kind != kind) return false;
        return std::find(prohibited.begin(), prohibited.end(), c) == prohibited.end();
    };
    TCoords2Array found;
    for (int r = 1; r <= LastPlayableCell && found.empty(); ++r) {
        const auto look = [&](TCoord2 c) {
            if (qualifies(c)) found.push_back(c);
        };
        for (int x = from.x - r; x <= from.x + r; ++x) look({x, from.y - r});
        for (int y = from.y - r; y <= from.y + r; ++y) look({from.x + r, y});
        for (int x = from.x + r; x >= from.x - r; --x) look({x, from.y + r});
        for (int y = from.y + r; y >= from.y - r; --y) look({from.x - r, y});
    }
    return found;
}

float NextStrikeLife(float life) {
    return life <= 0.1f ? 0.1f : life - 0.3f;
}

TCoords2Array PaintCandidates(const BoardSnapshot& s, int kind, TCoord2 lifted) {
    TCoords2Array cells;
    for (int x = FirstPlayableCell; x <= LastPlayableCell; ++x) {
        for (int y = FirstPlayableCell; y <= LastPlayableCell; ++y) {
            const BirdState& bird = s.Birds[x][y];
            if (!bird.Visible || bird.Egg || bird.SmallBounded) continue;
            if (bird.Kind == CrowKind || bird.Kind == kind) continue;
            if (TCoord2{x, y} == lifted) continue;
            cells.push_back({x, y});
        }
    }
    return cells;
}

} // namespace bw
