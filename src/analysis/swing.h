// The territory swing of a move, in points: what a stone at a point gains for us plus what the
// opponent would gain with a stone there. The territory moves outside the classic engine are
// weighed by it.
//
// Influence spreads from every living stone through the empty points, halving with every step
// (four steps at most; stones take influence but pass none on, and dead stones count as empty
// points). An empty point's ownership is the hyperbolic tangent of its influence, weighted by its
// line: the third and fourth lines hold territory best, the edge and the centre less. A stone's
// gain is the change of the summed ownership it brings, scaled by how safe the stone would be
// there (nothing inside the other side's sphere, half on open ground).
#pragma once

#include <array>

#include "board/board.h"

namespace obrin {

class TSwingEvaluator {
  public:
    // Takes the position (+1 and -1 stones) and how firmly each stone stands, in percent: 100
    // for a settled group, less for one still in the fight, 0 for a dead stone (which counts as
    // an empty point).
    void Prepare(const TBoard& board, const TBoard& firmness);

    // The gain for colour of a stone at the empty point p.
    [[nodiscard]] double Gain(int p, int colour) const;
    // Gain for +1 plus gain for -1.
    [[nodiscard]] double Swing(int p) const { return Gain(p, 1) + Gain(p, -1); }
    // The ownership of p for +1 (-1 .. 1) as the influence stands.
    [[nodiscard]] double Ownership(int p) const;

  private:
    // Adds the influence of a stone at p (strength: signed, +1 for a firm black stone) to
    // influence, spreading through the open points; distance is all -1 and is left so.
    void Spread(int p, double strength, std::array<double, PointCount>& influence,
                std::array<int, PointCount>& distance) const;

    std::array<double, PointCount> m_influence{};
    TBoard m_open{};  // 1 for the empty points and dead stones: where influence spreads
};

}  // namespace obrin
