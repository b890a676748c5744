#include "board/LocationLayout.h"

#include "platform/Random.h"

#include <algorithm>
#include <cmath>

namespace bw {

namespace {

struct LayoutContext {
    const TLocationOptions& o;
    const BoardGrid<int32_t>& map;
    std::vector<CellPlacement>& cells;
    int A; // ordinary patterns
    int H; // patterns of one half (roofs) or one chess colour
};

int Chess(int pX, int pY) {
    return (pX + pY) % 2;
}

float Fl(double v) {
    return static_cast<float>(v);
}

// Products of grid coordinates and location numbers, in double: whatever a location file
// says, the arithmetic cannot overflow.
double D(int v) {
    return static_cast<double>(v);
}

// The picture of an ordinary cell in the flat layouts.
int FlatPattern(const LayoutContext& c, int pX, int pY) {
    if (!c.o.FMapElementsChessOrder) return Random(c.A);
    return Random(c.H) + Chess(pX, pY) * c.H;
}

// The picture of a roof cell: a quarter of the patterns per chess colour and half.
int RoofPattern(const LayoutContext& c, int pX, int pY, bool rightHalf) {
    const int quarter = c.H / 2;
    return (rightHalf ? c.H : 0) + Random(quarter) + Chess(pX, pY) * quarter;
}

TPoint2 FlatPosition(const TLocationOptions& o, int pX, int pY) {
    const TCoord2 size = o.FMapElementsSize;
    const TCoord2 offset = o.FMapElementsOffset;
    const TCoord2 origin = o.FMapPosition;
    return {Fl(D(origin.x) + pX * D(size.x) + pY * D(offset.x)),
            Fl(D(origin.y) + 188 + pY * D(size.y) + pX * D(offset.y))};
}

// The roof slope of the left halves: the flat formula scaled about the origin.
TPoint2 RoofLeftPosition(const TLocationOptions& o, int pX, int pY) {
    const TCoord2 size = o.FMapElementsSize;
    const TCoord2 offset = o.FMapElementsOffset;
    const TPoint2 scale = o.FMapElementsScale;
    return {Fl((pX * D(size.x) + pY * D(offset.x)) * scale.x + o.FMapPosition.x),
            Fl((188 + pY * D(size.y) + pX * D(offset.y)) * scale.y + o.FMapPosition.y)};
}

void Add(const LayoutContext& c, int pX, int pY, TPoint2 pos, int pattern, bool oneWayAllowed) {
    CellPlacement cell{{pX, pY}, pos, pattern, 0};
    if (oneWayAllowed) {
        const int arrow = OneWayCellDirection(c.map[pX][pY]);
        if (arrow != 0) {
            cell.Arrow = arrow;
            cell.Pattern = c.A + arrow - 1;
        }
    }
    c.cells.push_back(cell);
}

bool Built(const LayoutContext& c, int pX, int pY) {
    return c.map[pX][pY] > 0;
}

void LayoutFlat(const LayoutContext& c, TCoord2 n) {
    for (int pX = 1; pX <= n.x; ++pX) {
        for (int pY = 1; pY <= n.y; ++pY) {
            if (!Built(c, pX, pY)) continue;
            Add(c, pX, pY, FlatPosition(c.o, pX, pY), FlatPattern(c, pX, pY), true);
        }
    }
}

void LayoutClassicRoof(const LayoutContext& c, TCoord2 n) {
    const TLocationOptions& o = c.o;
    const int middle = n.x / 2;
    for (int pX = 1; pX <= middle; ++pX) {
        for (int pY = 1; pY <= n.y; ++pY) {
            if (!Built(c, pX, pY)) continue;
            TPoint2 pos = RoofLeftPosition(o, pX, pY);
            pos.x -= 3.0f;
            Add(c, pX, pY, pos, RoofPattern(c, pX, pY, false), false);
        }
    }
    const TCoord2 size = o.FMapElementsSize;
    const TCoord2 offset = o.FMapElementsOffset;
    const TPoint2 scale = o.FMapElementsScale;
    for (int pX = n.x; pX >= middle + 1; --pX) {
        for (int pY = 1; pY <= n.y; ++pY) {
            if (!Built(c, pX, pY)) continue;
            const TPoint2 pos{
                Fl((pX * D(size.x) + pY * D(offset.x)) * scale.x + o.FMapPosition.x + 5),
                Fl(((pY - static_cast<double>(o.FMapTag.y)) * size.y - pX * D(offset.y)) * scale.y +
                   o.FMapPosition.y + 2)};
            Add(c, pX, pY, pos, RoofPattern(c, pX, pY, true), false);
        }
    }
}

void LayoutModernRoof(const LayoutContext& c, TCoord2 n) {
    const TLocationOptions& o = c.o;
    const int middle = n.x / 2;
    for (int pX = 1; pX <= middle; ++pX) {
        for (int pY = 1; pY <= n.y; ++pY) {
            if (!Built(c, pX, pY)) continue;
            Add(c, pX, pY, RoofLeftPosition(o, pX, pY), RoofPattern(c, pX, pY, false), false);
        }
    }
    // The flat right part lies on the height the slope reaches in the middle.
    const double flatY = n.x / 2.0 * D(o.FMapElementsOffset.y);
    for (int pX = n.x; pX >= middle + 1; --pX) {
        for (int pY = 1; pY <= n.y; ++pY) {
            if (!Built(c, pX, pY)) continue;
            const TPoint2 pos{Fl(D(o.FMapPosition.x) + pX * D(o.FMapElementsSize.x)),
                              Fl(flatY + pY * D(o.FMapElementsSize.y) + o.FMapPosition.y + 180)};
            Add(c, pX, pY, pos, RoofPattern(c, pX, pY, true), true);
        }
    }
}

void LayoutHangar(const LayoutContext& c, TCoord2 n) {
    for (int pX = 1; pX <= n.x; ++pX) {
        for (int pY = 1; pY <= n.y; ++pY) {
            if (!Built(c, pX, pY)) continue;
            TPoint2 pos = FlatPosition(c.o, pX, pY);
            pos.x += static_cast<float>(HangarArch[static_cast<std::size_t>(pX)].x);
            pos.y += static_cast<float>(HangarArch[static_cast<std::size_t>(pX)].y);
            Add(c, pX, pY, pos, pX - 1, false);
        }
    }
}

void LayoutRiver(const LayoutContext& c, TCoord2 n) {
    for (int pX = 1; pX <= n.x; ++pX) {
        for (int pY = 1; pY <= n.y; ++pY) {
            if (!Built(c, pX, pY)) continue;
            TPoint2 pos = FlatPosition(c.o, pX, pY);
            int pattern = 0;
            const int32_t code = c.map[pX][pY];
            if (code == 1) {
                pattern = Random(2) + Chess(pX, pY) * 2;
            } else if (code == 2) {
                pattern = 4 + Random(3);
                pos.y += 3.0f;
            }
            Add(c, pX, pY, pos, pattern, true);
        }
    }
}

} // namespace

TCoord2 LayoutSize(const TLocationOptions& options) {
    return {std::clamp(options.FMapSize.x, 0, LastPlayableCell),
            std::clamp(options.FMapSize.y, 0, LastPlayableCell)};
}

std::vector<CellPlacement> LayoutCells(const TLocationOptions& options,
                                       const BoardGrid<int32_t>& map) {
    std::vector<CellPlacement> cells;
    // The reader keeps the count within these bounds; options made in code are held to them.
    const int A = std::clamp(options.FMapElementsAnimCount, 0, MaxMapElementsAnimCount);
    const LayoutContext c{options, map, cells, A, A / 2};
    const TCoord2 n = LayoutSize(options);
    switch (options.FKind) {
    case lockind_ClassicRoof:
        LayoutClassicRoof(c, n);
        break;
    case lockind_ModernRoof:
        LayoutModernRoof(c, n);
        break;
    case lockind_Hangar:
        LayoutHangar(c, n);
        break;
    case lockind_River_1:
        LayoutRiver(c, n);
        break;
    case lockind_Default:
    case lockind_Water_1:
    case lockind_Train:
    default:
        LayoutFlat(c, n);
        break;
    }
    return cells;
}

bool CellFloats(const TLocationOptions& options, int pattern) {
    switch (options.FKind) {
    case lockind_Water_1:
        return true;
    case lockind_River_1:
        return pattern >= 4 && pattern <= 6;
    case lockind_Train:
        return LocationTrainObject() != nullptr;
    default:
        return false;
    }
}

void AdvanceFloating(double& timeCounter, float& dip, float moveCount) {
    timeCounter += 0.07 * moveCount;
    if (timeCounter > FloatingTimeLimit) timeCounter = 0.0;
    if (dip > 0.0f) dip = std::max(0.0f, dip - 0.25f * moveCount);
}

TPoint2 FloatingOffset(double timeCounter, float dip) {
    const double wave = std::sin(0.3 * timeCounter);
    return {Fl(1.5 * wave), Fl(0.5 * wave + dip)};
}

int FloatingAlpha(float dip) {
    return std::clamp(static_cast<int>(std::lround(255.0 - 27.0 * dip)), 0, 255);
}

TPoint2 FloatingCellOffset(const TLocationOptions& options, double timeCounter, float dip) {
    if (options.FKind == lockind_Train) {
        const TSprite* train = LocationTrainObject();
        return train ? TPoint2{train->FX, train->FY} : TPoint2{};
    }
    return FloatingOffset(timeCounter, dip);
}

} // namespace bw
