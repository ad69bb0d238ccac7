#include "app/train_commands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <random>
#include <stdexcept>

#include "analysis/datafiles.h"
#include "analysis/feedfwd3.h"
#include "tools/klassitrain.h"
#include "analysis/territory.h"
#include "tools/territorytrain.h"
#include "tools/predictortrain.h"
#include "analysis/testdata.h"
#include "app/gnugo_games.h"
#include "app/options.h"
#include "game/engine.h"
#include "context/host.h"

namespace obrin::train {
namespace {

using cli::Args;

using cli::HasOption;
using cli::IntOption;
using cli::NumberOption;
using cli::Option;
using cli::RealOption;

// The option's "A-B" or "A" into lo and hi; nothing changes when the option is not given.
void ReadRange(const Args& args, const std::string& option, int& lo, int& hi) {
    const std::string text = Option(args, option, "");
    if (text.empty()) return;
    const size_t dash = text.find('-');
    try {
        lo = std::stoi(text.substr(0, dash));
        hi = dash == std::string::npos ? lo : std::stoi(text.substr(dash + 1));
    } catch (const std::logic_error&) {
        throw std::runtime_error(option + " takes a number or a range such as 2-10, not " + text);
    }
}

int RunGames(const Args& args) {
    TGamesOptions o;
    o.GnuGo = Option(args, "--gnugo", o.GnuGo);
    o.OutFile = Option(args, "--out", "");
    o.Games = IntOption(args, "--games", o.Games);
    o.FirstGame = IntOption(args, "--first", o.FirstGame);
    o.Level = IntOption(args, "--level", o.Level);
    o.FirstSample = IntOption(args, "--first-sample", o.FirstSample);
    o.SampleEvery = IntOption(args, "--sample-every", o.SampleEvery);
    o.DragonVerdicts = Option(args, "--verdicts", "final") == "dragon";
    ReadRange(args, "--opening", o.OpeningMin, o.OpeningMax);
    ReadRange(args, "--opening-lines", o.OpeningLineMin, o.OpeningLineMax);
    o.Handicap = IntOption(args, "--handicap", o.Handicap);
    o.Invasions = IntOption(args, "--invasions", o.Invasions);
    ReadRange(args, "--invasion-moves", o.InvasionFirst, o.InvasionLast);
    o.NeverResign = HasOption(args, "--never-resign");
    if (o.OpeningMin < 0 || o.OpeningMax > 40 || o.OpeningLineMin < 1 || o.OpeningLineMax > 10 ||
        o.OpeningLineMin > o.OpeningLineMax ||
        (o.Handicap != 0 && (o.Handicap < 2 || o.Handicap > 9)) || o.InvasionFirst < 0 ||
        o.InvasionFirst > o.InvasionLast || o.Invasions < 0 ||
        o.Invasions > o.InvasionLast - o.InvasionFirst + 1) {
        std::cerr << "obrin-cli train games: --opening takes 0 to 40 moves, --opening-lines lines "
                     "1 to 10, --handicap 2 to 9 stones, --invasion-moves a range FIRST-LAST and "
                     "--invasions at most as many moves as it holds\n";
        return 2;
    }
    if (o.OutFile.empty()) {
        std::cerr << "obrin-cli train games: --out FILE is needed\n";
        return 2;
    }
    PlayGnuGoGames(o);
    return 0;
}

// The games of --games split into training and held-out games; the games of --extra-games
// only ever train.
void ReadGames(const Args& args, std::vector<TTeacherGame>& train,
               std::vector<TTeacherGame>& heldOut) {
    const std::string files = Option(args, "--games", "");
    if (files.empty()) throw std::runtime_error("--games FILE[,FILE...] is needed");
    const int every = IntOption(args, "--heldout-every", 5);
    for (auto& g : ReadTeacherGameFiles(files)) (IsHeldOut(g, every) ? heldOut : train).push_back(std::move(g));
    for (auto& g : ReadTeacherGameFiles(Option(args, "--extra-games", ""))) train.push_back(std::move(g));
    std::printf("%zu training games, %zu held-out games\n", train.size(), heldOut.size());
}

TTestData NewSampleSet() {
    TTestData s;
    s.SetInputCount(KlassiInputs);
    s.SetOutputCount(KlassiNetSize);
    return s;
}

TSureLabels SureLabelsOption(const Args& args) {
    const std::string name = Option(args, "--sure-labels", "survival");
    if (name == "survival") return TSureLabels::Survival;
    if (name == "status") return TSureLabels::DragonStatus;
    throw std::runtime_error("--sure-labels takes survival or status, not " + name);
}

int RunSamples(const Args& args) {
    const TSureLabels sureLabels = SureLabelsOption(args);
    std::vector<TTeacherGame> train, heldOut;
    ReadGames(args, train, heldOut);
    TTestData all = NewSampleSet();
    AddGameSamples(train, all, sureLabels);
    all.SaveToFile(Option(args, "--out", "training-full.dat"));
    TTestData held = NewSampleSet();
    AddGameSamples(heldOut, held, sureLabels);
    held.SaveToFile(Option(args, "--heldout-out", "heldout.dat"));
    TTestData shipped = SelectSamples(all, IntOption(args, "--ship-count", 4000), 7);
    shipped.SaveToFile(Option(args, "--ship", "training.dat"));
    std::printf("%d training samples, %d held-out samples, %d shipped samples\n",
                all.GetSampleCount(), held.GetSampleCount(), shipped.GetSampleCount());
    return 0;
}

int RunNet(const Args& args) {
    TTestData samples;
    samples.LoadFromFile(Option(args, "--samples", "training-full.dat"), MaxTrainingFileSize);
    TTrainOptions o;
    o.Steps = NumberOption(args, "--steps", o.Steps);
    o.Seed = static_cast<uint32_t>(IntOption(args, "--seed", static_cast<int>(o.Seed)));
    o.DeadShare = RealOption(args, "--dead-share", o.DeadShare);
    o.StoneShare = RealOption(args, "--stone-share", o.StoneShare);
    o.RareShare = RealOption(args, "--rare-share", o.RareShare);
    std::mt19937 rng(o.Seed);
    TFeedFwd3 net(KlassiNetSize, KlassiNetSize, KlassiNetSize, 0.2,
                  [&] { return std::uniform_real_distribution<double>(0.0, 1.0)(rng); });
    const double error = TrainKlassiNet(net, samples, o);
    net.SaveToFile(Option(args, "--out", "net.dat"));
    std::printf("%lld steps on %d samples, mean squared error of the last steps %.5f\n",
                static_cast<long long>(o.Steps), samples.GetSampleCount(), error);
    return 0;
}

void PrintSureStones(const char* title, const TSureStoneCheck& check) {
    std::printf(
        "%s:\n"
        "  %lld living stones, %lld called sure; %lld dead stones, %lld called not sure; "
        "balanced accuracy %.3f, AUC %.3f\n",
        title, static_cast<long long>(check.Alive), static_cast<long long>(check.AliveSure),
        static_cast<long long>(check.Dead), static_cast<long long>(check.DeadNotSure),
        check.BalancedAccuracy(), check.Auc);
}

int RunCheck(const Args& args) {
    std::vector<TTeacherGame> train, heldOut;
    ReadGames(args, train, heldOut);
    IHost host;
    TFeedFwd3 net(KlassiNetSize, KlassiNetSize, KlassiNetSize, 0.2, [] { return 0.0; });
    net.LoadFromFile(Option(args, "--net", "net.dat"));
    TTestData held;
    held.LoadFromFile(Option(args, "--heldout", "heldout.dat"), MaxTrainingFileSize);
    const auto quality = MeasureOutputs(net, held);
    std::printf("held-out quality per named output (%d points):\n", held.GetSampleCount());
    std::printf("%-3s %9s %9s %8s %6s  %s\n", "out", "positives", "negatives", "bal.acc", "AUC",
                "label");
    for (int k = 0; k < KlassiNamedOutputs; ++k)
        std::printf("%-3d %9lld %9lld %8.3f %6.3f  %s\n", k,
                    static_cast<long long>(quality[k].Positives),
                    static_cast<long long>(quality[k].Negatives), quality[k].BalancedAccuracy,
                    quality[k].Auc, KlassiOutputLabels[k]);
    PrintSureStones(
        "sure stones against the teacher's life-and-death verdicts on held-out positions",
        CheckSureStones(heldOut, net));
    const std::string dragonFiles = Option(args, "--dragon-games", "");
    if (!dragonFiles.empty()) {
        const int every = IntOption(args, "--heldout-every", 5);
        std::vector<TTeacherGame> dragonHeldOut;
        for (auto& g : ReadTeacherGameFiles(dragonFiles))
            if (IsHeldOut(g, every)) dragonHeldOut.push_back(std::move(g));
        std::printf("%zu held-out games of %s\n", dragonHeldOut.size(), dragonFiles.c_str());
        PrintSureStones(
            "sure stones against GNU Go's dragon_status on their held-out positions "
            "(critical dragons left out)",
            CheckSureStones(dragonHeldOut, net, TSureVerdicts::DragonStatus));
    }
    return 0;
}

TTerritoryDataOptions TerritoryOptions(const Args& args) {
    TTerritoryDataOptions o;
    o.FirstMove = IntOption(args, "--first-move", o.FirstMove);
    o.SampleEvery = IntOption(args, "--every", o.SampleEvery);
    o.Seed = static_cast<uint32_t>(IntOption(args, "--seed", static_cast<int>(o.Seed)));
    o.TeacherValue = IntOption(args, "--teacher-value", o.TeacherValue);
    // The network's classes run from -10 to 50.
    if (o.TeacherValue < -10 || o.TeacherValue > 50)
        throw std::runtime_error("--teacher-value takes a class from -10 to 50, not " +
                                 std::to_string(o.TeacherValue));
    o.SettledValue = IntOption(args, "--settled-value", o.SettledValue);
    o.SettledPerPosition = IntOption(args, "--settled-per-position", o.SettledPerPosition);
    return o;
}

// An engine for data building: quiet, with the reading on the virtual clock so that the analysis
// of every position, and so every record, repeats on any machine.
struct TQuietEngine {
    IHost Host;
    TEngine Engine{Host};
    TQuietEngine() { Engine.Clock.SetDeterministic(true); }
};

int RunTerritoryRecords(const Args& args) {
    // Every option is read before the games, so that a bad one fails at once, not after the
    // minutes of analysis.
    const TTerritoryDataOptions options = TerritoryOptions(args);
    const auto shipCount = static_cast<size_t>(IntOption(args, "--ship-count", 4000));
    std::vector<TTeacherGame> train, heldOut;
    ReadGames(args, train, heldOut);
    TQuietEngine e;
    const auto records = BuildTerritoryRecords(e.Engine, train, options);
    WriteFileAtomically(Option(args, "--out", "dectrain-full.dat"), records);
    const auto shipped = SelectTerritoryRecords(records, shipCount, 7);
    WriteFileAtomically(Option(args, "--ship", "dectrain.dat"), shipped);
    const auto counts = CountTerritoryRecords(records);
    std::printf("%d comparison and %d absolute records, %zu shipped\n", counts.Comparisons,
                counts.Absolutes, shipped.size() / TerritoryRecordSize);
    return 0;
}

int RunTerritoryNet(const Args& args) {
    const auto records = ReadFileBytes(Option(args, "--records", "dectrain-full.dat"), MaxTrainingFileSize);
    CheckTerritoryRecords(records, Option(args, "--records", "dectrain-full.dat"));
    TQuietEngine e;
    FreshTerritoryNet(e.Engine, static_cast<uint32_t>(IntOption(args, "--seed", 1)),
                      RealOption(args, "--rate", 0.02));
    const int rounds = IntOption(args, "--rounds", 3000);
    const double error = TrainTerritoryNet(
        e.Engine, records, rounds, IntOption(args, "--report", 0), [](int round, double err) {
            std::printf("round %d: error %.5f\n", round, err);
            std::fflush(stdout);
        });
    e.Engine.TerritoryNet->SaveToFile(Option(args, "--out", "terrnet.dat"));
    std::printf("%d rounds on %zu records, mean error of the last tenth %.5f\n", rounds,
                records.size() / TerritoryRecordSize, error);
    return 0;
}

void PrintTerritoryQuality(const char* title, const TTerritoryQuality& q) {
    const auto share = [](int64_t part, int64_t whole) {
        return whole > 0 ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0;
    };
    std::printf("%s: %d positions\n", title, q.Positions);
    std::printf(
        "  teacher's move in the top 5: %.1f%%, top 20: %.1f%%, mean rank %.1f (%d moves)\n",
        share(q.TeacherTop5, q.TeacherMoves), share(q.TeacherTop20, q.TeacherMoves),
        q.TeacherMeanRank, q.TeacherMoves);
    std::printf("  settled points classed below 0: %.1f%% of %lld\n",
                share(q.SettledBelowZero, q.SettledPoints),
                static_cast<long long>(q.SettledPoints));
    std::printf("  empty points of class 43..48: %.1f%% of %lld\n",
                share(q.EmptyNoise, q.EmptyPoints), static_cast<long long>(q.EmptyPoints));
    std::printf("  empty board: %d of 361 points of class 43..48, classes %d..%d\n",
                q.EmptyBoardNoise, q.EmptyBoardMinClass, q.EmptyBoardMaxClass);
}

double ThreadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// EvaluateTerritory on positions of real play: the median of the processor time per call (the
// wall clock of a shared machine also counts other processes) and of the wall time.
void PrintTerritoryTiming(TEngine& engine, const std::vector<TTeacherGame>& games,
                          const TTerritoryDataOptions& options) {
    std::vector<double> cpu, wall;
    for (const TTeacherGame& game : games)
        for (const TTerritoryLesson& lesson : TerritoryLessons(game, options)) {
            AnalyseLesson(engine, lesson);
            const double c0 = ThreadCpuMs();
            const auto w0 = std::chrono::steady_clock::now();
            engine.Territory.EvaluateTerritory(false);
            cpu.push_back(ThreadCpuMs() - c0);
            wall.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - w0)
                    .count());
        }
    if (cpu.empty()) return;
    std::sort(cpu.begin(), cpu.end());
    std::sort(wall.begin(), wall.end());
    std::printf(
        "EvaluateTerritory over %zu positions: median %.2f ms processor time, %.2f ms wall\n",
        cpu.size(), cpu[cpu.size() / 2], wall[wall.size() / 2]);
}

