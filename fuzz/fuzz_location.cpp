// Reads arbitrary bytes as a location file, as the game reads one from its archive, and
// checks that a refused document changes nothing and that a read one reads the same again.
// A read location then lays out a board whose map codes come from the same bytes, and the
// layout must keep to its rules whatever the file says: each existing cell of the playable
// grid built once, one-way cells only where the layout has them, patterns never negative.
#include "FuzzFail.h"
#include "board/LevelData.h"
#include "board/Location.h"
#include "board/LocationLayout.h"
#include "data/XmlLoad.h"
#include "platform/Random.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

bool Same(const bw::TLocationOptions& a, const bw::TLocationOptions& b) {
    return a.FMapImage == b.FMapImage && a.FWallsImage == b.FWallsImage &&
           a.FMapSize.x == b.FMapSize.x && a.FMapSize.y == b.FMapSize.y &&
           a.FLocObjects_Sprite.size() == b.FLocObjects_Sprite.size() &&
           a.FLocObjects_Particles.size() == b.FLocObjects_Particles.size() &&
           a.FMapCentres.size() == b.FMapCentres.size();
}

// Map codes drawn from the input: no cell, banks, planks, the four one-way cells, a gate.
bw::BoardGrid<int32_t> MapFrom(const uint8_t* data, size_t size) {
    static constexpr int32_t Codes[8] = {0, 1, 2, 21, 22, 23, 24, 35};
    bw::BoardGrid<int32_t> map{};
    for (size_t x = 0; x < map.size(); ++x)
        for (size_t y = 0; y < map[x].size(); ++y)
            map[x][y] = size == 0 ? 1 : Codes[data[(x * map.size() + y) % size] % 8];
    return map;
}

bool OneWayAllowed(const bw::TLocationOptions& o, int pX) {
    switch (o.FKind) {
    case bw::lockind_ClassicRoof:
    case bw::lockind_Hangar:
        return false;
    case bw::lockind_ModernRoof:
        return pX > bw::LayoutSize(o).x / 2;
    default:
        return true;
    }
}

void CheckLayout(const bw::TLocationOptions& o, const bw::BoardGrid<int32_t>& map) {
    bw::RandomSeed(1);
    const bw::TCoord2 n = bw::LayoutSize(o);
    bw::BoardGrid<int> built{};
    for (const bw::CellPlacement& p : bw::LayoutCells(o, map)) {
        const int x = p.Cell.x;
        const int y = p.Cell.y;
        if (x < 1 || y < 1 || x > n.x || y > n.y) Fail("cell outside the layout");
        if (++built[x][y] > 1) Fail("cell built twice");
        const int32_t code = map[x][y];
        if (code <= 0) Fail("cell built where the map has none");
        if (p.Pattern < 0) Fail("negative pattern");
        const int arrow = bw::OneWayCellDirection(code);
        const int expected = OneWayAllowed(o, x) ? arrow : 0;
        if (p.Arrow != expected) Fail("one-way cell where the layout has none, or lost");
        if (p.Arrow != 0 && p.Pattern != o.FMapElementsAnimCount + p.Arrow - 1)
            Fail("one-way cell with an ordinary pattern");
        if (o.FKind == bw::lockind_Hangar && p.Pattern != x - 1) Fail("hangar column pattern");
        if (o.FKind == bw::lockind_River_1 && p.Arrow == 0) {
            const bool plank = p.Pattern >= 4 && p.Pattern <= 6;
            if ((code == 2) != plank) Fail("river plank pattern");
            if (bw::CellFloats(o, p.Pattern) != plank) Fail("river cell floats wrongly");
        }
    }
    for (int x = 1; x <= n.x; ++x)
        for (int y = 1; y <= n.y; ++y)
            if (map[x][y] > 0 && built[x][y] != 1) Fail("existing cell not built");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto tree = bw::XMLFromBytes(data, size);

    bw::TLocationOptions options;
    bw::ResetLocationOptions(options);
    const bw::TLocationOptions fresh = options;
    const bool read = bw::ReadLocationOptions(tree.get(), "fuzz.xml", options);
    if (!read) {
        if (!Same(options, fresh)) Fail("refused document changed the options");
        return 0;
    }
    if (options.FLocationFileName != "fuzz.xml") Fail("file name not kept");
    if (options.FMapElementsAnimCount < 0) Fail("negative pattern count");

    bw::TLocationOptions again;
    bw::ResetLocationOptions(again);
    if (!bw::ReadLocationOptions(tree.get(), "fuzz.xml", again)) Fail("second read refused");
    if (!Same(again, options)) Fail("the same document read differently");

    CheckLayout(options, MapFrom(data, size));
    return 0;
}
