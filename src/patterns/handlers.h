// The pattern handlers as data: for each pattern number of the library, the actions its handler
// takes when the pattern fits. A row names spiral cells of the pattern (0 is the anchor); the
// library file "muster.txt" and this table are read side by side, and the loader holds every
// record against the row of its number.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace obrin {

struct TPatterns;

// The intentions an association names; each is followed by a chain name in the goal name. The
// first five name chains of the engine's colour (+1) or of the opponent (-1) as the goal does:
// saving, connecting, shaping, fleeing and ladder prevention are about +1 chains, capturing,
// enclosing and cutting off about -1 chains.
enum class TAssocPrefix : uint8_t {
    KetteRetten,         // save the chain
    KetteFangen,         // capture the chain
    KetteEinschliessen,  // enclose the chain
    Anbinden,            // connect the chain
    Abschneiden,         // cut the chain off
    Formzug,             // shape move for the chain
    Fluchtzug,           // escape move for the chain
    TreppeVerhindern,    // prevent a ladder against the chain
};
constexpr int AssocPrefixCount = 8;
// "KETTE-RETTEN " and so on, with the trailing blank.
[[nodiscard]] const char* AssocPrefixText(TAssocPrefix prefix);
// How many association calls the handlers make per prefix, all handlers together.
[[nodiscard]] int ExpectedAssociations(TAssocPrefix prefix);

enum class TActionKind : uint8_t {
    Associate,           // association: Prefix + chain of cell I, move at cell J
    ConnectPlus,         // SVerbunden := 1 at cell J
    ConnectMinus,        // WVerbunden := 1 at cell J
    Enemies,             // the groups at cells I and J become enemies
    ShortRouteByStatus,  // groups at I and J: a dead one beside an attackable or safe one gets
                         // the short-route flag, either way round
    ShortRouteIfDead,    // the same, only for the group at I
    SafeByConnection,    // the group at J becomes safe when the group at I is safe
    EyeCandidate,        // the group at cell I gets cell J as eye candidate
};

enum class TActionGuard : uint8_t {
    None,
    NoLadderAfterMoveAtJ,  // after +1 plays at cell J the chain of cell I cannot be laddered
    DifferentChains,       // the chains of cells G1 and G2 differ
    DifferentGroups,       // the chains of cells G1 and G2 belong to different groups
};

// One action of one handler.
struct TPatternAction {
    int16_t Number;
    TActionKind Kind;
    TAssocPrefix Prefix;  // associations only
    int8_t I, J;
    TActionGuard Guard = TActionGuard::None;
    int8_t G1 = 0, G2 = 0;  // the cells compared by the chain and group guards
};

// The pattern numbers that have a handler, ascending (228 numbers between 2 and 363).
[[nodiscard]] const std::vector<int>& HandlerNumbers();
[[nodiscard]] bool HasHandler(int number);
// Every action of every handler, ordered by pattern number, each handler's in its order.
[[nodiscard]] std::span<const TPatternAction> PatternActions();

// Holds a library record against the actions of its number: every cell an action reads lies
// inside the record, chain names are read only from cells that hold stones and moves are
// suggested only on empty cells. Empty when the record fits, else the reason.
[[nodiscard]] std::string CheckRecordAgainstHandler(int number, const std::vector<uint8_t>& cells);

// Fills the engine's handler table and sets the record check.
void RegisterPatternHandlers(TPatterns& patterns);

}  // namespace obrin
