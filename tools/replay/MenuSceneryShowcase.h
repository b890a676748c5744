// The main menu's scenery alone, in motion, for looking at its pictures: the forest with its
// trees, squirrel, clouds, smoke and front leaves, the start sign with its birds and the
// welcome board standing still, and the time of day running on its own clock (16.5 a tick,
// night from 16000 to 32000, a cross-fade of 50 ticks) from a chosen start. The replay
// harness takes screenshots of it; the game itself never enters it.
#pragma once

namespace bw {

// Makes the next start enter the scenery showcase; its clock starts at `clock`.
void InstallMenuSceneryShowcase(double clock);

} // namespace bw
