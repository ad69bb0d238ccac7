#include "tactics/reading.h"

#include <algorithm>

#include "board/chains.h"
#include "tactics/reader.h"
#include "tactics/position_hash.h"
#include "tactics/reading_kit.h"
#include "tactics/treppe.h"

namespace obrin {

using reading::IsLegalOn;
using reading::LibertiesUpTo;

namespace {

// The value of a position for the side to move, best last: lost; won only if the side finds a
// ko threat first; won through a ko the side takes first; won outright.
constexpr int Lose = 0;
constexpr int KoB = 1;
constexpr int KoA = 2;
constexpr int Win = 3;

// The same position seen by the other side: a ko the one side takes first is a ko the other
// side must find a threat for.
int Flip(int value) {
    return Win - value;
}

// The bounds of one pass of the iterative deepening. Each pass reads deeper and wider and takes
// chains with more liberties seriously for longer.
struct TPassBounds {
    int Depth;          // plies
    int SafeLiberties;  // a chain with this many liberties is safe wherever it stands
    int FourLibDepth;   // attacks on a chain with four liberties are read this many plies
    int ThreeLibDepth;  // from this ply on a chain with three liberties counts as safe
    int ExtraWidth;     // candidates read beyond the basic width at every node
};
constexpr TPassBounds kPasses[] = {
    {6, 5, 3, 4, 0},   {10, 5, 4, 7, 1},   {14, 5, 5, 10, 2},
    {20, 5, 7, 14, 3}, {28, 6, 10, 20, 4}, {40, 6, 14, 30, 6},
};

// How many candidates a node reads at the least: many near the root, few deep down.
int BaseWidth(int depth) {
    return depth == 0 ? 14 : depth < 3 ? 8 : depth < 7 ? 5 : 3;
}
// Set into the hash of positions where the attacker is to move.
constexpr uint64_t kAttackerToMove = 0x9E3779B97F4A7C15ULL;

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

// The capture and rescue search with bounds. Horizons counts the times a bound rather than the
// position decided something (a node whose count did not change is exact); Aborted says the
// clock ran out (the result is then worthless). The target chain is fixed; its colour never
// changes while it stands.
class TBoundedReader {
  public:
    TBoundedReader(TReader& reader, int x, int y, int colour, uint64_t stopAt)
        : m_reader(reader),
          m_x(x),
          m_y(y),
          m_target(PointIndex(x, y)),
          m_colour(colour),
          m_stopAt(stopAt) {
        m_reader.Table.BeginReading();
    }

    bool Aborted = false;
    int64_t Horizons = 0;

    // Starts pass number pass with its bounds; root moves listed in excluded are not read.
    void BeginPass(int pass, const TPointList* excluded) {
        m_pass = pass;
        m_bounds = kPasses[pass];
        m_excluded = excluded;
        Horizons = 0;
    }

    // The attacker to move. best receives the move that reaches the value returned.
    int Attack(const TBoard& b, int koX, int koY, int depth, TPoint& best) {
        best = PassPoint;
        if (OutOfTime()) return Lose;
        int16_t libs[8];
        const int n = LibertiesUpTo(b, m_target, m_bounds.SafeLiberties, libs);
        if (n == 1) {
            best = PointAt(libs[0]);
            if (!IsLegalOn(b, best.X, best.Y, -m_colour, koX, koY)) return KoB;
            TPooledBoard copy(m_reader.Context.Pool);
            *copy = b;
            int32_t kx = koX, ky = koY;
            PlayMove(best.X, best.Y, -m_colour, *copy, kx, ky);
            return CaptureValue(kx);
        }
        if (n >= m_bounds.SafeLiberties) return Horizon(Lose);
        if (n == 4 && depth > m_bounds.FourLibDepth) return Horizon(Lose);
        if (n == 3 && depth >= m_bounds.ThreeLibDepth) return Horizon(Lose);
        if (n == 2) {
            const int ladder = LadderOnTime(b, koX, koY);
            if (ladder >= 0) {
                best = PointAt(ladder);
                return Win;
            }
        }
        if (depth >= m_bounds.Depth) return Horizon(Lose);
        TPooledList moves(m_reader.Context.Pool);
        AttackMoves(b, koX, koY, depth, libs, n, *moves);
        return Node<true>(b, koX, koY, depth, *moves, n, best);
    }

