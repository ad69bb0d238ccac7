#include "goals/goals.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "board/errors.h"
#include "goals/goaldbg.h"
#include "support/error_text.h"
#include "support/tempdir.h"

namespace obrin {
namespace {

// A goal with a fixed name, and one derived from it, to tell exact classes from families.
class TTestGoal : public TGoal {
  public:
    explicit TTestGoal(std::string name) : m_text(std::move(name)) {}
    std::string GetName() const override { return m_text; }
    void Expand() override { ++Expansions; }
    int Expansions = 0;

  private:
    std::string m_text;
};

class TDerivedTestGoal : public TTestGoal {
  public:
    using TTestGoal::TTestGoal;
};

// A rule that answers with a function and counts how often it was asked.
class TTestRule : public TRule {
  public:
    using TVerdict = std::function<int32_t(const TGoal&, const TGoal&)>;
    TTestRule(std::string name, int32_t level, TVerdict verdict, int* calls = nullptr)
        : TRule(std::move(name), level), m_verdict(std::move(verdict)), m_calls(calls) {}
    int32_t Compare(TGoal& a, TGoal& b) override {
        if (m_calls != nullptr) ++*m_calls;
        return m_verdict(a, b);
    }

  private:
    TVerdict m_verdict;
    int* m_calls;
};

// Votes for the goal named favourite, against it when the answer is negated.
TTestRule::TVerdict Prefers(std::string favourite, int32_t weight = 1) {
    return [favourite, weight](const TGoal& a, const TGoal& b) {
        if (a.Name() == favourite && b.Name() != favourite) return weight;
        if (b.Name() == favourite && a.Name() != favourite) return -weight;
        return 0;
    };
}

// A goal beats the other when the pair (winner, loser) is listed.
TTestRule::TVerdict Beats(std::vector<std::pair<std::string, std::string>> pairs) {
    return [pairs](const TGoal& a, const TGoal& b) {
        for (const auto& [winner, loser] : pairs) {
            if (a.Name() == winner && b.Name() == loser) return 1;
            if (b.Name() == winner && a.Name() == loser) return -1;
        }
        return 0;
    };
}

class GoalFramework : public ::testing::Test {
  protected:
    GoalFramework() : m_debugger(m_dir / "debug.txt", m_traceOn) { Manager.Debugger = &m_debugger; }

    TTestGoal& Goal(const std::string& name) { return Manager.CreateGoal<TTestGoal>(name); }
    void Rule(int32_t level, TTestRule::TVerdict verdict, int* calls = nullptr) {
        Manager.AddRule(std::make_unique<TTestRule>("TRuleTest" + std::to_string(level), level,
                                                    std::move(verdict), calls));
    }
    std::vector<std::string> Names(TGoalList* list) {
        std::vector<std::string> names;
        for (const TGoal* g : GoalsOf(list)) names.push_back(g->Name());
        Manager.FreeNodeList(list);
        return names;
    }
    std::vector<std::string> SelectAll() {
        std::vector<std::string> order;
        while (TGoal* g = Manager.SelectBest()) order.push_back(g->Name());
        return order;
    }

