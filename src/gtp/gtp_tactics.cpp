#include "gtp/gtp_tactics.h"

#include <iostream>

#include "tactics/brute.h"
#include "tactics/reading.h"
#include "tactics/treppe.h"

namespace obrin {
namespace {

// The chain a tactical command asks about: one vertex on a stone. Fills an error reply when the
// argument is missing, malformed, the pass or an empty point.
bool ChainArgument(const TEngine& engine, const TGtpArgs& args, TPoint& point, TGtpReply& error) {
    if (args.size() != 1 || !TGtpEngine::ParseVertex(args[0], point) ||
        !OnBoard(point.X, point.Y)) {
        error = TGtpReply::Failure("syntax error");
        return false;
    }
    if (engine.Fields.Spielfeld[PointIndex(point.X, point.Y)] == 0) {
        error = TGtpReply::Failure("vertex must not be empty");
        return false;
    }
    return true;
}

std::string MoveText(TPoint p) {
    return OnBoard(p.X, p.Y) ? PointText(p.X, p.Y) : "PASS";
}

// The result code of a success as GNU Go's GTP gives it: 1 outright, 2 when the side wins the ko
// it takes first, 3 when it must find a ko threat first.
int SuccessCode(TKoResult ko) {
    return ko == TKoResult::KoA ? 2 : ko == TKoResult::KoB ? 3 : 1;
}

// Reads an attack or defence question on the game position and answers "CODE MOVE" for a
// success or "0"; an undecided search answers "0" and says so on standard error.
TGtpReply RunFight(TEngine& engine, const TGtpArgs& args, int readingMs, bool attack) {
    TPoint p;
    TGtpReply error;
    if (!ChainArgument(engine, args, p, error)) return error;
    const TBoardFields& f = engine.Fields;
    const uint64_t deadline = engine.Reader.NowMs() + static_cast<uint64_t>(readingMs);
    const TReadingAnswer a =
        attack ? ReadAttack(engine.Reader, p.X, p.Y, f.KoX, f.KoY, f.Spielfeld, deadline)
               : ReadDefend(engine.Reader, p.X, p.Y, f.KoX, f.KoY, f.Spielfeld, deadline);
    if (a.Result == FightSuccess)
        return TGtpReply::Success(std::to_string(SuccessCode(a.KoKind)) + " " + MoveText(a.Move));
    if (a.Result == FightUndecided)
        std::cerr << (attack ? "attack " : "defend ") << PointText(p.X, p.Y) << ": undecided after "
                  << readingMs << " ms\n";
    return TGtpReply::Success("0");
}

}  // namespace

void RegisterTacticsCommands(TGtpEngine& gtp, int readingMs) {
    TEngine& engine = gtp.Engine();
    gtp.Register("attack", [&engine, readingMs](const TGtpArgs& a) {
        return RunFight(engine, a, readingMs, true);
    });
    gtp.Register("defend", [&engine, readingMs](const TGtpArgs& a) {
        return RunFight(engine, a, readingMs, false);
    });
    gtp.Register("ladder_attack", [&engine](const TGtpArgs& a) {
        TPoint p;
        TGtpReply error;
        if (!ChainArgument(engine, a, p, error)) return error;
        const TBoardFields& f = engine.Fields;
        const int move = Ladder(engine.Reader, p.X, p.Y, f.Spielfeld, f.KoX, f.KoY);
        if (move < 0) return TGtpReply::Success("0");
        return TGtpReply::Success("1 " + PointText(PointColumn(move), PointRow(move)));
    });
}

}  // namespace obrin
