// The line of play that leads to an item of the record tree, read without replaying it: the
// move numbers the board writes on the stones come from here.
#pragma once

#include <array>
#include <vector>

#include "board/board.h"
#include "records/sgftree.h"

namespace obrin {

// The node items whose moves lead to item, in the order the replay plays them: on each level of
// the path the node items before the next item down, then item itself. Empty when item holds no
// node (a game or a variation item).
[[nodiscard]] std::vector<TSgfTreeItem*> LineOfPlay(TSgfTreeItem* item);

// For every point the number of the last move played there along the line to item (moves are
// the nodes with B or W, counted from 1; a pass takes a number too); 0 where no move was played
// or a later setup (AB, AW, AE) covered the point.
[[nodiscard]] std::array<int, PointCount> MoveNumbersTo(TSgfTreeItem* item);

}  // namespace obrin
