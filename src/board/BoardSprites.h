// The sprites that make up the board itself: one cell sprite per existing cell, and the wall
// and gate that may stand on it. The birds are in BirdSprites.h; the board's grids and turn
// flow in Board.h.
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"
#include "board/BoardTypes.h"

#include <vector>

namespace bw {

// One tick of a piece that appears small: stage 1 grows to half size and stops there
// (stage 2); stage 3 grows on to full size and ends at stage 0. Returns true on the tick the
// piece reaches full size.
template <class Stage> bool GrowStep(float& scale, Stage& stage, float moveCount) {
    if (stage != 1 && stage != 3) return false;
    const float limit = stage == 1 ? 0.5f : 1.0f;
    scale += 0.015f * moveCount;
    if (scale < limit) return false;
    scale = limit;
    stage = static_cast<Stage>(stage == 1 ? 2 : 0);
    return stage == 0;
}

// How far a highlight fades per tick.
inline constexpr float CellLightFade = 25.0f;
inline constexpr float CellLightLevel = 150.0f;

// A cell of the board. Occupants are centred on FCenter; the light sprite is a copy of the
// cell picture added over it while the pointer hovers the cell.
class TLevelSprite : public TAnimatedSprite {
public:
    explicit TLevelSprite(TSprite* parent);

    int pX = 0;
    int pY = 0;
    TAnimatedSprite* FLightSprite = nullptr; // drawn by the cell
    float FLightLevel = 0.0f;
    int FArrow = 0; // 0, or the direction 1..4 of a one-way cell
    int FKind = 0;  // the map code
    TPoint2 FStartPos;
    TPoint2 FCenter;
    double FTimecounter = 0.0;
    TPoint2 FAnimPosOffset; // the dip of a floating cell when a bird lands on it
    TPoint2 FCentreOffset;  // FCenter minus the position
    bool FFloating = false; // bobs on water or rides the train
    // The location's backing pieces under this cell (siblings of the cell, lower in Z); they
    // keep their offset from the cell wherever it goes. Not owned: the board removes them
    // with the cell.
    std::vector<TAnimatedSprite*> backing;
    TPoint2 backingOffset;

    TCoord2 Cell() const { return {pX, pY}; }
    // Lights the cell up (an empty cell too).
    void Highlight();
    // Moves the cell, its centre and its light.
    void PlaceAt(TPoint2 pos);

    void DoMove(float moveCount) override;
    void DoDraw() override;
};

// A wall on a cell: strength 1 or 2. A wall generated this turn is small and does not block;
// at the next end of turn it grows to full size.
class TWallSprite : public TAnimatedSprite {
public:
    explicit TWallSprite(TSprite* parent);

    bool FSmall = false;
    uint8_t FAnimStage = 0; // 1 growing to half size, 2 half size, 3 growing to full size
    TPoint2 FgrowOffset;
    uint8_t FStrength = 0;
    int pX = 0;
    int pY = 0;
    TPoint2 FStartPos;

    // Shows the picture of the current strength (hidden at strength 0).
    void UpdatePicture();
    // Puts the wall over its cell (the cell may float).
    void UpdatePosition();

    void DoMove(float moveCount) override;
};

// A gate on a cell. It toggles between open and closed every FMaxProgress turns; the turns
// left are written on it.
class TGateSprite : public TAnimatedSprite {
public:
    explicit TGateSprite(TSprite* parent);

    bool FOpened = false;
    bool FAnimating = false;
    int FProgress = 0;
    int FMaxProgress = 0;
    int pX = 0;
    int pY = 0;
    TPoint2 FStartPos;

    // Starts the opening or closing animation from the current frame.
    void StartToggleAnimation();
    void UpdatePosition();

    void DoMove(float moveCount) override;
    void DoDraw() override;

    // Closed, at rest: blocks the cell.
    bool Blocks() const { return FVisible && !FOpened && !FAnimating; }
};

} // namespace bw
