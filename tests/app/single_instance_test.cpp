#include "platform/SingleInstance.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace bw {
namespace {

TEST(SingleInstance, ASecondHolderIsRefusedUntilTheFirstEndsEvenByDying) {
    const std::string file = (std::filesystem::temp_directory_path() /
                              ("bw-lock-" + std::to_string(getpid())) / "game.lock")
                                 .string();
    {
        SingleInstanceLock first(file);
        ASSERT_TRUE(first.Acquired());
        // Another process sees it taken (flock locks belong to open files, so a child's own
        // open of the file competes like another program would).
        const pid_t child = fork();
        if (child == 0) {
            SingleInstanceLock second(file);
            _exit(second.Acquired() ? 1 : 0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    // A holder that is killed releases the lock with its death.
    int pipefd[2];
    ASSERT_EQ(pipe(pipefd), 0);
    const pid_t holder = fork();
    if (holder == 0) {
        SingleInstanceLock lock(file);
        char c = lock.Acquired() ? 'y' : 'n';
        (void)!write(pipefd[1], &c, 1);
        pause();
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(pipefd[0], &c, 1), 1);
    EXPECT_EQ(c, 'y');
    EXPECT_FALSE(SingleInstanceLock(file).Acquired());
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_TRUE(SingleInstanceLock(file).Acquired());
    close(pipefd[0]);
    close(pipefd[1]);
    std::filesystem::remove_all(std::filesystem::path(file).parent_path());
}

// Without a lock file the game still runs, but the rule being off is said.
TEST(SingleInstance, ALockFileThatCannotBeCreatedLetsTheGameRunAndSaysWhy) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("bw-nolock-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder / "game.lock" / "inside"); // a folder in the way
    {
        SingleInstanceLock lock((folder / "game.lock").string());
        EXPECT_TRUE(lock.Acquired());
        EXPECT_NE(
            lock.Problem().find("Cannot create the lock file " + (folder / "game.lock").string()),
            std::string::npos)
            << lock.Problem();
    }
    SingleInstanceLock normal((folder / "other.lock").string());
    EXPECT_TRUE(normal.Acquired());
    EXPECT_EQ(normal.Problem(), "");
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace bw
