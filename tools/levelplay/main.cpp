// branchwick-levelplay: plays levels of the built game with the scripted player, from several
// seeds each, and prints one line per run and a summary per level.
#include "replay/LevelPlayer.h"
#include "replay/Replay.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "usage: branchwick-levelplay [options] [LEVEL | FIRST-LAST]...\n"
    "  --data DIR     the game's Data folder (default: beside the program, the installed\n"
    "                 one, or the build's when run from a build tree)\n"
    "  --seeds N      seeds per level (default 3); seed s of level L is L + 100 (s - 1)\n"
    "  --ticks N      the most update ticks of one run (default 60000)\n"
    "  --tsv          one tab-separated line per run, with a header, nothing else\n"
    "  --min-wins N   fail (exit 1) when a level is won on fewer than N of its seeds\n"
    "                 (default: more than half of them)\n"
    "Levels default to every level that has a file.\n";

bool ParseNumber(const char* text, long& out) {
    if (!text || !*text) return false;
    char* end = nullptr;
    out = std::strtol(text, &end, 10);
    return end && *end == 0;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "branchwick-levelplay: %s\n%s", message.c_str(), kUsage);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string data;
    long seeds = 3, ticks = 60000, minWins = -1;
    bool tsv = false;
    std::vector<int> levels;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--data" && next) {
            data = next;
            ++i;
        } else if (arg == "--seeds" && ParseNumber(next, seeds) && seeds > 0) {
            ++i;
        } else if (arg == "--ticks" && ParseNumber(next, ticks) && ticks > 0) {
            ++i;
        } else if (arg == "--min-wins" && ParseNumber(next, minWins) && minWins >= 0) {
            ++i;
        } else if (arg == "--tsv") {
            tsv = true;
        } else if (!arg.empty() && arg[0] != '-') {
            const std::size_t dash = arg.find('-');
            long first = 0, last = 0;
            if (dash == std::string::npos ? !ParseNumber(arg.c_str(), first)
                                          : !ParseNumber(arg.substr(0, dash).c_str(), first) ||
                                                !ParseNumber(arg.substr(dash + 1).c_str(), last))
                return Fail("bad level \"" + arg + "\"");
            if (dash == std::string::npos) last = first;
            if (first < 1 || last < first || last > 56) return Fail("bad level \"" + arg + "\"");
            for (long l = first; l <= last; ++l) levels.push_back(static_cast<int>(l));
        } else {
            return Fail("bad argument \"" + arg + "\"");
        }
    }
    if (data.empty()) data = bw::ReplayDataFolder();
    if (data.empty()) return Fail("no Data folder found; give --data");
    // A run makes the folder that holds the data the working folder, so a relative one would
    // name another place from the second run on.
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(data, ec);
    if (!ec) data = absolute.string();
    if (minWins < 0) minWins = seeds / 2 + 1;
    if (levels.empty()) {
        // Every level up to the first one whose run does not even start.
        for (int l = 1; l <= 56; ++l) levels.push_back(l);
    }

    if (tsv) std::printf("level\tseed\twon\tmoves\tscore\ttask\tsaved\tneeded\tticks\n");
    int failing = 0;
    for (int level : levels) {
        int wins = 0, tasks = 0;
        long movesWon = 0;
        bool missing = false;
        for (long s = 1; s <= seeds; ++s) {
            bw::LevelRunSettings settings;
            settings.data = data;
            settings.level = level;
            settings.seed = static_cast<uint64_t>(level + 100 * (s - 1));
            settings.ticks = static_cast<uint64_t>(ticks);
            const bw::LevelRun run = bw::PlayLevel(settings);
            if (!run.started) {
                // No level file, or the level never started.
                if (!tsv) std::printf("level %2d: does not start: %s\n", level, run.error.c_str());
                missing = true;
                break;
            }
            wins += run.won ? 1 : 0;
            tasks += run.taskMet ? 1 : 0;
            if (run.won) movesWon += run.moves;
            if (tsv)
                std::printf("%d\t%llu\t%d\t%d\t%d\t%d\t%d\t%d\t%llu\n", level,
                            static_cast<unsigned long long>(settings.seed), run.won ? 1 : 0,
                            run.moves, run.levelScore, run.taskMet ? 1 : 0, run.saved, run.needed,
                            static_cast<unsigned long long>(run.ticks));
            else
                std::printf("level %2d seed %4llu: %-4s %3d moves, score %5d, task %s%s\n", level,
                            static_cast<unsigned long long>(settings.seed),
                            run.won ? "won" : (run.finished ? "lost" : "open"), run.moves,
                            run.levelScore, run.taskMet ? "met" : "not met",
                            run.ran ? "" : ("  (" + run.error + ")").c_str());
            std::fflush(stdout);
        }
        if (missing) continue;
        if (wins < minWins) ++failing;
        if (!tsv)
            std::printf("level %2d: won %d/%ld, %s moves to win, task met %d/%ld%s\n", level, wins,
                        seeds, wins ? std::to_string((movesWon + wins / 2) / wins).c_str() : "-",
                        tasks, seeds, wins < minWins ? "  FAILS" : "");
    }
    return failing ? 1 : 0;
}
