#include "tactics/brute.h"

#include <algorithm>
#include <cstdlib>

#include "board/chains.h"
#include "board/errors.h"
#include "tactics/reader.h"
#include "tactics/position_hash.h"
#include "tactics/reading_kit.h"
#include "tactics/treppe.h"

namespace obrin {

using reading::IsLegalOn;
using reading::LibertiesUpTo;

namespace {

// The eight neighbours in the order the eye count visits them: up, up-right, right, down-right,
// down, down-left, left, up-left.
constexpr int kRingX[8] = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr int kRingY[8] = {1, 1, 0, -1, -1, -1, 0, 1};
constexpr int kDiagonalX[4] = {1, 1, -1, -1};
constexpr int kDiagonalY[4] = {1, -1, -1, 1};

bool IsEdgeLine(int v) {
    return v == 0 || v == BoardSize - 1;
}

// A diagonal point is good for an eye of colour when colour holds it or the opponent cannot
// safely occupy it.
bool GoodDiagonal(TReader& reader, int x, int y, int colour, int koX, int koY, const TBoard& b) {
    const int v = b[PointIndex(x, y)];
    return v == colour || (v == 0 && !IsPlayable(reader, x, y, -colour, koX, koY, b));
}

// Is the point p a real eye of colour? Every on-board orthogonal neighbour must hold colour; in
// the middle three of the four diagonals must be good, on the edge and in the corner all of them.
bool IsRealEye(TReader& reader, int p, int colour, int koX, int koY, const TBoard& b) {
    for (int k = 0; k < Neighbours.Count[p]; ++k)
        if (b[Neighbours.Index[p][k]] != colour) return false;
    const int x = PointColumn(p), y = PointRow(p);
    const int allowedBad = IsEdgeLine(x) || IsEdgeLine(y) ? 0 : 1;
    int bad = 0;
    for (int d = 0; d < 4; ++d) {
        const int dx = x + kDiagonalX[d], dy = y + kDiagonalY[d];
        if (!OnBoard(dx, dy) || GoodDiagonal(reader, dx, dy, colour, koX, koY, b)) continue;
        if (++bad > allowedBad) return false;
    }
    return true;
}

void CheckFightResult(TFightResult r) {
    if (r > FightUndecided) throw EObrinError(msg::IllegalFightResult);
}

[[nodiscard]] bool TimeIsUp(TReader& reader, uint64_t deadline) {
    return reader.NowMs() >= deadline || reader.Context.Host.IsLocked();
}

// A deadline passed (beyond it, not at it) or a stop makes the result undecided, even after a
// success. A failure is only claimed when every candidate was answered in full: a loop cut short
// by the clock, or an answer that was itself undecided, leaves the question open. (Claiming
// failure there would hand the caller a false success for every node that returns during the
// millisecond in which the tick counter equals the deadline.)
[[nodiscard]] TFightResult Settle(TReader& reader, uint64_t deadline, TFightResult result,
                                  bool incomplete) {
    if (reader.NowMs() > deadline || reader.Context.Host.IsLocked()) return FightUndecided;
    return result == FightFailure && incomplete ? FightUndecided : result;
}

// Marks the fight area on marks: the blob of stones of either colour around (x, y) and two
// layers of empty points around it; area receives the connected marked set.
void FightArea(const TBoard& b, int x, int y, TBoard& marks, TPointList& area) {
    for (int p = 0; p < PointCount; ++p) marks[p] = b[p] != 0;
    GetChain(x, y, marks, area);
    // Each layer is the unmarked (empty) points next to the points the previous layer added.
    int from = 0;
    for (int layer = 0; layer < 2; ++layer) {
        const int to = area.Count;
        for (int i = from; i < to; ++i) {
            const int p = PointIndex(area[i].X, area[i].Y);
            for (int k = 0; k < Neighbours.Count[p]; ++k) {
                const int q = Neighbours.Index[p][k];
                if (marks[q] == 0) {
                    marks[q] = 1;
                    area.Items[area.Count++] = TPoint{PointColumn(q), PointRow(q)};
                }
            }
        }
        from = to;
    }
    GetChain(x, y, marks, area);
}

// Answers "does the chain or empty region at q have at most n liberties?" for every point of a
// fight's neighbourhood, flooding each chain once: the verdict found for one point is recorded
// for all points of its chain that the flood visited.
class TShortOfLiberties {
  public:
    void Begin(int n) {
        m_n = n;
        if (++m_stamp == 0) {
            m_known.fill(0);
            m_stamp = 1;
        }
    }

