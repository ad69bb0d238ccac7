// obrin-cli: the engine without windows. Subcommands are a registration table.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "analysis/klassi.h"
#include "app/graph_commands.h"
#include "app/subcommand.h"
#include "app/train_commands.h"
#include "board/chains.h"
#include "game/engine.h"
#include "game/randomgames.h"
#include "gtp/gtp.h"
#include "gtp/gtp_analysis.h"
#include "gtp/gtp_records.h"
#include "gtp/gtp_tactics.h"
#include "records/sgfcommands.h"
#include "records/sgfdata.h"
#include "tactics/brute.h"
#include "tactics/tactics_positions.h"
#include "tactics/treppe.h"

namespace {

using obrin::cli::Args;
using obrin::cli::TSubcommand;

// The headless host: nothing to show, no events to process.
class TQuietHost : public obrin::IHost {};

int Usage();

// Reads "--name value" into value; false when the option is missing or not a number.
bool IntOption(const Args& args, const std::string& name, long long& value) {
    for (size_t i = 0; i + 1 < args.size(); ++i)
        if (args[i] == name) {
            try {
                size_t used = 0;
                value = std::stoll(args[i + 1], &used);
                return used == args[i + 1].size();
            } catch (const std::exception&) {
                return false;
            }
        }
    return false;
}

// Reads "--reading-ms N" into ms (kept when absent); false with a message when N is no positive
// number.
bool ReadingMsOption(const Args& args, const std::string& command, long long& ms) {
    if (std::find(args.begin(), args.end(), "--reading-ms") == args.end()) return true;
    if (IntOption(args, "--reading-ms", ms) && ms > 0 && ms <= 24LL * 3600 * 1000) return true;
    std::cerr << "obrin-cli " << command
              << ": --reading-ms needs a positive number of milliseconds\n";
    return false;
}

int RunGtp(const Args& args) {
    long long readingMs = obrin::DefaultReadingMs;
    if (!ReadingMsOption(args, "gtp", readingMs)) return 2;
    TQuietHost host;
    obrin::TEngine engine(host);
    obrin::TGtpEngine gtp(engine);
    obrin::RegisterTacticsCommands(gtp, static_cast<int>(readingMs));
    obrin::RegisterRecordsCommands(gtp);
    obrin::RegisterAnalysisCommands(gtp);
    gtp.Run(std::cin, std::cout);
    engine.Shutdown();
    obrin::CheckSgfCounters();
    return 0;
}

// The position set ships next to the executable; a source checkout also has it under bench/.
std::string DefaultTacticsPositions() {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path exeDir = fs::read_symlink("/proc/self/exe", ec).parent_path();
    for (const fs::path& p :
         {exeDir / "tactics_positions.txt", exeDir / "../../bench/tactics_positions.txt"})
        if (fs::exists(p, ec)) return p.string();
    return "tactics_positions.txt";
}

// Asks one question; returns the answer text and counts the trial moves it took.
std::string AskQuestion(obrin::TEngine& engine, const obrin::TTacticsPosition& pos,
                        const obrin::TTacticsQuestion& q, long long readingMs) {
    using namespace obrin;
    TPooledList moves(engine.Pool);
    const int x = q.Chain.X, y = q.Chain.Y;
    if (q.Kind == TTacticsQuestionKind::Ladder) {
        const int m = Ladder(engine, x, y, pos.Board, pos.KoX, pos.KoY);
        return m < 0 ? "0" : "1 " + PointText(PointColumn(m), PointRow(m));
    }
    const uint64_t deadline = engine.Host.TickMs() + static_cast<uint64_t>(readingMs);
    const TFightResult r =
        q.Kind == TTacticsQuestionKind::Attack
            ? Attack(engine, x, y, pos.KoX, pos.KoY, pos.Board, deadline, *moves)
            : Defend(engine, x, y, pos.KoX, pos.KoY, pos.Board, deadline, *moves);
    if (r == FightUndecided) return "undecided";
    if (r == FightFailure) return "0";
    const TPoint m = (*moves)[0];
    return "1 " + (OnBoard(m.X, m.Y) ? PointText(m.X, m.Y) : std::string("PASS"));
}

int BenchTactics(const Args& args) {
    long long readingMs = 2000, runs = 3;
    if (!ReadingMsOption(args, "bench tactics", readingMs)) return 2;
    IntOption(args, "--runs", runs);
    runs = std::max(1LL, runs);
    std::string file = DefaultTacticsPositions();
    if (const auto it = std::find(args.begin(), args.end(), "--positions");
        it != args.end() && it + 1 != args.end())
        file = *(it + 1);
    std::ifstream in(file);
    if (!in) throw std::runtime_error(file + ": cannot open the position set");
    const auto positions = obrin::ReadTacticsPositions(in, file);
    TQuietHost host;
    obrin::TEngine engine(host);
    std::printf("%-24s %-14s %-10s %10s %10s %12s\n", "position", "question", "answer", "ms",
                "nodes", "nodes/s");
    double totalSecs = 0;
    long long totalNodes = 0;
    for (const auto& pos : positions)
        for (const auto& q : pos.Questions) {
            std::vector<double> secs;
            std::string answer;
            long long nodes = 0;
            for (long long r = 0; r < runs; ++r) {
                const long long before = engine.ReadingNodes;
                const auto start = std::chrono::steady_clock::now();
                answer = AskQuestion(engine, pos, q, readingMs);
                secs.push_back(
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
                        .count());
                nodes = engine.ReadingNodes - before;
            }
            std::sort(secs.begin(), secs.end());
            const double median = secs[secs.size() / 2];
            totalSecs += median;
            totalNodes += nodes;
            const std::string question = std::string(obrin::QuestionName(q.Kind)) + " " +
                                         obrin::PointText(q.Chain.X, q.Chain.Y);
            std::printf("%-24s %-14s %-10s %10.3f %10lld %12.0f\n", pos.Name.c_str(),
                        question.c_str(), answer.c_str(), median * 1000, nodes,
                        median > 0 ? nodes / median : 0.0);
        }
    std::printf(
        "total: %lld nodes in %.3f s (median of %lld runs per question), %.0f nodes per second\n",
        totalNodes, totalSecs, runs, totalSecs > 0 ? totalNodes / totalSecs : 0.0);
    engine.Shutdown();
    return 0;
}

int BenchBoard(const Args& args) {
    long long games = 200, seed = 1, runs = 5;
    IntOption(args, "--games", games);
    IntOption(args, "--seed", seed);
    IntOption(args, "--runs", runs);
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
    const bool hasNode = std::find(args.begin(), args.end(), "--node") != args.end();
    if (files.size() != 1 || (hasNode && !(IntOption(args, "--node", node) && node >= 0)))
        return Usage();
    return WithSgfCheck(obrin::SgfShow(files[0], static_cast<int>(node), std::cout, std::cerr));
}

int BenchSgf(const Args& args) {
    long long games = 1600, runs = 5;
    IntOption(args, "--games", games);
    IntOption(args, "--runs", runs);
    if (const Args out = Operands(args); !out.empty())
        return obrin::WriteSyntheticCollection(out[0], static_cast<int>(games), std::cerr);
    return WithSgfCheck(
        obrin::BenchSgfParse(static_cast<int>(games), static_cast<int>(runs), std::cout));
}

int BenchSgfLong(const Args& args) {
    long long moves = 100000, runs = 5;
    IntOption(args, "--moves", moves);
    IntOption(args, "--runs", runs);
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
    IntOption(args, "--runs", runs);
    TQuietHost host;
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

const std::map<std::string, std::map<std::string, TSubcommand>>& Commands() {
    static const std::map<std::string, std::map<std::string, TSubcommand>> table = {
        {"gtp",
         {{"", {"gtp [--reading-ms N]   GTP version 2 on standard input and output", RunGtp}}}},
        {"bench",
         {{"board",
           {"bench board [--games N] [--seed S] [--runs R]   random legal games per second",
            BenchBoard}},
          {"tactics",
           {"bench tactics [--positions FILE] [--reading-ms N] [--runs R]   ladder and capture "
            "search speed",
            BenchTactics}},
          {"sgf",
           {"bench sgf [--games N] [--runs R] [OUT.sgf]   SGF parsing in MB/s; with OUT, writes "
            "the collection",
            BenchSgf}},
          {"sgf-long",
           {"bench sgf-long [--moves N] [--runs R]   load, replay and save one long game",
            BenchSgfLong}},
          {"analysis",
           {"bench analysis [--runs R] [--games FILE] [--every N] [--game-count G]   "
            "ClassifyBoard and EvaluateTerritory, median ms per call; the analysis up to the "
            "graph stage by stage over positions of teacher games",
            BenchAnalysis}},
          {"graph-random",
           {"bench graph-random [--positions N] [--seed S]   the analysis graph of random "
            "positions of every density",
            obrin::cli::BenchGraphRandom}},
          {"status",
           {"bench status [--games FILE] [--from-move N]   group status against GNU Go's "
            "verdicts: balanced accuracy of dead stones",
            obrin::cli::BenchStatus}}}},
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

}  // namespace

int main(int argc, char** argv) {
    const Args all(argv + 1, argv + argc);
    if (all.empty()) return Usage();
    const auto group = Commands().find(all[0]);
    if (group == Commands().end()) return Usage();
    const auto& subs = group->second;
    if (const auto plain = subs.find(""); plain != subs.end())
        return plain->second.Run(Args(all.begin() + 1, all.end()));
    if (all.size() < 2) return Usage();
    const auto sub = subs.find(all[1]);
    if (sub == subs.end()) return Usage();
    try {
        return sub->second.Run(Args(all.begin() + 2, all.end()));
    } catch (const std::exception& e) {
        std::cerr << "obrin-cli: " << e.what() << "\n";
        return 1;
    }
}
