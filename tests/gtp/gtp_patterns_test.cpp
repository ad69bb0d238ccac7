#include "gtp/gtp_patterns.h"

#include <gtest/gtest.h>

#include <sstream>

#include "gtp/gtp.h"
#include "gtp/gtp_analysis.h"
#include "patterns/muster.h"

namespace obrin {
namespace {

class GtpPatterns : public ::testing::Test {
  protected:
    IHost host;
    TEngine engine{host};
    TGtpEngine gtp{engine};
    void SetUp() override {
        RegisterAnalysisCommands(gtp);
        std::istringstream library("[xo] 14\n[o.] 200\n");
        engine.Patterns.Tree.Clear();
        ASSERT_EQ(ReadPatterns(engine.Patterns.Tree, library, "test").Records, 2);
    }
    std::string Ask(const std::string& line) {
        bool quit = false;
        return gtp.HandleLine(line, quit);
    }
};

TEST_F(GtpPatterns, FiringsOfTheCurrentPositionWithAnchorAndSymmetry) {
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
TEST_F(GtpPatterns, AssociationsOfTheCurrentPositionAsListAndPoints) {
    std::istringstream library("[o..x.x.x] 16\n");
    engine.Patterns.Tree.Clear();
    ASSERT_EQ(ReadPatterns(engine.Patterns.Tree, library, "test").Records, 1);
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
