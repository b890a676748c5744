// The map scene built on a sprite engine without a window: nests and dots by the profile, and
// a level list of another length than the route table.
#include "Engine/KilnSprite/SpriteEngine.h"
#include "base/GameObjects.h"
#include "base/GameState.h"
#include "board/LevelData.h"
#include "data/KilnImages.h"
#include "meta/LevelMap.h"
#include "meta/Profile.h"
#include "render/RecordingCanvas.h"

#include <gtest/gtest.h>

namespace bw {
namespace {

class LevelMapSceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedList_ = LevelsList;
        savedPlayer_ = Player;
        MainEngine = &engine_;
        TKilnImageData egg;
        egg.Name = "map_egg_0.image";
        egg.PatternSize = egg.TextureSize = {48, 58};
        egg.Textures.assign(1, std::vector<uint32_t>(48 * 58, 0xFFFFFFFF));
        ASSERT_GE(images_.AddFromPixels(std::move(egg)), 0);
    }
    void TearDown() override {
        CloseMap();
        engine_.Dead();
        MainEngine = nullptr;
        LevelsList = savedList_;
        Player = savedPlayer_;
        CurrentScene = scene_Level;
    }
    // `count` levels one after another along a line, `won` of them won.
    void Levels(int count, int won, int profileLevels = -1) {
        LevelsList.clear();
        for (int i = 0; i < count; ++i)
            LevelsList.push_back({1, "level", TPoint{100 + 30 * i, 400}});
        Player.Levels.assign(static_cast<size_t>(profileLevels < 0 ? count : profileLevels), {});
        for (int i = 0; i < won && i < static_cast<int>(Player.Levels.size()); ++i)
            Player.Levels[static_cast<size_t>(i)].FStatus = LevelWon;
    }

    TLevelsList savedList_;
    TPlayer savedPlayer_;
    RecordingCanvas canvas_;
    TKilnImages images_{&canvas_};
    TSpriteEngine engine_{&canvas_, &images_};
};

TEST_F(LevelMapSceneTest, ANewProfileSeesTheFirstNestAndNoDot) {
    Levels(56, 0);
    OpenMap();
    const MapState s = MapStateNow();
    EXPECT_EQ(CurrentScene, scene_Map);
    EXPECT_EQ(s.limit, 0);
    EXPECT_EQ(s.nests, std::vector<int>{0});
    EXPECT_EQ(s.dots, 0);
}

TEST_F(LevelMapSceneTest, WonLevelsShowWithTheNextNestAndTheRouteToIt) {
    Levels(56, 3);
    OpenMap();
    const MapState s = MapStateNow();
    EXPECT_EQ(s.limit, 3);
    EXPECT_EQ(s.nests, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(s.dots, MapRouteEnds[3] + 1);
    // Opening every level and refreshing shows the whole route.
    OpenAllLevels();
    RefreshMap();
    EXPECT_EQ(MapStateNow().nests.size(), 56u);
    EXPECT_EQ(MapStateNow().dots, MapWayDotCount);
}

TEST_F(LevelMapSceneTest, ALongerLevelListKeepsTheMapUsable) {
    Levels(70, 65);
    OpenMap();
    const MapState s = MapStateNow();
    EXPECT_EQ(s.limit, 65);
    EXPECT_EQ(s.nests.size(), 66u); // every nest, also those past the route table
    EXPECT_EQ(s.dots, MapWayDotCount);
}

TEST_F(LevelMapSceneTest, AShorterLevelListShowsOnlyItsLevels) {
    // The profile remembers more levels than the list has.
    Levels(5, 20, 30);
    OpenMap();
    const MapState s = MapStateNow();
    EXPECT_EQ(s.limit, 4);
    EXPECT_EQ(s.nests, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(s.dots, MapRouteEnds[4] + 1);
    CloseMap();
    Levels(0, 0);
    OpenMap();
    EXPECT_TRUE(MapStateNow().nests.empty());
    EXPECT_EQ(MapStateNow().dots, 0);
}

} // namespace
} // namespace bw
