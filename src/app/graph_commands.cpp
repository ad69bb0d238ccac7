#include "app/graph_commands.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <random>

#include "analysis/graph.h"
#include "analysis/klassi.h"
#include "tools/klassidata.h"
#include "tools/klassitrain.h"
#include "app/options.h"
#include "board/chains.h"
#include "game/analyse.h"
#include "game/engine.h"
#include "tactics/treppe.h"

namespace obrin::cli {
namespace {

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Times the stages of the analysis as the user sees them: a span from one status text to the
// next (the graph shows its own steps), the last one up to the end of the analysis.
class TStageTimingHost : public IHost {
  public:
    using TClock = std::chrono::steady_clock;

    void SetStatus(const std::string& text) override {
        if (text.empty()) return;
        Close();
        m_open = text;
        m_start = TClock::now();
    }
    // Ends the open span and adds every span of this analysis to its stage's list.
    void EndAnalysis() {
        Close();
        m_open.clear();
        double total = 0;
        for (const auto& [label, ms] : m_spans) {
            Stage(label).push_back(ms);
            total += ms;
        }
        Stage("total").push_back(total);
        m_spans.clear();
    }
    std::vector<double>& Stage(const std::string& label) {
        for (auto& [name, ms] : Stages)
            if (name == label) return ms;
        return Stages.emplace_back(label, std::vector<double>{}).second;
    }

    std::vector<std::pair<std::string, std::vector<double>>> Stages;  // in order of appearance

  private:
    void Close() {
        if (m_open.empty()) return;
        const double ms =
            std::chrono::duration<double, std::milli>(TClock::now() - m_start).count();
        for (auto& [label, spent] : m_spans)
            if (label == m_open) {
                spent += ms;
                return;
            }
        m_spans.emplace_back(m_open, ms);
    }

