#include "board/playouts.h"

#include <utility>
#include <vector>

namespace obrin {
namespace {

constexpr int Width = BoardSize + 2;
constexpr std::array<int, 4> Around{Width, 1, -Width, -1};
constexpr std::array<int, 4> Diagonal{Width + 1, Width - 1, -Width + 1, -Width - 1};
// A playout longer than this is a ko fight going round; it is counted as it stands.
constexpr int MaxPlayoutMoves = 3 * PointCount;

// splitmix64: a small, fast generator whose sequence depends on the seed only.
uint64_t NextRandom(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

}  // namespace

TPlayoutBoard::TPlayoutBoard(const TBoard& position) {
    m_colour.fill(Edge);
    for (int p = 0; p < PointCount; ++p) {
        const int cell = Cell(p);
        m_colour[cell] = position[p] == 0 ? static_cast<int8_t>(Empty) : Stone(position[p]);
        if (m_colour[cell] == Empty) AddEmpty(cell);
        m_head[cell] = static_cast<int16_t>(cell);
        m_next[cell] = static_cast<int16_t>(cell);
        m_size[cell] = 1;
    }
    // Every stone starts as a chain of its own; joining neighbours builds the chains.
    for (int p = 0; p < PointCount; ++p) {
        const int cell = Cell(p);
        if (m_colour[cell] == Empty) continue;
        for (const int d : Around) {
            const int n = cell + d;
            if (m_colour[n] == Empty) ++m_pseudo[m_head[cell]];
            if (m_colour[n] == m_colour[cell] && m_head[n] != m_head[cell])
                Merge(m_head[cell], m_head[n]);
        }
    }
}

void TPlayoutBoard::AddEmpty(int cell) {
    m_emptyAt[cell] = static_cast<int16_t>(m_emptyCount);
    m_empty[m_emptyCount++] = static_cast<int16_t>(cell);
}

void TPlayoutBoard::RemoveEmpty(int cell) {
    const int at = m_emptyAt[cell];
    const int last = m_empty[--m_emptyCount];
    m_empty[at] = static_cast<int16_t>(last);
    m_emptyAt[last] = static_cast<int16_t>(at);
}

void TPlayoutBoard::Merge(int into, int from) {
    if (m_size[into] < m_size[from]) std::swap(into, from);
    int s = from;
    do {
        m_head[s] = static_cast<int16_t>(into);
        s = m_next[s];
    } while (s != from);
    std::swap(m_next[into], m_next[from]);
    m_size[into] = static_cast<int16_t>(m_size[into] + m_size[from]);
    m_pseudo[into] = static_cast<int16_t>(m_pseudo[into] + m_pseudo[from]);
}

void TPlayoutBoard::Capture(int head) {
    int s = head;
    do {
        m_colour[s] = Empty;
        AddEmpty(s);
        s = m_next[s];
    } while (s != head);
    do {
        for (const int d : Around)
            if (m_colour[s + d] == Black || m_colour[s + d] == White) ++m_pseudo[m_head[s + d]];
        s = m_next[s];
    } while (s != head);
}

int TPlayoutBoard::LibertiesUpToTwo(int cell, int except) const {
    int first = -1;
    const int head = m_head[cell];
    int s = head;
    do {
        for (const int d : Around) {
            const int n = s + d;
            if (m_colour[n] != Empty || n == except || n == first) continue;
            if (first >= 0) return 2;
            first = n;
        }
        s = m_next[s];
    } while (s != head);
    return first >= 0 ? 1 : 0;
}

bool TPlayoutBoard::IsOwnEye(int8_t stone, int cell) const {
    for (const int d : Around)
        if (m_colour[cell + d] != stone && m_colour[cell + d] != Edge) return false;
    int enemies = 0;
    bool atEdge = false;
    for (const int d : Diagonal) {
        const int8_t c = m_colour[cell + d];
        if (c == Edge)
            atEdge = true;
        else if (c != Empty && c != stone)
            ++enemies;
    }
    // A false eye: the opponent holds enough diagonals to cut through it.
    return enemies < (atEdge ? 1 : 2);
}

TPlayoutBoard::TMoveKind TPlayoutBoard::Classify(int8_t stone, int cell) const {
    if (m_colour[cell] != Empty || cell == m_ko) return TMoveKind::Illegal;
    if (IsOwnEye(stone, cell)) return TMoveKind::OwnEye;
    int liberties = 0, firstLiberty = -1, stones = 1;
    int ownHeads[4], owns = 0;
    for (const int d : Around) {
        const int n = cell + d;
        const int8_t c = m_colour[n];
        if (c == Empty) {
            if (++liberties >= 2) return TMoveKind::Good;
            firstLiberty = n;
        } else if (c != Edge && c != stone && InAtari(n)) {
            return TMoveKind::Good;  // it captures
        }
    }
    for (const int d : Around) {
        const int n = cell + d;
        if (m_colour[n] != stone) continue;
        const int head = m_head[n];
        bool seen = false;
        for (int k = 0; k < owns; ++k) seen = seen || ownHeads[k] == head;
        if (seen) continue;
        ownHeads[owns++] = head;
        stones += m_size[head];
        // The chain's liberties other than the point played; one of them may be firstLiberty.
        int s = head;
        do {
            for (const int e : Around) {
                const int l = s + e;
                if (m_colour[l] != Empty || l == cell || l == firstLiberty) continue;
                if (firstLiberty >= 0) return TMoveKind::Good;
                firstLiberty = l;
                liberties = 1;
            }
            s = m_next[s];
        } while (s != head);
    }
    if (liberties == 0) return TMoveKind::Illegal;  // suicide
    return stones > SelfAtariStones ? TMoveKind::SelfAtari : TMoveKind::Good;
}

bool TPlayoutBoard::IsLegal(int colour, int point) const {
    const TMoveKind kind = Classify(Stone(colour), Cell(point));
    return kind != TMoveKind::Illegal;
}

void TPlayoutBoard::Place(int8_t stone, int cell) {
    m_colour[cell] = stone;
    RemoveEmpty(cell);
    m_head[cell] = static_cast<int16_t>(cell);
    m_next[cell] = static_cast<int16_t>(cell);
    m_size[cell] = 1;
    m_pseudo[cell] = 0;
    for (const int d : Around) {
        const int n = cell + d;
        if (m_colour[n] == Empty)
            ++m_pseudo[cell];
        else if (m_colour[n] != Edge)
            --m_pseudo[m_head[n]];
    }
    for (const int d : Around) {
        const int n = cell + d;
        if (m_colour[n] == stone && m_head[n] != m_head[cell]) Merge(m_head[cell], m_head[n]);
    }
    int captured = 0, capturedAt = -1;
    for (const int d : Around) {
        const int n = cell + d;
        if (m_colour[n] == Empty || m_colour[n] == Edge || m_colour[n] == stone) continue;
        if (m_pseudo[m_head[n]] != 0) continue;
        captured += m_size[m_head[n]];
        capturedAt = n;
        Capture(m_head[n]);
    }
    // Taking back at once would repeat the position: one stone took one stone and is in atari.
    const int head = m_head[cell];
    m_last = cell;
    m_ko = captured == 1 && m_size[head] == 1 && m_pseudo[head] == 1 ? capturedAt : -1;
}

bool TPlayoutBoard::Play(int colour, int point) {
    if (!IsLegal(colour, point)) return false;
    Place(Stone(colour), Cell(point));
    return true;
}

int TPlayoutBoard::AtariAnswer(int8_t stone) const {
    if (m_last < 0 || m_colour[m_last] == Empty) return -1;
    // The last move's chain in atari: take it.
    if (InAtari(m_last)) {
        const int l = OnlyLiberty(m_last);
        if (Classify(stone, l) == TMoveKind::Good) return l;
    }
    // An own chain the last move put into atari: run.
    for (const int d : Around) {
        const int n = m_last + d;
        if (m_colour[n] != stone || !InAtari(n)) continue;
        const int l = OnlyLiberty(n);
        if (Classify(stone, l) == TMoveKind::Good) return l;
    }
    return -1;
}

int TPlayoutBoard::OnlyLiberty(int cell) const {
    const int head = m_head[cell];
    int s = head;
    do {
        for (const int d : Around)
            if (m_colour[s + d] == Empty) return s + d;
        s = m_next[s];
    } while (s != head);
    return -1;
}

bool TPlayoutBoard::PlayRandom(int colour, uint64_t random) {
    if (m_emptyCount == 0) return false;
    const int8_t stone = Stone(colour);
    const int answer = AtariAnswer(stone);
    if (answer >= 0) {
        Place(stone, answer);
        return true;
    }
    const int start = static_cast<int>(random % static_cast<uint64_t>(m_emptyCount));
    for (int i = 0; i < m_emptyCount; ++i) {
        const int cell = m_empty[(start + i) % m_emptyCount];
        if (Classify(stone, cell) != TMoveKind::Good) continue;
        Place(stone, cell);
        return true;
    }
    m_ko = -1;  // a pass lifts the ko
    m_last = -1;
    return false;
}

TBoard TPlayoutBoard::Owners() const {
    TBoard owners{};
    for (int p = 0; p < PointCount; ++p) {
        const int cell = Cell(p);
        if (m_colour[cell] != Empty) {
            owners[p] = m_colour[cell] == Black ? 1 : -1;
            continue;
        }
        bool black = false, white = false;
        for (const int d : Around) {
            black = black || m_colour[cell + d] == Black;
            white = white || m_colour[cell + d] == White;
        }
        owners[p] = black == white ? 0 : (black ? 1 : -1);
    }
    return owners;
}

TBoard TPlayoutBoard::SharedPoints() const {
    TBoard shared{};
    for (int p = 0; p < PointCount; ++p) {
        const int cell = Cell(p);
        if (m_colour[cell] != Empty) continue;
        bool black = false, white = false;
        for (const int d : Around) {
            black = black || m_colour[cell + d] == Black;
            white = white || m_colour[cell + d] == White;
        }
        shared[p] = black && white ? 1 : 0;
    }
    return shared;
}

TBoard TPlayoutBoard::Position() const {
    TBoard b{};
    for (int p = 0; p < PointCount; ++p) {
        const int8_t c = m_colour[Cell(p)];
        b[p] = c == Black ? 1 : (c == White ? -1 : 0);
    }
    return b;
}

TOwnership PlayOut(const TBoard& position, int playouts, uint64_t seed) {
    TOwnership o;
    const TPlayoutBoard start(position);
    uint64_t state = seed;
    for (int k = 0; k < playouts; ++k) {
        TPlayoutBoard b = start;
        int colour = k % 2 == 0 ? 1 : -1;
        for (int passes = 0, moves = 0; passes < 2 && moves < MaxPlayoutMoves; ++moves) {
            passes = b.PlayRandom(colour, NextRandom(state)) ? 0 : passes + 1;
            colour = -colour;
        }
        const TBoard owners = b.Owners(), shared = b.SharedPoints();
        for (int p = 0; p < PointCount; ++p) {
            o.Owner[p] += owners[p];
            o.Shared[p] += shared[p];
        }
    }
    o.Playouts = playouts;
    if (playouts > 0)
        for (int p = 0; p < PointCount; ++p) {
            o.Owner[p] /= playouts;
            o.Shared[p] /= playouts;
        }
    return o;
}

namespace {

// The points of one colour's chains or of the regions the colour leaves, labelled 0, 1, ...;
// -1 at the other points.
struct TLabels {
    TBoard Label{};
    int Count = 0;
};

TLabels LabelComponents(const TBoard& position, bool (*member)(int value, int colour), int colour) {
    TLabels l;
    l.Label.fill(-1);
    std::vector<int> open;
    for (int p = 0; p < PointCount; ++p) {
        if (l.Label[p] >= 0 || !member(position[p], colour)) continue;
        l.Label[p] = l.Count;
        open.push_back(p);
        while (!open.empty()) {
            const int q = open.back();
            open.pop_back();
            for (int d = 0; d < 4; ++d) {
                const int x = PointColumn(q) + NeighbourDX[d], y = PointRow(q) + NeighbourDY[d];
                if (!OnBoard(x, y)) continue;
                const int n = PointIndex(x, y);
                if (l.Label[n] >= 0 || !member(position[n], colour)) continue;
                l.Label[n] = l.Count;
                open.push_back(n);
            }
        }
        ++l.Count;
    }
    return l;
}

// The stones of colour that survive the classic pass-alive procedure: a chain needs two regions
// of the points it encloses whose every empty point is its liberty, and a region counts only
// while every chain around it survives.
void MarkPassAlive(const TBoard& position, int colour, TBoard& alive) {
    const TLabels chains = LabelComponents(
        position, [](int v, int c) { return v == c; }, colour);
    const TLabels regions = LabelComponents(
        position, [](int v, int c) { return v != c; }, colour);
    // vital[r][c]: every empty point of region r touches chain c (and r has one).
    std::vector<std::vector<bool>> vital(regions.Count, std::vector<bool>(chains.Count, true));
    std::vector<std::vector<bool>> borders(regions.Count, std::vector<bool>(chains.Count, false));
    std::vector<bool> hasEmpty(regions.Count, false);
    for (int p = 0; p < PointCount; ++p) {
        const int r = regions.Label[p];
        if (r < 0) continue;
        std::vector<bool> touches(chains.Count, false);
        for (int d = 0; d < 4; ++d) {
            const int x = PointColumn(p) + NeighbourDX[d], y = PointRow(p) + NeighbourDY[d];
            if (!OnBoard(x, y)) continue;
            const int c = chains.Label[PointIndex(x, y)];
            if (c < 0) continue;
            touches[c] = true;
            borders[r][c] = true;
        }
        if (position[p] != 0) continue;
        hasEmpty[r] = true;
        for (int c = 0; c < chains.Count; ++c) vital[r][c] = vital[r][c] && touches[c];
    }
    std::vector<bool> chainAlive(chains.Count, true), regionKept(regions.Count, true);
    for (bool changed = true; changed;) {
        changed = false;
        for (int c = 0; c < chains.Count; ++c) {
            if (!chainAlive[c]) continue;
            int vitalRegions = 0;
            for (int r = 0; r < regions.Count; ++r)
                if (regionKept[r] && hasEmpty[r] && vital[r][c]) ++vitalRegions;
            if (vitalRegions >= 2) continue;
            chainAlive[c] = false;
            changed = true;
        }
        for (int r = 0; r < regions.Count; ++r) {
            if (!regionKept[r]) continue;
            for (int c = 0; c < chains.Count; ++c)
                if (borders[r][c] && !chainAlive[c]) {
                    regionKept[r] = false;
                    changed = true;
                    break;
                }
        }
    }
    for (int p = 0; p < PointCount; ++p)
        if (chains.Label[p] >= 0 && chainAlive[chains.Label[p]]) alive[p] = 1;
}

}  // namespace

TBoard PassAliveStones(const TBoard& position) {
    TBoard alive{};
    MarkPassAlive(position, 1, alive);
    MarkPassAlive(position, -1, alive);
    return alive;
}

}  // namespace obrin
