#!/usr/bin/env python3
"""Counts three faults of one player in refereed games (the SGF records gtp_referee.py writes).

- atari losses: after the opponent's move a chain of the player's of two or more stones, or a
  single stone next to two or more opponent's chains (a cutting stone), is in atari; a rescue
  exists (a capture or the extension, after which the chain has three liberties, or two and no
  ladder takes it); the player plays elsewhere, and the opponent takes the chain next move. A loss
  is counted apart as traded when the player's move saved another chain in atari at least as
  large: with two chains in atari only one may be saved;
- first-line moves that neither capture, save a chain in atari, block (an opponent's stone in the
  3 by 3 square around the point) nor make an eye (all neighbours the player's stones or the edge
  after the move, no opponent's stone on a diagonal);
- the answers to the opponent's pass: passes and stones.

Usage: scripts/game_faults.py [--player Obrin] [--list] game-001.sgf game-002.sgf ...
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from go_rules import BLACK, EMPTY, PASS, WHITE, Board, opponent  # noqa: E402
from move_quality import StudyError, read_sgf  # noqa: E402


def player_colour(record, path, name):
    for tag, colour in (("B", BLACK), ("W", WHITE)):
        if name in record.players[tag]:
            return colour
    raise StudyError("%s: no player named %r" % (path, name))


def escapes(board, p, colour, depth):
    """With the chain at p in atari and its owner to move: can it get out of the ladder?"""
    stones, liberties = board.chain(p)
    moves = [n for s in stones for n in board.neighbours[s]
             if board.points[n] == opponent(colour) and len(board.chain(n)[1]) == 1]
    moves += list(liberties)
    for m in moves:
        if not board.is_legal(colour, m):
            continue
        after = board.copy()
        after.play(colour, m)
        count = len(after.chain(p)[1])
        if count >= 3 or (count == 2 and not laddered(after, p, colour, depth + 1)):
            return True
    return False


def laddered(board, p, colour, depth=0):
    """Does the opponent, to move, catch the two-liberty chain at p by ataris alone?"""
    if depth > 40:
        return False
    for attack in board.chain(p)[1]:
        if not board.is_legal(opponent(colour), attack):
            continue
        after = board.copy()
        after.play(opponent(colour), attack)
        if len(after.chain(attack)[1]) == 1:
            continue  # the attacking stone could be taken
        if not escapes(after, p, colour, depth):
            return True
    return False


def rescue_exists(board, stones, liberties, colour):
    """A move after which the chain in atari has three liberties, or two and no ladder."""
    return escapes(board, next(iter(stones)), colour, 0)


def chains_that_matter_in_atari(board, colour):
    found = []
    for stones, liberties in board.chains(colour):
        if len(liberties) != 1:
            continue
        enemies = {min(board.chain(n)[0]) for s in stones for n in board.neighbours[s]
                   if board.points[n] == opponent(colour)}
        if len(stones) >= 2 or len(enemies) >= 2:
            found.append((stones, liberties))
    return found


def first_line(board, p):
    x, y = p % board.size, p // board.size
    return min(x, y, board.size - 1 - x, board.size - 1 - y) == 0


def first_line_fault(board, colour, p):
    """Before the move: does a first-line stone at p do none of the four useful things?"""
    enemy = opponent(colour)
    if any(board.points[n] == enemy and len(board.chain(n)[1]) == 1 for n in board.neighbours[p]):
        return False  # captures
    if any(board.points[n] == colour and len(board.chain(n)[1]) == 1
           for n in board.neighbours[p]):
        return False  # saves
    if any(board.points[n] == enemy for n in board.neighbours[p] + board.diagonals[p]):
        return False  # blocks
    after = board.copy()
    after.play(colour, p)
    for n in after.neighbours[p]:
        if after.points[n] == EMPTY and all(after.points[m] == colour for m in after.neighbours[n]) \
                and not any(after.points[d] == enemy for d in after.diagonals[n]):
            return False  # makes an eye
    return True


def study(path, name, listing=None):
    record = read_sgf(path)
    colour = player_colour(record, path, name)
    board = Board(record.size)
    for c, v in record.setup:
        board.points[board.parse_vertex(v)] = BLACK if c == "B" else WHITE
    counts = {"atari": 0, "traded": 0, "first": 0, "pass-pass": 0, "pass-stone": 0}
    moves = [(BLACK if c == "B" else WHITE, board.parse_vertex(v)) for c, v in record.moves]
    for i, (c, p) in enumerate(moves):
        if c == colour:
            previous = moves[i - 1] if i > 0 else None
            if previous is not None and previous[0] != colour and previous[1] == PASS:
                counts["pass-pass" if p == PASS else "pass-stone"] += 1
            if p != PASS and first_line(board, p) and first_line_fault(board, colour, p):
                counts["first"] += 1
                if listing is not None:
                    listing.append("move %d: first-line move %s" % (i + 1, board.vertex(p)))
            threatened = [(s, l) for s, l in chains_that_matter_in_atari(board, colour)
                          if rescue_exists(board, s, l, colour)]
            after = board.copy()
            after.play(c, p)
            saved = [len(s) for s, _ in threatened
                     if after.points[min(s)] == colour and len(after.chain(min(s))[1]) >= 2]
            if i + 1 < len(moves) and moves[i + 1][0] != colour:
                taken = after.copy().play(*moves[i + 1])
                for stones, _ in threatened:
                    if not stones & taken:
                        continue
                    traded = bool(saved) and max(saved) >= len(stones)
                    counts["traded" if traded else "atari"] += 1
                    if listing is not None:
                        listing.append("move %d: %s played, chain at %s lost%s" % (
                            i + 1, board.vertex(p), board.vertex(min(stones)),
                            " (traded for a chain it saved)" if traded else ""))
        board.play(c, p)
    return counts


def summary(counts):
    return ("atari losses %d (and %d traded), first-line moves %d, after a pass: %d passes, "
            "%d stones" % (counts["atari"], counts["traded"], counts["first"], counts["pass-pass"],
                           counts["pass-stone"]))


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("records", nargs="+")
    parser.add_argument("--player", default="Obrin")
    parser.add_argument("--list", action="store_true", help="name the move of every fault")
    options = parser.parse_args(argv)
    total = {"atari": 0, "traded": 0, "first": 0, "pass-pass": 0, "pass-stone": 0}
    try:
        for path in options.records:
            listing = [] if options.list else None
            counts = study(path, options.player, listing)
            for line in listing or []:
                print("%s %s" % (os.path.basename(path), line))
            print("%s: %s" % (os.path.basename(path), summary(counts)))
            for k in total:
                total[k] += counts[k]
    except (StudyError, OSError, ValueError) as e:
        print("game_faults: %s" % e, file=sys.stderr)
        return 1
    print("all %d games: %s" % (len(options.records), summary(total)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
