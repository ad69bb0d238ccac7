// The two learned evaluators: the point classifier over a whole board and the territory network
// over every point of an empty board (361 evaluations of 80-320-320-1).
#include <benchmark/benchmark.h>

#include "analysis/klassi.h"
#include "board/chains.h"
#include "game/engine.h"

namespace {

// A middle-game-like position: every third point of a spiral-free pattern, colours alternating.
void FillPosition(obrin::TEngine& engine) {
    int32_t koX = -1, koY = -1;
    for (int i = 0, colour = 1; i < obrin::PointCount; i += 3, colour = -colour) {
        const int x = obrin::PointColumn((i * 7) % obrin::PointCount),
                  y = obrin::PointRow((i * 7) % obrin::PointCount);
        if (obrin::IsLegal(x, y, colour, koX, koY, engine.Fields.Spielfeld))
            obrin::PlayMove(x, y, colour, engine.Fields.Spielfeld, koX, koY);
    }
}

void BM_ClassifyBoard(benchmark::State& state) {
    obrin::IHost host;
    obrin::TEngine engine(host);
    FillPosition(engine);
    for (auto _ : state) {
        obrin::ClassifyBoard(engine);
        benchmark::DoNotOptimize(engine.Container->NNSSicher);
    }
}
BENCHMARK(BM_ClassifyBoard)->Unit(benchmark::kMicrosecond);

void BM_EvaluateTerritoryEmptyBoard(benchmark::State& state) {
    obrin::IHost host;
    obrin::TEngine engine(host);
    for (auto _ : state) {
        engine.Territory.EvaluateTerritory(false);
        benchmark::DoNotOptimize(engine.Container->Feldbewertung);
    }
}
BENCHMARK(BM_EvaluateTerritoryEmptyBoard)->Unit(benchmark::kMillisecond);

}  // namespace
