#include "goals/rules.h"

#include "goals/obrinmanager.h"

namespace obrin {

void RegisterRules(TObrinRuleManager& manager) {
    (void)manager;
}

}  // namespace obrin
