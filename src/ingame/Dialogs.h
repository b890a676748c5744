// The characters' dialogs: the speech panel of a level's opening conversation, one line at a
// time, with the speaking character assembled from separately swaying parts beside it.
//
// A line's panel slides in from the left or the right and fades in on the way; on arrival
// its voice plays and the character talks until the voice ends. A click (or Escape) once it
// has arrived shows the next line, and after the last one closes the dialog; the release that
// follows the last click is swallowed, so it cannot drop or pick up anything on the board.
#pragma once

#include "base/ModalLayers.h"
#include "data/TextRecords.h"
#include "gui/TransformObjectSprite.h"

#include <array>
#include <memory>
#include <vector>

namespace bw {

class TDialogIconSprite;

class TDialogPanel : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;
    int FCharacter = 0;
    int FVoice = 0;
    float FSpeakSpeed = 1.0f;
    int FAnimStage = 0; // 0 sliding in, 1 arrived and talking, 2..4 winding down
    double FTimeCounter = 0.0;
    TTSText FText;
    TDialogIconSprite* FIcon = nullptr; // never set
    TPoint2 FStartPos;
    uint8_t FDirection = 0;
    float FSpeed = 0.0f;

    void DoMove(float moveCount) override;
    void DoDraw() override;
};

// One part of a character: its corners sway by their own records, and the panel moves it.
class TDialogTransformObject : public TTransformObjectSprite {
public:
    using TTransformObjectSprite::TTransformObjectSprite;
    int FIndex = 0;
    float FMotionCounter = 0.0f;
    int FMotionStage = 0;
    TPoint2 FMotionSpeed;
    // FStartPos (of the base) is its reference position.
    std::array<float, 8> FStartCoords{}; // FX1, FY1 .. FX4, FY4 at creation
};

// msg_Create with the dialogue of level number `level` (1-based), or msg_Destroy. A list
// without lines opens nothing.
void DialogControl(TTS_Message action, int level = 0);
// Opens the dialogue of the current level, closing any dialog shown; false when the level
// has none or a cut-scene runs.
bool StartLevelDialog();
// A click while a dialog is shown: the next line, or the end, once the panel has arrived.
void DialogClick();

bool DialogShown();
// The line shown (from 1), the number of lines, and the panel's stage; 0 / 0 / -1 when no
// dialog is shown.
int DialogLineShown();
int DialogLineCount();
int DialogStage();
// Set when a dialog closes; the next release clears it and is ignored.
bool DialogSkipsNextRelease();
// The parts of the character shown, body first (for tests and the replay dump).
const std::vector<TDialogTransformObject*>& DialogPartSprites();
TDialogPanel* DialogPanelSprite();

// The sprite engine is going with every sprite: the dialog is forgotten unfreed.
void ForgetDialogSprites();

// The dialog as the frame's modal layer.
std::unique_ptr<ModalLayer> MakeDialogLayer();

} // namespace bw
