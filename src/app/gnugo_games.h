// Building training positions with GNU Go as a teacher: GNU Go plays games against itself and,
// at sampled moves, gives its life-and-death verdicts and its dragons. Used only by
// "obrin-cli train games" at data-building time; the program itself never needs GNU Go.
#pragma once

#include <cstdint>
#include <string>

namespace obrin::train {

struct TGamesOptions {
    std::string GnuGo = "/usr/games/gnugo";
    std::string OutFile;
    int Games = 10;
    int FirstGame = 0;     // game numbers FirstGame .. FirstGame+Games-1; each seeds its own game
    int Level = 1;         // GNU Go's strength level
    int FirstSample = 8;   // the first move number whose position is sampled
    int SampleEvery = 18;  // then every this many moves, and the final position
    // Random opening moves for variety: a number from OpeningMin to OpeningMax per game, each on
    // a line from OpeningLineMin to OpeningLineMax (the edge is line 1).
    int OpeningMin = 4, OpeningMax = 4;
    int OpeningLineMin = 3, OpeningLineMax = 6;
    // Black's handicap stones (GNU Go's fixed placement, 2 to 9; 0 for none), set before the
    // random opening; White then moves first and the komi is 0.5.
    int Handicap = 0;
    // Invasions: at this many random moves from InvasionFirst to InvasionLast (move numbers, the
    // moves played before) the side to move plays a lone stone into the opponent's framework
    // instead of GNU Go's move (see tools/invasions.h), when the position has a point for one;
    // the header of the game lists the move numbers of those played.
    int Invasions = 0;
    int InvasionFirst = 30, InvasionLast = 150;
    // GNU Go may not resign, so that lost games too are played out to two passes.
    bool NeverResign = false;
    int MaxMoves = 400;
    // Verdicts of sampled positions from dragon_status (fast) instead of final_status_list (which
    // plays the position out and takes seconds). The final position always uses final_status_list.
    bool DragonVerdicts = false;
};

// Plays the games and appends them to OutFile as text records (see positions.h). Returns the
// number of games written; throws on a GNU Go failure.
int PlayGnuGoGames(const TGamesOptions& options);

}  // namespace obrin::train
