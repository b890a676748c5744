// The four characters of the dialogs as lists of parts: each part's picture, its offset from
// the body, its depth step, how its corners sway, and how far it follows the body's sway.
#pragma once

#include "gui/TransformObjectSprite.h"

#include <string>
#include <vector>

namespace bw {

struct DialogPartSpec {
    std::string name; // the picture is the character's prefix + name + ".image"
    float dx = 0, dy = 0;
    int zStep = 1;
    TTransformInfoClass sway{};
    float follow = 0; // times the body's displacement along the character's axis
};

struct DialogCharacterSpec {
    std::string prefix;
    float bodyX = 0;  // from the panel's x
    float bodyDY = 0; // from the line's resting y
    // Which of the body's corner coordinates (FX1, FY1, .. FX4, FY4 as 0..7) the parts follow,
    // and whether along x (else y).
    int followCoord = 0;
    bool followX = false;
    std::vector<DialogPartSpec> parts; // after the body
    TTransformInfoClass bodySway{};
    // The parts whose picture moves as the character talks (the beaks, or the mouth), by
    // index in `parts` (from 1 as in DialogParts); 0 for none.
    int talk1 = 0, talk2 = 0;
};

// Character 1..4; null outside.
const DialogCharacterSpec* DialogCharacter(int character);
// Character 3's beaks while it talks: the lower-left and upper-left corners go up and down.
TTransformInfoClass DialogTalkingBeak(double radius, double speed);

} // namespace bw
