// The move predictor: how likely a strong player is to play each point, learned from GNU Go's
// moves in teacher games. Every legal point of a position gets a few features (its 3x3 shape
// with the liberties of the chains beside it, how far it is from the last two moves, its line
// and how far the nearest stone is, what it captures, the liberties its stone will have, the
// ataris it gives), each feature carries a learned weight, and a point's score is the sum of
// its features' weights. The scores of a position's points are the logarithms of their
// probabilities up to a common constant (a softmax). The weights live in "predictor.dat".
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "board/board.h"

namespace obrin {

// The last move of each side, as point indices; -1 for none or a pass.
struct TRecentMoves {
    int32_t Opponent = -1;
    int32_t Own = -1;
};

// The feature groups; a point has exactly one feature of each group.
enum TPredictorGroup : int32_t {
    GroupShape,          // the 3x3 shape (learned shapes only, the rest share one weight)
    GroupLargeShape,     // the 5x5 shape, stones only (learned ones only, the same way)
    GroupOpponentDistance,
    GroupOwnDistance,
    GroupLineSpace,      // line 1..6+ by the distance of the nearest stone
    GroupCapture,        // stones captured, and whether that saves a chain of ours in atari
    GroupLiberties,      // the new chain's liberties, and whether it was in atari before
    GroupAtari,          // ataris given to the opponent's chains
    PredictorGroupCount
};

// Features of one point: one index per group; the shape as its canonical code.
struct TPointFeatures {
    std::array<int32_t, PredictorGroupCount> Index{};
    uint32_t ShapeCode = 0;
    uint64_t LargeShapeCode = 0;
};

// What the features need to know of a position, worked out once for all its points: the
// chains and their liberties, the distance of every point to the nearest stone.
class TPredictorPosition {
  public:
    // b: +1 the side to move, -1 its opponent. koPoint: the point +1 may not take back, or -1.
    TPredictorPosition(const TBoard& b, const TRecentMoves& recent, int32_t koPoint = -1);

    // A move of +1 at point is legal (empty, not the ko point, not suicide).
    [[nodiscard]] bool Legal(int32_t point) const;
    [[nodiscard]] TPointFeatures Features(int32_t point) const;

  private:
    [[nodiscard]] uint32_t ShapeCode(int32_t point) const;
    [[nodiscard]] uint64_t LargeShapeCode(int32_t point) const;
    [[nodiscard]] int32_t NeighbourCode(int32_t x, int32_t y, bool orthogonal) const;
    [[nodiscard]] int32_t CaptureIndex(int32_t point) const;
    [[nodiscard]] int32_t LibertyIndex(int32_t point) const;
    [[nodiscard]] int32_t AtariIndex(int32_t point) const;

    TBoard m_board;
    TRecentMoves m_recent;
    int32_t m_ko;
    std::array<int32_t, PointCount> m_chain{};  // chain number of a stone, -1 on empty points
    std::vector<int32_t> m_liberties;           // per chain
    std::vector<int32_t> m_stones;              // per chain
    std::array<int32_t, PointCount> m_space{};  // steps to the nearest stone, at most 6
};

// The number of features of each group, shapes excepted (their table grows with the training).
[[nodiscard]] int32_t PredictorGroupSize(TPredictorGroup group);

class TMovePredictor {
  public:
    TMovePredictor();

    // Reads the weights from a "predictor.dat" text; throws EObrinError naming the file and
    // line on bad input. An empty predictor (nothing loaded) scores every point 0.
    void Parse(const std::string& text, const std::string& fileName);
    void LoadFromFile(const std::string& fileName);
    [[nodiscard]] std::string Text() const;
    [[nodiscard]] bool Loaded() const { return m_loaded; }

    // The score of a point with these features.
    [[nodiscard]] double Score(const TPointFeatures& f) const;
    // Scores of every point of the position; illegal points get -infinity.
    [[nodiscard]] std::array<double, PointCount> Scores(const TPredictorPosition& position) const;

    // The weights, for training: one table per group; shapes by their canonical code (index 0
    // of a shape group is the weight of every shape not in its table).
    std::array<std::vector<double>, PredictorGroupCount> Weights;
    std::unordered_map<uint32_t, int32_t> ShapeIndex;
    std::unordered_map<uint64_t, int32_t> LargeShapeIndex;

  private:
    bool m_loaded = false;
};

// The probabilities (softmax of the scores) of every point; illegal points 0.
[[nodiscard]] std::array<double, PointCount> PredictorProbabilities(
    const std::array<double, PointCount>& scores);

}  // namespace obrin
