#!/usr/bin/env python3
"""Builds the reading problem set from the GNU Go self-play games in training/.

Every seventh position of every game from move 20 on, the chains next to the last move with one
to three liberties are the questions; GNU Go's `attack` and `defend` answers are the reference.
Needs GNU Go (`apt-get install gnugo`) only to build the set; the set itself is kept as text.

    scripts/reading-problems.py > tests/tactics/data/reading_problems.txt
"""
import subprocess
import sys

COLS = "ABCDEFGHJKLMNOPQRST"
N = 19


def vertex(text):
    return COLS.index(text[0].upper()), int(text[1:]) - 1


def name(p):
    return f"{COLS[p[0]]}{p[1] + 1}"


def neighbours(p):
    x, y = p
    for dx, dy in ((0, 1), (1, 0), (0, -1), (-1, 0)):
        if 0 <= x + dx < N and 0 <= y + dy < N:
            yield (x + dx, y + dy)


def chain(board, p):
    colour, seen, todo, libs = board[p], {p}, [p], set()
    while todo:
        q = todo.pop()
        for r in neighbours(q):
            if board.get(r) is None:
                libs.add(r)
            elif board[r] == colour and r not in seen:
                seen.add(r)
                todo.append(r)
    return seen, libs


def play(board, p, colour):
    """Plays and returns the new ko point (or None)."""
    board[p] = colour
    taken = []
    for q in neighbours(p):
        if board.get(q) == -colour:
            stones, libs = chain(board, q)
            if not libs:
                for s in stones:
                    del board[s]
                taken.extend(stones)
    stones, libs = chain(board, p)
    if len(taken) == 1 and len(stones) == 1 and len(libs) == 1:
        return taken[0]
    return None


class GnuGo:
    def __init__(self):
        self.proc = subprocess.Popen(["gnugo", "--mode", "gtp", "--level", "10"],
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)

    def ask(self, command):
        self.proc.stdin.write(command + "\n")
        self.proc.stdin.flush()
        lines = []
        while True:
            line = self.proc.stdout.readline()
            if line.strip() == "" and lines:
                break
            if line.strip():
                lines.append(line.strip())
        return lines[0][2:].strip()


def games(path):
    for line in open(path):
        if line.startswith("moves "):
            yield [(1 if m[0] == "B" else -1, m[2:]) for m in line.split()[1:]]


def main():
    gnugo = GnuGo()
    gnugo.ask("boardsize 19")
    count = 0
    for source in ("training/games-final.txt", "training/games-dragon.txt"):
        for g, moves in enumerate(games(source)):
            for upto in range(20, len(moves), 7):
                board, ko = {}, None
                for colour, m in moves[:upto]:
                    if m.upper() != "PASS":
                        ko = play(board, vertex(m), colour)
                last = moves[upto - 1][1]
                if last.upper() == "PASS":
                    continue
                asked = set()
                for q in [vertex(last)] + list(neighbours(vertex(last))):
                    if q not in board:
                        continue
                    stones, libs = chain(board, q)
                    if len(libs) > 3 or min(stones) in asked:
                        continue
                    asked.add(min(stones))
                    gnugo.ask("clear_board")
                    for colour, m in moves[:upto]:
                        gnugo.ask(f"play {'b' if colour > 0 else 'w'} {m}")
                    attack = gnugo.ask(f"attack {name(q)}")
                    defend = gnugo.ask(f"defend {name(q)}")
                    count += 1
                    print(f"position {source.split('/')[-1][:-4]}-{g}-{upto}-{name(q)}")
                    for y in range(N - 1, -1, -1):
                        print("".join({1: "X", -1: "O"}.get(board.get((x, y)), ".")
                                      for x in range(N)))
                    if ko is not None:
                        print(f"ko {name(ko)}")
                    print(f"attack {name(q)} = {attack}")
                    print(f"defend {name(q)} = {defend}")
                    print()
                    sys.stdout.flush()
    print(f"# {count} chains", file=sys.stderr)


if __name__ == "__main__":
    main()
