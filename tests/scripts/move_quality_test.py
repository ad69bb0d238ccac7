"""Tests of scripts/move_quality.py: reading game records, choosing positions, and the counting
of a whole run against two table-driven stub engines in place of Obrin and GNU Go."""

import contextlib
import io
import json
import os
import shlex
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPTS = os.path.join(HERE, "..", "..", "scripts")
sys.path.insert(0, SCRIPTS)

import move_quality  # noqa: E402

# Two handicap stones, then seven moves and a pass; Obrin is Black.
GAME = ("(;GM[1]FF[4]SZ[19]KM[0.5]HA[2]PB[Obrin]PW[GNU Go]AB[dp][pd]"
        ";W[dc];B[cc];W[qq];B[dd];W[qc];B[cq];W[qo];B[])")

OBRIN = {
    "known": ["fixed_handicap"],
    "answers": {
        "1 reg_genmove B": "C3",
        "1 obrin_goal_tree": "BESETZEN 40\n MUSTERZUG 12 40\n  FORMZUG 100",
        "3 reg_genmove B": "A1",
        "3 obrin_goal_tree":
            "BESETZEN 0\n FREIHEIT-WEGNEHMEN 3 0\n  KETTE-FANGEN 3\n   FANGEN 3\n RETTEN 5",
        "5 reg_genmove B": "B2",  # the search passed and a dead stone is taken off instead
        "5 obrin_goal_tree": "VERZICHTEN",
        "7 reg_genmove B": "pass",
    },
}

GNUGO = {
    "known": ["set_free_handicap", "fixed_handicap"],
    "answers": {
        "1 reg_genmove B": "C3",
        "1 top_moves": "C3 10.50 D5 9.00",
        "1 all_move_values": "C3 10.50\nD5  9.00",
        "1 move_reasons C3": "Move at C3 attacks D4",
        "3 reg_genmove B": "K10",
        "3 top_moves": "K10 20.00 A2 15.00 B2 14.00 C2 13.00 D2 12.00 E2 11.00 A1 3.00",
        "3 all_move_values": "K10 20.00\nA2 15.00\nB2 14.00\nC2 13.00\nD2 12.00\nE2 11.00\n"
                             "A1  3.00\nQ3  1.00",
        "5 reg_genmove B": "PASS",
        "5 all_move_values": None,
        "5 move_reasons B2": "Move at B2 captures C1",
        "7 reg_genmove B": "PASS",
        "7 all_move_values": None,
    },
}


def write(folder, name, text):
    path = os.path.join(folder, name)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    return path


def run(argv):
    out, err = io.StringIO(), io.StringIO()
    with contextlib.redirect_stdout(out), contextlib.redirect_stderr(err):
        status = move_quality.main(argv)
    return status, out.getvalue(), err.getvalue()


class StubRunTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)
        self.game = write(self.folder.name, "game.sgf", GAME)

    def stub(self, name, table):
        table_path = write(self.folder.name, name + ".json", json.dumps(table))
        log = os.path.join(self.folder.name, name + ".log")
        command = " ".join(shlex.quote(a) for a in (
            sys.executable, os.path.join(HERE, "gtp_table_stub.py"), table_path, log))
        return command, log

    def test_counts_goal_kinds_lines_and_values_of_obrin_moves(self):
        obrin, obrin_log = self.stub("obrin", OBRIN)
        gnugo, gnugo_log = self.stub("gnugo", GNUGO)
        table = os.path.join(self.folder.name, "rows.csv")
        status, out, err = run(["--obrin", obrin, "--gnugo", gnugo, "--player", "obrin",
                                "--obrin-args=--classic", "--timeout", "10",
                                "--csv", table, self.game])
        self.assertEqual(status, 0, err)
        rows = move_quality.read_csv(table)
        self.assertEqual(
            [(r["move"], r["obrin"], r["kind"], r["gnugo"], r["top1"], r["top5"], r["lost"],
              r["line"], r["reasons"]) for r in rows],
            [("2", "C3", "MUSTERZUG", "C3", "1", "1", "0.0", "3", "yes"),
             ("4", "A1", "FREIHEIT-WEGNEHMEN", "K10", "0", "0", "17.0", "1", "no"),
             ("6", "B2", "(cleanup)", "PASS", "0", "0", "0.0", "2", "yes"),
             ("8", "PASS", "(none)", "PASS", "1", "1", "0.0", "pass", "")])
        self.assertEqual(rows[1]["tree"], "BESETZEN>FREIHEIT-WEGNEHMEN>KETTE-FANGEN>FANGEN")
        self.assertRegex(out, r"\nMUSTERZUG +1 +100.0% +100.0% +0.00 +0\n")
        self.assertRegex(out, r"\nFREIHEIT-WEGNEHMEN +1 +0.0% +0.0% +17.00 +1\n")
        self.assertRegex(out, r"\nall +4 +50.0% +50.0% +4.25 +1\n")
        self.assertRegex(out, r"\n1 +1 +0.0% +0.0% +17.00 +1\n")
        self.assertRegex(out, r"\npass +1 +100.0% +100.0% +0.00 +0\n")
        self.assertIn("GNU Go passes in 2 positions (Obrin too in 1)", out)
        self.assertIn("the 2 others: top-1 50.0%, top-5 50.0%, value lost 8.50", out)
        self.assertIn("[4/4] game.sgf move 8 B", err)
        status, out, _ = run(["--tables", table, "--kind-depth", "2"])
        self.assertEqual(status, 0)
        self.assertRegex(out, r"\n\(cleanup\) +1 .*\n\(none\) +1 .*\n"
                              r"FREIHEIT-WEGNEHMEN>KETTE-FANGEN +1 +0.0% +0.0% +17.00 +1\n"
                              r"MUSTERZUG>FORMZUG +1 +100.0% ")

        with open(obrin_log, encoding="utf-8") as f:
            told_obrin = f.read().splitlines()
        with open(gnugo_log, encoding="utf-8") as f:
            told_gnugo = f.read().splitlines()
        self.assertEqual(told_obrin[0], "gtp --deterministic --seed 1 --classic")
        self.assertIn("fixed_handicap 2", told_obrin)
        self.assertIn("set_free_handicap D4 Q16", told_gnugo)
        plays = ["play W D17", "play B C17", "play W R3", "play B D16", "play W R17", "play B C3",
                 "play W R5"]
        for told in (told_obrin, told_gnugo):
            self.assertEqual([t for t in told if t.startswith("play")], plays)
            self.assertEqual(told[-1], "quit")
        # No all_move_values where top_moves lists nothing, no move_reasons for a pass.
        self.assertEqual(told_gnugo.count("all_move_values"), 2)
        self.assertEqual([t for t in told_gnugo if t.startswith("move_reasons")],
                         ["move_reasons C3", "move_reasons A1", "move_reasons B2"])

    def test_a_second_run_takes_the_teachers_answers_from_the_cache(self):
        obrin, _ = self.stub("obrin", OBRIN)
        gnugo, _ = self.stub("gnugo", GNUGO)
        cache = os.path.join(self.folder.name, "teacher.json")
        first = os.path.join(self.folder.name, "first.csv")
        second = os.path.join(self.folder.name, "second.csv")
        common = ["--obrin", obrin, "--player", "obrin", "--timeout", "10",
                  "--teacher-cache", cache]
        status, _, err = run(common + ["--gnugo", gnugo, "--csv", first, self.game])
        self.assertEqual(status, 0, err)
        # No teacher at all the second time: a command that cannot start would fail the run.
        status, _, err = run(common + ["--gnugo", "/nonexistent/gnugo", "--csv", second,
                                       self.game])
        self.assertEqual(status, 0, err)
        drop_reasons = [{k: v for k, v in r.items() if k != "reasons"}
                        for r in move_quality.read_csv(first)]
        self.assertEqual(drop_reasons, [{k: v for k, v in r.items() if k != "reasons"}
                                        for r in move_quality.read_csv(second)])

    def test_a_move_the_engine_refuses_names_the_game_and_move(self):
        obrin, _ = self.stub("obrin", OBRIN)
        refusing = ("%s -c \"import sys\n"
                    "for l in sys.stdin:\n"
                    "    if l.startswith('quit'): break\n"
                    "    print('? illegal move' if l.startswith('play B C17') else '=',"
                    " end='\\n\\n', flush=True)\"" % shlex.quote(sys.executable))
        status, _, err = run(["--obrin", obrin, "--gnugo", refusing, "--from", "4",
                              "--timeout", "10", self.game])
        self.assertEqual(status, 1)
        self.assertIn("game.sgf move 2:", err)
        self.assertIn("refused 'play B C17': illegal move", err)


