#include "game/gameflow.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

#include "board/chains.h"
#include "board/errors.h"

namespace obrin {

void ExecuteMoveQuiet(TGameBoard& board, int x, int y, int colour) {
    TBoardFields& f = board.Position.Fields;
    const TBoard before = f.Spielfeld;
    PlayMove(x, y, colour, f.Spielfeld, f.KoX, f.KoY);
    const TStoneDelta delta = StoneCountDelta(before, f.Spielfeld);
    // The opponent's count can only fall, so its fall is the number of stones taken.
    if (colour == 1) board.Game.GefangeneSchwarz -= delta.DMinus;
    if (colour == -1) board.Game.GefangeneWeiss -= delta.DPlus;
}

void ExecuteMove(TEngine& engine, int x, int y, int colour) {
    ExecuteMoveQuiet(engine.Board, x, y, colour);
    engine.Host.Redraw();
    if (engine.Recorder != nullptr) engine.Recorder->RecordMove(x, y, colour);
}

namespace {

constexpr std::string_view kHandicapRows[] = {
    "D4 Q16",
    "D4 Q16 D16",
    "D4 Q16 D16 Q4",
    "D4 Q16 D16 Q4 K10",
    "D4 Q16 D16 Q4 D10 Q10",
    "D4 Q16 D16 Q4 K10 D10 Q10",
    "D4 Q16 D16 Q4 D10 Q10 K4 K16",
    "D4 Q16 D16 Q4 K10 D10 Q10 K4 K16",
};
constexpr std::string_view kSixteen = "D4 G4 K4 N4 Q4 Q7 Q10 Q13 Q16 N16 K16 G16 D16 D13 D10 D7";

std::vector<TPoint> ParsePointTexts(std::string_view texts) {
    std::vector<TPoint> points;
    size_t start = 0;
    while (start < texts.size()) {
        size_t end = texts.find(' ', start);
        if (end == std::string_view::npos) end = texts.size();
        const std::string_view t = texts.substr(start, end - start);
        points.push_back(TPoint{ColumnOfText(t), RowOfText(t)});
        start = end + 1;
    }
    return points;
}

bool Stopped(TEngine& engine) {
    return engine.Host.IsLocked() || engine.Host.Terminating();
}

enum class TTurn { Moved, Passed, Failed };

// The computer's turn for +1: its move or pass is executed and marked. When the analysis fails
// (a position it cannot make sense of), the message is shown, nothing is played and the game
// ends.
TTurn ComputerTurn(TEngine& engine) {
    TPoint move = PassPoint;
    try {
        if (engine.ComputerMove) move = engine.ComputerMove();
    } catch (const EObrinStopped&) {
        engine.Host.SetStatus("");  // the stage the stop came in is over
        return TTurn::Failed;
    } catch (const EObrinError& e) {
        engine.Host.SetStatus("");
        engine.Host.ShowMessage(e.what());
        return TTurn::Failed;
    }
    TGameState& g = engine.Game;
    const bool pass = move.X < 0 || move.Y < 0;
    if (!pass) {
        ExecuteMove(engine, move.X, move.Y, 1);
        g.ComputerZugX = move.X;
        g.ComputerZugY = move.Y;
        UpdateRadar(engine.Fields.SRadar, move.X, move.Y);
    } else {
        ExecuteMove(engine, -1, -1, 1);
        g.ComputerZugX = g.ComputerZugY = -1;
        engine.Fields.KoX = engine.Fields.KoY = -1;
    }
    return pass ? TTurn::Passed : TTurn::Moved;
}

}  // namespace

std::vector<TPoint> HandicapPoints(int n) {
    if (n >= 2 && n <= 9) return ParsePointTexts(kHandicapRows[n - 2]);
    std::vector<TPoint> points;
    switch (n) {
        case 16:
            return ParsePointTexts(kSixteen);
        case 17:
            points = ParsePointTexts(kSixteen);
            break;
        case 19:
            points = ParsePointTexts(kSixteen);
            break;
        case 21:
            points = ParsePointTexts(kSixteen);
            break;
        default:
            return {};
    }
    const std::string_view extra = n == 17 ? "K10" : n == 19 ? "G10 K10 N10" : "G10 K10 N10 K7 K13";
    for (const TPoint& p : ParsePointTexts(extra)) points.push_back(p);
    return points;
}

void PlaceHandicap(TEngine& engine, int n) {
    const std::vector<TPoint> points = HandicapPoints(n);
    if (points.empty()) return;
    if (!engine.Host.ConfirmClear()) return;
    ClearBoard(engine.Fields.Spielfeld);
    engine.Host.Redraw();
    engine.Host.Pause(200);
    for (const TPoint& p : points) {
        SetPoint(engine.Fields.Spielfeld, p.X, p.Y, 1);
        engine.Host.Redraw();
        engine.Host.Pause(200);
    }
}

void RandomMoves(TEngine& engine, const TRandomMovesOptions& options) {
    TBoardFields& f = engine.Fields;
    TGameState& g = engine.Game;
    if (options.SpielfeldLeeren) {
        g.GefangeneSchwarz = g.GefangeneWeiss = 0.0;
        ClearBoard(f.Spielfeld);
        engine.Host.Redraw();
    }
    f.KoX = f.KoY = -1;
    const double whiteShare = std::clamp(options.Farbwahrscheinlichkeit, 0, 100) / 100.0;
    for (int t = 0; t < options.ZugVersuche; ++t) {
        g.SideToMove = engine.Random.Real() > whiteShare ? 1 : -1;
        const int x = engine.Random.Int(BoardSize);
        const int y = engine.Random.Int(BoardSize);
        if (IsLegal(x, y, g.SideToMove, f.KoX, f.KoY, f.Spielfeld))
            ExecuteMove(engine, x, y, g.SideToMove);
    }
    g.SideToMove = 1;
}

void ClearPosition(TEngine& engine) {
    engine.Fields.Spielfeld = engine.Fields.Leerfeld;
    engine.Game.GefangeneSchwarz = engine.Game.GefangeneWeiss = 0.0;
    engine.Host.Redraw();
}

void EnterPosition(TEngine& engine, int x, int y, bool leftButton) {
    if (!OnBoard(x, y)) return;
    TBoard& b = engine.Fields.Spielfeld;
    const int p = PointIndex(x, y);
    b[p] = b[p] != 0 ? 0 : (leftButton ? 1 : -1);
    engine.Host.Redraw();
}

void UpdateRadar(TBoard& field, int x, int y) {
    for (int c = 0; c < BoardSize; ++c)
        for (int r = 0; r < BoardSize; ++r) {
            const double d = std::sqrt(double((r - y) * (r - y) + (c - x) * (c - x)));
            field[PointIndex(c, r)] = static_cast<int32_t>(std::nearbyint(d));  // halves to even
        }
    NegateBoard(field);
    RankField(field);
}

void RankField(TBoard& field) {
    TBoard sorted = field;
    std::sort(sorted.begin(), sorted.end());
    const auto last = std::unique(sorted.begin(), sorted.end());
    for (auto& v : field)
        v = static_cast<int32_t>(std::lower_bound(sorted.begin(), last, v) - sorted.begin());
}

void PlayHumanVsHuman(TEngine& engine) {
    TGameState& g = engine.Game;
    if (!engine.Host.RunStartDialog(1, g)) return;
    g.ComputerWeiss = false;
    int colour = g.SchwarzBeginnt ? 1 : -1;
    engine.Host.SetPlayingMode(true);
    bool ended = false;
    while (!ended) {
        int x = -1, y = -1;
        ended = !engine.Host.WaitForMove(colour, x, y);
        TBoardFields& f = engine.Fields;
        if (!ended && IsLegal(x, y, colour, f.KoX, f.KoY, f.Spielfeld)) {
            ExecuteMove(engine, x, y, colour);
            UpdateRadar(f.WRadar, x, y);
            g.MenschZugX = x;
            g.MenschZugY = y;
            if (x >= 0 && y >= 0) colour = -colour;  // a pass leaves the same side to move
            engine.Host.RefreshControl();
            engine.Host.Redraw();
        }
        if (Stopped(engine)) ended = true;
    }
    engine.Host.SetPlayingMode(false);
    g.SideToMove = 1;
}

void PlayHumanVsComputer(TEngine& engine) {
    TGameState& g = engine.Game;
    TBoardFields& f = engine.Fields;
    if (!engine.Host.RunStartDialog(0, g)) return;
    g.MenschZugX = g.MenschZugY = f.KoX = f.KoY = -1;
    engine.Random.Randomize();
    int passes = 0;
    engine.Host.SetPlayingMode(true);
    bool ended = false;
    do {
        if (g.ComputerBeginnt) {
            engine.Host.SetBusy(true);
            const TTurn turn = ComputerTurn(engine);
            engine.Host.SetBusy(false);
            if (turn == TTurn::Failed) break;
            const bool pass = turn == TTurn::Passed;
            passes = pass ? passes + 1 : 0;
            if (pass) engine.Host.ShowMessage("Ich verzichte");
            engine.Host.RefreshControl();
            engine.Host.Redraw();
        }
        g.ComputerBeginnt = true;
        int x = -1, y = -1;
        ended = !engine.Host.WaitForMove(-1, x, y);
        if (!ended && IsLegal(x, y, -1, f.KoX, f.KoY, f.Spielfeld)) {
            ExecuteMove(engine, x, y, -1);
            passes = (x >= 0 && y >= 0) ? 0 : passes + 1;
            g.MenschZugX = x;
            g.MenschZugY = y;
            UpdateRadar(f.WRadar, x, y);
            engine.Host.RefreshControl();
            engine.Host.Redraw();
        }
    } while (!ended && !Stopped(engine) && passes < 2);
    engine.Host.SetPlayingMode(false);
}

void PlaySelfPlay(TEngine& engine) {
    TGameState& g = engine.Game;
    TBoardFields& f = engine.Fields;
    g.MenschZugX = g.MenschZugY = f.KoX = f.KoY = -1;
    g.ComputerWeiss = false;
    engine.Random.Randomize();
    int passes = 0;
    engine.Host.SetPlayingMode(true);
    bool failed = false;
    do {
        engine.Host.SetBusy(true);
        const TTurn turn = ComputerTurn(engine);
        engine.Host.SetBusy(false);
        if ((failed = turn == TTurn::Failed)) break;
        passes = turn == TTurn::Passed ? passes + 1 : 0;
        engine.Host.RefreshControl();
        // The side to move next becomes +1 again. The prisoner counts follow the stones, so
        // each count stays with the player who really made those captures.
        NegateBoard(f.Spielfeld);
        g.ComputerWeiss = !g.ComputerWeiss;
        std::swap(g.GefangeneSchwarz, g.GefangeneWeiss);
        engine.Host.Redraw();
    } while (!Stopped(engine) && passes <= 1);
    engine.Host.SetPlayingMode(false);
    g.SideToMove = 1;
    if (!failed) engine.Host.ShowScore();
}

}  // namespace obrin
