// Kills a process that saves a profile over and over at random moments and checks that the
// file on disk is always a complete profile, the old one or the new one.
#include "meta/Profile.h"

#include "base/GameOptions.h"
#include "platform/Files.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <random>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace bw {
namespace {

// One generation of the profile: name, score and level states always belong together, so a
// file mixed from two saves is caught.
void SaveGeneration(int generation) {
    Player.Name = "Gen " + std::to_string(generation % 999);
    Player.Score = generation % 999;
    for (std::size_t i = 0; i < Player.Levels.size(); ++i)
        Player.Levels[i].FStatus = static_cast<int32_t>((generation + i) % 3);
    SaveProfile();
}

[[noreturn]] void SaveForever(int start) {
    for (int generation = start;; ++generation) SaveGeneration(generation);
}

TEST(ProfileCrashSafety, KillingTheGameWhileSavingNeverDamagesTheProfile) {
    testing::TempFolder folder;
    GameOptions = TGameOptions{};
    GameOptions.AppFolderPath = folder.File("app");
    Player = TPlayer{};
    ResizeLevelStates(40);
    ASSERT_TRUE(NewProfile("Gen 0", "crash.sav"));
    SaveGeneration(0);
    const std::string path = folder.File("app/Profiles/crash.sav");

    std::mt19937 random(12345);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    int kills = 0;
    int changes = 0;
    int lastScore = 0;
    while (kills < 300 && std::chrono::steady_clock::now() < deadline) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) SaveForever(lastScore + 1);

        ::usleep(std::uniform_int_distribution<useconds_t>(0, 8000)(random));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
        ++kills;

        const auto bytes = ReadWholeFile(path);
        ASSERT_TRUE(bytes) << "profile missing after kill " << kills;
        TPlayer read;
        ASSERT_TRUE(ProfileFromBytes(bytes->data(), bytes->size(), 40, read))
            << "damaged profile after kill " << kills;
        ASSERT_EQ(read.Name, "Gen " + std::to_string(read.Score)) << "after kill " << kills;
        for (std::size_t i = 0; i < read.Levels.size(); ++i)
            ASSERT_EQ(read.Levels[i].FStatus, static_cast<int32_t>((read.Score + i) % 3));
        if (read.Score != lastScore) ++changes;
        lastScore = read.Score;
    }
    RecordProperty("kills", kills);
    RecordProperty("changes", changes);
    EXPECT_GE(kills, 100);
    // The children did get saves through, so the kills hit saving in progress.
    EXPECT_GT(changes, kills / 4);
    GameOptions = TGameOptions{};
    Player = TPlayer{};
}

} // namespace
} // namespace bw
