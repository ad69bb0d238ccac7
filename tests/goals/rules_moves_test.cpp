// Known-answer moves of the whole move engine with its rules: the position is analysed, the goals
// are searched, and the move and the goals that led to it are checked. The territory network is
// made flat (every empty point the same small class), so that territory moves are a fallback and
// the answers do not hang on trained weights.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "analysis/feedfwd4.h"
#include "analysis/territory.h"
#include "game/engine.h"
#include "game/movedriver.h"
#include "support/diagram.h"
#include "support/tempdir.h"
#include "tactics/tactics_fixture.h"

namespace obrin {
namespace {

using test::IndexOf;

class RuleMoves : public ::testing::Test {
  protected:
    void SetUp() override {
        m_engine = std::make_unique<TEngine>(m_host);
        m_engine->Settings.Zufall = false;
        m_engine->Settings.KlassischeEngine = true;  // the catalogue's rules alone
        m_engine->Clock.SetDeterministic(true);
        FlattenTerritory(0);
    }
    void TearDown() override {
        m_engine->Shutdown();
        m_engine.reset();
    }

    // Every point of the territory network's answer gets class k.
    void FlattenTerritory(int k) {
        TFeedFwd4& net = *m_engine->TerritoryNet;
        std::fill(net.WeightO.begin(), net.WeightO.end(), 0.0);
        const double o = (k + 10) / 60.0;
        const double logit = std::log(o / (1 - o));
        for (double t : {logit, -logit}) {
            net.ThresholdO[0] = t;
            if (m_engine->Territory.PointClass(9, 9) == k) return;
        }
        FAIL() << "no flat territory class " << k;
    }

    // Plays the moves given as "b C14", "w D14", ... and asks for Black's move.
    std::string MoveAfter(const std::vector<std::string>& stones) {
        TBoard& b = m_engine->Fields.Spielfeld;
        for (const std::string& s : stones) b[IndexOf(s.substr(2))] = s[0] == 'b' ? 1 : -1;
        const TPoint m = ComputerMove(*m_engine);
        return m == PassPoint ? "pass" : PointText(m.X, m.Y);
    }
    // The goals that led to the move, from the move up, without the indentation.
    std::vector<std::string> Tree() const {
        std::vector<std::string> names;
        for (const std::string& line : m_engine->LastGoalTree)
            names.push_back(line.substr(line.find_first_not_of(' ')));
        return names;
    }
    // The first n goals of the tree: the move and the goals it served, one level each.
    std::vector<std::string> Path(size_t n) const {
        std::vector<std::string> names = Tree();
        names.resize(std::min(n, names.size()));
        return names;
    }
    bool TreeHas(const std::string& prefix) const {
        const auto names = Tree();
        return std::any_of(names.begin(), names.end(),
                           [&](const std::string& n) { return n.rfind(prefix, 0) == 0; });
    }
    std::string TreeText() const {
        std::string text;
        for (const std::string& line : m_engine->LastGoalTree) text += line + "\n";
        return text;
    }

    test::TTempHome m_home;
    IHost m_host;
    std::unique_ptr<TEngine> m_engine;
};

// Black D13 is in atari (D12); White C13 beside it is in atari too (C12): taking it saves D13.
TEST_F(RuleMoves, TheCaptureThatSavesAChainInAtari) {
    EXPECT_EQ(MoveAfter({"b C14", "w D14", "b B13", "w C13", "b D13", "w E13"}), "C12")
        << TreeText();
    const std::string c12 = std::to_string(IndexOf("C12")), d13 = std::to_string(IndexOf("D13"));
    EXPECT_EQ(Path(4),
              (std::vector<std::string>{"BESETZEN " + c12, "ATARI-RETTEN " + d13 + " " + c12,
                                        "KETTE-RETTEN " + d13, "RETTEN " + d13}))
        << TreeText();
}

// White K10 has two liberties and is caught in a ladder either way.
TEST_F(RuleMoves, AChainCaughtInALadder) {
    const std::string move = MoveAfter({"b K11", "b J10", "b L9", "w K10"});
    EXPECT_TRUE(move == "L10" || move == "K9") << move << "\n" << TreeText();
    const std::string m = std::to_string(IndexOf(move)), k10 = std::to_string(IndexOf("K10"));
    EXPECT_EQ(Path(4), (std::vector<std::string>{"BESETZEN " + m, "TREPPENZUG " + k10 + " " + m,
                                                 "KETTE-FANGEN " + k10, "FANGEN " + k10}))
        << TreeText();
}

// Black's group on the lower edge has the straight three C1-D1-E1 as its only eye space: D1
// makes two eyes.
TEST_F(RuleMoves, AGroupThatNeedsItsSecondEye) {
    EXPECT_EQ(MoveAfter({"w A3", "w B3", "w C3", "w D3", "w E3", "w F3", "w G3", "w A2", "w G2",
                         "w A1", "w G1", "b B2", "b C2", "b D2", "b E2", "b F2", "b B1", "b F1"}),
              "D1")
        << TreeText();
    // Today by a pattern of eye shape under the chain's rescue: RETTEN, KETTE-RETTEN, FORMZUG,
    // MUSTERZUG.
    EXPECT_TRUE(TreeHas("KETTE-RETTEN ")) << TreeText();
    EXPECT_TRUE(TreeHas("RETTEN ")) << TreeText();
}

// White D5 threatens to cut Black's C4-D4 from E5-F5 at E4.
TEST_F(RuleMoves, ACuttingPointThatMustBeConnected) {
    EXPECT_EQ(MoveAfter({"b C4", "b D4", "b E5", "b F5", "w D5", "w C5", "w E6", "w F4"}), "E4")
        << TreeText();
    EXPECT_TRUE(TreeHas("ANBINDEN ")) << TreeText();
}

}  // namespace
}  // namespace obrin
