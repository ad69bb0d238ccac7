#include "board/chains.h"

#include <cassert>
#include <cstdint>
#include <limits>

#include "board/neighbours.h"

namespace obrin {
namespace {

// Separate boards so that a caller's marks survive the operations it calls.
thread_local TStampMarks tChainMarks;
thread_local TStampMarks tLibertyMarks;

TPoint PointOf(int p) {
    return TPoint{PointColumn(p), PointRow(p)};
}

// Flood fill from start over equal values; writes point indices in list order, returns count.
int ChainIndices(int start, const TBoard& b, int16_t* out) {
    tChainMarks.Begin();
    int16_t stack[PointCount];
    int sp = 0, count = 0;
    const int32_t value = b[start];
    stack[sp++] = static_cast<int16_t>(start);
    tChainMarks.Mark(start);
    while (sp > 0) {
        const int p = stack[--sp];
        out[count++] = static_cast<int16_t>(p);
        for (int k = 0; k < Neighbours.Count[p]; ++k) {
            const int q = Neighbours.Index[p][k];
            if (!tChainMarks.IsMarked(q) && b[q] == value) {
                tChainMarks.Mark(q);
                stack[sp++] = static_cast<int16_t>(q);
            }
        }
    }
    return count;
}

// Answers "does this chain touch an empty point?" for the chains around one move. Each question
// is a flood fill with a stamp of its own; a fill that meets a stone stamped earlier in the same
// move has reached a chain already known to have a liberty (a chain found without one is either
// removed or ends the legality test), so it stops there instead of flooding that chain again.
class TLibertyProbe {
  public:
    void BeginMove() {
        if (m_stamp > std::numeric_limits<uint32_t>::max() - 8) {
            m_marks.fill(0);
            m_stamp = 0;
        }
        m_moveBase = ++m_stamp;
    }
    bool HasLiberty(int start, const TBoard& b) {
        const uint32_t own = ++m_stamp;
        if (m_marks[start] >= m_moveBase) return true;
        int16_t stack[PointCount];
        int sp = 0;
        const int32_t value = b[start];
        stack[sp++] = static_cast<int16_t>(start);
        m_marks[start] = own;
        while (sp > 0) {
            const int p = stack[--sp];
            for (int k = 0; k < Neighbours.Count[p]; ++k) {
                const int q = Neighbours.Index[p][k];
                if (b[q] == 0) return true;
                if (b[q] != value || m_marks[q] == own) continue;
                if (m_marks[q] >= m_moveBase) return true;
                m_marks[q] = own;
                stack[sp++] = static_cast<int16_t>(q);
            }
        }
        return false;
    }

