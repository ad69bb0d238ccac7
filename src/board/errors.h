// The one exception family of the engine and the fixed message texts it carries. Tests compare
// against these constants, so the texts live in exactly one place.
#pragma once

#include <stdexcept>
#include <string>

namespace obrin {

class EObrinError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A network computed a value that is not finite (overflow, NaN weights).
class EFloatingPoint : public EObrinError {
  public:
    using EObrinError::EObrinError;
};

// The user stopped the computer while it was thinking; the game loop ends without a move.
class EObrinStopped : public EObrinError {
  public:
    EObrinStopped() : EObrinError("stopped") {}
};

namespace msg {
inline constexpr const char* PoolBoardLeak = "MemoryManager: CountBoardElement";
inline constexpr const char* PoolListLeak = "MemoryManager: CountListElement";
inline constexpr const char* PoolFightLeak = "MemoryManager: CountFightElement";
inline constexpr const char* KeyNotFound = "Key not found";
inline constexpr const char* HashTablesUnbalanced = "TQXHashTable instances not balanced";
inline constexpr const char* IllegalFightResult = "Illegal fightresult";
inline constexpr const char* GameTreeExpected = "GameTree expected";
inline constexpr const char* DebuggerIsNil = "Debugger is nil";
// The goal engine.
inline constexpr const char* Expand = "Expand";
inline constexpr const char* GoalIsLinkedPrefix = "Goal <";  // + name +
inline constexpr const char* GoalIsLinkedSuffix = "> is linked";
inline constexpr const char* GoalListLeak = "RuleManager: CountGoalList";
// The analysis graph's look-ups: the prefix, then the point or name and ")".
inline constexpr const char* GroupNotFound = "EObrGroupNotFound (";
inline constexpr const char* ChainNotFound = "EObrChainNotFound (";
// Game records.
inline constexpr const char* SgfDataLeak = "countSgfData <> 0";
inline constexpr const char* SgfListLeak = "countSgfMultiPurposeList <> 0";
inline constexpr const char* SgfConsistency = "Consistency violation SGF";  // + code
inline constexpr const char* SgfUnhandled = "Unhandled ";                   // + kind name
inline constexpr const char* SgfParserActive = " is active!";               // name +
inline constexpr const char* SgfNoParser = " has no valid SgfParser";       // name +
inline constexpr const char* SgfBoardSize =
    "%s: game %lld has board size %s; only 19x19 games can be replayed";
inline constexpr const char* SgfSkippedText =
    "Skipped text outside the game trees, line %lld, column %lld, file %s";
inline constexpr const char* FloatingPointError = "floating-point error in a network";
inline constexpr const char* KlassiFloatingPoint = "Fliesskommafehler in Klassi";
inline constexpr const char* FeedForwardException = "FeedForward: an exception has occurred";
inline constexpr const char* IllegalDataType = "Illegal data type";
}  // namespace msg

}  // namespace obrin
