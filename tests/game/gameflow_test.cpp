#include "game/gameflow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "board/chains.h"
#include "board/errors.h"
#include "support/diagram.h"

namespace obrin {
namespace {

// A host that plays a script: each WaitForMove takes the next scripted answer; an exhausted
// script locks the board, as the stop button does.
class ScriptedHost : public IHost {
  public:
    struct Answer {
        int X, Y;
        bool Stop = false;
        THumanInput Input = THumanInput::Move;  // TakeBack or Resign instead of the point
    };
    std::deque<Answer> Script;
    std::vector<int> AskedColours;
    std::vector<std::string> Messages;
    bool StartDialogOk = true;
    int StartPage = -1;
    bool AllowClear = true;
    int ConfirmCalls = 0;
    int Pauses = 0;
    int ScoreShown = 0;
    bool Locked = false;

    bool WaitForMove(int colour, int& x, int& y) override {
        AskedColours.push_back(colour);
        if (Script.empty() || Script.front().Stop) {
            if (!Script.empty()) Script.pop_front();
            Locked = true;
            x = y = -1;
            return false;
        }
        x = Script.front().X;
        y = Script.front().Y;
        Script.pop_front();
        return true;
    }
    THumanInput AwaitHumanTurn(int colour, bool canTakeBack, int& x, int& y) override {
        TakeBackOffered.push_back(canTakeBack);
        if (!Script.empty() && Script.front().Input != THumanInput::Move) {
            const THumanInput input = Script.front().Input;
            Script.pop_front();
            AskedColours.push_back(colour);
            return input;
        }
        return IHost::AwaitHumanTurn(colour, canTakeBack, x, y);
    }
    std::vector<bool> TakeBackOffered;
    // The record marks handed out and the last one gone back to.
    int64_t RecordMark() override { return Marks++; }
    void RewindRecord(int64_t mark) override { RewoundTo = mark; }
    int64_t Marks = 0, RewoundTo = -1;
    bool IsLocked() override { return Locked; }
    bool RunStartDialog(int page, TGameState& game) override {
        StartPage = page;
        if (StartDialogOk && OnStart) OnStart(game);
        return StartDialogOk;
    }
    std::function<void(TGameState&)> OnStart;
    bool ConfirmClear() override {
        ++ConfirmCalls;
        return AllowClear;
    }
    void ShowMessage(const std::string& text) override { Messages.push_back(text); }
    void Pause(int ms) override { Pauses += ms == 200; }
    void GameEnded(const TGameEnd& end) override {
        ++ScoreShown;
        Ends.push_back(end);
    }
    std::vector<TGameEnd> Ends;
};

class RecordingRecorder : public IGameRecorder {
  public:
    struct Move {
        int X, Y, Colour;
    };
    std::vector<Move> Moves;
    void RecordMove(int x, int y, int colour) override { Moves.push_back({x, y, colour}); }
};

class GameFlow : public ::testing::Test {
  protected:
    ScriptedHost host;
    TEngine engine{host};
    RecordingRecorder recorder;
    void SetUp() override { engine.Recorder = &recorder; }
    TBoard& Board() { return engine.Fields.Spielfeld; }
    // The points as the board shows them: X black, O white, . empty.
    std::string Stones(std::initializer_list<TPoint> points) {
        std::string shown;
        for (const TPoint p : points) shown += ".XO"[(GetPoint(Board(), p.X, p.Y) + 3) % 3];
        return shown;
    }
};

TEST_F(GameFlow, ExecuteMoveCreditsCapturesToTheMover) {
    Board() = test::FromDiagram(R"(
        O O O .
        X X X X)");
    ExecuteMove(engine, 3, 18, 1);
    EXPECT_EQ(engine.Game.GefangeneSchwarz, 3.0);
    EXPECT_EQ(engine.Game.GefangeneWeiss, 0.0);
    ExecuteMove(engine, -1, -1, -1);
    EXPECT_EQ(engine.Game.GefangeneWeiss, 0.0);
    ASSERT_EQ(recorder.Moves.size(), 2u);
    EXPECT_EQ(recorder.Moves[1].X, -1);

    ExecuteMoveQuiet(engine.Board, 10, 10, -1);
    EXPECT_EQ(recorder.Moves.size(), 2u);  // the quiet move records nothing
}

// Which points a handicap takes is checked through GTP's fixed_handicap; here, placing them.
TEST_F(GameFlow, HandicapIsPlacedAfterAskingAndLeavesThePrisoners) {
    engine.Game.GefangeneWeiss = 5.5;
    PlaceHandicap(engine, 9);
    int stones = 0;
    for (const int v : Board()) stones += v == 1;
    EXPECT_EQ(stones, 9);
    EXPECT_EQ(host.Pauses, 10);
    EXPECT_EQ(engine.Game.GefangeneWeiss, 5.5);  // prisoners untouched

    host.AllowClear = false;
    const TBoard before = Board();
    PlaceHandicap(engine, 4);
    EXPECT_EQ(Board(), before);
}

TEST_F(GameFlow, TwoHumansAlternateAndAPassKeepsTheSide) {
    engine.Game.SchwarzBeginnt = false;
    host.Script = {{3, 3}, {-1, -1}, {4, 4}, {4, 4}, {5, 5}};
    PlayHumanVsHuman(engine);
    EXPECT_EQ(host.StartPage, 1);
    // White starts: W D4, B pass (Black moves again), B E5, W E5 refused (occupied), W F6.
    EXPECT_EQ(host.AskedColours, (std::vector<int>{-1, 1, 1, -1, -1, 1}));
    EXPECT_EQ(Stones({{3, 3}, {4, 4}, {5, 5}}), "OXO");
    EXPECT_EQ(recorder.Moves.size(), 4u);
    EXPECT_EQ(engine.Game.SideToMove, 1);
}

TEST_F(GameFlow, HumanAgainstComputerEndsAfterComputerPassThenHumanPass) {
    std::deque<TPoint> computer{{3, 3}, {-1, -1}};
    engine.ComputerMove = [&] {
        const TPoint p = computer.empty() ? PassPoint : computer.front();
        if (!computer.empty()) computer.pop_front();
        return p;
    };
    engine.Game.ComputerBeginnt = true;
    host.Script = {{15, 15}, {-1, -1}};
    PlayHumanVsComputer(engine);
    EXPECT_EQ(Stones({{3, 3}, {15, 15}}), "XO");
    EXPECT_EQ(host.Messages, (std::vector<std::string>{"Ich verzichte"}));
    EXPECT_EQ(host.AskedColours.size(), 2u);
    EXPECT_TRUE(host.Script.empty());
    EXPECT_FALSE(host.Locked);  // ended by passes, not by stop
}

TEST_F(GameFlow, ACancelledStartDialogOrTheStopEndsTheGame) {
    host.StartDialogOk = false;
    PlayHumanVsHuman(engine);
    PlayHumanVsComputer(engine);
    EXPECT_TRUE(host.AskedColours.empty());
    host.StartDialogOk = true;
    engine.ComputerMove = [] { return TPoint{9, 9}; };
    engine.Game.ComputerBeginnt = true;
    host.Script = {{0, 0, true}};
    PlayHumanVsComputer(engine);
    EXPECT_EQ(Board()[PointIndex(9, 9)], 1);
    EXPECT_EQ(recorder.Moves.size(), 1u);
}

TEST_F(GameFlow, HumanPassFollowedByComputerPassStillAsksTheHuman) {
    engine.ComputerMove = [] { return PassPoint; };
    engine.Game.ComputerBeginnt = false;
    // Human passes, computer passes (2 passes, but the test is only made after the human's
    // turn), human plays a stone (resets), computer passes, human passes: over.
    host.Script = {{-1, -1}, {5, 5}, {-1, -1}};
    PlayHumanVsComputer(engine);
    EXPECT_EQ(host.AskedColours.size(), 3u);
    EXPECT_EQ(Board()[PointIndex(5, 5)], -1);
    EXPECT_FALSE(host.Locked);
}

TEST_F(GameFlow, AFailedAnalysisEndsTheGameWithItsMessage) {
    int asked = 0;
    engine.ComputerMove = [&]() -> TPoint {
        if (++asked == 2) throw EObrinError("EObrGroupNotFound (7)");
        return TPoint{9, 9};
    };
    PlaySelfPlay(engine);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(recorder.Moves.size(), 1u);
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0], "EObrGroupNotFound (7)");
    EXPECT_EQ(host.ScoreShown, 0);

