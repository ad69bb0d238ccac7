// obrin-cli: the engine without windows. Subcommands are a registration table.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "app/subcommand.h"
#include "app/train_commands.h"
#include "game/engine.h"
#include "game/randomgames.h"
#include "gtp/gtp.h"
#include "gtp/gtp_analysis.h"
#include "analysis/klassi.h"
#include "board/chains.h"

namespace {

using obrin::cli::Args;
using obrin::cli::TSubcommand;

// The headless host: nothing to show, no events to process.
class TQuietHost : public obrin::IHost {};

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

int RunGtp(const Args& args) {
    for (size_t i = 0; i < args.size(); ++i) {
        long long ms = 0;
        if (args[i] == "--reading-ms" && !(IntOption(args, "--reading-ms", ms) && ms > 0)) {
            std::cerr << "obrin-cli gtp: --reading-ms needs a positive number of milliseconds\n";
            return 2;
        }
    }
    TQuietHost host;
    obrin::TEngine engine(host);
    obrin::TGtpEngine gtp(engine);
    obrin::RegisterAnalysisCommands(gtp);
    gtp.Run(std::cin, std::cout);
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
        const auto stats = obrin::PlayRandomGames(static_cast<int>(games), static_cast<uint32_t>(seed + r));
        const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        rates.push_back(stats.Moves / secs);
        std::printf("run %lld: %lld games, %lld legal moves, %lld legality tests, %.3f s, %.0f legal moves/s\n",
                    r + 1, static_cast<long long>(stats.Games), static_cast<long long>(stats.Moves),
                    static_cast<long long>(stats.LegalityTests), secs, stats.Moves / secs);
    }
    std::sort(rates.begin(), rates.end());
    std::printf("median: %.0f legal moves per second\n", rates[rates.size() / 2]);
    return 0;
}

// Median milliseconds per call of f over runs runs of calls calls each.
template <typename F>
double MedianMs(int runs, int calls, F f) {
    std::vector<double> ms;
    for (int r = 0; r < runs; ++r) {
        const auto start = std::chrono::steady_clock::now();
        for (int c = 0; c < calls; ++c) f();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / calls);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

int BenchAnalysis(const Args& args) {
    long long runs = 5;
    IntOption(args, "--runs", runs);
    TQuietHost host;
    obrin::TEngine engine(host);
    std::printf("EvaluateTerritory, empty board: median %.2f ms\n",
                MedianMs(static_cast<int>(runs), 10, [&] { engine.Territory.EvaluateTerritory(false); }));
    int32_t koX = -1, koY = -1;
    for (int i = 0, colour = 1; i < obrin::PointCount; i += 3, colour = -colour) {
        const int p = (i * 7) % obrin::PointCount;
        if (obrin::IsLegal(obrin::PointColumn(p), obrin::PointRow(p), colour, koX, koY, engine.Fields.Spielfeld))
            obrin::PlayMove(obrin::PointColumn(p), obrin::PointRow(p), colour, engine.Fields.Spielfeld, koX, koY);
    }
    std::printf("ClassifyBoard, whole board: median %.3f ms\n",
                MedianMs(static_cast<int>(runs), 200, [&] { obrin::ClassifyBoard(engine); }));
    return 0;
}

const std::map<std::string, std::map<std::string, TSubcommand>>& Commands() {
    static const std::map<std::string, std::map<std::string, TSubcommand>> table = {
        {"gtp", {{"", {"gtp [--reading-ms N]   GTP version 2 on standard input and output", RunGtp}}}},
        {"bench",
         {{"board", {"bench board [--games N] [--seed S] [--runs R]   random legal games per second", BenchBoard}},
          {"analysis", {"bench analysis [--runs R]   ClassifyBoard and EvaluateTerritory, median ms per call",
                        BenchAnalysis}}}},
        {"train", obrin::train::TrainCommands()},
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
