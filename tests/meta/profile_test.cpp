#include "meta/Profile.h"

#include "base/GameOptions.h"
#include "board/LevelData.h"
#include "meta/Awards.h"
#include "meta/ProfileFile.h"
#include "platform/Files.h"
#include "platform/Log.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace bw {
namespace {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        Reset();
        GameOptions.AppFolderPath = folder.File("app");
        ResizeLevelStates(5);
        ProfileHooks.ShowMessage = [this](const std::string& key, const std::string& name) {
            messages.push_back(key + "|" + name);
        };
    }
    void TearDown() override {
        SetLogListener(nullptr);
        Reset();
    }
    static void Reset() {
        GameOptions = TGameOptions{};
        Player = TPlayer{};
        ProfilesList.clear();
        ProfileHooks = ProfileCallbacks{};
        AwardCheckWatcher() = nullptr;
        CurrentLevel = TLevel_Data{};
    }
    std::string PathOf(const std::string& file) const {
        return folder.File("app/Profiles/" + file);
    }
    std::string Text(const std::string& file) const {
        const auto bytes = ReadWholeFile(PathOf(file));
        return bytes ? DecodeProfileBytes(*bytes).value_or("<damaged>") : "<missing>";
    }
    void Write(const std::string& file, const std::string& xml) const {
        CreateFolders(folder.File("app/Profiles"));
        const std::vector<uint8_t> bytes = EncodeProfileText(xml);
        ASSERT_TRUE(WriteFileAtomically(PathOf(file), bytes.data(), bytes.size()));
    }

    testing::TempFolder folder;
    std::vector<std::string> messages;
};

TEST_F(ProfileTest, AFreshProfileIsSavedAsTheDocumentedTree) {
    Player.Score = 77;
    Player.Awards[3] = 2;
    Player.Levels[1].FStatus = 2;
    ASSERT_TRUE(NewProfile("Ann", "2024_05_06_07_08_09.sav"));
    EXPECT_EQ(Text("2024_05_06_07_08_09.sav"),
              "<Profile Name=\"Ann\" Score=\"0\" GameWasStarted=\"False\" "
              "GameWasCompleted=\"False\">\r\n"
              " <Awards award_1=\"0\" award_2=\"0\" award_3=\"0\" award_4=\"0\" award_5=\"0\" "
              "award_6=\"0\" award_7=\"0\" award_8=\"0\" award_9=\"0\" award_10=\"0\" />\r\n"
              " <Levels lev_1=\"0\" lev_2=\"0\" lev_3=\"0\" lev_4=\"0\" lev_5=\"0\" />\r\n"
              " <Tasks CatsWereKilled=\"0\" BirdsWereBurned=\"0\" MaxCombo=\"0\" "
              "BonusesActivated=\"0\" BirdsPainted=\"0\" WallsDestroyed=\"0\" "
              "BirdsUnbounded=\"0\" CrownsKilled=\"0\" />\r\n"
              "</Profile>\r\n");
    EXPECT_EQ(Player.LevelBirdsCombos.Color, 1);
    EXPECT_NE(testing::ReadWholeFile(OptionsFilePath()).find("LastProfileName=Ann"),
              std::string::npos);
}

TEST_F(ProfileTest, ProfilesOfOneSecondGetTheirOwnFilesListedNewestFirst) {
    const std::time_t when = 1700000000;
    for (const char* name : {"First", "Second", "Third"}) ASSERT_TRUE(CreateProfile(name, when));
    const TProfilesList list = ListProfiles();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].Caption, "Third");
    EXPECT_EQ(list[2].Caption, "First");
    EXPECT_EQ(list[2].FileName.size(), std::string("yyyy_mm_dd_hh_nn_ss.sav").size());
    // A taken file name is never overwritten, and the active profile stays.
    EXPECT_FALSE(NewProfile("Intruder", list[2].FileName));
    EXPECT_EQ(ReadProfileName(list[2].FileName), "First");
    EXPECT_EQ(Player.Name, "Third");
    EXPECT_FALSE(CreateProfile(" \t"));
}

