#include "tactics/tactics_positions.h"

#include <istream>
#include <sstream>

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
            if (words >> extra) Fail("unexpected text '" + extra + "'");
            Handle(word, argument);
        }
        FinishPosition();
        return std::move(m_positions);
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw EObrinError(m_file + ":" + std::to_string(m_line) + ": " + what);
    }

    void Handle(const std::string& word, const std::string& argument) {
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
            pos.Questions.push_back({kind, p});
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
