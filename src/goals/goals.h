// The goal and rule framework of the move engine.
//
// A goal (TGoal) stands for one intention on the board: save a group, capture a chain, occupy a
// point, pass. Expanding a goal creates the goals that serve it and links each of them to itself,
// so every goal knows its super-goals. A rule (TRule) compares two goals and votes for one of them
// or abstains. The rule manager (TRuleManager) owns all goals and rules, lets the rules vote level
// by level, and hands out the best goal that has not been chosen yet.
//
// Goals are named: two goals with the same name are the same intention, and the manager finds
// goals by name. The goal list and the super-goal lists are intrusive singly linked lists, most
// recent first, because their order decides ties and is visible in the trace.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <typeinfo>
#include <utility>
#include <vector>

namespace obrin {

class TGoal;
class TGoalDebugger;
class TRuleManager;

// A node of a goal list (super-goals, query results). It never owns the goal it names; the node
// itself belongs to the manager's pool or to the list that holds it.
struct TGoalList {
    TGoal* Goal = nullptr;
    TGoalList* Next = nullptr;
};

// The goals of a node list in list order, for range-for loops.
class TGoalListRange {
  public:
    class iterator {
      public:
        explicit iterator(const TGoalList* node) : m_node(node) {}
        TGoal* operator*() const { return m_node->Goal; }
        iterator& operator++() {
            m_node = m_node->Next;
            return *this;
        }
        bool operator==(const iterator&) const = default;

      private:
        const TGoalList* m_node;
    };
    explicit TGoalListRange(const TGoalList* head) : m_head(head) {}
    [[nodiscard]] iterator begin() const { return iterator(m_head); }
    [[nodiscard]] iterator end() const { return iterator(nullptr); }

  private:
    const TGoalList* m_head;
};
[[nodiscard]] inline TGoalListRange GoalsOf(const TGoalList* head) {
    return TGoalListRange(head);
}

// Is goal named by a node of list (identity, not name)?
[[nodiscard]] bool ContainsGoal(const TGoalList* list, const TGoal* goal);

// The first goal of list, in list order, whose class is exactly G (not a class derived from G).
template <class G>
[[nodiscard]] G* FindGoalOfClass(const TGoalList* list) {
    for (TGoal* goal : GoalsOf(list))
        if (typeid(*goal) == typeid(G)) return static_cast<G*>(goal);
    return nullptr;
}

// The base of every goal (Ziel). A goal belongs to the manager that created it and lives in its
// goal list until the manager destroys it. Its name is fixed when it is constructed: concrete
// goals take the fields that make up their name as constructor arguments and never change them.
class TGoal {
  public:
    TGoal() = default;
    TGoal(const TGoal&) = delete;
    TGoal& operator=(const TGoal&) = delete;
    // Gives the nodes of SuperGoals back to the manager's pool (or frees them without one).
    virtual ~TGoal();

    // The goal's name: an upper-case keyword, usually with numbers ("RETTEN 42"). The base
    // has no name of its own and answers "???".
    [[nodiscard]] virtual std::string GetName() const;
    // Creates and links the sub-goals that serve this goal. Every goal class that can be
    // selected overrides it; the base raises "Expand".
    virtual void Expand();

    // GetName, built once: the manager looks goals up by name many times per move.
    [[nodiscard]] const std::string& Name() const;

    TGoalList* SuperGoals = nullptr;  // the goals this one serves, most recently linked first
    TRuleManager* Manager = nullptr;  // the owner; null for a goal outside any manager
    bool Active = true;               // still a candidate for selection in this move
    TGoal* Next = nullptr;            // the next goal in the manager's goal list
    int32_t Mark = 0;                 // traversal mark (0 or 1)

  private:
    friend class TRuleManager;
    bool m_listed = false;  // in a goal list, also as its last goal (whose Next is null)
    mutable std::string m_name;
};

// The base of every rule (Regel). Compare answers > 0 to prefer a, < 0 to prefer b and 0 to
// abstain; only the sign counts. Rules on a higher Level are asked first, and a level decides
// only when its votes agree. A rule must not change the goals, apart from the traversal marks
// that the super-goal queries set.
class TRule {
  public:
    // className is what the trace shows for the rule's votes.
    explicit TRule(std::string className, int32_t level = 0)
        : Level(level), m_className(std::move(className)) {}
    TRule(const TRule&) = delete;
    TRule& operator=(const TRule&) = delete;
    virtual ~TRule() = default;

    [[nodiscard]] virtual int32_t Compare(TGoal& a, TGoal& b) = 0;
    [[nodiscard]] const std::string& ClassName() const { return m_className; }

    TRule* Next = nullptr;  // the next rule in the manager's rule list
    const int32_t Level;    // 0 and up; higher levels are consulted first

  private:
    std::string m_className;
};

// The rule manager (Regelverwalter): owns every goal, every rule and a pool of list nodes that
// are recycled for the manager's whole life, so that the super-goal links and the closures the
// rules collect stop allocating once the pool has grown. Node lists returned by the queries
// belong to the caller, who gives them back with FreeNodeList (or holds them in a
// TPooledGoalList).
class TRuleManager {
  public:
    TRuleManager() = default;
    TRuleManager(const TRuleManager&) = delete;
    TRuleManager& operator=(const TRuleManager&) = delete;
    // Frees rules, goals and the pooled nodes without checking; Destroy is the checked shutdown.
    virtual ~TRuleManager();

