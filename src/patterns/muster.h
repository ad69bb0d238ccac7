// The pattern library and its matcher (Muster = pattern). A pattern is a numbered string of cell
// symbols laid along a fixed square spiral around an anchor point; all patterns live in one
// prefix tree, so a single walk along the spiral from an anchor finds every pattern that fits
// there. The matcher walks from every point in all eight orientations of the board and calls the
// handler registered for each pattern number that fits.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "board/board.h"

namespace obrin {

class TPatternContext;

constexpr int SpiralCellCount = 256;  // cells 0..255; dx and dy run from -7 to 8
constexpr int PatternNumberMax = 370;
constexpr int SymmetryCount = 8;
constexpr const char* PatternFileName = "muster.txt";

// The spiral: cell k lies at (DX[k], DY[k]) from the anchor. Cell 0 is the anchor; the legs run
// 1, 1, 2, 2, 3, 3, ... cells long in the directions +y, +x, -y, -x.
struct TSpiral {
    std::array<int32_t, SpiralCellCount> DX;
    std::array<int32_t, SpiralCellCount> DY;
};
[[nodiscard]] const TSpiral& Spiral();

// The board offset (u, v) that the spiral offset (dx, dy) takes under a symmetry 0..7; (-1, -1)
// for any other symmetry value, as the matcher's callers expect.
[[nodiscard]] TPoint OrientOffset(int symmetry, int dx, int dy);
// The point index of spiral cell `cell` of a pattern anchored at point index `anchor` under
// `symmetry`, or -1 when that cell lies off the board (or an argument is out of range). Handlers
// skip a cell that gives -1.
[[nodiscard]] int CellPoint(int anchor, int symmetry, int cell);

// Cell symbols as the library file writes them, and their child slot in a tree node.
enum TCellSymbol : uint8_t { csPlus = 0, csMinus = 1, csEmpty = 2, csOff = 3 };
constexpr std::string_view CellSymbolChars = "xo.a";

// The prefix tree of all patterns. Node 0 is the root; a child reference of 0 means none (the
// root is nobody's child). A pattern c0 c1 ... ck ends at the node reached from the root through
// the children for c0 .. ck, which holds its number. Node storage is bounded, so any library
// file loads in bounded memory.
class TPatternTree {
  public:
    struct TNode {
        int32_t PatternNumber = 0;  // the pattern that ends here, 0 for none
        std::array<int32_t, 4> Child{};
    };
    static constexpr size_t MaxNodes = size_t{1} << 20;

    TPatternTree() { Clear(); }
    // Removes every pattern.
    void Clear();
    // Stores number at the end of the path of cells (symbols 0..3), creating the missing nodes.
    // Number 0 clears an existing definition and creates nothing. False, with nothing changed,
    // when the new nodes would exceed MaxNodes.
    [[nodiscard]] bool Define(const std::vector<uint8_t>& cells, int number);
    [[nodiscard]] const TNode& Node(int32_t index) const { return m_nodes[index]; }
    [[nodiscard]] size_t NodeCount() const { return m_nodes.size(); }
    // How many paths end in each number (index 0 unused).
    [[nodiscard]] std::array<int, PatternNumberMax + 1> RecordsPerNumber() const;

  private:
    std::vector<TNode> m_nodes;
};

// What loading a library file found: the records taken, and every record rejected with the
// file and line it starts on.
struct TPatternLoadReport {
    std::string File;
    int Records = 0;   // records taken into the tree (clearing records included)
    int Rejected = 0;  // records rejected; the first MaxMessages have a message
    std::vector<std::string> Messages;
    static constexpr size_t MaxMessages = 200;
};

// Optional check of each record against the handler of its number: the record's number and
// cells; an empty string accepts the record, any other text rejects it with that reason.
using TPatternRecordCheck = std::string (*)(int number, const std::vector<uint8_t>& cells);

// Reads library records from in into tree (which keeps what it had). A record starts on a line
// holding "[", runs over following lines until "]" and has its cells in spiral order; the number
// follows the "]". Records are rejected, naming fileName and the line, when the "]" never comes,
// they have no cells or more than 256, the number does not parse or lies outside 0..370, the tree
// is full, or check refuses them. Reads in one pass with bounded memory, whatever the input.
TPatternLoadReport ReadPatterns(TPatternTree& tree, std::istream& in, const std::string& fileName,
                                TPatternRecordCheck check = nullptr);
// Empties tree and reads the file; throws EObrinError naming the file when it cannot be opened.
TPatternLoadReport LoadPatternFile(TPatternTree& tree, const std::filesystem::path& file,
                                   TPatternRecordCheck check = nullptr);

// A handler: called with the pattern number, the anchor's point index and the symmetry.
using TPatternHandler = void (*)(TPatternContext& context, int patternNumber, int anchor, int symmetry);

// The handler table: one slot per pattern number 1..370, empty until a handler is registered.
class TPatternHandlerTable {
  public:
    void Register(int number, TPatternHandler handler);
    [[nodiscard]] TPatternHandler Get(int number) const {
        return number >= 1 && number <= PatternNumberMax ? m_slots[number] : nullptr;
    }

