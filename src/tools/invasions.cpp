#include "tools/invasions.h"

#include <algorithm>

#include "board/chains.h"

namespace obrin::train {
namespace {

// The stones of colour in the square of the given radius around (x, y).
int StonesNear(const TBoard& board, int x, int y, int radius, int colour) {
    int count = 0;
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            if (OnBoard(x + dx, y + dy) && board[PointIndex(x + dx, y + dy)] == colour) ++count;
    return count;
}

}  // namespace

std::vector<int> DrawInvasionMoves(int count, int first, int last, std::mt19937& rng) {
    std::vector<int> candidates;
    for (int m = first; m <= last; ++m) candidates.push_back(m);
    std::vector<int> chosen;
    while (static_cast<int>(chosen.size()) < count && !candidates.empty()) {
        const size_t i = rng() % static_cast<uint32_t>(candidates.size());
        chosen.push_back(candidates[i]);
        candidates.erase(candidates.begin() + static_cast<std::ptrdiff_t>(i));
    }
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}

bool IsInvasionPoint(const TBoard& board, int x, int y, int colour, int koX, int koY) {
    const int edge = std::min(std::min(x, BoardSize - 1 - x), std::min(y, BoardSize - 1 - y));
    if (!OnBoard(x, y) || edge < 2 || board[PointIndex(x, y)] != 0) return false;
    if (StonesNear(board, x, y, 2, colour) > 0 || StonesNear(board, x, y, 3, -colour) < 2)
        return false;
    TBoard scratch = board;
    return IsLegal(x, y, colour, koX, koY, scratch);
}

std::optional<TPoint> ChooseInvasionPoint(const TBoard& board, int colour, int koX, int koY,
                                          std::mt19937& rng) {
    std::vector<TPoint> points;
    for (int y = 0; y < BoardSize; ++y)
        for (int x = 0; x < BoardSize; ++x)
            if (IsInvasionPoint(board, x, y, colour, koX, koY)) points.push_back({x, y});
    if (points.empty()) return std::nullopt;
    return points[rng() % static_cast<uint32_t>(points.size())];
}

}  // namespace obrin::train
