#include "records/replay.h"

#include <algorithm>
#include <cctype>

#include "board/chains.h"
#include "game/gameflow.h"
#include "records/gameinfo.h"

namespace obrin {
namespace {

int LetterPosition(char c) {
    const int u = std::toupper(static_cast<unsigned char>(c));
    return u >= 'A' && u <= 'Z' ? u - 'A' : -1;
}

bool IsSetup(const std::string& identifier) {
    return identifier == "AB" || identifier == "AW" || identifier == "AE";
}

}  // namespace

std::vector<TPoint> SetupPoints(const std::string& value) {
    if (value.size() == 5 && value[2] == ':') {
        const TPoint a = TRecordReplay::PointOfValue(value.substr(0, 2));
        const TPoint b = TRecordReplay::PointOfValue(value.substr(3, 2));
        std::vector<TPoint> points;
        if (!OnBoard(a.X, a.Y) || !OnBoard(b.X, b.Y)) return points;
        for (int x = std::min(a.X, b.X); x <= std::max(a.X, b.X); ++x)
            for (int y = std::max(a.Y, b.Y); y >= std::min(a.Y, b.Y); --y) points.push_back({x, y});
        return points;
    }
    return {TRecordReplay::PointOfValue(value)};
}

TRecordReplay::TRecordReplay(TGameBoard& board, TSgfTreeModel& tree)
    : m_board(board), m_tree(tree) {
    m_tree.OnExecProperty = [this](TSgfTreeModel&, TSgfTreeItem* item,
                                   const std::string& identifier, const std::string& value,
                                   TNodeInformationPurpose purpose) {
        Handle(item, identifier, value, purpose);
    };
    m_tree.OnChange = [this](TSgfTreeItem*) { ClearForReplay(); };
}

TRecordReplay::~TRecordReplay() {
    m_tree.OnExecProperty = nullptr;
    m_tree.OnChange = nullptr;
}

void TRecordReplay::ClearForReplay() {
    CommentPane.clear();
    PropertyPane.clear();
    LastMove = PassPoint;
    TBoardFields& f = m_board.Position.Fields;
    ClearBoard(f.Spielfeld);
    f.KoX = f.KoY = -1;
    // The replay credits captures again, so the counts start afresh.
    m_board.Game.GefangeneSchwarz = m_board.Game.GefangeneWeiss = 0.0;
}

TPoint TRecordReplay::PointOfValue(const std::string& value) {
    if (value.size() != 2) return PassPoint;
    return {LetterPosition(value[0]), 18 - LetterPosition(value[1])};
}

void TRecordReplay::DoMove(int x, int y, int colour) {
    m_board.Game.SideToMove = colour;
    TBoardFields& f = m_board.Position.Fields;
    if (IsLegal(x, y, colour, f.KoX, f.KoY, f.Spielfeld)) ExecuteMoveQuiet(m_board, x, y, colour);
}

void TRecordReplay::Interprete(const std::string& identifier, const std::string& value,
                               TNodeInformationPurpose purpose) {
    if (purpose != nipMiddle && purpose != nipLast) return;
    const int colour = identifier == "B" || identifier == "AB"   ? 1
                       : identifier == "W" || identifier == "AW" ? -1
                                                                 : 0;
    if (identifier == "AE") {
        for (const TPoint& p : SetupPoints(value))
            if (OnBoard(p.X, p.Y)) SetPoint(m_board.Position.Fields.Spielfeld, p.X, p.Y, 0);
        return;
    }
    if (colour == 0) return;
    const std::vector<TPoint> points =
        IsSetup(identifier) ? SetupPoints(value) : std::vector{PointOfValue(value)};
    for (const TPoint& p : points) {
        DoMove(p.X, p.Y, colour);
        if (purpose == nipLast) LastMove = p;
    }
}

void TRecordReplay::Handle(TSgfTreeItem* item, const std::string& identifier,
                           const std::string& value, TNodeInformationPurpose purpose) {
    if (identifier.empty()) return;
    switch (purpose) {
        case nipFirst:
            MoveCount = 0;
            CommentPane.clear();
            ClearBoard(m_board.Position.Fields.Spielfeld);
            m_board.Position.Fields.KoX = m_board.Position.Fields.KoY = -1;
            break;
        case nipMiddle:
            // A game on another board size is shown and saved, never put on this board.
            if (m_tree.IsPlayable(item)) Interprete(identifier, value, purpose);
            if (identifier == "B" || identifier == "W") ++MoveCount;
            break;
        case nipLast:
            if (m_tree.IsPlayable(item)) Interprete(identifier, value, purpose);
            StoreGameInfo(m_board.GameData, m_tree, item, identifier, value);
            PropertyPane.push_back(identifier + ": " + value);
            m_board.Position.Host.Redraw();
            if (identifier == "C") CommentPane += value;
            break;
        case nipPopulate:
            StoreGameInfo(m_board.GameData, m_tree, item, identifier, value);
            if (identifier == "AB" || identifier == "AW")
                m_tree.SetLabel(item, m_tree.Translate("Start-Stellung"));
            break;
        case nipVariation:
            m_tree.SetLabel(item, m_tree.Translate("Variante"));
            break;
        case nipRenumber:
            if (identifier == "B" || identifier == "W") {
                ++m_tree.Number;
                m_tree.SetLabel(item, std::to_string(m_tree.Number));
            }
            break;
    }
}

std::vector<TSgfTreeItem*> MainLine(TSgfTreeModel&, TSgfTreeItem* game) {
    std::vector<TSgfTreeItem*> line;
    if (game == nullptr) return line;
    for (const auto& c : game->Children())
        if (c->IsNodeItem()) line.push_back(c.get());
    return line;
}

namespace {

TSgfTreeItem* FirstGame(TSgfTreeModel& tree) {
    if (tree.Items().empty()) return nullptr;
    TSgfTreeItem* game = tree.Items().front().get();
    if (game->Children().empty()) tree.Expand(game);
    return game;
}

}  // namespace

int ReplayMainLine(TSgfTreeModel& tree, TRecordReplay& replay, int count) {
    const std::vector<TSgfTreeItem*> line = MainLine(tree, FirstGame(tree));
    const int n =
        count < 0 ? static_cast<int>(line.size()) : std::min(count, static_cast<int>(line.size()));
    if (n == 0) {
        replay.ClearForReplay();
        return 0;
    }
    tree.Select(line[static_cast<size_t>(n - 1)]);
    return n;
}

int NodesBeforeMove(TSgfTreeModel& tree, int moveNumber) {
    const std::vector<TSgfTreeItem*> line = MainLine(tree, FirstGame(tree));
    int moves = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        const TSgfData& node = *line[i]->Data;
        bool isMove = false;
        for (const auto& p : *node.Properties)
            isMove = isMove || p->Identifier == "B" || p->Identifier == "W";
        if (isMove && ++moves >= moveNumber) return static_cast<int>(i);
    }
    return static_cast<int>(line.size());
}

}  // namespace obrin
