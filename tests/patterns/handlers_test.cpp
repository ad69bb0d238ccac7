// The pattern handlers at work: every shape of the shipped library, set on a board as its diagram
// shows it, makes its associations at the points the diagram letters; the telling handlers do
// exactly what they are meant to; on random positions every pair of touching opposing groups
// ends up as enemies, both ways round; and the association list they fill becomes goals.
#include "patterns/handlers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>

#include "analysis/graph.h"
#include "board/neighbours.h"
#include "game/analyse.h"
#include "game/engine.h"
#include "goals/goals.h"
#include "goals/pattern_goals.h"
#include "patterns/assoc.h"
#include "patterns/muster.h"
#include "support/diagram.h"
#include "support/named_goal.h"
#include "support/tempdir.h"

namespace obrin {
namespace {

// A diagram of the library: its number and its rows of blank-separated points.
struct TShape {
    int Number = 0;
    std::vector<std::vector<char>> Grid;
};

std::vector<TShape> LibraryShapes(const std::filesystem::path& file) {
    std::istringstream in(test::ReadBytes(file));
    std::vector<TShape> shapes;
    TShape shape;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("#|", 0) == 0) {
            shape.Grid.emplace_back();
            for (const char c : line.substr(2))
                if (c != ' ') shape.Grid.back().push_back(c);
        } else if (const size_t close = line.find(']'); close != std::string::npos) {
            shape.Number = std::atoi(line.c_str() + close + 1);
            shapes.push_back(shape);
            shape = TShape{};
        }
    }
    return shapes;
}

// A diagram set on the board: its stones, its lettered points and its anchor.
struct TPlacedShape {
    TBoard Board{};
    std::map<char, int> Letters;  // a, b, ... -> point
    int Anchor = -1;
    std::set<int> Stones;
};

// Sets the diagram where its "#" points lie off the board and all others on it (nearest the
// centre when it can stand anywhere); row 0 of the diagram is its top row.
std::optional<TPlacedShape> Place(const TShape& shape) {
    std::optional<TPlacedShape> best;
    int bestDistance = 1000;
    for (int top = 0; top < BoardSize + 3; ++top)
        for (int left = -3; left < BoardSize; ++left) {
            TPlacedShape placed;
            bool fits = true;
            for (size_t r = 0; r < shape.Grid.size() && fits; ++r)
                for (size_t c = 0; c < shape.Grid[r].size() && fits; ++c) {
                    const char t = shape.Grid[r][c];
                    const int x = left + static_cast<int>(c), y = top - static_cast<int>(r);
                    if (t == '?') continue;
                    fits = (t == '#') != OnBoard(x, y);
                    if (!fits || t == '#') continue;
                    const int p = PointIndex(x, y);
                    placed.Board[p] = t == 'X' || t == 'x' ? 1 : t == 'O' || t == 'o' ? -1 : 0;
                    if (placed.Board[p] != 0) placed.Stones.insert(p);
                    if (t >= 'a' && t <= 'h') placed.Letters[t] = p;
                    if (t == 'x' || t == 'o' || t == '+') placed.Anchor = p;
                }
            if (!fits) continue;
            const int distance =
                std::abs(PointColumn(placed.Anchor) - 9) + std::abs(PointRow(placed.Anchor) - 9);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = placed;
            }
        }
    return best;
}

bool Enemies(const TGoGroup& a, const TGoGroup& b) {
    for (const TGoGroupLink* l = a.Feinde; l != nullptr; l = l->next)
        if (l->Group == &b) return true;
    return false;
}

class PatternHandlers : public ::testing::Test {
  protected:
    IHost host;
    TEngine engine{host};
    std::filesystem::path library;

    void SetUp() override {
        const char* dataDir = std::getenv("OBRIN_DATA_DIR");
        if (dataDir == nullptr) GTEST_SKIP() << "OBRIN_DATA_DIR not set";
        library = std::filesystem::path(dataDir) / PatternFileName;
        engine.Clock.SetDeterministic(true);
    }

    void Analyse(const TBoard& board) {
        engine.Fields.Spielfeld = board;
        engine.Fields.KoX = engine.Fields.KoY = -1;
        obrin::Analyse(engine, TAnalysisStage::Areas);
    }