    test::TTempDir m_dir;
    bool m_traceOn = false;
    TGoalDebugger m_debugger;
    TRuleManager Manager;
};

// ---- Voting level by level

TEST_F(GoalFramework, TheHighestLevelThatAgreesDecides) {
    TGoal& a = Goal("A");
    TGoal& b = Goal("B");
    EXPECT_EQ(Manager.CompareGoals(a, b), 0);  // no rules: nothing decided
    int lowCalls = 0;
    for (int i = 0; i < 20; ++i) Rule(0, Prefers("B"), &lowCalls);
    Rule(3, Prefers("A"));  // one vote outweighs any number below it
    Rule(2, [](const TGoal&, const TGoal&) { return 0; });
    EXPECT_EQ(Manager.CompareGoals(a, b), 1);
    EXPECT_EQ(Manager.CompareGoals(b, a), -1);
    EXPECT_EQ(lowCalls, 0);  // the levels below a decision are not asked
    EXPECT_EQ(Manager.SelectBest(), &a);
}

TEST_F(GoalFramework, ASplitLevelPassesTheQuestionToTheNextLevel) {
    TGoal& a = Goal("A");
    TGoal& b = Goal("B");
    Rule(2, Prefers("A"));
    Rule(2, Prefers("B"));
    Rule(1, Prefers("B", 7));  // only the sign of an answer counts
    EXPECT_EQ(Manager.CompareGoals(a, b), -1);
    Rule(1, Prefers("A"));  // level 1 is split as well, and level 0 is silent
    EXPECT_EQ(Manager.CompareGoals(a, b), 0);
    int laterCalls = 0;
    Rule(0, Prefers("A"), &laterCalls);  // registered first, so asked last
    EXPECT_EQ(Manager.CompareGoals(a, b), 1);
    Rule(0, Prefers("B"));
    EXPECT_EQ(Manager.CompareGoals(a, b), 0);
    Rule(0, Prefers("A"));
    laterCalls = 0;
    EXPECT_EQ(Manager.CompareGoals(a, b), 0);  // split after B and A: the first is not asked
    EXPECT_EQ(laterCalls, 0);
}

// ---- Selection

TEST_F(GoalFramework, SelectionReturnsEachActiveGoalOnceAndTiesGoToTheHead) {
    Goal("A");
    Goal("B").Active = false;
    Goal("C");
    Goal("D");
    Rule(0, Prefers("A"));  // A beats everything; C and D tie
    EXPECT_EQ(SelectAll(), (std::vector<std::string>{"A", "D", "C"}));
    EXPECT_EQ(Manager.SelectBest(), nullptr);
}

TEST_F(GoalFramework, SelectionIsOnePassWhereTheBestSoFarMeetsEachLaterGoal) {
    // A cycle of preferences: C < B < A < C. List from the head: C, B, A. The best so far
    // starts as C, loses to B, and B loses to A; A never meets C again.
    Goal("A");
    Goal("B");
    Goal("C");
    Rule(0, Beats({{"B", "C"}, {"A", "B"}, {"C", "A"}}));
    EXPECT_EQ(Manager.SelectBest()->Name(), "A");
}

// ---- The goal list

TEST_F(GoalFramework, FindGoalReturnsTheOldestOfSeveralWithTheSameName) {
    TGoal& oldest = Goal("RETTEN 7");
    Goal("RETTEN 7");
    Goal("FANGEN 7");
    EXPECT_EQ(Manager.FindGoal("RETTEN 7"), &oldest);
    EXPECT_EQ(Manager.FindGoal("retten 7"), nullptr);
    EXPECT_EQ(Manager.FindGoal("RETTEN"), nullptr);
}

// ---- Super-goals

TEST_F(GoalFramework, LinkingTwiceLeavesOneLinkAndASoleSuperGoalIsTheOnlyOne) {
    TGoal& sub = Goal("SUB");
    TGoal& s1 = Goal("S1");
    TGoal& s2 = Goal("S2");
    EXPECT_EQ(TRuleManager::SoleSuperGoal(sub), nullptr);
    Manager.LinkGoal(sub, s1);
    Manager.LinkGoal(sub, s1);
    EXPECT_EQ(TRuleManager::SoleSuperGoal(sub), &s1);
    Manager.LinkGoal(sub, s2);
    EXPECT_EQ(TRuleManager::SoleSuperGoal(sub), nullptr);
    std::vector<std::string> supers;
    for (const TGoal* g : GoalsOf(TRuleManager::GetSuperGoals(sub))) supers.push_back(g->Name());
    EXPECT_EQ(supers, (std::vector<std::string>{"S2", "S1"}));
}

TEST_F(GoalFramework, TheClosureOfSuperGoalsHasEachGoalOnceInWalkOrder) {
    // G serves S1 and S2; S1 serves T; S2 serves T and U; T serves V.
    TGoal& g = Goal("G");
    TGoal& s1 = Goal("S1");
    TGoal& s2 = Goal("S2");
    TGoal& t = Goal("T");
    TGoal& u = Goal("U");
    TGoal& v = Goal("V");
    Manager.LinkGoal(g, s2);
    Manager.LinkGoal(g, s1);
    Manager.LinkGoal(s1, t);
    Manager.LinkGoal(s2, u);
    Manager.LinkGoal(s2, t);
    Manager.LinkGoal(t, v);
    // The walk meets S1, T, V, S2, U; every deeper result is turned round as it is taken over.
    EXPECT_EQ(Names(Manager.CollectSuperGoals(g)),
              (std::vector<std::string>{"U", "S2", "T", "V", "S1"}));
    EXPECT_EQ(Names(Manager.CollectSuperGoals(v)), std::vector<std::string>{});
    // Marks from an earlier walk do not hide goals from the next one.
    EXPECT_EQ(Names(Manager.CollectSuperGoals(s1)), (std::vector<std::string>{"V", "T"}));
    // The walk ends on cycles: A serves B, B serves C, C serves A and B.
    TGoal& a = Goal("A");
    TGoal& b = Goal("B");
    TGoal& c = Goal("C");
    Manager.LinkGoal(a, b);
    Manager.LinkGoal(b, c);
    Manager.LinkGoal(c, a);
    Manager.LinkGoal(c, b);
    EXPECT_EQ(Names(Manager.CollectSuperGoals(a)), (std::vector<std::string>{"C", "B"}));
}

TEST_F(GoalFramework, CommonSuperGoalsLieInBothClosures) {
    TGoal& a = Goal("A");
    TGoal& b = Goal("B");
    TGoal& shared = Goal("SHARED");
    TGoal& top = Goal("TOP");
    TGoal& onlyA = Goal("ONLY-A");
    Manager.LinkGoal(a, shared);
    Manager.LinkGoal(a, onlyA);
    Manager.LinkGoal(b, shared);
    Manager.LinkGoal(shared, top);
    auto common = Names(Manager.CommonSuperGoals(a, b));
    std::sort(common.begin(), common.end());
    EXPECT_EQ(common, (std::vector<std::string>{"SHARED", "TOP"}));
    EXPECT_EQ(Names(Manager.CommonSuperGoals(top, b)), std::vector<std::string>{});
    EXPECT_EQ(Names(Manager.CommonSuperGoals(a, top)), std::vector<std::string>{});
}

TEST_F(GoalFramework, TheExactClassSearchIgnoresDerivedClasses) {
    TGoal& sub = Goal("SUB");
    TGoal& derived = Manager.CreateGoal<TDerivedTestGoal>("DERIVED");
    TGoal& base = Goal("BASE");
    Manager.LinkGoal(sub, base);
    Manager.LinkGoal(sub, derived);
    const TGoalList* supers = TRuleManager::GetSuperGoals(sub);
    EXPECT_EQ(FindGoalOfClass<TTestGoal>(supers), &base);
    EXPECT_EQ(FindGoalOfClass<TDerivedTestGoal>(supers), &derived);
    EXPECT_EQ(FindGoalOfClass<TGoal>(supers), nullptr);
    EXPECT_TRUE(ContainsGoal(supers, &base));
    EXPECT_FALSE(ContainsGoal(supers, &sub));
}

// ---- The node pool

TEST_F(GoalFramework, NodesAreRecycledAndTheirBalanceIsChecked) {
    TGoal& g = Goal("G");
    TGoal& s = Goal("S");
    TGoal& t = Goal("T");
    Manager.LinkGoal(g, s);
    Manager.LinkGoal(s, t);
    const auto queries = [&] {
        TPooledGoalList closure(Manager, Manager.CollectSuperGoals(g));
        TPooledGoalList common(Manager, Manager.CommonSuperGoals(g, s));
        EXPECT_EQ(Manager.CountLentNodes(), 2 + 1);
    };
    queries();
    const int32_t grown = Manager.CountGoalList();
    for (int i = 0; i < 100; ++i) queries();
    EXPECT_EQ(Manager.CountGoalList(), grown);
    EXPECT_EQ(Manager.CountLentNodes(), 0);

    // Destroyed goals give their links back; a query list that is kept is a leak.
    Manager.RetainGoals([](const TGoal&) { return false; });
    EXPECT_EQ(Manager.CountFreeNodes(), Manager.CountGoalList());
    TGoal& a = Goal("A");
    Manager.LinkGoal(a, Goal("B"));
    TGoalList* kept = Manager.CollectSuperGoals(a);
    EXPECT_EQ(Manager.CountLentNodes(), 1);
    EXPECT_EQ(test::ErrorOf([&] { Manager.Destroy(); }), msg::GoalListLeak);
    Manager.FreeNodeList(kept);
    // Given back, the shutdown is clean.
    Rule(1, Prefers("A"));
    EXPECT_NO_THROW(Manager.Destroy());
    EXPECT_EQ(Manager.CountGoalList(), 0);
    EXPECT_EQ(Manager.MaxLevel(), -1);
}

// ---- The trace

class GoalTrace : public GoalFramework {
  protected:
    std::string File() { return test::ReadBytes(m_dir / "debug.txt"); }
};

TEST_F(GoalTrace, SwitchedOffTheTraceLeavesTheFileAlone) {
    {
        TGoalDebugger fresh(m_dir / "new.txt", m_traceOn);
        EXPECT_TRUE(std::filesystem::exists(m_dir / "new.txt"));
    }
    test::WriteBytes(m_dir / "debug.txt", "kept\r\n");
    TGoalDebugger debugger(m_dir / "debug.txt", m_traceOn);
    debugger.WriteBanner();
    debugger.WriteLine("not written");
    EXPECT_EQ(File(), "kept\r\n");
    m_traceOn = true;  // the switch is read at every write
    debugger.WriteLine("appended");
    EXPECT_EQ(File(), "kept\r\nappended\r\n");
}

TEST_F(GoalTrace, ATraceThatCannotBeWrittenNamesTheFile) {
    const auto folder = m_dir / "missing-folder" / "debug.txt";
    TGoalDebugger debugger(folder, m_traceOn);  // switched off: no complaint
    m_traceOn = true;
    const std::string error = test::ErrorOf([&] { debugger.WriteBanner(); });
    EXPECT_NE(error.find(folder.string()), std::string::npos) << error;

    // A folder or a device in the trace's place is left alone, and every write says why.
    std::filesystem::create_directories(m_dir / "folder.txt");
    TGoalDebugger inFolder(m_dir / "folder.txt", m_traceOn);
    EXPECT_EQ(test::ErrorOf([&] { inFolder.WriteBanner(); }),
              (m_dir / "folder.txt").string() + ": is a folder, not a regular file; nothing written");
    EXPECT_TRUE(std::filesystem::is_directory(m_dir / "folder.txt"));
    std::filesystem::create_symlink("/dev/null", m_dir / "null.txt");
    TGoalDebugger onDevice(m_dir / "null.txt", m_traceOn);
    EXPECT_NE(test::ErrorOf([&] { onDevice.WriteLine("x"); }).find("is a device"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
}

}  // namespace
}  // namespace obrin
