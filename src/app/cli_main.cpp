// obrin-cli: the engine without windows. Subcommands are a registration table.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "analysis/datafiles.h"
#include "analysis/klassi.h"
#include "tools/klassidata.h"
#include "app/graph_commands.h"
#include "app/options.h"
#include "app/play_commands.h"
#include "app/scoring_bench.h"
#include "app/subcommand.h"
#include "app/train_commands.h"
#include "board/chains.h"
#include "game/analyse.h"
#include "game/engine.h"
#include "game/engine_side.h"
#include "tools/randomgames.h"
#include "gtp/gtp.h"
#include "gtp/gtp_analysis.h"
#include "gtp/gtp_goals.h"
#include "gtp/gtp_records.h"
#include "gtp/gtp_tactics.h"
#include "patterns/handlers.h"
#include "patterns/muster.h"
#include "tools/patterncheck.h"
#include "tools/sgfcommands.h"
#include "records/sgfdata.h"
#include "tactics/brute.h"
#include "tactics/reading.h"
#include "tools/tactics_positions.h"
#include "tactics/treppe.h"

namespace {

using obrin::cli::Args;
using obrin::cli::HasOption;
using obrin::cli::NumberOption;
using obrin::cli::Option;
using obrin::cli::TSubcommand;

// The headless host: nothing to show, no events to process.
// The GTP host: messages for the user (a damaged data file, say) go to standard error, where
// they do not disturb the protocol.
class TGtpHost : public obrin::IHost {
  public:
    void ShowMessage(const std::string& text) override { std::cerr << text << "\n"; }
};

// Milliseconds of processor time this thread has used.
double ThreadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// A host whose clock is the thread's processor time. On a shared machine the wall clock also
// counts the time other processes held the processor, which no search can help; with this
// clock a benchmark shows whether the reader itself keeps the time it is given.
class TCpuClockHost : public obrin::IHost {
  public:
    uint64_t TickMs() override { return static_cast<uint64_t>(ThreadCpuMs()); }
};

int Usage();

// Reads "--reading-ms N" into ms (kept when absent); false with a message when N is no positive
// number.
bool ReadingMsOption(const Args& args, const std::string& command, long long& ms) {
    if (!HasOption(args, "--reading-ms")) return true;
    ms = NumberOption(args, "--reading-ms", ms);
    if (ms > 0 && ms <= 24LL * 3600 * 1000) return true;
    std::cerr << "obrin-cli " << command
              << ": --reading-ms needs a positive number of milliseconds\n";
    return false;
}

int RunGtp(const Args& args) {
    long long readingMs = obrin::DefaultReadingMs;
    if (!ReadingMsOption(args, "gtp", readingMs)) return 2;
    TGtpHost host;
    obrin::TEngine engine(host);
    // "--deterministic": searches read the virtual clock driven by reading nodes, not wall time.
    engine.Clock.SetDeterministic(HasOption(args, "--deterministic"));
    if (HasOption(args, "--seed"))
        engine.Random.SetFixedSeed(static_cast<uint32_t>(NumberOption(args, "--seed", 0)));
    // The goal-selection trace "debug.txt", as the desktop program's setting writes it.
    engine.Settings.ZieleProtokollieren = HasOption(args, "--trace");
    engine.Settings.KlassischeEngine = HasOption(args, "--classic");
    obrin::TGtpEngine gtp(engine);
    obrin::RegisterTacticsCommands(gtp, static_cast<int>(readingMs));
    obrin::RegisterRecordsCommands(gtp);
    obrin::RegisterAnalysisCommands(gtp);
    obrin::RegisterGoalCommands(gtp);
    gtp.Run(std::cin, std::cout);
    engine.Shutdown();
    obrin::CheckSgfCounters();
    return 0;
}
std::string MoveText(obrin::TPoint m) {
    return obrin::OnBoard(m.X, m.Y) ? obrin::PointText(m.X, m.Y) : std::string("PASS");
}

// Asks one question, of the exhaustive search or (gtpReader) of the reader behind GTP attack and
// defend; returns the answer in GTP form.
std::string AskQuestion(obrin::TEngine& engine, const obrin::TTacticsPosition& pos,
                        const obrin::TTacticsQuestion& q, long long readingMs, bool gtpReader) {
    using namespace obrin;
    const int x = q.Chain.X, y = q.Chain.Y;
    if (q.Kind == TTacticsQuestionKind::Ladder) {
        const int m = Ladder(engine.Reader, x, y, pos.Board, pos.KoX, pos.KoY);
        return m < 0 ? "0" : "1 " + PointText(PointColumn(m), PointRow(m));
    }
    const bool attack = q.Kind == TTacticsQuestionKind::Attack;
    const uint64_t deadline = engine.Reader.NowMs() + static_cast<uint64_t>(readingMs);
    if (gtpReader) {
        const TReadingAnswer a =
            attack ? ReadAttack(engine.Reader, x, y, pos.KoX, pos.KoY, pos.Board, deadline)
                   : ReadDefend(engine.Reader, x, y, pos.KoX, pos.KoY, pos.Board, deadline);
        if (a.Result != FightSuccess) return a.Result == FightUndecided ? "undecided" : "0";
        const int code = a.KoKind == TKoResult::KoA ? 2 : a.KoKind == TKoResult::KoB ? 3 : 1;
        return std::to_string(code) + " " + MoveText(a.Move);
    }
    TPooledList moves(engine.Pool);
    const TFightResult r =
        attack ? Attack(engine.Reader, x, y, pos.KoX, pos.KoY, pos.Board, deadline, *moves)
               : Defend(engine.Reader, x, y, pos.KoX, pos.KoY, pos.Board, deadline, *moves);
    if (r == FightUndecided) return "undecided";
    if (r == FightFailure) return "0";
    return "1 " + MoveText((*moves)[0]);
}

// How an answer compares with the expected one: 2 when it agrees in result and move, 1 when in
// the result only (success or not, ko or not), 0 otherwise.
int Agreement(const std::string& answer, const std::string& expected) {
    if (answer == expected) return 2;
    const auto code = [](const std::string& a) { return a.empty() || a[0] == 'u' ? '0' : a[0]; };
    const auto kind = [](char c) { return c == '0' ? 0 : c == '1' ? 1 : 2; };
    return kind(code(answer)) == kind(code(expected)) ? 1 : 0;
}

int BenchTactics(const Args& args) {
    long long readingMs = 2000, runs = 3;
    if (!ReadingMsOption(args, "bench tactics", readingMs)) return 2;
    runs = NumberOption(args, "--runs", runs);
    runs = std::max(1LL, runs);
    const std::string file = Option(args, "--positions", obrin::cli::CheckoutFile("bench", "tactics_positions.txt"));
    std::ifstream in(file);
    if (!in) throw std::runtime_error(file + ": cannot open the position set");
    const auto positions = obrin::ReadTacticsPositions(in, file);
    obrin::IHost host;
    obrin::TEngine engine(host);
    engine.Clock.SetDeterministic(HasOption(args, "--deterministic"));
    const bool gtpReader = HasOption(args, "--gtp-reader");
    std::printf("%-24s %-14s %-10s %10s %10s %12s %s\n", "position", "question", "answer", "ms",
                "nodes", "nodes/s", "expected");
    double totalSecs = 0;
    long long totalNodes = 0;
    int expectedCount = 0, resultAgrees = 0, moveAgrees = 0;
    std::vector<double> medians;
    for (const auto& pos : positions)
        for (const auto& q : pos.Questions) {
            std::vector<double> secs;
            std::string answer;
            long long nodes = 0;
            for (long long r = 0; r < runs; ++r) {
                const long long before = engine.Reader.Nodes;
                const auto start = std::chrono::steady_clock::now();
                answer = AskQuestion(engine, pos, q, readingMs, gtpReader);
                secs.push_back(
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
                        .count());
                nodes = engine.Reader.Nodes - before;
            }
            std::sort(secs.begin(), secs.end());
            const double median = secs[secs.size() / 2];
            totalSecs += median;
            totalNodes += nodes;
            medians.push_back(median);
            std::string verdict;
            if (!q.Expected.empty()) {
                const int agreement = Agreement(answer, q.Expected);
                ++expectedCount;
                resultAgrees += agreement >= 1;
                moveAgrees += agreement == 2;
                verdict = q.Expected + (agreement == 2 ? "" : agreement == 1 ? " (move)" : " MISS");
            }
            const std::string question = std::string(obrin::QuestionName(q.Kind)) + " " +
                                         obrin::PointText(q.Chain.X, q.Chain.Y);
            std::printf("%-24s %-14s %-10s %10.3f %10lld %12.0f %s\n", pos.Name.c_str(),
                        question.c_str(), answer.c_str(), median * 1000, nodes,
                        median > 0 ? nodes / median : 0.0, verdict.c_str());
        }
    std::printf(
        "total: %lld nodes in %.3f s (median of %lld runs per question), %.0f nodes per second\n",
        totalNodes, totalSecs, runs, totalSecs > 0 ? totalNodes / totalSecs : 0.0);
    if (!medians.empty()) {
        std::sort(medians.begin(), medians.end());
        std::printf("median question: %.3f ms, slowest %.3f ms\n",
                    medians[medians.size() / 2] * 1000, medians.back() * 1000);
    }
    if (expectedCount > 0)
        std::printf("expected answers: %d of %d agree in the result, %d also in the move\n",
                    resultAgrees, expectedCount, moveAgrees);
    engine.Shutdown();
    return 0;
}

// Random dense positions through the reader behind GTP attack and defend: a robustness run (no
// position may crash, exhaust memory or overrun its time) that also reports the spread of times,
// on the wall clock or (--cpu-clock) on the thread's processor time.
int BenchTacticsRandom(const Args& args) {
    long long count = 1000, seed = 1, readingMs = 50;
    count = NumberOption(args, "--count", count);
    seed = NumberOption(args, "--seed", seed);
    if (!ReadingMsOption(args, "bench tactics-random", readingMs)) return 2;
    const bool cpuClock = HasOption(args, "--cpu-clock");
    obrin::IHost wallHost;
    TCpuClockHost cpuHost;
    obrin::TEngine engine(cpuClock ? static_cast<obrin::IHost&>(cpuHost) : wallHost);
    const auto nowMs = [cpuClock] {
        return cpuClock ? ThreadCpuMs()
                        : std::chrono::duration<double, std::milli>(
                              std::chrono::steady_clock::now().time_since_epoch())
                              .count();
    };
    engine.Clock.SetDeterministic(HasOption(args, "--deterministic"));
    std::mt19937 random(static_cast<uint32_t>(seed));
    std::vector<double> ms;
    long long results[3] = {0, 0, 0}, ko = 0;
    const long long nodesBefore = engine.Reader.Nodes;
    for (long long i = 0; i < count; ++i) {
        const int stones = 60 + static_cast<int>(random() % 191);
        const obrin::TTacticsPosition pos = obrin::RandomDensePosition(random, stones);
        for (const auto& q : pos.Questions) {
            const double start = nowMs();
            const uint64_t deadline = engine.Reader.NowMs() + static_cast<uint64_t>(readingMs);
            const bool attack = q.Kind == obrin::TTacticsQuestionKind::Attack;
            const obrin::TReadingAnswer a =
                attack ? obrin::ReadAttack(engine.Reader, q.Chain.X, q.Chain.Y, pos.KoX, pos.KoY,
                                           pos.Board, deadline)
                       : obrin::ReadDefend(engine.Reader, q.Chain.X, q.Chain.Y, pos.KoX, pos.KoY,
                                           pos.Board, deadline);
            ms.push_back(nowMs() - start);
            ++results[a.Result];
            ko += a.Ko;
        }
    }
    std::sort(ms.begin(), ms.end());
    std::printf(
        "%lld positions, %zu questions at %lld ms: %lld success (%lld by ko), %lld failure, "
        "%lld undecided\n",
        count, ms.size(), readingMs, results[obrin::FightSuccess], ko, results[obrin::FightFailure],
        results[obrin::FightUndecided]);
    if (!ms.empty()) {
        const auto over = ms.end() - std::upper_bound(ms.begin(), ms.end(), double(readingMs));
        std::printf(
            "%s ms per question: median %.2f, 99th percentile %.2f, max %.2f; %lld over the "
            "limit; %lld nodes\n",
            cpuClock ? "processor" : "wall", ms[ms.size() / 2], ms[ms.size() * 99 / 100], ms.back(),
            static_cast<long long>(over),
            static_cast<long long>(engine.Reader.Nodes - nodesBefore));
    }
    engine.Shutdown();
    return 0;
}

int BenchBoard(const Args& args) {
    long long games = 200, seed = 1, runs = 5;
    games = NumberOption(args, "--games", games);
    seed = NumberOption(args, "--seed", seed);
    runs = NumberOption(args, "--runs", runs);
    std::vector<double> rates;
    for (long long r = 0; r < runs; ++r) {
        const auto start = std::chrono::steady_clock::now();
        const auto stats =
            obrin::PlayRandomGames(static_cast<int>(games), static_cast<uint32_t>(seed + r));
        const double secs =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        rates.push_back(stats.Moves / secs);
        std::printf(
            "run %lld: %lld games, %lld legal moves, %lld legality tests, %.3f s, %.0f legal "
            "moves/s\n",
            r + 1, static_cast<long long>(stats.Games), static_cast<long long>(stats.Moves),
            static_cast<long long>(stats.LegalityTests), secs, stats.Moves / secs);
    }
    std::sort(rates.begin(), rates.end());
    std::printf("median: %.0f legal moves per second\n", rates[rates.size() / 2]);
    return 0;
}

// The arguments that are not options ("--name value" pairs).
Args Operands(const Args& args) {
    Args operands;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i].rfind("--", 0) == 0) {
            ++i;
            continue;
        }
        operands.push_back(args[i]);
    }
    return operands;
}