TEST_F(ProfileTest, SavedFieldsRoundTripAndTheLevelCountersDoNot) {
    ASSERT_TRUE(NewProfile("Round Trip", "a.sav"));
    Player.Score = 123456;
    Player.GameWasCompleted = true;
    for (int a = 1; a <= AwardsCount; ++a) Player.Awards[a] = a % 4;
    for (std::size_t i = 0; i < 5; ++i) Player.Levels[i].FStatus = static_cast<int32_t>(i % 3);
    Player.BirdsWereBurned = 2;
    Player.CrownsKilled = 8;
    Player.LevelScore = 99;
    Player.Level = 3;
    ASSERT_TRUE(SaveProfile());
    const TPlayer saved = Player;
    Player = TPlayer{};
    ResizeLevelStates(5);
    ASSERT_TRUE(LoadProfile("a.sav"));
    EXPECT_EQ(Player.Name, "Round Trip");
    EXPECT_EQ(Player.Score, 123456);
    EXPECT_FALSE(Player.GameWasStarted);
    EXPECT_TRUE(Player.GameWasCompleted);
    EXPECT_EQ(Player.Awards, saved.Awards);
    EXPECT_EQ(Player.Levels[4].FStatus, 1);
    EXPECT_EQ(Player.BirdsWereBurned, 2);
    EXPECT_EQ(Player.CrownsKilled, 8);
    EXPECT_EQ(Player.LevelScore, 0);
    EXPECT_EQ(Player.Level, 0);
    EXPECT_EQ(GameOptions.LastProfileFile, "a.sav");

    // Root and attribute names in any letter case.
    Write("up.sav", "<PROFILE NAME=\"Upper\" SCORE=\"5\"><AWARDS AWARD_2=\"1\"/></PROFILE>");
    ASSERT_TRUE(LoadProfile("up.sav"));
    EXPECT_EQ(Player.Score, 5);
    EXPECT_EQ(Player.Awards[2], 1);
}

TEST_F(ProfileTest, NamesKeepQuotesAndMarkupButNeverControlCharacters) {
    for (const std::string name : {"Say \"hi\"", "a<b>c", "Tom & Jerry", "&quot;", "x&amp;y"}) {
        ASSERT_TRUE(NewProfile(name, "q.sav")) << name;
        Player = TPlayer{};
        ASSERT_TRUE(LoadProfile("q.sav"));
        EXPECT_EQ(Player.Name, name);
        std::filesystem::remove(PathOf("q.sav"));
    }
    ASSERT_TRUE(NewProfile("  A\tB\r\nC\x7F"
                           "D\xC2\x85"
                           "E\xFF",
                           "c.sav"));
    EXPECT_EQ(ReadProfileName("c.sav"), "ABCDE");
    EXPECT_TRUE(IsValidProfileName("Zo\xC3\xAB \xF0\x9F\x90\xA6"));
    EXPECT_FALSE(IsValidProfileName(" lead"));
    EXPECT_FALSE(IsValidProfileName("line\nbreak"));
    EXPECT_FALSE(IsValidProfileName(""));
}

TEST_F(ProfileTest, DamagedAndMissingFilesAreReportedAndChangeNothing) {
    ASSERT_TRUE(NewProfile("Keeper", "keep.sav"));
    Player.Score = 42;
    GameOptions.LastProfileName = "Last Player";
    const auto good = ReadWholeFile(PathOf("keep.sav"));
    std::string noMarker(good->begin(), good->end());
    noMarker[noMarker.find(std::string("\n\0", 2)) + 2] = 'X';
    testing::WriteWholeFile(PathOf("marker.sav"), noMarker);
    testing::WriteWholeFile(PathOf("cut.sav"), noMarker.substr(0, good->size() / 2));
    testing::WriteWholeFile(PathOf("plain.sav"), "<Profile Name=\"x\" />");
    Write("parse.sav", "<Profile Name=\"x\"><Awards></Profile>");
    Write("root.sav", "<Player Name=\"x\" />");

    std::string key;
    for (const char* file : {"nothere.sav", "../keep.sav"}) {
        EXPECT_FALSE(LoadProfile(file, &key)) << file;
        EXPECT_EQ(key, "msg_profilenotfound") << file;
    }
    for (const char* file : {"marker.sav", "cut.sav", "plain.sav", "parse.sav", "root.sav"}) {
        EXPECT_FALSE(LoadProfile(file, &key)) << file;
        EXPECT_EQ(key, "msg_badprofile") << file;
        EXPECT_EQ(ReadProfileName(file), "") << file;
    }
    EXPECT_EQ(Player.Name, "Keeper");
    EXPECT_EQ(Player.Score, 42);
    EXPECT_EQ(GameOptions.LastProfileFile, "keep.sav");
    // Each message names the profile that failed, not the player still active.
    ASSERT_EQ(messages.size(), 7u);
    EXPECT_EQ(messages[0], "msg_profilenotfound|nothere.sav");
    EXPECT_EQ(messages[2], "msg_badprofile|marker.sav");
    // A damaged last profile is named as the options remember it.
    GameOptions.LastProfileFile = "cut.sav";
    EXPECT_FALSE(LoadProfile("cut.sav"));
    EXPECT_EQ(messages.back(), "msg_badprofile|Last Player");
}

