// The board bird: one parametric drawing that every bird picture (standing, tied, hatching,
// carried, flying, burnt, lifting a cat) is posed from, so that all of them share one look.
//
// The bird is designed on a 128-unit square: body about 80 x 80 around (64, 76), feet standing
// on y = 112..123. DrawBirdPose maps that square onto the target so that the body centre lands
// on the given point at the given scale (0.72 puts the bird at board size on a 130 x 130
// pattern).
#pragma once

#include <cairo.h>

namespace bw::pack {

// Kinds 1..6 are the player's birds, kCrowKind the crow.
constexpr int kCrowKind = 9;

enum class BirdFace { Normal, Happy, Worried, Effort, Dazed };
enum class BirdFeet { Standing, Tucked, Dangling, Gripping };

struct BirdPose {
    int Kind = 1;
    // Wings: angle in degrees away from the body (0 folded at the side, 90 straight out,
    // 150 high above); Spread > 0.5 draws the long flight wing instead of the folded one.
    double WingLeft = 0, WingRight = 0;
    double Spread = 0;
    // Body: squash > 0 flattens and widens about the feet line, < 0 stretches; the offset and
    // the lean (degrees, clockwise) move everything except standing feet.
    double Squash = 0;
    double BodyDx = 0, BodyDy = 0;
    double Lean = 0;
    // Face: eyelids 0 open .. 1 shut; pupils moved by (LookX, LookY) design units; Turn -1..1
    // turns the face to the bird's left or right (for side-on flight); Back shows the back.
    double Blink = 0;
    double LookX = 2, LookY = 1;
    double Turn = 0;
    bool Back = false;
    double BeakOpen = 0;
    BirdFace Face = BirdFace::Normal;
    // Feet: how they are held; Swing moves dangling or gripping feet sideways.
    BirdFeet Feet = BirdFeet::Standing;
    double FeetSwing = 0;
    // Crest and tail drawn on the other side (a bird flying to the right trails its tail
    // to the left).
    bool MirrorExtras = false;
    // Burn: 0 clean .. 1 singed (darkened, sooty, frazzled); Smoke is the 0..1 phase of the
    // smoke wisps rising from it (negative: none).
    double Soot = 0;
    double Smoke = -1;
    // Tied up with rope.
    bool Rope = false;
};

// Draws the bird in the pose, its body centre at (cx, cy), design units times scale.
void DrawBirdPose(cairo_t* cr, const BirdPose& pose, double cx, double cy, double scale);

// Draws the egg of a kind: stage 0 whole, 1 cracked, then 2..15 hatching (shell top lifting,
// the chick's head showing).
void DrawBirdEgg(cairo_t* cr, int kind, int stage, double cx, double cy, double scale);

// The cartoon burst of feathers and smoke, step 0..frames-1.
void DrawBirdBurst(cairo_t* cr, int step, int frames, double cx, double cy, double scale);

} // namespace bw::pack
