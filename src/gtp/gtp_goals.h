// GTP commands of the move engine: genmove and reg_genmove (the computer's move for either
// colour), the goal set and the goal tree of the last search (obrin_goals, obrin_goal_tree),
// obrin_expand for looking into one goal's expansion, and time_settings/time_left, which are
// accepted so that match runners work (the engine takes no time limit).
#pragma once

namespace obrin {

class TGtpEngine;

void RegisterGoalCommands(TGtpEngine& gtp);

}  // namespace obrin
