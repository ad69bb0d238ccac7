#include "goals/move_check.h"

#include <algorithm>

#include "analysis/graph.h"
#include "analysis/swing.h"
#include "board/chains.h"
#include "board/errors.h"
#include "board/neighbours.h"
#include "patterns/pattern_context.h"
#include "tactics/treppe.h"

namespace obrin {

namespace {

// How many of the predictor's points become goals. More let the predictor decide where the
// move check turns its first choice down; three lost least in the nine-stone games.
constexpr size_t PredictedCount = 3;

constexpr int32_t Own = 1;
constexpr int32_t Enemy = -1;
// An area of our stones larger than this may still hold an invasion: moves there are not passed
// over while the opponent plays on.
constexpr int32_t SettledAreaLimit = 30;

const TGoGroup* GroupAt(const TPatternContext& context, int point) {
    try {
        return &context.Graph->FindGroupOfStone(point);
    } catch (const EObrinError&) {
        return nullptr;
    }
}

bool IsDeadStone(const TPatternContext& context, int point) {
    const TGoGroup* g = GroupAt(context, point);
    return g != nullptr && g->Status == StatusDead;
}

int LibertiesOfChainAt(const TBoard& b, int point) {
    TPointList liberties;
    return GetLiberties(PointColumn(point), PointRow(point), b, liberties);
}

// Does +1 at p take an opponent's chain (p its last liberty)?
bool Captures(const TBoard& b, int p) {
    for (int i = 0; i < Neighbours.Count[p]; ++i) {
        const int n = Neighbours.Index[p][i];
        if (b[n] == Enemy && LibertiesOfChainAt(b, n) == 1) return true;
    }
    return false;
}

// Is p the last liberty of one of our chains?
bool ExtendsChainInAtari(const TBoard& b, int p) {
    for (int i = 0; i < Neighbours.Count[p]; ++i) {
        const int n = Neighbours.Index[p][i];
        if (b[n] == Own && LibertiesOfChainAt(b, n) == 1) return true;
    }
    return false;
}

// The area around an empty point: the empty points and dead stones (of either side) connected
// to it, and the living stones that border it.
struct TArea {
    int32_t Size = 0;
    std::vector<int> Empty;   // its empty points
    bool DeadStones = false;  // it holds dead stones
    bool OwnBorder = false;
    bool SettledOwnBorder = true;  // every own stone on the border belongs to a safe group
    bool EnemyBorder = false;
    bool SettledEnemyBorder = true;  // every opponent's stone on the border belongs to a safe group
};

TArea AreaAround(const TPatternContext& context, int start) {
    const TBoard& b = context.Fields.Spielfeld;
    TStampMarks marks;
    marks.Begin();
    std::vector<int> stack{start};
    marks.Mark(start);
    TArea area;
    while (!stack.empty()) {
        const int p = stack.back();
        stack.pop_back();
        ++area.Size;
        if (b[p] == 0)
            area.Empty.push_back(p);
        else
            area.DeadStones = true;
        for (int i = 0; i < Neighbours.Count[p]; ++i) {
            const int n = Neighbours.Index[p][i];
            if (marks.IsMarked(n)) continue;
            marks.Mark(n);
            if (b[n] == 0 || IsDeadStone(context, n)) {
                stack.push_back(n);
            } else if (b[n] == Own) {
                area.OwnBorder = true;
                const TGoGroup* g = GroupAt(context, n);
                if (g == nullptr || g->Status != StatusSafe) area.SettledOwnBorder = false;
            } else {
                area.EnemyBorder = true;
                const TGoGroup* g = GroupAt(context, n);
                if (g == nullptr || g->Status != StatusSafe) area.SettledEnemyBorder = false;
            }
        }
    }
    return area;
}

bool OpponentStoneNear(const TBoard& b, int p) {
    const int x = PointColumn(p), y = PointRow(p);
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (OnBoard(x + dx, y + dy) && b[PointIndex(x + dx, y + dy)] == Enemy) return true;
    return false;
}

// Distinct chains of colour next to the chain of stones (by their names in Namensfeld).
int NeighbourChainsOf(const TBoardFields& f, const TPointList& stones, int colour) {
    std::vector<int> names;
    for (const TPoint& s : stones) {
        const int p = PointIndex(s.X, s.Y);
        for (int i = 0; i < Neighbours.Count[p]; ++i) {
            const int n = Neighbours.Index[p][i];
            if (f.Spielfeld[n] != colour) continue;
            if (std::find(names.begin(), names.end(), f.Namensfeld[n]) == names.end())
                names.push_back(f.Namensfeld[n]);
        }
    }
    return static_cast<int>(names.size());
}

// The distinct groups of colour next to the chain of stones.
std::vector<const TGoGroup*> GroupsBeside(const TPatternContext& context, const TPointList& stones,
                                          int colour) {
    std::vector<const TGoGroup*> groups;
    for (const TPoint& s : stones) {
        const int p = PointIndex(s.X, s.Y);
        for (int i = 0; i < Neighbours.Count[p]; ++i) {
            const int n = Neighbours.Index[p][i];
            if (context.Fields.Spielfeld[n] != colour) continue;
            const TGoGroup* g = GroupAt(context, n);
            if (std::find(groups.begin(), groups.end(), g) == groups.end()) groups.push_back(g);
        }
    }
    return groups;
}

// Does the chain of stones touch a group of the opponent's that is still in the fight?
bool CutsUnsettledGroup(const TPatternContext& context, const TPointList& stones) {
    const std::vector<const TGoGroup*> groups = GroupsBeside(context, stones, Enemy);
    return std::any_of(groups.begin(), groups.end(),
                       [](const TGoGroup* g) { return g != nullptr && InTheFight(g->Status); });
}

// Does the rescue at point join our chain to a chain of a safe group of ours?
bool JoinsSafeGroup(const TPatternContext& context, const TGoChain& chain, int point) {
    for (int i = 0; i < Neighbours.Count[point]; ++i) {
        const int n = Neighbours.Index[point][i];
        if (context.Fields.Spielfeld[n] != Own || context.Fields.Namensfeld[n] == chain.Name)
            continue;
        const TGoGroup* g = GroupAt(context, n);
        if (g != nullptr && g->Status == StatusSafe) return true;
    }
    return false;
}

// Is our chain in atari worth its rescue at point though the playouts call its group dead? When
// the rescue joins it to a safe group of ours, and for a lone cutting stone beside a group
// of the opponent's still in the fight when the rescue runs out to the fourth line or higher: the
// playouts give such a stone up too readily while it splits the opponent's weak stones (near the
// edge it only crawls along inside the opponent's sphere).
bool DeadChainWorthSaving(const TPatternContext& context, const TGoChain& chain,
                          const TPointList& stones, bool cutting, int point) {
    if (JoinsSafeGroup(context, chain, point)) return true;
    return stones.Count == 1 && cutting && CutsUnsettledGroup(context, stones) &&
           context.Fields.MinAbstand[point] >= 3;
}

// The first rescue of our chain in atari at (x, y) (every candidate is legal) after which the
// chain has three liberties, or two and the ladder does not take it; -1 when there is none.
int PlayableRescue(TPatternContext& context, int x, int y) {
    const TBoardFields& f = context.Fields;
    TPointList candidates;
    RescueCandidates(f.Spielfeld, x, y, f.KoX, f.KoY, candidates);
    for (const TPoint& m : candidates) {
        TBoard after = f.Spielfeld;
        int32_t kx = f.KoX, ky = f.KoY;
        PlayMove(m.X, m.Y, Own, after, kx, ky);
        TPointList liberties;
        const int n = GetLiberties(x, y, after, liberties);
        if (n >= 3 || (n == 2 && Ladder(context.Reader, x, y, after, kx, ky) < 0))
            return PointIndex(m.X, m.Y);
    }
    return -1;
}

// Does the capture at (x, y) stand? Not when the capturing chain is left in atari outside a ko:
// the opponent takes it back at once, with more stones than it lost.
bool CaptureHolds(const TBoardFields& f, int x, int y) {
    TBoard after = f.Spielfeld;
    int32_t kx = f.KoX, ky = f.KoY;
    PlayMove(x, y, Own, after, kx, ky);
    TPointList liberties;
    return GetLiberties(x, y, after, liberties) >= 2 || OnBoard(kx, ky);
}

// Does the chain at p (on the board after) touch a chain of ours that was in atari before the
// move and could have been saved instead?
bool TouchesSaveableChainInAtari(TPatternContext& context, const TBoard& after, int p) {
    const TBoard& before = context.Fields.Spielfeld;
    TPointList stones;
    GetChain(PointColumn(p), PointRow(p), after, stones);
    for (const TPoint& s : stones) {
        const int q = PointIndex(s.X, s.Y);
        for (int i = 0; i < Neighbours.Count[q]; ++i) {
            const int n = Neighbours.Index[q][i];
            if (before[n] == Own && LibertiesOfChainAt(before, n) == 1 &&
                LibertiesOfChainAt(after, n) == 1 &&
                PlayableRescue(context, PointColumn(n), PointRow(n)) >= 0)
                return true;
        }
    }
    return false;
}

// Does +1 at point put the opponent's chains in atari only where each of them escapes by
// capturing a chain of ours in atari beside it, one we could have saved? Then the atari gains
// nothing and the opponent takes our stones with the answer.
bool OnlyEmptyAtari(TPatternContext& context, int point) {
    const TBoardFields& f = context.Fields;
    TBoard after = f.Spielfeld;
    int32_t kx = f.KoX, ky = f.KoY;
    PlayMove(PointColumn(point), PointRow(point), Own, after, kx, ky);
    bool atari = false;
    for (int i = 0; i < Neighbours.Count[point]; ++i) {
        const int n = Neighbours.Index[point][i];
        if (after[n] != Enemy || LibertiesOfChainAt(after, n) != 1) continue;
        if (!TouchesSaveableChainInAtari(context, after, n)) return false;
        atari = true;
    }
    return atari;
}

// Does a stone of ours at point leave an empty point beside it that only our stones (and the
// edge) surround, with no opponent's stone on its diagonals?
bool MakesEye(const TBoard& b, int point) {
    for (int i = 0; i < Neighbours.Count[point]; ++i) {
        const int e = Neighbours.Index[point][i];
        if (b[e] != 0) continue;
        bool closed = true;
        for (int j = 0; j < Neighbours.Count[e]; ++j) {
            const int n = Neighbours.Index[e][j];
            closed &= n == point || b[n] == Own;
        }
        const int x = PointColumn(e), y = PointRow(e);
        for (int dx = -1; dx <= 1; dx += 2)
            for (int dy = -1; dy <= 1; dy += 2)
                if (OnBoard(x + dx, y + dy) && b[PointIndex(x + dx, y + dy)] == Enemy)
                    closed = false;
        if (closed) return true;
    }
    return false;
}

int NeighboursWithin(const std::vector<int>& points, int p) {
    int count = 0;
    for (int i = 0; i < Neighbours.Count[p]; ++i)
        count += static_cast<int>(std::count(points.begin(), points.end(), Neighbours.Index[p][i]));
    return count;
}

// Can a stone at point inside an empty area that only our stones border give the group a second
// eye there? Not in an area of one or two points, not in a square of four (the opponent's stone
// in the other corner kills it), and in an area of three only on the point between the other
// two. Larger areas are left to the eye moves' own judgement. A stone where no eye can come of
// it only takes a liberty of ours.
bool NoSecondEyeIn(const TArea& area, int point) {
    if (area.DeadStones || area.EnemyBorder || area.Size > 4) return false;
    if (area.Size <= 2) return true;
    if (area.Size == 3) return NeighboursWithin(area.Empty, point) < 2;
    for (const int p : area.Empty)
        if (NeighboursWithin(area.Empty, p) != 2) return false;
    return true;
}

// Does a stone at point on the first two lines join only groups of ours that are dead (at least
// one)? It crawls along the edge with stones the opponent takes anyway. (Higher up the status of
// a young group is too unsure for this.)
bool JoinsOnlyDeadGroups(const TPatternContext& context, int point) {
    const TBoard& b = context.Fields.Spielfeld;
    if (context.Fields.MinAbstand[point] > 1) return false;
    bool joins = false;
    for (int i = 0; i < Neighbours.Count[point]; ++i) {
        const int n = Neighbours.Index[point][i];
        if (b[n] != Own) continue;
        if (!IsDeadStone(context, n)) return false;
        joins = true;
    }
    return joins;
}

}  // namespace

TMoveFault CheckMove(TPatternContext& context, int32_t point, bool finished, bool eyeMove) {
    const TBoardFields& f = context.Fields;
    const TBoard& b = f.Spielfeld;
    // A capture passes unless the opponent takes the capturing stones back at once.
    if (Captures(b, point) && CaptureHolds(f, PointColumn(point), PointRow(point)))
        return TMoveFault::None;
    const bool rescue = ExtendsChainInAtari(b, point);
    if (!IsPlayable(context.Reader, PointColumn(point), PointRow(point), Own, f.KoX, f.KoY, b))
        return TMoveFault::ThrownAway;
    if (rescue) return TMoveFault::None;
    if (OnlyEmptyAtari(context, point)) return TMoveFault::EmptyAtari;
    if (JoinsOnlyDeadGroups(context, point)) return TMoveFault::ThrownAway;
    const TArea area = AreaAround(context, point);
    if (area.OwnBorder && area.SettledOwnBorder && !area.EnemyBorder &&
        (finished || area.Size <= SettledAreaLimit))
        return TMoveFault::OwnArea;
    if (finished && area.EnemyBorder && !area.OwnBorder) return TMoveFault::OpponentsArea;
    if (area.OwnBorder && NoSecondEyeIn(area, point)) return TMoveFault::NoEye;
    if (f.MinAbstand[point] == 0 && !(eyeMove && MakesEye(b, point)) &&
        !OpponentStoneNear(b, point))
        return TMoveFault::FirstLine;
    return TMoveFault::None;
}

bool GameLooksDecided(const TPatternContext& context, const std::function<double(int32_t)>& swingAt,
                      double limit) {
    for (const TGoGroup* g = context.Graph->Groups(); g != nullptr; g = g->next)
        if (InTheFight(g->Status)) return false;
    const TBoard& b = context.Fields.Spielfeld;
    for (int32_t p = 0; p < PointCount; ++p) {
        if (b[p] != 0 || swingAt(p) < limit) continue;
        const TArea area = AreaAround(context, p);
        const bool ours = area.OwnBorder && !area.EnemyBorder && area.SettledOwnBorder;
        const bool theirs = area.EnemyBorder && !area.OwnBorder && area.SettledEnemyBorder;
        if (!((ours || theirs) && area.Size <= SettledAreaLimit)) return false;
    }
    return true;
}

void PrepareSwing(TSwingEvaluator& swing, const TPatternContext& context) {
    // A group still in the fight spreads half the influence of a settled one.
    constexpr int unsettled = 50;
    TBoard firmness{};
    for (const TGoGroup* g = context.Graph->Groups(); g != nullptr; g = g->next) {
        const int f = g->Status == StatusDead ? 0 : g->Status == StatusSafe ? 100 : unsettled;
        for (const TGoStone* s = g->Steine; s != nullptr; s = s->next) firmness[s->Point] = f;
    }
    swing.Prepare(context.Fields.Spielfeld, firmness);
}

std::vector<TUrgentMove> UrgentMoves(TPatternContext& context, double biggestSwing) {
    std::vector<TUrgentMove> moves;
    const double threshold = biggestSwing / 2;
    const TBoardFields& f = context.Fields;
    const TBoard& b = f.Spielfeld;
    for (const TGoChain* c = context.Graph->Chains(); c != nullptr; c = c->next) {
        const int x = PointColumn(c->Name), y = PointRow(c->Name);
        const int colour = b[c->Name];
        TPointList stones, liberties;
        const int size = GetChain(x, y, b, stones);
        if (GetLiberties(x, y, b, liberties) != 1) continue;
        // A stone of ours between two of the opponent's chains cuts, even where the graph
        // already counts them as one group: its capture is what joins them.
        const bool cutting = GroupsBeside(context, stones, -colour).size() >= 2 ||
                             (colour == Own && NeighbourChainsOf(f, stones, -colour) >= 2);
        if (size < 2 && !cutting) continue;
        // A chain of a dead group is not worth a move: theirs is ours already, and ours dies
        // anyway, unless its rescue shows the status wrong (see DeadChainWorthSaving).
        const bool dead = c->Group != nullptr && c->Group->Status == StatusDead;
        if (dead && colour != Own) continue;
        const int value = 3 * size + (cutting ? 5 : 0);
        if (value < threshold) continue;
        TUrgentMove move{-1, c->Name, size, colour == Own, value};
        if (colour == Own) {
            move.Point = PlayableRescue(context, x, y);
            if (dead && move.Point >= 0 &&
                !DeadChainWorthSaving(context, *c, stones, cutting, move.Point))
                move.Point = -1;
        } else if (CanEscape(context.Reader, b, x, y, f.KoX, f.KoY)) {
            const TPoint l = liberties[0];
            TBoard board = b;
            if (IsLegal(l.X, l.Y, Own, f.KoX, f.KoY, board) && CaptureHolds(f, l.X, l.Y))
                move.Point = PointIndex(l.X, l.Y);
        }
        if (move.Point >= 0) moves.push_back(move);
    }
    std::stable_sort(moves.begin(), moves.end(),
                     [](const TUrgentMove& a, const TUrgentMove& c) { return a.Value > c.Value; });
    return moves;
}

std::vector<TPredictedMove> PredictedMoves(const TPatternContext& context) {
    std::vector<TPredictedMove> moves;
    if (!context.Predictor.Loaded()) return moves;
    const TBoardFields& f = context.Fields;
    const int32_t ko = OnBoard(f.KoX, f.KoY) ? PointIndex(f.KoX, f.KoY) : -1;
    const TPredictorPosition position(f.Spielfeld, context.RecentMoves, ko);
    const auto probabilities = PredictorProbabilities(context.Predictor.Scores(position));
    std::vector<int32_t> points;
    for (int32_t p = 0; p < PointCount; ++p)
        if (probabilities[p] > 0) points.push_back(p);
    std::stable_sort(points.begin(), points.end(),
                     [&](int32_t a, int32_t b) { return probabilities[a] > probabilities[b]; });
    if (points.size() > PredictedCount) points.resize(PredictedCount);
    for (const int32_t p : points)
        moves.push_back({p, static_cast<int32_t>(probabilities[p] * 1e6 + 0.5)});
    return moves;
}

}  // namespace obrin
