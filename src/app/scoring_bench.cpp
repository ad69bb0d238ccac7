#include "app/scoring_bench.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "analysis/graph.h"
#include "app/options.h"
#include "game/analyse.h"
#include "game/engine.h"
#include "game/scoring.h"
#include "tools/klassidata.h"

namespace obrin::cli {
namespace {

struct TCount {
    double Balance = 0.0;
    TBoard Dead{};
    int Rounds = 1;  // analyses run
};

// A count of the position on Spielfeld with no prisoners yet.
using TCounter = TCount (*)(TEngine& engine);

// The count of one analysis: the stones its graph leaves out of the living ones are dead.
TCount SingleAnalysisCount(TEngine& engine) {
    Analyse(engine, TAnalysisStage::All);
    const TBoard& b = engine.Fields.Spielfeld;
    TCount c;
    c.Balance = CountScore(b, engine.Graph->LivingMap, engine.Graph->ScoreField,
                           engine.Game.GefangeneSchwarz, engine.Game.GefangeneWeiss)
                    .Balance();
    for (int p = 0; p < PointCount; ++p)
        if (b[p] != 0 && engine.Graph->LivingMap[p] == 0) c.Dead[p] = b[p];
    return c;
}

TCount FinalCount(TEngine& engine) {
    const TFinalCount f = CountFinalPosition(engine);
    return {f.Score.Balance(), f.Dead, f.Rounds};
}

struct TAgreement {
    int Positions = 0, ScoreMoved = 0, WinnerChanged = 0, NewDead = 0;
    std::vector<double> Moves;  // how far the score moved where it did
    std::vector<int> Rounds;    // positions by the analyses their first count ran
};

// Counts position, takes off the stones listed dead as prisoners, and counts again.
void Check(TEngine& engine, const TBoard& position, TCounter count, TAgreement& a) {
    engine.Fields.Spielfeld = position;
    engine.Fields.KoX = engine.Fields.KoY = -1;
    engine.Game.GefangeneSchwarz = engine.Game.GefangeneWeiss = 0.0;
    const TCount first = count(engine);
    TBoard cleaned = position;
    for (int p = 0; p < PointCount; ++p)
        if (first.Dead[p] != 0) {
            (first.Dead[p] > 0 ? engine.Game.GefangeneWeiss : engine.Game.GefangeneSchwarz) += 1;
            cleaned[p] = 0;
        }
    engine.Fields.Spielfeld = cleaned;
    const TCount second = count(engine);
    ++a.Positions;
    if (a.Rounds.size() <= static_cast<size_t>(first.Rounds)) a.Rounds.resize(first.Rounds + 1);
    ++a.Rounds[first.Rounds];
    const double moved = std::fabs(second.Balance - first.Balance);
    if (moved > 0.01) {
        ++a.ScoreMoved;
        a.Moves.push_back(moved);
        if ((first.Balance > 0.01) != (second.Balance > 0.01)) ++a.WinnerChanged;
    }
    if (std::any_of(second.Dead.begin(), second.Dead.end(), [](int32_t v) { return v != 0; }))
        ++a.NewDead;
}

void Print(const char* name, TAgreement& a) {
    std::sort(a.Moves.begin(), a.Moves.end());
    const double median = a.Moves.empty() ? 0.0 : a.Moves[a.Moves.size() / 2];
    const double most = a.Moves.empty() ? 0.0 : a.Moves.back();
    std::printf(
        "%s: %d positions, score moved after cleaning in %d (median %.1f, up to %.1f points, "
        "winner changed in %d), new dead stones in %d\n",
        name, a.Positions, a.ScoreMoved, median, most, a.WinnerChanged, a.NewDead);
    std::printf("  positions by analyses run:");
    for (size_t r = 1; r < a.Rounds.size(); ++r) std::printf(" %zu: %d", r, a.Rounds[r]);
    std::printf("\n");
}

// Milliseconds of processor time this thread has used.
double ThreadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// The count's verdicts against the teacher's on final positions, in stones.
struct TVerdictTally {
    int TeacherDead = 0, DeadFound = 0;
    int TeacherAlive = 0, AliveKept = 0;
    int TeacherSeki = 0, SekiFound = 0, OwnSeki = 0;
    std::vector<double> Ms;  // processor time per count
};

TBoard Marks(const std::vector<TPoint>& points) {
    TBoard b{};
    for (const TPoint& p : points) b[PointIndex(p.X, p.Y)] = 1;
    return b;
}

// The position with the disagreements: x and o are stones both call dead, b and w stones only
// the teacher calls dead, B and W stones only the count calls dead, s seki stones.
void PrintDisagreement(const TBoard& position, const TBoard& teacherDead,
                       const TFinalCount& count) {
    for (int y = BoardSize - 1; y >= 0; --y) {
        std::string row = "  ";
        for (int x = 0; x < BoardSize; ++x) {
            const int p = PointIndex(x, y);
            const bool black = position[p] > 0;
            char c = position[p] == 0 ? '.' : (black ? 'X' : 'O');
            const bool ours = count.Dead[p] != 0, theirs = teacherDead[p] != 0;
            if (ours && theirs) c = black ? 'x' : 'o';
            else if (theirs) c = black ? 'b' : 'w';
            else if (ours) c = black ? 'B' : 'W';
            else if (count.Seki[p] != 0) c = 's';
            row += c;
            row += ' ';
        }
        std::printf("%s\n", row.c_str());
    }
}

// Counts the final position of game and compares its dead and seki stones with the teacher's.
void TallyFinal(TEngine& engine, const TTeacherGame& game, bool verbose, TVerdictTally& t) {
    const TTeacherVerdict& verdict = game.Verdicts.back();
    const TBoard position = PositionAfter(game, verdict.MoveNumber);
    engine.Fields.Spielfeld = position;
    engine.Fields.KoX = engine.Fields.KoY = -1;
    engine.Game.GefangeneSchwarz = engine.Game.GefangeneWeiss = 0.0;
    const double start = ThreadCpuMs();
    const TFinalCount count = CountFinalPosition(engine);
    t.Ms.push_back(ThreadCpuMs() - start);
    const TBoard dead = Marks(verdict.Dead), seki = Marks(verdict.Seki);
    int deadHere = 0, foundHere = 0, killedHere = 0;
    for (int p = 0; p < PointCount; ++p) {
        if (position[p] == 0) continue;
        const bool oursDead = count.Dead[p] != 0, oursSeki = count.Seki[p] != 0;
        t.OwnSeki += oursSeki;
        if (dead[p] != 0) {
            ++deadHere;
            foundHere += oursDead;
        } else if (seki[p] != 0) {
            ++t.TeacherSeki;
            t.SekiFound += oursSeki;
        } else {
            ++t.TeacherAlive;
            t.AliveKept += !oursDead;
            killedHere += oursDead;
        }
    }
    t.TeacherDead += deadHere;
    t.DeadFound += foundHere;
    if (verbose)
        std::printf("game %d: dead found %d of %d, living stones counted dead %d, %.0f ms\n",
                    game.Id, foundHere, deadHere, killedHere, t.Ms.back());
    if (verbose && (foundHere < deadHere || killedHere > 0))
        PrintDisagreement(position, dead, count);
}

double Share(int part, int whole) {
    return whole == 0 ? 1.0 : static_cast<double>(part) / whole;
}

}  // namespace

// The final positions of teacher games: the count's dead and seki stones against the teacher's
// final_status_list, and the processor time per count.
int BenchEndCount(const Args& args) {
    const std::string files =
        Option(args, "--games",
               DefaultGames("games-final.txt") + "," + DefaultGames("games-dragon.txt") + "," +
                   DefaultGames("games-wide.txt"));
    const bool verbose = HasOption(args, "--verbose");
    IHost host;
    TEngine engine(host);
    engine.Clock.SetDeterministic(true);
    engine.Settings.KlassischeEngine = HasOption(args, "--classic");
    TVerdictTally t;
    for (const TTeacherGame& game : ReadTeacherGameFiles(files))
        if (!game.Verdicts.empty() && game.Verdicts.back().Final)
            TallyFinal(engine, game, verbose, t);
    std::sort(t.Ms.begin(), t.Ms.end());
    std::printf("%zu final positions (%s count)\n", t.Ms.size(),
                engine.Settings.KlassischeEngine ? "classic" : "end");
    std::printf("dead stones found:   %d of %d (%.3f)\n", t.DeadFound, t.TeacherDead,
                Share(t.DeadFound, t.TeacherDead));
    std::printf("alive stones kept:   %d of %d (%.3f)\n", t.AliveKept, t.TeacherAlive,
                Share(t.AliveKept, t.TeacherAlive));
    std::printf("seki stones found:   %d of %d; stones counted in seki: %d\n", t.SekiFound,
                t.TeacherSeki, t.OwnSeki);
    if (!t.Ms.empty())
        std::printf("processor time per count: median %.0f ms, worst %.0f ms\n",
                    t.Ms[t.Ms.size() / 2], t.Ms.back());
    return 0;
}

// Positions of the teacher games: the last one of every game and, from move --from on, every
// --every-th one, up to --positions in all.
int BenchScoring(const Args& args) {
    const long long limit = std::max(1LL, NumberOption(args, "--positions", 200));
    const long long every = std::max(1LL, NumberOption(args, "--every", 40));
    const long long from = std::max(1LL, NumberOption(args, "--from", 100));
    std::vector<TBoard> positions;
    for (const char* file : {"games-final.txt", "games-dragon.txt", "games-wide.txt"}) {
        for (const TTeacherGame& game : ReadTeacherGames(DefaultGames(file))) {
            const int length = static_cast<int>(game.Moves.size());
            for (int n = static_cast<int>(from); n < length; n += static_cast<int>(every))
                positions.push_back(PositionAfter(game, n));
            positions.push_back(PositionAfter(game, length));
        }
    }
    if (positions.size() > static_cast<size_t>(limit)) positions.resize(static_cast<size_t>(limit));
    IHost host;
    TEngine engine(host);
    engine.Clock.SetDeterministic(true);
    engine.Settings.KlassischeEngine = HasOption(args, "--classic");
    TAgreement single, final;
    for (const TBoard& position : positions) {
        Check(engine, position, SingleAnalysisCount, single);
        Check(engine, position, FinalCount, final);
    }
    Print("one analysis", single);
    Print("final count", final);
    return 0;
}

}  // namespace obrin::cli
