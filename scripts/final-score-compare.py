#!/usr/bin/env python3
"""Compares Obrin's final_score with GNU Go's on the final positions of finished games.

The games are the GNU Go self-play games in training/ (their moves up to the final position) and,
with --simple-games N, games the simple capture player of gtp_player.py plays against itself to
the end (both sides pass when only eyes are left). Both engines get the same moves and komi and
answer final_score; the script prints, per game, both answers and at the end how often the
winner agrees and the mean absolute difference of the margins.

Needs GNU Go (`apt-get install gnugo`) as the reference; it is never needed by the program.

    scripts/final-score-compare.py --obrin "build/bin/obrin-cli gtp --deterministic" \\
        training/games-final.txt training/games-dragon.txt --simple-games 56
"""
import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from go_rules import BLACK, PASS, WHITE  # noqa: E402
from gtp_player import SimplePlayer  # noqa: E402
from gtp_referee import GtpEngine  # noqa: E402


def teacher_games(path):
    """(name, [(colour, vertex)...]) of every game of a training file, up to its final position."""
    games, moves, number = [], [], None
    with open(path) as f:
        for line in f:
            words = line.split()
            if not words:
                continue
            if words[0] == "game":
                number = words[1]
            elif words[0] == "moves":
                moves = [(w[0], w[2:]) for w in words[1:]]
            elif words[0] == "final":
                games.append(("%s game %s" % (os.path.basename(path), number),
                              moves[:int(words[1])]))
    return games


def simple_game(seed):
    """A game of the capture player against itself, played until both pass."""
    player = SimplePlayer("capture", seed)
    moves, passes, colour = [], 0, BLACK
    while passes < 2 and len(moves) < 1000:
        p = player.choose(colour)
        player.board.play(colour, p)
        passes = passes + 1 if p == PASS else 0
        moves.append(("B" if colour == BLACK else "W", player.board.vertex(p)))
        colour = WHITE if colour == BLACK else BLACK
    return "simple game %d" % seed, moves


def margin(score):
    """B+n -> n, W+n -> -n, 0 -> 0."""
    score = score.strip()
    if score in ("0", "Draw", ""):
        return 0.0
    value = float(score[2:])
    return value if score[0] in "Bb" else -value


def final_score(engine, moves, komi):
    for command in ("clear_board", "komi %g" % komi):
        engine.send(command)
    for colour, vertex in moves:
        ok, answer = engine.send("play %s %s" % (colour, vertex))
        if not ok:
            raise RuntimeError("%s refused play %s %s: %s" % (engine.name, colour, vertex, answer))
    ok, answer = engine.send("final_score")
    if not ok:
        raise RuntimeError("%s: final_score failed: %s" % (engine.name, answer))
    return answer


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("files", nargs="*")
    parser.add_argument("--obrin", default="build/bin/obrin-cli gtp --deterministic")
    parser.add_argument("--gnugo", default="/usr/games/gnugo --mode gtp --level 1")
    parser.add_argument("--komi", type=float, default=6.5)
    parser.add_argument("--simple-games", type=int, default=0)
    options = parser.parse_args()
    games = [g for path in options.files for g in teacher_games(path)]
    games += [simple_game(seed) for seed in range(1, options.simple_games + 1)]
    obrin = GtpEngine(options.obrin, 600, sys.stderr)
    gnugo = GtpEngine(options.gnugo, 600, sys.stderr)
    agree, difference = 0, 0.0
    for name, moves in games:
        ours = final_score(obrin, moves, options.komi)
        theirs = final_score(gnugo, moves, options.komi)
        a, b = margin(ours), margin(theirs)
        same = (a > 0) == (b > 0) and (a < 0) == (b < 0)
        agree += same
        difference += abs(a - b)
        print("%-34s obrin %-8s gnugo %-8s %s" % (name, ours, theirs, "" if same else "DIFFERS"),
              flush=True)
    obrin.close()
    gnugo.close()
    print("%d games: the winner agrees in %d (%.0f%%); mean absolute difference %.1f points"
          % (len(games), agree, 100.0 * agree / max(1, len(games)), difference / max(1, len(games))))


if __name__ == "__main__":
    main()
