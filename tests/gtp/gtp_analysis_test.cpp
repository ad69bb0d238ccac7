#include "gtp/gtp_analysis.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tools/klassidata.h"
#include "game/engine.h"
#include "gtp/gtp.h"
#include "support/finished_positions.h"

namespace obrin {
namespace {

class GtpAnalysis : public ::testing::Test {
  protected:
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
};

TEST_F(GtpAnalysis, FieldsAreListedAndOfferedToGoGui) {
    const std::string names = Ask("obrin_fields");
    for (const char* name : {"\nFeldstaerkefeld\n", "\nNN-S-Sicher\n", "\nNN-W-Praedikatsbereich\n",
                             "\nScoreField\n", "\nNNSAugen\n", "\nFeldbewertung\n"})
        EXPECT_NE(names.find(name), std::string::npos) << name;
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
    const std::string groups = Ask("obrin_groups");
    EXPECT_EQ(groups.substr(0, 22), "= Name             : <");
    EXPECT_NE(groups.find("\nKetten\n------\n"), std::string::npos);
    EXPECT_NE(groups.find("\nFlaechen\n--------\n"), std::string::npos);
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

TEST_F(GtpAnalysis, GraphFieldsAreFilled) {
    ASSERT_EQ(Ask("play b D4"), "= \n\n");
    ASSERT_EQ(Ask("play w Q16"), "= \n\n");
    // Living stones of both colours: their influence makes the score field.
    const auto score = Rows(Ask("obrin_field ScoreField"));
    EXPECT_NE(score[3].find("-"), std::string::npos);
    EXPECT_NE(score[15].substr(0, 2), "0 ");
    // Both reach the middle of the empty board.
    EXPECT_EQ(Rows(Ask("obrin_field Neutral"))[9].substr(18, 1), "1");
}

}  // namespace
}  // namespace obrin
