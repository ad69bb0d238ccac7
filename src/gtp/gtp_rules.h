// GTP commands that show how the rules rank goals: obrin_rules lists the registrations in the
// order the rule manager asks them, obrin_compare lets every rule vote on two goals of the last
// search and gives the manager's verdict.
#pragma once

namespace obrin {

class TGtpEngine;

void RegisterRuleCommands(TGtpEngine& gtp);

}  // namespace obrin
