// Random playouts of a finished position, for the end count: from the position both colours play
// random legal moves in turn until neither has one left, and the points each colour owns at the
// end are averaged over many playouts. A stone whose point the opponent owns in most playouts
// lies in a group that cannot live. The playouts fill no own eye (a point whose neighbours are
// all own stones, unless the diagonals make it a false eye) and put no chain of more than a few
// stones into atari without capturing, so living groups, and groups in seki, survive them; a
// player takes the last move's chain when it is in atari and runs with a chain the last move
// put into atari, so that a group does not live by the opponent's neglect.
// Everything is repeatable: the same position, seed and count give the same averages.
#pragma once

#include <array>
#include <cstdint>

#include "board/board.h"

namespace obrin {

// A board for fast random play: a bordered array, chains as circular stone lists with their
// pseudo-liberties (empty neighbours counted once per stone), the empty points in a list.
// Colours are +1 and -1 as on a TBoard; suicide is forbidden, a simple ko is kept.
class TPlayoutBoard {
  public:
    explicit TPlayoutBoard(const TBoard& position);

    // Plays a move of colour that is legal and neither fills an own eye nor puts a chain of
    // more than SelfAtariStones into atari: the answer to an atari of the last move, otherwise a
    // random one; false (a pass) when there is none. random supplies the starting point of the
    // search over the empty points.
    bool PlayRandom(int colour, uint64_t random);
    // Plays colour at point (an index of a TBoard) if the move is legal.
    bool Play(int colour, int point);
    [[nodiscard]] bool IsLegal(int colour, int point) const;

    // The owner of every point: the stone's colour, for an empty point the one colour of its
    // neighbours, 0 when both colours touch it.
    [[nodiscard]] TBoard Owners() const;
    // 1 at every empty point that both colours touch.
    [[nodiscard]] TBoard SharedPoints() const;
    [[nodiscard]] TBoard Position() const;

    static constexpr int SelfAtariStones = 3;

  private:
    static constexpr int Width = BoardSize + 2;
    static constexpr int Cells = Width * Width;
    enum : int8_t { Empty = 0, Black = 1, White = 2, Edge = 3 };

    [[nodiscard]] static int Cell(int point) {
        return (PointRow(point) + 1) * Width + PointColumn(point) + 1;
    }
    [[nodiscard]] static int PointOf(int cell) {
        return PointIndex(cell % Width - 1, cell / Width - 1);
    }
    [[nodiscard]] static int8_t Stone(int colour) { return colour > 0 ? Black : White; }

    enum class TMoveKind { Illegal, OwnEye, SelfAtari, Good };
    [[nodiscard]] TMoveKind Classify(int8_t stone, int cell) const;
    [[nodiscard]] bool IsOwnEye(int8_t stone, int cell) const;
    // Up to two distinct liberties of the chain at cell, other than except.
    [[nodiscard]] int LibertiesUpToTwo(int cell, int except) const;
    [[nodiscard]] bool InAtari(int cell) const { return LibertiesUpToTwo(cell, -1) == 1; }
    // Taking the last move's chain in atari, or running with an own chain it put into atari;
    // -1 when neither is needed or possible.
    [[nodiscard]] int AtariAnswer(int8_t stone) const;
    [[nodiscard]] int OnlyLiberty(int cell) const;
    void Place(int8_t stone, int cell);
    void Merge(int into, int from);
    void Capture(int head);
    void AddEmpty(int cell);
    void RemoveEmpty(int cell);

    std::array<int8_t, Cells> m_colour{};
    std::array<int16_t, Cells> m_head{};     // the chain's head cell, for stones
    std::array<int16_t, Cells> m_next{};     // the next stone of the chain, circular
    std::array<int16_t, Cells> m_pseudo{};   // pseudo-liberties, at the head
    std::array<int16_t, Cells> m_size{};     // stones, at the head
    std::array<int16_t, Cells> m_emptyAt{};  // index in m_empty, for empty cells
    std::array<int16_t, PointCount> m_empty{};
    int m_emptyCount = 0;
    int m_last = -1;  // the cell of the last move, -1 after a pass
    int m_ko = -1;    // the cell the player to move may not retake at
};

// The averages of many playouts from one position.
struct TOwnership {
    std::array<double, PointCount> Owner{};  // mean owner, -1 .. +1
    std::array<double, PointCount>
        Shared{};  // share of playouts ending with both colours next to the empty point
    int Playouts = 0;
};

// Plays playouts games from position, half of them with Black (+1) to move first, half with
// White; seed fixes the random moves. Each playout ends after two passes in a row or at a move
// limit (a long ko fight).
[[nodiscard]] TOwnership PlayOut(const TBoard& position, int playouts, uint64_t seed);

// The chains that no sequence of the opponent's moves can capture, even when their own side
// always passes (two vital regions each, by the classic procedure): 1 at their stones.
[[nodiscard]] TBoard PassAliveStones(const TBoard& position);

}  // namespace obrin
