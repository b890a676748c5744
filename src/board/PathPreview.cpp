#include "board/PathPreview.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "Engine/KilnSprite/SpriteMath.h"
#include "board/Board.h"
#include "board/BoardEffects.h"
#include "board/BoardSprites.h"
#include "board/Location.h"

#include <cmath>
#include <numbers>

namespace bw {

namespace {

constexpr int PreviewZ = 2999;
constexpr float StepLength = 5.0f;
constexpr int MaxStepsPerCell = 2000;

constexpr char PreviewFx[] = "show_path_1.xml";
constexpr float PreviewStep = 0.01f;
constexpr float PreviewSpeed = 2.0f;
constexpr int PreviewWarmUp = 25;

// Draws the preview's particle system at its depth among the board's sprites and advances it
// once per tick.
class TPathPreviewSprite : public TSprite {
public:
    explicit TPathPreviewSprite(TSprite* parent) : TSprite(parent) {}

    std::unique_ptr<BoardParticles> System;

    void DoMove(float moveCount) override {
        if (System) System->Update(PreviewStep * moveCount);
    }
    void DoDraw() override {
        if (System) System->Render();
    }
};

struct PreviewState {
    TPathPreviewSprite* Sprite = nullptr;
    std::vector<TPoint2> Points;
    TCoord2 Cell = NoCell;
};

PreviewState& State() {
    static PreviewState state;
    return state;
}

// The hovered cell holds an object of the kind that stops the dragged one: a full bird for a
// bird, a bonus for a bonus, a key for a key.
bool HoldsWhatBlocks(const BoardSnapshot& s, TCoord2 c) {
    switch (s.Dragged) {
    case drag_Bird:
        return s.Birds[c.x][c.y].Visible && !s.Birds[c.x][c.y].SmallBounded;
    case drag_Bonus:
        return s.Bonuses[c.x][c.y].Visible;
    case drag_Key:
        return s.Keys[c.x][c.y];
    case drag_Nothing:
        return true;
    }
    return true;
}

TPoint2 CellPosition(TCoord2 c) {
    const TLevelSprite* cell = BoardCells[c.x][c.y];
    return cell ? TPoint2{cell->FX, cell->FY} : TPoint2{};
}

} // namespace

std::vector<TPoint2> PathPreviewPointsFor(const TCoords2Array& path, TPoint2 offset) {
    std::vector<TPoint2> points;
    for (size_t i = 1; i < path.size(); ++i) {
        const TPoint2 a = CellPosition(path[i]);
        const TPoint2 b = CellPosition(path[i - 1]);
        const TPoint2 from{a.x + offset.x, a.y + offset.y};
        const TPoint2 to{b.x + offset.x, b.y + offset.y};
        const double radians = std::atan2(to.y - from.y, to.x - from.x);
        const int angle = static_cast<int>(std::lround(radians * 128.0 / std::numbers::pi)) & 255;
        const TPoint2 step{Cos256(angle) * StepLength, Sin256(angle) * StepLength};
        TPoint2 p = from;
        double previous = std::hypot(to.x - p.x, to.y - p.y);
        for (int n = 0; n < MaxStepsPerCell; ++n) {
            points.push_back(p);
            p = TPoint2{p.x + step.x, p.y + step.y};
            const double distance = std::hypot(to.x - p.x, to.y - p.y);
            if (distance >= previous) {
                points.push_back(p);
                break;
            }
            previous = distance;
        }
    }
    return points;
}

void ClearPathPreview() {
    PreviewState& s = State();
    if (s.Sprite && !s.Sprite->FDeaded) {
        s.Sprite->System.reset();
        s.Sprite->Dead();
    }
    s.Sprite = nullptr;
    s.Points.clear();
    s.Cell = NoCell;
}

void ForgetPathPreview() {
    PreviewState& s = State();
    s.Sprite = nullptr;
    s.Points.clear();
    s.Cell = NoCell;
}

const std::vector<TPoint2>& PathPreviewPoints() {
    return State().Points;
}

TCoord2 PathPreviewCell() {
    return State().Cell;
}

void UpdatePathPreview() {
    PreviewState& s = State();
    if (HoverCell == NoCell) return;
    if (HoverCell == s.Cell && !BoardChanged) return;
    ClearPathPreview();
    s.Cell = HoverCell;

    const TCoord2 source = DraggedSource();
    if (source == NoCell || HoverCell == source) return;
    const BoardSnapshot snapshot = TakeBoardSnapshot();
    if (HoldsWhatBlocks(snapshot, HoverCell)) return;
    if (snapshot.Keys[HoverCell.x][HoverCell.y]) return;

    BoardChanged = false;
    const TAlgPathResult result = FindPath(snapshot, source, HoverCell);
    HoverCell = NoCell;
    if (!result.PathWasFind) return;
    const TCoord2 offset = LocationOptions().FShowPath_Offset;
    s.Points = PathPreviewPointsFor(
        result.Path, TPoint2{static_cast<float>(offset.x), static_cast<float>(offset.y)});
    if (BoardParent()) {
        s.Sprite = new TPathPreviewSprite(BoardParent());
        s.Sprite->SetZ(PreviewZ);
        // The points are design positions: the system stands at the origin.
        s.Sprite->System = Effects().Own(PreviewFx, TPoint2{});
        if (BoardParticles* system = s.Sprite->System.get()) {
            system->SetEmitters(s.Points);
            const int half =
                static_cast<int>(std::nearbyint(static_cast<double>(s.Points.size()) / 2.0));
            system->SetEmissionRate(half + 1);
            system->SetSpeedMultiply(PreviewSpeed);
            for (int i = 0; i < PreviewWarmUp; ++i) system->Update(PreviewStep);
        }
    }
}

} // namespace bw
