// The location files of the data set, laid out on a full board: every cell a bird can stand
// on must be on screen clear of the panels, neighbours must not crowd one another, and every
// picture pattern the layout can pick needs its occupant centre.
#include "board/Location.h"
#include "board/LocationLayout.h"

#include "platform/Random.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

namespace bw {
namespace {

BoardGrid<int32_t> FullBoard(int32_t code) {
    BoardGrid<int32_t> map{};
    for (int x = 1; x <= 16; ++x)
        for (int y = 1; y <= 16; ++y) map[x][y] = code;
    return map;
}

TEST(ShippedLocations, FullBoardsFitTheScreenAndEveryPatternHasACentre) {
    const std::string folder = BW_TEST_SOURCE_DIR "/data/tData_Locations";
    int checked = 0;
    for (int n = 1; n <= 12; ++n) {
        const std::string file = folder + "/location_" + std::to_string(n) + ".xml";
        if (!std::filesystem::exists(file)) continue;
        SCOPED_TRACE(file);
        ++checked;
        TLocationOptions o;
        ASSERT_TRUE(LoadLocationFileFromDisk(file, o));
        ASSERT_EQ(LayoutSize(o), (TCoord2{16, 16})) << "a location takes boards of 16 x 16";
        // A train board rides its first sprite, so it lies where the layout puts it plus
        // where the train stands, and bobs 1.5 up and down from there.
        TPoint2 ride{};
        float bob = 0.0f;
        if (o.FKind == lockind_Train) {
            bob = 1.5f;
            ASSERT_FALSE(o.FLocObjects_Sprite.empty()) << "a train location needs its train";
            ride = {static_cast<float>(o.FLocObjects_Sprite[0].X),
                    static_cast<float>(o.FLocObjects_Sprite[0].Y)};
        }

        // Ordinary cells, then one-way cells of all four directions, on a full board: in
        // the layouts that have no one-way cells the codes make ordinary cells.
        std::map<int, TPoint2> centres; // by x * 32 + y
        for (const int32_t code : {1, 21, 22, 23, 24}) {
            RandomSeed(static_cast<uint32_t>(code));
            const std::vector<CellPlacement> cells = LayoutCells(o, FullBoard(code));
            ASSERT_EQ(cells.size(), 256u);
            for (const CellPlacement& c : cells) {
                ASSERT_GE(c.Pattern, 0);
                ASSERT_LT(static_cast<std::size_t>(c.Pattern), o.FMapCentres.size())
                    << "pattern " << c.Pattern << " of cell " << c.Cell.x << "," << c.Cell.y
                    << " has no centre";
                const TPoint2 centre = o.FMapCentres[static_cast<std::size_t>(c.Pattern)];
                const TPoint2 at{ride.x + c.Pos.x + centre.x * o.FMapElementsScale.x,
                                 ride.y + c.Pos.y + centre.y * o.FMapElementsScale.y};
                // Birds are drawn 65 either side of their centre with their bodies about 30:
                // inside the band every window shows, below the top and above the bottom bar.
                EXPECT_GE(at.x, 280.0f) << c.Cell.x << "," << c.Cell.y;
                EXPECT_LE(at.x, 1640.0f) << c.Cell.x << "," << c.Cell.y;
                EXPECT_GE(at.y - bob, 95.0f) << c.Cell.x << "," << c.Cell.y;
                EXPECT_LE(at.y + bob, 960.0f) << c.Cell.x << "," << c.Cell.y;
                if (code == 1) centres[c.Cell.x * 32 + c.Cell.y] = at;
            }
        }
        // Neighbouring birds stand far enough apart to be told apart and picked.
        for (const auto& [key, at] : centres) {
            const int x = key / 32, y = key % 32;
            if (x < 16) {
                EXPECT_GE(centres.at(key + 32).x - at.x, 56.0f) << x << "," << y;
            }
            if (y < 16) {
                EXPECT_GE(centres.at(key + 1).y - at.y, 44.0f) << x << "," << y;
            }
        }
    }
    EXPECT_GE(checked, 1);
}

} // namespace
} // namespace bw