    // The associations pattern number made, as "NAME@point".
    std::multiset<std::string> EntriesOf(int number) const {
        std::multiset<std::string> entries;
        for (const TPattAssocEntry* e = engine.GoalAssociation.Entries(); e != nullptr; e = e->Next)
            if (e->PatternNumber == number)
                entries.insert(std::string(e->GoalName.View()) + "@" + std::to_string(e->Point));
        return entries;
    }

    [[nodiscard]] std::vector<TPatternFiring> FiringsOf(int number) const {
        std::vector<TPatternFiring> firings;
        for (const TPatternFiring& f : engine.Patterns.Firings)
            if (f.Number == number) firings.push_back(f);
        return firings;
    }

    [[nodiscard]] std::string Entry(TAssocPrefix prefix, int chainPoint, int movePoint) const {
        return AssocPrefixText(prefix) + std::to_string(engine.Fields.Namensfeld[chainPoint]) +
               "@" + std::to_string(movePoint);
    }
};

// Every handler on its own shape: the pattern fires at the diagram's anchor, its association rows
// name chains of the diagram's stones and suggest its lettered points (or the empty anchor), and
// each firing makes exactly its rows (those with a guard when the guard holds).
TEST_F(PatternHandlers, EveryHandlerMakesItsAssociationsOnItsOwnShape) {
    const auto shapes = LibraryShapes(library);
    ASSERT_EQ(shapes.size(), 228u);
    std::set<int> numbers;
    for (const TShape& shape : shapes) {
        SCOPED_TRACE("pattern " + std::to_string(shape.Number));
        numbers.insert(shape.Number);
        const auto placed = Place(shape);
        ASSERT_TRUE(placed.has_value());
        Analyse(placed->Board);
        const auto firings = FiringsOf(shape.Number);
        ASSERT_TRUE(std::any_of(firings.begin(), firings.end(), [&](const TPatternFiring& f) {
            return f.Anchor == placed->Anchor;
        }));
        // The diagram shows the shape under symmetry 0: the table's moves are its lettered
        // points (or its empty anchor), its chains those of its stones.
        std::set<int> movePoints;
        for (const auto& [letter, p] : placed->Letters) movePoints.insert(p);
        if (placed->Board[placed->Anchor] == 0) movePoints.insert(placed->Anchor);
        std::multiset<std::string> required, possible;
        for (const TPatternAction& a : PatternActions()) {
            if (a.Number != shape.Number || a.Kind != TActionKind::Associate) continue;
            EXPECT_TRUE(movePoints.count(CellPoint(placed->Anchor, 0, a.J))) << "cell " << int(a.J);
            EXPECT_TRUE(placed->Stones.count(CellPoint(placed->Anchor, 0, a.I)))
                << "cell " << int(a.I);
            for (const TPatternFiring& f : firings) {
                const std::string entry = Entry(a.Prefix, CellPoint(f.Anchor, f.Symmetry, a.I),
                                                CellPoint(f.Anchor, f.Symmetry, a.J));
                possible.insert(entry);
                if (a.Guard == TActionGuard::None) required.insert(entry);
            }
        }
        // Every firing makes its rows without a guard, and nothing but its rows.
        const auto entries = EntriesOf(shape.Number);
        EXPECT_TRUE(
            std::includes(entries.begin(), entries.end(), required.begin(), required.end()));
        for (const std::string& entry : entries) EXPECT_TRUE(possible.count(entry)) << entry;
    }
    EXPECT_EQ(numbers.size(), 228u);
    EXPECT_TRUE(std::equal(numbers.begin(), numbers.end(), HandlerNumbers().begin(),
                           HandlerNumbers().end()));
}

