#include "records/ownformats.h"

#include <cctype>
#include <charconv>
#include <map>

#include "board/errors.h"
#include "records/sgfparse.h"

namespace obrin {
namespace {

// The SGF point of the diagram cell at column c of line r (both from 0, top line first).
std::string DiagramPoint(int c, int r) {
    return {static_cast<char>('a' + c), static_cast<char>('a' + r)};
}

std::unique_ptr<TSgfData> CollectionOf(std::unique_ptr<TSgfData> sequence) {
    auto tree = TSgfData::Make(TSgfKind::GameTree);
    tree->Sequence = std::move(sequence);
    auto collection = TSgfData::Make(TSgfKind::Collection);
    collection->GameTrees->Add(std::move(tree));
    return collection;
}

TSgfData* AddNode(TSgfData& sequence) {
    return sequence.Nodes->Add(TSgfData::Make(TSgfKind::Node));
}

void AddFormatProperties(TSgfData& node) {
    node.Properties->Add(MakeProperty("FF", "4"));
    node.Properties->Add(MakeProperty("GM", "1"));
    node.Properties->Add(MakeProperty("SZ", "19"));
}

std::string Trim(const std::string& s) {
    size_t begin = 0, end = s.size();
    while (begin < end && static_cast<unsigned char>(s[begin]) <= ' ') ++begin;
    while (end > begin && static_cast<unsigned char>(s[end - 1]) <= ' ') --end;
    return s.substr(begin, end - begin);
}

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

// The third word of a move line as an SGF point: "---" is the pass "tt"; the column letter
// skips "i" as the board notation does; row n becomes the letter "t" - n.
std::string MovePoint(const std::string& word, const std::string& fileName, size_t lineNumber) {
    if (word == "---") return "tt";
    if (word.empty()) return {};
    std::string point;
    const char column = word[0];
    if (column >= 'a' && column <= 'h') point += column;
    if (column >= 'j' && column <= 't') point += static_cast<char>(column - 1);
    const std::string rest = word.substr(1);
    int row = 0;
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), row);
    if (ec != std::errc() || end != rest.data() + rest.size())
        throw EObrinError("'" + rest + "' is not a row number, line " + std::to_string(lineNumber) +
                          ", file " + fileName);
    // Rows outside the board give no row letter; the one-letter point replays as a pass.
    if (row >= 1 && row <= 19) point += static_cast<char>('t' - row);
    return point;
}

}  // namespace

std::vector<std::string> SplitLines(const std::string& data) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < data.size(); ++i) {
        if (data[i] != '\r' && data[i] != '\n') continue;
        lines.push_back(data.substr(start, i - start));
        if (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < data.size()) lines.push_back(data.substr(start));
    return lines;
}

std::vector<std::string> ReadLines(const std::string& fileName) {
    return SplitLines(ReadWholeFile(fileName));
}

void TStlParser::Parse() {
    const std::vector<std::string> lines = ReadLines(FileName);
    auto sequence = TSgfData::Make(TSgfKind::Sequence);
    AddFormatProperties(*AddNode(*sequence));
    // Cells past the alphabet would not even give a letter; they are off the board anyway.
    for (const auto& [identifier, stone] : {std::pair{"AB", 'x'}, std::pair{"AW", 'o'}}) {
        TSgfData* node = AddNode(*sequence);
        for (size_t r = 0; r < lines.size() && r < 26; ++r)
            for (size_t c = 0; c < lines[r].size() && c < 26; ++c)
                if (lines[r][c] == stone)
                    node->Properties->Add(MakeProperty(identifier, DiagramPoint(int(c), int(r))));
    }
    Parser.SetRoot(CollectionOf(std::move(sequence)));
}

void TObrParser::Parse() {
    const std::vector<std::string> lines = ReadLines(FileName);
    static const std::map<std::string, std::string> kKeys = {
        {"[EVENT]", "EV"},    {"[DATE]", "DT"},     {"[BLACK]", "PB"},  {"[WHITE]", "PW"},
        {"[HANDICAP]", "HA"}, {"[KOMI]", "KM"},     {"[TIME]", "TM"},   {"[BYOYOMI]", "OT"},
        {"[SOURCE]", "SO"},   {"[RECORDER]", "US"}, {"[RESULT]", "RE"},
    };
    std::map<std::string, std::string> values;
    size_t startPosition = lines.size(), moves = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        const size_t bracket = lines[i].find(']');
        if (bracket == std::string::npos) continue;
        const std::string key = lines[i].substr(0, bracket + 1);
        if (const auto k = kKeys.find(key); k != kKeys.end())
            values[k->second] = Trim(lines[i].substr(bracket + 1));
        if (key == "[START-POSITION]") startPosition = i;
        if (key == "[MOVES]" && moves == lines.size()) moves = i;
    }

    auto sequence = TSgfData::Make(TSgfKind::Sequence);
    TSgfData* root = AddNode(*sequence);
    AddFormatProperties(*root);
    for (const char* id : {"EV", "DT", "PB", "PW", "HA", "KM", "US", "SO", "RE", "TM", "OT"})
        root->Properties->Add(MakeProperty(id, values[id]));

    StartPosition = {};
    bool anyStone = false;
    for (size_t k = 0; k < 19 && startPosition + 1 + k < lines.size(); ++k) {
        const std::string& line = lines[startPosition + 1 + k];
        // Cells after the 19th character are beyond the board's edge and ignored.
        for (size_t c = 0; c < line.size() && c < 19; ++c) {
            const int stone = line[c] == 'x' ? 1 : line[c] == 'o' ? -1 : 0;
            if (stone == 0) continue;
            StartPosition[18 - k][c] = stone;
            anyStone = true;
        }
    }
    if (anyStone) {
        TSgfData* setup = AddNode(*sequence);
        for (const auto& [identifier, stone] : {std::pair{"AB", 1}, std::pair{"AW", -1}})
            for (int column = 18; column >= 0; --column)
                for (int row = 0; row <= 18; ++row)
                    if (StartPosition[row][column] == stone)
                        setup->Properties->Add(
                            MakeProperty(identifier, DiagramPoint(column, 18 - row)));
    }

    for (size_t i = moves; i < lines.size(); ++i) {
        std::string line = lines[i];
        for (char& ch : line) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        const std::vector<std::string> words = Words(line);
        if (words.size() < 2 || (words[1] != "b" && words[1] != "w")) continue;
        const std::string colour = words[1] == "b" ? "B" : "W";
        const std::string point =
            MovePoint(words.size() > 2 ? words[2] : std::string(), FileName, i + 1);
        AddNode(*sequence)->Properties->Add(MakeProperty(colour, point));
    }
    Parser.SetRoot(CollectionOf(std::move(sequence)));
}

}  // namespace obrin
