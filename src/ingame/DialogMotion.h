// The arithmetic of a dialog panel, apart from its sprites: how it slides in, how it fades
// in on the way, where its text stands, how it bobs, and how the character's talking goes
// from stage to stage.
#pragma once

#include <cstdint>

namespace bw {

// How far from its resting x a panel starts.
inline constexpr float DialogSlideDistance = 255.0f;
// A voice number that plays nothing.
inline constexpr int DialogSilentVoice = 99;

// Where a panel resting at `rest` starts: 255 to the left (direction 0) or right (1); a
// direction that is neither starts at rest.
float DialogSlideStart(float rest, int direction);
// One update of the slide towards `rest` (direction 0 from the left, 1 from the right): `x`
// moves on and `speed` is the step it took. True on the update it arrives, when `x` is put
// at `rest`. A panel already at rest arrives at once.
bool DialogSlideStep(float& x, float rest, int direction, float& speed);
// The panel's alpha at `x` on its way to `rest`: 255 less the distance, within 0..255.
int DialogSlideAlpha(float x, float rest);
// The panel's y as it bobs about its resting y.
float DialogBobY(float restY, double timeCounter);
// The y where the first line of `lines` lines with step `leading` is written, for a panel
// whose top is at `panelY`: the block is centred on the panel.
float DialogTextY(float panelY, int lines, int leading);

// The stage after `stage` (1 talking, then 2 .. 4 as each character winds down) for
// `character` 1..4; `silent` is true when the line has no voice or its voice has ended.
int DialogNextTalkStage(int character, int stage, bool silent);
// The swing of a bird's beak halves at the talking counter `counter`.
float DialogBeakSwing(float counter);
// The boss's mouth's alpha (0..255) at the talking counter `counter`.
int DialogMouthAlpha(float counter, float speakSpeed);

} // namespace bw
