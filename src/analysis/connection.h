// The connection search: can the stones of one chain reach a set of target points within a few
// moves, and by which route? A breadth-first wave over the board that steps diagonally where the
// diagonal is not firmly cut. The analysis graph uses it for the escape routes of unsafe groups
// towards safe friends.
#pragma once

#include "board/board.h"

namespace obrin {

class TPositionContext;

class TConnectionSearch {
  public:
    // The wave stops after the round that gives this label.
    static constexpr int MaxLabel = 10;

    // True when a target (1 in targets) is reached from the chain named chainName (a Namensfeld
    // value) within MaxLabel labels, moving as colour. On success Route() holds the way from the
    // chosen target point back to the start chain (possibly empty when the start chain itself
    // touches a target); on failure it is empty. Reads Spielfeld, Namensfeld, Freiheitsfeld and
    // Feldbewertung of the engine.
    [[nodiscard]] bool Search(const TPositionContext& context, int chainName, int colour,
                              const TBoard& targets);

    [[nodiscard]] const TPointList& Route() const { return m_route; }
    // The labels of the last search: 0 untouched, k reached after k - 1 steps.
    [[nodiscard]] const TBoard& Labels() const { return m_labels; }

  private:
    void CollectCandidates(const TPositionContext& context, int colour, const TBoard& targets);
    void TraceBack(const TPositionContext& context, int from);

    TBoard m_labels{};
    TPointList m_candidates;
    TPointList m_route;
};

}  // namespace obrin
