// The goal catalogue: every concrete goal of the move engine. Goals grow as a tree from a few
// top goals (save or capture a group, conquer territory, play a neutral point, pass) down to
// BESETZEN leaves, each naming one point to occupy (or -1, the pass). Expanding a goal creates
// the goals that serve it and links each of them to itself; the rules decide which goal the
// search expands next.
//
// A goal's name is built from the numbers it is about ("KETTE-RETTEN 42"), so the same intention
// reached from two parents is one goal. Goals keep the numbers as well as the graph records:
// the records are valid for the move the goals were made in, the numbers for good.
#pragma once

#include <cstdint>
#include <string>

#include "goals/goals.h"

namespace obrin {

struct TGoChain;
struct TGoGroup;
class TObrinRuleManager;

// ---- group goals

// A goal about a whole group; the group number names it, so the name stays right after the graph
// is rebuilt.
class TGroupGoal : public TGoal {
  public:
    [[nodiscard]] std::string GetName() const override;
    TGoGroup* Group;
    const int32_t GroupNo;

  protected:
    TGroupGoal(TGoGroup& group, const char* word);

  private:
    const char* m_word;
};

// RETTEN: save an own group. Expands into saving each of its chains, capturing its unsettled
// enemies and, when it can build eyes, making eyes.
class TGoalRetten final : public TGroupGoal {
  public:
    explicit TGoalRetten(TGoGroup& group) : TGroupGoal(group, "RETTEN") {}
    void Expand() override;
};

// FANGEN: capture an enemy group; the mirror image of RETTEN.
class TGoalFangen final : public TGroupGoal {
  public:
    explicit TGoalFangen(TGoGroup& group) : TGroupGoal(group, "FANGEN") {}
    void Expand() override;
};

// AUGEN-MACHEN: make eyes for a group: eye moves on and next to its region.
class TGoalAugenMachen final : public TGroupGoal {
  public:
    explicit TGoalAugenMachen(TGoGroup& group) : TGroupGoal(group, "AUGEN-MACHEN") {}
    void Expand() override;
};

// ---- chain goals: the chain number names the chain; Chain is its graph record (null when the
// creator had none)

class TChainGoal : public TGoal {
  public:
    TChainGoal(int32_t chainNo, TGoChain* chain) : ChainNo(chainNo), Chain(chain) {}
    const int32_t ChainNo;
    TGoChain* Chain;

  protected:
    // keyword + " " + chain number
    [[nodiscard]] std::string ChainName(const char* keyword) const;
    // The pattern-move goals the associations suggest for this goal.
    void ExpandPatterns();
};

// KETTE-RETTEN: save a chain.
class TGoalKetteRetten final : public TChainGoal {
  public:
    using TChainGoal::TChainGoal;
    [[nodiscard]] std::string GetName() const override { return ChainName("KETTE-RETTEN"); }
    void Expand() override;
};

// KETTE-FANGEN: capture a chain.
class TGoalKetteFangen final : public TChainGoal {
  public:
    using TChainGoal::TChainGoal;
    [[nodiscard]] std::string GetName() const override { return ChainName("KETTE-FANGEN"); }
    void Expand() override;
};

// The chain goals whose expansion is only what the patterns suggest for them.
class TGoalKetteEinschliessen final : public TChainGoal {  // enclose a chain
  public:
    using TChainGoal::TChainGoal;
    [[nodiscard]] std::string GetName() const override { return ChainName("KETTE-EINSCHLIESSEN"); }
    void Expand() override { ExpandPatterns(); }
};
class TGoalFormzug final : public TChainGoal {  // a move that gives a chain good shape
  public:
    using TChainGoal::TChainGoal;
    [[nodiscard]] std::string GetName() const override { return ChainName("FORMZUG"); }
    void Expand() override { ExpandPatterns(); }
};
class TGoalFluchtzug final : public TChainGoal {  // run out with a chain
  public:
    using TChainGoal::TChainGoal;
    [[nodiscard]] std::string GetName() const override { return ChainName("FLUCHTZUG"); }
    void Expand() override { ExpandPatterns(); }
};
class TGoalAnbinden final : public TChainGoal {  // connect a chain to its friends
  public:
    using TChainGoal::TChainGoal;
    [[nodiscard]] std::string GetName() const override { return ChainName("ANBINDEN"); }
    void Expand() override { ExpandPatterns(); }
};
class TGoalAbschneiden final : public TChainGoal {  // cut a chain off from its friends
  public:
    using TChainGoal::TChainGoal;
    [[nodiscard]] std::string GetName() const override { return ChainName("ABSCHNEIDEN"); }
    void Expand() override { ExpandPatterns(); }
};

// TREPPE-VERHINDERN: keep a chain from being caught in a ladder: connect it, or what the
// patterns suggest.
class TGoalTreppeVerhindern final : public TChainGoal {
  public:
    using TChainGoal::TChainGoal;
    [[nodiscard]] std::string GetName() const override { return ChainName("TREPPE-VERHINDERN"); }
    void Expand() override;
};

// ---- move goals: one intention at one point; each expands into at most one BESETZEN

// A chain goal with the move it proposes ("ATARI-RETTEN 42 43": chain 42, move at 43).
class TChainMoveGoal : public TChainGoal {
  public:
    TChainMoveGoal(int32_t chainNo, int32_t move, TGoChain* chain)
        : TChainGoal(chainNo, chain), Move(move) {}
    const int32_t Move;

