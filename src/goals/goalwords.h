// The reasoning pane's words for the goals. A goal's name is its kind's keyword followed by
// point numbers (chains and groups are named by a point of theirs; a pattern goal names its
// pattern number first). debug.txt and GTP show the names as they are; the pane shows each
// kind through its entry in the translation table, with the points as coordinates.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace obrin {

// A goal name split for the translation table: Key is the keyword with a placeholder per
// argument ("BESETZEN %1", "MUSTERZUG %1 %2"), Arguments the texts to put in (points as board
// coordinates, the pattern number as it stands), Indent the blanks of the goal-tree depth.
struct TGoalWords {
    std::string Key;
    std::string Arguments[2];
    int ArgumentCount = 0;
    std::string Indent;
};
[[nodiscard]] TGoalWords SplitGoalName(const std::string& name);
// Every key the goal kinds produce, for the translation check.
[[nodiscard]] const std::vector<const char*>& ReasoningKeys();

// The line of the pane: the translation of Key (an unknown key stays as it is) with the
// arguments filled in, after the indent.
[[nodiscard]] std::string ReasoningLine(
    const std::string& name, const std::function<std::string(const std::string&)>& translate);

}  // namespace obrin
