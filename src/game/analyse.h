// The staged analysis of the current position: the one place where the stages run, in their fixed
// order, each reading what the earlier ones wrote. Every caller (the move driver, scoring, GTP,
// the analysis windows, the tools) asks for the stage it needs and gets every stage before it.
#pragma once

#include <string>

#include "board/board.h"

namespace obrin {

class TEngine;
class TPositionContext;

enum class TAnalysisStage {
    Classification,  // the point classifier's fields and the field strength
    Gradient,        // the steepest field-strength step at every empty point
    Names,           // chain names (Namensfeld)
    Liberties,       // the liberty field (Freiheitsfeld)
    Cuts,            // the cut analysis (SVerbunden, WVerbunden)
    Graph,           // groups, chains, status, patterns and their goal associations, correction
    Areas,           // the empty areas; then "ketten.txt" when the setting asks for it
    Territory,       // the territory network's value of every point (Feldbewertung)
    GroupGoals,      // RETTEN and FANGEN for the unsettled groups (the goals start afresh)
    NeutralPoints,   // where both colours' living groups reach
    All = NeutralPoints,
};

// Whether the territory stage adds the small random spread that varies the computer's play (the
// move decision does when the setting "Zufall" is on; every other caller wants the plain values).
enum class TTerritoryNoise { Off, On };

// Runs the stages from the first to upTo over Spielfeld, showing each one's text in the host's
// status line. The cut marks, the neutral points, the territory values and the classifier's end
// field of an earlier position are cleared first, and the deterministic clock starts again, so
// that nothing of it survives. Errors propagate (EObrinError).
void Analyse(TEngine& engine, TAnalysisStage upTo, TTerritoryNoise noise = TTerritoryNoise::Off);

// The graph stage alone, over the fields as they stand (tests and benchmarks that set the earlier
// stages' fields by hand): groups and chains, the pattern matcher, the correction pass and the
// strategic values.
void BuildGraph(TEngine& engine);

// Gradient: 0 on stones; on an empty point the steepest Feldstaerkefeld step to an empty
// neighbour.
void ComputeGradient(TPositionContext& context);

// The status text of an analysis stage in the current language, followed by " ...".
[[nodiscard]] std::string ThinkingText(TPositionContext& context, const char* word);

}  // namespace obrin
