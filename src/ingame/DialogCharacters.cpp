#include "ingame/DialogCharacters.h"

namespace bw {

namespace {

// The corners: top-left, top-right, bottom-right, bottom-left.
TTransformInfo Y(double radius, double speed) {
    return TTransformInfo{false, radius != 0, 0, radius, speed};
}
TTransformInfo X(double radius, double speed) {
    return TTransformInfo{radius != 0, false, radius, 0, speed};
}
TTransformInfo XY(double rx, double ry, double speed) {
    return TTransformInfo{rx != 0, ry != 0, rx, ry, speed};
}
constexpr TTransformInfo Still{};

TTransformInfoClass Corners(TTransformInfo tl, TTransformInfo tr, TTransformInfo br,
                            TTransformInfo bl) {
    return TTransformInfoClass{tl, tr, br, bl};
}
TTransformInfoClass All(TTransformInfo t) {
    return Corners(t, t, t, t);
}
const TTransformInfoClass None{};

// A bird of kind 1: round and lively, it rises and settles on its feet.
DialogCharacterSpec Cherry() {
    DialogCharacterSpec c;
    c.prefix = "dialog_bird_1_1_";
    c.bodyX = -50;
    c.bodyDY = -50;
    c.followCoord = 3; // FY2
    c.bodySway = Corners(Y(3, 26), Y(3, 26), Y(9, 26), Y(9, 26));
    const auto eye = All(XY(2, 2, 25));
    const auto brow = Corners(Y(2, 21), Y(-2, 21), Still, Still);
    c.parts = {
        {"foot1", 25, 161, 1, None, 2.0f},
        {"foot2", 141, 185, 1, None, 1.9f},
        {"wing1", 11, 39, 1, Corners(Still, Still, XY(-3, 4, 30), XY(-5, 5, 30)), 1.9f},
        {"wing2", 160, 131, -1, Corners(Still, XY(3, 3, 28), XY(4, 4, 28), Still), 1.85f},
        {"eye1", 145, 88, 1, eye, 1.8f},
        {"eye2", 179, 101, 1, eye, 1.8f},
        {"pupil1", 158, 111, 2, eye, 1.8f},
        {"pupil2", 189, 120, 2, eye, 1.8f},
        {"brow1", 157, 61, 1, brow, 1.8f},
        {"brow2", 187, 78, 1, brow, 1.8f},
        {"mouth", 154, 132, 1, None, 1.8f},
        {"beak1", 160, 121, 2, None, 1.8f},
        {"beak2", 152, 128, 2, None, 1.8f},
    };
    c.talk1 = 12;
    c.talk2 = 13;
    return c;
}

// A bird of kind 6: slim and calm; its head breathes while its feet stay put.
DialogCharacterSpec Blossom() {
    DialogCharacterSpec c;
    c.prefix = "dialog_bird_6_1_";
    c.bodyX = 463;
    c.bodyDY = -40;
    c.followCoord = 1; // FY1
    c.bodySway = Corners(Y(4, 22), Y(4, 22), Y(1, 22), Y(1, 22));
    const auto eye = All(XY(1.5, 1.5, 23));
    const auto brow = Corners(Y(-2, 19), Y(2, 19), Still, Still);
    c.parts = {
        {"foot1", -15, 136, 1, None, 0.2f},
        {"foot2", 40, 151, 1, None, 0.2f},
        {"wing1", 68, 119, 1, Corners(Still, Still, XY(3, 4, 27), XY(2, 5, 27)), 0.2f},
        {"wing2", -20, 62, -1, Corners(XY(-3, 3, 25), Still, Still, XY(-4, 4, 25)), 0.2f},
        {"eye1", 101, 39, 1, eye, 0.25f},
        {"eye2", 79, 28, 1, eye, 0.25f},
        {"pupil1", 115, 57, 2, eye, 0.25f},
        {"pupil2", 91, 48, 2, eye, 0.25f},
        {"brow1", 125, 24, 1, brow, 0.25f},
        {"brow2", 84, 19, 1, brow, 0.25f},
        {"mouth", 81, 59, 1, None, 0.25f},
        {"beak1", 73, 50, 2, None, 0.25f},
        {"beak2", 76, 69, 2, None, 0.25f},
    };
    c.talk1 = 12;
    c.talk2 = 13;
    return c;
}

// The old bird of kind 2 with his hat and pipe: slow breath, a wobbling hat brim.
DialogCharacterSpec Cornflower() {
    DialogCharacterSpec c;
    c.prefix = "dialog_bird_2_1_";
    c.bodyX = 463;
    c.bodyDY = -50;
    c.followCoord = 7; // FY4
    c.bodySway = Corners(Y(3, 17), Y(3, 17), Y(4, 17), Y(4, 17));
    c.parts = {
        {"foot1", -15, 172, 1, None, 0.5f},
        {"foot2", 94, 168, 1, None, 0.5f},
        {"wing", 128, 98, 1, Corners(Still, Still, XY(3, 3, 20), XY(2, 4, 20)), 0.2f},
        {"pupil", 142, 72, 2, All(XY(1.5, 1, 19)), 0.2f},
        {"beak1", 59, 52, 4, None, 0.25f},
        {"beak2", 68, 75, 2, None, 0.25f},
        {"hat", 131, -34, 1, Corners(X(2, 15), X(2, 15), Still, Y(1.5, 15)), 0.25f},
        {"pipe", 26, 85, 3, Corners(Y(2, 17), Still, Still, Y(2, 17)), 0.25f},
    };
    c.talk1 = 5;
    c.talk2 = 6;
    return c;
}

// The boss: a heavy cat that shifts its weight from side to side, its tail swishing.
DialogCharacterSpec Boss() {
    DialogCharacterSpec c;
    c.prefix = "dialog_boss_1_";
    c.bodyX = 500;
    c.bodyDY = -85;
    c.followCoord = 6; // FX4
    c.followX = true;
    c.bodySway = Corners(XY(5, 2, 14), XY(5, 2, 14), X(3, 14), X(3, 14));
    const auto eye = All(XY(1.5, 1.5, 21));
    const auto brow = Corners(Y(2, 18), Y(2, 18), Still, Still);
    c.parts = {
        {"hand1", -25, 99, -1, Corners(Still, Still, XY(-2, 4, 24), XY(-3, 4, 24)), 0.2f},
        {"hand2", 205, 105, 1, Corners(Still, Still, XY(3, -4, 24), XY(2, -4, 24)), -0.2f},
        {"foot1", -15, 225, 1, None, 0.5f},
        {"foot2", 121, 216, 1, None, -0.5f},
        {"eye1", 85, 44, 1, eye, 0.3f},
        {"eye2", 123, 53, 1, eye, 0.3f},
        {"pupil1", 90, 58, 2, eye, 0.3f},
        {"pupil2", 127, 67, 2, eye, 0.3f},
        {"brow1", 86, 33, 3, brow, 0.35f},
        {"brow2", 123, 52, 3, brow, 0.35f},
        {"tail", 156, 215, -1, Corners(X(7, 12), X(7, 12), X(2, 12), Still), -0.5f},
        {"mouth2", 101, 92, 1, None, 0.25f},
    };
    c.talk1 = 12;
    return c;
}

} // namespace

const DialogCharacterSpec* DialogCharacter(int character) {
    static const DialogCharacterSpec characters[] = {Cherry(), Blossom(), Cornflower(), Boss()};
    if (character < 1 || character > 4) return nullptr;
    return &characters[character - 1];
}

TTransformInfoClass DialogTalkingBeak(double radius, double speed) {
    return Corners(Y(radius, speed), Still, Still, Y(radius, speed));
}

} // namespace bw
