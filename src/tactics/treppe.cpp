#include "tactics/treppe.h"

#include <algorithm>
#include <cassert>
#include <climits>

#include "board/chains.h"
#include "tactics/reader.h"
#include "tactics/reading_kit.h"

namespace obrin {

using reading::IsLegalOn;
using reading::LibertiesUpTo;
using reading::SoleLiberty;

namespace {

bool Contains(const TPointList& list, TPoint p) {
    return std::find(list.begin(), list.end(), p) != list.end();
}

TPoint PointAt(int index) {
    return TPoint{PointColumn(index), PointRow(index)};
}

// Plays move for colour on a copy of b with its own ko pair and keeps it when the chain at
// target then has more than minLibs liberties. Each trial starts from the ko point given, so an
// earlier trial's capture cannot lift or move the ko ban of a later one.
void TryGain(const TBoard& b, int target, TPoint move, int colour, int koX, int koY, int minLibs,
             TPointList& moves) {
    if (Contains(moves, move) || !IsLegalOn(b, move.X, move.Y, colour, koX, koY)) return;
    TBoard copy = b;
    int32_t kx = koX, ky = koY;
    PlayMove(move.X, move.Y, colour, copy, kx, ky);
    if (LibertiesUpTo(copy, target, minLibs) > minLibs) moves.Items[moves.Count++] = move;
}

// The captures of adjacent chains in atari that leave the chain at (x, y) with more than minLibs
// liberties, in the order of the points next to the chain.
void CaptureGains(const TBoard& b, int x, int y, int koX, int koY, int minLibs, TPointList& moves) {
    thread_local TPointList adjacent;
    const int target = PointIndex(x, y);
    const int32_t colour = b[target];
    reading::AdjacentPoints(b, x, y, adjacent);
    for (const TPoint& a : adjacent) {
        const int p = PointIndex(a.X, a.Y);
        if (b[p] != -colour) continue;
        const int liberty = SoleLiberty(b, p);
        if (liberty >= 0) TryGain(b, target, PointAt(liberty), colour, koX, koY, minLibs, moves);
    }
}

}  // namespace

TTreppe::TTreppe() : m_levels(std::make_unique<std::array<TFrame, MaxLevels>>()) {}

// The recursive ladder search over the reader's frame stack. One level per attack-and-escape
// step; the frame counter moves exactly as the frames are pushed and popped.
class TLadderReader {
  public:
    explicit TLadderReader(TReader& reader) : m_reader(reader), m_treppe(reader.Treppe) {}

    int Read(int x, int y, const TBoard& b, int koX, int koY) {
        if (m_treppe.m_frames > TTreppe::MaxFrames || StopReached()) return -1;
        const int target = PointIndex(x, y);
        const int32_t colour = b[target];
        if (colour == 0) return -1;
        assert(m_treppe.m_level < TTreppe::MaxLevels);
        TTreppe::TFrame& frame = (*m_treppe.m_levels)[m_treppe.m_level++];
        int result = -1;
        if (GetLiberties(x, y, b, frame.Libs) == 2) {
            bool established = false;
            for (int i = 0; i < 2 && !established; ++i) {
                ++m_treppe.m_frames;
                established = TryAttack(frame, frame.Libs[i], x, y, colour, b, koX, koY, result);
                --m_treppe.m_frames;
            }
        }
        --m_treppe.m_level;
        m_reader.ShowIntermediate(m_reader.Context.Fields.Spielfeld);
        return result;
    }

  private:
    // Reading the clock costs more than a ladder step, so it is read every few levels.
    static constexpr uint32_t kClockInterval = 16;

    // Has the stop time of a TLadderStop passed? Once it has, every level answers at once.
    bool StopReached() {
        if (m_treppe.m_cutShort) return true;
        if (m_treppe.m_stopAt == UINT64_MAX || m_treppe.m_polls++ % kClockInterval != 0)
            return false;
        m_treppe.m_cutShort = m_reader.NowMs() >= m_treppe.m_stopAt || m_reader.Context.Host.IsLocked();
        return m_treppe.m_cutShort;
    }

