#include "tactics/reading.h"

#include <algorithm>

#include "board/chains.h"
#include "game/engine.h"
#include "tactics/reading_kit.h"
#include "tactics/treppe.h"

namespace obrin {

using reading::IsLegalOn;
using reading::LibertiesUpTo;
using reading::SoleLiberty;

namespace {

// The value of a position for the side to move: lost, won through a ko, won outright.
constexpr int Lose = 0;
constexpr int KoWin = 1;
constexpr int Win = 2;

// The same position seen by the other side.
int Flip(int value) {
    return Win - value;
}

// The depths of the passes of the iterative deepening, in plies.
constexpr int kDepthSteps[] = {6, 10, 14, 20, 28};
// A chain with this many liberties is safe wherever it stands.
constexpr int kSafeLiberties = 5;
// Attacks on a chain with four liberties are read only this many plies deep.
constexpr int kFourLibertyDepth = 3;
// How many candidates a node reads: many near the root, few deep down.
int Width(int depth) {
    return depth == 0 ? 12 : depth < 3 ? 8 : depth < 7 ? 5 : 3;
}
// How often the clock is read, in nodes.
constexpr int kClockInterval = 32;

TPoint PointAt(int index) {
    return TPoint{PointColumn(index), PointRow(index)};
}

void AddUnique(TPointList& list, TPoint p) {
    if (std::find(list.begin(), list.end(), p) == list.end()) list.Items[list.Count++] = p;
}

// Did the stone just played at p capture anything of colour?
bool Captured(const TBoard& before, const TBoard& after, int p, int colour) {
    for (int k = 0; k < Neighbours.Count[p]; ++k) {
        const int q = Neighbours.Index[p][k];
        if (before[q] == colour && after[q] == 0) return true;
    }
    return false;
}

// One candidate move of a node: where, how good it looks, and whether it retakes a ko the ban
// forbids now (such a move is read as if a ko threat had been played first).
struct TCandidate {
    TPoint Move;
    int Score = 0;
    bool OverKo = false;
};

// The capture and rescue search with bounds: a depth limit, a width that shrinks with depth and
// a liberty count at which a chain counts as safe. HorizonHit records whether a bound rather
// than the position decided anything, Aborted whether the clock ran out (the result is then
// worthless). The target chain is fixed; its colour never changes while it stands.
class TBoundedReader {
  public:
    TBoundedReader(TEngine& engine, int x, int y, int colour, uint64_t stopAt, int depthLimit)
        : m_engine(engine),
          m_x(x),
          m_y(y),
          m_target(PointIndex(x, y)),
          m_colour(colour),
          m_stopAt(stopAt),
          m_depthLimit(depthLimit),
          m_threeLibertyDepth(depthLimit * 2 / 3) {}

    bool Aborted = false;
    bool HorizonHit = false;

    // The attacker to move. best receives the move that reaches the value returned.
    int Attack(const TBoard& b, int koX, int koY, int depth, TPoint& best) {
        best = PassPoint;
        if (OutOfTime()) return Lose;
        int16_t libs[kSafeLiberties + 2];
        const int n = LibertiesUpTo(b, m_target, kSafeLiberties, libs);
        if (n == 1) {
            best = PointAt(libs[0]);
            return IsLegalOn(b, best.X, best.Y, -m_colour, koX, koY) ? Win : KoWin;
        }
        if (n >= kSafeLiberties || (n == 4 && depth > kFourLibertyDepth)) return Lose;
        if (n == 3 && depth >= m_threeLibertyDepth) return Horizon(Lose);
        if (n == 2) {
            const int ladder = Ladder(m_engine, m_x, m_y, b, koX, koY);
            if (ladder >= 0) {
                best = PointAt(ladder);
                return Win;
            }
        }
        if (depth >= m_depthLimit) return Horizon(Lose);
        TPooledList moves(m_engine.Pool);
        AttackMoves(b, libs, n, *moves);
        return Search<true>(b, koX, koY, depth, *moves, n, best);
    }

    // The defender to move.
    int Defend(const TBoard& b, int koX, int koY, int depth, TPoint& best) {
        best = PassPoint;
        if (OutOfTime()) return Lose;
        int16_t libs[kSafeLiberties + 2];
        const int n = LibertiesUpTo(b, m_target, kSafeLiberties, libs);
        if (n >= kSafeLiberties || (n == 4 && depth > kFourLibertyDepth)) return Win;
        if (n == 3 && depth >= m_threeLibertyDepth) return Horizon(Win);
        TPooledList moves(m_engine.Pool);
        if (n == 1)
            RescueCandidates(b, m_x, m_y, -1, -1, *moves);
        else
            DefenceMoves(b, libs, n, *moves);
        if (depth >= m_depthLimit) return Horizon(HorizonDefence(b, koX, koY, n, *moves, best));
        const int value = Search<false>(b, koX, koY, depth, *moves, n, best);
        if (value != Lose || n == 1) return value;
        // No move helps; the chain may still stand when the defender plays elsewhere.
        TPoint ignored;
        if (Attack(b, -1, -1, depth + 1, ignored) != Lose) return value;
        best = PassPoint;
        return Win;
    }

