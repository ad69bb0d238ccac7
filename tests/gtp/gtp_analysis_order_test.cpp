// The same position gives the same answers whatever the engine analysed before it: the status
// lists, the score, every analysis field and the computer's move. Positions of finished and
// unfinished teacher games are analysed in one engine forwards and in another backwards, with
// genmove on other positions in between.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/analyse.h"
#include "game/analysis_fields.h"
#include "game/engine.h"
#include "game/movedriver.h"
#include "gtp/gtp.h"
#include "gtp/gtp_analysis.h"
#include "gtp/gtp_goals.h"
#include "tools/klassidata.h"

namespace obrin {
namespace {

struct TAnswers {
    std::vector<std::pair<std::string, std::string>> Items;  // what was asked, the answer

    void Add(const std::string& what, const std::string& answer) { Items.emplace_back(what, answer); }
};

class TOrderEngine {
  public:
    TOrderEngine() {
        engine.Clock.SetDeterministic(true);
        engine.Random.SetFixedSeed(1);
        engine.Settings.Zufall = false;
        RegisterAnalysisCommands(gtp);
        RegisterGoalCommands(gtp);
    }

    std::string Ask(const std::string& line) {
        bool quit = false;
        return gtp.HandleLine(line, quit);
    }

    TAnswers Everything(const TBoard& position) {
        TAnswers a;
        gtp.SetUpPosition(position, PassPoint, 0.0, 0.0);
        a.Add("final_status_list dead", Ask("final_status_list dead"));
        a.Add("final_status_list alive", Ask("final_status_list alive"));
        a.Add("final_score", Ask("final_score"));
        Analyse(engine, TAnalysisStage::All);
        for (const auto& field : AnalysisFieldNames()) {
            TBoard values{};
            (void)AnalysisField(engine, field.Name, values);
            std::string text;
            for (const int32_t v : values) text += std::to_string(v) + ' ';
            a.Add(field.Name, text);
        }
        const TPoint move = ComputerMove(engine);
        a.Add("ComputerMove", TGtpEngine::VertexText(move));
        return a;
    }

    // Something else in between: a genmove for White on another position.
    void Distract(const TBoard& position) {
        gtp.SetUpPosition(position, PassPoint, 0.0, 0.0);
        (void)Ask("genmove w");
    }

    IHost host;
    TEngine engine{host};
    TGtpEngine gtp{engine};
};

// Twelve positions; six in the sanitizer build, which runs the analysis many times slower (the
// leak this test once caught showed on the fifth).
#if defined(__SANITIZE_ADDRESS__)
constexpr size_t kPositions = 6;
#else
constexpr size_t kPositions = 12;
#endif

std::vector<TBoard> TeacherPositions() {
    const auto games =
        ReadTeacherGames(std::string(OBRIN_TEST_SOURCE_DIR) + "/../training/games-final.txt");
    std::vector<TBoard> positions;
    for (size_t g = 0; g < games.size() && positions.size() < kPositions; ++g) {
        const int length = static_cast<int>(games[g].Moves.size());
        positions.push_back(PositionAfter(games[g], g % 2 == 0 ? length : length * 2 / 3));
    }
    return positions;
}

std::set<std::string> Vertices(const std::string& answer) {
    std::set<std::string> vertices;
    std::istringstream in(answer.substr(2));
    for (std::string v; in >> v;) vertices.insert(v);
    return vertices;
}

TEST(AnalysisOrder, APositionAnswersTheSameWhateverWasAnalysedBefore) {
    const std::vector<TBoard> positions = TeacherPositions();
    ASSERT_EQ(positions.size(), kPositions);
    const size_t n = positions.size();
    TOrderEngine forwards, backwards;
    std::vector<TAnswers> first(n), second(n);
    for (size_t i = 0; i < n; ++i) first[i] = forwards.Everything(positions[i]);
    for (size_t k = 0; k < n; ++k) {
        const size_t i = n - 1 - k;
        backwards.Distract(positions[(i + 5) % n]);
        second[i] = backwards.Everything(positions[i]);
    }
    for (size_t i = 0; i < n; ++i) {
        ASSERT_EQ(first[i].Items.size(), second[i].Items.size());
        for (size_t q = 0; q < first[i].Items.size(); ++q)
            EXPECT_TRUE(first[i].Items[q].second == second[i].Items[q].second)
                << "position " << i << ": " << first[i].Items[q].first << "\n"
                << first[i].Items[q].second << "\n"
                << second[i].Items[q].second;
    }
}

// Every stone is listed alive or dead, and none in both.
TEST(AnalysisOrder, EveryStoneIsInExactlyOneStatusList) {
    TOrderEngine e;
    for (const TBoard& position : TeacherPositions()) {
        e.gtp.SetUpPosition(position, PassPoint, 0.0, 0.0);
        const std::set<std::string> dead = Vertices(e.Ask("final_status_list dead"));
        const std::set<std::string> alive = Vertices(e.Ask("final_status_list alive"));
        int stones = 0;
        for (int p = 0; p < PointCount; ++p) {
            if (position[p] == 0) continue;
            ++stones;
            const std::string v = TGtpEngine::VertexText({PointColumn(p), PointRow(p)});
            EXPECT_NE(dead.count(v) + alive.count(v), 0u) << v << " is in neither list";
        }
        std::vector<std::string> both;
        std::set_intersection(dead.begin(), dead.end(), alive.begin(), alive.end(),
                              std::back_inserter(both));
        EXPECT_TRUE(both.empty()) << both.front() << " is in both lists";
        EXPECT_EQ(static_cast<int>(dead.size() + alive.size()), stones);
    }
}

}  // namespace
}  // namespace obrin
