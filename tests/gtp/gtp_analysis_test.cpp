#include "gtp/gtp_analysis.h"

#include <gtest/gtest.h>

#include <sstream>

#include "analysis/graph.h"
#include "game/engine.h"
#include "goals/catalogue.h"
#include "goals/obrinmanager.h"
#include "gtp/gtp.h"
#include "patterns/muster.h"
#include "support/finished_positions.h"
#include "support/tempdir.h"
#include "tools/klassidata.h"

namespace obrin {
namespace {

class GtpAnalysis : public ::testing::Test {
  protected:
    test::TTempHome home;
    IHost host;
    TEngine engine{host};
    TGtpEngine gtp{engine};
    void SetUp() override { RegisterAnalysisCommands(gtp); }

    std::string Ask(const std::string& line) {
        bool quit = false;
        return gtp.HandleLine(line, quit);
    }
    // The rows of a field answer as text lines.
    std::vector<std::string> Rows(const std::string& answer) {
        std::vector<std::string> rows;
        std::istringstream in(answer.substr(2));
        for (std::string line; std::getline(in, line);)
            if (!line.empty()) rows.push_back(line);
        return rows;
    }
    // The engine's pattern library replaced by the records given.
    void Library(const char* records) {
        std::istringstream in(records);
        engine.Patterns.Tree.Clear();
        ASSERT_EQ(ReadPatterns(engine.Patterns.Tree, in, "test").Rejected, 0);
    }
};

TEST_F(GtpAnalysis, FieldsAreListedAndOfferedToGoGui) {
    EXPECT_NE(Ask("obrin_fields").find("\nNN-S-Sicher\n"), std::string::npos);
    const std::string analyze = Ask("gogui-analyze_commands");
    EXPECT_NE(analyze.find("\ndboard/NN-S-Sicher/obrin_field NN-S-Sicher\n"), std::string::npos);
    EXPECT_EQ(Ask("obrin_field Nonsense"), "? unknown field Nonsense\n\n");
    EXPECT_EQ(Ask("obrin_field"), "? syntax error\n\n");
}

TEST_F(GtpAnalysis, AFieldIsNineteenRowsTopRowFirst) {
    ASSERT_EQ(Ask("play b A19"), "= \n\n");
    ASSERT_EQ(Ask("play w T1"), "= \n\n");
    const auto rows = Rows(Ask("obrin_field Spielfeld"));
    ASSERT_EQ(rows.size(), 19u);
    EXPECT_EQ(rows[0].substr(0, 4), "1 0 ");
    EXPECT_EQ(rows[18].substr(rows[18].size() - 3), " -1");
    // Asking runs the analysis: liberties and the influence of the stones are there.
    EXPECT_EQ(Rows(Ask("obrin_field Freiheitsfeld"))[0].substr(0, 2), "2 ");
    const auto strength = Rows(Ask("obrin_field Feldstaerkefeld"));
    EXPECT_NE(strength[0].substr(0, 2), "0 ");
    const auto sure = Rows(Ask("obrin_field NN-S-Schicksalsgemeinschaft"));
    for (const auto& row : sure)
        for (const char c : row) EXPECT_TRUE(c == '0' || c == '1' || c == ' ') << row;
}

TEST_F(GtpAnalysis, FinalScoreCountsKomiForWhite) {
    engine.Clock.SetDeterministic(true);
    EXPECT_EQ(Ask("final_score"), "= 0\n\n");
    ASSERT_EQ(Ask("komi 6.5"), "= \n\n");
    EXPECT_EQ(Ask("final_score"), "= W+6.5\n\n");
    EXPECT_EQ(Ask("final_score now"), "? syntax error\n\n");
    EXPECT_NE(Ask("gogui-analyze_commands").find("\nstring/Bewertung/final_score"),
              std::string::npos);
}

// The end of a GNU Go game from training/: GNU Go counts B+29.5 with komi 6.5 (its own
// final_score); the winner must agree, and the stones counted as dead are those
// final_status_list names.
TEST_F(GtpAnalysis, FinalScoreOfAFinishedGameAgreesWithTheReferenceOnTheWinner) {
    engine.Clock.SetDeterministic(true);
    const auto games =
        ReadTeacherGames(std::string(OBRIN_TEST_SOURCE_DIR) + "/../training/games-final.txt");
    const TTeacherGame& game = games.front();
    ASSERT_EQ(game.Id, 0);
    ASSERT_EQ(Ask("komi 6.5"), "= \n\n");
    for (const TTeacherMove& m : game.Moves)
        ASSERT_EQ(Ask(std::string("play ") + (m.Colour > 0 ? "b " : "w ") +
                      TGtpEngine::VertexText(m.Point)),
                  "= \n\n");
    const std::string score = Ask("final_score");
    EXPECT_EQ(score.substr(0, 4), "= B+") << score;
    // Every stone listed dead is one the count left out of the living stones.
    std::istringstream dead(Ask("final_status_list dead").substr(2));
    for (std::string v; dead >> v;) {
        TPoint p;
        ASSERT_TRUE(TGtpEngine::ParseVertex(v, p)) << v;
        EXPECT_EQ(engine.Graph->LivingMap[PointIndex(p.X, p.Y)], 0) << v;
    }
}

// The graph's commands on a position whose reading is decided at once: a white stone in atari
// in the corner that cannot get out, a lone black stone in the open. The stone in atari touches
// B1, so the two are enemies; B1 is not safe, but it cannot be captured either, so the white
// stone has no capturing race to win and is dead.
TEST_F(GtpAnalysis, GroupStatusAndFinalStatusList) {
    for (const char* move : {"play w A1", "play b B1", "play b K10"})
        ASSERT_EQ(Ask(move), "= \n\n");
    EXPECT_EQ(Ask("obrin_status A1"), "= dead A1 A1\n\n");
    EXPECT_EQ(Ask("final_status_list dead"), "= A1\n\n");
    EXPECT_EQ(Ask("final_status_list alive"), "= K10\nB1\n\n");
    EXPECT_EQ(Ask("final_status_list seki"), "= \n\n");
    EXPECT_EQ(Ask("final_status_list nonsense"), "? syntax error\n\n");
    EXPECT_EQ(Ask("obrin_status C3"), "? vertex is empty\n\n");
    const auto status = Rows(Ask("obrin_field Gruppenstatus"));
    ASSERT_EQ(status.size(), 19u);
    EXPECT_EQ(status[18].substr(0, 8), "0 1 -1 -");
    EXPECT_EQ(Ask("obrin_groups").substr(0, 22), "= Name             : <");
    const std::string analyze = Ask("gogui-analyze_commands");
    EXPECT_NE(analyze.find("\nplist/Tote Steine/final_status_list dead\n"), std::string::npos);
    EXPECT_NE(analyze.find("\ndboard/Gruppenstatus/obrin_field Gruppenstatus\n"),
              std::string::npos);
}

// final_status_list seki names the groups of a seki, alive no longer does; the classic count
// knows no seki.
TEST_F(GtpAnalysis, FinalStatusListNamesTheGroupsOfASeki) {
    engine.Clock.SetDeterministic(true);
    gtp.SetUpPosition(test::Seki, PassPoint, 0.0, 0.0);
    EXPECT_EQ(Ask("final_status_list seki"), "= A18 B18 C18 B19\nD18 E18 F18 D19 F19\n\n");
    EXPECT_EQ(Ask("final_status_list dead"), "= \n\n");
    const std::string alive = Ask("final_status_list alive");
    EXPECT_EQ(alive.find("B19"), std::string::npos) << alive;
    EXPECT_NE(alive.find("K1"), std::string::npos) << alive;
    engine.Settings.KlassischeEngine = true;
    EXPECT_EQ(Ask("final_status_list seki"), "= \n\n");
}

TEST_F(GtpAnalysis, RulesInTheOrderTheyAreAsked) {
    const std::string reply = Ask("obrin_rules");
    // The rules of the urgent and the predicted moves come after the catalogue's 89 and are
    // asked first; a rule registered twice is listed twice.
    ASSERT_EQ(reply.rfind("= 93 TRuleVorhersageVorhersage 4\n", 0), 0u) << reply;
    EXPECT_NE(reply.find("\n89 TRuleEscapeMoveKette 0\n"), std::string::npos);
    EXPECT_NE(reply.find("\n60 TRuleAnbindenAugenMachen 0\n"), std::string::npos);
    EXPECT_NE(reply.find("\n65 TRuleAnbindenAugenMachen 0\n"), std::string::npos);
    EXPECT_EQ(reply.substr(reply.size() - 17), "\n1 TRuleLegal 2\n\n");
    EXPECT_NE(Ask("gogui-analyze_commands").find("\nstring/Regeln/obrin_rules\n"),
              std::string::npos);
}

// Names with one and two numbers, and a keyword without any.
TEST_F(GtpAnalysis, EveryVoteLevelByLevelAndTheVerdict) {
    TGoGroup group;
    group.Name = 7;
    group.Status = StatusSaveable;
    TGoChain chain;
    chain.Group = &group;
    engine.RuleManager->CreateGoal<TGoalAnbinden>(40, &chain);
    engine.RuleManager->CreateGoal<TGoalAugenMachen>(group);
    engine.RuleManager->CreateGoal<TGoalAtariRetten>(40, 41, &chain);
    EXPECT_EQ(Ask("obrin_compare AUGEN-MACHEN 7 ANBINDEN 40"),
              "= 0: TRuleAnbindenAugenMachen -1\n0: TRuleAnbindenAugenMachen -1\n"
              "Ergebnis: -1\n\n");
    EXPECT_EQ(Ask("obrin_compare ATARI-RETTEN 40 41 AUGEN-MACHEN 7"),
              "= 0: TRuleAtariRettenAugenMachen 1\nErgebnis: 1\n\n");
    EXPECT_EQ(Ask("obrin_compare NEUTRALZUG GEBIET-EROBERN"),
              "= 0: TRuleGebietErobernNeutralzug -1\nErgebnis: -1\n\n");
    EXPECT_EQ(Ask("obrin_compare NEUTRALZUG"), "? two goal names expected\n\n");
    EXPECT_EQ(Ask("obrin_compare NEUTRALZUG RETTEN 3"), "? unknown goal RETTEN 3\n\n");
    EXPECT_FALSE(engine.RuleManager->TransitiveBusy);
}

TEST_F(GtpAnalysis, FiringsOfTheCurrentPositionWithAnchorAndSymmetry) {
    Library("[xo] 14\n[o.] 200\n");
    EXPECT_EQ(Ask("obrin_patterns"), "= \n\n");
    ASSERT_EQ(Ask("play b A1"), "= \n\n");
    ASSERT_EQ(Ask("play w A2"), "= \n\n");
    // Black (+1) at A1 touches White at A2 straight up (symmetries 0 and 1); White's empty
    // neighbours are A3 (up) and B2 (right).
    EXPECT_EQ(Ask("obrin_patterns"),
              "= 14 A1 0\n14 A1 1\n200 A2 0\n200 A2 1\n200 A2 4\n200 A2 6\n\n");
    EXPECT_EQ(Ask("obrin_pattern_anchors"), "= LABEL A1 14 A2 200\n\n");
    const std::string analyze = Ask("gogui-analyze_commands");
    EXPECT_NE(analyze.find("\nstring/Pattern firings/obrin_patterns\n"), std::string::npos);
    EXPECT_NE(analyze.find("\ngfx/Pattern anchors/obrin_pattern_anchors\n"), std::string::npos);
}

// A library of one shape, the capture of a stone in atari (number 16 suggests its liberty), so
// that the associations of a position can be read off by hand.
TEST_F(GtpAnalysis, AssociationsOfTheCurrentPositionAsListAndPoints) {
    Library("[o..x.x.x] 16\n");
    EXPECT_EQ(Ask("obrin_assoc"), "= \n\n");
    for (const char* move : {"play b C4", "play w D4", "play b E4", "play b D3"})
        ASSERT_EQ(Ask(move), "= \n\n");
    // White's D4 has its last liberty at D5; the chain's name is its point index 3 * 19 + 3. The
    // shape is its own mirror image, so it fires, and suggests, twice.
    EXPECT_EQ(Ask("obrin_assoc"), "= KETTE-FANGEN 60 16 D5\nKETTE-FANGEN 60 16 D5\n\n");
    EXPECT_EQ(Ask("obrin_assoc_points"), "= D5\n\n");
    EXPECT_EQ(Ask("obrin_assoc x"), "? syntax error\n\n");
    const std::string analyze = Ask("gogui-analyze_commands");
    EXPECT_NE(analyze.find("\nstring/Assoziationen/obrin_assoc\n"), std::string::npos);
    EXPECT_NE(analyze.find("\nplist/Assoziierte Punkte/obrin_assoc_points\n"), std::string::npos);
}

}  // namespace
}  // namespace obrin