TEST_F(ProfileTest, DeletingAnotherPlayerKeepsTheActiveOneAndADeletedProfileIsNeverWritten) {
    int nameEntries = 0;
    ProfileHooks.OpenNameEntry = [&] { ++nameEntries; };
    ASSERT_TRUE(NewProfile("Ann", "2024_01_01_00_00_00.sav"));
    ASSERT_TRUE(NewProfile("Ben", "2024_02_01_00_00_00.sav"));
    ProfilesList = ListProfiles();
    ASSERT_EQ(Player.Name, "Ben");
    ASSERT_TRUE(DeleteProfile("2024_01_01_00_00_00.sav"));
    EXPECT_EQ(Player.Name, "Ben");
    EXPECT_EQ(GameOptions.LastProfileFile, "2024_02_01_00_00_00.sav");
    ASSERT_EQ(ProfilesList.size(), 1u);

    // The active one goes: nothing is left to load, and nothing writes its file back.
    ASSERT_TRUE(DeleteProfile("2024_02_01_00_00_00.sav"));
    EXPECT_EQ(nameEntries, 1);
    EXPECT_TRUE(GameOptions.LastProfileFile.empty());
    EXPECT_FALSE(SaveProfile());
    EXPECT_FALSE(FileExists(PathOf("2024_02_01_00_00_00.sav")));
}

TEST_F(ProfileTest, MissingSectionsGiveZerosAndOutOfRangeValuesAreClamped) {
    ASSERT_TRUE(NewProfile("Veteran", "vet.sav"));
    Player.Awards.fill(3);
    for (auto& level : Player.Levels) level.FStatus = 2;
    Player.MaxCombo = 50;
    Write("bare.sav", "<Profile Name=\"Newbie\" />");
    ASSERT_TRUE(LoadProfile("bare.sav"));
    EXPECT_EQ(Player.Awards, (std::array<int32_t, AwardsCount + 1>{}));
    for (const auto& level : Player.Levels) EXPECT_EQ(level.FStatus, 0);
    EXPECT_EQ(Player.MaxCombo, 0);

    Write("odd.sav", "<Profile Name=\"O\" Score=\"lots\"><Awards award_1=\"7\" award_2=\"-2\"/>"
                     "<Levels lev_1=\"5\" lev_2=\"-1\" lev_3=\"x\" lev_4=\"1\"/></Profile>");
    ASSERT_TRUE(LoadProfile("odd.sav"));
    EXPECT_EQ(Player.Score, 0);
    EXPECT_EQ(Player.Awards[1], 3);
    EXPECT_EQ(Player.Awards[2], 0);
    EXPECT_EQ(Player.Levels[0].FStatus, 2);
    EXPECT_EQ(Player.Levels[1].FStatus, 0);
    EXPECT_EQ(Player.Levels[2].FStatus, 0);
    EXPECT_EQ(Player.Levels[3].FStatus, 1);
}

