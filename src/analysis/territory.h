// The territory evaluator of the group estimator: a TFeedFwd4 network rates every empty point
// from 80 local values (nine 3x3 neighbourhoods of board, influence, analysis fields) as a class
// -10..50. Also the actions of the territory training dialog: records of "dectrain.dat"
// (comparisons "this point is better than that one" and absolute values) and training rounds.
// Invariant: ScoreField is the graph's score array of the current position (all zero until the
// analysis graph fills it).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "board/board.h"

namespace obrin {

class TAnalysisContext;
class TFeedFwd4;

constexpr int TerritoryInputs = 80;
constexpr size_t TerritoryRecordSize = 642;  // one "dectrain.dat" record

using TTerritoryRecord = std::array<int32_t, TerritoryInputs>;

struct TTerritoryRange {
    int Lo, Hi;
};
// The fixed input ranges of the 80 values.
extern const std::array<TTerritoryRange, TerritoryInputs> TerritoryRanges;

// The 80-value record of (x, y): nine blocks in the territory order (x, y), (x+1, y+1), (x, y+1),
// (x-1, y+1), (x-1, y), (x-1, y-1), (x, y-1), (x+1, y-1), (x+1, y); the last block without its
// centre.
[[nodiscard]] TTerritoryRecord TerritoryInputRecord(const TAnalysisContext& context, const TBoard& scoreField,
                                                    int x, int y);
// Every block of the record turned by symmetry s (0..7).
[[nodiscard]] TTerritoryRecord TransformRecord(const TTerritoryRecord& r, int s);
// Network inputs (v - lo)/(hi - lo) without limiting, 0 where lo = hi.
void ScaleTerritoryRecord(const TTerritoryRecord& r, double* inputs);
void SetTerritoryInputs(TFeedFwd4& net, const TTerritoryRecord& r);

// Class of a network output: round(o*60) - 10; the target of class k is (k + 10)/60.
[[nodiscard]] int TerritoryClass(double output);

// Appends one "dectrain.dat" record: the first point is better than the second, or the point
// has the absolute value.
void AppendComparisonRecord(std::vector<uint8_t>& records, const TTerritoryRecord& better,
                            const TTerritoryRecord& worse);
void AppendAbsoluteRecord(std::vector<uint8_t>& records, const TTerritoryRecord& point,
                          int16_t value);

// The territory training file "dectrain.dat" of the data folder; a missing file gives no records,
// a damaged one throws (see CheckTerritoryRecords).
[[nodiscard]] std::vector<uint8_t> LoadTerritoryRecords();
void SaveTerritoryRecords(const std::vector<uint8_t>& records);
// Throws EObrinError naming the file and the offset when the image is not whole records of
// type 1 or 2 (a damaged or truncated file is refused rather than trained on).
void CheckTerritoryRecords(const std::vector<uint8_t>& records, const std::string& fileName);
struct TTerritoryRecordCounts {
    int Comparisons = 0, Absolutes = 0;
};
// The number of records of each kind (the dialog's status bar).
[[nodiscard]] TTerritoryRecordCounts CountTerritoryRecords(const std::vector<uint8_t>& records);

class TTerritoryEvaluator {
  public:
    explicit TTerritoryEvaluator(TAnalysisContext& context) : m_context(context) {}

    // The network's output for an empty point of the current position.
    [[nodiscard]] double EvaluatePoint(int x, int y);
    [[nodiscard]] int PointClass(int x, int y);
    // Fills Feldbewertung (empty points: EvaluatePoint, stones: -1.0) and MaxClass. With zufall,
    // points of class 0 or more get a random (r + 9.5)/60 added first.
    void EvaluateTerritory(bool zufall);
    // One round of 100 random records from a "dectrain.dat" image with the relation setting
    // p (0..1, the share of comparisons that are turned by a random symmetry). Returns the summed
    // squared error; a record of unknown type throws "Illegal data type".
    double TrainTerritoryRound(const std::vector<uint8_t>& records, double relation);

    // The dialog's "Daten übernehmen": append a record for typed points; false (nothing
    // appended) when a point text or the value cannot be read.
    bool AppendComparison(std::vector<uint8_t>& records, const std::string& better,
                          const std::string& worse);
    bool AppendAbsolute(std::vector<uint8_t>& records, const std::string& point,
                        const std::string& value);

    // True when Feldbewertung was last filled for exactly this position.
    [[nodiscard]] bool EvaluatedFor(const TBoard& position) const {
        return m_evaluated && m_position == position;
    }

    TBoard ScoreField{};  // the graph's score array
    int MaxClass = -1;    // highest class of the last EvaluateTerritory

  private:
    double Evaluate(const TTerritoryRecord& r);
    double TrainTowards(const TTerritoryRecord& r, double target);

    TAnalysisContext& m_context;
    bool m_evaluated = false;
    TBoard m_position{};  // the position of the last EvaluateTerritory
};

}  // namespace obrin
