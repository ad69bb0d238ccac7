// Every answer of every registered command keeps GTP's framing: a controller reads up to the
// first empty line, so an empty line inside an answer puts every later answer out of step.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "game/engine.h"
#include "gtp/gtp.h"
#include "gtp/gtp_analysis.h"
#include "gtp/gtp_goals.h"
#include "gtp/gtp_records.h"
#include "gtp/gtp_tactics.h"
#include "support/tempdir.h"

namespace obrin {
namespace {

class GtpFraming : public ::testing::Test {
  protected:
    test::TTempHome home;
    IHost host;
    TEngine engine{host};
    TGtpEngine gtp{engine};

    void SetUp() override {
        engine.Clock.SetDeterministic(true);
        RegisterTacticsCommands(gtp, 200);
        RegisterRecordsCommands(gtp);
        RegisterAnalysisCommands(gtp);
        RegisterGoalCommands(gtp);
    }

    std::string Ask(const std::string& line) {
        bool quit = false;
        return gtp.HandleLine(line, quit);
    }

    std::vector<std::string> Commands() {
        std::vector<std::string> names;
        std::istringstream in(Ask("list_commands").substr(2));
        for (std::string name; std::getline(in, name);)
            if (!name.empty() && name != "quit") names.push_back(name);
        return names;
    }

    // The argument lists each command is tried with: none, colours, vertices, both, and the
    // few that need a word of their own.
    std::vector<std::string> ArgumentsFor(const std::string& command) {
        std::vector<std::string> lists{"", "b", "w", "D4", "b D4", "w Q16", "x"};
        if (command == "obrin_field") lists.insert(lists.end(), {"Gruppenstatus", "ScoreField"});
        if (command == "final_status_list") lists.insert(lists.end(), {"dead", "alive", "seki"});
        if (command == "loadsgf") lists = {"", (home / "missing.sgf").string()};
        if (command == "printsgf") lists = {"", (home / "out.sgf").string()};
        if (command == "genmove" || command == "reg_genmove") lists = {"", "b", "w"};
        return lists;
    }
};

// The whole answer is "=" or "?", the echoed id, text without an empty line, then one.
void ExpectFramed(const std::string& line, const std::string& answer) {
    ASSERT_GE(answer.size(), 3u) << line;
    EXPECT_TRUE(answer[0] == '=' || answer[0] == '?') << line << "\n" << answer;
    EXPECT_EQ(answer.substr(answer.size() - 2), "\n\n") << line;
    const std::string body = answer.substr(0, answer.size() - 1);
    std::istringstream in(body);
    int lineNumber = 0;
    for (std::string text; std::getline(in, text); ++lineNumber)
        EXPECT_NE(text.find_first_not_of(" \t\r"), std::string::npos)
            << "blank line " << lineNumber << " in the answer to " << line << ":\n"
            << answer;
}

TEST_F(GtpFraming, NoAnswerOfAnyCommandHoldsAnEmptyLine) {
    const std::vector<std::vector<std::string>> positions{
        {},
        {"play b D4", "play w Q16", "play b Q4", "play w D16", "play b C3"},
        // a capture and a ko on the lower edge
        {"play b B1", "play w C1", "play b A2", "play w B2", "play b D1", "play w A1"},
    };
    const std::vector<std::string> commands = Commands();
    ASSERT_GT(commands.size(), 30u);
    for (const auto& setup : positions) {
        for (const std::string& command : commands) {
            for (const std::string& arguments : ArgumentsFor(command)) {
                ASSERT_EQ(Ask("clear_board"), "= \n\n");
                for (const std::string& move : setup) ASSERT_EQ(Ask(move), "= \n\n") << move;
                const std::string line = arguments.empty() ? command : command + " " + arguments;
                ExpectFramed(line, Ask("12 " + line));
            }
        }
    }
}

TEST_F(GtpFraming, BlankLinesOfAHandlersTextAreDropped) {
    gtp.Register("test_blank", [](const TGtpArgs&) {
        return TGtpReply::Success("\nfirst\n\n  \r\nsecond\n\t\nthird\n\n\n");
    });
    EXPECT_EQ(Ask("5 test_blank"), "=5 \nfirst\nsecond\nthird\n\n");
    gtp.Register("test_blank_error", [](const TGtpArgs&) {
        return TGtpReply::Failure("what\n\nwent wrong");
    });
    EXPECT_EQ(Ask("test_blank_error"), "? what\nwent wrong\n\n");
}

}  // namespace
}  // namespace obrin
