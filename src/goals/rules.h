// The rule catalogue: the comparators that rank the engine's goals, registered once when the
// engine's rule manager is made.
//
// Every rule answers one kind of pair (X against Y) and says which of the two goals matters more:
// a kind before another, one kind before another under a condition, or two goals of a kind by a
// value at their points or of their groups and chains. A rule written for X against Y answers the
// mirrored pair Y against X with its own verdict negated, so each rule is one row of a table:
// its class name, its level and the verdict for the pair it knows.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "goals/goals.h"

namespace obrin {

class TObrinRuleManager;

// Creates the engine's rules and registers them with manager in catalogue order, so that the
// manager asks the last registered rule first.
void RegisterRules(TObrinRuleManager& manager);

// The rules of the catalogue, one object per registration, in registration order (the order
// RegisterRules adds them). Rules keep no state: they read everything through the goals' manager,
// so a set made here votes exactly as the registered one does.
[[nodiscard]] std::vector<std::unique_ptr<TRule>> MakeRules();

}  // namespace obrin
