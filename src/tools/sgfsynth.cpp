#include "tools/sgfsynth.h"

#include <random>

#include "board/chains.h"

namespace obrin {
namespace {

const char* const kNames[] = {"hikaru", "sai", "touya", "waya", "isumi", "ochi", "nase", "kaga"};
const char* const kRanks[] = {"13k", "5k", "1d", "3d", "2k", "8k", "4d", "1k"};

bool IsOwnEye(const TBoard& b, int x, int y, int colour) {
    for (int d = 0; d < 4; ++d) {
        const int nx = x + NeighbourDX[d], ny = y + NeighbourDY[d];
        if (OnBoard(nx, ny) && b[PointIndex(nx, ny)] != colour) return false;
    }
    return true;
}

// A random legal move for colour, or the pass.
TPoint RandomMove(std::mt19937& rng, TBoard& b, int colour, int koX, int koY, bool fillEyes) {
    int candidates[PointCount];
    int n = 0;
    for (int p = 0; p < PointCount; ++p)
        if (b[p] == 0) candidates[n++] = p;
    while (n > 0) {
        const int k = static_cast<int>(rng() % static_cast<uint32_t>(n));
        const int x = PointColumn(candidates[k]), y = PointRow(candidates[k]);
        if ((fillEyes || !IsOwnEye(b, x, y, colour)) && IsLegal(x, y, colour, koX, koY, b))
            return {x, y};
        candidates[k] = candidates[--n];
    }
    return PassPoint;
}

std::string Header(std::mt19937& rng) {
    const auto pick = [&rng](const char* const* list) { return std::string(list[rng() % 8]); };
    std::string h =
        "(;GM[1]FF[4]CA[UTF-8]AP[CGoban:3]ST[2]\nRU[Japanese]SZ[19]KM[6.50]TM[300]OT[5x30 "
        "byo-yomi]\n";
    h += "PW[" + pick(kNames) + "]PB[" + pick(kNames) + "]WR[" + pick(kRanks) + "]BR[" +
         pick(kRanks) + "]";
    h += "DT[2011-0" + std::to_string(1 + rng() % 9) + "-1" + std::to_string(rng() % 10) + "]";
    h += "PC[The Go Server]RE[" +
         std::string(rng() % 2 ? "B+Resign" : "W+" + std::to_string(rng() % 30) + ".5") + "]";
    return h;
}

}  // namespace

TSyntheticGame SyntheticGame(uint32_t seed, int moves, bool nest, bool fillEyes) {
    std::mt19937 rng(seed);
    TSyntheticGame game;
    game.Sgf = Header(rng);
    int32_t koX = -1, koY = -1;
    int colour = 1, passes = 0, closing = 0;
    for (int m = 0; m < moves && passes < 2; ++m) {
        const TPoint p = RandomMove(rng, game.Final, colour, koX, koY, fillEyes);
        PlayMove(p.X, p.Y, colour, game.Final, koX, koY);
        passes = OnBoard(p.X, p.Y) ? 0 : passes + 1;
        if (nest) {
            game.Sgf += '(';
            ++closing;
        }
        game.Sgf += colour == 1 ? ";B[" : ";W[";
        if (OnBoard(p.X, p.Y)) {
            game.Sgf += static_cast<char>('a' + p.X);
            game.Sgf += static_cast<char>('s' - p.Y);
        }
        game.Sgf += ']';
        if (rng() % 40 == 0)
            game.Sgf += "C[" + std::string(kNames[rng() % 8]) + " [" + kRanks[rng() % 8] +
                        "\\]: gg \\\\o/]";
        if (m % 12 == 11) game.Sgf += '\n';
        ++game.Moves;
        colour = -colour;
    }
    game.Sgf.append(static_cast<size_t>(closing), ')');
    game.Sgf += ")\n";
    return game;
}

std::string SyntheticCollection(int games, uint32_t seed) {
    std::mt19937 rng(seed);
    std::string text;
    for (int g = 0; g < games; ++g) {
        const int moves = 50 + static_cast<int>(rng() % 100) + static_cast<int>(rng() % 100) +
                          static_cast<int>(rng() % 51);
        text += SyntheticGame(rng(), moves).Sgf;
    }
    return text;
}

}  // namespace obrin
