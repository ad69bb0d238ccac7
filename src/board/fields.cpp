#include "board/fields.h"

#include <cstdlib>

#include "board/chains.h"

namespace obrin {

TFeldstaerkeLiberties FeldstaerkeLiberties(int x, int y, const TBoard& b,
                                           const TBoardFields& fields) {
    const TBoard& f = fields.Feldstaerkefeld;
    const int colour = b[PointIndex(x, y)];
    TPointList libs;
    GetLiberties(x, y, b, libs);
    TFeldstaerkeLiberties r;
    int top[5] = {0, 0, 0, 0, 0};
    for (const TPoint& lib : libs) {
        const int v = f[PointIndex(lib.X, lib.Y)];
        if (colour > 0 && v > 0) r.Sum += v;
        if (colour < 0 && v < 0) r.Sum -= v;
        const int ranked = colour < 0 ? -v : v;
        for (int place = 0; place < 5; ++place) {
            if (ranked > top[place]) {
                for (int k = 4; k > place; --k) top[k] = top[k - 1];
                top[place] = ranked;
                break;
            }
        }
    }
    r.Fourth = top[3];
    r.Fifth = top[4];
    return r;
}

int SicherSum(int x, int y, const TBoardFields& fields, const TFieldContainer& fc) {
    const TBoard& b = fields.Spielfeld;
    const TBoard& sure = b[PointIndex(x, y)] == 1 ? fc.NNSSicher : fc.NNWSicher;
    TPointList chain;
    GetChain(x, y, b, chain);
    int sum = 0;
    for (const TPoint& p : chain) sum += sure[PointIndex(p.X, p.Y)];
    return sum;
}

TGradients FeldstaerkeGradients(int x, int y, const TBoardFields& fields) {
    const TBoard& f = fields.Feldstaerkefeld;
    const int here = f[PointIndex(x, y)];
    int g[4] = {0, 0, 0, 0};
    for (int d = 0; d < 4; ++d) {
        const int nx = x + NeighbourDX[d], ny = y + NeighbourDY[d];
        if (OnBoard(nx, ny)) g[d] = std::abs(f[PointIndex(nx, ny)] - here);
    }
    return TGradients{g[0], g[1], g[2], g[3]};
}

}  // namespace obrin
