// The point classifier: a TFeedFwd3 network looks at the 3x3 neighbourhood of a point (board,
// edge distance, field strength) and says what the point is: sure stones, eyes, shared-fate and
// predicate regions, local answers, where a side can start a new life or seal off territory.
// ClassifyBoard writes eleven fields of the field container from its outputs. The training
// dialog's actions are plain functions here so that the dialog stays thin.
#pragma once

#include <array>
#include <string>

#include "board/board.h"

namespace obrin {

class TAnalysisContext;
class TFeedFwd3;

constexpr int KlassiInputs = 27;   // three 3x3 neighbourhoods
constexpr int KlassiNetSize = 50;  // inputs, hidden units and outputs of the network
constexpr int KlassiNamedOutputs = 19;

// The dialog's labels of the 19 named outputs (0: occupied, 1: colour, ..., 18: white predicate
// region), in output order.
extern const std::array<const char*, KlassiNamedOutputs> KlassiOutputLabels;

// The eight symmetries of a 3x3 neighbourhood in the classifier's cell order (top-left to
// bottom-right, row by row): cell i of the result takes cell Symmetry[s][i] of the source.
extern const std::array<std::array<int, 9>, 8> Symmetry;

// The 27 scaled features of (x, y): board, MinAbstand and Feldstaerkefeld neighbourhoods, each in
// the classifier's order, off-board points reading 0, scaled to 0..1.
using TKlassiFeatures = std::array<double, KlassiInputs>;
[[nodiscard]] TKlassiFeatures KlassiFeatures(const TBoard& board, const TBoard& minAbstand,
                                             const TBoard& feldstaerke, int x, int y);
// The features with every block turned by symmetry s.
[[nodiscard]] TKlassiFeatures TransformFeatures(const TKlassiFeatures& f, int s);
// All 50 inputs 0.5, then the 27 features.
void SetKlassiInputs(TFeedFwd3& net, const TKlassiFeatures& f);

// Nearest integer, halves to even; a value that is not finite gives fallback.
[[nodiscard]] int RoundHalfEven(double v, int fallback = 0);

// Runs the classifier over the whole board of context.Fields.Spielfeld; recomputes
// Feldstaerkefeld first. A floating-point failure is reported in the host's caption and the run
// goes on.
void ClassifyBoard(TAnalysisContext& context);

// "Punkt testen": the network's 50 outputs for (x, y) of the current position (Feldstaerkefeld
// as last computed).
[[nodiscard]] std::array<double, KlassiNetSize> TestPoint(TAnalysisContext& context, int x, int y);

// "Endfeld belegen": Endfeld receives, for every point of the current position, the network's
// output number output (0..49) as trunc(o * 100), the scale of the dialog's scroll bars.
// Feldstaerkefeld is recomputed first, as for ClassifyBoard.
void FillEndfeld(TAnalysisContext& context, int output);

// "Diesen Vektor übernehmen": appends eight samples (one per symmetry) of (x, y) with the wanted
// values of the 19 named outputs (0..1); the other outputs are 0.5.
void AcceptVector(TAnalysisContext& context, int x, int y,
                  const std::array<double, KlassiNamedOutputs>& wanted);

// The dialog's sample file "training.dat": loaded when it exists (true), otherwise the sample
// set becomes empty (false); saved back atomically.
bool LoadKlassiSamples(TAnalysisContext& context);
void SaveKlassiSamples(TAnalysisContext& context);
// "<n> Trainingsmuster)", the dialog's sample count.
[[nodiscard]] std::string SampleCountText(const TAnalysisContext& context);

// One training step of the classifier on the last sample (onlyLast) or a random one; returns
// the squared error over the 50 outputs before the step. Nothing happens without samples.
double TrainKlassiStep(TAnalysisContext& context, bool onlyLast);

}  // namespace obrin