// The shape of number on the board, analysed, and its first firing at the diagram's anchor.
class TellingRow : public PatternHandlers {
  protected:
    TPatternFiring firing{};
    void Show(int number) {
        for (const TShape& shape : LibraryShapes(library))
            if (shape.Number == number) {
                const auto placed = Place(shape);
                ASSERT_TRUE(placed.has_value());
                Analyse(placed->Board);
                for (const TPatternFiring& f : FiringsOf(number))
                    if (f.Anchor == placed->Anchor) {
                        firing = f;
                        return;
                    }
            }
        FAIL() << "pattern " << number << " does not fire on its shape";
    }
    [[nodiscard]] int Cell(int c) const { return CellPoint(firing.Anchor, firing.Symmetry, c); }
    [[nodiscard]] std::string At(TAssocPrefix prefix, int chainCell, int moveCell) const {
        return Entry(prefix, Cell(chainCell), Cell(moveCell));
    }
    TGoGroup& GroupAt(int cell) const { return *engine.Graph->GroupAtPoint(Cell(cell)); }
    // Runs the handler once more by hand, on the graph as the test has set it.
    void RunAgain() {
        engine.GoalAssociation.Clear();
        engine.Patterns.Handlers.Get(firing.Number)(engine, firing.Number, firing.Anchor,
                                                    firing.Symmetry);
    }
};

using P = TAssocPrefix;

TEST_F(TellingRow, ConnectionMarksOfFiveAndTheBambooJoints) {
    Show(5);
    for (const int c : {0, 1, 2, 3}) EXPECT_EQ(engine.Fields.SVerbunden[Cell(c)], 1) << c;
    Show(97);
    for (const int c : {1, 2, 8, 9, 10, 11}) EXPECT_EQ(engine.Fields.WVerbunden[Cell(c)], 1) << c;
    Show(98);
    for (const int c : {1, 2, 8, 9, 10, 11}) EXPECT_EQ(engine.Fields.SVerbunden[Cell(c)], 1) << c;
}

TEST_F(TellingRow, SixtyEightGivesADeadGroupBesideAStrongOneAShortRoute) {
    Show(68);
    TGoGroup& g2 = GroupAt(2);
    TGoGroup& g5 = GroupAt(5);
    ASSERT_NE(&g2, &g5);
    const auto run = [&](uint8_t s2, uint8_t s5) {
        g2.Status = s2;
        g5.Status = s5;
        g2.ShortRoute = g5.ShortRoute = false;
        RunAgain();
        return std::pair(g2.ShortRoute, g5.ShortRoute);
    };
    EXPECT_EQ(run(StatusDead, StatusAttackable), std::pair(true, false));
    EXPECT_EQ(run(StatusSafe, StatusDead), std::pair(false, true));
    EXPECT_EQ(run(StatusDead, StatusSaveable), std::pair(false, false));
    EXPECT_EQ(run(StatusDead, StatusDead), std::pair(false, false));
    EXPECT_EQ(EntriesOf(68),
              (std::multiset<std::string>{At(P::Anbinden, 2, 0), At(P::Anbinden, 2, 3)}));
}

TEST_F(TellingRow, TigersMouthLinksStatusOneWayAndMarksTheMouth) {
    // The stone at the anchor is in atari at the mouth, so the analysis keeps it a group apart
    // from the two stones of the mouth.
    const TBoard shape = test::FromDiagram(
        ". . . . .\n"
        ". . O X .\n"
        ". O X . .\n"
        ". . O X .\n");
    for (const int number : {134, 135}) {
        SCOPED_TRACE(number);
        TBoard b = shape;
        if (number == 135) NegateBoard(b);
        Analyse(b);
        const auto firings = FiringsOf(number);
        ASSERT_FALSE(firings.empty());
        firing = firings.front();
        ASSERT_EQ(firing.Anchor, PointIndex(2, 16));
        TGoGroup& g0 = GroupAt(0);
        TGoGroup& g2 = GroupAt(2);
        ASSERT_NE(&g0, &g2);
        g0.Status = StatusDead;
        g2.Status = StatusSafe;
        g0.ShortRoute = g2.ShortRoute = false;
        RunAgain();
        EXPECT_TRUE(g0.ShortRoute);
        EXPECT_EQ(g2.Status, StatusSafe);
        g0.Status = StatusSafe;
        g2.Status = StatusDead;
        g0.ShortRoute = g2.ShortRoute = false;
        RunAgain();
        EXPECT_FALSE(g2.ShortRoute) << "only the group at the anchor gets the short route";
        EXPECT_EQ(g2.Status, StatusSafe) << "a safe group at the anchor makes its partner safe";
        g0.Status = StatusSaveable;
        g2.Status = StatusAttackable;
        RunAgain();
        EXPECT_EQ(g2.Status, StatusAttackable);
        const TBoard& marks = number == 134 ? engine.Fields.SVerbunden : engine.Fields.WVerbunden;
        EXPECT_EQ(marks[Cell(3)], 1);
    }
}

