// The analysis graph (TGoGraph): the engine's model of the position above single chains. From
// the board, the analysis fields and the point classifier's output it builds groups (stones that
// share one fate, with liberties, strength, eye cost, escape route and status), every chain with
// its reading results, and the empty areas with their shapes. Patterns, goals and the move driver
// read it.
//
// Every record comes from the graph's free lists and goes back to them at the start of the next
// build; readers must not keep references across a build. Invariants after a build: every stone
// belongs to exactly one chain and one group; a group has at least one stone; the enemy relation
// is symmetric and has no duplicates.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "analysis/connection.h"
#include "analysis/grpstat.h"
#include "board/board.h"

namespace obrin {

class TAnalysisContext;
struct TGoGroup;

// TGoStone: one stone of a group.
struct TGoStone {
    int32_t Point = -1;
    TGoStone* next = nullptr;
};

// TGoGroupLink: an entry of a group's enemy list.
struct TGoGroupLink {
    TGoGroup* Group = nullptr;
    TGoGroupLink* next = nullptr;
};

// TGoGroup (Gruppe): friendly stones that share one fate, with the points of their region.
struct TGoGroup {
    TGoGroup* next = nullptr;
    uint8_t CorrectedStatus = 0;  // the working status of the correction pass
    uint8_t Status = 0;           // 0 "tot", 1 "rettbar", 2 "angreifbar", 3 "sicher"
    bool ShortRoute = false;      // an escape route of fewer than 4 points was found
    bool TwoEyes = false;         // the correction pass proved two eyes: it lives whatever else
    int32_t Name = 10000;         // smallest chain name of its stones
    int32_t Typ = 0;              // 1 black (+1), -1 white
    int32_t Freiheitswert = 0;    // distinct empty points next to its stones
    int32_t ResponseLiberties = 2147483647;
    int32_t Anzahl = 0;  // stones
    int32_t StaerkeMaximum = 0;
    int32_t StaerkeSumme = 0;
    int32_t AugenSumme = 0;
    int32_t Augenzahl = 0;       // adjacent points with an eye value of at least 667
    int32_t AugenBauKosten = 0;  // cost of building two eyes
    int32_t FeldstaerkeLiberties = 0;
    std::array<int32_t, 10> SpektrumLib1{};  // strongest first liberties, descending
    std::array<int32_t, 10> SpektrumLib2{};  // strongest second liberties, descending
    std::array<int32_t, 10> EscapeRoute{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    int32_t LokalWert = 0;
    int32_t StrategieWert = 0;
    TGoStone* Steine = nullptr;      // stones, newest first
    TPointList Punkte;               // the region, stones included
    TGoGroupLink* Feinde = nullptr;  // enemy groups
    int32_t Auge1 = -1, Auge2 = -1;  // eye candidates
};

// TGoChain (Kette): one chain of the board.
struct TGoChain {
    int32_t Name = -1;  // its Namensfeld value
    TGoGroup* Group = nullptr;
    int32_t Liberties = 0;
    int32_t ResponseLiberties = 0;
    int32_t FeldstaerkeLiberties = 0;
    int32_t Strength = 0;
    int32_t DefenseMove = -1;  // a point that saves it, -1 when none was found
    int32_t AttackMove = -1;   // a point that captures it, -1 when none was found
    bool Lost = false;         // the reader captures it and proves that no defence saves it
    TGoChain* next = nullptr;
};

// TGoArea (Flaeche): a connected region of empty points and its shape.
struct TGoArea {
    int32_t Name = -1;  // the first point found
    int32_t Size = 0;
    std::array<int32_t, 2 * AreaCounterKinds> Counters{};  // S, W, S, W, ...
    uint8_t Status = 0;
    TGoArea* next = nullptr;
};

// A free list of one record kind: records are created once and recycled from build to build;
// taking one re-initialises it completely.
template <typename T>
class TFreeList {
  public:
    [[nodiscard]] T* Take() {
        if (m_free == nullptr) {
            m_all.push_back(std::make_unique<T>());
            return m_all.back().get();
        }
        T* record = m_free;
        m_free = record->next;
        *record = T{};
        return record;
    }
    void Give(T* record) {
        record->next = m_free;
        m_free = record;
    }
    [[nodiscard]] size_t Created() const { return m_all.size(); }

  private:
    std::vector<std::unique_ptr<T>> m_all;
    T* m_free = nullptr;
};

class TGoGraph {
  public:
    explicit TGoGraph(TAnalysisContext& context);
    ~TGoGraph();
    TGoGraph(const TGoGraph&) = delete;
    TGoGraph& operator=(const TGoGraph&) = delete;

