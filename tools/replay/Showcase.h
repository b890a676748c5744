// A scene that shows what the data set has so far: the loading screen's pictures, text in
// both fonts and a row of buttons in their states. The replay harness uses it for the pictures
// in docs/; the game itself never enters it.
#pragma once

namespace bw {

// Makes the next start enter the showcase instead of the usual first scene.
void InstallShowcaseScene();

} // namespace bw