    // Creates a goal of class G (constructed from args), owned by this manager and put at the
    // head of the goal list.
    template <class G, class... Args>
    G& CreateGoal(Args&&... args) {
        auto goal = std::make_unique<G>(std::forward<Args>(args)...);
        G& created = *goal;
        AddGoal(std::move(goal));
        return created;
    }
    // Takes goal over and links it in at the head of the goal list. A goal that is already in
    // a goal list raises "Goal <name> is linked" and stays where it is.
    void AddGoal(std::unique_ptr<TGoal> goal);
    // Takes rule over and puts it at the head of the rule list, so rules are asked in the
    // reverse order of registration.
    void AddRule(std::unique_ptr<TRule> rule);

    // The goal named exactly name; of several, the oldest (the last in list order).
    [[nodiscard]] TGoal* FindGoal(std::string_view name) const;
    [[nodiscard]] TGoal* FirstGoal() const { return m_goals; }
    [[nodiscard]] static TGoal* NextGoal(const TGoal& goal) { return goal.Next; }
    [[nodiscard]] static TGoalList* GetSuperGoals(const TGoal& goal) { return goal.SuperGoals; }
    // Records that goal serves superGoal: superGoal goes to the head of goal's super-goals,
    // unless it is there already.
    void LinkGoal(TGoal& goal, TGoal& superGoal);
    // The one super-goal of goal; null when it has none or several.
    [[nodiscard]] static TGoal* SoleSuperGoal(const TGoal& goal);

    void ClearMarks();
    // Every goal reachable from goal through super-goal links, each once, as a new node list
    // (null when there is none). goal itself is in it only when a cycle leads back to it.
    [[nodiscard]] TGoalList* CollectSuperGoals(TGoal& goal);
    // The goals that both a and b serve, directly or indirectly, as a new node list.
    [[nodiscard]] TGoalList* CommonSuperGoals(TGoal& a, TGoal& b);

    // The node pool. NewNode leaves Goal and Next for the caller to set.
    [[nodiscard]] TGoalList* NewNode();
    void FreeNode(TGoalList* node);
    void FreeNodeList(TGoalList* list);

    // The highest level of all rules; -1 without rules.
    [[nodiscard]] int32_t MaxLevel() const { return m_maxLevel; }
    // The rules' verdict on a against b: 1 for a, -1 for b, 0 undecided. Levels are asked from
    // the highest down; a level whose votes agree decides, a split or silent level passes the
    // question on. Raises "Debugger is nil" without a debugger.
    [[nodiscard]] int32_t CompareGoals(TGoal& a, TGoal& b);
    // The best active goal, which is deactivated; null when no goal is active. One pass over the
    // list: the best so far meets each later candidate once and is replaced only when the rules
    // prefer the candidate, so ties go to the goal nearer the head.
    TGoal* SelectBest();
    // Goal comparisons SelectBest has made since this manager was made: the search's work, which
    // a move's budget can be counted in on every machine alike.
    [[nodiscard]] int64_t Comparisons() const { return m_comparisons; }

    // Destroys every goal for which keep answers false and sets the others active again. The
    // survivors end up in the reverse of their previous order.
    void RetainGoals(const std::function<bool(const TGoal&)>& keep);
    void ClearRules();
    void ClearGoals();

    // Trace of the goal set before a search: "Vorhandene Ziele:", every goal's name in list
    // order and an empty line.
    void TraceGoalList();
    // Trace of one selection: "Bestes Ziel:  " and the goal's name.
    void TraceBest(const TGoal& best);

    // Nodes in existence, nodes waiting in the pool, and nodes lent out to callers (neither in
    // the pool nor in any goal's super-goals): after a search the last must be 0.
    [[nodiscard]] int32_t CountGoalList() const { return m_countNodes; }
    [[nodiscard]] int32_t CountFreeNodes() const;
    [[nodiscard]] int32_t CountLentNodes() const;
    // Checked shutdown: clears rules and goals, frees the pool and raises
    // "RuleManager: CountGoalList" when a node list was never given back.
    void Destroy();

    TGoalDebugger* Debugger = nullptr;  // receives the comparison trace; not owned

  private:
    TGoalList* Collect(TGoal& goal, bool clearMarks);
    void DestroyGoal(TGoal* goal);
    void FreePooledNodes();
    [[nodiscard]] bool Tracing() const;

    TGoalList* m_freeNodes = nullptr;
    int64_t m_comparisons = 0;
    TGoal* m_goals = nullptr;
    TRule* m_rules = nullptr;
    int32_t m_maxLevel = -1;
    int32_t m_countNodes = 0;
    // The rules of each level in list order, so a comparison walks only the level it asks.
    std::vector<std::vector<TRule*>> m_rulesByLevel;
};

// A node list from a query, given back to the pool when it goes out of scope.
class TPooledGoalList {
  public:
    TPooledGoalList(TRuleManager& manager, TGoalList* list) : m_manager(manager), m_list(list) {}
    ~TPooledGoalList() { m_manager.FreeNodeList(m_list); }
    TPooledGoalList(const TPooledGoalList&) = delete;
    TPooledGoalList& operator=(const TPooledGoalList&) = delete;
    [[nodiscard]] TGoalList* Head() const { return m_list; }
    [[nodiscard]] bool Empty() const { return m_list == nullptr; }
    [[nodiscard]] TGoalListRange::iterator begin() const { return GoalsOf(m_list).begin(); }
    [[nodiscard]] TGoalListRange::iterator end() const { return GoalsOf(m_list).end(); }

  private:
    TRuleManager& m_manager;
    TGoalList* m_list;
};

}  // namespace obrin
