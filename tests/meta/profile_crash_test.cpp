// Kills a process that saves a profile over and over at random moments and checks that the
// file on disk is always a complete profile, the old one or the new one.
#include "meta/Profile.h"

#include "base/GameOptions.h"
#include "platform/Files.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <random>
#include <string>
#include <vector>

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

// Saves generation `start` once, tells the parent through `ready`, then saves on for ever.
[[noreturn]] void SaveForever(int start, int ready) {
    SaveGeneration(start);
    const char c = 's';
    (void)!::write(ready, &c, 1);
    for (int generation = start + 1;; ++generation) SaveGeneration(generation);
}

// How long one save takes on this machine, in microseconds (the median of a few).
long MeasureSaveMicros() {
    std::vector<long> times;
    for (int i = 0; i < 15; ++i) {
        const auto start = std::chrono::steady_clock::now();
        SaveGeneration(i);
        times.push_back(static_cast<long>(std::chrono::duration_cast<std::chrono::microseconds>(
                                              std::chrono::steady_clock::now() - start)
                                              .count()));
    }
    std::sort(times.begin(), times.end());
    return std::max(times[times.size() / 2], 1L);
}

TEST(ProfileCrashSafety, KillingTheGameWhileSavingNeverDamagesTheProfile) {
    testing::TempFolder folder;
    GameOptions = TGameOptions{};
    GameOptions.AppFolderPath = folder.File("app");
    Player = TPlayer{};
    ResizeLevelStates(40);
    ASSERT_TRUE(NewProfile("Gen 0", "crash.sav"));
    const long saveMicros = MeasureSaveMicros();
    SaveGeneration(0);
    const std::string path = folder.File("app/Profiles/crash.sav");

    // Each child finishes one save, says so, and is killed at a random moment of the next
    // three saves: the kills spread over whole saves however fast or loaded the machine is.
    std::mt19937 random(12345);
    int kills = 0;
    int changes = 0;
    int lastScore = 0;
    for (; kills < 150; ++kills) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ready[0]);
            SaveForever(lastScore + 1, ready[1]);
        }
        ::close(ready[1]);
        char c = 0;
        ASSERT_EQ(::read(ready[0], &c, 1), 1) << "the child never saved";
        ::close(ready[0]);
        ::usleep(static_cast<useconds_t>(
            std::uniform_int_distribution<long>(0, 3 * saveMicros)(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));

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
    // Every child got its first save through before it was killed during a later one.
    EXPECT_EQ(changes, kills);
    GameOptions = TGameOptions{};
    Player = TPlayer{};
}

} // namespace
} // namespace bw
