// The medals as the profile earns them, without a screen: one step per check, the queue in
// the order earned, the bar's share, the description's place, and profiles whose values
// are out of range.
#include "meta/Awards.h"

#include "base/GameOptions.h"
#include "meta/Profile.h"
#include "meta/ProfileFile.h"
#include "platform/Files.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bw {
namespace {

class AwardsTest : public ::testing::Test {
protected:
    void SetUp() override {
        GameOptions = TGameOptions{};
        GameOptions.AppFolderPath = folder.File("app");
        ResizeLevelStates(56);
        ASSERT_TRUE(NewProfile("Medals", "m.sav"));
    }
    void TearDown() override {
        DiscardAwards();
        Player = TPlayer{};
        GameOptions = TGameOptions{};
    }
    static std::vector<std::pair<int, int>> Queued() {
        std::vector<std::pair<int, int>> out;
        for (const TNewAward& a : NewAwards()) out.emplace_back(a.Award, a.Medal);
        return out;
    }
    testing::TempFolder folder;
};

TEST_F(AwardsTest, ACounterPastTwoThresholdsEarnsOneMedalPerCheck) {
    Player.BirdsWereBurned = 95; // past 10 and 90
    CheckAward(AwardBirdsBurned);
    EXPECT_EQ(Player.Awards[3], 1);
    CheckAward(AwardBirdsBurned);
    EXPECT_EQ(Player.Awards[3], 2);
    CheckAward(AwardBirdsBurned);
    EXPECT_EQ(Player.Awards[3], 2) << "200 is not reached";
    // Without a screen nothing is announced yet: the medals wait in the order earned.
    EXPECT_EQ(Queued(), (std::vector<std::pair<int, int>>{{3, 1}, {3, 2}}));

    // A won level checks the score, then the tasks.
    Player.Score = 4999;
    Player.LevelScore = 200;
    for (int i = 0; i < 19; ++i) Player.Levels[static_cast<size_t>(i)].FStatus = LevelWonWithTask;
    Player.Level = 19;
    Player.TaskCompleted = true;
    FinishLevel(TLevelTask{}, {});
    EXPECT_EQ(Player.Awards[2], 1);
    EXPECT_EQ(Player.Awards[1], 1);
    EXPECT_EQ(Queued(), (std::vector<std::pair<int, int>>{{3, 1}, {3, 2}, {2, 1}, {1, 1}}));

    // A profile change forgets what waited.
    ASSERT_TRUE(NewProfile("Other", "o.sav"));
    EXPECT_TRUE(NewAwards().empty());
}

TEST_F(AwardsTest, EveryAwardWatchesItsCounterAndItsThresholds) {
    int TPlayer::*counters[] = {
        &TPlayer::Score,          &TPlayer::BirdsWereBurned,  &TPlayer::CatsWereKilled,
        &TPlayer::MaxCombo,       &TPlayer::BonusesActivated, &TPlayer::BirdsPainted,
        &TPlayer::WallsDestroyed, &TPlayer::BirdsUnbounded,   &TPlayer::CrownsKilled};
    for (int i = 2; i <= AwardsCount; ++i) {
        Player.*counters[i - 2] = AwardThreshold(i, 3) - 1;
        EXPECT_EQ(AwardCounter(i), AwardThreshold(i, 3) - 1) << "award " << i;
    }
    for (int i = 0; i < 56; ++i) Player.Levels[static_cast<size_t>(i)].FStatus = LevelWonWithTask;
    EXPECT_EQ(AwardCounter(1), 56);
    EXPECT_EQ(AwardCounter(0), 0);
    EXPECT_EQ(AwardCounter(11), 0);
    for (int round = 0; round < 3; ++round) CheckAllAwards();
    EXPECT_EQ(Player.Awards[1], 3);
    for (int i = 2; i <= AwardsCount; ++i) EXPECT_EQ(Player.Awards[i], 2) << "award " << i;
    EXPECT_EQ(NewAwards().size(), 3u + 2u * 9u);
}

TEST_F(AwardsTest, TheBarRunsFrom3To97PercentAndIsWholePastTheLastMedal) {
    // The share b = counter / T3 x 0.94 + 0.03 of the picture's width; past 97 % (a counter
    // beyond the third threshold) the whole picture (render width 0).
    EXPECT_EQ(AwardProgressRenderWidth(0, 200, 200), 6);
    EXPECT_EQ(AwardProgressRenderWidth(-50, 200, 200), 6);
    EXPECT_EQ(AwardProgressRenderWidth(100, 200, 200), 100);
    EXPECT_EQ(AwardProgressRenderWidth(194, 200, 200), 188);
    EXPECT_EQ(AwardProgressRenderWidth(200, 200, 200), 194);
    EXPECT_EQ(AwardProgressRenderWidth(201, 200, 200), 0);
    EXPECT_EQ(AwardProgressRenderWidth(2000000000, 200, 200), 0);

    EXPECT_EQ(AwardDescriptionOffset(1).x, 0);
    EXPECT_EQ(AwardDescriptionOffset(1).y, 0);
    EXPECT_EQ(AwardDescriptionOffset(8).x, -423);
    EXPECT_EQ(AwardDescriptionOffset(8).y, 0);
    EXPECT_EQ(AwardDescriptionOffset(9).x, 0);
    EXPECT_EQ(AwardDescriptionOffset(9).y, -250);
    // The last tile, at the bottom right: above and to the left of the pointer.
    EXPECT_EQ(AwardDescriptionOffset(10).x, -423);
    EXPECT_EQ(AwardDescriptionOffset(10).y, -250);
}

TEST_F(AwardsTest, OutOfRangeValuesOfAFileAreClampedAndNothingIsAnnouncedTwice) {
    const std::string xml =
        "<Profile Name=\"Odd\" Score=\"-40\" GameWasStarted=\"True\" GameWasCompleted=\"False\">\n"
        " <Awards award_1=\"3\" award_2=\"9\" award_3=\"-1\" award_4=\"2\" award_5=\"0\" "
        "award_6=\"0\" award_7=\"0\" award_8=\"0\" award_9=\"0\" award_10=\"0\"/>\n"
        " <Levels lev_1=\"0\"/>\n"
        " <Tasks CatsWereKilled=\"-7\" BirdsWereBurned=\"2147483647\" MaxCombo=\"0\" "
        "BonusesActivated=\"0\" BirdsPainted=\"0\" WallsDestroyed=\"0\" BirdsUnbounded=\"0\" "
        "CrownsKilled=\"0\"/>\n"
        "</Profile>\n";
    ASSERT_TRUE(CreateFolders(folder.File("app/Profiles")));
    const std::vector<uint8_t> bytes = EncodeProfileText(xml);
    ASSERT_TRUE(WriteWholeFile(folder.File("app/Profiles/odd.sav"), bytes.data(), bytes.size()));
    const ProfileFindings found = CheckProfileValues(bytes.data(), bytes.size(), 56);
    EXPECT_EQ(found.Corrected,
              (std::vector<std::string>{"Score=-40", "award_2=9", "award_3=-1", "CatsWereKilled=-7",
                                        "BirdsWereBurned=2147483647"}));
    ASSERT_TRUE(LoadProfile("odd.sav"));
    EXPECT_EQ(Player.Score, 0);
    EXPECT_EQ(Player.CatsWereKilled, 0);
    EXPECT_EQ(Player.BirdsWereBurned, 1000000000);
    // Counting on from the ceiling stays clear of overflow.
    ++Player.BirdsWereBurned;

    // Medal 3 of award 1 and medal 2 of award 4 stay, whatever their counters say; the huge
    // counter climbs one medal per check and every medal is queued once.
    for (int round = 0; round < 5; ++round) CheckAllAwards();
    EXPECT_EQ(Player.Awards[1], 3);
    EXPECT_EQ(Player.Awards[2], 3);
    EXPECT_EQ(Player.Awards[3], 3);
    EXPECT_EQ(Player.Awards[4], 2);
    EXPECT_EQ(Queued(), (std::vector<std::pair<int, int>>{{3, 1}, {3, 2}, {3, 3}}));
}

} // namespace
} // namespace bw
