#!/usr/bin/env python3
"""Writes the main line of SGF game records as a teacher file for "obrin-cli train".

    scripts/sgf_to_teacher.py --first 5000 games/*.sgf > training/games-h9-gnugo.txt

Each record becomes one game numbered from --first on: its handicap stones (AB) as Black's
first moves, then its moves, and an empty final verdict (the move predictor needs only the
moves). Records of the referee (scripts/gtp_referee.py) have one line of play without
variations; the first variation is taken in any other record.
"""

import argparse
import re
import sys

COLUMNS = "ABCDEFGHJKLMNOPQRST"


def vertex(sgf_point, where):
    if sgf_point in ("", "tt"):
        return "pass"
    x, y = ord(sgf_point[0]) - ord("a"), ord(sgf_point[1]) - ord("a")
    if not (0 <= x < 19 and 0 <= y < 19):
        raise ValueError(f"{where}: point [{sgf_point}] is off a 19x19 board")
    return f"{COLUMNS[x]}{19 - y}"


def teacher_moves(text, where):
    moves = []
    setup = re.search(r"AB((?:\s*\[[a-s]{2}\])+)", text)
    if setup:
        moves += ["B:" + vertex(p, where) for p in re.findall(r"\[([a-s]{2})\]", setup.group(1))]
    moves += [f"{c}:{vertex(p, where)}" for c, p in re.findall(r";\s*([BW])\[([a-t]{0,2})\]", text)]
    return moves


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--first", type=int, default=1, help="number of the first game")
    parser.add_argument("records", nargs="+")
    options = parser.parse_args()
    for n, name in enumerate(options.records):
        try:
            with open(name, encoding="utf-8") as f:
                moves = teacher_moves(f.read(), name)
        except (OSError, ValueError) as e:
            sys.exit(f"sgf_to_teacher.py: {e}")
        print(f"game {options.first + n} level 1 seed {n}")
        print("moves " + " ".join(moves))
        print(f"final {len(moves)}\nend\nendgame")


if __name__ == "__main__":
    main()
