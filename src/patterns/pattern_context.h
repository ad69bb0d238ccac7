// The pattern context: the analysis context plus the pattern library with its handlers and the
// goal associations of the last pattern run. Pattern code and the goal engine take it instead of
// the engine; the engine builds on it and owns it.
#pragma once

#include "analysis/analysis_context.h"
#include "patterns/assoc.h"
#include "patterns/move_predictor.h"
#include "patterns/muster.h"

namespace obrin {

class TPatternContext : public TAnalysisContext {
  public:
    // Registers the pattern handlers and reads the pattern library "muster.txt".
    explicit TPatternContext(IHost& host);

    static constexpr const char* PredictorFile = "predictor.dat";

    TPatterns Patterns;  // the pattern library "muster.txt", its handlers and last firings
    TGoalAssociation GoalAssociation;  // what the pattern handlers suggested in the last run
    // The move predictor "predictor.dat" (empty when the file is missing or bad), and the last
    // move of each side for it, set by the game loop before each search.
    TMovePredictor Predictor;
    TRecentMoves RecentMoves;
};

}  // namespace obrin
