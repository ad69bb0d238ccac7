// Zobrist hashing of board positions for the tactical searches: the repetition check along a
// line of reading and the transposition table of the bounded reader. Two positions with the
// same stones have the same hash; a collision between different positions is possible but, at
// 64 bits, far rarer than any fault the reading could make otherwise.
#pragma once

#include <array>
#include <cstdint>

#include "board/board.h"

namespace obrin::reading {

namespace detail {

// splitmix64: fixed, well-spread keys without a random generator at start-up.
constexpr uint64_t SplitMix(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

struct TZobristKeys {
    std::array<uint64_t, PointCount> Black{};
    std::array<uint64_t, PointCount> White{};
    std::array<uint64_t, PointCount + 1> Ko{};  // the last key: no ko point
};

constexpr TZobristKeys MakeKeys() {
    TZobristKeys keys;
    uint64_t state = 0x0B1E5EEDULL;
    for (int p = 0; p < PointCount; ++p) {
        keys.Black[p] = SplitMix(state);
        keys.White[p] = SplitMix(state);
    }
    for (int p = 0; p <= PointCount; ++p) keys.Ko[p] = SplitMix(state);
    return keys;
}

inline constexpr TZobristKeys Keys = MakeKeys();

}  // namespace detail

// The hash of the stones on b.
[[nodiscard]] inline uint64_t PositionHash(const TBoard& b) {
    uint64_t h = 0;
    for (int p = 0; p < PointCount; ++p)
        if (b[p] > 0)
            h ^= detail::Keys.Black[p];
        else if (b[p] < 0)
            h ^= detail::Keys.White[p];
    return h;
}

// The hash of the stones and the ko ban: positions that differ only in the ban allow different
// moves and must not share a table entry.
[[nodiscard]] inline uint64_t PositionHash(const TBoard& b, int koX, int koY) {
    const int ko = OnBoard(koX, koY) ? PointIndex(koX, koY) : PointCount;
    return PositionHash(b) ^ detail::Keys.Ko[ko];
}

}  // namespace obrin::reading
