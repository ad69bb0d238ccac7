#!/usr/bin/env python3
"""Runs a reading problem set through any GTP engine's `attack` and `defend` and compares the
answers with the expected ones.

Each position is set up with `clear_board` and one `play` per stone; a ko ban is recreated by
placing the taken stone and playing the capture last. The engine's own time limit applies (pass
it on its command line). Agreement is counted as in `obrin-cli bench tactics`: in the result
(0, a plain success, or a success that needs a ko) and in result and move.

    scripts/gtp-reading-problems.py [--set FILE] [--verbose] -- build/bin/obrin-cli gtp --reading-ms 5000
"""
import argparse
import statistics
import subprocess
import sys
import time
from pathlib import Path

COLS = "ABCDEFGHJKLMNOPQRST"
N = 19


def name(p):
    return f"{COLS[p[0]]}{p[1] + 1}"


def vertex(text):
    return COLS.index(text[0].upper()), int(text[1:]) - 1


def neighbours(p):
    x, y = p
    for dx, dy in ((0, 1), (1, 0), (0, -1), (-1, 0)):
        if 0 <= x + dx < N and 0 <= y + dy < N:
            yield (x + dx, y + dy)


class Position:
    def __init__(self, title):
        self.name = title
        self.stones = {}
        self.ko = None
        self.questions = []  # (command, point, expected)
        self.rows = 0


def read_set(path):
    positions = []
    for number, raw in enumerate(open(path), 1):
        line = raw.split("#", 1)[0].split()
        if not line:
            continue
        where = f"{path}:{number}"
        if line[0] == "position":
            positions.append(Position(line[1]))
        elif not positions:
            sys.exit(f"{where}: 'position NAME' expected")
        elif len(line) == 1 and set(line[0]) <= set(".XO+"):
            pos = positions[-1]
            if len(line[0]) != N or pos.rows == N:
                sys.exit(f"{where}: a board has 19 rows of 19 points")
            y = N - 1 - pos.rows
            for x, c in enumerate(line[0]):
                if c in "XO":
                    pos.stones[(x, y)] = 1 if c == "X" else -1
            pos.rows += 1
        elif line[0] == "ko":
            positions[-1].ko = vertex(line[1])
        elif line[0] in ("attack", "defend") and len(line) >= 4 and line[2] == "=":
            positions[-1].questions.append((line[0], line[1], " ".join(line[3:])))
        else:
            sys.exit(f"{where}: cannot read '{raw.strip()}'")
    return positions


def setup_moves(pos):
    """The plays that build the position: every stone, and for a ko ban the taken stone and the
    capture that took it, last."""
    capture = None
    if pos.ko is not None:
        for q in neighbours(pos.ko):
            colour = pos.stones.get(q)
            lonely = colour is not None and all(pos.stones.get(r) != colour for r in neighbours(q))
            free = [r for r in neighbours(q) if r not in pos.stones]
            if lonely and free == [pos.ko]:
                capture = q
                break
        if capture is None:
            sys.exit(f"{pos.name}: no stone that could have taken the ko at {name(pos.ko)}")
    moves = [(c, p) for p, c in pos.stones.items() if p != capture]
    if capture is not None:
        moves += [(-pos.stones[capture], pos.ko), (pos.stones[capture], capture)]
    return moves


class Engine:
    def __init__(self, command):
        self.proc = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, text=True)

    def ask(self, command):
        self.proc.stdin.write(command + "\n")
        self.proc.stdin.flush()
        lines = []
        while True:
            line = self.proc.stdout.readline()
            if not line:
                sys.exit(f"the engine ended while answering '{command}'")
            if line.strip() == "" and lines:
                break
            if line.strip():
                lines.append(line.strip())
        if not lines[0].startswith("="):
            raise RuntimeError(f"'{command}': {lines[0]}")
        return lines[0][1:].strip()


def kind(answer):
    code = answer[:1] if answer else "0"
    return 0 if code == "0" else 1 if code == "1" else 2


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--set", default=str(Path(__file__).resolve().parent.parent /
                                             "tests/tactics/data/reading_problems.txt"))
    parser.add_argument("--verbose", action="store_true")
    parser.add_argument("engine", nargs="+", help="the GTP engine's command line (after --)")
    args = parser.parse_args()
    engine = Engine(args.engine)
    engine.ask("boardsize 19")
    results = moves = 0
    times = []
    for pos in read_set(args.set):
        engine.ask("clear_board")
        for colour, p in setup_moves(pos):
            engine.ask(f"play {'b' if colour > 0 else 'w'} {name(p)}")
        for command, chain, expected in pos.questions:
            start = time.perf_counter()
            answer = engine.ask(f"{command} {chain}")
            times.append((time.perf_counter() - start) * 1000)
            same_result = kind(answer) == kind(expected)
            results += same_result
            moves += answer == expected
            if args.verbose:
                verdict = "" if answer == expected else " (move)" if same_result else " MISS"
                print(f"{pos.name:28} {command} {chain:4} {answer:10} {times[-1]:9.1f} ms  "
                      f"{expected}{verdict}")
    engine.ask("quit")
    times.sort()
    print(f"{len(times)} questions: {results} agree in the result, {moves} also in the move")
    print(f"ms per question: median {statistics.median(times):.1f}, "
          f"99th percentile {times[len(times) * 99 // 100]:.1f}, max {times[-1]:.1f}, "
          f"total {sum(times) / 1000:.1f} s")


if __name__ == "__main__":
    main()