// Spoilt values are not damage of the whole file: they read as their defaults, are named in
// the log, and loading does not write the defaults back over them.
TEST_F(ProfileTest, ValuesThatDoNotParseReadAsDefaultsAreLoggedAndNotWrittenBack) {
    std::vector<std::string> log;
    SetLogListener([&](const std::string& line) { log.push_back(line); });
    const std::string xml = "<Profile Name=\"F\" Score=\"1\x32\" GameWasStarted=\"Trua\">"
                            "<Awards award_2=\"2\"/><Levels lev_1=\"2\" lev_2=\"&#49;x\"/>"
                            "<Tasks MaxCombo=\"\"/></Profile>";
    Write("flip.sav", xml);
    const auto before = ReadWholeFile(PathOf("flip.sav"));
    ASSERT_TRUE(LoadProfile("flip.sav"));
    SetLogListener(nullptr);
    EXPECT_EQ(Player.Score, 12);
    EXPECT_FALSE(Player.GameWasStarted);
    EXPECT_EQ(Player.Levels[0].FStatus, 2);
    EXPECT_EQ(Player.Levels[1].FStatus, 0);
    EXPECT_EQ(ReadWholeFile(PathOf("flip.sav")), before);
    ASSERT_FALSE(log.empty());
    EXPECT_NE(log.back().find("Profile [flip.sav]: values that do not parse read as their "
                              "defaults: GameWasStarted, lev_2, MaxCombo"),
              std::string::npos)
        << log.back();
}

// A value whose name is missing or spoilt reads as 0. That is logged, and the 0 is not saved
// over the file until the player has something new to save.
TEST_F(ProfileTest, MissingAndRenamedValuesAreLoggedAndKeptUntilThePlayerPlaysOn) {
    std::vector<std::string> log;
    SetLogListener([&](const std::string& line) { log.push_back(line); });
    ASSERT_TRUE(NewProfile("Veteran", "vet.sav"));
    Player.Levels[2].FStatus = 2;
    Player.BonusesActivated = 7;
    ASSERT_TRUE(SaveProfile());
    std::string xml = Text("vet.sav");
    xml.replace(xml.find("lev_3"), 5, "lqv_3");
    xml.replace(xml.find("BonusesActivated"), 16, "BonusesActivatex");
    xml.replace(xml.find("award_4=\"0\""), 11, "award_4=\"9\"");
    xml.replace(xml.find(" GameWasCompleted=\"False\""), 25, "");
    Write("vet.sav", xml);
    const auto damaged = ReadWholeFile(PathOf("vet.sav"));

    ASSERT_TRUE(LoadProfile("vet.sav"));
    EXPECT_EQ(Player.Levels[2].FStatus, 0);
    EXPECT_EQ(Player.BonusesActivated, 0);
    EXPECT_EQ(Player.Awards[4], 3);
    const auto logged = [&](const std::string& text) {
        return std::any_of(log.begin(), log.end(), [&](const std::string& line) {
            return line.find(text) != std::string::npos;
        });
    };
    EXPECT_TRUE(logged("Profile [vet.sav]: missing values read as 0: GameWasCompleted, lev_3, "
                       "BonusesActivated"));
    EXPECT_TRUE(logged("Profile [vet.sav]: unknown values ignored: lqv_3, BonusesActivatex"));
    EXPECT_TRUE(logged("Profile [vet.sav]: values corrected: award_4=9"));
    // Saves on the way to a level (scene changes, closing the game) leave the file alone.
    ASSERT_TRUE(SaveProfile());
    EXPECT_EQ(ReadWholeFile(PathOf("vet.sav")), damaged);
    // What the player earns is saved, with every value the file lacked.
    Player.Score += 40;
    ASSERT_TRUE(SaveProfile());
    EXPECT_NE(Text("vet.sav").find("lev_3=\"0\""), std::string::npos);
    EXPECT_NE(Text("vet.sav").find("BonusesActivated=\"0\""), std::string::npos);
    log.clear();
    ASSERT_TRUE(LoadProfile("vet.sav"));
    EXPECT_TRUE(log.empty()) << log.front();
    SetLogListener(nullptr);
}

