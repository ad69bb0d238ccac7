#include "tools/tactics_positions.h"

#include <algorithm>
#include <istream>
#include <sstream>

#include "board/chains.h"
#include "board/errors.h"

namespace obrin {
namespace {

class TPositionReader {
  public:
    TPositionReader(std::istream& in, const std::string& fileName) : m_in(in), m_file(fileName) {}

    std::vector<TTacticsPosition> Read() {
        for (std::string line; std::getline(m_in, line);) {
            ++m_line;
            if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
            std::istringstream words(line);
            std::string word, argument, extra;
            if (!(words >> word)) continue;
            words >> argument;
            std::string expected;
            if (words >> extra) {
                if (extra != "=") Fail("unexpected text '" + extra + "'");
                for (std::string w; words >> w;) expected += (expected.empty() ? "" : " ") + w;
                if (expected.empty()) Fail("'=' needs the expected answer");
            }
            Handle(word, argument, expected);
        }
        FinishPosition();
        return std::move(m_positions);
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw EObrinError(m_file + ":" + std::to_string(m_line) + ": " + what);
    }

    void Handle(const std::string& word, const std::string& argument, const std::string& expected) {
        if (word == "position") {
            if (argument.empty()) Fail("position needs a name");
            FinishPosition();
            m_positions.push_back(TTacticsPosition{argument, {}, -1, -1, {}});
            m_rows = 0;
            return;
        }
        if (m_positions.empty()) Fail("'position NAME' expected");
        if (argument.empty() && word.find_first_not_of(".XO+") == std::string::npos)
            return AddRow(word);
        if (!expected.empty() && word == "ko") Fail("unexpected text '='");
        TTacticsPosition& pos = m_positions.back();
        const TPoint p = Vertex(argument);
        if (word == "ko") {
            pos.KoX = p.X;
            pos.KoY = p.Y;
        } else if (word == "attack" || word == "defend" || word == "ladder") {
            if (m_rows != BoardSize) Fail("question before the 19 board rows");
            if (pos.Board[PointIndex(p.X, p.Y)] == 0) Fail("no stone at " + argument);
            const auto kind = word == "attack"   ? TTacticsQuestionKind::Attack
                              : word == "defend" ? TTacticsQuestionKind::Defend
                                                 : TTacticsQuestionKind::Ladder;
            pos.Questions.push_back({kind, p, expected});
        } else {
            Fail("unknown line '" + word + "'");
        }
    }

    void AddRow(const std::string& row) {
        if (row.size() != BoardSize) Fail("a board row has 19 points");
        if (m_rows == BoardSize) Fail("more than 19 board rows");
        const int y = BoardSize - 1 - m_rows++;
        for (int x = 0; x < BoardSize; ++x)
            m_positions.back().Board[PointIndex(x, y)] = row[x] == 'X' ? 1 : row[x] == 'O' ? -1 : 0;
    }

    TPoint Vertex(const std::string& text) const {
        const int x = text.empty() ? -1 : ColumnOfText(text);
        int y = -1;
        try {
            size_t used = 0;
            y = text.size() < 2 ? -1 : std::stoi(text.substr(1), &used) - 1;
            if (used != text.size() - 1) y = -1;
        } catch (const std::exception&) {
            y = -1;
        }
        if (!OnBoard(x, y)) Fail("bad point '" + text + "'");
        return TPoint{x, y};
    }

    void FinishPosition() {
        if (!m_positions.empty() && m_rows != BoardSize)
            Fail("position '" + m_positions.back().Name + "' has " + std::to_string(m_rows) +
                 " board rows, not 19");
    }

    std::istream& m_in;
    std::string m_file;
    int m_line = 0;
    int m_rows = 0;
    std::vector<TTacticsPosition> m_positions;
};

}  // namespace

std::vector<TTacticsPosition> ReadTacticsPositions(std::istream& in, const std::string& fileName) {
    return TPositionReader(in, fileName).Read();
}

TTacticsPosition RandomDensePosition(std::mt19937& random, int stones) {
    TTacticsPosition pos;
    pos.Name = "random";
    std::uniform_int_distribution<int> point(0, PointCount - 1);
    int32_t koX = -1, koY = -1;
    int onBoard = 0, colour = 1;
    // Captures take stones off again; the attempt limit ends a board that will not fill.
    for (int attempt = 0; onBoard < stones && attempt < 20 * PointCount; ++attempt) {
        const int p = point(random);
        const int x = PointColumn(p), y = PointRow(p);
        if (!IsLegal(x, y, colour, koX, koY, pos.Board)) continue;
        PlayMove(x, y, colour, pos.Board, koX, koY);
        colour = -colour;
        onBoard = static_cast<int>(
            std::count_if(pos.Board.begin(), pos.Board.end(), [](int32_t v) { return v != 0; }));
    }
    pos.KoX = koX;
    pos.KoY = koY;
    std::vector<int> occupied;
    for (int p = 0; p < PointCount; ++p)
        if (pos.Board[p] != 0) occupied.push_back(p);
    if (occupied.empty()) return pos;
    const int chain =
        occupied[std::uniform_int_distribution<size_t>(0, occupied.size() - 1)(random)];
    const TPoint at{PointColumn(chain), PointRow(chain)};
    pos.Questions = {{TTacticsQuestionKind::Attack, at, {}},
                     {TTacticsQuestionKind::Defend, at, {}}};
    return pos;
}

const char* QuestionName(TTacticsQuestionKind kind) {
    switch (kind) {
        case TTacticsQuestionKind::Attack:
            return "attack";
        case TTacticsQuestionKind::Defend:
            return "defend";
        case TTacticsQuestionKind::Ladder:
            return "ladder";
    }
    return "?";
}

}  // namespace obrin