    // One attack on a liberty; true when it establishes the capture. result is set also when
    // the defender simply has no escape, which a later attack may still overwrite.
    bool TryAttack(TTreppe::TFrame& frame, TPoint attack, int x, int y, int colour, const TBoard& b,
                   int koX, int koY, int& result) {
        if (!IsLegalOn(b, attack.X, attack.Y, -colour, koX, koY)) return false;
        ++m_treppe.m_frames;
        frame.Board = b;
        int32_t kx = koX, ky = koY;
        PlayMove(attack.X, attack.Y, -colour, frame.Board, kx, ky);
        ++m_reader.Nodes;
        m_reader.ShowIntermediate(frame.Board);
        RescueCandidates(frame.Board, x, y, kx, ky, frame.Escapes);
        const int attackIndex = PointIndex(attack.X, attack.Y);
        bool established = false;
        if (frame.Escapes.Count == 0 || m_treppe.m_frames > TTreppe::MaxFrames) {
            result = attackIndex;
        } else {
            int refuted = 0;
            for (int j = 0; j < frame.Escapes.Count && refuted == 0; ++j) {
                ++m_treppe.m_frames;
                const TPoint escape = frame.Escapes[j];
                frame.EscapeBoard = frame.Board;
                int32_t ex = kx, ey = ky;
                PlayMove(escape.X, escape.Y, colour, frame.EscapeBoard, ex, ey);
                ++m_reader.Nodes;
                m_reader.ShowIntermediate(frame.EscapeBoard);
                if (Read(x, y, frame.EscapeBoard, ex, ey) < 0) ++refuted;
                --m_treppe.m_frames;
            }
            if (refuted == 0 || m_treppe.m_frames > TTreppe::MaxFrames) {
                result = attackIndex;
                established = true;
            }
        }
        --m_treppe.m_frames;
        return established;
    }