int RunTerritoryCheck(const Args& args) {
    std::vector<TTeacherGame> train, heldOut;
    ReadGames(args, train, heldOut);
    const TTerritoryDataOptions options = TerritoryOptions(args);
    TQuietEngine e;
    e.Engine.TerritoryNet->LoadFromFile(Option(args, "--net", "terrnet.dat"));
    PrintTerritoryQuality("trained network, held-out games",
                          MeasureTerritory(e.Engine, heldOut, options));
    PrintTerritoryTiming(e.Engine, heldOut, options);
    UntrainedTerritoryNet(e.Engine);
    PrintTerritoryQuality("untrained network, held-out games",
                          MeasureTerritory(e.Engine, heldOut, options));
    return 0;
}

void PrintPredictorQuality(const char* what, const TPredictorQuality& q) {
    std::printf("%s: %d moves, top-1 %.1f %%, top-5 %.1f %%, mean log-probability %.3f\n", what,
                q.Lessons, 100 * q.Top1, 100 * q.Top5, q.LogLikelihood);
}

std::vector<TPredictorLesson> LessonsOf(const Args& args, const std::string& option) {
    const std::string files = Option(args, option, "");
    if (files.empty()) return {};
    return PredictorLessons(ReadTeacherGameFiles(files), IntOption(args, "--skip-first", 10));
}

