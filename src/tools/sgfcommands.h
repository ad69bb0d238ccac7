// The record commands of obrin-cli (sgf check, convert, show, and the record benchmarks) as
// functions over streams, so that tests run them without a process of their own.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "board/board.h"

namespace obrin {

// Reads each file as the parser does by its extension, prints its message lines and a summary
// line. Returns 0 when no file had a message, 1 when any had syntax messages, 2 when a file
// could not be read (also for an extension that is no record format).
int SgfCheck(const std::vector<std::string>& files, std::ostream& out);
// Reads in through the parser and the record tree and saves it as SGF to out. Returns 0 when
// written (syntax messages go to err), 2 when nothing could be read or written.
int SgfConvert(const std::string& in, const std::string& out, std::ostream& err);
// Replays the first game's main line up to node item node (all when node < 0) and prints the
// position. Returns 0, or 2 when the file could not be read or holds no game.
int SgfShow(const std::string& file, int node, std::ostream& out, std::ostream& err);

// The position as text: X black (+1), O white (-1), top row first, with coordinates.
[[nodiscard]] std::string BoardText(const TBoard& board);

// Benchmarks: parsing a synthetic collection (MB/s) and loading, replaying and saving one long
// game; medians of runs, printed to out.
int BenchSgfParse(int games, int runs, std::ostream& out);
int BenchSgfLongGame(int moves, int runs, std::ostream& out);
// Writes the synthetic collection (games games) used by the throughput figures to file.
int WriteSyntheticCollection(const std::string& file, int games, std::ostream& err);

}  // namespace obrin
