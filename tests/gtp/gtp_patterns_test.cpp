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

}  // namespace
}  // namespace obrin