  private:
    std::array<uint32_t, PointCount> m_marks{};
    uint32_t m_stamp = 0;
    uint32_t m_moveBase = 1;
};

thread_local TLibertyProbe tProbe;

int EmptyNeighbourCount(int p, const TBoard& b) {
    int n = 0;
    for (int k = 0; k < Neighbours.Count[p]; ++k) n += b[Neighbours.Index[p][k]] == 0;
    return n;
}

bool HasFriendlyNeighbour(int p, int colour, const TBoard& b) {
    for (int k = 0; k < Neighbours.Count[p]; ++k)
        if (b[Neighbours.Index[p][k]] == colour) return true;
    return false;
}

}  // namespace

int GetChain(int x, int y, const TBoard& b, TPointList& list) {
    int16_t chain[PointCount];
    const int n = ChainIndices(PointIndex(x, y), b, chain);
    list.Count = n;
    for (int i = 0; i < n; ++i) list.Items[i] = PointOf(chain[i]);
    return n;
}

int GetLiberties(int x, int y, const TBoard& b, TPointList& list) {
    int16_t chain[PointCount];
    const int n = ChainIndices(PointIndex(x, y), b, chain);
    tLibertyMarks.Begin();
    list.Count = 0;
    for (int i = n - 1; i >= 0; --i) {
        const int p = chain[i];
        for (int k = 0; k < Neighbours.Count[p]; ++k) {
            const int q = Neighbours.Index[p][k];
            if (b[q] == 0 && !tLibertyMarks.IsMarked(q)) {
                tLibertyMarks.Mark(q);
                list.Items[list.Count++] = PointOf(q);
            }
        }
    }
    return list.Count;
}

bool IsLegal(int x, int y, int colour, int koX, int koY, TBoard& b) {
    if (x == -1 || y == -1) return true;
    if (!OnBoard(x, y)) return false;
    const int p = PointIndex(x, y);
    if (b[p] != 0) return false;
    if (x == koX && y == koY) return false;
    // An empty neighbour is a liberty of the new stone's chain: legal without placing it.
    if (EmptyNeighbourCount(p, b) > 0) return true;
    b[p] = colour;
    tProbe.BeginMove();
    bool legal = tProbe.HasLiberty(p, b);
    for (int k = 0; !legal && k < Neighbours.Count[p]; ++k) {
        const int q = Neighbours.Index[p][k];
        legal = b[q] == -colour && !tProbe.HasLiberty(q, b);
    }
    b[p] = 0;
    return legal;
}

void PlayMove(int x, int y, int colour, TBoard& b, int32_t& koX, int32_t& koY) {
    if (x == -1 || y == -1) {
        koX = koY = -1;
        return;
    }
    assert(OnBoard(x, y));
    const int p = PointIndex(x, y);
    b[p] = colour;
    int singleCaptures = 0, capturedStones = 0;
    tProbe.BeginMove();
    for (int k = 0; k < Neighbours.Count[p]; ++k) {
        const int q = Neighbours.Index[p][k];
        if (b[q] != -colour || tProbe.HasLiberty(q, b)) continue;
        int16_t chain[PointCount];
        const int n = ChainIndices(q, b, chain);
        for (int i = 0; i < n; ++i) b[chain[i]] = 0;
        capturedStones += n;
        if (n == 1) {
            koX = PointColumn(q);
            koY = PointRow(q);
            ++singleCaptures;
        }
    }
    // Simple ko: a lone stone that took exactly one lone stone and is left with that point as
    // its only liberty. With more liberties the retake captures nothing and stays legal.
    const bool isKo = singleCaptures == 1 && capturedStones == 1 &&
                      !HasFriendlyNeighbour(p, colour, b) && EmptyNeighbourCount(p, b) == 1;
    if (!isKo) koX = koY = -1;
}

void ComputeNamensfeld(TBoardFields& fields) {
    const TBoard& b = fields.Spielfeld;
    TBoard visited{};
    int16_t chain[PointCount];
    for (int p = 0; p < PointCount; ++p) {
        if (b[p] == 0) {
            fields.Namensfeld[p] = p;
        } else if (!visited[p]) {
            const int n = ChainIndices(p, b, chain);
            for (int i = 0; i < n; ++i) {
                visited[chain[i]] = 1;
                fields.Namensfeld[chain[i]] = p;
            }
        }
    }
}

void ComputeFreiheitsfeld(const TBoard& b, TBoard& field, const TBoard& spielfeld) {
    field.fill(0);
    TPointList libs;
    int16_t chain[PointCount];
    for (int x = 0; x < BoardSize; ++x)
        for (int y = 0; y < BoardSize; ++y) {
            const int p = PointIndex(x, y);
            if (b[p] == 0 || field[p] != 0) continue;
            const int liberties = GetLiberties(x, y, b, libs);
            const int n = ChainIndices(p, spielfeld, chain);
            for (int i = 0; i < n; ++i) field[chain[i]] = liberties;
        }
}

void NeighbourChains(int x, int y, const TBoard& b, TPointList& list, const TBoard& namensfeld) {
    thread_local TBoard marks;
    marks.fill(0);
    int16_t chain[PointCount];
    const int n = ChainIndices(PointIndex(x, y), b, chain);
    for (int i = 0; i < n; ++i) marks[chain[i]] = 1;
    // On the mark board every point next to the chain is a "liberty", whatever b holds there.
    TPointList adjacent;
    GetLiberties(x, y, marks, adjacent);
    list.Count = 0;
    for (const TPoint& a : adjacent) {
        const int p = PointIndex(a.X, a.Y);
        if (marks[p] != 0) continue;
        list.Items[list.Count++] = PointOf(namensfeld[p]);
        const int m = ChainIndices(p, b, chain);
        for (int i = 0; i < m; ++i) marks[chain[i]] = 2;
    }
}

}  // namespace obrin
