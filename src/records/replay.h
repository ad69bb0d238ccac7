// Record replay: gives the properties of a record their meaning when the record tree replays a
// line of play, populates or renumbers its items. Moves and setup stones go onto the board with
// the legality test and the capture rules; illegal ones are skipped without a message, and games
// on another board than 19 by 19 put nothing on the board (the window says so on loading). This is
// the handler half of the game-control window, kept free of widgets: the window shows the panes
// and the board that it fills.
#pragma once

#include <string>
#include <vector>

#include "board/board.h"
#include "game/gameboard.h"
#include "records/sgftree.h"

namespace obrin {

// Invariant: while alive it is the tree's OnExecProperty and OnChange handler.
class TRecordReplay {
  public:
    TRecordReplay(TGameBoard& board, TSgfTreeModel& tree);
    TRecordReplay(const TRecordReplay&) = delete;
    TRecordReplay& operator=(const TRecordReplay&) = delete;
    ~TRecordReplay();

    // Before a selection replays: both panes cleared, empty board without prisoners, no ko.
    void ClearForReplay();
    void Handle(TSgfTreeItem* item, const std::string& identifier, const std::string& value,
                TNodeInformationPurpose purpose);
    // Plays B/AB as +1 and W/AW as -1, removes AE stones; point lists ("aa:cc") are expanded
    // for the setup properties. Other identifiers place nothing.
    void Interprete(const std::string& identifier, const std::string& value,
                    TNodeInformationPurpose purpose);
    // The side to move becomes colour; a legal move is played with captures, any other skipped.
    void DoMove(int x, int y, int colour);

    // An SGF point: two letters, "a" (or "A") for 0; any other length gives (-1, -1), a
    // character that is no letter gives -1 before the row is turned (so "tt" is a pass).
    [[nodiscard]] static TPoint PointOfValue(const std::string& value);

    int MoveCount = 0;
    std::string CommentPane;
    std::vector<std::string> PropertyPane;
    TPoint LastMove = PassPoint;  // marked on the board

  private:
    TGameBoard& m_board;
    TSgfTreeModel& m_tree;
};

// The points of a setup value: one point, or a rectangle "aa:cc" of the compressed point lists.
[[nodiscard]] std::vector<TPoint> SetupPoints(const std::string& value);

// The node items of a game's main line, in order (variation items left out).
[[nodiscard]] std::vector<TSgfTreeItem*> MainLine(TSgfTreeModel& tree, TSgfTreeItem* game);
// Replays the first game's main line up to node item count (all when count < 0 or larger) by
// selecting that item, as a click would. Returns the number of node items replayed.
int ReplayMainLine(TSgfTreeModel& tree, TRecordReplay& replay, int count);
// How many main-line node items come before the node that holds move number moveNumber
// (moves are nodes with B or W, counted from 1); all of them when the line is shorter.
[[nodiscard]] int NodesBeforeMove(TSgfTreeModel& tree, int moveNumber);

}  // namespace obrin
