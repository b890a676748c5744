// The "bird" drawing program: poses the board bird for every animation sheet the game shows.
#include "drawings/DrawBird.h"
#include "drawings/Drawings.h"

#include <algorithm>
#include <cmath>

namespace bw::pack {

namespace {

constexpr double kPi = 3.14159265358979323846;

double Smooth(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

double Lerp(double a, double b, double t) {
    return a + (b - a) * t;
}

// The game hangs a carried bird from the pointer at a height of its own for each kind (54
// units down the picture for kind 1, 68 for kinds 2 to 4, 72 for kind 5, 42 for kind 6, 50
// for the crow). The bird is drawn lower by up to 12 design units so that the pointer holds
// it near the top of its head, without its dangling feet leaving the picture.
double DragShift(int kind) {
    switch (kind) {
    case 1:
        return 10;
    case 2:
    case 3:
    case 4:
    case 5:
        return 12;
    case 6:
        return -2;
    default:
        return 7;
    }
}

// Standing on the board, played back and forth slowly: breathing in, looking round from left
// to right and up, blinking once on the way.
BirdPose Idle(int kind, int f, int n) {
    BirdPose p;
    p.Kind = kind;
    const double t = n > 1 ? double(f) / (n - 1) : 0.0;
    const double s = Smooth(t);
    p.Squash = Lerp(0.025, -0.03, s);
    p.LookX = Lerp(-2.5, 3.0, s);
    p.LookY = Lerp(1.5, -0.5, s);
    p.WingLeft = p.WingRight = Lerp(0, 7, s);
    if (n >= 16) {
        const int blink = f - 9;
        if (blink == 0 || blink == 2) p.Blink = 0.55;
        if (blink == 1) p.Blink = 1;
    }
    return p;
}

// Picked up: flapping in a flurry, feet dangling, held from above.
BirdPose Drag(int kind, int f, int n) {
    BirdPose p;
    p.Kind = kind;
    const double t = n > 1 ? double(f) / (n - 1) : 0.0;
    const double s = Smooth(t);
    p.Spread = 1;
    p.WingLeft = p.WingRight = Lerp(40, 135, s);
    p.Squash = -0.05;
    p.BodyDy = DragShift(kind) + Lerp(2, -2, s);
    p.Feet = BirdFeet::Dangling;
    p.FeetSwing = Lerp(-3, 3, s);
    p.Face = BirdFace::Worried;
    p.LookX = 0;
    p.LookY = -3;
    p.BeakOpen = 1;
    return p;
}

// Flying along the path: four rows of one wing beat each, up, right, down, left.
BirdPose Move(int kind, int f) {
    BirdPose p;
    p.Kind = kind;
    const int dir = (f / 16) % 4;
    const double phase = 2 * kPi * (f % 16) / 16.0;
    p.Spread = 1;
    p.WingLeft = p.WingRight = 75 + 55 * std::cos(phase);
    p.BodyDy = -2 - 3 * std::sin(phase);
    p.Feet = BirdFeet::Tucked;
    switch (dir) {
    case 0: // up, seen from behind
        p.Back = true;
        break;
    case 1: // right
        p.Turn = 1;
        p.Lean = 12;
        p.MirrorExtras = true;
        p.LookX = 3;
        p.LookY = 0;
        p.WingLeft = 58 + 44 * std::cos(phase);
        break;
    case 2: // down, towards the player
        p.LookX = 0;
        p.LookY = 3;
        break;
    default: // left
        p.Turn = -1;
        p.Lean = -12;
        p.LookX = -3;
        p.LookY = 0;
        p.WingRight = 58 + 44 * std::cos(phase);
        break;
    }
    return p;
}

// Flying off happily after a match, seen from the front.
BirdPose Fly(int kind, int f, int n) {
    BirdPose p;
    p.Kind = kind;
    const double t = n > 1 ? double(f) / (n - 1) : 0.0;
    const double s = Smooth(t);
    p.Spread = 1;
    p.WingLeft = p.WingRight = Lerp(150, 35, s);
    p.BodyDy = Lerp(-4, 2, s);
    p.Squash = Lerp(-0.04, 0.02, s);
    p.Feet = BirdFeet::Tucked;
    p.Face = kind == kCrowKind ? BirdFace::Worried : BirdFace::Happy;
    p.BeakOpen = kind == kCrowKind ? 1 : 0;
    return p;
}

// Struck by lightning: singed and smoking, trembling.
BirdPose Burn(int kind, int f, int n) {
    BirdPose p;
    p.Kind = kind;
    p.Soot = 1;
    p.Smoke = n > 0 ? double(f) / n : 0.0;
    p.Face = BirdFace::Dazed;
    p.WingLeft = p.WingRight = 24 + 6 * std::sin(2 * kPi * f / std::max(1, n) * 2);
    p.BodyDx = (f % 2) ? 1 : -1;
    p.Squash = 0.03;
    p.BeakOpen = 1;
    return p;
}

BirdPose Bounded(int kind) {
    BirdPose p;
    p.Kind = kind;
    p.Rope = true;
    p.WingLeft = p.WingRight = -4;
    p.Face = BirdFace::Worried;
    p.LookX = -1;
    p.LookY = -2;
    p.Squash = 0.02;
    return p;
}

// Lifting a caught cat: flapping hard, claws gripping below; the left picture is the bird on
// the cat's left, leaning over towards it.
BirdPose MatchCat(int kind, int f, int n, bool left) {
    BirdPose p;
    p.Kind = kind;
    const double t = n > 1 ? double(f) / (n - 1) : 0.0;
    const double s = Smooth(t);
    p.Spread = 1;
    p.WingLeft = p.WingRight = Lerp(30, 140, s);
    p.BodyDy = Lerp(-6, -10, s);
    p.Lean = left ? 10 : -10;
    p.Feet = BirdFeet::Gripping;
    p.FeetSwing = left ? 4 : -4;
    p.Face = BirdFace::Effort;
    p.Squash = Lerp(0.03, -0.03, s);
    return p;
}

bool KindFrom(const DrawContext& context, int& kind, std::string& error) {
    const std::string text = context.Text("kind", "");
    if (text == "strip") {
        kind = 1 + context.Frame / 16;
        if (kind > 6) {
            error = "kind=\"strip\" holds 16 frames for each of the kinds 1..6, not " +
                    std::to_string(context.Frames);
            return false;
        }
        return true;
    }
    if (text == "crow") {
        kind = kCrowKind;
        return true;
    }
    if (text.size() == 1 && text[0] >= '1' && text[0] <= '6') {
        kind = text[0] - '0';
        return true;
    }
    error = "kind \"" + text + "\" is none of 1..6, crow or strip";
    return false;
}

} // namespace

bool DrawBird(cairo_t* cr, const DrawContext& context, std::string& error) {
    int kind = 1;
    if (!KindFrom(context, kind, error)) return false;
    const std::string sheet = context.Text("sheet", "idle");
    // Animations of 16 frames; longer sheets repeat them per kind or per direction.
    const int n = std::min(context.Frames, 16);
    const int f = context.Frame % 16;
    const double scale = 0.72 * std::min(context.Width, context.Height) / 130.0;
    const double cx = context.Width / 2.0, cy = context.Height / 2.0;

    if (sheet == "egg") {
        DrawBirdEgg(cr, kind, f, cx, cy, scale);
        return true;
    }
    if (sheet == "explosion") {
        DrawBirdBurst(cr, f, n, cx, cy, scale);
        return true;
    }
    BirdPose pose;
    if (sheet == "idle") {
        pose = Idle(kind, f, n);
        if (kind == kCrowKind && context.Frames == 1) pose = BirdPose{kCrowKind};
    } else if (sheet == "bounded") {
        pose = Bounded(kind);
    } else if (sheet == "drag") {
        pose = Drag(kind, f, n);
    } else if (sheet == "move") {
        pose = Move(kind, context.Frame);
    } else if (sheet == "fly") {
        pose = Fly(kind, f, n);
    } else if (sheet == "burn") {
        pose = Burn(kind, f, n);
    } else if (sheet == "matchcat_left" || sheet == "matchcat_right") {
        pose = MatchCat(kind, f, n, sheet == "matchcat_left");
    } else {
        error = "sheet \"" + sheet +
                "\" is none of idle, bounded, egg, drag, move, fly, burn, explosion, "
                "matchcat_left, matchcat_right";
        return false;
    }
    DrawBirdPose(cr, pose, cx, cy, scale);
    return true;
}

} // namespace bw::pack
