#include "game/gameflow.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

#include "board/chains.h"
#include "board/errors.h"
#include "game/movedriver.h"
#include "game/scoring.h"

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
TTurn ComputerTurn(TEngine& engine, bool opponentPassed) {
    TPoint move = PassPoint;
    const TGameState& last = engine.Game;
    const auto stone = [](int x, int y) { return OnBoard(x, y) ? PointIndex(x, y) : -1; };
    engine.RecentMoves = {stone(last.MenschZugX, last.MenschZugY),
                          stone(last.ComputerZugX, last.ComputerZugY)};
    try {
        move = ChooseComputerMove(engine, opponentPassed);
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
    // Handicap stones are Black's: +1 is drawn black from here on, whoever played White before.
    SetColourSwap(engine, false);
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
    // The dialog's shares are Black's and White's: +1 is drawn black for it.
    SetColourSwap(engine, false);
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

bool IsDrawnBlack(const TGameState& game, int colour) {
    return (colour == 1) != game.ComputerWeiss;
}

double PrisonersOf(const TGameState& game, bool black) {
    return black == IsDrawnBlack(game, 1) ? game.GefangeneSchwarz : game.GefangeneWeiss;
}

void SetColourSwap(TEngine& engine, bool swapped) {
    TGameState& g = engine.Game;
    if (g.ComputerWeiss == swapped) return;
    NegateBoard(engine.Fields.Spielfeld);
    std::swap(g.GefangeneSchwarz, g.GefangeneWeiss);
    g.ComputerWeiss = swapped;
}

int HandicapStonesOn(const TBoard& board, int colour) {
    int stones = 0;
    for (const int32_t v : board) {
        if (v == -colour) return 0;
        stones += v == colour;
    }
    const std::vector<TPoint> row = HandicapPoints(stones);
    if (row.empty()) return 0;
    for (const TPoint& p : row)
        if (GetPoint(board, p.X, p.Y) != colour) return 0;
    return stones;
}

std::string CountedResult(const TGameState& game, double balance) {
    return GtpScoreText(IsDrawnBlack(game, 1) ? balance : -balance);
}

std::string ResignedResult(const TGameState& game, int colour) {
    return IsDrawnBlack(game, colour) ? "W+R" : "B+R";
}

namespace {

// Everything a take-back restores: the position, ko, prisoners, the last-move marks, the
// radar fields, the pass count and the record as they stood at a turn of the human.
struct TTurnState {
    TBoard Spielfeld{}, SRadar{}, WRadar{};
    int32_t KoX = -1, KoY = -1;
    double GefangeneSchwarz = 0, GefangeneWeiss = 0;
    int32_t ComputerZugX = -1, ComputerZugY = -1, MenschZugX = -1, MenschZugY = -1;
    int Passes = 0;
    int Colour = -1;  // the side to move
    int64_t Record = 0;
};

TTurnState CaptureTurn(TEngine& engine, int passes, int colour) {
    const TBoardFields& f = engine.Fields;
    const TGameState& g = engine.Game;
    return {f.Spielfeld,
            f.SRadar,
            f.WRadar,
            f.KoX,
            f.KoY,
            g.GefangeneSchwarz,
            g.GefangeneWeiss,
            g.ComputerZugX,
            g.ComputerZugY,
            g.MenschZugX,
            g.MenschZugY,
            passes,
            colour,
            engine.Host.RecordMark()};
}

void RestoreTurn(TEngine& engine, const TTurnState& t) {
    TBoardFields& f = engine.Fields;
    TGameState& g = engine.Game;
    f.Spielfeld = t.Spielfeld;
    f.SRadar = t.SRadar;
    f.WRadar = t.WRadar;
    f.KoX = t.KoX;
    f.KoY = t.KoY;
    g.GefangeneSchwarz = t.GefangeneSchwarz;
    g.GefangeneWeiss = t.GefangeneWeiss;
    g.ComputerZugX = t.ComputerZugX;
    g.ComputerZugY = t.ComputerZugY;
    g.MenschZugX = t.MenschZugX;
    g.MenschZugY = t.MenschZugY;
    engine.Host.RewindRecord(t.Record);
    engine.Host.RefreshControl();
    engine.Host.Redraw();
}

// The positions at the human's turns, newest last. Taking back returns to the turn before the
// current one, so there must be two.
class TTurnHistory {
  public:
    void Push(TEngine& engine, int passes, int colour) {
        m_turns.push_back(CaptureTurn(engine, passes, colour));
    }
    [[nodiscard]] bool CanTakeBack() const { return m_turns.size() >= 2; }
    // Forgets the current turn, which is captured again when the same turn is asked anew.
    void DropCurrent() { m_turns.pop_back(); }
    // Restores the turn before the current one and returns it; both turns are dropped, since
    // that turn is captured again when it is asked for.
    TTurnState TakeBack(TEngine& engine) {
        m_turns.pop_back();
        const TTurnState t = m_turns.back();
        m_turns.pop_back();
        RestoreTurn(engine, t);
        return t;
    }

  private:
    std::vector<TTurnState> m_turns;
};

// The start dialog on page. The dialog writes the colour presentation and the prisoners as
// they hold once the game runs; the stones already on the board keep their drawn colours.
bool RunStart(TEngine& engine, int page) {
    TGameState& g = engine.Game;
    const bool before = g.ComputerWeiss;
    if (!engine.Host.RunStartDialog(page, g)) return false;
    if (g.ComputerWeiss != before) NegateBoard(engine.Fields.Spielfeld);
    return true;
}

void BeginGame(TEngine& engine, TGameKind kind) {
    engine.Host.GameStarts(kind);
    engine.Host.SetPlayingMode(true);
}

void EndGame(TEngine& engine, bool over, const TGameEnd& end) {
    engine.Host.SetPlayingMode(false);
    if (over) engine.Host.GameEnded(end);
}

}  // namespace

void PlayHumanVsHuman(TEngine& engine) {
    TGameState& g = engine.Game;
    TBoardFields& f = engine.Fields;
    if (!RunStart(engine, 1)) return;
    SetColourSwap(engine, false);
    int colour = g.SchwarzBeginnt ? 1 : -1;
    BeginGame(engine, TGameKind::HumanHuman);
    TTurnHistory turns;
    TGameEnd end;
    bool over = false;
    for (;;) {
        turns.Push(engine, 0, colour);
        int x = -1, y = -1;
        const THumanInput input = engine.Host.AwaitHumanTurn(colour, turns.CanTakeBack(), x, y);
        if (input == THumanInput::Stopped) break;
        if (input == THumanInput::Resign) {
            end = {true, ResignedResult(g, colour)};
            over = true;
            break;
        }
        if (input == THumanInput::TakeBack) {
            if (turns.CanTakeBack())
                colour = turns.TakeBack(engine).Colour;
            else
                turns.DropCurrent();
            continue;
        }
        if (IsLegal(x, y, colour, f.KoX, f.KoY, f.Spielfeld)) {
            ExecuteMove(engine, x, y, colour);
            UpdateRadar(f.WRadar, x, y);
            g.MenschZugX = x;
            g.MenschZugY = y;
            if (x >= 0 && y >= 0) colour = -colour;  // a pass leaves the same side to move
            engine.Host.RefreshControl();
            engine.Host.Redraw();
        }
        if (Stopped(engine)) break;
    }
    EndGame(engine, over, end);
    g.SideToMove = 1;
}

void PlayHumanVsComputer(TEngine& engine) {
    TGameState& g = engine.Game;
    TBoardFields& f = engine.Fields;
    if (!RunStart(engine, 0)) return;
    g.MenschZugX = g.MenschZugY = f.KoX = f.KoY = -1;
    engine.Random.Randomize();
    int passes = 0;
    bool humanPassed = false;
    bool computerMoves = g.ComputerBeginnt;
    BeginGame(engine, TGameKind::HumanComputer);
    TTurnHistory turns;
    TGameEnd end;
    bool over = false;
    for (;;) {
        if (computerMoves) {
            engine.Host.SetBusy(true);
            const TTurn turn = ComputerTurn(engine, humanPassed);
            engine.Host.SetBusy(false);
            if (turn == TTurn::Failed) break;
            const bool pass = turn == TTurn::Passed;
            passes = pass ? passes + 1 : 0;
            if (pass) engine.Host.ShowMessage("Ich verzichte");
            engine.Host.RefreshControl();
            engine.Host.Redraw();
        }
        // From the second pass through the loop on, the computer moves at the start of each.
        g.ComputerBeginnt = computerMoves = true;
        turns.Push(engine, passes, -1);
        int x = -1, y = -1;
        const THumanInput input = engine.Host.AwaitHumanTurn(-1, turns.CanTakeBack(), x, y);
        if (input == THumanInput::Stopped) break;
        if (input == THumanInput::Resign) {
            end = {true, ResignedResult(g, -1)};
            over = true;
            break;
        }
        if (input == THumanInput::TakeBack) {
            // The computer's last move and the human's move before it; the human moves again.
            if (turns.CanTakeBack()) {
                passes = turns.TakeBack(engine).Passes;
                humanPassed = false;
            } else {
                turns.DropCurrent();
            }
            computerMoves = false;
            continue;
        }
        if (IsLegal(x, y, -1, f.KoX, f.KoY, f.Spielfeld)) {
            ExecuteMove(engine, x, y, -1);
            humanPassed = x < 0 || y < 0;
            passes = humanPassed ? passes + 1 : 0;
            g.MenschZugX = x;
            g.MenschZugY = y;
            UpdateRadar(f.WRadar, x, y);
            engine.Host.RefreshControl();
            engine.Host.Redraw();
        }
        // The test for the end by passes is made only here, after the human's turn.
        if (Stopped(engine)) break;
        if (passes >= 2) {
            over = true;
            break;
        }
    }
    EndGame(engine, over, end);
}

void PlaySelfPlay(TEngine& engine) {
    TGameState& g = engine.Game;
    TBoardFields& f = engine.Fields;
    g.MenschZugX = g.MenschZugY = f.KoX = f.KoY = -1;
    SetColourSwap(engine, false);
    engine.Random.Randomize();
    int passes = 0;
    BeginGame(engine, TGameKind::SelfPlay);
    bool failed = false;
    do {
        engine.Host.SetBusy(true);
        const TTurn turn = ComputerTurn(engine, passes > 0);
        engine.Host.SetBusy(false);
        if ((failed = turn == TTurn::Failed)) break;
        passes = turn == TTurn::Passed ? passes + 1 : 0;
        engine.Host.RefreshControl();
        // The side to move next becomes +1 again, drawn and recorded in its own colour; the
        // prisoner counts follow the stones, so each stays with the player who made them.
        SetColourSwap(engine, !g.ComputerWeiss);
        engine.Host.Redraw();
    } while (!Stopped(engine) && passes <= 1);
    g.SideToMove = 1;
    TGameEnd end;
    end.Finished = passes > 1;
    EndGame(engine, !failed, end);
}

}  // namespace obrin
