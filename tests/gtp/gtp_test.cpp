#include "gtp/gtp.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace obrin {
namespace {

class Gtp : public ::testing::Test {
  protected:
    IHost host;
    TEngine engine{host};
    TGtpEngine gtp{engine};

    std::string Ask(const std::string& line) {
        bool quit = false;
        return gtp.HandleLine(line, quit);
    }
};

TEST_F(Gtp, AdministrativeCommandsIdsAndAwkwardLines) {
    EXPECT_EQ(Ask("protocol_version"), "= 2\n\n");
    EXPECT_EQ(Ask("7 name"), "=7 Obrin\n\n");
    EXPECT_EQ(Ask("known_command play"), "= true\n\n");
    EXPECT_EQ(Ask("known_command genmove_nothing"), "= false\n\n");
    EXPECT_NE(Ask("list_commands").find("\nis_legal\n"), std::string::npos);
    EXPECT_EQ(Ask("boardsize 19"), "= \n\n");
    EXPECT_EQ(Ask("boardsize 13"), "? unacceptable size\n\n");
    EXPECT_EQ(Ask("frobnicate"), "? unknown command\n\n");
    EXPECT_EQ(Ask("   # only a comment"), "");
    EXPECT_EQ(Ask("3 name # trailing comment"), "=3 Obrin\n\n");
    EXPECT_EQ(Ask("\tname\r"), "= Obrin\n\n");
    // Ids of any length are echoed as written; a sign makes no id but a command name.
    EXPECT_EQ(Ask("2147483648 name"), "=2147483648 Obrin\n\n");
    const std::string longId(200, '9');
    EXPECT_EQ(Ask(longId + " frobnicate"), "?" + longId + " unknown command\n\n");
    EXPECT_EQ(Ask("007 name"), "=007 Obrin\n\n");
    EXPECT_EQ(Ask("-1 name"), "? unknown command\n\n");
    // Random lines are the GTP fuzzer's work; here are the awkward ones: a huge line, an
    // overflowing number and a NUL byte.
    EXPECT_EQ(Ask(std::string(100000, 'x')), "? unknown command\n\n");
    EXPECT_EQ(Ask("boardsize 99999999999999999999"), "? syntax error\n\n");
    EXPECT_EQ(Ask(std::string("play\0b A1", 9)), "? unknown command\n\n");
    // A session ends at quit.
    std::istringstream in("name\nquit\nname\n");
    std::ostringstream out;
    gtp.Run(in, out);
    EXPECT_EQ(out.str(), "= Obrin\n\n= \n\n");
}

TEST_F(Gtp, PlayCapturesAndIllegalMoves) {
    EXPECT_EQ(Ask("play b A2"), "= \n\n");
    EXPECT_EQ(Ask("play w A1"), "= \n\n");
    EXPECT_EQ(Ask("play black B1"), "= \n\n");  // takes A1
    EXPECT_EQ(Ask("list_stones white"), "= \n\n");
    EXPECT_EQ(Ask("list_stones b"), "= B1 A2\n\n");
    EXPECT_EQ(Ask("captures b"), "= 1\n\n");
    EXPECT_EQ(Ask("is_legal w A1"), "= 0\n\n");  // suicide
    EXPECT_EQ(Ask("play w A1"), "? illegal move\n\n");
    EXPECT_EQ(Ask("play w B1"), "? illegal move\n\n");  // occupied
    EXPECT_EQ(Ask("play w pass"), "= \n\n");
    EXPECT_EQ(Ask("play w I5"), "? syntax error\n\n");
    EXPECT_EQ(Ask("play w A20"), "? syntax error\n\n");
    EXPECT_EQ(Ask("play green A1"), "? syntax error\n\n");
    EXPECT_EQ(Ask("play w"), "? syntax error\n\n");
}

// Black takes the ko at C18: White may not retake at once, Black may fill; after another pair of
// moves White may retake.
TEST_F(Gtp, TheKoBanHoldsOnlyForTheRetakerAndOnlyForOneMove) {
    for (const char* m : {"play b B19", "play b A18", "play b B17", "play w C19", "play w B18",
                          "play w D18", "play w C17", "play b C18"})
        ASSERT_EQ(Ask(m), "= \n\n") << m;
    EXPECT_EQ(Ask("is_legal w B18"), "= 0\n\n");
    EXPECT_EQ(Ask("is_legal b B18"), "= 1\n\n");
    EXPECT_EQ(Ask("play w B18"), "? illegal move\n\n");
    EXPECT_EQ(Ask("play w K10"), "= \n\n");
    EXPECT_EQ(Ask("play b K11"), "= \n\n");
    EXPECT_EQ(Ask("is_legal w B18"), "= 1\n\n");
    EXPECT_EQ(Ask("play b B18"), "= \n\n");
    EXPECT_EQ(Ask("list_stones b"), "= K11 B17 A18 B18 C18 B19\n\n");
}

TEST_F(Gtp, UndoReplaysTheRemainingMoves) {
    Ask("komi 6.5");
    Ask("play b A2");
    Ask("play w A1");
    Ask("play b B1");
    EXPECT_EQ(Ask("undo"), "= \n\n");
    EXPECT_EQ(Ask("list_stones w"), "= A1\n\n");
    EXPECT_EQ(Ask("captures b"), "= 0\n\n");
    EXPECT_EQ(engine.Game.GefangeneWeiss, 6.5);
    Ask("undo");
    Ask("undo");
    EXPECT_EQ(Ask("undo"), "? cannot undo\n\n");
}

TEST_F(Gtp, FixedHandicapNeedsAnEmptyBoard) {
    EXPECT_EQ(Ask("fixed_handicap 5"), "= D4 Q16 D16 Q4 K10\n\n");
    EXPECT_EQ(Ask("fixed_handicap 2"), "? board not empty\n\n");
    Ask("play w C3");
    Ask("undo");
    EXPECT_EQ(Ask("list_stones b"), "= D4 Q4 K10 D16 Q16\n\n");  // handicap survives undo
    Ask("clear_board");
    EXPECT_EQ(Ask("fixed_handicap 1"), "? invalid number of stones\n\n");
    // The desktop program's larger handicaps are not GTP's.
    EXPECT_EQ(Ask("fixed_handicap 10"), "? invalid number of stones\n\n");
    EXPECT_EQ(Ask("fixed_handicap 16"), "? invalid number of stones\n\n");
    EXPECT_EQ(Ask("fixed_handicap 9"), "= D4 Q16 D16 Q4 K10 D10 Q10 K4 K16\n\n");
    EXPECT_EQ(Ask("fixed_handicap x"), "? syntax error\n\n");
}

TEST_F(Gtp, ShowboardDrawsStonesWithCoordinates) {
    Ask("play b D4");
    Ask("play w Q16");
    const std::string board = Ask("showboard");
    EXPECT_EQ(board.rfind("= \n   A B C D E F G H J K L M N O P Q R S T", 0), 0u);
    EXPECT_NE(board.find(" 4 . . . X . "), std::string::npos);
    EXPECT_NE(board.find("16 . . . + . . . . . + . . . . . O . . . 16"), std::string::npos);
}

TEST_F(Gtp, KomiIsAFiniteNumberInRangeAndNeverTouchesThePrisoners) {
    for (const char* bad : {"komi 1e308", "komi -1e308", "komi inf", "komi nan", "komi 1e17",
                            "komi 1000.5", "komi 6.5x", "komi 0x10"})
        EXPECT_EQ(Ask(bad), "? komi not a number\n\n") << bad;
    EXPECT_EQ(Ask("komi"), "? syntax error\n\n");
    EXPECT_EQ(Ask("captures w"), "= 0\n\n");
    EXPECT_EQ(gtp.Komi(), 0.0);

    // White takes a stone; any komi, set before or after, leaves that one prisoner.
    EXPECT_EQ(Ask("komi 1000"), "= \n\n");
    for (const char* move : {"play b A1", "play w B1", "play b C3", "play w A2"})
        ASSERT_EQ(Ask(move), "= \n\n") << move;
    EXPECT_EQ(Ask("captures w"), "= 1\n\n");
    for (const char* komi : {"komi -1000", "komi 0.1", "komi 7.3", "komi 6.5"}) {
        ASSERT_EQ(Ask(komi), "= \n\n");
        EXPECT_EQ(Ask("captures w"), "= 1\n\n") << komi;
        EXPECT_EQ(Ask("captures b"), "= 0\n\n") << komi;
    }
    EXPECT_DOUBLE_EQ(engine.Game.GefangeneWeiss, 7.5);
}

}  // namespace
}  // namespace obrin
