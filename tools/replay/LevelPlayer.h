// A scripted player: it plays one level of the built game from the level's seed, with real
// pointer drags through the game's own input, until the result panel stands, and tells how it
// went. The winning-runs test and the level player tool both play through it.
//
// The player looks one move ahead. A key with a free way to a caged nestling goes there at
// once, and so does a hamburger with a free way to the boss; otherwise it makes the move (a
// bird, a bonus, or a key put down) after which the cheapest way from a key to a nestling, or
// from a hamburger to the boss, is cheapest. Every bird, cat, wall or bonus in the way adds to
// the price; a move that matches takes its birds out first, and the bombs and fireworks in the
// match take the walls round them or in their lines with them. Cats count too: a move that
// brings birds of one kind round a cat, or catches it, is worth more, since caught cats may
// leave keys and hamburgers behind.
#pragma once

#include "base/Player.h"
#include "board/BoardTypes.h"
#include "replay/Replay.h"

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace bw {

// Whether anything on the board is still under way (a flight, a removal, a cat's walk or
// jump, a hatching egg, a bonus going off): a scripted player waits until it is not.
bool BoardBusy();

class LevelPlayer {
public:
    explicit LevelPlayer(unsigned seed) : random_(seed) {}

    // The next lines of input: a drag once the board is quiet, nothing while it is not.
    std::vector<ReplayEvent> Next();
    int Moves() const { return moves_; }

    struct Choice {
        TCoord2 from = NoCell;
        TCoord2 to = NoCell;
        double score = -1e300;
    };

private:
    bool Refused(TCoord2 from, TCoord2 to) const;
    void Consider(Choice& best, TCoord2 from, TCoord2 to, double score);
    Choice Choose();

    std::mt19937 random_;
    int quiet_ = 0;
    int moves_ = 0;
    int movesSeen_ = 0;
    Choice last_;
    std::vector<Choice> refused_;
};

struct LevelRunSettings {
    std::string data;         // the game's "Data" folder
    std::string home;         // the folder of options and profiles; empty: a fresh temporary one
    int level = 1;            // 1-based entry of the level list
    uint64_t seed = 0;        // the game's and the player's seed; 0: the level number
    uint64_t ticks = 60000;   // the most update ticks the run may take
    TPoint2px size{480, 270}; // the full-screen size the game draws at
    // Passed on to the replay: which undrawn frames to draw, and what sees them drawn.
    std::function<bool(uint64_t tick)> drawAt;
    std::function<void(Canvas& canvas, uint64_t tick)> afterDraw;
};

struct LevelRun {
    bool started = false;  // the level came on screen
    bool ran = false;      // the game ran to the end of the script
    std::string error;     // why it did not
    bool finished = false; // the result panel came up
    bool won = false;
    bool taskMet = false;
    int moves = 0; // drags the player made
    int32_t levelScore = 0;
    int saved = 0;  // nestlings freed
    int needed = 0; // nestlings on the board
    int bossFed = 0;
    int bossHealth = 0;
    uint64_t ticks = 0;
    TPlayer profile; // the saved profile after the run
    bool profileRead = false;
};

// Plays the level as a player who has won every level before it.
LevelRun PlayLevel(const LevelRunSettings& settings);

} // namespace bw
