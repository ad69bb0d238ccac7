#include "analysis/connection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/chains.h"
#include "game/engine.h"
#include "support/diagram.h"
#include "tactics/tactics_fixture.h"

namespace obrin {
namespace {

using test::IndexOf;

class ConnectionTest : public ::testing::Test {
  protected:
    IHost Host;
    TEngine Engine{Host};
    TConnectionSearch Search;
    TBoard Targets{};

    void SetPosition(const std::string& stones) {
        Engine.Fields.Spielfeld = test::FromPoints(stones);
        Refresh();
    }
    void Refresh() {
        ComputeNamensfeld(Engine.Fields);
        ComputeFreiheitsfeld(Engine.Fields.Spielfeld, Engine.Container->Freiheitsfeld,
                             Engine.Fields.Spielfeld);
    }
    bool From(const char* start, int colour) {
        return Search.Search(Engine, Engine.Fields.Namensfeld[IndexOf(start)], colour, Targets);
    }
    std::vector<int> Route() const {
        std::vector<int> r;
        for (const TPoint& p : Search.Route()) r.push_back(PointIndex(p.X, p.Y));
        return r;
    }
};

// K10 black; a white stone at L10 that black's M10 leaves two liberties.
const char* const kDiagonal = "X K10 M10 O L10";

TEST_F(ConnectionTest, DiagonalStepPassesAStoneWithTwoLibertiesButNotThree) {
    SetPosition(kDiagonal);
    // An own stone on a target succeeds at once, without a route.
    Targets[IndexOf("K10")] = 1;
    EXPECT_TRUE(From("K10", 1));
    EXPECT_EQ(Search.Route().Count, 0);
    Targets[IndexOf("K10")] = 0;
    Targets[IndexOf("L11")] = 1;
    ASSERT_TRUE(From("K10", 1));
    EXPECT_EQ(Search.Labels()[IndexOf("L11")], 2);
    EXPECT_EQ(Route(), (std::vector<int>{IndexOf("L11"), IndexOf("K10")}));
    // Without M10 the white stone has three liberties: the way goes round through K11.
    Engine.Fields.Spielfeld[IndexOf("M10")] = 0;
    Refresh();
    ASSERT_TRUE(From("K10", 1));
    EXPECT_EQ(Search.Labels()[IndexOf("L11")], 3);
    // Enemy stones are never labelled.
    EXPECT_EQ(Search.Labels()[IndexOf("L10")], 0);
}

TEST_F(ConnectionTest, NineStepsAreFoundTenAreNot) {
    SetPosition("X A1");
    Targets[IndexOf("K10")] = 1;  // nine diagonal steps
    EXPECT_TRUE(From("A1", 1));
    EXPECT_EQ(Search.Route().Count, 10);
    Targets[IndexOf("K10")] = 0;
    Targets[IndexOf("L11")] = 1;
    EXPECT_FALSE(From("A1", 1));
    EXPECT_EQ(Search.Route().Count, 0);
}

// Targets that are stones (the safe groups of the escape search): the empty points next to the
// reached chain are the candidates, the best-rated one for the mover is chosen.
TEST_F(ConnectionTest, StoneTargetsOfferTheEmptyPointsNextToThem) {
    SetPosition("X K13 K10");
    Targets[IndexOf("K13")] = 1;
    ASSERT_TRUE(From("K10", 1));
    // All ratings equal: the first candidate in board order, K12.
    EXPECT_EQ(Route(), (std::vector<int>{IndexOf("K12"), IndexOf("K11"), IndexOf("K10")}));
    Engine.Container->Feldbewertung[IndexOf("L13")] = 0.9;
    ASSERT_TRUE(From("K10", 1));
    EXPECT_EQ(Route().front(), IndexOf("L13"));
    EXPECT_EQ(Route().back(), IndexOf("K10"));
    // White prefers the lowest rating.
    NegateBoard(Engine.Fields.Spielfeld);
    Refresh();
    Engine.Container->Feldbewertung[IndexOf("J13")] = -0.5;
    ASSERT_TRUE(From("K10", -1));
    EXPECT_EQ(Route().front(), IndexOf("J13"));
}

TEST_F(ConnectionTest, RouteIsTracedThroughAChainLabelledAsAWhole) {
    SetPosition("X K14 K13 K12 K10");
    Targets[IndexOf("K16")] = 1;
    ASSERT_TRUE(From("K10", 1));
    EXPECT_EQ(Route(), (std::vector<int>{IndexOf("K16"), IndexOf("K15"), IndexOf("K14"),
                                         IndexOf("K11"), IndexOf("K10")}));
}

}  // namespace
}  // namespace obrin
