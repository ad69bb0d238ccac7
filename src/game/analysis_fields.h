// The analysis fields by name: one table for GTP (obrin_field, obrin_fields, the GoGui analyze
// commands) and the field window, so that both show the same fields under the same names.
#pragma once

#include <string>
#include <vector>

#include "board/board.h"

namespace obrin {

class TAnalysisContext;

struct TAnalysisFieldName {
    std::string Name;           // as obrin_field takes it
    std::string WindowCaption;  // the field window's menu entry (German design text), "" for none
};

// Every field in display order.
[[nodiscard]] const std::vector<TAnalysisFieldName>& AnalysisFieldNames();
// The field called name as integers (Feldbewertung in thousandths, Gebietswert as the territory
// classes of the empty points) from the last analysis; false for an unknown name. The diagnostic
// spread (Diagnosefeld) is computed here, from Spielfeld, when it is asked for.
[[nodiscard]] bool AnalysisField(TAnalysisContext& context, const std::string& name, TBoard& field);

}  // namespace obrin
