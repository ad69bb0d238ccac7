// Game records: parsing a synthetic collection of 1,600 server-like games (about 2 MB) into
// the parse tree, and loading, replaying and saving one game of 100,000 moves through the
// record tree. No real collection ships with the program; see bench sgf in obrin-cli and
// scripts/sgf_figures.sh for the whole-process figures.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "game/engine.h"
#include "records/replay.h"
#include "records/sgfparse.h"
#include "tools/sgfsynth.h"
#include "records/sgftree.h"

namespace {

const std::string& Collection() {
    static const std::string text = obrin::SyntheticCollection(1600, 7);
    return text;
}

void BM_ParseCollectionIntoTree(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<std::string> messages;
        auto root = obrin::ParseSgfText("bench.sgf", Collection(), &messages);
        benchmark::DoNotOptimize(root.get());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Collection().size()));
}
BENCHMARK(BM_ParseCollectionIntoTree)->Unit(benchmark::kMillisecond);

void BM_ParseCollectionGameByGame(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<std::string> messages;
        obrin::TSgfTokenizer tokenizer("bench.sgf", Collection(), &messages);
        int64_t games = 0;
        obrin::ParseSgfGames(tokenizer, [&games](std::unique_ptr<obrin::TSgfData>) { ++games; });
        benchmark::DoNotOptimize(games);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Collection().size()));
}
BENCHMARK(BM_ParseCollectionGameByGame)->Unit(benchmark::kMillisecond);

void BM_LongGameLoadReplaySave(benchmark::State& state) {
    const auto game = obrin::SyntheticGame(11, 100000, false, true);
    const auto dir = std::filesystem::temp_directory_path();
    const std::string in = (dir / "obrin-bench-records-in.sgf").string();
    const std::string out = (dir / "obrin-bench-records-out.sgf").string();
    std::ofstream(in, std::ios::binary) << game.Sgf;
    for (auto _ : state) {
        obrin::TScratchBoard scratch;
        obrin::TSgfParser parser;
        obrin::TSgfTreeModel tree(scratch.Board);
        obrin::TRecordReplay replay(scratch.Board, tree);
        tree.SetSgfParser(&parser);
        parser.SetFilename(in);
        parser.SetActive(true);
        obrin::ReplayMainLine(tree, replay, -1);
        tree.SaveToFile(out);
    }
    std::filesystem::remove(in);
    std::filesystem::remove(out);
}
BENCHMARK(BM_LongGameLoadReplaySave)->Unit(benchmark::kMillisecond);

}  // namespace
