"""Tests of the match tools: the referee's rules, the simple players' choices, and refereed games
between the players end to end."""

import contextlib
import io
import os
import re
import shlex
import sys
import tempfile
import unittest

SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts")
sys.path.insert(0, SCRIPTS)

import go_rules  # noqa: E402
import gtp_player  # noqa: E402
import gtp_referee  # noqa: E402
from go_rules import BLACK, EMPTY, PASS, WHITE, Board, IllegalMove  # noqa: E402


def board_from(diagram):
    """A board from rows of X (black), O (white) and . (empty), top row first."""
    rows = [r.replace(" ", "") for r in diagram.strip().splitlines()]
    board = Board(len(rows))
    for i, row in enumerate(rows):
        y = len(rows) - 1 - i
        for x, ch in enumerate(row):
            board.points[y * board.size + x] = {"X": BLACK, "O": WHITE, ".": EMPTY}[ch]
    return board


class RulesTest(unittest.TestCase):
    def test_captures_and_suicide(self):
        b = board_from("""
            . O X .
            O X . .
            X . . .
            . . . .""")
        a4 = b.parse_vertex("A4")
        self.assertEqual(b.why_illegal(WHITE, a4), "suicide")
        self.assertEqual(b.why_illegal(BLACK, b.parse_vertex("B3")), "occupied")
        self.assertEqual(b.play(BLACK, a4), {b.parse_vertex("B4"), b.parse_vertex("A3")})
        self.assertEqual(b.captures[BLACK], 2)
        self.assertEqual(b.ko, PASS)  # two stones taken: no ko
        with self.assertRaises(IllegalMove):
            b.play(WHITE, a4)
        with self.assertRaises(ValueError):
            b.parse_vertex("E1")

    def test_simple_ko_forbids_only_the_immediate_retake(self):
        b = board_from("""
            . X O .
            X . X O
            . X O .
            . . . .""")
        self.assertEqual(b.play(WHITE, b.parse_vertex("B3")), {b.parse_vertex("C3")})
        self.assertEqual(b.why_illegal(BLACK, b.parse_vertex("C3")), "ko")
        with self.assertRaises(IllegalMove):
            b.play(BLACK, b.parse_vertex("C3"))
        b.play(BLACK, b.parse_vertex("D1"))  # a threat elsewhere lifts the ban
        b.play(WHITE, b.parse_vertex("A1"))
        self.assertIsNone(b.why_illegal(BLACK, b.parse_vertex("C3")))
        b.play(BLACK, b.parse_vertex("C3"))
        b.play(WHITE, PASS)  # a pass also ends a ko ban
        self.assertEqual(b.ko, PASS)

    def test_area_score_counts_stones_and_surrounded_points(self):
        b = board_from("""
            . X O .
            . X O .
            . X O O
            . X . .""")
        # C1 and D1 touch both colours and count for nobody.
        black, white = b.area_score(6.5)
        self.assertEqual((black, white), (4 + 4, 4 + 2 + 6.5))
        self.assertEqual(go_rules.result_text(black, white), "W+4.5")
        self.assertEqual(go_rules.result_text(10, 10), "0")
        self.assertEqual(go_rules.result_text(12, 10), "B+2")

    def test_eyes_true_and_false(self):
        b = board_from("""
            . X . X .
            X X X X X
            X . X . X
            X X O X X
            . . . . .""")
        self.assertTrue(b.is_own_eye(BLACK, b.parse_vertex("A5")))  # corner
        self.assertTrue(b.is_own_eye(BLACK, b.parse_vertex("C5")))  # edge
        self.assertTrue(b.is_own_eye(BLACK, b.parse_vertex("B3")))
        self.assertTrue(b.is_own_eye(BLACK, b.parse_vertex("D3")))  # one enemy diagonal is fine
        self.assertFalse(b.is_own_eye(WHITE, b.parse_vertex("B3")))
        edge = board_from("""
            X . X
            O X .
            . . .""")
        self.assertFalse(edge.is_own_eye(BLACK, edge.parse_vertex("B3")))

    def test_handicap_placement_matches_gtp_fixed_handicap(self):
        def vertices(size, n):
            b = Board(size)
            return sorted(b.vertex(p) for p in go_rules.handicap_points(size, n))
        self.assertEqual(vertices(19, 2), ["D4", "Q16"])
        self.assertEqual(vertices(19, 3), ["D16", "D4", "Q16"])
        self.assertEqual(vertices(19, 5), ["D16", "D4", "K10", "Q16", "Q4"])
        self.assertEqual(vertices(19, 8), sorted("D16 K16 Q16 D10 Q10 D4 K4 Q4".split()))
        self.assertEqual(vertices(19, 9), sorted("D16 K16 Q16 D10 K10 Q10 D4 K4 Q4".split()))
        self.assertEqual(vertices(9, 5), sorted("C7 G7 E5 C3 G3".split()))
        with self.assertRaises(ValueError):
            go_rules.handicap_points(19, 10)


