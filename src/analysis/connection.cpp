#include "analysis/connection.h"

#include "board/neighbours.h"
#include "context/context.h"

namespace obrin {
namespace {

// Diagonal steps: the offsets, in the order up-right, down-right, down-left, up-left.
constexpr int DiagonalDX[4] = {1, 1, -1, -1};
constexpr int DiagonalDY[4] = {1, -1, -1, 1};

// May the wave step diagonally from (x, y) by (dx, dy)? Only when one of the two points in
// between is empty and the other is empty or a stone with at most two liberties.
bool DiagonalOpen(const TPositionContext& context, int x, int y, int dx, int dy) {
    const TBoard& board = context.Fields.Spielfeld;
    const TBoard& liberties = context.Container->Freiheitsfeld;
    const int a = PointIndex(x + dx, y), b = PointIndex(x, y + dy);
    const bool aEmpty = board[a] == 0, bEmpty = board[b] == 0;
    if (!aEmpty && !bEmpty) return false;
    if (aEmpty && bEmpty) return true;
    return liberties[aEmpty ? b : a] <= 2;
}

// The points the wave reaches from p in one step, orthogonal first; returns their number.
int Steps(const TPositionContext& context, int p, int (&out)[8]) {
    int n = 0;
    for (int k = 0; k < Neighbours.Count[p]; ++k) out[n++] = Neighbours.Index[p][k];
    const int x = PointColumn(p), y = PointRow(p);
    for (int d = 0; d < 4; ++d) {
        const int gx = x + DiagonalDX[d], gy = y + DiagonalDY[d];
        if (OnBoard(gx, gy) && DiagonalOpen(context, x, y, DiagonalDX[d], DiagonalDY[d]))
            out[n++] = PointIndex(gx, gy);
    }
    return n;
}

// The eight neighbours of p on the board, orthogonal first.
int AllNeighbours(int p, int (&out)[8]) {
    int n = 0;
    for (int k = 0; k < Neighbours.Count[p]; ++k) out[n++] = Neighbours.Index[p][k];
    const int x = PointColumn(p), y = PointRow(p);
    for (int d = 0; d < 4; ++d)
        if (OnBoard(x + DiagonalDX[d], y + DiagonalDY[d]))
            out[n++] = PointIndex(x + DiagonalDX[d], y + DiagonalDY[d]);
    return n;
}

bool AnyTargetLabelled(const TBoard& labels, const TBoard& targets) {
    for (int p = 0; p < PointCount; ++p)
        if (targets[p] == 1 && labels[p] > 0) return true;
    return false;
}

}  // namespace

bool TConnectionSearch::Search(const TPositionContext& context, int chainName, int colour,
                               const TBoard& targets) {
    const TBoard& board = context.Fields.Spielfeld;
    const TBoard& names = context.Fields.Namensfeld;
    m_labels.fill(0);
    ListClear(m_candidates);
    m_route.Count = 0;
    for (int p = 0; p < PointCount; ++p)
        if (board[p] != 0 && names[p] == chainName) m_labels[p] = 1;
    bool reached = AnyTargetLabelled(m_labels, targets);
    for (int k = 1; !reached && k < MaxLabel; ++k) {
        for (int p = 0; p < PointCount; ++p) {
            if (m_labels[p] != k) continue;
            int goals[8];
            const int n = Steps(context, p, goals);
            for (int i = 0; i < n; ++i) {
                const int g = goals[i];
                if (m_labels[g] != 0) continue;
                if (board[g] == 0) {
                    m_labels[g] = k + 1;
                } else if (board[g] == colour) {
                    // The whole chain is reached at once.
                    for (int q = 0; q < PointCount; ++q)
                        if (board[q] == colour && names[q] == names[g]) m_labels[q] = k + 1;
                }
            }
        }
        reached = AnyTargetLabelled(m_labels, targets);
    }
    if (!reached) return false;
    CollectCandidates(context, colour, targets);
    if (m_candidates.Count == 0) return true;
    // The best-rated candidate for the mover: highest territory value for +1, lowest for -1;
    // the first of equals.
    const auto& rating = context.Container->Feldbewertung;
    int best = 0;
    for (int i = 1; i < m_candidates.Count; ++i) {
        const double r = rating[PointIndex(m_candidates[i].X, m_candidates[i].Y)];
        const double b = rating[PointIndex(m_candidates[best].X, m_candidates[best].Y)];
        if (colour == 1 ? r > b : r < b) best = i;
    }
    TraceBack(context, PointIndex(m_candidates[best].X, m_candidates[best].Y));
    return true;
}

// The labelled empty target points and, where a target chain was reached, the labelled empty
// points next to it, in board order. When a target chain was reached only diagonally and has no
// labelled empty neighbour, its labelled stones themselves are the candidates. The start chain
// touching a target gives no candidate: there is no way to go.
void TConnectionSearch::CollectCandidates(const TPositionContext& context, int colour,
                                          const TBoard& targets) {
    const TBoard& board = context.Fields.Spielfeld;
    const auto reachedTargetStone = [&](int q) {
        return targets[q] == 1 && board[q] != 0 && m_labels[q] > 1;
    };
    for (int p = 0; p < PointCount; ++p) {
        if (board[p] != 0 || m_labels[p] == 0) continue;
        bool candidate = targets[p] == 1;
        for (int k = 0; k < Neighbours.Count[p] && !candidate; ++k)
            candidate = reachedTargetStone(Neighbours.Index[p][k]);
        if (candidate) ListPush(m_candidates, PointColumn(p), PointRow(p));
    }
    if (m_candidates.Count > 0) return;
    for (int p = 0; p < PointCount; ++p)
        if (reachedTargetStone(p) && board[p] == colour)
            ListPush(m_candidates, PointColumn(p), PointRow(p));
}

// Walks from the chosen point to a neighbour one label lower (any of the eight, or next to any
// stone of a chain that was labelled as a whole) until the start chain; stops when no
// predecessor exists. Labels fall by one at every step, so the walk is short.
void TConnectionSearch::TraceBack(const TPositionContext& context, int from) {
    const TBoard& board = context.Fields.Spielfeld;
    const TBoard& names = context.Fields.Namensfeld;
    int current = from;
    ListPush(m_route, PointColumn(current), PointRow(current));
    while (m_labels[current] > 1) {
        const int wanted = m_labels[current] - 1;
        int previous = -1;
        const auto lookAround = [&](int p) {
            int around[8];
            const int n = AllNeighbours(p, around);
            for (int i = 0; i < n && previous < 0; ++i)
                if (m_labels[around[i]] == wanted) previous = around[i];
        };
        lookAround(current);
        if (board[current] != 0)
            for (int q = 0; q < PointCount && previous < 0; ++q)
                if (q != current && board[q] == board[current] && names[q] == names[current])
                    lookAround(q);
        if (previous < 0) return;
        current = previous;
        ListPush(m_route, PointColumn(current), PointRow(current));
    }
}

}  // namespace obrin