// Every single bit flipped in a saved profile: a file that still reads either reads the same,
// or its reading is logged. (A digit that flips into another digit, and a changed name, read
// as a sound file would: nothing can tell them.)
TEST_F(ProfileTest, ABitFlippedProfileThatStillReadsLosesNoValueUnannounced) {
    ASSERT_TRUE(NewProfile("Ann", "flip.sav"));
    Player.Score = 359;
    Player.GameWasStarted = true;
    for (int a = 1; a <= AwardsCount; ++a) Player.Awards[a] = 3;
    for (TPlayerSavedLevel& level : Player.Levels) level.FStatus = 2;
    Player.CatsWereKilled = Player.MaxCombo = Player.BonusesActivated = 7;
    Player.BirdsWereBurned = Player.BirdsPainted = Player.WallsDestroyed = 35;
    Player.BirdsUnbounded = Player.CrownsKilled = 96;
    ASSERT_TRUE(SaveProfile());
    const TPlayer original = Player;
    const std::string xml = Text("flip.sav");
    const std::size_t nameAt = xml.find("\"Ann\"");
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    int read = 0;
    for (std::size_t at = 0; at < xml.size(); ++at) {
        if (at > nameAt && at < nameAt + 4) continue;
        for (int bit = 0; bit < 7; ++bit) {
            std::string flipped = xml;
            flipped[at] = static_cast<char>(flipped[at] ^ (1 << bit));
            if (isDigit(xml[at]) && isDigit(flipped[at])) continue;
            const std::vector<uint8_t> bytes = EncodeProfileText(flipped);
            TPlayer p;
            if (!ProfileFromBytes(bytes.data(), bytes.size(), original.Levels.size(), p)) continue;
            ++read;
            p.Name = original.Name;
            if (ProfileFileBytes(p) == ProfileFileBytes(original)) continue;
            EXPECT_TRUE(
                CheckProfileValues(bytes.data(), bytes.size(), original.Levels.size()).Any())
                << "unannounced: character " << at << " bit " << bit << "\n"
                << flipped;
        }
    }
    EXPECT_GT(read, 100);
}

// The name entry takes so many characters; a file with a longer name (or one far larger than
// any profile) is damaged, and reading it costs no more than reading a good one.
TEST_F(ProfileTest, NamesLongerThanTheNameEntryAllowsAreDamagedInput) {
    const std::string longest(MaxProfileNameLength, 'n');
    Write("longest.sav", "<Profile Name=\"" + longest + "\" />");
    Write("longer.sav", "<Profile Name=\"" + longest + "\xC3\xA9\" />");
    Write("huge.sav", "<Profile Name=\"" + std::string(600000, 'n') + "\" />");
    EXPECT_EQ(ReadProfileName("longest.sav"), longest);
    std::string key;
    for (const char* file : {"longer.sav", "huge.sav"}) {
        EXPECT_FALSE(LoadProfile(file, &key)) << file;
        EXPECT_EQ(key, "msg_badprofile") << file;
        EXPECT_EQ(ReadProfileName(file), "") << file;
    }
    // A name made in code is cut to what a file may hold, so its profile loads again.
    ASSERT_TRUE(NewProfile(longest + "tail", "cut.sav"));
    EXPECT_EQ(Player.Name, longest);
    EXPECT_TRUE(LoadProfile("cut.sav"));
}

TEST_F(ProfileTest, StatesBeyondAShorterLevelListSurviveTheNextSave) {
    Write("long.sav", "<Profile Name=\"L\"><Levels lev_1=\"2\" lev_2=\"1\" lev_3=\"2\" "
                      "lev_4=\"1\" lev_6=\"2\" LEV_7=\"9\" lev_x=\"1\" lev_4=\"0\"/></Profile>");
    ResizeLevelStates(3);
    ASSERT_TRUE(LoadProfile("long.sav"));
    Player.Score = 1; // lev_5 is missing: the file is rewritten only once there is news
    ASSERT_TRUE(SaveProfile());
    EXPECT_NE(Text("long.sav")
                  .find("<Levels lev_1=\"2\" lev_2=\"1\" lev_3=\"2\" lev_4=\"1\" "
                        "lev_5=\"0\" lev_6=\"2\" lev_7=\"2\" />"),
              std::string::npos)
        << Text("long.sav");
    // A longer list reads the extra levels as 0.
    ResizeLevelStates(9);
    ASSERT_TRUE(LoadProfile("long.sav"));
    EXPECT_EQ(Player.Levels[6].FStatus, 2);
    EXPECT_EQ(Player.Levels[8].FStatus, 0);
    // A fresh profile forgets them.
    ResizeLevelStates(3);
    ASSERT_TRUE(LoadProfile("long.sav"));
    ASSERT_TRUE(NewProfile("New", "new.sav"));
    EXPECT_NE(Text("new.sav").find("<Levels lev_1=\"0\" lev_2=\"0\" lev_3=\"0\" />"),
              std::string::npos);
}