  private:
    int Horizon(int value) {
        HorizonHit = true;
        return value;
    }

    bool OutOfTime() {
        if (Aborted) return true;
        if (m_nodes++ % kClockInterval == 0)
            Aborted = m_engine.Host.TickMs() >= m_stopAt || m_engine.Host.IsLocked();
        return Aborted;
    }

    // Is the chain safe from a ladder with the liberties it has on b?
    bool EscapesLadder(const TBoard& b, int koX, int koY, int libs) {
        return libs >= 3 || (libs == 2 && Ladder(m_engine, m_x, m_y, b, koX, koY) < 0);
    }

    // At the horizon the defender is judged by the ladder reader: the chain lives when it has
    // (or one move gives it) three liberties or two that no ladder takes.
    int HorizonDefence(const TBoard& b, int koX, int koY, int n, const TPointList& moves,
                       TPoint& best) {
        if (n >= 2) return EscapesLadder(b, koX, koY, n) ? Win : Lose;
        TPooledBoard copy(m_engine.Pool);
        for (const TPoint& m : moves) {
            if (!IsLegalOn(b, m.X, m.Y, m_colour, koX, koY)) continue;
            *copy = b;
            int32_t kx = koX, ky = koY;
            PlayMove(m.X, m.Y, m_colour, *copy, kx, ky);
            if (EscapesLadder(*copy, kx, ky, LibertiesUpTo(*copy, m_target, 3))) {
                best = m;
                return Win;
            }
        }
        return Lose;
    }

    // Where the attacker looks: the liberties, the points next to them when the chain is short
    // of liberties (nets and blocks), and the rescues of its own chains that the defender could
    // capture.
    void AttackMoves(const TBoard& b, const int16_t* libs, int n, TPointList& moves) {
        moves.Count = 0;
        for (int i = 0; i < n; ++i) AddUnique(moves, PointAt(libs[i]));
        if (n <= 3)
            for (int i = 0; i < n; ++i)
                for (int k = 0; k < Neighbours.Count[libs[i]]; ++k) {
                    const int q = Neighbours.Index[libs[i]][k];
                    if (b[q] == 0) AddUnique(moves, PointAt(q));
                }
        TPooledList adjacent(m_engine.Pool), rescues(m_engine.Pool);
        reading::AdjacentPoints(b, m_x, m_y, *adjacent);
        for (const TPoint& a : *adjacent) {
            if (b[PointIndex(a.X, a.Y)] != -m_colour) continue;
            RescueCandidates(b, a.X, a.Y, -1, -1, *rescues);
            for (const TPoint& r : *rescues) AddUnique(moves, r);
        }
    }

    // Where the defender looks: moves that gain liberties (captures first), its own liberties,
    // and the liberties of adjacent attacking chains that are as short of liberties as it is.
    void DefenceMoves(const TBoard& b, const int16_t* libs, int n, TPointList& moves) {
        LibertyGainMoves(b, m_x, m_y, -1, -1, moves);
        for (int i = 0; i < n; ++i) AddUnique(moves, PointAt(libs[i]));
        TPooledList adjacent(m_engine.Pool);
        reading::AdjacentPoints(b, m_x, m_y, *adjacent);
        for (const TPoint& a : *adjacent) {
            const int p = PointIndex(a.X, a.Y);
            if (b[p] != -m_colour) continue;
            int16_t enemyLibs[4];
            const int e = LibertiesUpTo(b, p, 2, enemyLibs);
            if (e > 2 || e > n) continue;
            for (int i = 0; i < e; ++i) AddUnique(moves, PointAt(enemyLibs[i]));
        }
    }

    // Plays each move on a copy, drops the hopeless ones and scores the rest. Returns Win at once
    // (with best set) when an attacking move captures the chain outright.
    template <bool IsAttack>
    bool Rank(const TBoard& b, int koX, int koY, const TPointList& moves, TCandidate* out,
              int& count, TPoint& best) {
        const int mover = IsAttack ? -m_colour : m_colour;
        TPooledBoard copy(m_engine.Pool);
        count = 0;
        for (const TPoint& m : moves) {
            const bool legal = IsLegalOn(b, m.X, m.Y, mover, koX, koY);
            if (!legal && !IsLegalOn(b, m.X, m.Y, mover, -1, -1)) continue;
            *copy = b;
            int32_t kx = koX, ky = koY;
            PlayMove(m.X, m.Y, mover, *copy, kx, ky);
            const int p = PointIndex(m.X, m.Y);
            if ((*copy)[m_target] == 0) {
                if (legal) {
                    best = m;
                    return true;
                }
                out[count++] = TCandidate{m, 1000, true};
                continue;
            }
            const int targetLibs = LibertiesUpTo(*copy, m_target, kSafeLiberties + 1);
            const int ownLibs = IsAttack ? LibertiesUpTo(*copy, p, 3) : targetLibs;
            const bool captured = Captured(b, *copy, p, -mover);
            int score;
            if (IsAttack) {
                // A stone that can be taken at once only makes sense when it ataris the chain.
                if (ownLibs == 1 && targetLibs > 1 && !captured) continue;
                score = -100 * targetLibs + 10 * ownLibs + (captured ? 50 : 0);
            } else {
                if (targetLibs == 1) continue;
                score = 100 * targetLibs + (captured ? 50 : 0) + AtariBonus(*copy, p);
            }
            out[count++] = TCandidate{m, score, !legal};
        }
        // Insertion sort, best first, equal scores in generation order (no scratch buffer).
        for (int i = 1; i < count; ++i) {
            const TCandidate c = out[i];
            int j = i;
            for (; j > 0 && out[j - 1].Score < c.Score; --j) out[j] = out[j - 1];
            out[j] = c;
        }
        return false;
    }

