// Random legal games through IsLegal and PlayMove; reports legal moves per second.
#include <benchmark/benchmark.h>

#include "tools/randomgames.h"

static void BM_RandomLegalGames(benchmark::State& state) {
    uint32_t seed = 1;
    int64_t moves = 0;
    for (auto _ : state) moves += obrin::PlayRandomGames(10, seed++).Moves;
    state.counters["legal_moves_per_s"] =
        benchmark::Counter(double(moves), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RandomLegalGames)->Unit(benchmark::kMillisecond);