TEST_F(ProfileTest, AFailedSaveIsLoggedAndKeepsTheOldFile) {
    ASSERT_TRUE(NewProfile("Safe", "safe.sav"));
    const std::string before = Text("safe.sav");
    std::filesystem::create_directories(PathOf("safe.sav.tmp/x")); // blocks the temporary file
    Player.Score = 500;
    EXPECT_FALSE(SaveProfile());
    EXPECT_EQ(Text("safe.sav"), before);
    EXPECT_NE(testing::ReadWholeFile(folder.File("app/Branchwick.log"))
                  .find("Saving profile failed: [safe.sav]"),
              std::string::npos);
}

TEST_F(ProfileTest, StartUpChoiceListingAndDeleting) {
    int nameEntries = 0;
    ProfileHooks.OpenNameEntry = [&] { ++nameEntries; };
    EXPECT_FALSE(ChooseProfileAtStartUp());
    EXPECT_EQ(nameEntries, 1);

    Write("2024_02_01_00_00_00.sav", "<Profile Name=\"New\" />");
    Write("2024_01_01_00_00_00.sav", "<Profile Name=\"Old\" />");
    Write("2024_03_01_00_00_00.sav", "junk");
    Write("2024_04_01_00_00_00.sav", "<Profile />");
    Write("x.sav.tmp", "<Profile Name=\"Tmp\" />");
    GameOptions.LastProfileFile = "2024_01_01_00_00_00.sav";
    ASSERT_TRUE(ChooseProfileAtStartUp());
    EXPECT_EQ(Player.Name, "Old");
    ASSERT_EQ(ProfilesList.size(), 2u); // unreadable and nameless files are not listed
    EXPECT_EQ(ProfilesList[0].Caption, "New");

    GameOptions.LastProfileFile = "gone.sav";
    GameOptions.LastProfileName = "Gone";
    ASSERT_TRUE(ChooseProfileAtStartUp());
    EXPECT_EQ(Player.Name, "New");
    EXPECT_EQ(messages, (std::vector<std::string>{"msg_profilenotfound|Gone"}));

    ASSERT_TRUE(DeleteProfile("2024_02_01_00_00_00.sav"));
    EXPECT_EQ(Player.Name, "Old");
    ASSERT_TRUE(DeleteProfile("2024_01_01_00_00_00.sav"));
    EXPECT_TRUE(ProfilesList.empty());
    EXPECT_EQ(nameEntries, 2);
}

TEST_F(ProfileTest, NameComparisonAndTheDefaultName) {
    EXPECT_EQ(TrimLeadingBlanks("   a b  "), "a b  ");
    EXPECT_TRUE(ProfileNamesEqual("Bob", "Bob  "));
    EXPECT_TRUE(ProfileNamesEqual("", "  "));
    EXPECT_FALSE(ProfileNamesEqual("", "a"));
    EXPECT_FALSE(ProfileNamesEqual("Bob", "bob"));
    ProfilesList = {{"Bob ", "1.sav"}, {"Player", "2.sav"}, {"Player 1", "3.sav"}};
    EXPECT_TRUE(ProfileNameExists("Bob"));
    EXPECT_FALSE(ProfileNameExists("bob"));
    ProfileHooks.DefaultNameText = [] { return std::string("Player"); };
    EXPECT_EQ(DefaultProfileName(), "Player 2");
    EXPECT_EQ(DefaultProfileName("Guest"), "Guest");
}

TEST_F(ProfileTest, LevelScoreAndItsDisplay) {
    AddLevelScore(15);
    AddLevelScore(-50);
    EXPECT_EQ(Player.LevelScore, 0);
    AddLevelScore(2147483647);
    AddLevelScore(100);
    EXPECT_EQ(Player.LevelScore, 2147483647);

    const auto run = [](int target) {
        std::vector<int> shown;
        Player.LevelScore = target;
        while (shown.size() < 200 && (shown.empty() || shown.back() != target)) {
            AnimateDisplayedScore();
            shown.push_back(Player.TempScore);
        }
        return shown;
    };
    Player.TempScore = 0;
    Player.FloatScore = 0;
    EXPECT_EQ(run(15), (std::vector<int>{2, 4, 6, 8, 10, 12, 14, 15}));
    // 8 per update while more than 25 away, 16 while more than 100 away.
    EXPECT_EQ(run(60), (std::vector<int>{23, 31, 39, 41, 43, 45, 47, 49, 51, 53, 55, 57, 59, 60}));
    EXPECT_EQ(run(0).front(), 52);
    EXPECT_EQ(run(1000)[1], 32);
}

