// The last steps of the correction pass outside the classic engine: what the capture search
// proved about single chains settles the status of their groups, and random playouts settle
// the groups the pass left in the middle.
#include <array>

#include "analysis/analysis_context.h"
#include "analysis/graph.h"
#include "board/playouts.h"

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

// A group left "rettbar" or "angreifbar" is judged by who owns its stones at the end of random
// playouts from the position (the same playouts as the count of a finished game, fewer of
// them): when the opponent owns them in most playouts it is dead, when its owner keeps them in
// nearly all it is safe. Between the two it stays in the fight. The thresholds leave critical
// groups (whoever moves first decides them) in the middle: their stones end owned by either side.
void TGoGraph::JudgeByPlayouts() {
    bool unsettled = false;
    for (const TGoGroup* g = m_groups; g != nullptr && !unsettled; g = g->next)
        unsettled = IsUnsettled(*g) && !g->TwoEyes;
    if (!unsettled) return;
    const TOwnership own = PlayOut(m_context.Fields.Spielfeld, StatusPlayouts, StatusPlayoutSeed);
    for (TGoGroup* g = m_groups; g != nullptr; g = g->next) {
        if (!IsUnsettled(*g) || g->TwoEyes) continue;
        double kept = 0;
        for (const TGoStone* st = g->Steine; st != nullptr; st = st->next)
            kept += own.Owner[st->Point] * g->Typ;
        kept /= g->Anzahl;
        if (kept < LostOwnership) g->CorrectedStatus = StatusDead;
        if (kept >= KeptOwnership) g->CorrectedStatus = StatusSafe;
    }
}

}  // namespace obrin