    bool Check(const TBoard& b, int q) {
        if (m_known[q] == m_stamp) return m_short[q];
        int16_t stack[PointCount], visited[PointCount];
        int sp = 0, nv = 0, libs = 0;
        const int32_t value = b[q];
        ++m_floodStamp;
        stack[sp++] = static_cast<int16_t>(q);
        m_inChain[q] = m_floodStamp;
        bool isShort = true;
        while (sp > 0 && isShort) {
            const int p = stack[--sp];
            visited[nv++] = static_cast<int16_t>(p);
            for (int k = 0; k < Neighbours.Count[p]; ++k) {
                const int r = Neighbours.Index[p][k];
                if (b[r] == 0 && m_isLiberty[r] != m_floodStamp) {
                    m_isLiberty[r] = m_floodStamp;
                    if (++libs > m_n) isShort = false;
                }
                if (b[r] == value && m_inChain[r] != m_floodStamp) {
                    m_inChain[r] = m_floodStamp;
                    stack[sp++] = static_cast<int16_t>(r);
                }
            }
        }
        for (int i = 0; i < nv; ++i) {
            m_known[visited[i]] = m_stamp;
            m_short[visited[i]] = isShort;
        }
        return isShort;
    }

  private:
    int m_n = 0;
    uint32_t m_stamp = 0;
    uint64_t m_floodStamp = 0;
    std::array<uint32_t, PointCount> m_known{};
    std::array<bool, PointCount> m_short{};
    std::array<uint64_t, PointCount> m_inChain{};
    std::array<uint64_t, PointCount> m_isLiberty{};
};

thread_local TShortOfLiberties tShortOfLiberties;

// EyePointCount (x, y, colour) > 0, without counting past the first eye point.
bool TouchesEyePoint(int x, int y, int colour, int koX, int koY, const TBoard& b) {
    if (!IsLegalOn(b, x, y, colour, koX, koY)) return false;
    for (int k = 0; k < 8; ++k)
        if (EyePoint(x + kRingX[k], y + kRingY[k], colour, b)) return true;
    return false;
}

}  // namespace

bool EyePoint(int x, int y, int colour, const TBoard& b) {
    if (!OnBoard(x, y) || b[PointIndex(x, y)] != 0) return false;
    if (IsEdgeLine(x) || IsEdgeLine(y)) {
        for (int k = 0; k < 8; ++k)
            if (GetPoint(b, x + kRingX[k], y + kRingY[k]) == -colour) return false;
        return true;
    }
    for (int d = 0; d < 4; ++d)
        if (b[PointIndex(x + NeighbourDX[d], y + NeighbourDY[d])] == -colour) return false;
    int count = 0;
    for (int d = 0; d < 4; ++d)
        count += b[PointIndex(x + kDiagonalX[d], y + kDiagonalY[d])] == -colour;
    return count <= 1;
}

int EyePointCount(int x, int y, int colour, int koX, int koY, const TBoard& b) {
    if (!IsLegalOn(b, x, y, colour, koX, koY)) return 0;
    int count = 0;
    for (int k = 0; k < 8; ++k) count += EyePoint(x + kRingX[k], y + kRingY[k], colour, b);
    return count;
}

void EyeField(TReader& reader, int colour, int koX, int koY, const TBoard& b,
              const TBoard& candidates, TBoard& eyes) {
    eyes.fill(0);
    for (int p = 0; p < PointCount; ++p)
        if (candidates[p] == 1 && IsRealEye(reader, p, colour, koX, koY, b)) eyes[p] = 1;
}

bool HasTwoEyes(TReader& reader, int x, int y, int koX, int koY, const TBoard& b) {
    const int colour = b[PointIndex(x, y)];
    if (colour == 0) return false;
    TPooledList libs(reader.Context.Pool);
    GetLiberties(x, y, b, *libs);
    int eyes = 0;
    for (int i = 0; i < libs->Count && eyes < 2; ++i)
        eyes += IsRealEye(reader, PointIndex((*libs)[i].X, (*libs)[i].Y), colour, koX, koY, b);
    return eyes >= 2;
}

void FightMoves(TReader& reader, int x, int y, int mover, int koX, int koY, const TBoard& b,
                TPointList& moves) {
    moves.Count = 0;
    const int target = PointIndex(x, y);
    if (b[target] == 0) return;
    const int n = LibertiesUpTo(b, target, PointCount);
    if (n == 1 && b[target] == mover) {
        RescueCandidates(b, x, y, koX, koY, moves);
    } else {
        TPooledBoard marks(reader.Context.Pool);
        TPooledList area(reader.Context.Pool);
        FightArea(b, x, y, *marks, *area);
        tShortOfLiberties.Begin(n);
        for (const TPoint& a : *area) {
            const int p = PointIndex(a.X, a.Y);
            if (b[p] != 0) continue;
            // Only legal moves next to a chain (or empty region) as short of liberties as the
            // target. The memoised liberty test goes first: it rules out most points cheaply.
            bool nextToShort = false;
            for (int k = 0; k < Neighbours.Count[p] && !nextToShort; ++k)
                nextToShort = tShortOfLiberties.Check(b, Neighbours.Index[p][k]);
            if (nextToShort && IsLegalOn(b, a.X, a.Y, mover, koX, koY))
                moves.Items[moves.Count++] = a;
        }
    }
    OrderFightMoves(x, y, mover, koX, koY, moves, b);
}

void OrderFightMoves(int x, int y, [[maybe_unused]] int mover, int koX, int koY, TPointList& moves,
                     const TBoard& b) {
    thread_local TPointList chain;
    const int colour = b[PointIndex(x, y)];
    GetChain(x, y, b, chain);
    int scores[PointCount];
    for (int i = 0; i < moves.Count; ++i) {
        const TPoint m = moves[i];
        const int p = PointIndex(m.X, m.Y);
        const int eyeFlag = TouchesEyePoint(m.X, m.Y, colour, koX, koY, b) ||
                            TouchesEyePoint(m.X, m.Y, -colour, koX, koY, b);
        int dist = 4 * BoardSize;
        for (const TPoint& s : chain)
            dist = std::min(dist, std::abs(m.X - s.X) + std::abs(m.Y - s.Y));
        int atari = 0;
        for (int k = 0; k < Neighbours.Count[p] && atari == 0; ++k) {
            const int q = Neighbours.Index[p][k];
            atari = b[q] != 0 && LibertiesUpTo(b, q, 1) == 1;
        }
        int lowest = GetPoint(b, m.X, m.Y + 1), highest = lowest;
        for (int d = 1; d < 4; ++d) {
            const int v = GetPoint(b, m.X + NeighbourDX[d], m.Y + NeighbourDY[d]);
            lowest = std::min(lowest, v);
            highest = std::max(highest, v);
        }
        scores[i] = eyeFlag - 100 * dist + 100 * EmptyNeighbours(m.X, m.Y, b) + 1000 * atari +
                    1000 * (highest - lowest);
    }
    // Insertion sort, highest first: stable like the adjacent swaps it replaces, no allocation.
    for (int i = 1; i < moves.Count; ++i) {
        const TPoint m = moves[i];
        const int s = scores[i];
        int j = i;
        for (; j > 0 && scores[j - 1] < s; --j) {
            scores[j] = scores[j - 1];
            moves[j] = moves[j - 1];
        }
        scores[j] = s;
        moves[j] = m;
    }
}

namespace {

// The alternating search about one chain. Captures let a line go on for as long as stones can be
// taken and retaken, so the line is bounded twice: by a depth far beyond any real fight, and by
// the positions already on it (a repetition ends the line). Both end the line undecided, which
// keeps the recursion, and with it the stack and the borrowed pool elements, within a fixed
// size whatever the position.
class TFightSearch {
  public:
    // Plies a line may reach; a ladder across the whole board takes about eighty.
    static constexpr int MaxDepth = 250;