    // The build from the current position, in three steps that the staged analysis runs in
    // this order, with the pattern matcher between the first two (its handlers link enemies, add
    // eye candidates, set short routes and raise status through the graph's look-ups). Needs the
    // point classification, Namensfeld, Freiheitsfeld and the cut analysis of that position.
    // BuildGroupsAndChains throws EObrinError "EObrGroupNotFound (...)" when a chain lies in no
    // group. The graph describes the position (BuiltFor) once ComputeStrategicValues has run.
    void BuildGroupsAndChains();    // steps 1 to 10: groups, chains, liberties, eye cost, status
    void CorrectAfterPatterns();    // steps 12 and 13: escape routes, the correction pass
    void ComputeStrategicValues();  // step 14
    [[nodiscard]] int32_t NeighbourShare(const TGoGroup& group, const TGoGroup& neighbour) const;
    // Rebuilds the area list from the current position.
    void BuildAreas();
    // The text of "ketten.txt": every group, chain and area.
    [[nodiscard]] std::string DumpText() const;
    // Writes DumpText() to "ketten.txt" in the program's directory.
    void DumpToFile() const;

    // Whether the last complete Build was of position (the graph describes it).
    [[nodiscard]] bool BuiltFor(const TBoard& position) const {
        return m_built && m_position == position;
    }

    [[nodiscard]] TGoGroup* Groups() const { return m_groups; }
    [[nodiscard]] TGoChain* Chains() const { return m_chains; }
    [[nodiscard]] TGoArea* Areas() const { return m_areas; }

    // Look-ups. FindGroupOfStone and FindChain throw EObrinError "EObrGroupNotFound (p)" and
    // "EObrChainNotFound (name)"; GroupAtPoint returns null where no group has a stone.
    [[nodiscard]] TGoGroup& FindGroupOfStone(int point) const;
    [[nodiscard]] TGoChain& FindChain(int name) const;
    [[nodiscard]] TGoGroup* GroupAtPoint(int point) const;
    // Makes a and b enemies of each other (each link once).
    void AddEnemies(TGoGroup& a, TGoGroup& b);
    // Records point as an eye candidate of group: Auge1 first, Auge2 only away from Auge1.
    static void AddEyeCandidate(TGoGroup& group, int point);
    // Whether the correction pass has left the group in the fight ("rettbar" or "angreifbar").
    [[nodiscard]] static bool IsUnsettled(const TGoGroup& group) {
        return InTheFight(group.CorrectedStatus);
    }
    // The playouts that judge the groups left in the fight, and the mean ownership of a group's
    // stones (from its owner's side, -1 .. +1) below which it is dead and from which it is safe.
    static constexpr int StatusPlayouts = 32;
    static constexpr uint64_t StatusPlayoutSeed = 1;
    static constexpr double LostOwnership = -0.4;
    static constexpr double KeptOwnership = 0.8;
    [[nodiscard]] static bool IsSmallGroup(const TGoGroup& group) { return group.Anzahl < 4; }
    // Raises the group's status (and its corrected status) to at least status.
    static void RaiseStatus(TGoGroup& group, uint8_t status);

    [[nodiscard]] int GroupCount() const;
    [[nodiscard]] int ChainCount() const;
    // Records ever created, all kinds (a fixed number after warm-up).
    [[nodiscard]] size_t RecordsCreated() const;

    TBoard LivingMap{};  // the Typ of every stone of a living group, 0 elsewhere
    TBoard& ScoreField;  // influence of the living stones (kept with the territory evaluator)
    TConnectionSearch Connection;

    // The capture search on every chain (part of the correction pass).
    void ReadChains();

  private:
    struct TScratch;

    void Recycle();
    void CorrectConnections();
    void BuildGroupsOfColour(int colour);
    void BuildChains();
    void MeasureLiberties(TGoGroup& g);
    void MeasureEyeCost(TGoGroup& g);
    void FindEscapeRoutes(int colour);
    void CorrectStatus();
    void GiveUpSmallOrStrengthenEnemies(TGoGroup& g);
    void PutContactsOfDeadGroupsInFight();
    void JudgeByReading();
    void JudgeByPlayouts();
    // Shows the progress text of a stage (0 to 5, in build order) through the host.
    void Progress(int stage);

    TAnalysisContext& m_context;
    TGoGroup* m_groups = nullptr;
    TGoChain* m_chains = nullptr;
    TGoArea* m_areas = nullptr;
    TFreeList<TGoGroup> m_freeGroups;
    TFreeList<TGoChain> m_freeChains;
    TFreeList<TGoGroupLink> m_freeLinks;
    TFreeList<TGoStone> m_freeStones;
    TFreeList<TGoArea> m_freeAreas;
    std::array<TGoGroup*, PointCount> m_groupAt{};
    std::unique_ptr<TScratch> m_scratch;
    TBoard m_position{};   // the position of the last complete Build
    bool m_built = false;  // false while a build runs and after one that failed
};

// The strategy field: the StrategieWert of living groups at their stones, spread 38 rounds.
void ComputeStrategyField(const TGoGraph& graph, TBoard& field);
// The neutral field: 1 where both colours' living groups reach over empty points (all 1 on an
// empty board).
void ComputeNeutralField(const TGoGraph& graph, const TBoard& spielfeld, TBoard& neutral);

}  // namespace obrin
