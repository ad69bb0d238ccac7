// Helpers of the board core's hot paths, shared with the searches: the on-board neighbours of
// every point in the fixed order, and a mark board that is cleared by moving to a new stamp
// instead of zeroing 361 values.
#pragma once

#include <array>
#include <cstdint>

#include "board/board.h"

namespace obrin {

// On-board orthogonal neighbours of every point in the usual order (up, right, down, left).
struct TNeighbourTable {
    std::array<std::array<int16_t, 4>, PointCount> Index{};
    std::array<uint8_t, PointCount> Count{};
    constexpr TNeighbourTable() {
        for (int p = 0; p < PointCount; ++p) {
            const int x = PointColumn(p), y = PointRow(p);
            for (int d = 0; d < 4; ++d) {
                const int nx = x + NeighbourDX[d], ny = y + NeighbourDY[d];
                if (OnBoard(nx, ny))
                    Index[p][Count[p]++] = static_cast<int16_t>(PointIndex(nx, ny));
            }
        }
    }
};
inline constexpr TNeighbourTable Neighbours{};

// A private mark board; Begin starts a new round of marks.
class TStampMarks {
  public:
    void Begin() {
        if (++m_stamp == 0) {
            m_marks.fill(0);
            m_stamp = 1;
        }
    }
    [[nodiscard]] bool IsMarked(int p) const { return m_marks[p] == m_stamp; }
    void Mark(int p) { m_marks[p] = m_stamp; }

  private:
    std::array<uint32_t, PointCount> m_marks{};
    uint32_t m_stamp = 0;
};

}  // namespace obrin
