// The analysis graph's figures for obrin-cli: how long the analysis up to the graph takes per
// position, stage by stage ("bench analysis"), and how its group status agrees with GNU Go's
// verdicts on the positions of the teacher games in training/ ("bench status").
#pragma once

#include "app/subcommand.h"

namespace obrin::cli {

// Stage timings over positions from moves 20 to 250 of the teacher games; median and worst.
int BenchGraph(const Args& args);
// Balanced accuracy of "dead" against GNU Go's dead/alive verdicts, stone by stone.
int BenchStatus(const Args& args);
// Builds the graph of random positions of every density (for the sanitizer build); reports any
// failure and the time per position.
int BenchGraphRandom(const Args& args);

}  // namespace obrin::cli