    // The defender to move.
    int Defend(const TBoard& b, int koX, int koY, int depth, TPoint& best) {
        best = PassPoint;
        if (OutOfTime()) return Lose;
        int16_t libs[8];
        const int n = LibertiesUpTo(b, m_target, m_bounds.SafeLiberties, libs);
        if (n >= m_bounds.SafeLiberties) return Horizon(Win);
        if (n == 4 && depth > m_bounds.FourLibDepth) return Horizon(Win);
        if (n == 3 && depth >= m_bounds.ThreeLibDepth) return Horizon(Win);
        TPooledList moves(m_reader.Context.Pool);
        if (n == 1)
            RescueCandidates(b, m_x, m_y, -1, -1, *moves);
        else
            DefenceMoves(b, koX, koY, depth, libs, n, *moves);
        if (depth >= m_bounds.Depth) return Horizon(HorizonDefence(b, koX, koY, n, *moves, best));
        const int value = Node<false>(b, koX, koY, depth, *moves, n, best);
        if (value == Win || n == 1) return value;
        // No move wins outright; the chain may still stand when the defender plays elsewhere.
        TPoint ignored;
        const int standing = Flip(Attack(b, -1, -1, depth + 1, ignored));
        if (standing <= value) return value;
        best = PassPoint;
        return standing;
    }

  private:
    // A capture the defender can take back at once is a ko the attacker took first.
    static int CaptureValue(int koAfter) { return koAfter >= 0 ? KoA : Win; }

    int Horizon(int value) {
        ++Horizons;
        return value;
    }

    // The clock is read at every node: a node with its candidates and ladders costs far more
    // than reading the clock, and a coarser check lets a crowded position run past the deadline.
    bool OutOfTime() {
        if (!Aborted) Aborted = m_reader.NowMs() >= m_stopAt || m_reader.Context.Host.IsLocked();
        return Aborted;
    }

    // The ladder reader's answer for the target; a ladder cut short by the stop time aborts
    // the pass.
    int LadderOnTime(const TBoard& b, int koX, int koY) {
        const int ladder = Ladder(m_reader, m_x, m_y, b, koX, koY);
        if (m_reader.Treppe.CutShort()) Aborted = true;
        return ladder;
    }

    // Is the chain safe from a ladder with the liberties it has on b?
    bool EscapesLadder(const TBoard& b, int koX, int koY, int libs) {
        return libs >= 3 || (libs == 2 && LadderOnTime(b, koX, koY) < 0);
    }