    TReader& m_reader;
    TTreppe& m_treppe;
};

void RescueCandidates(const TBoard& b, int x, int y, int koX, int koY, TPointList& moves) {
    moves.Count = 0;
    const int target = PointIndex(x, y);
    if (b[target] == 0) return;
    const int liberty = SoleLiberty(b, target);
    if (liberty < 0) return;
    CaptureGains(b, x, y, koX, koY, 1, moves);
    TryGain(b, target, PointAt(liberty), b[target], koX, koY, 1, moves);
}

void LibertyGainMoves(const TBoard& b, int x, int y, int koX, int koY, TPointList& moves) {
    thread_local TPointList libs;
    moves.Count = 0;
    const int target = PointIndex(x, y);
    if (b[target] == 0) return;
    const int n0 = GetLiberties(x, y, b, libs);
    CaptureGains(b, x, y, koX, koY, n0, moves);
    for (const TPoint& l : libs) TryGain(b, target, l, b[target], koX, koY, n0, moves);
}

bool IsPlayable(TReader& reader, int x, int y, int colour, int koX, int koY, const TBoard& b) {
    if (!IsLegalOn(b, x, y, colour, koX, koY)) return false;
    TPooledBoard copy(reader.Context.Pool);
    *copy = b;
    int32_t kx = koX, ky = koY;
    PlayMove(x, y, colour, *copy, kx, ky);
    const int n = LibertiesUpTo(*copy, PointIndex(x, y), 2);
    if (n == 1 && kx == -1) return false;  // a self-atari that takes no ko
    if (n == 2) return Ladder(reader, x, y, *copy, kx, ky) < 0;
    return true;
}

bool IsPlayableAfter(TReader& reader, int x, int y, int colour, int x2, int y2, int colour2,
                     int koX, int koY, const TBoard& b) {
    if (!IsLegalOn(b, x, y, colour, koX, koY)) return false;
    TPooledBoard copy(reader.Context.Pool);
    *copy = b;
    int32_t kx = koX, ky = koY;
    PlayMove(x, y, colour, *copy, kx, ky);
    return IsPlayable(reader, x2, y2, colour2, kx, ky, *copy);
}

bool CanEscape(TReader& reader, const TBoard& b, int x, int y, int koX, int koY) {
    TPooledList candidates(reader.Context.Pool);
    RescueCandidates(b, x, y, koX, koY, *candidates);
    const int colour = b[PointIndex(x, y)];
    for (const TPoint& m : *candidates)
        if (IsPlayable(reader, m.X, m.Y, colour, koX, koY, b)) return true;
    return false;
}

int Ladder(TReader& reader, int x, int y, const TBoard& b, int koX, int koY) {
    return TLadderReader(reader).Read(x, y, b, koX, koY);
}

int LadderAfterMove(TReader& reader, int x, int y, int mx, int my, int mColour, const TBoard& b,
                    int koX, int koY) {
    TPooledBoard copy(reader.Context.Pool);
    *copy = b;
    int32_t kx = koX, ky = koY;
    if (IsLegalOn(b, mx, my, mColour, koX, koY)) PlayMove(mx, my, mColour, *copy, kx, ky);
    return Ladder(reader, x, y, *copy, kx, ky);
}

bool IsLadderCapturedAfter(TReader& reader, int x, int y, int colour, int x2, int y2, int koX,
                           int koY, const TBoard& b) {
    if (!IsLegalOn(b, x, y, colour, koX, koY)) return false;
    TPooledBoard copy(reader.Context.Pool);
    *copy = b;
    int32_t kx = koX, ky = koY;
    PlayMove(x, y, colour, *copy, kx, ky);
    return Ladder(reader, x2, y2, *copy, kx, ky) >= 0;
}

int LadderMoves(TReader& reader, int x, int y, const TBoard& b, int koX, int koY,
                TPointList& moves) {
    moves.Count = 0;
    const int target = PointIndex(x, y);
    const int32_t colour = b[target];
    TPooledList libs(reader.Context.Pool), candidates(reader.Context.Pool);
    if (colour == 0 || GetLiberties(x, y, b, *libs) != 2) return 0;
    TPooledBoard boardA(reader.Context.Pool), boardE(reader.Context.Pool);
    for (const TPoint& a : *libs) {
        if (!IsLegalOn(b, a.X, a.Y, -colour, koX, koY)) continue;
        *boardA = b;
        int32_t kax = koX, kay = koY;
        PlayMove(a.X, a.Y, -colour, *boardA, kax, kay);
        RescueCandidates(*boardA, x, y, kax, kay, *candidates);
        bool escaped = false;
        for (int j = 0; j < candidates->Count && !escaped; ++j) {
            const TPoint e = (*candidates)[j];
            if (!IsLegalOn(*boardA, e.X, e.Y, colour, kax, kay)) continue;
            *boardE = *boardA;
            int32_t kex = kax, key = kay;
            PlayMove(e.X, e.Y, colour, *boardE, kex, key);
            const int n = LibertiesUpTo(*boardE, target, 2);
            escaped = n > 2 || (n == 2 && Ladder(reader, x, y, *boardE, kex, key) < 0);
        }
        if (!escaped) moves.Items[moves.Count++] = a;
    }
    return moves.Count;
}

void CutAnalysis(TReader& reader) {
    TBoardFields& f = reader.Context.Fields;
    const TBoard& b = f.Spielfeld;
    static constexpr int kDiagonalX[4] = {-1, 1, 1, -1};
    static constexpr int kDiagonalY[4] = {1, 1, -1, -1};
    for (int x = 0; x < BoardSize; ++x)
        for (int y = 0; y < BoardSize; ++y) {
            if (b[PointIndex(x, y)] != 0) continue;
            for (const int colour : {1, -1}) {
                bool cut = false;
                for (int d = 0; d < 4 && !cut; ++d) {
                    const int dx = kDiagonalX[d], dy = kDiagonalY[d];
                    cut = OnBoard(x + dx, y + dy) && GetPoint(b, x + dx, y + dy) == -colour &&
                          GetPoint(b, x, y + dy) == colour && GetPoint(b, x + dx, y) == colour;
                }
                // The cut fails when the cutting stone of the other colour would be lost.
                if (cut && !IsPlayable(reader, x, y, -colour, f.KoX, f.KoY, b))
                    (colour > 0 ? f.SVerbunden : f.WVerbunden)[PointIndex(x, y)] = 1;
            }
        }
}

int ResponseLiberties(int x, int y, int koX, int koY, const TBoard& b) {
    thread_local TPointList libs, gains;
    const int target = PointIndex(x, y);
    const int32_t colour = b[target];
    int best = INT_MAX;
    if (colour == 0) return best;
    GetLiberties(x, y, b, libs);
    for (const TPoint& a : libs) {
        if (!IsLegalOn(b, a.X, a.Y, -colour, koX, koY)) continue;
        TBoard copy = b;
        int32_t kax = koX, kay = koY;
        PlayMove(a.X, a.Y, -colour, copy, kax, kay);
        if (copy[target] == 0) return 0;
        int value = LibertiesUpTo(copy, target, PointCount);
        LibertyGainMoves(copy, x, y, kax, kay, gains);
        for (const TPoint& d : gains) {
            if (!IsLegalOn(copy, d.X, d.Y, colour, kax, kay)) continue;
            TBoard answer = copy;
            int32_t kdx = kax, kdy = kay;
            PlayMove(d.X, d.Y, colour, answer, kdx, kdy);
            value = std::max(value, LibertiesUpTo(answer, target, PointCount));
        }
        best = std::min(best, value);
    }
    return best;
}

}  // namespace obrin
