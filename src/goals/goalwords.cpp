#include "goals/goalwords.h"

#include <cctype>
#include <sstream>
#include <vector>

#include "board/board.h"

namespace obrin {
namespace {

bool IsNumber(const std::string& word) {
    if (word.empty()) return false;
    for (const char c : word)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// A point number as the board names it; a number that is no point stays a number.
std::string PointName(const std::string& number) {
    const long n = std::stol(number);
    if (n < 0 || n >= PointCount) return number;
    const int p = static_cast<int>(n);
    return PointText(PointColumn(p), PointRow(p));
}

}  // namespace

const std::vector<const char*>& ReasoningKeys() {
    static const std::vector<const char*> keys{"RETTEN %1",
                                               "FANGEN %1",
                                               "AUGEN-MACHEN %1",
                                               "KETTE-RETTEN %1",
                                               "KETTE-FANGEN %1",
                                               "KETTE-EINSCHLIESSEN %1",
                                               "FORMZUG %1",
                                               "FLUCHTZUG %1",
                                               "ANBINDEN %1",
                                               "ABSCHNEIDEN %1",
                                               "TREPPE-VERHINDERN %1",
                                               "ATARI-RETTEN %1 %2",
                                               "FREIHEITEN-VERMEHREN %1 %2",
                                               "FREIHEIT-WEGNEHMEN %1 %2",
                                               "TREPPENZUG %1 %2",
                                               "TREPPENDROHER %1 %2",
                                               "ESCAPEMOVE-S %1",
                                               "ESCAPEMOVE-W %1",
                                               "BRUTE-FORCE-MOVE %1",
                                               "AUGENZUG %1",
                                               "MUSTERZUG %1 %2",
                                               "GEBIETSZUG %1",
                                               "BESETZEN %1",
                                               "DRINGEND %1",
                                               "VORHERSAGE %1",
                                               "GEBIET-EROBERN",
                                               "NEUTRALZUG",
                                               "VERZICHTEN"};
    return keys;
}

TGoalWords SplitGoalName(const std::string& name) {
    TGoalWords words;
    const size_t start = name.find_first_not_of(' ');
    if (start == std::string::npos) return words;
    words.Indent = name.substr(0, start);
    std::istringstream in(name.substr(start));
    std::vector<std::string> parts;
    for (std::string part; in >> part;) parts.push_back(part);
    words.Key = parts.empty() ? std::string() : parts[0];
    const bool pattern = words.Key == "MUSTERZUG";
    for (size_t i = 1; i < parts.size(); ++i) {
        // Only the known forms take placeholders; anything else stays part of the key.
        if (!IsNumber(parts[i]) || words.ArgumentCount == 2) {
            words.Key += " " + parts[i];
            continue;
        }
        const bool point = !(pattern && words.ArgumentCount == 0);
        words.Arguments[words.ArgumentCount] = point ? PointName(parts[i]) : parts[i];
        ++words.ArgumentCount;
        words.Key += " %" + std::to_string(words.ArgumentCount);
    }
    return words;
}

std::string ReasoningLine(const std::string& name,
                          const std::function<std::string(const std::string&)>& translate) {
    const TGoalWords words = SplitGoalName(name);
    std::string line = translate ? translate(words.Key) : words.Key;
    for (int i = 0; i < words.ArgumentCount; ++i) {
        const std::string placeholder = "%" + std::to_string(i + 1);
        const size_t at = line.find(placeholder);
        if (at != std::string::npos) line.replace(at, placeholder.size(), words.Arguments[i]);
    }
    return words.Indent + line;
}

}  // namespace obrin