// Runs a record command, then makes sure every parse tree it built was freed.
int WithSgfCheck(int status) {
    obrin::CheckSgfCounters();
    return status;
}

int SgfCheck(const Args& args) {
    if (args.empty()) return Usage();
    return WithSgfCheck(obrin::SgfCheck(args, std::cout));
}

int SgfConvert(const Args& args) {
    if (args.size() != 2) return Usage();
    return WithSgfCheck(obrin::SgfConvert(args[0], args[1], std::cerr));
}

int SgfShow(const Args& args) {
    long long node = -1;
    const Args files = Operands(args);
    const bool hasNode = HasOption(args, "--node");
    node = NumberOption(args, "--node", node);
    if (files.size() != 1 || (hasNode && node < 0)) return Usage();
    return WithSgfCheck(obrin::SgfShow(files[0], static_cast<int>(node), std::cout, std::cerr));
}

int BenchSgf(const Args& args) {
    long long games = 1600, runs = 5;
    games = NumberOption(args, "--games", games);
    runs = NumberOption(args, "--runs", runs);
    if (const Args out = Operands(args); !out.empty())
        return obrin::WriteSyntheticCollection(out[0], static_cast<int>(games), std::cerr);
    return WithSgfCheck(
        obrin::BenchSgfParse(static_cast<int>(games), static_cast<int>(runs), std::cout));
}

