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

namespace msg {
inline constexpr const char* PoolBoardLeak = "MemoryManager: CountBoardElement";
inline constexpr const char* PoolListLeak = "MemoryManager: CountListElement";
inline constexpr const char* PoolFightLeak = "MemoryManager: CountFightElement";
inline constexpr const char* KeyNotFound = "Key not found";
inline constexpr const char* HashTablesUnbalanced = "TQXHashTable instances not balanced";
inline constexpr const char* IllegalFightResult = "Illegal fightresult";
inline constexpr const char* GameTreeExpected = "GameTree expected";
inline constexpr const char* DebuggerIsNil = "Debugger is nil";
inline constexpr const char* FloatingPointError = "floating-point error in a network";
inline constexpr const char* KlassiFloatingPoint = "Fliesskommafehler in Klassi";
inline constexpr const char* FeedForwardException = "FeedForward: an exception has occurred";
inline constexpr const char* IllegalDataType = "Illegal data type";
}  // namespace msg

}  // namespace obrin