TEST_F(TellingRow, CutsOnlyBetweenDifferentChainsOrGroups) {
    Show(194);
    RunAgain();
    ASSERT_NE(engine.Fields.Namensfeld[Cell(8)], engine.Fields.Namensfeld[Cell(14)]);
    EXPECT_EQ(EntriesOf(194),
              (std::multiset<std::string>{At(P::Abschneiden, 8, 1), At(P::Abschneiden, 14, 1)}));
    Show(343);
    const TGoGroup* eyeOwner = &GroupAt(1);
    EXPECT_TRUE(eyeOwner->Auge1 == Cell(0) || eyeOwner->Auge2 == Cell(0));
    RunAgain();
    const bool apart = engine.Graph->FindChain(engine.Fields.Namensfeld[Cell(1)]).Group !=
                       engine.Graph->FindChain(engine.Fields.Namensfeld[Cell(4)]).Group;
    std::multiset<std::string> expected;
    if (apart) expected = {At(P::Abschneiden, 1, 3), At(P::Abschneiden, 4, 3)};
    EXPECT_EQ(EntriesOf(343), expected);
}

TEST_F(TellingRow, LadderPreventionOnlyWhereTheMoveEscapesTheLadder) {
    Show(359);
    RunAgain();
    const int n = engine.Fields.Namensfeld[Cell(0)];
    std::multiset<std::string> expected;
    for (const int c : {2, 3})
        if (LadderAfterMove(engine.Reader, PointColumn(n), PointRow(n), PointColumn(Cell(c)),
                            PointRow(Cell(c)), 1, engine.Fields.Spielfeld, -1, -1) < 0)
            expected.insert(At(P::TreppeVerhindern, 0, c));
    EXPECT_FALSE(expected.empty()) << "the shape's moves are meant to escape";
    EXPECT_EQ(EntriesOf(359), expected);
}

// Near the edge a handler's cells may fall off the board; the action is skipped.
TEST_F(PatternHandlers, ActionsSkipCellsOffTheBoard) {
    engine.Patterns.Tree.Clear();
    std::istringstream in("[xo] 26\n");  // 26 reads cells 6 and 1: off this record's end
    ASSERT_EQ(ReadPatterns(engine.Patterns.Tree, in, "t").Records, 1);
    TBoard b{};
    b[PointIndex(0, 0)] = 1;
    b[PointIndex(0, 1)] = -1;
    b[PointIndex(18, 18)] = 1;
    b[PointIndex(17, 18)] = -1;
    Analyse(b);
    for (const TPattAssocEntry* e = engine.GoalAssociation.Entries(); e != nullptr; e = e->Next)
        EXPECT_GE(e->Point, 0);
    EXPECT_FALSE(engine.Patterns.Firings.empty());
}

// Touching opposing groups are enemies of each other on random positions of every density, and
// the relation stays symmetric without duplicates.
TEST_F(PatternHandlers, TouchingOpposingGroupsAreEnemiesBothWays) {
    std::mt19937 rng(5);
    for (int position = 0; position < 12; ++position) {
        TBoard b{};
        const unsigned percent = 10 + 6 * position;
        for (int32_t& v : b) {
            const unsigned r = rng() % 100;
            v = r < percent / 2 ? 1 : r < percent ? -1 : 0;
        }
        Analyse(b);
        const TGoGraph& graph = *engine.Graph;
        for (int p = 0; p < PointCount; ++p) {
            if (b[p] != 1) continue;
            for (int k = 0; k < Neighbours.Count[p]; ++k) {
                const int q = Neighbours.Index[p][k];
                if (b[q] != -1) continue;
                const TGoGroup* g = graph.GroupAtPoint(p);
                const TGoGroup* h = graph.GroupAtPoint(q);
                ASSERT_TRUE(g != nullptr && h != nullptr);
                EXPECT_TRUE(Enemies(*g, *h) && Enemies(*h, *g))
                    << "position " << position << " at " << p << " and " << q;
            }
        }
        for (const TGoGroup* g = graph.Groups(); g != nullptr; g = g->next) {
            std::set<const TGoGroup*> seen;
            for (const TGoGroupLink* l = g->Feinde; l != nullptr; l = l->next) {
                EXPECT_NE(l->Group, g) << "a group is no enemy of itself";
                EXPECT_TRUE(seen.insert(l->Group).second) << "duplicate enemy link";
                EXPECT_TRUE(Enemies(*l->Group, *g)) << "enemy link one way only";
            }
        }
    }
}

