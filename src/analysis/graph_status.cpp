// The last step of the correction pass outside the classic engine: what the capture search
// proved about single chains settles the status of their groups.
#include <array>

#include "analysis/graph.h"

namespace obrin {

// A group of one chain that the reader captures whatever its owner does is dead, whatever an
// escape route or a weak neighbour promised: those lifts of the correction pass see a way out
// that the reading has already closed. A group the pass called safe but with a chain the reader
// can capture is in a fight: attackable. A group with two eyes keeps its status in both cases.
void TGoGraph::JudgeByReading() {
    std::array<int, PointCount> chains{};  // chains per group, by the group's name
    for (const TGoChain* c = m_chains; c != nullptr; c = c->next) ++chains[c->Group->Name];
    for (const TGoChain* c = m_chains; c != nullptr; c = c->next) {
        TGoGroup& g = *c->Group;
        if (g.TwoEyes) continue;
        if (c->Lost && chains[g.Name] == 1)
            g.CorrectedStatus = StatusDead;
        else if (c->AttackMove >= 0 && g.CorrectedStatus == StatusSafe)
            g.CorrectedStatus = StatusAttackable;
    }
}

}  // namespace obrin