int RunPredictor(const Args& args) {
    if (Option(args, "--games", "").empty()) throw std::runtime_error("--games FILE[,FILE...] is needed");
    const std::vector<TPredictorLesson> lessons = LessonsOf(args, "--games");
    TPredictorTraining training;
    training.Epochs = IntOption(args, "--epochs", training.Epochs);
    training.Rate = RealOption(args, "--rate", training.Rate);
    training.Decay = RealOption(args, "--decay", training.Decay);
    training.MinShapeCount = IntOption(args, "--min-shape-count", training.MinShapeCount);
    training.Seed = static_cast<uint32_t>(IntOption(args, "--seed", 1));
    TMovePredictor predictor;
    TrainPredictor(predictor, lessons, training);
    std::printf("%zu shapes and %zu large shapes learned\n", predictor.ShapeIndex.size(),
                predictor.LargeShapeIndex.size());
    PrintPredictorQuality("training games", MeasurePredictor(predictor, lessons));
    const std::vector<TPredictorLesson> heldOut = LessonsOf(args, "--heldout-games");
    if (!heldOut.empty()) PrintPredictorQuality("held-out games", MeasurePredictor(predictor, heldOut));
    const std::string text = predictor.Text();
    WriteFileAtomically(Option(args, "--out", "predictor.dat"),
                        std::vector<uint8_t>(text.begin(), text.end()));
    return 0;
}

