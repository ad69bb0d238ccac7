#include "gtp/gtp_records.h"

#include <charconv>
#include <sstream>

#include "game/gameboard.h"
#include "gtp/gtp.h"
#include "records/replay.h"
#include "records/sgfparse.h"
#include "records/sgftree.h"

namespace obrin {
namespace {


// The loaded record becomes the current game: setup properties as setup, moves as moves (so
// that undo steps back into them), komi from KM. Moves the board does not allow are skipped, as
// the record replay skips them.
void PlayRecordNode(TGtpEngine& gtp, const TSgfData& node) {
    for (const auto& p : *node.Properties) {
        const std::string& id = p->Identifier;
        const int colour = id == "B" || id == "AB" ? 1 : id == "W" || id == "AW" ? -1 : 0;
        if (id == "AB" || id == "AW" || id == "AE") {
            for (const auto& v : *p->Values)
                for (const TPoint& point : SetupPoints(v->Value))
                    gtp.PlaceSetupStone(point, colour);
        } else if (colour != 0 && p->Values->Count() > 0) {
            const std::string& value = p->Values->Items(0)->Value;
            const TPoint point = TRecordReplay::PointOfValue(value);
            const bool pass = value.empty() || value == "tt" || value == "TT";
            if (pass || (OnBoard(point.X, point.Y) && gtp.IsLegalFor(point, colour)))
                gtp.PlayAndRemember(pass ? PassPoint : point, colour);
        }
    }
}

TGtpReply LoadSgf(TGtpEngine& gtp, const TGtpArgs& args) {
    if (args.empty() || args.size() > 2) return TGtpReply::Failure("syntax error");
    int moveNumber = -1;
    if (args.size() == 2) {
        const std::string& a = args[1];
        const auto [end, ec] = std::from_chars(a.data(), a.data() + a.size(), moveNumber);
        if (ec != std::errc() || end != a.data() + a.size() || moveNumber < 1)
            return TGtpReply::Failure("syntax error");
    }
    // The record is read on a scratch board: a file that is refused leaves the game alone.
    TScratchBoard scratch;
    std::vector<std::string> messages;
    TSgfParser parser;
    parser.SetMessageReceiver(&messages);
    TSgfTreeModel tree(scratch.Board);
    tree.SetSgfParser(&parser);
    try {
        parser.SetFilename(args[0]);
        parser.SetActive(true);
    } catch (const std::exception& e) {
        return TGtpReply::Failure(std::string("cannot load file: ") + e.what());
    }
    if (tree.Items().empty()) return TGtpReply::Failure("cannot load file");
    TSgfTreeItem* game = tree.Items().front().get();
    if (!tree.IsPlayable(game)) return TGtpReply::Failure("unacceptable size");
    std::vector<TSgfTreeItem*> line = MainLine(tree, game);
    if (game->Children().empty()) {
        tree.Expand(game);
        line = MainLine(tree, game);
    }
    const size_t nodes =
        moveNumber < 0 ? line.size() : static_cast<size_t>(NodesBeforeMove(tree, moveNumber));
    gtp.NewGame();
    if (!line.empty()) {
        double komi = 0.0;
        const std::string km = tree.GetPropertyValue(line.front(), "KM");
        if (ParseKomi(km, komi)) gtp.SetKomi(komi);
    }
    for (size_t i = 0; i < nodes && i < line.size(); ++i) PlayRecordNode(gtp, *line[i]->Data);
    return TGtpReply::Success();
}

TGtpReply PrintSgf(TGtpEngine& gtp, const TGtpArgs& args) {
    if (args.size() > 1) return TGtpReply::Failure("syntax error");
    // The record is built on a scratch board from the remembered game, so undo is honoured
    // and the current position is not touched.
    TScratchBoard scratch;
    for (const auto& s : gtp.Setup())
        SetPoint(scratch.Board.Position.Fields.Spielfeld, s.Point.X, s.Point.Y, s.Colour);
    TSgfParser parser;
    TSgfTreeModel tree(scratch.Board);
    tree.SetSgfParser(&parser);
    tree.NewGameRecord();
    if (gtp.Komi() != 0.0) {
        std::ostringstream komi;
        komi << gtp.Komi();
        tree.AddPropertyToItem(tree.Items().front()->Children().front().get(), "KM", komi.str());
    }
    for (const auto& m : gtp.Moves()) tree.RecordMove(m.Point.X, m.Point.Y, m.Colour);
    if (args.size() == 1) {
        try {
            tree.SaveToFile(args[0]);
        } catch (const std::exception& e) {
            return TGtpReply::Failure(std::string("cannot save file: ") + e.what());
        }
        return TGtpReply::Success();
    }
    // A GTP response ends at an empty line and uses plain line feeds.
    std::string text;
    for (const char c : tree.SaveToString())
        if (c != '\r') text += c;
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return TGtpReply::Success("\n" + text);
}

}  // namespace

void RegisterRecordsCommands(TGtpEngine& gtp) {
    gtp.Register("loadsgf", [&gtp](const TGtpArgs& a) { return LoadSgf(gtp, a); });
    gtp.Register("printsgf", [&gtp](const TGtpArgs& a) { return PrintSgf(gtp, a); });
}

}  // namespace obrin
