"""Tests of scripts/game_faults.py on small games: an atari loss, a rescue and a trade, first-line
moves, and the answers to a pass."""

import os
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts"))

import game_faults  # noqa: E402
from go_rules import COLUMNS  # noqa: E402


def sgf(vertex):
    """'J10' -> 'ij' (SGF letters do not skip I; rows count from the top)."""
    return chr(ord("a") + COLUMNS.index(vertex[0])) + chr(ord("a") + 19 - int(vertex[1:]))


def study(moves, black="", white=""):
    setup = "".join("AB[%s]" % sgf(v) for v in black.split()) + \
        "".join("AW[%s]" % sgf(v) for v in white.split())
    nodes = "".join(";%s[%s]" % (m[0], "" if m[2:] == "pass" else sgf(m[2:]))
                    for m in moves.split(", "))
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "g.sgf")
        with open(path, "w", encoding="utf-8") as f:
            f.write("(;GM[1]FF[4]SZ[19]KM[0.5]PB[Obrin]PW[GNU Go]%s%s)" % (setup, nodes))
        return game_faults.study(path, "Obrin")


class GameFaultsTest(unittest.TestCase):
    # Black J10-K10 with a friend at J8; White's K9 puts the pair in atari, J9 would save it.
    BLACK = "J10 K10 J8"
    WHITE = "J11 K11 H10 L10"

    def test_a_two_stone_chain_left_in_atari_and_taken(self):
        counts = study("W K9, B C3, W J9", self.BLACK, self.WHITE)
        self.assertEqual(counts["atari"], 1)
        self.assertEqual(study("W K9, B J9, W C17", self.BLACK, self.WHITE)["atari"], 0)

    def test_a_loss_for_another_chain_saved_is_a_trade(self):
        # Black's C10-D10 is in atari too; D9 saves it, and White takes J10-K10.
        black, white = self.BLACK + " C10 D10 D8", self.WHITE + " C11 D11 B10 E10 C9"
        counts = study("W K9, B D9, W J9", black, white)
        self.assertEqual((counts["atari"], counts["traded"]), (0, 1))
        counts = study("W K9, B Q16, W J9", black, white)
        self.assertEqual((counts["atari"], counts["traded"]), (1, 0))

    def test_no_loss_when_no_rescue_keeps_two_liberties(self):
        # Black A2-B2 under White A3 B3 C2 C1: after White's B1 nothing saves the pair.
        self.assertEqual(study("W B1, B Q16, W A1", "A2 B2", "A3 B3 C2 C1")["atari"], 0)

    def test_first_line_moves_and_answers_to_a_pass(self):
        counts = study("B J1, W pass, B pass, W Q16, B S1, W pass, B T2", white="T1")
        self.assertEqual(counts["first"], 1)  # J1; S1 blocks the stone beside it
        self.assertEqual((counts["pass-pass"], counts["pass-stone"]), (1, 1))


if __name__ == "__main__":
    unittest.main()
