// Building, training and measuring the territory network from teacher games: the steps behind
// "obrin-cli train terr-records|terrnet|terr-check". The network's class is the value of playing
// at a point for +1, so the lessons come from what the teacher did next: the point it played
// ranks highest, points played soon after rank high, and points of either side's area that
// nobody touched again to the end of the game are settled and get negative values.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "tools/klassidata.h"
#include "board/board.h"

namespace obrin {

class TEngine;

struct TTerritoryDataOptions {
    int FirstMove = 1;      // the first position sampled (one stone: one colour only)
    int SampleEvery = 3;    // then every this many moves
    int Horizon = 10;       // a point played within this many moves counts as played soon
    int SettledRadius = 2;  // settled: no move this close (Manhattan) to the end of the game
    int TeacherValue = 30;  // the class wanted for the teacher's move (2 less per move later)
    int SettledValue = -8;
    int SettledPerPosition = 6;      // absolute records of settled points per position
    int ComparisonsPerPosition = 4;  // "the teacher's move is better than this point"
    uint32_t Seed = 1;
};

// No absolute value for the point.
constexpr int NoLessonValue = 127;

// One position of a teacher game seen from the side to move (+1), with what happened next.
struct TTerritoryLesson {
    int GameId = 0, MoveNumber = 0;
    TBoard Position{};
    int TeacherMove = -1;  // point index of the move played next, -1 for a pass
    // The wanted class of each empty point: TeacherValue for the teacher's move, 2 less per later
    // move for points played soon, the settled value for settled points, NoLessonValue for the
    // rest.
    std::array<int8_t, PointCount> Value{};
    TBoard Settled{};  // +1 settled area of the side to move, -1 of its opponent, 0 elsewhere
};

// The lessons of one game: positions from FirstMove, every SampleEvery moves, while moves follow.
[[nodiscard]] std::vector<TTerritoryLesson> TerritoryLessons(const TTeacherGame& game,
                                                             const TTerritoryDataOptions& options);

// Puts the lesson's position on the engine's board and runs the analysis the territory inputs
// read (up to the graph, its areas and the gradient).
void AnalyseLesson(TEngine& engine, const TTerritoryLesson& lesson);

// "dectrain.dat" records of the games' lessons, computed by the engine's own analysis: absolute
// records for the points played soon and a sample of the settled points, comparisons of the
// teacher's move with random legal points that were not played soon. Repeats byte for byte.
[[nodiscard]] std::vector<uint8_t> BuildTerritoryRecords(TEngine& engine,
                                                         const std::vector<TTeacherGame>& games,
                                                         const TTerritoryDataOptions& options);

// A deterministic sample of at most count whole records.
[[nodiscard]] std::vector<uint8_t> SelectTerritoryRecords(const std::vector<uint8_t>& records,
                                                          size_t count, uint32_t seed);

// Replaces the engine's territory network by a fresh one (weights from the engine's generator,
// seeded with seed) at the given learning rate.
void FreshTerritoryNet(TEngine& engine, uint32_t seed, double rate);

// Replaces the engine's territory network by the one an engine starts with when "terrnet.dat" is
// missing (the figures of the untrained network compare with it).
void UntrainedTerritoryNet(TEngine& engine);

// Runs rounds of TrainTerritoryRound over the records (every comparison turned by a random
// symmetry); progress every report rounds through the callback. Returns the mean error of the
// last tenth of the rounds.
double TrainTerritoryNet(TEngine& engine, const std::vector<uint8_t>& records, int rounds,
                         int report = 0, void (*progress)(int round, double error) = nullptr);

struct TTerritoryQuality {
    int Positions = 0;
    int TeacherTop5 = 0, TeacherTop20 = 0, TeacherMoves = 0;  // rank among the empty points
    double TeacherMeanRank = 0;
    int64_t SettledPoints = 0, SettledBelowZero = 0;
    int64_t EmptyPoints = 0, EmptyNoise = 0;  // empty points of class 43..48
    int EmptyBoardNoise = 0;                  // points of class 43..48 on the empty board
    int EmptyBoardMinClass = 0, EmptyBoardMaxClass = 0;
};
// EvaluateTerritory on the lessons of the games with the engine's current network.
[[nodiscard]] TTerritoryQuality MeasureTerritory(TEngine& engine,
                                                 const std::vector<TTeacherGame>& games,
                                                 const TTerritoryDataOptions& options);

}  // namespace obrin
