#include "gtp/gtp_records.h"

#include <charconv>
#include <sstream>

#include "gtp/gtp.h"
#include "records/replay.h"
#include "records/sgfparse.h"
#include "records/sgftree.h"

namespace obrin {
namespace {

class TQuietHost : public IHost {};

TGtpReply LoadSgf(TGtpEngine& gtp, const TGtpArgs& args) {
    if (args.empty() || args.size() > 2) return TGtpReply::Failure("syntax error");
    int moveNumber = -1;
    if (args.size() == 2) {
        const std::string& a = args[1];
        const auto [end, ec] = std::from_chars(a.data(), a.data() + a.size(), moveNumber);
        if (ec != std::errc() || end != a.data() + a.size() || moveNumber < 1)
            return TGtpReply::Failure("syntax error");
    }
    TEngine& engine = gtp.Engine();
    std::vector<std::string> messages;
    TSgfParser parser;
    parser.SetMessageReceiver(&messages);
    TSgfTreeModel tree(engine);
    tree.SetSgfParser(&parser);
    TRecordReplay replay(engine, tree);
    try {
        parser.SetFilename(args[0]);
        parser.SetActive(true);
    } catch (const std::exception&) {
        return TGtpReply::Failure("cannot load file");
    }
    if (tree.Items().empty()) return TGtpReply::Failure("cannot load file");
    ReplayMainLine(tree, replay, moveNumber < 0 ? -1 : NodesBeforeMove(tree, moveNumber));
    const TBoardFields& f = engine.Fields;
    gtp.SetUpPosition(f.Spielfeld, {f.KoX, f.KoY}, engine.Game.GefangeneSchwarz,
                      engine.Game.GefangeneWeiss);
    return TGtpReply::Success();
}

TGtpReply PrintSgf(TGtpEngine& gtp, const TGtpArgs& args) {
    if (args.size() > 1) return TGtpReply::Failure("syntax error");
    // The record is built on a scratch engine from the remembered game, so undo is honoured
    // and the current position is not touched.
    TQuietHost host;
    TEngine scratch(host);
    for (const auto& s : gtp.Setup())
        SetPoint(scratch.Fields.Spielfeld, s.Point.X, s.Point.Y, s.Colour);
    TSgfParser parser;
    TSgfTreeModel tree(scratch);
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
        } catch (const std::exception&) {
            return TGtpReply::Failure("cannot save file");
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
