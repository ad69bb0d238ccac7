// GTP commands for game records: loadsgf and printsgf.
#pragma once

namespace obrin {

class TGtpEngine;

// loadsgf FILE [MOVE_NUMBER]: replays the main line of the file's first game as the record tree
// does, stopping before the given move, and makes that position the current game.
// printsgf [FILE]: the current game (setup and moves since clear_board) as SGF.
void RegisterRecordsCommands(TGtpEngine& gtp);

}  // namespace obrin
