#include "game/randomgames.h"

#include <random>

#include "board/chains.h"

namespace obrin {
namespace {

constexpr int kMaxMovesPerGame = 1000;

bool IsOwnEye(const TBoard& b, int x, int y, int colour) {
    for (int d = 0; d < 4; ++d) {
        const int nx = x + NeighbourDX[d], ny = y + NeighbourDY[d];
        if (OnBoard(nx, ny) && b[PointIndex(nx, ny)] != colour) return false;
    }
    return true;
}

}  // namespace

TRandomGameStats PlayRandomGames(int games, uint32_t seed, void (*onMove)(const TBoard&)) {
    std::mt19937 rng(seed);
    TRandomGameStats stats;
    for (int g = 0; g < games; ++g) {
        TBoard b{};
        int32_t koX = -1, koY = -1;
        int colour = 1, passes = 0;
        for (int m = 0; m < kMaxMovesPerGame && passes < 2; ++m) {
            int candidates[PointCount];
            int n = 0;
            for (int p = 0; p < PointCount; ++p)
                if (b[p] == 0) candidates[n++] = p;
            bool played = false;
            while (n > 0 && !played) {
                const int k = static_cast<int>(rng() % static_cast<uint32_t>(n));
                const int p = candidates[k];
                const int x = PointColumn(p), y = PointRow(p);
                ++stats.LegalityTests;
                if (!IsOwnEye(b, x, y, colour) && IsLegal(x, y, colour, koX, koY, b)) {
                    PlayMove(x, y, colour, b, koX, koY);
                    played = true;
                } else {
                    candidates[k] = candidates[--n];
                }
            }
            if (played) {
                ++stats.Moves;
                passes = 0;
                if (onMove != nullptr) onMove(b);
            } else {
                PlayMove(-1, -1, colour, b, koX, koY);
                ++passes;
            }
            colour = -colour;
        }
        ++stats.Games;
    }
    return stats;
}

}  // namespace obrin
