// The rule catalogue: the comparators that rank the engine's goals, registered once when the
// engine's rule manager is made.
#pragma once

namespace obrin {

class TObrinRuleManager;

// Creates the engine's rules and registers them with manager in catalogue order.
void RegisterRules(TObrinRuleManager& manager);

}  // namespace obrin