    TFightSearch(TReader& reader, int x, int y, uint64_t deadline)
        : m_reader(reader), m_x(x), m_y(y), m_target(PointIndex(x, y)), m_deadline(deadline) {}

    // One side of the fight: tries mover's candidates in order and asks the other side to answer
    // each; a reply of failure from the other side is this side's success.
    template <bool IsAttack>
    TFightResult Fight(int koX, int koY, const TBoard& b, TPointList& moves) {
        moves.Count = 0;
        const int colour = b[m_target];
        const int mover = IsAttack ? -colour : colour;
        if (HasTwoEyes(m_reader, m_x, m_y, koX, koY, b)) {
            moves.Items[moves.Count++] = PassPoint;
            // Against two eyes no attack is tried; a defence has nothing left to do.
            return Settle(m_reader, m_deadline, IsAttack ? FightFailure : FightSuccess, false);
        }
        if (m_depth == 0) m_line[0] = reading::PositionHash(b);
        TPooledList candidates(m_reader.Context.Pool), replies(m_reader.Context.Pool);
        TPooledBoard copy(m_reader.Context.Pool);
        FightMoves(m_reader, m_x, m_y, mover, koX, koY, b, *candidates);
        TFightResult result = FightFailure;
        bool incomplete = false;
        for (int i = 0; i < candidates->Count && result != FightSuccess; ++i) {
            if (TimeIsUp(m_reader, m_deadline)) {
                incomplete = true;
                break;
            }
            const TPoint m = (*candidates)[i];
            if (!IsLegalOn(b, m.X, m.Y, mover, koX, koY)) continue;
            *copy = b;
            int32_t kx = koX, ky = koY;
            PlayMove(m.X, m.Y, mover, *copy, kx, ky);
            ++m_reader.Nodes;
            m_reader.ShowIntermediate(*copy);
            const TFightResult answer =
                IsAttack && (*copy)[m_target] == 0
                    ? FightFailure  // captured outright: there is nothing left to defend
                    : Answer<!IsAttack>(kx, ky, *copy, *replies);
            if (answer == FightFailure) {
                result = FightSuccess;
                moves.Items[moves.Count++] = m;
            }
            incomplete = incomplete || answer == FightUndecided;
        }
        return Settle(m_reader, m_deadline, result, incomplete);
    }