int BenchSgfLong(const Args& args) {
    long long moves = 100000, runs = 5;
    moves = NumberOption(args, "--moves", moves);
    runs = NumberOption(args, "--runs", runs);
    return WithSgfCheck(
        obrin::BenchSgfLongGame(static_cast<int>(moves), static_cast<int>(runs), std::cout));
}

// Median milliseconds per call of f over runs runs of calls calls each.
template <typename F>
double MedianMs(int runs, int calls, F f) {
    std::vector<double> ms;
    for (int r = 0; r < runs; ++r) {
        const auto start = std::chrono::steady_clock::now();
        for (int c = 0; c < calls; ++c) f();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count() /
            calls);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

int BenchAnalysis(const Args& args) {
    long long runs = 5;
    runs = NumberOption(args, "--runs", runs);
    obrin::IHost host;
    obrin::TEngine engine(host);
    std::printf(
        "EvaluateTerritory, empty board: median %.2f ms\n",
        MedianMs(static_cast<int>(runs), 10, [&] { engine.Territory.EvaluateTerritory(false); }));
    int32_t koX = -1, koY = -1;
    for (int i = 0, colour = 1; i < obrin::PointCount; i += 3, colour = -colour) {
        const int p = (i * 7) % obrin::PointCount;
        if (obrin::IsLegal(obrin::PointColumn(p), obrin::PointRow(p), colour, koX, koY,
                           engine.Fields.Spielfeld))
            obrin::PlayMove(obrin::PointColumn(p), obrin::PointRow(p), colour,
                            engine.Fields.Spielfeld, koX, koY);
    }
    std::printf("ClassifyBoard, whole board: median %.3f ms\n",
                MedianMs(static_cast<int>(runs), 200, [&] { obrin::ClassifyBoard(engine); }));
    return obrin::cli::BenchGraph(args);
}

int PatternsCheck(const Args& args) {
    if (args.size() > 1) return Usage();
    const std::filesystem::path file =
        args.empty() ? obrin::DataFilePath(obrin::PatternFileName) : std::filesystem::path(args[0]);
    return obrin::CheckPatternLibrary(file, std::cout);
}
// Positions from real play: every fifth position of the first games GNU Go played against
// itself for the classifier's training data.
std::vector<obrin::TBoard> GamePositions(const std::string& file, int games) {
    std::vector<obrin::TBoard> positions;
    const auto all = obrin::ReadTeacherGames(file);
    for (int g = 0; g < games && g < static_cast<int>(all.size()); ++g)
        for (int n = 5; n <= static_cast<int>(all[g].Moves.size()); n += 5)
            positions.push_back(obrin::PositionAfter(all[g], n));
    return positions;
}

std::vector<obrin::TBoard> gRandomPositions;
void KeepRandomPosition(const obrin::TBoard& b) {
    gRandomPositions.push_back(b);
}

// Random positions: every seventh position of random legal games, up to count.
std::vector<obrin::TBoard> RandomPositions(int count, uint32_t seed) {
    gRandomPositions.clear();
    std::vector<obrin::TBoard> positions;
    for (uint32_t game = 0; static_cast<int>(positions.size()) < count; ++game) {
        (void)obrin::PlayRandomGames(1, seed + game, KeepRandomPosition);
        for (size_t i = 6;
             i < gRandomPositions.size() && static_cast<int>(positions.size()) < count; i += 7)
            positions.push_back(gRandomPositions[i]);
        gRandomPositions.clear();
    }
    return positions;
}

// A position of a game with no ko ban.
void SetPosition(obrin::TEngine& engine, const obrin::TBoard& board) {
    engine.Fields.Spielfeld = board;
    engine.Fields.KoX = -1;
    engine.Fields.KoY = -1;
}

// How useful the library's suggestions are: over positions of GNU Go's games, seen from the side
// to move (the engine always plays +1), how often the move GNU Go played is among the points of
// the goal associations, and how many points they name. The analysis runs up to the graph, whose
// pattern step makes the associations, guards applied.
int PatternRecall(const std::string& file, int games) {
    obrin::IHost host;
    obrin::TEngine engine(host);
    engine.Clock.SetDeterministic(true);
    const auto all = obrin::ReadTeacherGames(file);
    games = std::min(games, static_cast<int>(all.size()));
    long long positions = 0, hits = 0, named = 0;
    for (int g = 0; g < games; ++g)
        for (int n = 5; n < static_cast<int>(all[g].Moves.size()); n += 5) {
            const obrin::TTeacherMove& played = all[g].Moves[n];
            if (!obrin::OnBoard(played.Point.X, played.Point.Y)) continue;
            SetPosition(engine, obrin::PositionAfter(all[g], n));
            const obrin::TEngineSide side(engine, played.Colour);
            Analyse(engine, obrin::TAnalysisStage::Areas);
            std::vector<bool> point(obrin::PointCount, false);
            for (const obrin::TPattAssocEntry* e = engine.GoalAssociation.Entries(); e != nullptr;
                 e = e->Next)
                point[e->Point] = true;
            ++positions;
            named += std::count(point.begin(), point.end(), true);
            hits += point[obrin::PointIndex(played.Point.X, played.Point.Y)] ? 1 : 0;
        }
    std::printf(
        "over %lld positions of %d games: the move played is among the associated points in "
        "%.1f%%, %.1f points named per position\n",
        positions, games, positions ? 100.0 * hits / positions : 0.0,
        positions ? static_cast<double>(named) / positions : 0.0);
    return 0;
}

int BenchPatterns(const Args& args) {
    long long games = 20, runs = 5, random = 0;
    games = NumberOption(args, "--games", games);
    runs = NumberOption(args, "--runs", runs);
    random = NumberOption(args, "--random", random);
    runs = std::max(1LL, runs);
    const std::string gamesFile =
        Option(args, "--games-file", obrin::cli::CheckoutFile("training", "games-final.txt"));
    if (HasOption(args, "--recall")) return PatternRecall(gamesFile, static_cast<int>(games));
    obrin::IHost host;
    obrin::TEngine engine(host);
    const auto positions = random > 0 ? RandomPositions(static_cast<int>(random), 1)
                                      : GamePositions(gamesFile, static_cast<int>(games));
    if (positions.empty()) throw std::runtime_error("no positions to match");
    std::vector<double> perPosition;
    long long firings = 0;
    std::vector<long long> perNumber(obrin::PatternNumberMax + 1, 0);
    engine.Clock.SetDeterministic(true);
    for (const obrin::TBoard& board : positions) {
        // The handlers read the graph of the position, so it is built (untimed) first.
        SetPosition(engine, board);
        Analyse(engine, obrin::TAnalysisStage::Areas);
        perPosition.push_back(
            MedianMs(static_cast<int>(runs), 1, [&] { obrin::MatchPatterns(engine); }));
        firings += static_cast<long long>(engine.Patterns.Firings.size());
        for (const obrin::TPatternFiring& f : engine.Patterns.Firings) ++perNumber[f.Number];
    }
    // With --counts: how often each pattern of the library fired, for its authors.
    if (HasOption(args, "--counts"))
        for (int n = 1; n <= obrin::PatternNumberMax; ++n)
            if (engine.Patterns.Tree.RecordsPerNumber()[n] > 0)
                std::printf("pattern %d: %lld firings\n", n, perNumber[n]);
    std::sort(perPosition.begin(), perPosition.end());
    std::printf(
        "MatchPatterns over %zu %s positions (%zu tree nodes): median %.4f ms per position, "
        "slowest %.4f ms, %.1f firings per position\n",
        positions.size(), random > 0 ? "random" : "game", engine.Patterns.Tree.NodeCount(),
        perPosition[perPosition.size() / 2], perPosition.back(),
        static_cast<double>(firings) / static_cast<double>(positions.size()));
    return 0;
}

const std::map<std::string, std::map<std::string, TSubcommand>>& Commands() {
    static const std::map<std::string, std::map<std::string, TSubcommand>> table = {
        {"gtp",
         {{"",
           {"gtp [--reading-ms N] [--deterministic] [--seed S] [--trace] [--classic]\n"
            "      GTP version 2 on standard input and output; --trace writes the goal\n"
            "      selection of every move to debug.txt (beside the program or in OBRIN_HOME)",
            RunGtp}}}},
        {"bench",
         {{"board",
           {"bench board [--games N] [--seed S] [--runs R]   random legal games per second",
            BenchBoard}},
          {"move",
           {"bench move [--games N] [--every N] [--seed S] [--games-file F] [--moves OUT] [--classic] | "
            "[--random N] "
            "[--seed S]   ComputerMove over positions of the teacher games, analysis and search "
            "apart; with --random, random positions of every density, half through genmove",
            obrin::cli::BenchMove}},
          {"scoring",
           {"bench scoring [--positions N] [--every N] [--from N] [--classic]   the final count against "
            "itself over positions of the teacher games: does taking off the stones it lists "
            "dead and counting again move the score or show new dead stones?",
            obrin::cli::BenchScoring}},
          {"endcount",
           {"bench endcount [--games FILES] [--classic] [--verbose]   the final count's dead and "
            "seki stones against the teacher's final_status_list on the final positions of the "
            "teacher games (comma-separated files), and the processor time per count",
            obrin::cli::BenchEndCount}},
          {"tactics",
           {"bench tactics [--positions FILE] [--reading-ms N] [--runs R] [--deterministic] "
            "[--gtp-reader]   ladder and capture search speed and answers",
            BenchTactics}},
          {"tactics-random",
           {"bench tactics-random [--count N] [--seed S] [--reading-ms N] [--deterministic] "
            "[--cpu-clock]   "
            "attack and defend on random dense positions",
            BenchTacticsRandom}},
          {"sgf",
           {"bench sgf [--games N] [--runs R] [OUT.sgf]   SGF parsing in MB/s; with OUT, writes "
            "the collection",
            BenchSgf}},
          {"sgf-long",
           {"bench sgf-long [--moves N] [--runs R]   load, replay and save one long game",
            BenchSgfLong}},
          {"analysis",
           {"bench analysis [--runs R] [--games FILE] [--every N] [--game-count G] [--classic]   "
            "ClassifyBoard and EvaluateTerritory, median ms per call; the analysis up to the "
            "graph stage by stage over positions of teacher games",
            BenchAnalysis}},
          {"graph-random",
           {"bench graph-random [--positions N] [--seed S] [--every K] [--progress]   the "
            "analysis graph of random positions of every density",
            obrin::cli::BenchGraphRandom}},
          {"status",
           {"bench status [--games FILE] [--from-move N] [--classic]   group status against GNU Go's "
            "verdicts: balanced accuracy of dead stones",
            obrin::cli::BenchStatus}},
          {"patterns",
           {"bench patterns [--games N] [--games-file F] [--runs R] [--random N] [--counts] "
            "[--recall]   MatchPatterns, median ms per position of GNU Go's games (or N random "
            "positions); firings per pattern; how often the move played is among the associated "
            "points",
            BenchPatterns}}}},
        {"patterns",
         {{"check",
           {"patterns check [FILE]   records, numbers without handler or record, rejections and "
            "association counts of a pattern library (default: muster.txt)",
            PatternsCheck}}}},
        {"selfplay",
         {{"",
           {"selfplay [--games N] [--seed S] [--sgf DIR] [--max-moves M] [--classic]   games of the engine "
            "against itself, saved as SGF with the goal tree of every move",
            obrin::cli::SelfPlay}}}},
        {"train", obrin::train::TrainCommands()},
        {"sgf",
         {{"check",
           {"sgf check FILE...   syntax messages and a summary per record file", SgfCheck}},
          {"convert",
           {"sgf convert IN OUT   reads IN (.sgf .mgt .obr .stl), writes OUT as SGF", SgfConvert}},
          {"show",
           {"sgf show FILE [--node N]   the position after the first game's main line", SgfShow}}}},
    };
    return table;
}

int Usage() {
    std::cerr << "usage: obrin-cli COMMAND ...\n";
    for (const auto& [group, subs] : Commands())
        for (const auto& [name, sub] : subs) std::cerr << "  obrin-cli " << sub.Usage << "\n";
    return 2;
}

// An option that no command's usage names, e.g. a misspelt one: the command would run with its
// defaults instead, so it is refused. (Options are "--" and a lower-case name.)
std::string UnknownOption(const Args& args) {
    std::string usages;
    for (const auto& [group, subs] : Commands())
        for (const auto& [name, sub] : subs) usages += sub.Usage + "\n";
    for (const std::string& a : args) {
        if (a.size() < 3 || a.compare(0, 2, "--") != 0) continue;
        for (size_t at = usages.find(a); at != std::string::npos; at = usages.find(a, at + 1)) {
            const size_t end = at + a.size();
            if (end == usages.size() || !(std::islower(usages[end]) || usages[end] == '-'))
                return {};
        }
        return a;
    }
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    const Args all(argv + 1, argv + argc);
    if (all.size() == 1 && all[0] == "--version") {
        std::cout << "obrin-cli " << OBRIN_VERSION << "\n";
        return 0;
    }
    if (all.empty()) return Usage();
    const auto group = Commands().find(all[0]);
    if (group == Commands().end()) return Usage();
    const auto& subs = group->second;
    const auto plain = subs.find("");
    if (plain == subs.end() && all.size() < 2) return Usage();
    const auto sub = plain != subs.end() ? plain : subs.find(all[1]);
    if (sub == subs.end()) return Usage();
    const Args rest(all.begin() + (plain != subs.end() ? 1 : 2), all.end());
    if (std::find(rest.begin(), rest.end(), "--help") != rest.end()) {
        std::cout << "usage: obrin-cli " << sub->second.Usage << "\n";
        return 0;
    }
    if (const std::string unknown = UnknownOption(rest); !unknown.empty()) {
        std::cerr << "obrin-cli: unknown option " << unknown << "\nusage: obrin-cli "
                  << sub->second.Usage << "\n";
        return 2;
    }
    try {
        return sub->second.Run(rest);
    } catch (const std::exception& e) {
        std::cerr << "obrin-cli: " << e.what() << "\n";
        return 1;
    }
}
