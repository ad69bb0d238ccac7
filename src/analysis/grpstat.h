// The group status estimator: an ordered list of 96 rules over seven values of a group decides
// whether it is dead (0), can be saved (1), can be attacked (2) or is safe (3). It also names the
// group and area states and classifies empty areas from their shape counters. The rules are data
// (one row per rule, written in the rule list's own notation) so that a reader can hold them
// against the list line by line.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace obrin {

class TLangSup;
struct TGoArea;
struct TGoGroup;

// The seven values a status estimate reads.
struct TGroupValues {
    int32_t F = 0;  // Freiheitswert: liberties of the whole group
    int32_t A = 0;  // Anzahl: stones
    int32_t S = 0;  // FeldstaerkeLiberties: friendly field strength over the liberties
    int32_t R = 0;  // ResponseLiberties
    int32_t K = 0;  // AugenBauKosten: cost of two eyes, 2147483647 when none can be made
    std::array<int32_t, 10> L1{};  // Spektrum Lib1, descending
    std::array<int32_t, 10> L2{};  // Spektrum Lib2, descending
};

[[nodiscard]] TGroupValues ValuesOfGroup(const TGoGroup& group);

// The group status: 0 "tot", 1 "rettbar", 2 "angreifbar", 3 "sicher".
constexpr uint8_t StatusDead = 0;
constexpr uint8_t StatusSaveable = 1;
constexpr uint8_t StatusAttackable = 2;
constexpr uint8_t StatusSafe = 3;

// A group of this status is still in the fight ("rettbar" or "angreifbar").
[[nodiscard]] constexpr bool InTheFight(uint8_t status) {
    return status == StatusSaveable || status == StatusAttackable;
}

// Area shapes: 0 "unbekannt", 1 "RandLebenswurmS", 2 "RandLebenswurmW", 3 "NakadeS",
// 4 "NakadeW", 5 "AugeS", 6 "AugeW".
constexpr int AreaCounterKinds = 9;

class TGroupEstimator {
  public:
    TGroupEstimator();

    // The status after the 96 rules; always 0..3.
    [[nodiscard]] uint8_t Estimate(const TGroupValues& v) const;
    [[nodiscard]] uint8_t Estimate(const TGoGroup& group) const;
    // The rules that fired, in order (for tests and the dump of a single estimate).
    [[nodiscard]] uint8_t Estimate(const TGroupValues& v, std::array<bool, 97>* fired) const;

    // The area status from the 18 shape counters (S, W, S, W, ...).
    [[nodiscard]] static uint8_t ClassifyArea(const TGoArea& area);

    // "tot" .. "sicher", translated in the section "Board" when a table is given; "???" else.
    [[nodiscard]] static std::string StatusText(int status, TLangSup* lang = nullptr);
    // "unbekannt" .. "AugeW", never translated; "???" else.
    [[nodiscard]] static std::string AreaStatusText(int status);

    static constexpr int RuleCount = 96;
};

// The shape counters of one empty point of an area: which of the nine kinds, for black (S) and
// for white (W), the point's neighbourhood shows. Counts: orthogonal (o) and diagonal (d)
// neighbours holding black (b) or white (w) stones or lying off the board (e).
struct TAreaNeighbourhood {
    int bo = 0, bd = 0, wo = 0, wd = 0, eo = 0, ed = 0;
};
// Adds the point's contribution to the 18 counters (S, W, S, W, ...).
void CountAreaShapes(const TAreaNeighbourhood& n, std::array<int32_t, 2 * AreaCounterKinds>& c);

}  // namespace obrin
