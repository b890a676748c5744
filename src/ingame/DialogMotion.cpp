#include "ingame/DialogMotion.h"

#include "Engine/KilnSprite/SpriteMath.h"

#include <algorithm>
#include <cmath>

namespace bw {

float DialogSlideStart(float rest, int direction) {
    if (direction == 0) return rest - DialogSlideDistance;
    if (direction == 1) return rest + DialogSlideDistance;
    return rest;
}

bool DialogSlideStep(float& x, float rest, int direction, float& speed) {
    const float before = x;
    if (direction == 0 && x < rest) {
        speed = (rest - x) / 10 + 3;
        x += speed;
    } else if (direction == 1 && x > rest) {
        speed = 5 - (rest - x) / 10;
        x -= speed;
    }
    // Far out on the canvas a step can be too small to change x: the panel is there.
    const bool arrived = (direction == 1 ? x <= rest : x >= rest) || x == before;
    if (arrived) x = rest;
    return arrived;
}

int DialogSlideAlpha(float x, float rest) {
    return std::clamp(KilnRound(255.0 - std::fabs(static_cast<double>(rest) - x)), 0, 255);
}

float DialogBobY(float restY, double timeCounter) {
    return restY + 3 * Cos256(KilnRound(timeCounter * 10));
}

float DialogTextY(float panelY, int lines, int leading) {
    return panelY - static_cast<float>(std::max(lines - 1, 0) * leading) / 2 + 95;
}

int DialogNextTalkStage(int character, int stage, bool silent) {
    switch (character) {
    case 1:
    case 2:
        // Stage 2 holds the beak shut from then on.
        return stage == 1 && silent ? 2 : stage;
    case 3:
        if (stage == 1) return silent ? 2 : 1;
        return stage == 2 ? 3 : stage;
    case 4:
        // Stage 1 only resets the reference the boss sways about.
        if (stage == 1) return 2;
        if (stage == 2) return silent ? 3 : 2;
        return stage == 3 ? 4 : stage;
    default:
        return stage;
    }
}

float DialogBeakSwing(float counter) {
    return 1.35f * Sin256(KilnRound(static_cast<double>(counter) * 200));
}

int DialogMouthAlpha(float counter, float speakSpeed) {
    const double step = static_cast<double>(counter) * 100 * speakSpeed;
    return std::min(255, std::abs(KilnRound(Sin256(KilnRound(step)) * 255.0)));
}

} // namespace bw