    engine.Game.ComputerBeginnt = true;
    host.Messages.clear();
    asked = 1;
    PlayHumanVsComputer(engine);
    EXPECT_EQ(host.Messages.size(), 1u);
    EXPECT_TRUE(host.AskedColours.empty());
}

TEST_F(GameFlow, SelfPlayAlternatesColoursAndCreditsRealCaptures) {
    // The engine always plays +1; after each move the board is negated and the colour flag
    // flipped, so a capture made by White must end up in White's count.
    std::deque<TPoint> moves{{0, 18}, {1, 18}, {5, 5}, {0, 17}, {-1, -1}, {-1, -1}};
    engine.ComputerMove = [&] {
        const TPoint p = moves.front();
        moves.pop_front();
        return p;
    };
    engine.Game.GefangeneWeiss = 5.5;  // komi
    PlaySelfPlay(engine);
    EXPECT_TRUE(moves.empty());
    EXPECT_EQ(host.ScoreShown, 1);
    EXPECT_TRUE(host.Ends.back().Finished);  // two passes: a result for the record
    // Black A19, White B19, Black F6, White A18 captures A19. Two passes: Black then White.
    ASSERT_EQ(recorder.Moves.size(), 6u);
    // Six moves: the flag flipped six times, so +1 is Black again and the counts follow it.
    EXPECT_FALSE(engine.Game.ComputerWeiss);
    EXPECT_EQ(engine.Game.GefangeneSchwarz, 0.0);
    EXPECT_EQ(engine.Game.GefangeneWeiss, 6.5);
    EXPECT_EQ(Stones({{0, 18}, {1, 18}, {0, 17}, {5, 5}}), ".OOX");
}

