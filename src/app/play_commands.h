// The computer's play for obrin-cli: games of the engine against itself ("selfplay") and the
// time and soundness of its move decision ("bench move").
#pragma once

#include "app/subcommand.h"

namespace obrin::cli {

// Complete games of the engine against itself, saved as SGF with the goal tree of every move;
// a summary and the leak checks. Exit status 1 on an illegal move, an exception or a leak.
int SelfPlay(const Args& args);
// ComputerMove over positions of the teacher games (analysis and search timed apart), or with
// --random over random positions of every density, half of them through GTP genmove for White.
int BenchMove(const Args& args);

}  // namespace obrin::cli
