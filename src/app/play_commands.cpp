#include "app/play_commands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "analysis/datafiles.h"
#include "tools/klassidata.h"
#include "app/options.h"
#include "board/chains.h"
#include "board/errors.h"
#include "board/qxhash.h"
#include "board/safefile.h"
#include "game/analyse.h"
#include "game/engine.h"
#include "game/engine_side.h"
#include "game/movedriver.h"
#include "tools/selfplay.h"
#include "gtp/gtp.h"
#include "gtp/gtp_goals.h"
#include "records/sgfdata.h"

namespace obrin::cli {
namespace {

using TClock = std::chrono::steady_clock;

double MsBetween(TClock::time_point from, TClock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Median and worst of a series, as the summaries print them.
std::string Spread(const std::vector<double>& ms) {
    const double worst = ms.empty() ? 0.0 : *std::max_element(ms.begin(), ms.end());
    char text[64];
    std::snprintf(text, sizeof text, "median %.1f ms, worst %.1f ms", MedianOf(ms), worst);
    return text;
}

// The pools' balance at the engine's checked shutdown, and the records'; false with a message
// on a leak.
bool LeakChecksPass(TEngine& engine) {
    try {
        engine.Shutdown();
        CheckSgfCounters();
    } catch (const std::exception& e) {
        std::printf("leak: %s\n", e.what());
        return false;
    }
    std::printf("leak checks: goal lists, scratch pools and records balanced\n");
    return true;
}

// Milliseconds of processor time this thread has used: on a shared machine the wall clock also
// counts the time other processes held the processor.
double ThreadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// A moment on both clocks.
struct TStamp {
    TClock::time_point Wall = TClock::now();
    double CpuMs = ThreadCpuMs();
};

// Wall and processor times of the moves, whole and split into analysis and search.
struct TMoveTimes {
    std::vector<double> Wall, Cpu, AnalysisCpu, SearchCpu;
    void Add(const TStamp& start, const TStamp& search, const TStamp& end) {
        Wall.push_back(MsBetween(start.Wall, end.Wall));
        Cpu.push_back(end.CpuMs - start.CpuMs);
        AnalysisCpu.push_back(search.CpuMs - start.CpuMs);
        SearchCpu.push_back(end.CpuMs - search.CpuMs);
    }
    void Print() const {
        std::printf("per move, processor time: %s\n", Spread(Cpu).c_str());
        std::printf("  analysis: %s\n  search:   %s\n", Spread(AnalysisCpu).c_str(),
                    Spread(SearchCpu).c_str());
        std::printf("per move, wall time: %s\n", Spread(Wall).c_str());
    }
};

// The host of a benchmark: the status line tells when the analysis hands over to the search.
class TStageClockHost : public IHost {
  public:
    void SetStatus(const std::string& text) override {
        if (text == SearchStatus) SearchStart = TStamp{};
    }
    std::string SearchStatus;
    TStamp SearchStart;
};
}  // namespace

int SelfPlay(const Args& args) {
    const long long games = std::max(1LL, NumberOption(args, "--games", 1));
    const long long seed = NumberOption(args, "--seed", 1);
    const long long maxMoves = std::max(1LL, NumberOption(args, "--max-moves", 400));
    const std::string folder = Option(args, "--sgf", "");
    if (!folder.empty()) std::filesystem::create_directories(folder);
    bool sound = true;
    {
        TSelfPlayer player(static_cast<int>(maxMoves));
        player.Engine().Settings.KlassischeEngine = HasOption(args, "--classic");
        for (long long g = 0; g < games; ++g) {
            const auto gameSeed = static_cast<uint32_t>(seed + g);
            const TSelfPlayTotals before = player.Totals();
            const std::string sgf = player.PlayGame(gameSeed);
            const TSelfPlayTotals& t = player.Totals();
            std::string file;
            if (!folder.empty()) {
                file = (std::filesystem::path(folder) /
                        ("selfplay-" + std::to_string(gameSeed) + ".sgf"))
                           .string();
                WriteFileAtomically(file, std::vector<uint8_t>(sgf.begin(), sgf.end()));
            }
            const char* end = t.Exceptions > before.Exceptions ? "an exception"
                              : t.Capped > before.Capped       ? "the move cap"
                                                               : "two passes";
            std::printf("game %lld (seed %u): %d moves, %d passes, ended by %s%s%s\n", g + 1,
                        gameSeed, t.Moves - before.Moves, t.Passes - before.Passes, end,
                        file.empty() ? "" : "; ", file.c_str());
            std::fflush(stdout);  // a long run shows its progress
        }
        const TSelfPlayTotals& t = player.Totals();
        std::printf(
            "%d games, %d moves, %d passes, %d illegal moves, %d exceptions, %d games at the "
            "move cap of %lld\n",
            t.Games, t.Moves, t.Passes, t.Illegal, t.Exceptions, t.Capped, maxMoves);
        std::printf("per move, processor time: %s; analysis %s; search %s\n",
                    Spread(t.MoveMs).c_str(), Spread(t.AnalysisMs).c_str(),
                    Spread(t.SearchMs).c_str());
        for (const std::string& e : t.Errors) std::printf("exception: %s\n", e.c_str());
        sound = t.Illegal == 0 && t.Exceptions == 0;
        sound = LeakChecksPass(player.Engine()) && sound;
    }
    // The engine's hash tables went with the player.
    try {
        TQXHashTable::CheckBalanced();
        std::printf("hash tables balanced\n");
    } catch (const std::exception& e) {
        std::printf("leak: %s\n", e.what());
        sound = false;
    }
    return sound ? 0 : 1;
}

namespace {

// ComputerMove over positions of the teacher games: every few moves from move 20 to 250, seen
// from the side to move (the engine always plays +1, so the board is negated for White).
int BenchMoveGames(const Args& args) {
    const std::string file = Option(args, "--games-file", DefaultGames("games-dragon.txt"));
    const long long gameCount = std::max(1LL, NumberOption(args, "--games", 20));
    const long long every = std::max(1LL, NumberOption(args, "--every", 10));
    const long long seed = NumberOption(args, "--seed", 1);
    const auto games = ReadTeacherGames(file);
    // --moves FILE: every chosen move, one a line, so that two builds can be compared move by move.
    const std::string movesFile = Option(args, "--moves", "");
    std::FILE* moves = nullptr;
    if (!movesFile.empty()) {
        (void)CheckWriteTarget(movesFile);  // never a device or a folder
        moves = std::fopen(movesFile.c_str(), "w");
        if (moves == nullptr) {
            std::fprintf(stderr, "%s: cannot be written\n", movesFile.c_str());
            return 2;
        }
    }
    TStageClockHost host;
    TEngine engine(host);
    engine.Clock.SetDeterministic(true);
    engine.Random.SetFixedSeed(static_cast<uint32_t>(seed));
    engine.Settings.KlassischeEngine = HasOption(args, "--classic");
    host.SearchStatus = ThinkingText(engine, "Inferenzmaschine arbeitet");
    TBoardFields& f = engine.Fields;
    TMoveTimes times;
    int passes = 0, illegal = 0, failures = 0, used = 0, mostSteps = 0;
    int64_t mostComparisons = 0;
    std::string worstWhere;
    double worst = -1;
    for (const TTeacherGame& game : games) {
        if (used == gameCount) break;
        ++used;
        for (int n = 20; n <= 250 && n <= static_cast<int>(game.Moves.size());
             n += static_cast<int>(every)) {
            f.Spielfeld = PositionAfter(game, n);
            f.KoX = f.KoY = -1;
            const TEngineSide side(engine, n % 2 == 1 ? -1 : 1);
            const TStamp start;
            host.SearchStart = start;
            TPoint move = PassPoint;
            try {
                move = ComputerMove(engine);
            } catch (const std::exception& e) {
                std::printf("game %d move %d: %s\n", game.Id, n, e.what());
                ++failures;
                continue;
            }
            times.Add(start, host.SearchStart, TStamp{});
            mostSteps = std::max(mostSteps, engine.RuleManager->SearchSteps());
            mostComparisons = std::max(mostComparisons, engine.RuleManager->SearchComparisons());
            if (moves != nullptr)
                std::fprintf(moves, "game %d move %d: %s\n", game.Id, n,
                             PointText(move.X, move.Y).c_str());
            if (times.Cpu.back() > worst) {
                worst = times.Cpu.back();
                worstWhere = "game " + std::to_string(game.Id) + " move " + std::to_string(n);
            }
            if (!OnBoard(move.X, move.Y))
                ++passes;
            else if (!IsLegal(move.X, move.Y, 1, f.KoX, f.KoY, f.Spielfeld))
                ++illegal;
        }
    }
    std::printf("ComputerMove over %zu positions (moves 20 to 250, every %lld) of %d games of %s\n",
                times.Cpu.size(), every, used, file.c_str());
    times.Print();
    std::printf("slowest position: %s; most search steps of a move: %d, most goal comparisons: %lld\n",
                worstWhere.c_str(), mostSteps, static_cast<long long>(mostComparisons));
    std::printf("%d passes, %d illegal answers, %d failures\n", passes, illegal, failures);
    if (moves != nullptr) std::fclose(moves);
    const bool balanced = LeakChecksPass(engine);
    return failures == 0 && illegal == 0 && balanced ? 0 : 1;
}

// Random positions of every density, from the empty to the full board, stones of either colour
// as the board editor or a controller's setup can leave them. The even ones go straight to
// ComputerMove for +1, the odd ones through GTP genmove for White, which also plays the answer.
int BenchMoveRandom(const Args& args) {
    const long long count = std::max(1LL, NumberOption(args, "--random", 1000));
    const long long seed = NumberOption(args, "--seed", 1);
    TStageClockHost host;
    TEngine engine(host);
    engine.Clock.SetDeterministic(true);
    engine.Random.SetFixedSeed(static_cast<uint32_t>(seed));
    engine.Settings.KlassischeEngine = HasOption(args, "--classic");
    TGtpEngine gtp(engine);
    RegisterGoalCommands(gtp);
    TBoardFields& f = engine.Fields;
    std::mt19937 rng(static_cast<uint32_t>(seed));
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::vector<double> ms;
    int failures = 0, illegal = 0, passes = 0;
    for (long long i = 0; i < count; ++i) {
        if (i > 0 && i % 50 == 0) {  // a long run under the sanitizers shows how far it got
            std::printf("%lld positions: %d failures, %d illegal answers\n", i, failures, illegal);
            std::fflush(stdout);
        }
        const double density = count > 1 ? double(i) / double(count - 1) : 0.5;
        TBoard board{};
        for (int32_t& v : board) v = u(rng) < density ? (u(rng) < 0.5 ? 1 : -1) : 0;
        const TClock::time_point start = TClock::now();
        TPoint move = PassPoint;
        const bool viaGtp = i % 2 == 1;
        if (viaGtp) {
            gtp.SetUpPosition(board, PassPoint, 0.0, 0.0);
            bool quit = false;
            const std::string reply = gtp.HandleLine("genmove w", quit);
            const std::string vertex =
                reply.size() > 2 ? reply.substr(2, reply.find('\n') - 2) : "";
            if (reply.rfind("= ", 0) != 0 || !TGtpEngine::ParseVertex(vertex, move)) {
                std::printf("position %lld (GTP): %s\n", i, reply.c_str());
                ++failures;
                continue;
            }
        } else {
            f.Spielfeld = board;
            f.KoX = f.KoY = -1;
            try {
                move = ComputerMove(engine);
            } catch (const std::exception& e) {
                std::printf("position %lld: %s\n", i, e.what());
                ++failures;
                continue;
            }
        }
        ms.push_back(MsBetween(start, TClock::now()));
        const int colour = viaGtp ? -1 : 1;
        if (!OnBoard(move.X, move.Y))
            ++passes;
        else if (!IsLegal(move.X, move.Y, colour, -1, -1, board)) {
            std::printf("position %lld: illegal answer %s\n", i, PointText(move.X, move.Y).c_str());
            ++illegal;
        }
    }
    std::printf(
        "%lld random positions (seed %lld), half through genmove for White: %d failures, %d "
        "illegal answers, %d passes; %s\n",
        count, seed, failures, illegal, passes, Spread(ms).c_str());
    const bool balanced = LeakChecksPass(engine);
    return failures == 0 && illegal == 0 && balanced ? 0 : 1;
}

}  // namespace

int BenchMove(const Args& args) {
    return HasOption(args, "--random") ? BenchMoveRandom(args) : BenchMoveGames(args);
}

}  // namespace obrin::cli