// The engine plays +1; with the computer as White, +1 is drawn white. Starting a game keeps
// every stone in its drawn colour, so handicap stones placed for Black stay Black's (the
// human's) when the computer takes White; a later handicap is Black's again.
TEST_F(GameFlow, HandicapStonesStayBlackWhenTheComputerPlaysWhite) {
    PlaceHandicap(engine, 4);
    EXPECT_EQ(HandicapStonesOn(Board(), 1), 4);
    host.OnStart = [](TGameState& g) {  // what the dialog's OK writes: komi to White, +1
        g.ComputerWeiss = true;
        g.ComputerBeginnt = true;
        g.GefangeneSchwarz = 5.5;
        g.GefangeneWeiss = 0;
    };
    engine.ComputerMove = [] { return TPoint{9, 9}; };
    host.Script = {{0, 0, true}};
    PlayHumanVsComputer(engine);
    for (const TPoint& p : HandicapPoints(4))
        EXPECT_EQ(GetPoint(Board(), p.X, p.Y), -1);  // the human's stones, drawn black
    EXPECT_TRUE(IsDrawnBlack(engine.Game, -1));
    EXPECT_EQ(GetPoint(Board(), 9, 9), 1);
    EXPECT_EQ(PrisonersOf(engine.Game, false), 5.5);
    EXPECT_EQ(CountedResult(engine.Game, 2.0), "W+2");  // +1 leads, and +1 is White
    EXPECT_EQ(ResignedResult(engine.Game, -1), "W+R");

    PlaceHandicap(engine, 2);
    EXPECT_FALSE(engine.Game.ComputerWeiss);
    EXPECT_EQ(HandicapStonesOn(Board(), 1), 2);
    EXPECT_EQ(PrisonersOf(engine.Game, false), 5.5);  // the counts kept their colours
}

TEST_F(GameFlow, HandicapStonesAreRecognisedOnlyOnATableRow) {
    Board() = test::FromPoints("X D4 Q16");
    EXPECT_EQ(HandicapStonesOn(Board(), 1), 2);
    EXPECT_EQ(HandicapStonesOn(Board(), -1), 0);
    Board() = test::FromPoints("X D4 Q16 O K10");
    EXPECT_EQ(HandicapStonesOn(Board(), 1), 0);
    Board() = test::FromPoints("X D4 Q4");
    EXPECT_EQ(HandicapStonesOn(Board(), 1), 0);
    Board() = test::FromPoints("X D4");
    EXPECT_EQ(HandicapStonesOn(Board(), 1), 0);
}

// Taking back returns to the human's turn before: the computer's move and the human's capture
// are undone with the prisoners, the ko point, the marks and the record; the computer answers
// the new move with its next choice.
TEST_F(GameFlow, TakingBackRestoresTheHumansTurnBefore) {
    Board() = test::FromDiagram(R"(
        X O
        . .)");
    std::deque<TPoint> computer{{10, 10}, {11, 11}, {12, 12}};
    engine.ComputerMove = [&] {
        const TPoint p = computer.empty() ? PassPoint : computer.front();
        if (!computer.empty()) computer.pop_front();
        return p;
    };
    engine.Game.ComputerBeginnt = true;
    // The human takes A19 with A18, the computer answers, the human takes both back and plays
    // D4 instead.
    host.Script = {{0, 17}, {0, 0, false, THumanInput::TakeBack}, {3, 3}, {0, 0, true}};
    PlayHumanVsComputer(engine);
    EXPECT_EQ(Stones({{0, 18}, {0, 17}, {3, 3}, {12, 12}, {11, 11}}), "X.OX.");
    EXPECT_EQ(host.RewoundTo, 0);
    EXPECT_EQ(host.TakeBackOffered, (std::vector<bool>{false, true, false, true}));
    EXPECT_TRUE(host.Ends.empty());  // stopped: no end to count
    EXPECT_EQ(engine.Game.GefangeneWeiss, 0.0);
}

TEST_F(GameFlow, ResigningEndsTheGameWithTheWinnersResult) {
    engine.ComputerMove = [] { return TPoint{9, 9}; };
    engine.Game.ComputerBeginnt = true;
    host.Script = {{0, 0, false, THumanInput::Resign}};
    PlayHumanVsComputer(engine);
    ASSERT_EQ(host.Ends.size(), 1u);
    EXPECT_TRUE(host.Ends[0].Resigned);
    EXPECT_EQ(host.Ends[0].Result, "B+R");  // the human was White

    host.Ends.clear();
    host.Script = {{3, 3}, {0, 0, false, THumanInput::Resign}};
    PlayHumanVsHuman(engine);
    ASSERT_EQ(host.Ends.size(), 1u);
    EXPECT_EQ(host.Ends[0].Result, "B+R");  // White resigned after Black's D4
}

}  // namespace
}  // namespace obrin