  protected:
    [[nodiscard]] std::string ChainMoveName(const char* keyword) const;
};

class TGoalAtariRetten final : public TChainMoveGoal {  // save a chain from atari
  public:
    using TChainMoveGoal::TChainMoveGoal;
    [[nodiscard]] std::string GetName() const override { return ChainMoveName("ATARI-RETTEN"); }
    void Expand() override;
};
class TGoalFreiheitenVermehren final : public TChainMoveGoal {  // give a chain liberties
  public:
    using TChainMoveGoal::TChainMoveGoal;
    [[nodiscard]] std::string GetName() const override {
        return ChainMoveName("FREIHEITEN-VERMEHREN");
    }
    void Expand() override;
};
class TGoalFreiheitWegnehmen final : public TChainMoveGoal {  // take a liberty of a chain
  public:
    using TChainMoveGoal::TChainMoveGoal;
    [[nodiscard]] std::string GetName() const override {
        return ChainMoveName("FREIHEIT-WEGNEHMEN");
    }
    void Expand() override;
};
class TGoalTreppenZug final : public TChainMoveGoal {  // start the ladder that captures a chain
  public:
    using TChainMoveGoal::TChainMoveGoal;
    [[nodiscard]] std::string GetName() const override { return ChainMoveName("TREPPENZUG"); }
    void Expand() override;
};
class TGoalTreppenDroher final : public TChainMoveGoal {  // threaten a ladder against a chain
  public:
    using TChainMoveGoal::TChainMoveGoal;
    [[nodiscard]] std::string GetName() const override { return ChainMoveName("TREPPENDROHER"); }
    void Expand() override;
};

// ESCAPEMOVE-S / -W: a point of a group's escape route, to run out (S, own chain) or to block
// (W, enemy chain).
class TGoalEscapeMoveS final : public TGoal {
  public:
    TGoalEscapeMoveS(int32_t point, int32_t chainNo, TGoChain* chain)
        : Point(point), ChainNo(chainNo), Chain(chain) {}
    [[nodiscard]] std::string GetName() const override;
    void Expand() override;
    const int32_t Point;
    const int32_t ChainNo;
    TGoChain* Chain;
};
class TGoalEscapeMoveW final : public TGoal {
  public:
    TGoalEscapeMoveW(int32_t point, int32_t chainNo, TGoChain* chain)
        : Point(point), ChainNo(chainNo), Chain(chain) {}
    [[nodiscard]] std::string GetName() const override;
    void Expand() override;
    const int32_t Point;
    const int32_t ChainNo;
    TGoChain* Chain;
};

// BRUTE-FORCE-MOVE: the move the capture search found for a chain (to save or to capture it).
class TGoalBruteForceMove final : public TGoal {
  public:
    TGoalBruteForceMove(int32_t point, int32_t chainNo) : Point(point), ChainNo(chainNo) {}
    [[nodiscard]] std::string GetName() const override;
    void Expand() override;
    const int32_t Point;
    const int32_t ChainNo;
};

// AUGENZUG: a move that makes an eye for a group.
class TGoalAugenzug final : public TGoal {
  public:
    TGoalAugenzug(int32_t point, TGoGroup& group) : Point(point), Group(&group) {}
    [[nodiscard]] std::string GetName() const override;
    void Expand() override;
    const int32_t Point;
    TGoGroup* Group;
};

// MUSTERZUG: a move a pattern suggests; Value is the strategic value of what it serves.
class TGoalMusterzug final : public TGoal {
  public:
    TGoalMusterzug(int32_t patternNo, int32_t point, int32_t value)
        : PatternNo(patternNo), Point(point), Value(value) {}
    [[nodiscard]] std::string GetName() const override;
    void Expand() override;
    const int32_t PatternNo;
    const int32_t Point;
    const int32_t Value;
};

// GEBIETSZUG: a move that takes territory; the class is the point's territory value scaled to
// -10 .. 50, -1 for a point that only fills in between own living groups.
class TGoalGebietszug final : public TGoal {
  public:
    TGoalGebietszug(int32_t point, int32_t territoryClass, double territoryValue)
        : Point(point), TerritoryClass(territoryClass), TerritoryValue(territoryValue) {}
    [[nodiscard]] std::string GetName() const override;
    void Expand() override;
    const int32_t Point;
    const int32_t TerritoryClass;
    const double TerritoryValue;
};

// DRINGEND: a move that cannot wait: it saves a chain of ours in atari that matters, or takes a
// chain of the opponent's in atari that could still run away. Made outside the classic engine
// only; Value is what is at stake (three points a stone, five more for a cutting stone).
class TGoalDringend final : public TGoal {
  public:
    TGoalDringend(int32_t point, int32_t value) : Point(point), Value(value) {}
    [[nodiscard]] std::string GetName() const override;
    void Expand() override;
    const int32_t Point;
    const int32_t Value;
};

// VORHERSAGE: a point the move predictor expects a strong player to choose here. Made outside
// the classic engine only; Value is the predicted probability in millionths.
class TGoalVorhersage final : public TGoal {
  public:
    TGoalVorhersage(int32_t point, int32_t value) : Point(point), Value(value) {}
    [[nodiscard]] std::string GetName() const override;
    void Expand() override;
    const int32_t Point;
    const int32_t Value;
};

// BESETZEN: occupy a point (-1: pass). Selecting one ends the search.
class TGoalBesetzen final : public TGoal {
  public:
    explicit TGoalBesetzen(int32_t point) : Point(point) {}
    [[nodiscard]] std::string GetName() const override;
    void Expand() override {}
    const int32_t Point;
};

// ---- the permanent goals: one of each lives as long as the manager

// GEBIET-EROBERN: conquer territory: a GEBIETSZUG on every point worth it.
class TGoalGebietErobern final : public TGoal {
  public:
    [[nodiscard]] std::string GetName() const override { return "GEBIET-EROBERN"; }
    void Expand() override;
};
// NEUTRALZUG: occupy a neutral point (dame between living groups).
class TGoalNeutralzug final : public TGoal {
  public:
    [[nodiscard]] std::string GetName() const override { return "NEUTRALZUG"; }
    void Expand() override;
};
// VERZICHTEN: pass.
class TGoalVerzichten final : public TGoal {
  public:
    [[nodiscard]] std::string GetName() const override { return "VERZICHTEN"; }
    void Expand() override;
};

// Is goal of one of the classes that live for one move only (all but the permanent three)?
[[nodiscard]] bool IsTransientGoal(const TGoal& goal);

}  // namespace obrin