    // A defending move that puts an attacking chain next to it in atari gains tempo.
    int AtariBonus(const TBoard& b, int p) {
        for (int k = 0; k < Neighbours.Count[p]; ++k) {
            const int q = Neighbours.Index[p][k];
            if (b[q] == -m_colour && LibertiesUpTo(b, q, 1) == 1) return 60;
        }
        return 0;
    }

    // One node: tries the best-looking candidates and asks the other side to answer each.
    template <bool IsAttack>
    int Search(const TBoard& b, int koX, int koY, int depth, const TPointList& moves, int n,
               TPoint& best) {
        TCandidate ranked[PointCount];
        int count = 0;
        if (Rank<IsAttack>(b, koX, koY, moves, ranked, count, best)) return Win;
        const int mover = IsAttack ? -m_colour : m_colour;
        // A chain in atari may only run or capture; elsewhere the width shrinks with depth.
        const int width = !IsAttack && n == 1 ? count : std::min(count, Width(depth));
        int value = Lose;
        TPooledBoard copy(m_engine.Pool);
        for (int i = 0; i < width && value < Win && !Aborted; ++i) {
            const TCandidate& c = ranked[i];
            *copy = b;
            int32_t kx = koX, ky = koY;
            PlayMove(c.Move.X, c.Move.Y, mover, *copy, kx, ky);
            ++m_engine.ReadingNodes;
            TPoint reply;
            int v = (*copy)[m_target] == 0
                        ? Win
                        : Flip(IsAttack ? Defend(*copy, kx, ky, depth + 1, reply)
                                        : Attack(*copy, kx, ky, depth + 1, reply));
            if (c.OverKo) v = std::min(v, KoWin);
            if (v > value) {
                value = v;
                best = c.Move;
            }
        }
        return value;
    }

    TEngine& m_engine;
    const int m_x, m_y, m_target, m_colour;
    const uint64_t m_stopAt;
    const int m_depthLimit;
    const int m_threeLibertyDepth;
    int64_t m_nodes = 0;
};

// Reads the question deeper and deeper until a pass is decided by the position alone, the
// deepest pass is done or the share of the time for bounded reading is used; then, when not even
// the first pass finished, leaves the rest of the time to the exhaustive search.
TReadingAnswer Read(TEngine& engine, bool attack, int x, int y, int koX, int koY, const TBoard& b,
                    uint64_t deadline) {
    TReadingAnswer answer;
    const int colour = b[PointIndex(x, y)];
    if (colour == 0) {
        answer.Result = FightFailure;
        return answer;
    }
    if (HasTwoEyes(engine, x, y, koX, koY, b)) {
        answer.Result = attack ? FightFailure : FightSuccess;
        return answer;
    }
    const uint64_t now = engine.Host.TickMs();
    // At least one millisecond: a budget of one or two would otherwise round to nothing and
    // leave every question to the exhaustive search.
    const uint64_t stopAt =
        now + (deadline > now ? std::max<uint64_t>(1, (deadline - now) * 3 / 4) : 0);
    bool decided = false;
    for (const int depthLimit : kDepthSteps) {
        TBoundedReader reader(engine, x, y, colour, stopAt, depthLimit);
        TPoint best;
        int value =
            attack ? reader.Attack(b, koX, koY, 0, best) : reader.Defend(b, koX, koY, 0, best);
        if (reader.Aborted) break;
        decided = true;
        answer.Result = value == Lose ? FightFailure : FightSuccess;
        answer.Move = value == Lose ? PassPoint : best;
        answer.Ko = value == KoWin;
        if (!reader.HorizonHit) break;
    }
    if (decided) return answer;
    TPooledList moves(engine.Pool);
    answer.Bounded = false;
    answer.Result = attack ? obrin::Attack(engine, x, y, koX, koY, b, deadline, *moves)
                           : obrin::Defend(engine, x, y, koX, koY, b, deadline, *moves);
    answer.Move = answer.Result == FightSuccess && moves->Count > 0 ? (*moves)[0] : PassPoint;
    return answer;
}

}  // namespace

TReadingAnswer ReadAttack(TEngine& engine, int x, int y, int koX, int koY, const TBoard& b,
                          uint64_t deadline) {
    return Read(engine, true, x, y, koX, koY, b, deadline);
}

TReadingAnswer ReadDefend(TEngine& engine, int x, int y, int koX, int koY, const TBoard& b,
                          uint64_t deadline) {
    return Read(engine, false, x, y, koX, koY, b, deadline);
}

}  // namespace obrin
