// Ladder reading (Treppe = ladder) and the small tactical tests built on it: rescue candidates of
// a chain in atari, liberty-gaining moves, the playability test, ladder-capturing moves, the cut
// analysis and the two-move liberty estimate. Every function works on copies of the board it is
// given and never changes it; ko points are passed by value.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>

#include "board/board.h"

namespace obrin {

class TReader;

// TTreppe: the ladder reader's frame stack, kept in memory. Each level of the ladder owns one
// frame (liberties, escapes, the position after the attack and after the escape). The depth
// gauge counts pushed frames the way the reader pushes them (one per attack tried, one per legal
// attack, one per escape tried), and a search stops at MaxFrames. Between two top-level ladder
// questions the gauge is back at 0.
class TTreppe {
  public:
    static constexpr int MaxFrames = 400;

    struct TFrame {
        TPointList Libs;     // the liberties of the chain being laddered
        TPointList Escapes;  // the defender's rescue candidates after the attack
        TBoard Board;        // the position after the attack
        TBoard EscapeBoard;  // the position after the escape being tried
    };

    TTreppe();

    // Frames pushed at present (the depth gauge).
    [[nodiscard]] int Frames() const { return m_frames; }
    // Lets a test start a question as if the reader were already this many frames deep.
    void PresetFramesForTest(int frames) { m_frames = frames; }

    // True when a ladder read under a TLadderStop was cut short by its stop time or a stop
    // request. Its answer (-1) then says nothing, and the caller must not trust its own either.
    [[nodiscard]] bool CutShort() const { return m_cutShort; }

  private:
    friend class TLadderReader;
    friend class TLadderStop;
    // Levels a search can reach: a level pushes at most three frames below the limit.
    static constexpr int MaxLevels = MaxFrames / 3 + 2;
    std::unique_ptr<std::array<TFrame, MaxLevels>> m_levels;
    int m_level = 0;
    int m_frames = 0;
    uint64_t m_stopAt = UINT64_MAX;  // the reader's clock; UINT64_MAX: read every ladder out
    bool m_cutShort = false;
    uint32_t m_polls = 0;
};

// While it lives, ladders give up at stopAt on the reader's clock (or at the host's stop
// request) and answer -1 with CutShort set, so that a search that must answer in time is not
// held up by a ladder branching across a crowded board. Scopes nest: the earlier stop time
// holds, and leaving a scope restores the outer one's stop time and flag.
class TLadderStop {
  public:
    TLadderStop(TTreppe& treppe, uint64_t stopAt)
        : m_treppe(treppe), m_savedStopAt(treppe.m_stopAt), m_savedCutShort(treppe.m_cutShort) {
        m_treppe.m_stopAt = std::min(m_treppe.m_stopAt, stopAt);
        m_treppe.m_cutShort = false;
        m_treppe.m_polls = 0;
    }
    TLadderStop(const TLadderStop&) = delete;
    TLadderStop& operator=(const TLadderStop&) = delete;
    ~TLadderStop() {
        m_treppe.m_stopAt = m_savedStopAt;
        m_treppe.m_cutShort = m_savedCutShort;
    }

  private:
    TTreppe& m_treppe;
    const uint64_t m_savedStopAt;
    const bool m_savedCutShort;
};

// The moves that save the chain at (x, y) from atari: captures of adjacent chains in atari first
// (in the order of the points next to the chain), then the extension on its own liberty. Empty
// unless the chain has exactly one liberty. Every move listed is legal with the given ko point.
void RescueCandidates(const TBoard& b, int x, int y, int koX, int koY, TPointList& moves);

// The moves after which the chain at (x, y) has more liberties than now: captures of adjacent
// chains in atari, then each of its liberties in list order.
void LibertyGainMoves(const TBoard& b, int x, int y, int koX, int koY, TPointList& moves);

// Legal, not a self-atari (unless it takes a ko) and not caught in a ladder.
[[nodiscard]] bool IsPlayable(TReader& reader, int x, int y, int colour, int koX, int koY,
                              const TBoard& b);

// Plays (x, y, colour) on a copy when legal (false if not), then asks IsPlayable for
// (x2, y2, colour2) with the ko point after the first move.
[[nodiscard]] bool IsPlayableAfter(TReader& reader, int x, int y, int colour, int x2, int y2,
                                   int colour2, int koX, int koY, const TBoard& b);

// True when one of the chain's rescue candidates is playable for the chain's colour.
[[nodiscard]] bool CanEscape(TReader& reader, const TBoard& b, int x, int y, int koX, int koY);

// The point index of an attacking move that captures the two-liberty chain at (x, y) in a
// ladder, or -1. A ladder that reaches the depth limit counts as working.
[[nodiscard]] int Ladder(TReader& reader, int x, int y, const TBoard& b, int koX, int koY);

// Ladder after (mx, my, mColour) has been played on a copy (when legal; otherwise on the position
// as it is).
[[nodiscard]] int LadderAfterMove(TReader& reader, int x, int y, int mx, int my, int mColour,
                                  const TBoard& b, int koX, int koY);

// Plays (x, y, colour) on a copy when legal (false if not) and tells whether the chain at
// (x2, y2) is then caught in a ladder.
[[nodiscard]] bool IsLadderCapturedAfter(TReader& reader, int x, int y, int colour, int x2, int y2,
                                         int koX, int koY, const TBoard& b);

// The attacking moves that catch the two-liberty chain at (x, y) in a ladder; returns their
// number (0 when the chain does not have two liberties).
int LadderMoves(TReader& reader, int x, int y, const TBoard& b, int koX, int koY,
                TPointList& moves);

// Fills SVerbunden and WVerbunden from Spielfeld: a cut point whose cutting stone would be lost
// is marked 1. Points that are not marked keep their value.
void CutAnalysis(TReader& reader);

// The liberties the chain at (x, y) keeps against the best attack on one of its liberties with
// the best liberty-gaining answer; 0 when an attack captures it, INT32_MAX when no attack is
// legal.
[[nodiscard]] int ResponseLiberties(int x, int y, int koX, int koY, const TBoard& b);

}  // namespace obrin
