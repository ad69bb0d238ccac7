#include "gtp/gtp_rules.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "game/engine.h"
#include "goals/obrinmanager.h"
#include "goals/rules.h"
#include "gtp/gtp.h"

namespace obrin {
namespace {

// Goal names are an upper-case keyword followed by numbers ("ATARI-RETTEN 42 43"), so in the
// arguments a name starts at every word that is not a number.
bool IsNumber(const std::string& word) {
    size_t i = word[0] == '-' ? 1 : 0;
    if (i == word.size()) return false;
    for (; i < word.size(); ++i)
        if (std::isdigit(static_cast<unsigned char>(word[i])) == 0) return false;
    return true;
}
std::vector<std::string> GoalNames(const TGtpArgs& args) {
    std::vector<std::string> names;
    for (const std::string& word : args) {
        if (IsNumber(word) && !names.empty())
            names.back() += " " + word;
        else
            names.push_back(word);
    }
    return names;
}

// The rules in the order the manager asks them: the last registered first.
std::vector<std::unique_ptr<TRule>> RulesInAskingOrder() {
    std::vector<std::unique_ptr<TRule>> rules = MakeRules();
    std::reverse(rules.begin(), rules.end());
    return rules;
}

TGtpReply ListRules() {
    std::vector<std::unique_ptr<TRule>> rules = RulesInAskingOrder();
    std::string text;
    for (size_t i = 0; i < rules.size(); ++i) {
        if (!text.empty()) text += '\n';
        text += std::to_string(rules.size() - i) + " " + rules[i]->ClassName() + " " +
                std::to_string(rules[i]->Level);
    }
    return TGtpReply::Success(text);
}

// Every rule that votes on (a, b), level by level from the top as the manager asks them, then
// the manager's verdict. The transitive rule is let to vote here as at the start of a selection.
TGtpReply CompareGoals(TEngine& engine, const TGtpArgs& args) {
    const std::vector<std::string> names = GoalNames(args);
    if (names.size() != 2) return TGtpReply::Failure("two goal names expected");
    TObrinRuleManager* manager = engine.RuleManager.get();
    TGoal* a = manager->FindGoal(names[0]);
    TGoal* b = manager->FindGoal(names[1]);
    if (a == nullptr) return TGtpReply::Failure("unknown goal " + names[0]);
    if (b == nullptr) return TGtpReply::Failure("unknown goal " + names[1]);
    if (manager->Debugger == nullptr) manager->Debugger = &engine.GoalDebugger();

    const bool busy = manager->TransitiveBusy;
    std::vector<std::unique_ptr<TRule>> rules = RulesInAskingOrder();
    std::string text;
    for (int32_t level = manager->MaxLevel(); level >= 0; --level)
        for (const auto& rule : rules) {
            if (rule->Level != level) continue;
            manager->TransitiveBusy = false;
            const int32_t vote = rule->Compare(*a, *b);
            if (vote == 0) continue;
            text += std::to_string(level) + ": " + rule->ClassName() + " " +
                    std::to_string(vote > 0 ? 1 : -1) + "\n";
        }
    manager->TransitiveBusy = false;
    const int32_t result = manager->CompareGoals(*a, *b);
    manager->TransitiveBusy = busy;
    return TGtpReply::Success(text + "Ergebnis: " + std::to_string(result));
}

}  // namespace

void RegisterRuleCommands(TGtpEngine& gtp) {
    gtp.Register("obrin_rules", [](const TGtpArgs&) { return ListRules(); });
    gtp.Register("obrin_compare",
                 [&gtp](const TGtpArgs& args) { return CompareGoals(gtp.Engine(), args); });
    gtp.AddAnalyzeCommand("string/Regeln/obrin_rules");
    gtp.AddAnalyzeCommand("string/Ziele vergleichen/obrin_compare %s");
}

}  // namespace obrin