  private:
    // The other side's answer to the position after a move, or undecided when the line is as
    // long as it may get or the position already stood on it.
    template <bool IsAttack>
    TFightResult Answer(int koX, int koY, const TBoard& b, TPointList& replies) {
        if (m_depth + 1 >= MaxDepth) return FightUndecided;
        const uint64_t hash = reading::PositionHash(b);
        if (std::find(m_line.begin(), m_line.begin() + m_depth + 1, hash) !=
            m_line.begin() + m_depth + 1)
            return FightUndecided;
        m_line[++m_depth] = hash;
        const TFightResult answer = Fight<IsAttack>(koX, koY, b, replies);
        --m_depth;
        CheckFightResult(answer);
        return answer;
    }

    TReader& m_reader;
    const int m_x, m_y, m_target;
    const uint64_t m_deadline;
    int m_depth = 0;
    std::array<uint64_t, MaxDepth> m_line{};  // the positions of the line, root first
};

}  // namespace

TFightResult Attack(TReader& reader, int x, int y, int koX, int koY, const TBoard& b,
                    uint64_t deadline, TPointList& moves) {
    return TFightSearch(reader, x, y, deadline).Fight<true>(koX, koY, b, moves);
}

TFightResult Defend(TReader& reader, int x, int y, int koX, int koY, const TBoard& b,
                    uint64_t deadline, TPointList& moves) {
    return TFightSearch(reader, x, y, deadline).Fight<false>(koX, koY, b, moves);
}

}  // namespace obrin