// The association list: newest first, names cut to 50 characters, emptied by each pattern run,
// and turned into one pattern-move goal per pattern number and point under the goal it names.

using test::TNamedGoal;

TGoal& MakePatternMove(TRuleManager& manager, TGoal&, const TPattAssocEntry& entry) {
    return manager.CreateGoal<TNamedGoal>(PatternMoveGoalName(entry));
}

std::vector<std::string> Names(const TGoalAssociation& list) {
    std::vector<std::string> names;
    for (const TPattAssocEntry* e = list.Entries(); e != nullptr; e = e->Next)
        names.push_back(std::string(e->GoalName.View()) + "/" + std::to_string(e->PatternNumber) +
                        "/" + std::to_string(e->Point));
    return names;
}

TEST(GoalAssociation, NewestFirstLongNamesCutAndClearEmpties) {
    TGoalAssociation list;
    list.AddEntry(26, "KETTE-RETTEN 42", 61);
    list.AddEntry(26, "KETTE-FANGEN 60", 61);
    list.AddEntry(7, std::string(60, 'N'), 3);
    EXPECT_EQ(Names(list),
              (std::vector<std::string>{std::string(50, 'N') + "/7/3", "KETTE-FANGEN 60/26/61",
                                        "KETTE-RETTEN 42/26/61"}));
    list.Clear();
    EXPECT_EQ(list.Entries(), nullptr);
    list.AddEntry(3, "ANBINDEN 5", 9);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"ANBINDEN 5/3/9"}));
}

TEST(GoalAssociation, OnePatternMoveGoalPerNumberAndPointLinkedUnderTheNamedGoal) {
    TGoalAssociation list;
    list.AddEntry(26, "KETTE-RETTEN 42", 61);
    list.AddEntry(26, "KETTE-RETTEN 42", 61);  // a symmetric shape firing twice
    list.AddEntry(31, "KETTE-RETTEN 42", 61);  // another pattern, same point
    list.AddEntry(26, "KETTE-RETTEN 420", 80);
    list.AddEntry(26, "kette-retten 42", 81);
    TRuleManager manager;
    TGoal& save = manager.CreateGoal<TNamedGoal>("KETTE-RETTEN 42");
    CreatePatternGoals(list, save, manager, MakePatternMove);
    std::vector<std::string> created;
    for (TGoal* g = manager.FirstGoal(); g != nullptr; g = g->Next)
        if (g != &save) created.push_back(g->Name());
    EXPECT_EQ(created, (std::vector<std::string>{"MUSTERZUG 26 61", "MUSTERZUG 31 61"}));
    for (TGoal* g = manager.FirstGoal(); g != nullptr; g = g->Next)
        EXPECT_TRUE(g == &save || TRuleManager::SoleSuperGoal(*g) == &save);
    // Expanding again links nothing twice.
    CreatePatternGoals(list, save, manager, MakePatternMove);
    int goals = 0;
    for (TGoal* g = manager.FirstGoal(); g != nullptr; g = g->Next) ++goals;
    EXPECT_EQ(goals, 3);
}

TEST(GoalAssociation, EachPatternRunDescribesOnlyItsPosition) {
    IHost host;
    TEngine engine(host);
    engine.Clock.SetDeterministic(true);
    // A white stone in atari on the edge: capturing it is suggested.
    engine.Fields.Spielfeld = test::FromDiagram(
        ". X O X .\n"
        ". . . . .\n");
    Analyse(engine, TAnalysisStage::Areas);
    ASSERT_NE(engine.GoalAssociation.Entries(), nullptr);
    engine.Fields.Spielfeld = TBoard{};
    Analyse(engine, TAnalysisStage::Areas);
    EXPECT_EQ(engine.GoalAssociation.Entries(), nullptr);
}

}  // namespace
}  // namespace obrin
