// Board fields and coordinates: the one representation of the 19x19 board that every part of
// Obrin shares. A board is a flat array of 361 signed values without border cells; index
// y * 19 + x, row 0 at the bottom. On a position +1 is the engine's colour, -1 the opponent's.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace obrin {

constexpr int BoardSize = 19;
constexpr int PointCount = BoardSize * BoardSize;

// TBoard: one value per point; also the type of every per-point field.
using TBoard = std::array<int32_t, PointCount>;

struct TPoint {
    int32_t X = -1;
    int32_t Y = -1;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

constexpr TPoint PassPoint{-1, -1};

// TPointList: a fixed record used as list and as LIFO stack. Entries 0 .. Count-1 are valid;
// no producer adds a point twice, so 361 entries always suffice.
struct TPointList {
    int32_t Count = 0;
    std::array<TPoint, PointCount> Items{};

    [[nodiscard]] const TPoint* begin() const { return Items.data(); }
    [[nodiscard]] const TPoint* end() const { return Items.data() + Count; }
    [[nodiscard]] const TPoint& operator[](int i) const { return Items[i]; }
    [[nodiscard]] TPoint& operator[](int i) { return Items[i]; }
};

inline void ListClear(TPointList& list) {
    list = TPointList{};
}
inline void ListPush(TPointList& list, int x, int y) {
    list.Items[list.Count++] = TPoint{x, y};
}
inline TPoint ListPop(TPointList& list) {
    return list.Items[--list.Count];
}
[[nodiscard]] inline bool ListIsEmpty(const TPointList& list) {
    return list.Count == 0;
}

[[nodiscard]] constexpr bool OnBoard(int x, int y) {
    return x >= 0 && x < BoardSize && y >= 0 && y < BoardSize;
}
[[nodiscard]] constexpr int PointIndex(int x, int y) {
    return y * BoardSize + x;
}
[[nodiscard]] constexpr int PointColumn(int i) {
    return i % BoardSize;
}
[[nodiscard]] constexpr int PointRow(int i) {
    return i / BoardSize;
}

// The four orthogonal neighbours, always in this order: up, right, down, left. Chain and
// liberty lists, and which capture is found first, depend on it.
constexpr std::array<int, 4> NeighbourDX{0, 1, 0, -1};
constexpr std::array<int, 4> NeighbourDY{1, 0, -1, 0};

constexpr std::string_view ColumnLetters = "ABCDEFGHJKLMNOPQRST";

// "A1" .. "T19"; "---" off the board (and for the pass).
[[nodiscard]] std::string PointText(int x, int y);
// The column of a point text's first letter, -1 when it is no column letter ("I" is none).
[[nodiscard]] int ColumnOfText(std::string_view text);
// The row of a point text (from its second character), 0-based. Throws std::invalid_argument
// when that part is not a number.
[[nodiscard]] int RowOfText(std::string_view text);

void ClearBoard(TBoard& b);
[[nodiscard]] bool BoardIsEmpty(const TBoard& b);
[[nodiscard]] int GetPoint(const TBoard& b, int x, int y);
void SetPoint(TBoard& b, int x, int y, int value);
inline void SetAtIndex(TBoard& b, int i, int value) {
    b[i] = value;
}
inline void AddAtIndex(TBoard& b, int i, int delta) {
    b[i] += delta;
}
void NegateBoard(TBoard& b);
// Turns the position by 90 degrees: the new value at (18 - y, x) is the old value at (x, y).
void RotateBoard(TBoard& b);

struct TNeighbourhoodCount {
    int Plus = 0, Minus = 0, Empty = 0, Off = 0;
};
// Counts over the 3x3 square centred on (x, y), the centre included.
[[nodiscard]] TNeighbourhoodCount CountNeighbourhood(const TBoard& b, int x, int y);
[[nodiscard]] int EmptyNeighbours(int x, int y, const TBoard& b);
// An empty point whose four neighbours are on the board and empty.
[[nodiscard]] inline bool IsOpenPoint(int x, int y, const TBoard& spielfeld) {
    return EmptyNeighbours(x, y, spielfeld) == 4;
}

struct TStoneDelta {
    int DPlus = 0, DMinus = 0;
};
[[nodiscard]] TStoneDelta StoneCountDelta(const TBoard& before, const TBoard& after);

// Counts how far each colour's stones reach over the points that are empty or their own.
void SpreadInfluence(const TBoard& source, TBoard& result, int rounds);
void SpreadColour(int colour, const TBoard& source, TBoard& result, int rounds);

// Distance of each point to the nearest edge.
[[nodiscard]] TBoard MakeMinAbstand();

}  // namespace obrin
