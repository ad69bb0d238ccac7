#include "gtp/gtp_analysis.h"

#include <gtest/gtest.h>

#include <sstream>

#include "gtp/gtp.h"

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

}  // namespace
}  // namespace obrin
