// GTP commands that show the engine's analysis fields, for GUIs and for checks: obrin_field NAME
// prints one field as 19 rows of 19 integers (top row first), obrin_fields lists the names, and
// gogui-analyze_commands offers every field to GoGui as a "dboard" command. The analysis graph
// answers obrin_groups (the chain-status dump), obrin_status VERTEX and final_status_list.
#pragma once

#include <string>
#include <vector>

#include "board/board.h"

namespace obrin {

class TEngine;
class TGtpEngine;

struct TGoGroup;

// The group's stones as GTP vertices in board order; with its name first.
[[nodiscard]] std::string GroupStones(const TGoGroup& g);
[[nodiscard]] std::string GroupText(const TGoGroup& g);
// 19 lines of 19 integers, top row first.
[[nodiscard]] std::string FieldText(const TBoard& field);

void RegisterAnalysisCommands(TGtpEngine& gtp);

}  // namespace obrin