  private:
    std::array<TPatternHandler, PatternNumberMax + 1> m_slots{};
};

// One pattern that fitted: its number, its anchor's point index and the symmetry.
struct TPatternFiring {
    int16_t Number;
    int16_t Anchor;
    int8_t Symmetry;
    friend bool operator==(const TPatternFiring&, const TPatternFiring&) = default;
};

// The engine's pattern module: the library tree, the handlers and the check of each record
// against its handler (both set by the handler module), and the firings of the last run.
struct TPatterns {
    TPatternTree Tree;
    TPatternHandlerTable Handlers;
    TPatternRecordCheck RecordCheck = nullptr;
    std::vector<TPatternFiring> Firings;
    TPatterns() { Firings.reserve(4096); }
};

// Start-up: reads "muster.txt" from the data folder into the engine's tree. A missing or
// unreadable file, or rejected records, are reported once through the host; the engine then runs
// with the patterns it could read (none when the file is missing).
void LoadPatterns(TPatternContext& context);

// Walks the spiral from (x0, y0) under symmetry over board and reports every pattern number met
// on the way to onMatch(number, anchor, symmetry), shorter patterns first.
template <typename TOnMatch>
void MatchAt(const TPatternTree& tree, const TBoard& board, int x0, int y0, int symmetry,
             TOnMatch&& onMatch);

// Every pattern that fits the board, in the order y0 = 0..18, x0 = 0..18, symmetry 0..7.
void CollectFirings(const TPatternTree& tree, const TBoard& board,
                    std::vector<TPatternFiring>& firings);

// The pattern-recognition stage of the analysis: empties the association list, matches the
// current position (Spielfeld), keeps the firings in context.Patterns.Firings and calls the
// handler of each fitting number. The handlers read the analysis graph, chain names and
// liberties of this position, so the graph must have been built for it. Allocates nothing once
// the firing list and the association pool have grown to the position's size.
void MatchPatterns(TPatternContext& context);

// ---- implementation of the walk -------------------------------------------------------------

namespace detail {
// Board offsets of every spiral cell under every symmetry.
struct TOrientedSpiral {
    std::array<std::array<int8_t, SpiralCellCount>, SymmetryCount> U, V;
};
[[nodiscard]] const TOrientedSpiral& OrientedSpiral();
}  // namespace detail

template <typename TOnMatch>
void MatchAt(const TPatternTree& tree, const TBoard& board, int x0, int y0, int symmetry,
             TOnMatch&& onMatch) {
    if (symmetry < 0 || symmetry >= SymmetryCount) return;
    const auto& spiral = detail::OrientedSpiral();
    const auto& u = spiral.U[symmetry];
    const auto& v = spiral.V[symmetry];
    const int anchor = PointIndex(x0, y0);
    int32_t node = 0;
    for (int k = 0; k < SpiralCellCount; ++k) {
        const int x = x0 + u[k], y = y0 + v[k];
        uint8_t symbol = csOff;
        if (OnBoard(x, y)) {
            const int32_t value = board[PointIndex(x, y)];
            symbol = value > 0 ? csPlus : value < 0 ? csMinus : csEmpty;
        }
        node = tree.Node(node).Child[symbol];
        if (node == 0) return;
        if (const int number = tree.Node(node).PatternNumber; number != 0)
            onMatch(number, anchor, symmetry);
    }
}

}  // namespace obrin
