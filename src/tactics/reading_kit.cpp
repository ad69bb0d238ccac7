#include "tactics/reading_kit.h"

#include "board/chains.h"

namespace obrin::reading {
namespace {

thread_local TStampMarks tChainMarks;
thread_local TStampMarks tLibertyMarks;

}  // namespace

int LibertiesUpTo(const TBoard& b, int p, int limit, int16_t* found) {
    tChainMarks.Begin();
    tLibertyMarks.Begin();
    int16_t stack[PointCount];
    int sp = 0, count = 0;
    const int32_t value = b[p];
    stack[sp++] = static_cast<int16_t>(p);
    tChainMarks.Mark(p);
    while (sp > 0) {
        const int q = stack[--sp];
        for (int k = 0; k < Neighbours.Count[q]; ++k) {
            const int n = Neighbours.Index[q][k];
            if (b[n] == 0 && !tLibertyMarks.IsMarked(n)) {
                tLibertyMarks.Mark(n);
                if (found != nullptr) found[count] = static_cast<int16_t>(n);
                if (++count > limit) return count;
            }
            if (b[n] == value && !tChainMarks.IsMarked(n)) {
                tChainMarks.Mark(n);
                stack[sp++] = static_cast<int16_t>(n);
            }
        }
    }
    return count;
}

int SoleLiberty(const TBoard& b, int p) {
    int16_t found[2];
    return LibertiesUpTo(b, p, 1, found) == 1 ? found[0] : -1;
}

bool IsLegalOn(const TBoard& b, int x, int y, int colour, int koX, int koY) {
    if (x == -1 || y == -1) return true;
    if (!OnBoard(x, y)) return false;
    const int p = PointIndex(x, y);
    if (b[p] != 0 || (x == koX && y == koY)) return false;
    for (int k = 0; k < Neighbours.Count[p]; ++k) {
        const int q = Neighbours.Index[p][k];
        // p itself is one liberty of every neighbouring chain: a friendly chain needs one more,
        // an enemy chain with p as its last liberty is captured.
        if (b[q] == 0 || (b[q] == colour && LibertiesUpTo(b, q, 1) > 1) ||
            (b[q] == -colour && LibertiesUpTo(b, q, 1) == 1))
            return true;
    }
    return false;
}

void AdjacentPoints(const TBoard& b, int x, int y, TPointList& list) {
    // The chain in flood-fill order, then its outside neighbours from the last stone to the first.
    thread_local TPointList chain;
    const int n = GetChain(x, y, b, chain);
    const int32_t value = b[PointIndex(x, y)];
    tLibertyMarks.Begin();
    list.Count = 0;
    for (int i = n - 1; i >= 0; --i) {
        const int p = PointIndex(chain[i].X, chain[i].Y);
        for (int k = 0; k < Neighbours.Count[p]; ++k) {
            const int q = Neighbours.Index[p][k];
            if (b[q] != value && !tLibertyMarks.IsMarked(q)) {
                tLibertyMarks.Mark(q);
                list.Items[list.Count++] = TPoint{PointColumn(q), PointRow(q)};
            }
        }
    }
}

}  // namespace obrin::reading
