#include "analysis/grpstat.h"

#include <cassert>
#include <charconv>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "analysis/graph.h"
#include "settings/langsup.h"

namespace obrin {
namespace {

// One row of the rule list: its number, the status column, the conditions and the new status,
// written as the list writes them.
struct TRuleText {
    int Number;
    const char* Status;
    const char* Conditions;
    uint8_t NewStatus;
};

// clang-format off
constexpr TRuleText RuleTexts[] = {
    {1, "status < 3", "F >= 6, S >= 790", 3},
    {2, "status < 3", "K = 0", 3},
    {3, "status < 1", "K <= 3", 1},
    {4, "status < 1", "K <= 5, S >= 654", 1},
    {5, "status > 0", "K = 2147483647, F <= 3, S <= 299", 0},
    {6, "status < 1", "K <= 4, S >= 395", 1},
    {7, "status < 3", "A = 3, K <= 8, S >= 452", 3},
    {8, "status < 2", "F >= 3, K <= 9, L2[0] > 0, S >= 223", 2},
    {9, "status > 1", "K >= 5, S <= 830", 1},
    {10, "status < 2", "A = 1, K <= 11, S >= 414", 2},
    {11, "status < 2", "A = 1, F >= 4, K <= 11, S >= 112", 2},
    {12, "status < 3", "A = 1, F >= 4, K <= 11, S >= 270", 3},
    {13, "status < 2", "A = 2, F >= 4, K <= 9, S >= 223", 2},
    {14, "status < 3", "F >= 10, K <= 7, S >= 730, L1[0] > 153", 3},
    {15, "status < 3", "A = 2, F >= 5, K <= 9, L1[0] > 107, L1[5] > 0, L2[0] >= 17, L2[6] >= 0", 3},
    {16, "status < 1", "A = 1, F >= 3, K <= 8, S >= 107", 1},
    {17, "status < 3", "A = 2, F >= 8, K <= 10, S >= 560", 3},
    {18, "status < 3", "F >= 8, K <= 8, R > 3, L1[0] > 151, L1[1] > 150, L2[0] > 0, S >= 452", 3},
    {19, "status < 3", "F >= 77, K <= 6, S >= 6738", 3},
    {20, "status < 2", "F >= 4, R >= 5, K <= 11, L1[2] >= 56, L2[4] >= 8", 2},
    {21, "status > 2", "F <= 7, R <= 5, K >= 10, L1[5] <= 50, L1[6] <= -1", 2},
    {22, "status < 1", "F >= 3, R >= 4, K <= 10, L1[1] >= 52, L2[3] >= 2", 1},
    {23, "status < 3", "F >= 5, R >= 5, K <= 9, L1[0] > 60, L1[1] > 58, L1[3] >= 51, L1[5] > -2, L2[0] > 11, L2[3] >= 3, L2[4] > 5", 3},
    {24, "status > 1", "F <= 16, R <= 5, K >= 4, L1[8] <= 49, L2[3] <= 2", 1},
    {25, "status < 2", "F >= 7, R >= 3, K <= 4, L1[5] >= 52, L2[1] >= 11", 2},
    {26, "status > 1", "F <= 6, R <= 6, K >= 10, L1[4] <= 48, L2[4] <= 5, L2[5] < 3", 1},
    {27, "status > 1", "F <= 7, R <= 4, K >= 6, L1[6] <= 52, L2[3] <= 5", 1},
    {28, "status > 1", "F <= 3, R <= 3, K >= 1, L1[1] <= 197, L2[0] <= 146", 1},
    {29, "status < 3", "F >= 5, R >= 5, K <= 8, L1[4] >= 53, L2[6] >= 4", 3},
    {30, "status < 2", "F >= 5, R >= 6, K <= 10, L1[4] >= 1, L2[4] >= 3", 2},
    {31, "status > 0", "F <= 7, R <= 4, K >= 3, L1[0] < 101, L1[3] <= 52, L2[0] <= 12", 0},
    {32, "status < 1", "F >= 8, R >= 4, K <= 2, L1[3] >= 52, L2[0] >= -4", 1},
    {33, "status < 3", "F >= 6, R >= 4, K <= 8, L1[4] >= 52, L2[6] > 2", 3},
    {34, "status > 1", "F <= 8, R <= 3, K >= 6, L1[6] <= 50, L2[4] <= 1", 1},
    {35, "status > 1", "F <= 9, R <= 7, K >= 4, L1[4] <= 54, L2[1] <= 1", 1},
    {36, "status < 1", "F >= 5, R >= 4, K <= 9, L1[2] >= 52, L2[3] >= 2", 1},
    {37, "status > 1", "F <= 7, R <= 5, K >= 6, L1[3] <= 52, L2[3] <= 3", 1},
    {38, "status < 1", "F >= 4, R >= 4, K <= 7, L1[3] >= 51, L2[4] >= 1", 1},
    {39, "status < 3", "F >= 8, R >= 2, K <= 7, L1[6] >= 51, L2[8] >= 1", 3},
    {40, "status < 1", "F >= 4, R >= 4, K <= 10, L1[2] >= 53, L2[2] >= 3", 1},
    {41, "status < 1", "F >= 7, R >= 3, K <= 6, L1[4] >= 51, L2[4] >= 2", 1},
    {42, "status > 1", "F <= 7, R <= 4, K >= 5, L1[5] <= 52, L2[3] <= 6", 1},
    {43, "status < 1", "F >= 3, R >= 3, K <= 3, L1[2] >= 53, L2[0] >= 1", 1},
    {44, "status > 1", "F <= 7, R <= 6, K >= 7, L1[6] <= 49, L2[3] <= 5", 1},
    {45, "status > 1", "F <= 11, R <= 7, K >= 4, L1[9] <= 1, L2[2] <= 3", 1},
    {46, "status < 1", "F >= 9, R >= 2, K <= 7, L1[6] >= 1, L2[3] >= 3", 1},
    {47, "status < 1", "F >= 4, R >= 4, K <= 8, L1[3] >= 1, L2[2] >= 3", 1},
    {48, "status > 1", "F <= 5, R <= 7, K >= 2, L1[3] <= 1, L2[0] <= 0", 1},
    {49, "status > 1", "F <= 10, R <= 8, K >= 3, L1[5] <= 1, L2[0] <= 0", 1},
    {50, "status > 1", "F <= 6, R <= 3, K >= 1, L1[3] <= 50, L2[0] <= 1", 1},
    {51, "status > 1", "F <= 8, R <= 6, K >= 2, L1[0] < 249, L1[6] <= 1, L2[1] <= 0", 1},
    {52, "status > 1", "F <= 12, R <= 3, K >= 6, L1[9] <= 1, L2[1] <= 7", 1},
    {53, "status > 1", "F <= 5, R <= 5, K >= 1, L1[3] <= 50, L2[0] <= 0", 1},
    {54, "status > 1", "F <= 12, R <= 4, K >= 2, L1[0] < 249, L1[1] < 248, L1[8] <= 54, L2[2] <= 1", 1},
    {55, "status > 1", "F <= 19, R <= 19, K >= 1, L1[3] <= 50, L2[0] <= -101", 1},
    {56, "status < 1", "F >= 7, R >= 4, K <= 8, L1[2] >= 50, L2[2] >= 1", 1},
    {57, "status > 1", "F <= 10, R <= 11, K >= 5, L1[6] <= 1, L2[0] <= 4, L2[1] <= -3", 1},
    {58, "status < 3", "F >= 5, R >= 5, K <= 8, L1[4] >= 51, L2[5] >= 3, L2[6] > -2", 3},
    {59, "status > 1", "F <= 8, R <= 5, K >= 9, L1[7] <= 1, L2[0] <= 7, L2[6] <= -1", 1},
    {60, "status > 1", "F <= 11, R <= 5, K >= 7, L1[7] <= -49, L2[0] <= 8, L2[5] <= 0", 1},
    {61, "status < 1", "F >= 2, R >= 3, K <= 10, L1[1] >= 52, L2[2] >= 3", 1},
    {62, "status < 1", "F >= 4, R >= 4, K <= 9, L1[1] >= 55, L2[2] >= 2", 1},
    {63, "status < 1", "F >= 6, R >= 2, K <= 8, L1[4] >= 50, L2[4] >= 5", 1},
    {64, "status < 3", "F >= 4, R >= 5, K <= 8, L1[3] >= 84, L2[7] >= 38", 3},
    {65, "status > 1", "F <= 9, R <= 3, K >= 5, L1[8] <= 1, L2[4] <= 2", 1},
    {66, "status > 1", "F <= 10, R <= 2, K >= 5, L1[8] <= 52, L2[4] <= 2", 1},
    {67, "status < 3", "F >= 9, R >= 3, K <= 8, L1[8] >= 50, L2[7] >= 1", 3},
    {68, "status > 1", "F <= 8, R <= 8, K >= 5, L1[4] <= 52, L2[2] <= 1", 1},
    {69, "status < 3", "F >= 6, R >= 6, K <= 4, L1[4] >= 52, L2[1] >= 7", 3},
    {70, "status > 2", "F <= 12, R <= 3, K >= 6, L1[9] <= 50, L2[3] <= 0", 2},
    {71, "status < 3", "F >= 4, R >= 5, K <= 11, L1[3] >= 66, L2[7] >= 13", 3},
    {72, "status < 3", "F >= 4, R >= 5, K <= 11, L1[3] >= 63, L2[7] >= 13", 3},
    {73, "status < 3", "F >= 8, R >= 2, K <= 3, L1[4] >= 196, L2[1] >= 193", 3},
    {74, "status < 1", "F >= 4, R >= 5, K <= 10, L1[1] >= 50, L2[2] >= 2", 1},
    {75, "status < 1", "F >= 3, R >= 4, K <= 9, L1[1] >= 54, L2[1] >= 10", 1},
    {76, "status < 3", "F >= 9, R >= 3, K <= 4, L1[7] >= 52, L2[0] >= 12", 3},
    {77, "status < 3", "F >= 4, R >= 5, K <= 10, L1[3] >= 50, L2[0] >= 15, L2[5] >= 3, L2[6] > -50", 3},
    {78, "status > 1", "F <= 6, R <= 5, K >= 3, L1[4] <= 52, L2[1] <= 1", 1},
    {79, "status > 1", "F <= 9, R <= 5, K >= 7, L1[7] <= 50, L2[0] <= 11, L2[5] <= 2, L2[6] < 0", 1},
    {80, "status > 1", "F <= 12, R <= 5, K >= 7, L1[9] <= 2, L2[0] <= 9, L2[4] <= 4, L2[5] < 2", 1},
    {81, "status < 1", "F >= 6, R >= 2, K <= 4, L1[4] >= 50, L2[1] >= 10", 1},
    {82, "status < 2", "F >= 4, R >= 3, K <= 2, L1[3] >= 197, L2[0] >= 0", 2},
    {83, "status > 1", "F <= 10, R <= 9, K >= 1, L1[0] < 249, L1[1] < 248, L1[7] <= 50, L1[8] <= 1, L1[9] <= 0, L2[2] <= 1, L2[3] <= 0", 1},
    {84, "status > 1", "F >= 8, R <= 5, K >= 8, L1[5] <= 53, L1[6] <= -2, L2[4] <= 4, L2[5] <= -1", 1},
    {85, "status < 1", "F >= 3, R >= 4, K <= 10, L1[1] >= 52, L1[2] >= 0, L1[9] >= 0, L2[0] >= 6, L2[3] >= 2, L2[4] >= -2, L2[7] >= 0", 1},
    {86, "status < 3", "F >= 4, R >= 5, K <= 11, L1[1] >= 57, L1[3] > 3, L2[0] >= 61, L2[4] >= 5", 3},
    {87, "status < 3", "A = 1, F >= 4, R >= 5, K <= 11, L1[3] >= 54, L2[0] >= 20", 3},
    {88, "status < 3", "A > 1, F >= 9, R >= 4, K <= 9, L1[8] >= 50, L2[9] >= 3", 3},
    {89, "status > 2", "A > 1, F <= 7, R <= 6, K >= 8, L1[0] <= 102, L1[5] <= 1, L2[0] <= 15", 2},
    {90, "status < 3", "A >= 3, F >= 5, R >= 5, K <= 11, L1[0] >= 51, L1[2] >= 50, L1[3] >= 1, L1[4] > 0, L2[0] >= 2, L2[1] >= 1, L2[4] >= 0, L2[6] > -4, L2[7] > -52", 3},
    {91, "status < 3", "F >= 6, R >= 5, K <= 3, L1[0] >= 248, L2[0] >= 195", 3},
    {92, "status < 3", "A >= 2, F >= 8, R >= 6, K <= 2, L1[0] >= 249", 3},
    {93, "status < 3", "A >= 2, F >= 12, R >= 3, K <= 9, L1[0] >= 101, L2[9] >= 16", 3},
    {94, "status < 3", "A >= 2, F >= 7, R >= 3, K <= 7, L1[0] >= 154, L1[1] > 109, L1[2] > 107, L2[0] >= 20, L2[1] > 7", 3},
    {95, "status < 1", "A >= 3, F >= 4, R >= 2, K <= 5, L1[0] >= 105, L1[2] >= 53, L2[0] >= 51, L2[3] >= 2", 1},
    {96, "status < 3", "A = 1, F >= 4, K <= 10, L1[0] >= 60, L2[0] >= 15", 3},
};
// clang-format on
static_assert(std::size(RuleTexts) == TGroupEstimator::RuleCount);

enum class TCompare : uint8_t { Less, LessEqual, Equal, GreaterEqual, Greater };

[[nodiscard]] bool Holds(int32_t value, TCompare op, int32_t bound) {
    switch (op) {
        case TCompare::Less:
            return value < bound;
        case TCompare::LessEqual:
            return value <= bound;
        case TCompare::Equal:
            return value == bound;
        case TCompare::GreaterEqual:
            return value >= bound;
        case TCompare::Greater:
            return value > bound;
    }
    return false;
}

// A condition "name op number" on one of a fixed set of named values.
struct TCondition {
    int Value;  // index into the values the table is read against
    TCompare Op;
    int32_t Bound;
};

// Reads "F >= 6, S >= 790" (or "bo = 2, bd = 2") with names looked up by valueIndex, which returns
// -1 for an unknown name. A table that does not read is a fault of the program itself.
template <typename TIndexOf>
std::vector<TCondition> ParseConditions(std::string_view text, TIndexOf valueIndex) {
    std::vector<TCondition> conditions;
    while (!text.empty()) {
        const size_t comma = text.find(',');
        std::string_view part = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
        while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
        const size_t blank = part.find(' ');
        const size_t blank2 = part.find(' ', blank + 1);
        if (blank == std::string_view::npos || blank2 == std::string_view::npos)
            throw std::logic_error("unreadable rule condition: " + std::string(part));
        const std::string_view name = part.substr(0, blank);
        const std::string_view op = part.substr(blank + 1, blank2 - blank - 1);
        const std::string_view number = part.substr(blank2 + 1);
        TCondition c{valueIndex(name), TCompare::Equal, 0};
        if (op == "<")
            c.Op = TCompare::Less;
        else if (op == "<=")
            c.Op = TCompare::LessEqual;
        else if (op == "=")
            c.Op = TCompare::Equal;
        else if (op == ">=")
            c.Op = TCompare::GreaterEqual;
        else if (op == ">")
            c.Op = TCompare::Greater;
        else
            throw std::logic_error("unknown comparison: " + std::string(op));
        const auto [end, ec] =
            std::from_chars(number.data(), number.data() + number.size(), c.Bound);
        if (c.Value < 0 || ec != std::errc{} || end != number.data() + number.size())
            throw std::logic_error("unreadable rule condition: " + std::string(part));
        conditions.push_back(c);
    }
    return conditions;
}

// The estimator's values in one array: F, A, S, R, K, L1[0..9], L2[0..9].
constexpr int GroupValueCount = 25;
using TValueArray = std::array<int32_t, GroupValueCount>;

int GroupValueIndex(std::string_view name) {
    static constexpr std::string_view plain[] = {"F", "A", "S", "R", "K"};
    for (int i = 0; i < 5; ++i)
        if (name == plain[i]) return i;
    if (name.size() == 5 && (name.substr(0, 3) == "L1[" || name.substr(0, 3) == "L2[") &&
        name[3] >= '0' && name[3] <= '9' && name[4] == ']')
        return 5 + (name[1] == '2' ? 10 : 0) + (name[3] - '0');
    return -1;
}

TValueArray ValueArray(const TGroupValues& v) {
    TValueArray a{v.F, v.A, v.S, v.R, v.K};
    for (int i = 0; i < 10; ++i) {
        a[5 + i] = v.L1[i];
        a[15 + i] = v.L2[i];
    }
    return a;
}

struct TRule {
    TCondition Status;  // on the current status
    std::vector<TCondition> Conditions;
    uint8_t NewStatus;
};

std::vector<TRule> ParseRules() {
    std::vector<TRule> rules;
    for (const TRuleText& t : RuleTexts) {
        assert(t.Number == static_cast<int>(rules.size()) + 1);
        const auto status =
            ParseConditions(t.Status, [](std::string_view n) { return n == "status" ? 0 : -1; });
        rules.push_back(
            {status.at(0), ParseConditions(t.Conditions, GroupValueIndex), t.NewStatus});
    }
    return rules;
}

const std::vector<TRule>& Rules() {
    static const std::vector<TRule> rules = ParseRules();
    return rules;
}

// The area shapes of a point, black version; the white version swaps the colours.
// clang-format off
constexpr const char* AreaShapeTexts[AreaCounterKinds] = {
    "bo = 2, bd = 2, wo = 0, eo = 1, ed = 2",           // c0
    "bo = 1, bd = 2, wo = 0, eo = 1, ed = 2",           // c1
    "bo = 2, bd = 1, wo = 0, wd = 0, eo = 1, ed = 2",   // c2
    "bo = 0, bd = 1, wo = 0, wd = 0, eo = 2, ed = 3",   // c3
    "bo = 3, bd = 2, eo = 1, ed = 2",                   // c4
    "bo = 3, bd = 3, wo = 0, wd = 0",                   // c5
    "bo = 1, bd = 3, wo = 0, wd = 0",                   // c6
    "bo = 2, bd = 3, wo = 0, wd = 0",                   // c7
    "bo = 2, bd = 2, wo = 0, wd = 0",                   // c8
};
// clang-format on

// Neighbourhood counts in one array: bo, bd, wo, wd, eo, ed.
int AreaValueIndex(std::string_view name) {
    static constexpr std::string_view names[] = {"bo", "bd", "wo", "wd", "eo", "ed"};
    for (int i = 0; i < 6; ++i)
        if (name == names[i]) return i;
    return -1;
}

const std::array<std::vector<TCondition>, AreaCounterKinds>& AreaShapes() {
    static const auto shapes = [] {
        std::array<std::vector<TCondition>, AreaCounterKinds> s;
        for (int k = 0; k < AreaCounterKinds; ++k)
            s[k] = ParseConditions(AreaShapeTexts[k], AreaValueIndex);
        return s;
    }();
    return shapes;
}

bool AllHold(const std::vector<TCondition>& conditions, const int32_t* values) {
    for (const TCondition& c : conditions)
        if (!Holds(values[c.Value], c.Op, c.Bound)) return false;
    return true;
}

}  // namespace

TGroupValues ValuesOfGroup(const TGoGroup& g) {
    TGroupValues v;
    v.F = g.Freiheitswert;
    v.A = g.Anzahl;
    v.S = g.FeldstaerkeLiberties;
    v.R = g.ResponseLiberties;
    v.K = g.AugenBauKosten;
    v.L1 = g.SpektrumLib1;
    v.L2 = g.SpektrumLib2;
    return v;
}

TGroupEstimator::TGroupEstimator() {
    // Reads the tables once, at start-up, so that a fault in them shows at once.
    (void)Rules();
    (void)AreaShapes();
}

uint8_t TGroupEstimator::Estimate(const TGroupValues& v, std::array<bool, 97>* fired) const {
    const TValueArray values = ValueArray(v);
    int32_t status = 0;
    int number = 1;
    for (const TRule& rule : Rules()) {
        if (Holds(status, rule.Status.Op, rule.Status.Bound) &&
            AllHold(rule.Conditions, values.data())) {
            status = rule.NewStatus;
            if (fired != nullptr) (*fired)[number] = true;
        }
        ++number;
    }
    return static_cast<uint8_t>(status);
}

uint8_t TGroupEstimator::Estimate(const TGroupValues& v) const {
    return Estimate(v, nullptr);
}

uint8_t TGroupEstimator::Estimate(const TGoGroup& group) const {
    return Estimate(ValuesOfGroup(group));
}

void CountAreaShapes(const TAreaNeighbourhood& n, std::array<int32_t, 2 * AreaCounterKinds>& c) {
    const int32_t black[6] = {n.bo, n.bd, n.wo, n.wd, n.eo, n.ed};
    const int32_t white[6] = {n.wo, n.wd, n.bo, n.bd, n.eo, n.ed};
    const auto& shapes = AreaShapes();
    for (int k = 0; k < AreaCounterKinds; ++k) {
        if (AllHold(shapes[k], black)) ++c[2 * k];
        if (AllHold(shapes[k], white)) ++c[2 * k + 1];
    }
}

uint8_t TGroupEstimator::ClassifyArea(const TGoArea& area) {
    // c<k>S is counter 2k, c<k>W is counter 2k + 1.
    const auto S = [&](int k) { return area.Counters[2 * k]; };
    const auto W = [&](int k) { return area.Counters[2 * k + 1]; };
    uint8_t status = 0;
    if (S(0) >= 2 && S(1) >= 2) status = 1;
    if (W(0) >= 2 && W(1) >= 2) status = 2;
    if (S(0) == 2 && S(1) == 1) status = 3;
    if (W(0) == 2 && W(1) == 1) status = 4;
    if (S(2) == 2 && S(3) == 1) status = 3;
    if (W(2) == 2 && W(3) == 1) status = 4;
    if (S(4) == 1) status = 5;
    if (W(4) == 1) status = 6;
    if (S(5) == 1 && S(6) == 1 && S(7) == 2 && S(8) == 1) status = 3;
    if (W(5) == 1 && W(6) == 1 && W(7) == 2 && W(8) == 1) status = 4;
    return status;
}

std::string TGroupEstimator::StatusText(int status, TLangSup* lang) {
    static constexpr const char* texts[] = {"tot", "rettbar", "angreifbar", "sicher"};
    if (status < 0 || status > 3) return "???";
    if (lang == nullptr) return texts[status];
    const std::string context = lang->Context();
    lang->SetContext("Board");
    std::string text = lang->Translate(texts[status]);
    lang->SetContext(context);
    return text;
}

std::string TGroupEstimator::AreaStatusText(int status) {
    static constexpr const char* texts[] = {
        "unbekannt", "RandLebenswurmS", "RandLebenswurmW", "NakadeS", "NakadeW", "AugeS", "AugeW"};
    if (status < 0 || status > 6) return "???";
    return texts[status];
}

}  // namespace obrin
