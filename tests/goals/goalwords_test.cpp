#include "goals/goalwords.h"

#include <gtest/gtest.h>

#include <map>

namespace obrin {
namespace {

// The pane's line of each kind of goal name: points become coordinates (point 99 is E6, row
// times 19 plus column), a pattern goal keeps its pattern number, the indent of the goal tree
// stays, and a key without an entry shows as it is.
TEST(GoalWords, NamesBecomeTranslatedLinesWithCoordinates) {
    const std::map<std::string, std::string> english{
        {"BESETZEN %1", "play %1"},
        {"MUSTERZUG %1 %2", "move of pattern %1 at %2"},
        {"ATARI-RETTEN %1 %2", "save the chain at %1 from atari at %2"},
        {"GEBIET-EROBERN", "gain territory"}};
    const auto tr = [&](const std::string& key) {
        const auto it = english.find(key);
        return it == english.end() ? key : it->second;
    };
    EXPECT_EQ(ReasoningLine("BESETZEN 99", tr), "play E6");
    EXPECT_EQ(ReasoningLine("  MUSTERZUG 17 0", tr), "  move of pattern 17 at A1");
    EXPECT_EQ(ReasoningLine("    ATARI-RETTEN 360 341", tr),
              "    save the chain at T19 from atari at T18");
    EXPECT_EQ(ReasoningLine("GEBIET-EROBERN", tr), "gain territory");
    EXPECT_EQ(ReasoningLine("RETTEN 99", tr), "RETTEN E6");  // no entry: the name, with coordinates
    EXPECT_EQ(ReasoningLine("RETTEN 400", tr), "RETTEN 400");  // no point: the number

    const TGoalWords w = SplitGoalName(" FREIHEIT-WEGNEHMEN 20 21");
    EXPECT_EQ(w.Key, "FREIHEIT-WEGNEHMEN %1 %2");
    EXPECT_EQ(w.Indent, " ");
    EXPECT_EQ(w.Arguments[0], "B2");
    for (const char* key : ReasoningKeys()) EXPECT_EQ(SplitGoalName(key).Key, key);
}

}  // namespace
}  // namespace obrin
