// The player selection (scene_ChoosePlayer) and the name entry (scene_EnterName), panels over
// the main menu: the list of profiles in seven rows with a scroll bar, the buttons to choose,
// create and delete a player, and the panel where a new player's name is typed.
#pragma once

#include "platform/Events.h"
#include "render/Types.h"

#include <memory>
#include <string>

namespace bw {

class Scene;
class TSprite;

inline constexpr int PlayerRows = 7;
inline constexpr int MaxProfiles = 15;
inline constexpr TPoint2 PlayerPanelPos{610, 270};
inline constexpr TPoint2 NamePanelPos{610, 400};

// ---- The list's arithmetic -----------------------------------------------------------------

// The largest scroll offset for `count` profiles (0 while all fit).
int MaxScrollOffset(int count);
// The rows shown: with more than six profiles the seven from the offset, otherwise all.
int ShownRows(int count, int offset);
// Whether the scroll handle is there: eight profiles or more.
bool ScrollHandleShown(int count);
// The handle's y for an offset (bar y + 5 at the top, bar y + 118 at the bottom).
float ScrollHandleY(int offset, int count, float barY);
// The offset a dragged handle at `handleY` stands for.
int ScrollOffsetForHandle(float handleY, float barY, int count);
// The handle's y while it follows the pointer: centred on it, kept in its travel.
float DraggedHandleY(double pointerY, float handleHeight, float barY);
// The row (0..rows - 1) under the pointer, the last one whose area holds it; -1 for none.
int HoveredRow(TPoint2 pointer, TPoint2 panel, int rows);

// ---- The name's characters -----------------------------------------------------------------

// Whether a typed character may go into a name: letters, digits, the space and what lies
// above U+00BF pass; control characters, ASCII punctuation and the listed Latin-1 signs do
// not. Backspace is an editing key and never reaches this test.
bool NameKeyAccepted(char32_t c);
// Whether the name fits its field: its width at the name's scale, in design units, is at most
// 210.
bool NameFitsField(const std::string& name);

// ---- The screens ---------------------------------------------------------------------------

void OpenPlayerSelection();
void ClosePlayerSelection();
bool PlayerSelectionOpen();
void PlayerSelectionUpdate();
void PlayerSelectionInput(TSprite& sprite);
// The first profile shown, and the selected one (-1 for none).
int PlayerSelectionOffset();
int SelectedProfileIndex();
// The shade's alpha (Escape from the name entry reopens the selection at 125).
void SetPlayerSelectionShadeAlpha(int alpha);
// The list of profiles changed on disk: the rows, the selection and the scroll start over.
void RefreshPlayerSelection();

void OpenNameEntry();
void CloseNameEntry();
bool NameEntryOpen();
void NameEntryInput(TSprite& sprite);
// The text typed so far, and the caret (a byte index into it).
const std::string& EnterNameText();
// The typed text changed (keyboard text arrived): the filter, the width limit and the trim.
void EnterNameEditChange(const std::string& typed);
// Backspace, Enter and Escape.
void EnterNameEditKeyPress(Key key);

// The profile hooks (messages, the name entry when no profile is left, the default name)
// connected to these screens and the message box.
void ConnectProfileScreens();

std::unique_ptr<Scene> MakePlayerSelectionScene();
std::unique_ptr<Scene> MakeNameEntryScene();

} // namespace bw
