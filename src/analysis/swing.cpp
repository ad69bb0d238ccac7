#include "analysis/swing.h"

#include <cmath>
#include <cstdlib>

#include "board/neighbours.h"

namespace obrin {

namespace {

constexpr int Reach = 4;              // steps influence spreads
constexpr double Softness = 0.5;      // influence that makes a point three quarters owned

double Param(const char* name, double fallback) {
    const char* v = std::getenv(name);
    return v != nullptr ? std::atof(v) : fallback;
}

// How well a point on each line holds as territory (index: distance to the edge).
double LineWeight(int p) {
    static const double weights[] = {Param("SW_L1", 0.5), Param("SW_L2", 0.9),
                                     Param("SW_L3", 1.1), Param("SW_L4", 1.1),
                                     Param("SW_L5", 0.9), Param("SW_L6", 0.7)};
    const int d = MakeMinAbstand()[p];
    return weights[d < 5 ? d : 5];
}

const TBoard& EdgeDistance() {
    static const TBoard d = MakeMinAbstand();
    return d;
}

double Weight(int p) {
    static std::array<double, PointCount> w = [] {
        std::array<double, PointCount> a{};
        for (int q = 0; q < PointCount; ++q) a[q] = LineWeight(q);
        return a;
    }();
    return w[p];
}

double Own(double influence) {
    static const double s = Param("SW_S", Softness);
    return std::tanh(influence / s);
}

}  // namespace

void TSwingEvaluator::Spread(int p, double colour, std::array<double, PointCount>& influence,
                             std::array<int, PointCount>& distance) const {
    int queue[PointCount];
    int head = 0, tail = 0;
    distance[p] = 0;
    queue[tail++] = p;
    double strength = colour;
    int level = 0;
    while (head < tail) {
        const int q = queue[head++];
        if (distance[q] != level) {
            level = distance[q];
            strength = colour / double(1 << level);
        }
        if (q != p) influence[q] += strength;
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

void TSwingEvaluator::Prepare(const TBoard& board, const TBoard& dead) {
    m_influence.fill(0.0);
    std::array<int, PointCount> distance;
    distance.fill(-1);
    for (int p = 0; p < PointCount; ++p) m_open[p] = board[p] == 0 || dead[p] != 0 ? 1 : 0;
    for (int p = 0; p < PointCount; ++p)
        if (m_open[p] == 0) Spread(p, board[p] > 0 ? 1.0 : -1.0, m_influence, distance);
}

double TSwingEvaluator::Ownership(int p) const {
    return Own(m_influence[p]);
}

double TSwingEvaluator::Gain(int p, int colour) const {
    std::array<double, PointCount> added{};
    std::array<int, PointCount> distance;
    distance.fill(-1);
    TSwingEvaluator& self = const_cast<TSwingEvaluator&>(*this);
    const uint8_t wasOpen = self.m_open[p];
    self.m_open[p] = 0;
    Spread(p, colour, added, distance);
    self.m_open[p] = wasOpen;
    const double c = colour;
    double gain = Weight(p) * (1.0 - c * Ownership(p));
    for (int q = 0; q < PointCount; ++q) {
        if (added[q] == 0.0 || m_open[q] == 0 || q == p) continue;
        gain += Weight(q) * c * (Own(m_influence[q] + added[q]) - Own(m_influence[q]));
    }
    const double safety = (1.0 + c * Ownership(p)) / 2.0;
    (void)EdgeDistance;
    return gain * safety;
}

}  // namespace obrin