class GoalTreeTest(unittest.TestCase):
    def test_kind_follows_the_first_purposes_only(self):
        kind = move_quality.goal_kind
        branched = ["BESETZEN 62", " MUSTERZUG 7 62", "  FORMZUG 4", " GEBIETSZUG 62",
                    "  KETTE-RETTEN 4", "   RETTEN 4"]
        self.assertEqual(kind(branched, "F4", 19), "MUSTERZUG")
        self.assertEqual(kind(branched, "F4", 19, 2), "MUSTERZUG>FORMZUG")
        self.assertEqual(kind(branched, "F4", 19, 3), "MUSTERZUG>FORMZUG")
        self.assertEqual(move_quality.tree_path(branched), "BESETZEN>MUSTERZUG>FORMZUG")
        self.assertEqual(kind(branched, "G4", 19), "(cleanup)")  # not the tree's point
        self.assertEqual(kind(["VERZICHTEN"], "PASS", 19), "VERZICHTEN")
        self.assertEqual(kind([], "PASS", 19), "(none)")


class RecordsTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)

    def test_sgf_main_line_setup_ranges_and_passes(self):
        path = write(self.folder.name, "v.sgf",
                     "(;FF[4]SZ[19]KM[6.5]AB[aa:ab]AW[ss]C[a \\] bracket; and (parens)]"
                     ";B[dd];W[tt](;B[pp]C[main];W[]\n(;B[qq])(;B[qr]))(;B[aa]))")
        r = move_quality.read_sgf(path)
        self.assertEqual((r.size, r.komi), (19, 6.5))
        self.assertEqual(r.setup, [("B", "A19"), ("B", "A18"), ("W", "T1")])
        self.assertEqual(r.moves, [("B", "D16"), ("W", "PASS"), ("B", "Q4"), ("W", "PASS"),
                                   ("B", "R3")])

    def test_bad_sgf_point_names_file_and_node(self):
        path = write(self.folder.name, "bad.sgf", "(;SZ[19];B[dd];W[zz])")
        with self.assertRaisesRegex(move_quality.StudyError, r"bad\.sgf: node 2: .*\[zz\]"):
            move_quality.read_sgf(path)

    def test_teacher_games_and_the_choice_of_positions(self):
        path = write(self.folder.name, "games-x.txt",
                     "game 7 level 1 seed 1007\nmoves B:D4 B:Q16 W:C3 B:D3 W:pass B:pass\n"
                     "position 8\ndead \nend\n"
                     "game 8 level 1 seed 1008\n"
                     "moves B:D4 W:Q16 B:C3 W:D3 B:E3 W:E4 B:F4 W:F5 B:G5 W:G6\n")
        records = move_quality.read_records([path])
        self.assertEqual([(r.name, r.komi) for r in records],
                         [("games-x.txt#7", 0.5), ("games-x.txt#8", 6.5)])
        self.assertEqual(records[0].moves[4], ("W", "PASS"))

        def chosen(*args):
            options = move_quality.parse_arguments(list(args) + [path])
            return [(p.record.name[-1], p.number, p.colour)
                    for p in move_quality.choose_positions(records, options)]

        self.assertEqual(chosen("--colour", "w", "--from", "3", "--to", "8", "--every", "2"),
                         [("7", 3, "W"), ("8", 4, "W"), ("8", 8, "W")])
        self.assertEqual(chosen("--colour", "b", "--every", "3", "--limit", "3"),
                         [("7", 1, "B"), ("7", 6, "B"), ("8", 1, "B")])
        self.assertEqual(len(chosen()), 16)


class CompareTest(unittest.TestCase):
    def test_totals_before_and_after_and_the_changed_moves(self):
        def row(move, obrin, top1, lost):
            return {"game": "g.sgf", "move": move, "colour": "B", "obrin": obrin, "kind": "K",
                    "gnugo": "D4", "top1": top1, "top5": top1, "lost": lost, "line": "4",
                    "obrin_value": 0, "best_value": 0, "reasons": "yes", "tree": ""}

        with tempfile.TemporaryDirectory() as folder:
            a, b = os.path.join(folder, "a.csv"), os.path.join(folder, "b.csv")
            move_quality.write_csv(a, [row(2, "C3", 0, 4.0), row(4, "D4", 1, 0.0),
                                       row(6, "E5", 0, 2.0)])
            move_quality.write_csv(b, [row(2, "D4", 1, 0.0), row(4, "C3", 0, 1.0)])
            status, out, _ = run(["--compare", a, b])
        self.assertEqual(status, 0)
        lines = out.splitlines()
        self.assertRegex(lines[1], r"^before +3 +33.3% +33.3% +2.00$")
        self.assertRegex(lines[2], r"^after +2 +50.0% +50.0% +0.50$")
        self.assertEqual(lines[3], "on the 2 positions both have:")
        self.assertRegex(lines[4], r"^before +2 +50.0% +50.0% +2.00$")
        self.assertEqual(lines[-1], "2 moves changed: 1 lose less, 1 lose more")


if __name__ == "__main__":
    unittest.main()