class PlayerTest(unittest.TestCase):
    def player(self, diagram, style="capture"):
        p = gtp_player.SimplePlayer(style, 1)
        p.board = board_from(diagram)
        return p

    def test_capture_player_takes_the_largest_chain_in_atari_or_extends_its_own(self):
        p = self.player("""
            . O X O .
            O X X . .
            . O O . .
            . . . O .
            . . . X O""")
        self.assertEqual(p.board.vertex(p.choose(WHITE)), "D4")
        p = self.player("""
            . . . . .
            . . X . .
            . X O X .
            . . . . .
            . . . . .""")
        self.assertEqual(p.board.vertex(p.choose(WHITE)), "C2")

    def test_players_keep_their_eyes_and_then_pass(self):
        diagram = """
            . X . X .
            X X X X X
            X X X X X
            X X X X X
            X X X . ."""
        for style in ("random", "capture"):
            p = self.player(diagram, style)
            move = p.choose(BLACK)
            self.assertIn(p.board.vertex(move), ("D1", "E1"))
            p.board.play(BLACK, move)
            self.assertEqual(p.choose(BLACK), PASS)
            self.assertEqual(p.choose(WHITE), PASS)  # every point is suicide for white

    def test_gtp_session(self):
        out = io.StringIO()
        commands = ("1 boardsize 9\nclear_board\nplay b E5\nplay w E5\n"
                    "genmove w\nknown_command genmove\nfoo\nquit\n")
        gtp_player.serve(gtp_player.SimplePlayer("random", 3), io.StringIO(commands), out)
        answers = out.getvalue().split("\n\n")
        self.assertEqual(answers[0], "=1")
        self.assertEqual(answers[3], "? illegal move")
        self.assertRegex(answers[4], r"^= [A-HJ][1-9]$")
        self.assertEqual(answers[5], "= true")
        self.assertTrue(answers[6].startswith("?"))


class RefereeTest(unittest.TestCase):
    def referee(self, *args):
        out = io.StringIO()
        with contextlib.redirect_stdout(out):
            status = gtp_referee.main([str(a) for a in args])
        return status, out.getvalue()

    def player_command(self, style):
        return "%s %s --style %s --seed {seed}" % (
            shlex.quote(sys.executable), shlex.quote(os.path.join(SCRIPTS, "gtp_player.py")),
            style)

    def test_games_between_the_players_end_legally_with_a_score(self):
        with tempfile.TemporaryDirectory() as folder:
            status, out = self.referee(
                "--black", self.player_command("random"), "--white",
                self.player_command("capture"), "--games", 3, "--size", 9, "--alternate",
                "--handicap", 2, "--komi", 0.5, "--sgf-dir", folder)
            self.assertEqual(status, 0, out)
            lines = re.findall(r"^game \d: .*: ([BW]\+[\d.]+|0) after (\d+) moves \((.*?)\)",
                               out, re.M)
            self.assertEqual(len(lines), 3, out)
            for result, moves, reason in lines:
                self.assertIn(reason, ("two passes", "move cap"))
            self.assertIn("3 games", out)
            records = sorted(os.listdir(folder))
            self.assertEqual(records, ["game-001.sgf", "game-002.sgf", "game-003.sgf"])
            with open(os.path.join(folder, records[0]), encoding="utf-8") as f:
                sgf = f.read()
            self.assertTrue(sgf.startswith("(;GM[1]FF[4]"))
            self.assertIn("SZ[9]KM[0.5]", sgf)
            self.assertIn("HA[2]AB[cg][gc]", sgf)
            self.assertEqual(len(re.findall(r";[BW]\[", sgf)), int(lines[0][1]))

    def test_an_illegal_move_loses_the_game_and_fails_the_run(self):
        # An engine that always answers A1: its second move is on an occupied point.
        stubborn = ("%s -c \"import sys\n"
                    "for l in sys.stdin:\n"
                    "    print('= A1' if l.startswith('genmove') else '=', end='\\n\\n', flush=True)\""
                    % shlex.quote(sys.executable))
        status, out = self.referee("--black", stubborn, "--white", self.player_command("random"),
                                   "--size", 9, "--timeout", 10)
        self.assertEqual(status, 1)
        self.assertIn("W+F", out)
        self.assertIn("illegal move A1 (occupied)", out)

    def test_a_scorer_decides_the_result_from_the_whole_game(self):
        # A scorer that writes down what it is told and calls every game W+3.
        with tempfile.TemporaryDirectory() as folder:
            log = os.path.join(folder, "scorer.log")
            scorer = ("%s -c \"import sys\n"
                      "log = open(%r, 'w')\n"
                      "for l in sys.stdin:\n"
                      "    log.write(l); log.flush()\n"
                      "    print('= W+3' if l.startswith('final_score') else '=', end='\\n\\n',"
                      " flush=True)\"" % (shlex.quote(sys.executable), log))
            status, out = self.referee(
                "--black", self.player_command("capture"), "--white",
                self.player_command("random"), "--size", 9, "--handicap", 2, "--komi", 0.5,
                "--scorer", scorer)
            self.assertEqual(status, 0, out)
            moves = int(re.search(r": W\+3 after (\d+) moves \(two passes, scored by", out).group(1))
            with open(log, encoding="utf-8") as f:
                told = f.read().splitlines()
            self.assertEqual(told[:3], ["boardsize 9", "clear_board", "komi 0.5"])
            self.assertEqual(told[3:5], ["play black C3", "play black G7"])
            self.assertEqual(len([t for t in told if t.startswith("play ")]), moves + 2)
            self.assertEqual(told[-2:], ["final_score", "quit"])


if __name__ == "__main__":
    unittest.main()
