// The level map (scene_Map): the painted map with a nest for every level of the level list,
// the route of dots between them that grows as the player advances, a light pulse running
// along it, the hovered level's number, the player's score, and the Menu and Start buttons.
#pragma once

#include "render/Types.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace bw {

class Scene;

struct MapWayDot {
    int x = 0;
    int y = 0;
    float angle = 0.0f; // radians, along the road
};

inline constexpr int MapWayDotCount = 179;
// The dots in route order (art data that goes with the map picture).
extern const std::array<MapWayDot, MapWayDotCount> MapWayDots;
// Per level index: the last dot shown while that level is the farthest reachable one.
inline constexpr std::array<int, 56> MapRouteEnds{
    -1,  0,   1,   5,   7,   8,   10,  12,  15,  18,  20,  23,  26,  28,  30,  31,  32,  33,  40,
    41,  42,  43,  44,  45,  60,  67,  68,  74,  80,  85,  88,  97,  100, 104, 107, 108, 110, 112,
    114, 116, 117, 118, 119, 120, 125, 128, 140, 144, 150, 154, 158, 161, 170, 172, 175, 178};

// ---- The map's rules --------------------------------------------------------------------------

// The last route dot shown while `limit` is the reachable limit: -1 below level 0; a level
// past the route table shows the whole route.
int MapRouteEnd(int limit);
// Dot `dot` is shown while `limit` is the reachable limit.
bool MapDotVisible(int dot, int limit);
// A nest of level `index` with level state `status`: won levels always show, a level not won
// only when it is the reachable limit.
bool MapNestVisible(int index, int status, int limit);
// The level hovered with the pointer at `mouse`: among the levels 0..limit, those whose
// centre lies strictly within 25 units in x and in y; the nearest wins, the lower index on a
// tie; -1 for none.
int MapHoveredLevel(const std::vector<TPoint2>& centres, int limit, TPoint2 mouse);
// Horizontal layout for a visible width of `visibleWidth` design units.
struct MapMargins {
    float width = 1920; // the width laid out (at most 1920)
    float inner = 0;    // (1920 - width) / 2 on narrow screens
    float outer = 0;    // (visible width - 1920) / 2 on wide ones
};
MapMargins MapLayout(float visibleWidth);
// One step of the light pulse (0 .. 279, wrapping).
double NextMapPulse(double pulse);

// ---- The scene --------------------------------------------------------------------------------

void OpenMap();
void CloseMap();
bool MapOpen();
// Builds the map again if it is shown (after the levels' states changed, as F6 does).
void RefreshMap();
// State for the replay dump and the tests.
struct MapState {
    int limit = -1;
    int hovered = -1;
    int panelLevel = -1;
    int panelAlpha = 0;
    std::vector<int> nests; // indexes of the shown nests
    int dots = 0;           // how many dots are shown
    double pulse = 0;
    // What the player can click (the shown nests, Start and Menu), as hit boxes in design
    // units.
    std::vector<TRect> targets;
    // Each particle effect: its record and how many points it emits from.
    struct Effect {
        std::string name;
        int emitters = 0;
    };
    std::vector<Effect> effects;
};
MapState MapStateNow();

std::unique_ptr<Scene> MakeMapScene();

} // namespace bw