    // At the horizon the defender is judged by the ladder reader: the chain lives when it has
    // (or one move gives it) three liberties or two that no ladder takes.
    int HorizonDefence(const TBoard& b, int koX, int koY, int n, const TPointList& moves,
                       TPoint& best) {
        if (n >= 2) return EscapesLadder(b, koX, koY, n) ? Win : Lose;
        TPooledBoard copy(m_reader.Context.Pool);
        for (const TPoint& m : moves) {
            if (Aborted) break;
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

    // The empty points next to the liberties: nets, blocks and hanging connections.
    static void AddSecondLiberties(const TBoard& b, const int16_t* libs, int n, TPointList& moves) {
        for (int i = 0; i < n; ++i)
            for (int k = 0; k < Neighbours.Count[libs[i]]; ++k) {
                const int q = Neighbours.Index[libs[i]][k];
                if (b[q] == 0) AddUnique(moves, PointAt(q));
            }
    }

    // Near the root the exhaustive search's candidates join in: every legal move next to a chain
    // as short of liberties as the target, around the whole fight.
    void AddFightMoves(const TBoard& b, int koX, int koY, int mover, TPointList& moves) {
        TPooledList fight(m_reader.Context.Pool);
        FightMoves(m_reader, m_x, m_y, mover, koX, koY, b, *fight);
        for (const TPoint& m : *fight) AddUnique(moves, m);
    }

    // Where the attacker looks: the liberties, the points next to them when the chain is short
    // of liberties, and the rescues of its own chains that the defender could capture.
    void AttackMoves(const TBoard& b, int koX, int koY, int depth, const int16_t* libs, int n,
                     TPointList& moves) {
        moves.Count = 0;
        for (int i = 0; i < n; ++i) AddUnique(moves, PointAt(libs[i]));
        if (n <= 3) AddSecondLiberties(b, libs, n, moves);
        TPooledList adjacent(m_reader.Context.Pool), rescues(m_reader.Context.Pool);
        reading::AdjacentPoints(b, m_x, m_y, *adjacent);
        for (const TPoint& a : *adjacent) {
            if (b[PointIndex(a.X, a.Y)] != -m_colour) continue;
            RescueCandidates(b, a.X, a.Y, -1, -1, *rescues);
            for (const TPoint& r : *rescues) AddUnique(moves, r);
        }
        if (depth < 2) AddFightMoves(b, koX, koY, -m_colour, moves);
    }

    // Where the defender looks: moves that gain liberties (captures first), its own liberties,
    // the liberties of adjacent attacking chains that are about as short of liberties as it is,
    // and, when it is short itself, the points next to its liberties.
    void DefenceMoves(const TBoard& b, int koX, int koY, int depth, const int16_t* libs, int n,
                      TPointList& moves) {
        LibertyGainMoves(b, m_x, m_y, -1, -1, moves);
        for (int i = 0; i < n; ++i) AddUnique(moves, PointAt(libs[i]));
        TPooledList adjacent(m_reader.Context.Pool);
        reading::AdjacentPoints(b, m_x, m_y, *adjacent);
        for (const TPoint& a : *adjacent) {
            const int p = PointIndex(a.X, a.Y);
            if (b[p] != -m_colour) continue;
            int16_t enemyLibs[4];
            const int e = LibertiesUpTo(b, p, 3, enemyLibs);
            if (e > 3 || e > std::max(n, 2)) continue;
            for (int i = 0; i < e; ++i) AddUnique(moves, PointAt(enemyLibs[i]));
        }
        if (n <= 2) AddSecondLiberties(b, libs, n, moves);
        if (depth < 2) AddFightMoves(b, koX, koY, m_colour, moves);
    }

    // Plays each move on a copy, drops the hopeless ones and scores the rest; the move the table
    // remembers goes first. Returns true at once (with best set) when an attacking move captures
    // the chain outright.
    template <bool IsAttack>
    bool Rank(const TBoard& b, int koX, int koY, int depth, const TPointList& moves, int remembered,
              TCandidate* out, int& count, TPoint& best) {
        const int mover = IsAttack ? -m_colour : m_colour;
        TPooledBoard copy(m_reader.Context.Pool);
        count = 0;
        for (const TPoint& m : moves) {
            if (depth == 0 && m_excluded != nullptr &&
                std::find(m_excluded->begin(), m_excluded->end(), m) != m_excluded->end())
                continue;
            const bool legal = IsLegalOn(b, m.X, m.Y, mover, koX, koY);
            if (!legal && !IsLegalOn(b, m.X, m.Y, mover, -1, -1)) continue;
            *copy = b;
            int32_t kx = koX, ky = koY;
            PlayMove(m.X, m.Y, mover, *copy, kx, ky);
            const int p = PointIndex(m.X, m.Y);
            if ((*copy)[m_target] == 0) {
                if (legal && kx < 0) {
                    best = m;
                    return true;
                }
                out[count++] = TCandidate{m, 100000, !legal};
                continue;
            }
            const int targetLibs = LibertiesUpTo(*copy, m_target, 7);
            const int ownLibs = IsAttack ? LibertiesUpTo(*copy, p, 3) : targetLibs;
            const bool captured = Captured(b, *copy, p, -mover);
            int score;
            if (IsAttack) {
                // A stone that can be taken at once only makes sense when it ataris the chain.
                if (ownLibs == 1 && targetLibs > 1 && !captured) continue;
                score = -100 * targetLibs + 10 * ownLibs + (captured ? 50 : 0);
            } else {
                if (targetLibs == 1 && !captured) continue;
                score = 100 * targetLibs + (captured ? 50 : 0) + AtariBonus(*copy, p);
            }
            if (p == remembered) score += 100000;
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

    // One node through the table: a value that no bound decided is taken from any pass, one
    // that a bound decided only from this pass at the same or a greater remaining depth.
    template <bool IsAttack>
    int Node(const TBoard& b, int koX, int koY, int depth, const TPointList& moves, int n,
             TPoint& best) {
        const uint64_t key = reading::PositionHash(b, koX, koY) ^ (IsAttack ? kAttackerToMove : 0);
        const int remaining = m_bounds.Depth - depth;
        int remembered = -1;
        if (const TReadingTable::TEntry* entry = m_reader.Table.Find(key)) {
            if (depth > 0 &&
                (entry->Exact || (entry->Pass == m_pass && entry->Remaining >= remaining))) {
                best = entry->Best >= 0 ? PointAt(entry->Best) : PassPoint;
                if (!entry->Exact) ++Horizons;
                return entry->Value;
            }
            remembered = entry->Best;
        }
        const int64_t horizonsBefore = Horizons;
        const int value = Search<IsAttack>(b, koX, koY, depth, moves, n, remembered, best);
        if (Aborted) return value;
        TReadingTable::TEntry& slot = m_reader.Table.Store(key);
        slot.Best = static_cast<int16_t>(OnBoard(best.X, best.Y) ? PointIndex(best.X, best.Y) : -1);
        slot.Value = static_cast<uint8_t>(value);
        slot.Remaining = static_cast<uint8_t>(remaining);
        slot.Pass = static_cast<uint8_t>(m_pass);
        slot.Exact = Horizons == horizonsBefore;
        return value;
    }

    // Tries the best-looking candidates and asks the other side to answer each.
    template <bool IsAttack>
    int Search(const TBoard& b, int koX, int koY, int depth, const TPointList& moves, int n,
               int remembered, TPoint& best) {
        TCandidate ranked[PointCount];
        int count = 0;
        if (Rank<IsAttack>(b, koX, koY, depth, moves, remembered, ranked, count, best)) return Win;
        const int mover = IsAttack ? -m_colour : m_colour;
        // A chain in atari may only run or capture; elsewhere the width grows with the pass and
        // shrinks with depth.
        const int width =
            !IsAttack && n == 1 ? count : std::min(count, BaseWidth(depth) + m_bounds.ExtraWidth);
        int value = Lose;
        TPooledBoard copy(m_reader.Context.Pool);
        for (int i = 0; i < width && value < Win && !Aborted; ++i) {
            const TCandidate& c = ranked[i];
            *copy = b;
            int32_t kx = koX, ky = koY;
            PlayMove(c.Move.X, c.Move.Y, mover, *copy, kx, ky);
            ++m_reader.Nodes;
            TPoint reply;
            int v = (*copy)[m_target] == 0
                        ? CaptureValue(kx)
                        : Flip(IsAttack ? Defend(*copy, kx, ky, depth + 1, reply)
                                        : Attack(*copy, kx, ky, depth + 1, reply));
            if (c.OverKo) v = std::min(v, KoB);
            if (v > value) {
                value = v;
                best = c.Move;
            }
        }
        // Moves left unread could have done better than a result short of a win.
        if (value < Win && width < count) ++Horizons;
        return value;
    }

    TReader& m_reader;
    const int m_x, m_y, m_target, m_colour;
    const uint64_t m_stopAt;
    TPassBounds m_bounds = kPasses[0];
    int m_pass = 0;
    const TPointList* m_excluded = nullptr;
};

bool TimeIsUp(TReader& reader, uint64_t deadline) {
    return reader.NowMs() >= deadline || reader.Context.Host.IsLocked();
}

TKoResult KoKindOf(int value) {
    return value == KoA ? TKoResult::KoA : value == KoB ? TKoResult::KoB : TKoResult::None;
}

// How many levels of cross-checking a question gets: its own answer is checked with the other
// question one level down, and that one checks itself once more.
constexpr int kCheckLevels = 2;

TReadingAnswer Read(TReader& reader, bool attack, int x, int y, int koX, int koY, const TBoard& b,
                    uint64_t deadline, int checkLevels);

// Reads the question deeper and deeper until a pass is decided by the position alone, the
// deepest pass is done or the share of the time for bounded reading is used. Root moves in
// excluded are left out. decided is false when not even the first pass finished.
TReadingAnswer Deepen(TReader& reader, bool attack, int x, int y, int koX, int koY, const TBoard& b,
                      uint64_t stopAt, const TPointList* excluded, bool& decided) {
    TReadingAnswer answer;
    decided = false;
    TLadderStop ladderStop(reader.Treppe, stopAt);
    TBoundedReader bounded(reader, x, y, b[PointIndex(x, y)], stopAt);
    for (int pass = 0; pass < static_cast<int>(std::size(kPasses)); ++pass) {
        bounded.BeginPass(pass, excluded);
        TPoint best;
        const int value =
            attack ? bounded.Attack(b, koX, koY, 0, best) : bounded.Defend(b, koX, koY, 0, best);
        if (bounded.Aborted) break;
        decided = true;
        answer.Result = value == Lose ? FightFailure : FightSuccess;
        answer.Move = value == Lose ? PassPoint : best;
        answer.KoKind = KoKindOf(value);
        answer.Ko = answer.KoKind != TKoResult::None;
        if (bounded.Horizons == 0) break;
    }
    return answer;
}

// The stone's chain after the owner or the attacker played m, on a copy; false when m is
// illegal or captures the chain.
bool PlayOn(const TBoard& b, int x, int y, TPoint m, int colour, int koX, int koY, TBoard& after,
            int32_t& kx, int32_t& ky) {
    if (!IsLegalOn(b, m.X, m.Y, colour, koX, koY)) return false;
    after = b;
    kx = koX;
    ky = koY;
    PlayMove(m.X, m.Y, colour, after, kx, ky);
    return after[PointIndex(x, y)] != 0;
}

// An attack that claims a capture with m must survive the defender's reply: when the defence
// question after m finds a rescue, m does not work.
bool CaptureHolds(TReader& reader, int x, int y, TPoint m, int koX, int koY, const TBoard& b,
                  uint64_t deadline, int checkLevels) {
    TPooledBoard after(reader.Context.Pool);
    int32_t kx, ky;
    if (!PlayOn(b, x, y, m, -b[PointIndex(x, y)], koX, koY, *after, kx, ky)) return true;
    const TReadingAnswer d = Read(reader, false, x, y, kx, ky, *after, deadline, checkLevels - 1);
    return !(d.Result == FightSuccess && !d.Ko);
}

// A chain given up must not be saved by any of the owner's moves around the fight: the first
// move after which the attack question fails is a defence.
TPoint RescueAroundTheFight(TReader& reader, int x, int y, int koX, int koY, const TBoard& b,
                            uint64_t deadline, int checkLevels) {
    const int colour = b[PointIndex(x, y)];
    TPooledList moves(reader.Context.Pool);
    FightMoves(reader, x, y, colour, koX, koY, b, *moves);
    TPooledList gains(reader.Context.Pool);
    LibertyGainMoves(b, x, y, koX, koY, *gains);
    for (const TPoint& g : *gains) AddUnique(*moves, g);
    TPooledBoard after(reader.Context.Pool);
    for (const TPoint& m : *moves) {
        if (TimeIsUp(reader, deadline)) break;
        int32_t kx, ky;
        if (!PlayOn(b, x, y, m, colour, koX, koY, *after, kx, ky)) continue;
        const TReadingAnswer a =
            Read(reader, true, x, y, kx, ky, *after, deadline, checkLevels - 1);
        if (a.Result == FightFailure) return m;
    }
    return PassPoint;
}

// Checks an answer of the bounded reading against the other question. A capture is given only
// with a move that survives the defence question; a refuted move is left out and the attack read
// again without it. A chain given up is searched for a rescue around the whole fight.
TReadingAnswer CrossCheck(TReader& reader, bool attack, int x, int y, int koX, int koY,
                          const TBoard& b, uint64_t stopAt, uint64_t deadline, int checkLevels,
                          TReadingAnswer answer) {
    TPooledList refuted(reader.Context.Pool);
    while (attack && answer.Result == FightSuccess && OnBoard(answer.Move.X, answer.Move.Y) &&
           !answer.Ko &&
           !CaptureHolds(reader, x, y, answer.Move, koX, koY, b, deadline, checkLevels)) {
        refuted->Items[refuted->Count++] = answer.Move;
        bool decided = false;
        answer = Deepen(reader, attack, x, y, koX, koY, b, stopAt, &*refuted, decided);
        if (!decided) answer.Result = FightUndecided;
    }
    if (!attack && answer.Result == FightFailure) {
        const TPoint rescue =
            RescueAroundTheFight(reader, x, y, koX, koY, b, deadline, checkLevels);
        if (OnBoard(rescue.X, rescue.Y)) {
            answer.Result = FightSuccess;
            answer.Move = rescue;
        }
    }
    return answer;
}

// Answers a question: bounded reading, then the cross-checks while checkLevels allow, and, when
// not even the first pass finished, the exhaustive search with the rest of the time.
TReadingAnswer Read(TReader& reader, bool attack, int x, int y, int koX, int koY, const TBoard& b,
                    uint64_t deadline, int checkLevels) {
    TReadingAnswer answer;
    const int colour = b[PointIndex(x, y)];
    if (colour == 0) {
        answer.Result = FightFailure;
        return answer;
    }
    if (TimeIsUp(reader, deadline)) return answer;
    // Every ladder read for this question, the eye test's included, stops at the deadline.
    TLadderStop ladderStop(reader.Treppe, deadline);
    const bool twoEyes = HasTwoEyes(reader, x, y, koX, koY, b);
    if (reader.Treppe.CutShort()) return answer;
    if (twoEyes) {
        answer.Result = attack ? FightFailure : FightSuccess;
        return answer;
    }
    const uint64_t now = reader.NowMs();
    // At least one millisecond: a budget of one or two would otherwise round to nothing and
    // leave every question to the exhaustive search.
    const uint64_t stopAt =
        now + (deadline > now ? std::max<uint64_t>(1, (deadline - now) * 3 / 4) : 0);
    bool decided = false;
    answer = Deepen(reader, attack, x, y, koX, koY, b, stopAt, nullptr, decided);
    if (decided)
        return checkLevels > 0 ? CrossCheck(reader, attack, x, y, koX, koY, b, stopAt, deadline,
                                            checkLevels, answer)
                               : answer;
    TPooledList moves(reader.Context.Pool);
    answer.Bounded = false;
    answer.Result = attack ? obrin::Attack(reader, x, y, koX, koY, b, deadline, *moves)
                           : obrin::Defend(reader, x, y, koX, koY, b, deadline, *moves);
    // An answer that rests on a ladder cut short by the deadline is no answer.
    if (reader.Treppe.CutShort()) answer.Result = FightUndecided;
    answer.Move = answer.Result == FightSuccess && moves->Count > 0 ? (*moves)[0] : PassPoint;
    return answer;
}

// The clock tells only which millisecond has begun, and the way back out of the search takes a
// little time: a question with time to spare stops reading a millisecond early, so that the
// answer comes within the time given.
uint64_t StopReadingAt(TReader& reader, uint64_t deadline) {
    constexpr uint64_t spareFrom = 10;
    return deadline >= reader.NowMs() + spareFrom ? deadline - 1 : deadline;
}

}  // namespace

TReadingAnswer ReadAttack(TReader& reader, int x, int y, int koX, int koY, const TBoard& b,
                          uint64_t deadline) {
    return Read(reader, true, x, y, koX, koY, b, StopReadingAt(reader, deadline), kCheckLevels);
}

TReadingAnswer ReadDefend(TReader& reader, int x, int y, int koX, int koY, const TBoard& b,
                          uint64_t deadline) {
    return Read(reader, false, x, y, koX, koY, b, StopReadingAt(reader, deadline), kCheckLevels);
}

}  // namespace obrin
