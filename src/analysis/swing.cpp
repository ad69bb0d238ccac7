#include "analysis/swing.h"

#include <algorithm>
#include <cmath>

#include "board/neighbours.h"

namespace obrin {

namespace {

constexpr int Reach = 4;          // steps influence spreads
constexpr double Softness = 0.5;  // the influence that makes a point three quarters owned

// How well a point holds as territory, by its distance to the edge (the first line is 0).
double Weight(int p) {
    static constexpr double byLine[] = {0.5, 0.9, 1.1, 1.1, 0.9, 0.7};
    static const std::array<double, PointCount> weights = [] {
        const TBoard edge = MakeMinAbstand();
        std::array<double, PointCount> w{};
        for (int q = 0; q < PointCount; ++q) w[q] = byLine[std::min(edge[q], 5)];
        return w;
    }();
    return weights[p];
}

double Own(double influence) {
    return std::tanh(influence / Softness);
}

}  // namespace

void TSwingEvaluator::Spread(int p, double strength, std::array<double, PointCount>& influence,
                             std::array<int, PointCount>& distance) const {
    int queue[PointCount];
    int head = 0, tail = 0;
    distance[p] = 0;
    queue[tail++] = p;
    double reaching = strength;
    int level = 0;
    while (head < tail) {
        const int q = queue[head++];
        if (distance[q] != level) {
            level = distance[q];
            reaching = strength / double(1 << level);
        }
        if (q != p) influence[q] += reaching;
        if (level == Reach) continue;
        if (q != p && m_open[q] == 0) continue;  // a stone takes influence and passes none on
        for (int i = 0; i < Neighbours.Count[q]; ++i) {
            const int n = Neighbours.Index[q][i];
            if (distance[n] >= 0) continue;
            distance[n] = level + 1;
            queue[tail++] = n;
        }
    }
    for (int i = 0; i < tail; ++i) distance[queue[i]] = -1;
}

void TSwingEvaluator::Prepare(const TBoard& board, const TBoard& firmness) {
    m_influence.fill(0.0);
    std::array<int, PointCount> distance;
    distance.fill(-1);
    for (int p = 0; p < PointCount; ++p) m_open[p] = board[p] == 0 || firmness[p] == 0 ? 1 : 0;
    for (int p = 0; p < PointCount; ++p)
        if (m_open[p] == 0)
            Spread(p, (board[p] > 0 ? 1.0 : -1.0) * firmness[p] / 100.0, m_influence, distance);
}

double TSwingEvaluator::Ownership(int p) const {
    return Own(m_influence[p]);
}

double TSwingEvaluator::Gain(int p, int colour) const {
    std::array<double, PointCount> added{};
    std::array<int, PointCount> distance;
    distance.fill(-1);
    Spread(p, colour, added, distance);
    const double c = colour;
    double gain = Weight(p) * (1.0 - c * Ownership(p));
    for (int q = 0; q < PointCount; ++q) {
        if (added[q] == 0.0 || m_open[q] == 0 || q == p) continue;
        gain += Weight(q) * c * (Own(m_influence[q] + added[q]) - Own(m_influence[q]));
    }
    const double safety = (1.0 + c * Ownership(p)) / 2.0;
    return gain * safety;
}

}  // namespace obrin