int RunPredictorCheck(const Args& args) {
    TMovePredictor predictor;
    predictor.LoadFromFile(Option(args, "--predictor", "predictor.dat"));
    PrintPredictorQuality("games", MeasurePredictor(predictor, LessonsOf(args, "--games")));
    return 0;
}

}  // namespace

std::map<std::string, cli::TSubcommand> TrainCommands() {
    return {
        {"games",
         {"train games --out FILE [--games N] [--first K] [--level L] [--first-sample M]\n"
          "      [--sample-every K] [--verdicts final|dragon] [--opening 4 | MIN-MAX]\n"
          "      [--opening-lines 3-6] [--handicap N] [--invasions N] [--invasion-moves 30-150]\n"
          "      [--never-resign] [--gnugo PATH]\n"
          "      GNU Go self-play games with its verdicts (data building only)",
          RunGames}},
        {"samples",
         {"train samples --games F[,F...] [--extra-games F[,F...]] [--heldout-every 5]\n"
          "      [--out training-full.dat] [--heldout-out heldout.dat] [--ship training.dat]\n"
          "      [--ship-count 4000] [--sure-labels survival|status]\n"
          "      classifier samples from teacher games",
          RunSamples}},
        {"net",
         {"train net [--samples training-full.dat] [--out net.dat] [--steps N] [--seed S]\n"
          "      [--dead-share D] [--stone-share S] [--rare-share R]   train the point classifier",
          RunNet}},
        {"check",
         {"train check --games F[,F...] [--net net.dat] [--heldout heldout.dat]\n"
          "      [--dragon-games F[,F...]]\n"
          "      held-out quality of the classifier",
          RunCheck}},
        {"terr-records",
         {"train terr-records --games F[,F...] [--extra-games F[,F...]] [--heldout-every 5]\n"
          "      [--first-move 1] [--every 3] [--seed 1] [--teacher-value 30] [--settled-value "
          "-8]\n"
          "      [--settled-per-position 10] [--out dectrain-full.dat]\n"
          "      [--ship dectrain.dat] [--ship-count 4000]   territory records from teacher games",
          RunTerritoryRecords}},
        {"terrnet",
         {"train terrnet [--records dectrain-full.dat] [--out terrnet.dat] [--rounds N]\n"
          "      [--seed S] [--rate R] [--report K]   train the territory network",
          RunTerritoryNet}},
        {"terr-check",
         {"train terr-check --games F[,F...] [--net terrnet.dat] [--first-move 1] [--every 3]\n"
          "      held-out quality of the territory network, and of an untrained one",
          RunTerritoryCheck}},
        {"predictor",
         {"train predictor --games F[,F...] [--heldout-games F[,F...]] [--skip-first 10]\n"
          "      [--epochs 4] [--rate 0.05] [--decay 0.0001] [--min-shape-count 50] [--seed 1]\n"
          "      [--out predictor.dat]   train the move predictor on the teacher's moves",
          RunPredictor}},
        {"predictor-check",
         {"train predictor-check --games F[,F...] [--predictor predictor.dat] [--skip-first 10]\n"
          "      how often the move predictor finds the teacher's moves",
          RunPredictorCheck}},
    };
}

}  // namespace obrin::train
