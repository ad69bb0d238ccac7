#!/usr/bin/env python3
"""A simple opponent that speaks GTP on standard input and output.

  --style random   plays a random legal move
  --style capture  captures the largest chain it can take; else saves its own chain in atari
                   with the most stones by extending it; else plays randomly

Both never fill their own single-point eyes and pass when no other move is left, so games end.
--seed makes the moves repeatable.

Example: scripts/gtp_referee.py --black "scripts/gtp_player.py --style capture --seed 1" ...
"""

import argparse
import os
import random
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from go_rules import (BLACK, EMPTY, PASS, Board, IllegalMove, colour_from_gtp,  # noqa: E402
                      handicap_points, opponent)


class SimplePlayer:
    def __init__(self, style, seed):
        self.style = style
        self.rng = random.Random(seed)
        self.board = Board(19)
        self.komi = 7.5

    # ---- choosing a move

    def sensible(self, colour, p):
        return self.board.is_legal(colour, p) and not self.board.is_own_eye(colour, p)

    def random_move(self, colour):
        empty = [p for p, c in enumerate(self.board.points) if c == EMPTY]
        self.rng.shuffle(empty)
        for p in empty:
            if self.sensible(colour, p):
                return p
        return PASS

    def best_capture(self, colour):
        """The liberty of the largest enemy chain in atari that colour can take, with its size."""
        best, size = PASS, 0
        for stones, liberties in self.board.chains(opponent(colour)):
            if len(liberties) != 1:
                continue
            p = next(iter(liberties))
            if len(stones) > size and self.board.is_legal(colour, p):
                best, size = p, len(stones)
        return best, size

    def best_extension(self, colour):
        """For the largest own chain in atari that can get out of it by extending: the liberty
        that gives it the most liberties, with the chain's size."""
        best, size = PASS, 0
        for stones, liberties in self.board.chains(colour):
            if len(liberties) != 1 or len(stones) <= size:
                continue
            p = next(iter(liberties))
            if not self.board.is_legal(colour, p):
                continue
            trial = self.board.copy()
            trial.play(colour, p)
            if len(trial.chain(p)[1]) >= 2:
                best, size = p, len(stones)
        return best, size

    def choose(self, colour):
        if self.style == "capture":
            capture, taken = self.best_capture(colour)
            extension, saved = self.best_extension(colour)
            if capture != PASS and taken >= saved:
                return capture
            if extension != PASS:
                return extension
        return self.random_move(colour)

    # ---- GTP

    def handle(self, command, args):
        """The answer to one command; raises ValueError for a failure."""
        if command == "protocol_version":
            return "2"
        if command == "name":
            return "simple-" + self.style
        if command == "version":
            return "1"
        if command == "known_command":
            return "true" if args and args[0] in COMMANDS else "false"
        if command == "list_commands":
            return "\n".join(sorted(COMMANDS))
        if command == "boardsize":
            size = int(args[0])
            self.board = Board(size)
            return ""
        if command == "clear_board":
            self.board = Board(self.board.size)
            return ""
        if command == "komi":
            self.komi = float(args[0])
            return ""
        if command == "play":
            colour = colour_from_gtp(args[0])
            self.board.play(colour, self.board.parse_vertex(args[1]))
            return ""
        if command == "genmove":
            colour = colour_from_gtp(args[0])
            p = self.choose(colour)
            self.board.play(colour, p)
            return self.board.vertex(p)
        if command == "fixed_handicap":
            points = handicap_points(self.board.size, int(args[0]))
            for p in points:
                self.board.points[p] = BLACK
            return " ".join(self.board.vertex(p) for p in points)
        if command == "set_free_handicap":
            for v in args:
                self.board.points[self.board.parse_vertex(v)] = BLACK
            return ""
        if command in ("time_settings", "time_left", "quit"):
            return ""
        raise ValueError("unknown command")


COMMANDS = {"protocol_version", "name", "version", "known_command", "list_commands", "boardsize",
            "clear_board", "komi", "play", "genmove", "fixed_handicap", "set_free_handicap",
            "time_settings", "time_left", "quit"}


def serve(player, stdin, stdout):
    for raw in stdin:
        line = raw.split("#", 1)[0].strip()
        if not line:
            continue
        words = line.split()
        ident = ""
        if words[0].isdigit():
            ident, words = words[0], words[1:]
            if not words:
                continue
        command, args = words[0], words[1:]
        try:
            answer = player.handle(command, args)
            stdout.write("=%s %s\n\n" % (ident, answer) if answer else "=%s\n\n" % ident)
        except IllegalMove:
            stdout.write("?%s illegal move\n\n" % ident)
        except (ValueError, IndexError) as e:
            stdout.write("?%s %s\n\n" % (ident, str(e) or "syntax error"))
        stdout.flush()
        if command == "quit":
            return


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--style", choices=("random", "capture"), default="random")
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    serve(SimplePlayer(args.style, args.seed), sys.stdin, sys.stdout)


if __name__ == "__main__":
    main()
