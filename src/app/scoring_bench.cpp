#include "app/scoring_bench.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
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

}  // namespace

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
