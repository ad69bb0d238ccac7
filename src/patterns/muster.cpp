#include "patterns/muster.h"

#include <cassert>
#include <cctype>
#include <charconv>
#include <fstream>
#include <istream>

#include "analysis/datafiles.h"
#include "board/errors.h"
#include "patterns/pattern_context.h"

namespace obrin {

namespace {

TSpiral MakeSpiral() {
    TSpiral s{};
    constexpr std::array<int, 4> stepX{0, 1, 0, -1};  // +y, +x, -y, -x
    constexpr std::array<int, 4> stepY{1, 0, -1, 0};
    int x = 0, y = 0, cell = 1, leg = 0;
    while (cell < SpiralCellCount) {
        const int length = leg / 2 + 1;
        for (int i = 0; i < length && cell < SpiralCellCount; ++i, ++cell) {
            x += stepX[leg % 4];
            y += stepY[leg % 4];
            s.DX[cell] = x;
            s.DY[cell] = y;
        }
        ++leg;
    }
    return s;
}

detail::TOrientedSpiral MakeOrientedSpiral() {
    detail::TOrientedSpiral o{};
    for (int sym = 0; sym < SymmetryCount; ++sym)
        for (int k = 0; k < SpiralCellCount; ++k) {
            const TPoint uv = OrientOffset(sym, Spiral().DX[k], Spiral().DY[k]);
            o.U[sym][k] = static_cast<int8_t>(uv.X);
            o.V[sym][k] = static_cast<int8_t>(uv.Y);
        }
    return o;
}

}  // namespace

const TSpiral& Spiral() {
    static const TSpiral spiral = MakeSpiral();
    return spiral;
}

const detail::TOrientedSpiral& detail::OrientedSpiral() {
    static const TOrientedSpiral oriented = MakeOrientedSpiral();
    return oriented;
}

TPoint OrientOffset(int symmetry, int dx, int dy) {
    switch (symmetry) {
        case 0:
            return {dx, dy};
        case 1:
            return {-dx, dy};
        case 2:
            return {dx, -dy};
        case 3:
            return {-dx, -dy};
        case 4:
            return {dy, dx};
        case 5:
            return {-dy, dx};
        case 6:
            return {dy, -dx};
        case 7:
            return {-dy, -dx};
        default:
            return {-1, -1};
    }
}

int CellPoint(int anchor, int symmetry, int cell) {
    if (anchor < 0 || anchor >= PointCount || symmetry < 0 || symmetry >= SymmetryCount ||
        cell < 0 || cell >= SpiralCellCount)
        return -1;
    const TPoint uv = OrientOffset(symmetry, Spiral().DX[cell], Spiral().DY[cell]);
    const int x = PointColumn(anchor) + uv.X, y = PointRow(anchor) + uv.Y;
    return OnBoard(x, y) ? PointIndex(x, y) : -1;
}

// ---- the tree ---------------------------------------------------------------------------------

void TPatternTree::Clear() {
    m_nodes.assign(1, TNode{});
}

bool TPatternTree::Define(const std::vector<uint8_t>& cells, int number) {
    int32_t node = 0;
    size_t depth = 0;
    for (; depth < cells.size(); ++depth) {
        const int32_t child = m_nodes[node].Child[cells[depth]];
        if (child == 0) break;
        node = child;
    }
    if (depth < cells.size()) {
        if (number == 0) return true;  // nothing to clear
        if (m_nodes.size() + (cells.size() - depth) > MaxNodes) return false;
        for (; depth < cells.size(); ++depth) {
            const auto child = static_cast<int32_t>(m_nodes.size());
            m_nodes.push_back(TNode{});
            m_nodes[node].Child[cells[depth]] = child;
            node = child;
        }
    }
    m_nodes[node].PatternNumber = number;
    return true;
}

std::array<int, PatternNumberMax + 1> TPatternTree::RecordsPerNumber() const {
    std::array<int, PatternNumberMax + 1> counts{};
    for (size_t i = 1; i < m_nodes.size(); ++i) ++counts[m_nodes[i].PatternNumber];
    counts[0] = 0;
    return counts;
}

// ---- the library file -------------------------------------------------------------------------

namespace {

constexpr size_t NumberTextMax = 255;

int SymbolOf(char c) {
    const size_t at = CellSymbolChars.find(c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

// The record number from the text after "]": every white-space and NUL character removed, then
// an optional sign and decimal digits with nothing else. False when it does not parse.
bool ParseRecordNumber(const std::string& text, long& number) {
    std::string digits;
    for (const char c : text)
        if (c != '\0' && !std::isspace(static_cast<unsigned char>(c))) digits += c;
    const char* first = digits.data();
    const char* last = first + digits.size();
    if (first != last && *first == '+') ++first;
    if (first == last) return false;
    const auto [end, ec] = std::from_chars(first, last, number);
    return ec == std::errc() && end == last;
}

// Reads the library one character at a time, so a line or a record of any length costs no
// more memory than its first 257 cells and 255 characters of number text.
class TPatternReader {
  public:
    TPatternReader(TPatternTree& tree, const std::string& fileName, TPatternRecordCheck check)
        : m_tree(tree), m_check(check) {
        m_report.File = fileName;
        m_cells.reserve(SpiralCellCount + 1);
    }

    TPatternLoadReport Read(std::istream& in) {
        std::istreambuf_iterator<char> it(in), end;
        for (; it != end; ++it) Take(*it);
        if (m_state == TState::Cells)
            Reject(m_recordLine, "record has no closing \"]\"");
        else if (m_state == TState::Number)
            FinishRecord();
        return std::move(m_report);
    }

  private:
    enum class TState { Outside, Cells, Number };

    void Take(char c) {
        switch (m_state) {
            case TState::Outside:
                if (c == '[') {
                    m_state = TState::Cells;
                    m_recordLine = m_line;
                } else if (c == '\n') {
                    m_cells.clear();
                } else {
                    AddCell(c);
                }
                break;
            case TState::Cells:
                if (c == ']') {
                    m_state = TState::Number;
                    m_number.clear();
                } else {
                    AddCell(c);
                }
                break;
            case TState::Number:
                if (c == '\n')
                    FinishRecord();
                else if (m_number.size() < NumberTextMax)
                    m_number += c;
                break;
        }
        if (c == '\n') ++m_line;
    }

    // Cells may stand before the "[" on a record's first line too; the scan starts at the line.
    void AddCell(char c) {
        const int symbol = SymbolOf(c);
        if (symbol >= 0 && m_cells.size() <= SpiralCellCount)
            m_cells.push_back(static_cast<uint8_t>(symbol));
    }

    void FinishRecord() {
        m_state = TState::Outside;
        long number = 0;
        if (m_cells.empty())
            Reject(m_recordLine, "record has no cells");
        else if (m_cells.size() > SpiralCellCount)
            Reject(m_recordLine, "record has more than 256 cells");
        else if (!ParseRecordNumber(m_number, number))
            Reject(m_recordLine, "pattern number \"" + Printable(m_number) + "\" is not a number");
        else if (number < 0 || number > PatternNumberMax)
            Reject(m_recordLine, "pattern number " + std::to_string(number) + " is outside 1..370");
        else if (const std::string why =
                     m_check ? m_check(static_cast<int>(number), m_cells) : std::string();
                 !why.empty())
            Reject(m_recordLine, "pattern " + std::to_string(number) + ": " + why);
        else if (!m_tree.Define(m_cells, static_cast<int>(number)))
            Reject(m_recordLine, "the pattern tree is full");
        else
            ++m_report.Records;
        m_cells.clear();
    }

    // The number text for a message: trimmed, at most 40 characters, unprintable ones as "?".
    static std::string Printable(const std::string& text) {
        const auto blank = [](char c) {
            return c == '\0' || std::isspace(static_cast<unsigned char>(c));
        };
        size_t first = 0, last = text.size();
        while (first < last && blank(text[first])) ++first;
        while (last > first && blank(text[last - 1])) --last;
        std::string out;
        for (const char c : std::string_view(text).substr(first, last - first)) {
            if (out.size() >= 40) return out + "...";
            out += std::isprint(static_cast<unsigned char>(c)) ? c : '?';
        }
        return out;
    }

    void Reject(long line, const std::string& why) {
        ++m_report.Rejected;
        if (m_report.Messages.size() < TPatternLoadReport::MaxMessages)
            m_report.Messages.push_back(m_report.File + ":" + std::to_string(line) + ": " + why);
    }

    TPatternTree& m_tree;
    TPatternRecordCheck m_check;
    TPatternLoadReport m_report;
    TState m_state = TState::Outside;
    std::vector<uint8_t> m_cells;  // at most 257: one more than a record may have
    std::string m_number;
    long m_line = 1;
    long m_recordLine = 0;
};

}  // namespace

TPatternLoadReport ReadPatterns(TPatternTree& tree, std::istream& in, const std::string& fileName,
                                TPatternRecordCheck check) {
    return TPatternReader(tree, fileName, check).Read(in);
}

TPatternLoadReport LoadPatternFile(TPatternTree& tree, const std::filesystem::path& file,
                                   TPatternRecordCheck check) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw EObrinError(file.string() + ": cannot open the pattern library");
    tree.Clear();
    TPatternLoadReport report = ReadPatterns(tree, in, file.string(), check);
    if (in.bad()) throw EObrinError(file.string() + ": read error");
    return report;
}

// ---- handlers and matching --------------------------------------------------------------------

void TPatternHandlerTable::Register(int number, TPatternHandler handler) {
    assert(number >= 1 && number <= PatternNumberMax);
    m_slots[number] = handler;
}

namespace {

// Every anchor and symmetry in the matcher's order: y0 = 0..18, x0 = 0..18, symmetry 0..7.
template <typename TOnMatch>
void MatchBoard(const TPatternTree& tree, const TBoard& board, TOnMatch&& onMatch) {
    for (int y0 = 0; y0 < BoardSize; ++y0)
        for (int x0 = 0; x0 < BoardSize; ++x0)
            for (int sym = 0; sym < SymmetryCount; ++sym)
                MatchAt(tree, board, x0, y0, sym, onMatch);
}

TPatternFiring Firing(int number, int anchor, int symmetry) {
    return {static_cast<int16_t>(number), static_cast<int16_t>(anchor),
            static_cast<int8_t>(symmetry)};
}

}  // namespace

void CollectFirings(const TPatternTree& tree, const TBoard& board,
                    std::vector<TPatternFiring>& firings) {
    firings.clear();
    MatchBoard(tree, board, [&](int number, int anchor, int symmetry) {
        firings.push_back(Firing(number, anchor, symmetry));
    });
}

void MatchPatterns(TPatternContext& context) {
    TPatterns& patterns = context.Patterns;
    // The walk reads a copy: handlers may change the engine's fields, but every pattern is
    // matched against the position as it was when matching began.
    const TBoard board = context.Fields.Spielfeld;
    context.GoalAssociation.Clear();
    patterns.Firings.clear();
    MatchBoard(patterns.Tree, board, [&](int number, int anchor, int symmetry) {
        patterns.Firings.push_back(Firing(number, anchor, symmetry));
        if (const TPatternHandler handler = patterns.Handlers.Get(number))
            handler(context, number, anchor, symmetry);
    });
}

void LoadPatterns(TPatternContext& context) {
    const std::filesystem::path file = DataFilePath(PatternFileName);
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        // Say where we looked, not only where the file would be written.
        std::string places;
        for (const auto& place : DataFilePlaces(PatternFileName))
            places += (places.empty() ? "" : ", ") + place.string();
        context.Patterns.Tree.Clear();
        context.Host.ShowMessage(std::string(PatternFileName) + ": pattern library not found; looked in " +
                                places);
        return;
    }
    try {
        const TPatternLoadReport report =
            LoadPatternFile(context.Patterns.Tree, file, context.Patterns.RecordCheck);
        if (report.Rejected == 0) return;
        std::string text = file.string() + ": " + std::to_string(report.Rejected) +
                           (report.Rejected == 1 ? " pattern record" : " pattern records") +
                           " rejected";
        for (size_t i = 0; i < report.Messages.size() && i < 5; ++i)
            text += "\n" + report.Messages[i];
        context.Host.ShowMessage(text);
    } catch (const EObrinError& e) {
        context.Patterns.Tree.Clear();
        context.Host.ShowMessage(e.what());
    }
}

}  // namespace obrin
