#include "tools/klassidata.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "board/chains.h"
#include "board/errors.h"

namespace obrin {
namespace {

[[noreturn]] void Fail(const std::string& file, int line, const std::string& what) {
    throw EObrinError(file + ":" + std::to_string(line) + ": " + what);
}

TPoint ParseVertex(const std::string& text, const std::string& file, int line) {
    if (text == "pass") return PassPoint;
    TPoint p{-1, -1};
    try {
        p = {ColumnOfText(text), RowOfText(text)};
    } catch (const std::exception&) {
    }
    if (!OnBoard(p.X, p.Y)) Fail(file, line, "bad point \"" + text + "\"");
    return p;
}

std::vector<TPoint> ParseVertices(std::istringstream& in, const std::string& file, int line) {
    std::vector<TPoint> points;
    for (std::string w; in >> w;) points.push_back(ParseVertex(w, file, line));
    return points;
}

int Chebyshev(TPoint a, TPoint b) {
    return std::max(std::abs(a.X - b.X), std::abs(a.Y - b.Y));
}

// Distance of a coordinate to its nearer edge.
int EdgeDistance(int v) {
    return std::min(v, BoardSize - 1 - v);
}
// Points in the same corner region (within 7 lines of both edges of one corner).
bool SameCorner(TPoint a, TPoint b) {
    return (a.X < 9) == (b.X < 9) && (a.Y < 9) == (b.Y < 9) && a.X != 9 && a.Y != 9 && b.X != 9 &&
           b.Y != 9;
}
bool InCornerRegion(TPoint p) {
    return EdgeDistance(p.X) <= 6 && EdgeDistance(p.Y) <= 6;
}

// The stones in p's corner region.
std::vector<TPoint> CornerStones(const TBoard& b, TPoint p) {
    std::vector<TPoint> stones;
    for (int i = 0; i < PointCount; ++i) {
        const TPoint q{PointColumn(i), PointRow(i)};
        if (b[i] != 0 && InCornerRegion(q) && SameCorner(p, q)) stones.push_back(q);
    }
    return stones;
}

bool IsCornerPoint(TPoint p) {
    const int u = EdgeDistance(p.X), v = EdgeDistance(p.Y);
    return (u == 2 || u == 3) && (v == 2 || v == 3);
}

// A shimari: p on the 3rd or 4th line, farther from the corner than the lone corner stone s,
// two or three lines along one side from it and at most one line across.
bool IsShimariPoint(TPoint p, TPoint s) {
    const int du = std::abs(EdgeDistance(p.X) - EdgeDistance(s.X)),
              dv = std::abs(EdgeDistance(p.Y) - EdgeDistance(s.Y));
    const int near = std::min(EdgeDistance(p.X), EdgeDistance(p.Y));
    const bool along = (du <= 1 && (dv == 2 || dv == 3)) || (dv <= 1 && (du == 2 || du == 3));
    return (near == 2 || near == 3) && along &&
           EdgeDistance(p.X) + EdgeDistance(p.Y) > EdgeDistance(s.X) + EdgeDistance(s.Y);
}

// An eye of colour c: every orthogonal neighbour is c, and at most one diagonal is the
// opponent's in the middle of the board, none on the edge.
bool IsEye(const TBoard& b, TPoint p, int c) {
    if (b[PointIndex(p.X, p.Y)] != 0) return false;
    for (int d = 0; d < 4; ++d) {
        const int nx = p.X + NeighbourDX[d], ny = p.Y + NeighbourDY[d];
        if (OnBoard(nx, ny) && b[PointIndex(nx, ny)] != c) return false;
    }
    int bad = 0;
    bool edge = false;
    for (const int dx : {-1, 1})
        for (const int dy : {-1, 1}) {
            if (!OnBoard(p.X + dx, p.Y + dy))
                edge = true;
            else if (b[PointIndex(p.X + dx, p.Y + dy)] == -c)
                ++bad;
        }
    return bad + (edge ? 1 : 0) < 2;
}

}  // namespace

TBoard Survivors(const TTeacherGame& game, int from) {
    TBoard b = PositionAfter(game, from);
    TBoard alive{};
    for (int i = 0; i < PointCount; ++i) alive[i] = b[i] != 0;
    int32_t koX = -1, koY = -1;
    for (size_t m = from; m < game.Moves.size(); ++m) {
        const TTeacherMove& move = game.Moves[m];
        if (move.Point == PassPoint) continue;
        PlayMove(move.Point.X, move.Point.Y, move.Colour, b, koX, koY);
        for (int i = 0; i < PointCount; ++i)
            if (b[i] == 0) alive[i] = 0;
    }
    for (const TPoint p : game.Verdicts.back().Dead) alive[PointIndex(p.X, p.Y)] = 0;
    return alive;
}

std::vector<TTeacherGame> ParseTeacherGames(const std::string& text, const std::string& file) {
    std::vector<TTeacherGame> games;
    std::istringstream lines(text);
    TTeacherGame* game = nullptr;
    TTeacherVerdict* verdict = nullptr;
    int lineNo = 0;
    for (std::string line; std::getline(lines, line);) {
        ++lineNo;
        std::istringstream in(line);
        std::string key;
        if (!(in >> key)) continue;
        if (key == "game") {
            games.emplace_back();
            game = &games.back();
            verdict = nullptr;
            if (!(in >> game->Id)) Fail(file, lineNo, "game number expected");
        } else if (!game) {
            Fail(file, lineNo, "\"game\" expected");
        } else if (key == "moves") {
            int colour = 1;
            for (std::string w; in >> w;) {
                if (w.size() < 3 || (w[0] != 'B' && w[0] != 'W') || w[1] != ':')
                    Fail(file, lineNo, "bad move " + w);
                colour = w[0] == 'B' ? 1 : -1;
                game->Moves.push_back({ParseVertex(w.substr(2), file, lineNo), colour});
            }
        } else if (key == "position" || key == "final") {
            game->Verdicts.emplace_back();
            verdict = &game->Verdicts.back();
            verdict->Final = key == "final";
            if (!(in >> verdict->MoveNumber) || verdict->MoveNumber < 0 ||
                verdict->MoveNumber > static_cast<int>(game->Moves.size()))
                Fail(file, lineNo, "bad move number");
        } else if (key == "dead" || key == "seki" || key == "critical" || key == "dragon") {
            if (!verdict) Fail(file, lineNo, "\"position\" expected");
            auto points = ParseVertices(in, file, lineNo);
            if (key == "dead") verdict->Dead = std::move(points);
            if (key == "seki") verdict->Seki = std::move(points);
            if (key == "critical") {
                verdict->Critical = std::move(points);
                verdict->FromDragons = true;
            }
            if (key == "dragon") verdict->Dragons.push_back(std::move(points));
        } else if (key == "end") {
            verdict = nullptr;
        } else if (key == "endgame") {
            if (game->Verdicts.empty() || !game->Verdicts.back().Final)
                Fail(file, lineNo, "final verdict missing");
            game = nullptr;
        } else {
            Fail(file, lineNo, "unknown record \"" + key + "\"");
        }
    }
    if (game) Fail(file, lineNo, "\"endgame\" missing");
    return games;
}

std::vector<TTeacherGame> ReadTeacherGameFiles(const std::string& fileNames) {
    std::vector<TTeacherGame> games;
    size_t start = 0;
    while (start < fileNames.size()) {
        const size_t comma = std::min(fileNames.find(',', start), fileNames.size());
        for (auto& g : ReadTeacherGames(fileNames.substr(start, comma - start)))
            games.push_back(std::move(g));
        start = comma + 1;
    }
    return games;
}

std::vector<TTeacherGame> ReadTeacherGames(const std::string& fileName) {
    std::ifstream in(fileName);
    if (!in) throw EObrinError(fileName + ": cannot open the file");
    std::stringstream text;
    text << in.rdbuf();
    return ParseTeacherGames(text.str(), fileName);
}

TBoard PositionAfter(const TTeacherGame& game, int n) {
    TBoard b{};
    int32_t koX = -1, koY = -1;
    for (int i = 0; i < n && i < static_cast<int>(game.Moves.size()); ++i) {
        const TTeacherMove& m = game.Moves[i];
        if (m.Point == PassPoint)
            koX = koY = -1;
        else
            PlayMove(m.Point.X, m.Point.Y, m.Colour, b, koX, koY);
    }
    return b;
}

TBoard FinalArea(const TTeacherGame& game) {
    TBoard b = PositionAfter(game, static_cast<int>(game.Moves.size()));
    for (const TPoint p : game.Verdicts.back().Dead) b[PointIndex(p.X, p.Y)] = 0;
    TBoard area = b;
    TPointList region;
    TBoard seen{};
    for (int i = 0; i < PointCount; ++i) {
        if (b[i] != 0 || seen[i]) continue;
        const int n = GetChain(PointColumn(i), PointRow(i), b, region);
        int border = 0;  // bit 1: touches +1, bit 2: touches -1
        for (int k = 0; k < n; ++k) {
            const TPoint p = region[k];
            seen[PointIndex(p.X, p.Y)] = 1;
            for (int d = 0; d < 4; ++d) {
                const int v = GetPoint(b, p.X + NeighbourDX[d], p.Y + NeighbourDY[d]);
                if (OnBoard(p.X + NeighbourDX[d], p.Y + NeighbourDY[d]))
                    border |= v > 0 ? 1 : v < 0 ? 2 : 0;
            }
        }
        const int owner = border == 1 ? 1 : border == 2 ? -1 : 0;
        for (int k = 0; k < n; ++k) area[PointIndex(region[k].X, region[k].Y)] = owner;
    }
    return area;
}

std::array<TPointLabels, PointCount> LabelPosition(const TTeacherGame& game,
                                                   const TTeacherVerdict& verdict,
                                                   TSureLabels sureLabels) {
    TBoardFields f;
    f.Spielfeld = PositionAfter(game, verdict.MoveNumber);
    ComputeNamensfeld(f);
    const TBoard& b = f.Spielfeld;
    const TBoard area = FinalArea(game);
    const TBoard finalBoard = PositionAfter(game, static_cast<int>(game.Moves.size()));
    TBoard dead{};
    for (const TPoint p : verdict.Dead) dead[PointIndex(p.X, p.Y)] = 1;
    TBoard critical{};
    for (const TPoint p : verdict.Critical) critical[PointIndex(p.X, p.Y)] = 1;
    if (verdict.FromDragons && sureLabels == TSureLabels::Survival) {
        // dragon_status judges the stones without playing on; what happened to them is the better
        // witness: a stone is sure when it stays on the board to the end and lives there.
        dead = Survivors(game, verdict.MoveNumber);
        for (auto& v : dead) v = !v;
        critical = {};
    }

    // Who plays first on each empty point in the rest of the game, and whether that stone lives.
    TBoard firstMover{};
    for (size_t i = verdict.MoveNumber; i < game.Moves.size(); ++i) {
        const TTeacherMove& m = game.Moves[i];
        if (m.Point == PassPoint) continue;
        const int at = PointIndex(m.Point.X, m.Point.Y);
        if (firstMover[at] == 0 && b[at] == 0) firstMover[at] = m.Colour;
    }
    // Shared fate: stones of a dragon with several chains, and empty points joining two of its
    // chains.
    TBoard dragonOf{};
    std::vector<int> chainsInDragon(verdict.Dragons.size() + 1, 0);
    for (size_t d = 0; d < verdict.Dragons.size(); ++d) {
        std::vector<int> names;
        for (const TPoint p : verdict.Dragons[d]) {
            const int at = PointIndex(p.X, p.Y);
            if (b[at] == 0) continue;
            dragonOf[at] = static_cast<int>(d) + 1;
            names.push_back(f.Namensfeld[at]);
        }
        std::sort(names.begin(), names.end());
        chainsInDragon[d + 1] =
            static_cast<int>(std::unique(names.begin(), names.end()) - names.begin());
    }
    // The local answer: the next move, when it is near the opponent's last move.
    TPoint answer = PassPoint;
    int answerColour = 0;
    const int n = verdict.MoveNumber;
    if (n >= 1 && n < static_cast<int>(game.Moves.size())) {
        const TTeacherMove& last = game.Moves[n - 1];
        const TTeacherMove& next = game.Moves[n];
        if (last.Point != PassPoint && next.Point != PassPoint &&
            Chebyshev(last.Point, next.Point) <= 2) {
            answer = next.Point;
            answerColour = next.Colour;
        }
    }

    std::array<TPointLabels, PointCount> labels{};
    for (int i = 0; i < PointCount; ++i) {
        const TPoint p{PointColumn(i), PointRow(i)};
        TPointLabels& l = labels[i];
        const int v = b[i];
        l[0] = v != 0;
        l[1] = v > 0 ? 1.0 : v < 0 ? 0.0 : 0.5;
        for (int side = 0; side < 2; ++side) {
            const int c = side == 0 ? 1 : -1;
            if (v == 0 && firstMover[i] == c && area[i] == c) {
                bool open = true;  // no stone within two lines
                for (int dx = -2; dx <= 2; ++dx)
                    for (int dy = -2; dy <= 2; ++dy)
                        open = open && GetPoint(b, p.X + dx, p.Y + dy) == 0;
                bool sealsOff = false;  // borders territory of c at the end
                for (int d = 0; d < 4; ++d) {
                    const int nx = p.X + NeighbourDX[d], ny = p.Y + NeighbourDY[d];
                    sealsOff = sealsOff || (OnBoard(nx, ny) && area[PointIndex(nx, ny)] == c &&
                                            finalBoard[PointIndex(nx, ny)] == 0);
                }
                l[2 + side] = open;
                l[4 + side] = !open && sealsOff;
            }
            if (v == 0 && InCornerRegion(p)) {
                const std::vector<TPoint> stones = CornerStones(b, p);
                if (stones.size() == 1 && b[PointIndex(stones[0].X, stones[0].Y)] == c &&
                    IsCornerPoint(stones[0]))
                    l[7 + side] = IsShimariPoint(p, stones[0]);
            }
            l[9 + side] = answerColour == c && answer == p;
            // A critical stone lives or dies by who moves first: neither sure nor lost.
            l[11 + side] = v == c && critical[i] ? 0.5 : v == c && !dead[i];
            l[13 + side] = IsEye(b, p, c);
            bool shared = false;
            if (v == c) {
                shared = dragonOf[i] != 0 && chainsInDragon[dragonOf[i]] >= 2;
            } else if (v == 0) {
                int firstName = -1, firstDragon = 0;
                for (int d = 0; d < 4; ++d) {
                    const int nx = p.X + NeighbourDX[d], ny = p.Y + NeighbourDY[d];
                    if (!OnBoard(nx, ny) || b[PointIndex(nx, ny)] != c) continue;
                    const int at = PointIndex(nx, ny);
                    if (dragonOf[at] == 0) continue;
                    if (firstName < 0) {
                        firstName = f.Namensfeld[at];
                        firstDragon = dragonOf[at];
                    } else if (dragonOf[at] == firstDragon && f.Namensfeld[at] != firstName) {
                        shared = true;
                    }
                }
            }
            l[15 + side] = shared;
            l[17 + side] = area[i] == c;
        }
        l[6] = v == 0 && IsCornerPoint(p) && CornerStones(b, p).empty();
    }
    return labels;
}

}  // namespace obrin
