#include "goals/goals.h"

#include <algorithm>
#include <cassert>

#include "board/errors.h"
#include "goals/goaldbg.h"

namespace obrin {

bool ContainsGoal(const TGoalList* list, const TGoal* goal) {
    for (const TGoal* g : GoalsOf(list))
        if (g == goal) return true;
    return false;
}

// ---- TGoal

TGoal::~TGoal() {
    if (Manager != nullptr) {
        Manager->FreeNodeList(SuperGoals);
        return;
    }
    while (SuperGoals != nullptr) {
        std::unique_ptr<TGoalList> node(SuperGoals);
        SuperGoals = node->Next;
    }
}

std::string TGoal::GetName() const {
    return "???";
}

void TGoal::Expand() {
    throw EObrinError(msg::Expand);
}

const std::string& TGoal::Name() const {
    if (m_name.empty()) m_name = GetName();
    return m_name;
}

// ---- TRuleManager: goals and rules

TRuleManager::~TRuleManager() {
    ClearRules();
    ClearGoals();
    FreePooledNodes();
}

void TRuleManager::AddGoal(std::unique_ptr<TGoal> goal) {
    // A goal in a list is owned by that list; taking it over again would link it twice.
    if (goal->m_listed || goal->Next != nullptr) {
        TGoal* listed = goal.release();
        throw EObrinError(std::string(msg::GoalIsLinkedPrefix) + listed->Name() +
                          msg::GoalIsLinkedSuffix);
    }
    assert(goal->Manager == nullptr || goal->Manager == this);
    TGoal* g = goal.release();
    g->Manager = this;
    g->m_listed = true;
    g->Next = m_goals;
    m_goals = g;
}

void TRuleManager::AddRule(std::unique_ptr<TRule> rule) {
    if (!rule) return;
    TRule* r = rule.release();
    r->Next = m_rules;
    m_rules = r;
    m_maxLevel = std::max(m_maxLevel, r->Level);
    if (static_cast<int32_t>(m_rulesByLevel.size()) <= r->Level)
        m_rulesByLevel.resize(static_cast<size_t>(r->Level) + 1);
    auto& level = m_rulesByLevel[static_cast<size_t>(r->Level)];
    level.insert(level.begin(), r);
}

TGoal* TRuleManager::FindGoal(std::string_view name) const {
    TGoal* found = nullptr;
    for (TGoal* g = m_goals; g != nullptr; g = g->Next)
        if (g->Name() == name) found = g;
    return found;
}

void TRuleManager::LinkGoal(TGoal& goal, TGoal& superGoal) {
    assert(goal.Manager == this);
    if (ContainsGoal(goal.SuperGoals, &superGoal)) return;
    TGoalList* node = NewNode();
    node->Goal = &superGoal;
    node->Next = goal.SuperGoals;
    goal.SuperGoals = node;
}

TGoal* TRuleManager::SoleSuperGoal(const TGoal& goal) {
    const TGoalList* s = goal.SuperGoals;
    return s != nullptr && s->Next == nullptr ? s->Goal : nullptr;
}

void TRuleManager::ClearMarks() {
    for (TGoal* g = m_goals; g != nullptr; g = g->Next) g->Mark = 0;
}

void TRuleManager::DestroyGoal(TGoal* goal) {
    goal->Next = nullptr;
    goal->m_listed = false;
    std::unique_ptr<TGoal> owned(goal);
}

void TRuleManager::RetainGoals(const std::function<bool(const TGoal&)>& keep) {
    TGoal* kept = nullptr;
    TGoal* g = m_goals;
    m_goals = nullptr;
    while (g != nullptr) {
        TGoal* next = g->Next;
        g->Active = true;
        if (keep(*g)) {
            g->Next = kept;
            kept = g;
        } else {
            DestroyGoal(g);
        }
        g = next;
    }
    m_goals = kept;
}

void TRuleManager::ClearRules() {
    while (m_rules != nullptr) {
        std::unique_ptr<TRule> rule(m_rules);
        m_rules = rule->Next;
    }
    m_rulesByLevel.clear();
    m_maxLevel = -1;
}

void TRuleManager::ClearGoals() {
    while (m_goals != nullptr) {
        TGoal* g = m_goals;
        m_goals = g->Next;
        DestroyGoal(g);
    }
}

// ---- Super-goal queries

TGoalList* TRuleManager::CollectSuperGoals(TGoal& goal) {
    return Collect(goal, true);
}

// Depth first along the super-goal links. The nodes of a recursive result move one by one to
// the head of the result, so the list order is that of the walk, partly reversed; some rules
// look at positions in these lists, so the order is kept exactly.
TGoalList* TRuleManager::Collect(TGoal& goal, bool clearMarks) {
    if (clearMarks) ClearMarks();
    goal.Mark = 1;
    TGoalList* result = nullptr;
    for (TGoal* super : GoalsOf(goal.SuperGoals)) {
        if (super->Mark != 0) continue;
        super->Mark = 1;
        TGoalList* node = NewNode();
        node->Goal = super;
        node->Next = result;
        result = node;
        TGoalList* deeper = Collect(*super, false);
        while (deeper != nullptr) {
            TGoalList* moved = deeper;
            deeper = moved->Next;
            moved->Next = result;
            result = moved;
        }
    }
    return result;
}

TGoalList* TRuleManager::CommonSuperGoals(TGoal& a, TGoal& b) {
    TPooledGoalList fromA(*this, CollectSuperGoals(a));
    TPooledGoalList fromB(*this, CollectSuperGoals(b));
    TGoalList* common = nullptr;
    for (TGoal* ga : fromA)
        for (TGoal* gb : fromB)
            if (ga == gb) {
                TGoalList* node = NewNode();
                node->Goal = ga;
                node->Next = common;
                common = node;
            }
    return common;
}

// ---- Node pool

TGoalList* TRuleManager::NewNode() {
    if (m_freeNodes == nullptr) {
        ++m_countNodes;
        return std::make_unique<TGoalList>().release();
    }
    TGoalList* node = m_freeNodes;
    m_freeNodes = node->Next;
    return node;
}

void TRuleManager::FreeNode(TGoalList* node) {
    node->Goal = nullptr;
    node->Next = m_freeNodes;
    m_freeNodes = node;
}

void TRuleManager::FreeNodeList(TGoalList* list) {
    while (list != nullptr) {
        TGoalList* next = list->Next;
        FreeNode(list);
        list = next;
    }
}

void TRuleManager::FreePooledNodes() {
    while (m_freeNodes != nullptr) {
        std::unique_ptr<TGoalList> node(m_freeNodes);
        m_freeNodes = node->Next;
        --m_countNodes;
    }
}

int32_t TRuleManager::CountFreeNodes() const {
    int32_t n = 0;
    for (const TGoalList* node = m_freeNodes; node != nullptr; node = node->Next) ++n;
    return n;
}

int32_t TRuleManager::CountLentNodes() const {
    int32_t linked = 0;
    for (const TGoal* g = m_goals; g != nullptr; g = g->Next)
        for (const TGoalList* node = g->SuperGoals; node != nullptr; node = node->Next) ++linked;
    return m_countNodes - CountFreeNodes() - linked;
}

void TRuleManager::Destroy() {
    ClearRules();
    ClearGoals();
    FreePooledNodes();
    if (m_countNodes != 0) throw EObrinError(msg::GoalListLeak);
}

// ---- Comparison and selection

bool TRuleManager::Tracing() const {
    return Debugger != nullptr && Debugger->Enabled();
}

int32_t TRuleManager::CompareGoals(TGoal& a, TGoal& b) {
    if (Debugger == nullptr) throw EObrinError(msg::DebuggerIsNil);
    if (Tracing()) Debugger->WriteLine("Vergleich " + a.Name() + " " + b.Name());
    if (m_maxLevel < 0) return 0;
    int32_t negative = 0;
    int32_t positive = 0;
    for (int32_t level = m_maxLevel; level >= 0; --level) {
        // A level whose votes agree has decided; a split or silent one passes the question on.
        if ((negative > 0) != (positive > 0)) break;
        negative = positive = 0;
        for (TRule* rule : m_rulesByLevel[static_cast<size_t>(level)]) {
            const int32_t answer = rule->Compare(a, b);
            if (answer == 0) continue;
            if (Tracing())
                Debugger->WriteLine(std::to_string(level) + ": " + rule->ClassName() + " " +
                                    std::to_string(answer));
            if (answer < 0)
                ++negative;
            else
                ++positive;
            if (negative > 0 && positive > 0) break;
        }
    }
    const int32_t result = positive > 0 && negative == 0   ? 1
                           : negative > 0 && positive == 0 ? -1
                                                           : 0;
    if (Tracing()) Debugger->WriteLine("---> Ergebnis des Vergleichs: " + std::to_string(result));
    return result;
}

TGoal* TRuleManager::SelectBest() {
    TGoal* best = m_goals;
    while (best != nullptr && !best->Active) best = best->Next;
    if (best == nullptr) return nullptr;
    for (TGoal* g = best->Next; g != nullptr; g = g->Next) {
        if (!g->Active) continue;
        ++m_comparisons;
        if (CompareGoals(*g, *best) > 0) best = g;
    }
    best->Active = false;
    return best;
}

// ---- Trace

void TRuleManager::TraceGoalList() {
    if (!Tracing()) return;
    Debugger->WriteLine("Vorhandene Ziele:");
    for (const TGoal* g = m_goals; g != nullptr; g = g->Next) Debugger->WriteLine(g->Name());
    Debugger->WriteLine("");
}

void TRuleManager::TraceBest(const TGoal& best) {
    if (Tracing()) Debugger->WriteLine("Bestes Ziel:  " + best.Name());
}

}  // namespace obrin
