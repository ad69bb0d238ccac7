#include "tools/randomgames.h"

#include <utility>

#include "board/chains.h"

namespace obrin {
namespace {

constexpr int kMaxMovesPerGame = 1000;

// A small, fast generator (xorshift64*), so the benchmark measures the board and not the dice.
class TFastRandom {
  public:
    explicit TFastRandom(uint64_t seed) : m_state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    // Uniform enough in 0 .. n-1 for picking moves.
    int Below(int n) {
        m_state ^= m_state >> 12;
        m_state ^= m_state << 25;
        m_state ^= m_state >> 27;
        const uint64_t r = (m_state * 0x2545F4914F6CDD1Dull) >> 32;
        return static_cast<int>((r * static_cast<uint64_t>(n)) >> 32);
    }

  private:
    uint64_t m_state;
};

bool IsOwnEye(const TBoard& b, int x, int y, int colour) {
    for (int d = 0; d < 4; ++d) {
        const int nx = x + NeighbourDX[d], ny = y + NeighbourDY[d];
        if (OnBoard(nx, ny) && b[PointIndex(nx, ny)] != colour) return false;
    }
    return true;
}

// The empty points of a game, kept up to date move by move; rebuilt only after captures.
class TEmptyPoints {
  public:
    void Rebuild(const TBoard& b) {
        m_count = 0;
        for (int p = 0; p < PointCount; ++p)
            if (b[p] == 0) m_points[m_count++] = p;
    }
    [[nodiscard]] int Count() const { return m_count; }
    [[nodiscard]] int At(int k) const { return m_points[k]; }
    void Swap(int i, int j) { std::swap(m_points[i], m_points[j]); }
    void RemoveAt(int k) { m_points[k] = m_points[--m_count]; }
    void Add(int p) { m_points[m_count++] = p; }
    // Is p among the points from position `from` on?
    [[nodiscard]] bool Contains(int p, int from) const {
        for (int k = from; k < m_count; ++k)
            if (m_points[k] == p) return true;
        return false;
    }

  private:
    int m_points[PointCount];
    int m_count = 0;
};

// Adds the points of the stones the move at (x, y) took. A captured chain had no liberty but the
// move's point, so on the new board each one is an empty region of its own.
void AddCapturedPoints(const TBoard& b, int x, int y, const int32_t (&neighbourValues)[4],
                       TEmptyPoints& empties) {
    const int before = empties.Count();
    TPointList region;
    for (int d = 0; d < 4; ++d) {
        const int nx = x + NeighbourDX[d], ny = y + NeighbourDY[d];
        if (neighbourValues[d] == 0 || GetPoint(b, nx, ny) != 0) continue;
        if (empties.Contains(PointIndex(nx, ny), before)) continue;  // two sides of one chain
        GetChain(nx, ny, b, region);
        for (const TPoint& q : region) empties.Add(PointIndex(q.X, q.Y));
    }
}

}  // namespace

TRandomGameStats PlayRandomGames(int games, uint32_t seed, void (*onMove)(const TBoard&)) {
    TFastRandom rng(seed);
    TRandomGameStats stats;
    TEmptyPoints empties;
    for (int g = 0; g < games; ++g) {
        TBoard b{};
        int32_t koX = -1, koY = -1;
        int colour = 1, passes = 0;
        empties.Rebuild(b);
        for (int m = 0; m < kMaxMovesPerGame && passes < 2; ++m) {
            // Draw untried empty points until one is legal; tried ones move behind "untried".
            int untried = empties.Count();
            bool played = false;
            while (untried > 0 && !played) {
                const int k = rng.Below(untried);
                const int p = empties.At(k);
                const int x = PointColumn(p), y = PointRow(p);
                ++stats.LegalityTests;
                if (!IsOwnEye(b, x, y, colour) && IsLegal(x, y, colour, koX, koY, b)) {
                    const int32_t neighbourValues[4] = {
                        GetPoint(b, x, y + 1), GetPoint(b, x + 1, y), GetPoint(b, x, y - 1),
                        GetPoint(b, x - 1, y)};
                    PlayMove(x, y, colour, b, koX, koY);
                    empties.RemoveAt(k);
                    AddCapturedPoints(b, x, y, neighbourValues, empties);
                    played = true;
                } else {
                    empties.Swap(k, --untried);
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
