#include "game/endcount.h"

#include "board/chains.h"
#include "board/playouts.h"

namespace obrin {
namespace {

// A colour's stones next to point.
bool Touches(const TBoard& b, int point, int colour) {
    for (int d = 0; d < 4; ++d) {
        const int x = PointColumn(point) + NeighbourDX[d], y = PointRow(point) + NeighbourDY[d];
        if (OnBoard(x, y) && b[PointIndex(x, y)] == colour) return true;
    }
    return false;
}

// A chain whose mean ownership (+1: always its own, -1: always the opponent's) stays below this
// is dead: the opponent takes its points in nearly half the playouts or more. Over the final
// positions of the teacher games a limit of 0.1 instead of 0 finds 37 more of the teacher's dead
// stones and calls 7 more of its living ones dead.
constexpr double DeadBelow = 0.1;

// Chain by chain: the chain dies when its points are mostly the opponent's over the playouts,
// unless it is pass-alive.
TBoard DeadFromOwnership(const TBoard& position, const TOwnership& o) {
    const TBoard passAlive = PassAliveStones(position);
    TBoard dead{}, seen{};
    TPointList chain;
    for (int p = 0; p < PointCount; ++p) {
        if (position[p] == 0 || seen[p] != 0) continue;
        GetChain(PointColumn(p), PointRow(p), position, chain);
        double own = 0.0;
        for (const TPoint& c : chain) {
            const int q = PointIndex(c.X, c.Y);
            seen[q] = 1;
            own += o.Owner[q] * position[q];
        }
        if (own >= DeadBelow * chain.Count || passAlive[p] != 0) continue;
        for (const TPoint& c : chain) dead[PointIndex(c.X, c.Y)] = position[p];
    }
    return dead;
}

// May colour fill point without being left in atari (or capture something when it is)?
bool CanApproach(const TBoard& living, int point, int colour) {
    TBoard b = living;
    const int x = PointColumn(point), y = PointRow(point);
    if (!IsLegal(x, y, colour, -1, -1, b)) return false;
    int opponents = 0;
    for (const int32_t v : b) opponents += v == -colour;
    int32_t koX = -1, koY = -1;
    PlayMove(x, y, colour, b, koX, koY);
    for (const int32_t v : b) opponents -= v == -colour;
    if (opponents > 0) return true;
    TPointList liberties;
    return GetLiberties(x, y, b, liberties) >= 2;
}

void MarkChain(const TBoard& b, int point, TBoard& marks) {
    TPointList chain;
    GetChain(PointColumn(point), PointRow(point), b, chain);
    for (const TPoint& c : chain) marks[PointIndex(c.X, c.Y)] = b[point];
}

// Chains of a seki colour that share an eye (an empty point only that colour touches) with a
// chain in seki live with it.
void SpreadSekiThroughEyes(const TBoard& living, TBoard& seki) {
    for (bool changed = true; changed;) {
        changed = false;
        for (int e = 0; e < PointCount; ++e) {
            if (living[e] != 0) continue;
            for (const int colour : {1, -1}) {
                if (Touches(living, e, -colour) || !Touches(seki, e, colour)) continue;
                for (int d = 0; d < 4; ++d) {
                    const int x = PointColumn(e) + NeighbourDX[d], y = PointRow(e) + NeighbourDY[d];
                    if (!OnBoard(x, y)) continue;
                    const int n = PointIndex(x, y);
                    if (living[n] != colour || seki[n] != 0) continue;
                    MarkChain(living, n, seki);
                    changed = true;
                }
            }
        }
    }
}

void FindSekiWith(const TBoard& living, const TOwnership& o, TBoard& seki, TBoard& neutral) {
    for (int l = 0; l < PointCount; ++l) {
        if (living[l] != 0 || !Touches(living, l, 1) || !Touches(living, l, -1)) continue;
        if (o.Shared[l] < 0.5) continue;  // the playouts fill it: a race, not a seki
        if (CanApproach(living, l, 1) || CanApproach(living, l, -1)) continue;
        neutral[l] = 1;
        for (int d = 0; d < 4; ++d) {
            const int x = PointColumn(l) + NeighbourDX[d], y = PointRow(l) + NeighbourDY[d];
            if (OnBoard(x, y) && living[PointIndex(x, y)] != 0)
                MarkChain(living, PointIndex(x, y), seki);
        }
    }
    SpreadSekiThroughEyes(living, seki);
}

}  // namespace

TBoard DeadStones(const TBoard& position, int playouts) {
    return DeadFromOwnership(position, PlayOut(position, playouts, EndCountSeed));
}

void FindSeki(const TBoard& living, TBoard& seki, TBoard& neutral, int playouts) {
    FindSekiWith(living, PlayOut(living, playouts, EndCountSeed), seki, neutral);
}

TEndVerdict JudgeFinalPosition(const TBoard& position, int playouts) {
    const TOwnership o = PlayOut(position, playouts, EndCountSeed);
    TEndVerdict v;
    v.Dead = DeadFromOwnership(position, o);
    TBoard living = position;
    for (int p = 0; p < PointCount; ++p)
        if (v.Dead[p] != 0) living[p] = 0;
    FindSekiWith(living, o, v.Seki, v.Neutral);
    return v;
}

}  // namespace obrin