    std::string m_open;
    TClock::time_point m_start;
    std::vector<std::pair<std::string, double>> m_spans;
};

double Worst(const std::vector<double>& v) {
    return v.empty() ? 0.0 : *std::max_element(v.begin(), v.end());
}

}  // namespace

int BenchGraph(const Args& args) {
    const std::string file = Option(args, "--games", DefaultGames("games-dragon.txt"));
    const int every = std::max(1, IntOption(args, "--every", 10));
    const int gameCount = IntOption(args, "--game-count", 20);
    const auto games = ReadTeacherGames(file);
    TStageTimingHost host;
    TEngine engine(host);
    engine.Settings.KlassischeEngine = HasOption(args, "--classic");
    TBoardFields& f = engine.Fields;
    std::vector<double> reading, totals;
    std::string worstWhere;
    double worst = -1;
    int positions = 0;
    for (int gi = 0; gi < std::min<int>(gameCount, static_cast<int>(games.size())); ++gi) {
        const TTeacherGame& game = games[gi];
        for (int n = 20; n <= 250 && n <= static_cast<int>(game.Moves.size()); n += every) {
            f.Spielfeld = PositionAfter(game, n);
            f.KoX = f.KoY = -1;
            Analyse(engine, TAnalysisStage::Areas);
            host.EndAnalysis();
            // The capture search once more on its own, for its share of the correction pass.
            const auto start = TStageTimingHost::TClock::now();
            engine.Graph->ReadChains();
            reading.push_back(std::chrono::duration<double, std::milli>(
                                  TStageTimingHost::TClock::now() - start)
                                  .count());
            const double total = host.Stage("total").back();
            if (total > worst) {
                worst = total;
                worstWhere = "game " + std::to_string(game.Id) + " move " + std::to_string(n);
            }
            ++positions;
        }
    }
    std::printf("Analysis up to the graph, %d positions (moves 20..250, every %d) of %d games:\n",
                positions, every, std::min<int>(gameCount, static_cast<int>(games.size())));
    std::printf("%-44s %10s %10s\n", "stage", "median ms", "worst ms");
    for (const auto& [label, ms] : host.Stages)
        std::printf("%-44s %10.2f %10.2f\n", label.c_str(), Median(ms), Worst(ms));
    std::printf("%-44s %10.2f %10.2f\n", "capture search on every chain, again", Median(reading),
                Worst(reading));
    std::printf("worst position: %s\n", worstWhere.c_str());
    return 0;
}

namespace {

// GNU Go's verdict on a stone: the rows of the three-way table.
enum TTeacherStatus { TeacherAlive, TeacherCritical, TeacherDead, TeacherLeftOut };

// Stone counts of the status measures over many positions.
struct TStatusCounts {
    // Two-way, teacher dead or alive (critical and seki left out) against graph dead or not.
    long DeadDead = 0, DeadAlive = 0, AliveDead = 0, AliveAlive = 0;
    // Three-way, positions judged by dragon_status only: [teacher row][graph status 0..3].
    long Table[3][4] = {};
    // The sure-stone field (NNSSicher / NNWSicher of the stone's colour above 0) against
    // dragon_status, dead against alive: [teacher dead][field sure].
    long Sure[2][2] = {};
    int Positions = 0, DragonPositions = 0;
};

double Share(long part, long whole) {
    return whole > 0 ? double(part) / double(whole) : 0.0;
}

std::array<TTeacherStatus, PointCount> TeacherStatusOf(const TTeacherVerdict& v) {
    std::array<TTeacherStatus, PointCount> teacher;
    teacher.fill(TeacherAlive);
    for (const TPoint& p : v.Dead) teacher[PointIndex(p.X, p.Y)] = TeacherDead;
    for (const TPoint& p : v.Critical) teacher[PointIndex(p.X, p.Y)] = TeacherCritical;
    for (const TPoint& p : v.Seki) teacher[PointIndex(p.X, p.Y)] = TeacherLeftOut;
    return teacher;
}

void CountPosition(const TEngine& engine, const TTeacherVerdict& v, TStatusCounts& c) {
    const TBoard& board = engine.Fields.Spielfeld;
    const auto teacher = TeacherStatusOf(v);
    ++c.Positions;
    c.DragonPositions += v.FromDragons;
    for (int p = 0; p < PointCount; ++p) {
        if (board[p] == 0 || teacher[p] == TeacherLeftOut) continue;
        const TGoGroup* g = engine.Graph->GroupAtPoint(p);
        const int status = g != nullptr ? g->Status : StatusDead;
        if (teacher[p] != TeacherCritical) {
            const bool graphDead = status == StatusDead;
            if (teacher[p] == TeacherDead)
                ++(graphDead ? c.DeadDead : c.DeadAlive);
            else
                ++(graphDead ? c.AliveDead : c.AliveAlive);
        }
        if (!v.FromDragons) continue;
        ++c.Table[teacher[p]][status];
        if (teacher[p] == TeacherCritical) continue;
        const TBoard& sure = board[p] > 0 ? engine.Container->NNSSicher : engine.Container->NNWSicher;
        ++c.Sure[teacher[p] == TeacherDead][sure[p] > 0];
    }
}

void PrintStatusCounts(const TStatusCounts& c) {
    const double tpr = Share(c.DeadDead, c.DeadDead + c.DeadAlive);
    const double tnr = Share(c.AliveAlive, c.AliveAlive + c.AliveDead);
    std::printf("GNU Go dead:  %ld stones called dead, %ld not\n", c.DeadDead, c.DeadAlive);
    std::printf("GNU Go alive: %ld stones called dead, %ld not\n", c.AliveDead, c.AliveAlive);
    std::printf("dead found %.3f, alive kept %.3f, balanced accuracy %.3f\n", tpr, tnr,
                (tpr + tnr) / 2);
    std::printf("\nthree-way, %d positions judged by dragon_status (stones):\n", c.DragonPositions);
    std::printf("%-16s %8s %8s %11s %8s   recall\n", "GNU Go", "tot", "rettbar", "angreifbar",
                "sicher");
    const char* rows[] = {"alive", "critical", "dead"};
    double recalls[3];
    for (int r = 0; r < 3; ++r) {
        const long* t = c.Table[r];
        const long all = t[0] + t[1] + t[2] + t[3];
        const long right = r == TeacherAlive ? t[StatusSafe]
                           : r == TeacherDead ? t[StatusDead]
                                              : t[StatusSaveable] + t[StatusAttackable];
        recalls[r] = Share(right, all);
        std::printf("%-16s %8ld %8ld %11ld %8ld   %.3f\n", rows[r], t[0], t[1], t[2], t[3],
                    recalls[r]);
    }
    std::printf("three-way mean recall %.3f\n", (recalls[0] + recalls[1] + recalls[2]) / 3);
    const double sureDead = Share(c.Sure[1][0], c.Sure[1][0] + c.Sure[1][1]);
    const double sureAlive = Share(c.Sure[0][1], c.Sure[0][0] + c.Sure[0][1]);
    std::printf("sure-stone field against dragon_status: dead not sure %.3f, alive sure %.3f, "
                "balanced accuracy %.3f\n",
                sureDead, sureAlive, (sureDead + sureAlive) / 2);
}

}  // namespace

int BenchStatus(const Args& args) {
    const std::string file = Option(args, "--games", DefaultGames("games-dragon.txt"));
    const int from = IntOption(args, "--from-move", 20);
    // --heldout: only the games kept out of training (numbers ending in 4 or 9).
    const bool heldOutOnly = HasOption(args, "--heldout");
    IHost host;
    TEngine engine(host);
    // The reading in the graph reaches the same depth on every machine: the figures repeat.
    engine.Clock.SetDeterministic(true);
    engine.Settings.KlassischeEngine = HasOption(args, "--classic");
    TBoardFields& f = engine.Fields;
    TStatusCounts counts;
    for (const TTeacherGame& game : ReadTeacherGameFiles(file)) {
        if (heldOutOnly && !IsHeldOut(game, 5)) continue;
        for (const TTeacherVerdict& v : game.Verdicts) {
            if (v.MoveNumber < from) continue;
            f.Spielfeld = PositionAfter(game, v.MoveNumber);
            f.KoX = f.KoY = -1;
            Analyse(engine, TAnalysisStage::Areas);
            CountPosition(engine, v, counts);
        }
    }
    std::printf("%s: %d positions from move %d%s\n", file.c_str(), counts.Positions, from,
                heldOutOnly ? ", held-out games only" : "");
    PrintStatusCounts(counts);
    return 0;
}

int BenchGraphRandom(const Args& args) {
    const int count = std::max(1, IntOption(args, "--positions", 1000));
    const int seed = IntOption(args, "--seed", 1);
    // With --every K only every K-th position of the series is analysed (all densities still
    // come up): a sample for slow builds such as the sanitizer build.
    const int every = std::max(1, IntOption(args, "--every", 1));
    const bool progress = std::find(args.begin(), args.end(), "--progress") != args.end();
    IHost host;
    TEngine engine(host);
    engine.Clock.SetDeterministic(true);
    TBoardFields& f = engine.Fields;
    std::mt19937 rng(static_cast<uint32_t>(seed));
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::vector<double> ms;
    int faults = 0, worstAt = -1;
    for (int i = 0; i < count; ++i) {
        // Every density from an empty to a full board, stones of either colour at random, as
        // the board editor can leave them (chains without liberties included).
        const double density = count > 1 ? double(i) / (count - 1) : 0.5;
        for (int32_t& v : f.Spielfeld) v = u(rng) < density ? (u(rng) < 0.5 ? 1 : -1) : 0;
        if (i % every != 0) continue;
        f.KoX = f.KoY = -1;
        const auto start = std::chrono::steady_clock::now();
        try {
            Analyse(engine, TAnalysisStage::Areas);
        } catch (const std::exception& e) {
            std::printf("position %d: %s\n", i, e.what());
            ++faults;
            continue;
        }
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        if (ms.back() >= *std::max_element(ms.begin(), ms.end())) worstAt = i;
        int grouped = 0, stones = 0;
        for (const TGoGroup* g = engine.Graph->Groups(); g != nullptr; g = g->next)
            grouped += g->Anzahl;
        for (const int32_t v : f.Spielfeld) stones += v != 0;
        if (grouped != stones) {
            std::printf("position %d: %d stones, %d in groups\n", i, stones, grouped);
            ++faults;
        }
        if (progress) {
            std::printf("position %d done (%d stones, %.0f ms), %d faults so far\n", i, stones,
                        ms.back(), faults);
            std::fflush(stdout);
        }
    }
    std::printf(
        "%zu of %d random positions (seed %d): %d faults; median %.2f ms, worst %.2f ms "
        "(position %d)\n",
        ms.size(), count, seed, faults, Median(ms),
        ms.empty() ? 0.0 : *std::max_element(ms.begin(), ms.end()), worstAt);
    engine.Shutdown();
    return faults == 0 ? 0 : 1;
}

}  // namespace obrin::cli
