// The panels of a level in play: the bottom bar with its notepad, the task panel (icon,
// progress text, status egg), the menu and help buttons, the score panel, the time panel, the
// nest row of a nestling mission and the mission pop-up (a modal layer of its own). Created
// when a level's board is built, gone with the level.
#pragma once

#include "base/ModalLayers.h"
#include "ingame/PanelLogic.h"
#include "render/Types.h"

#include <memory>

namespace bw {

class TSprite;

// Whether a level opens with its mission pop-up (on in the game).
bool& StartPopupEnabled();

void CreateLevelInterface();
void DestroyLevelInterface();
bool LevelInterfaceExists();
// Judges the task (during play, or as at the level's end) and shows the verdict.
void RefreshTask(bool final);
// Shows the verdict the won level recorded, without judging the task again.
void ShowTaskVerdict(bool completed);
// Once a tick in the level: the shown score counts and the panels follow the window width.
void LevelInterfaceTick();
// The panels take the window's width now (a scene over the level changed the window mode).
void RelayLevelInterface();
// The level clock's second.
void LevelInterfaceSecond();
// The menu and help buttons under the pointer; true when `sprite` was one of them.
bool InterfaceHit(TSprite& sprite);
// The nests that show a saved nestling, and taking the first one away (its position in
// `pos`) for the result's flying nestling.
int SavedNestlingsShown();
bool TakeSavedNestling(TPoint2& pos);
void HideSavedNestlings();
// A nestling was saved: it shows in the next free nest.
void ShowSavedNestling();
// The top-left of nest `index` (0-based) of the row; false when the row has no such nest.
bool NestPosition(int index, TPoint2& pos);
// A won level folds a pop-up that is still open.
void FoldPopupAtWin();
// For the replay dump.
const TaskPanelMotion* TaskPanelState();
const PopupMotion* PopupState();
// The sprite engine is going with every sprite.
void ForgetInterfaceSprites();

std::unique_ptr<ModalLayer> MakePopupLayer();

} // namespace bw
