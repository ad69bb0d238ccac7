#include "board/board.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace obrin {

std::string PointText(int x, int y) {
    if (!OnBoard(x, y)) return "---";
    return std::string(1, ColumnLetters[x]) + std::to_string(y + 1);
}

int ColumnOfText(std::string_view text) {
    if (text.empty()) return -1;
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    const auto pos = ColumnLetters.find(c);
    return pos == std::string_view::npos ? -1 : static_cast<int>(pos);
}

int RowOfText(std::string_view text) {
    if (text.size() < 2) throw std::invalid_argument("'' is not a valid integer value");
    const std::string rest(text.substr(1));
    size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(rest, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != rest.size() || std::isspace(static_cast<unsigned char>(rest[0])))
        throw std::invalid_argument("'" + rest + "' is not a valid integer value");
    return value - 1;
}

void ClearBoard(TBoard& b) {
    b.fill(0);
}

bool BoardIsEmpty(const TBoard& b) {
    return std::all_of(b.begin(), b.end(), [](int32_t v) { return v == 0; });
}

int GetPoint(const TBoard& b, int x, int y) {
    return OnBoard(x, y) ? b[PointIndex(x, y)] : 0;
}

void SetPoint(TBoard& b, int x, int y, int value) {
    if (OnBoard(x, y)) b[PointIndex(x, y)] = value;
}

void NegateBoard(TBoard& b) {
    for (auto& v : b) v = -v;
}

void RotateBoard(TBoard& b) {
    const TBoard old = b;
    for (int y = 0; y < BoardSize; ++y)
        for (int x = 0; x < BoardSize; ++x)
            b[PointIndex(BoardSize - 1 - y, x)] = old[PointIndex(x, y)];
}

TNeighbourhoodCount CountNeighbourhood(const TBoard& b, int x, int y) {
    TNeighbourhoodCount n;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int px = x + dx, py = y + dy;
            if (!OnBoard(px, py))
                ++n.Off;
            else if (const int v = b[PointIndex(px, py)]; v == 1)
                ++n.Plus;
            else if (v == -1)
                ++n.Minus;
            else if (v == 0)
                ++n.Empty;
        }
    return n;
}

int EmptyNeighbours(int x, int y, const TBoard& b) {
    if (!OnBoard(x, y) || b[PointIndex(x, y)] != 0) return 0;
    int count = 0;
    for (int d = 0; d < 4; ++d) {
        const int nx = x + NeighbourDX[d], ny = y + NeighbourDY[d];
        if (OnBoard(nx, ny) && b[PointIndex(nx, ny)] == 0) ++count;
    }
    return count;
}

TStoneDelta StoneCountDelta(const TBoard& before, const TBoard& after) {
    TStoneDelta d;
    for (int i = 0; i < PointCount; ++i) {
        d.DPlus += (after[i] > 0) - (before[i] > 0);
        d.DMinus += (after[i] < 0) - (before[i] < 0);
    }
    return d;
}

namespace {

// One colour's half of SpreadInfluence: Sign is +1 or -1. The accumulator is never reset
// between rounds, so its values keep growing.
void SpreadOneSide(int sign, const TBoard& source, TBoard& acc, int rounds) {
    acc.fill(0);
    TBoard work = source;
    for (int r = 0; r < rounds; ++r) {
        for (int p = 0; p < PointCount; ++p) {
            if (work[p] * sign <= 0) continue;
            acc[p] += sign;
            const int x = PointColumn(p), y = PointRow(p);
            for (int d = 0; d < 4; ++d) {
                const int nx = x + NeighbourDX[d], ny = y + NeighbourDY[d];
                if (OnBoard(nx, ny) && source[PointIndex(nx, ny)] * sign >= 0)
                    acc[PointIndex(nx, ny)] += sign;
            }
        }
        work = acc;
    }
}

int Sign(int v) {
    return (v > 0) - (v < 0);
}

}  // namespace

void SpreadInfluence(const TBoard& source, TBoard& result, int rounds) {
    TBoard plus, minus;
    SpreadOneSide(+1, source, plus, rounds);
    SpreadOneSide(-1, source, minus, rounds);
    for (int p = 0; p < PointCount; ++p) result[p] = plus[p] + minus[p];
}

void SpreadColour(int colour, const TBoard& source, TBoard& result, int rounds) {
    TBoard a = source, b = source;
    for (int r = 0; r < rounds; ++r) {
        for (int p = 0; p < PointCount; ++p) {
            if (Sign(a[p]) != colour) continue;
            b[p] += colour;
            const int x = PointColumn(p), y = PointRow(p);
            for (int d = 0; d < 4; ++d) {
                const int nx = x + NeighbourDX[d], ny = y + NeighbourDY[d];
                if (OnBoard(nx, ny) && source[PointIndex(nx, ny)] == 0)
                    b[PointIndex(nx, ny)] += colour;
            }
        }
        a = b;
    }
    result = a;
}

TBoard MakeMinAbstand() {
    TBoard m{};
    for (int y = 0; y < BoardSize; ++y)
        for (int x = 0; x < BoardSize; ++x)
            m[PointIndex(x, y)] =
                std::min(std::min(x, BoardSize - 1 - x), std::min(y, BoardSize - 1 - y));
    return m;
}

}  // namespace obrin