// The win records the verdict that the result then shows.
TEST_F(ProfileTest, FinishLevelRecordsTheVerdictItKept) {
    ASSERT_TRUE(NewProfile("Recorder", "r.sav"));
    ResizeLevelStates(3);
    Player.Level = 0;
    Player.LevelScore = 400;
    Player.LevelMoves = 3;
    const TLevelTask moves{2, 5, 0};
    EXPECT_TRUE(FinishLevel(moves, {}));
    EXPECT_TRUE(Player.TaskCompleted);
    EXPECT_EQ(Player.Levels[0].FStatus, LevelWonWithTask);
    EXPECT_EQ(Player.Score, 400);
    // A later win without the task keeps the level's state but records the miss.
    Player.TaskCompleted = false;
    Player.LevelMoves = 9;
    EXPECT_FALSE(FinishLevel(moves, {}));
    EXPECT_FALSE(Player.TaskCompleted);
    EXPECT_EQ(Player.Levels[0].FStatus, LevelWonWithTask);
    EXPECT_EQ(Player.Score, 800);
}

TEST_F(ProfileTest, FinishLevelRaisesTheStateButNeverLowersIt) {
    ASSERT_TRUE(NewProfile("Winner", "w.sav"));
    std::vector<int> awards;
    AwardCheckWatcher() = [&](AwardIndex award) { awards.push_back(award); };
    const TLevelTask task4{4, 10, 3};
    Player.Level = 1;
    Player.LevelScore = 300;
    Player.LevelBirdsMatched[3] = 10;
    EXPECT_TRUE(FinishLevel(task4, {}));
    EXPECT_EQ(Player.Levels[1].FStatus, 2);
    EXPECT_NE(Text("w.sav").find("Score=\"300\" GameWasStarted=\"True\""), std::string::npos);
    EXPECT_NE(Text("w.sav").find("lev_2=\"2\""), std::string::npos);
    EXPECT_EQ(awards, (std::vector<int>{2, 1}));

    // Each win is a new play of the level, whose verdict starts open.
    Player.TaskCompleted = false;
    Player.LevelBirdsMatched[3] = 11; // won again, task missed: stays 2
    EXPECT_FALSE(FinishLevel(task4, {}));
    EXPECT_EQ(Player.Levels[1].FStatus, 2);
    EXPECT_EQ(Player.Score, 600);
    Player.Level = 2; // first win without the task
    EXPECT_FALSE(FinishLevel(task4, {}));
    EXPECT_EQ(Player.Levels[2].FStatus, 1);
    Player.TaskCompleted = true; // declared during play: counts whatever the counters say
    EXPECT_TRUE(FinishLevel(task4, {}));
    EXPECT_EQ(Player.Levels[2].FStatus, 2);

    Player.TaskCompleted = false;
    CurrentLevel.Task = {1, 120, 0};
    Player.LevelTime = 120;
    Player.Level = 99; // outside the list: judged, nothing else touched
    EXPECT_TRUE(FinishLevel({}));
    Player.LevelTime = 121;
    Player.TaskCompleted = false;
    EXPECT_FALSE(FinishLevel({}));
}

TEST_F(ProfileTest, LevelProgressQueries) {
    ResizeLevelStates(0);
    EXPECT_EQ(FirstUnplayedLevel(), 0);
    EXPECT_EQ(NextLevelToPlay(), 0);
    const auto states = [](std::vector<int32_t> s) {
        Player.Levels.clear();
        for (const int32_t v : s) Player.Levels.push_back({v});
        return std::vector<int>{FirstUnplayedLevel(), NextLevelToPlay(), CompletedTasksCount()};
    };
    EXPECT_EQ(states({2, 1, 0, 0}), (std::vector<int>{2, 2, 1}));
    EXPECT_EQ(states({2, 1, 2, 1}), (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(states({2, 2, 2}), (std::vector<int>{2, 0, 3}));
}

} // namespace
} // namespace bw
