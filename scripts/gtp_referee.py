#!/usr/bin/env python3
"""Plays two GTP engines against each other and checks every move with its own rules.

Each engine is a command line, started afresh for every game; "{seed}" in a command is replaced
by --seed plus the game's number, so seeded players play a different but repeatable game each
time. A game ends after two passes in a row, a resignation, or the move cap. An illegal move, a
failed command, a crash or a timeout loses the game for the engine at fault. Finished games are
scored by area (stones plus empty regions that touch one colour only, plus komi for White). Games
between engines that pass with dead stones still on the board are better scored with --scorer: a
third engine (e.g. "gnugo --mode gtp") is given the game and asked for its final_score, which takes
the dead stones off; the area count is still shown beside it.

Prints one line per game and a summary; with --sgf-dir writes each game as SGF. The exit status
is 1 when any game had a fault (an illegal move, a failed command, a crash or a timeout).

Example:
  scripts/gtp_referee.py --black "build/bin/obrin-cli gtp" \\
      --white "/usr/games/gnugo --mode gtp --level 1" --games 10 --handicap 9 --komi 0.5 \\
      --alternate --sgf-dir games
"""

import argparse
import datetime
import os
import queue
import shlex
import statistics
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from go_rules import (BLACK, PASS, WHITE, Board, colour_to_gtp, handicap_points,  # noqa: E402
                      opponent, result_text)


class EngineFailure(Exception):
    """The engine died, hung or answered something that is not GTP."""


class GtpEngine:
    """One engine process, spoken to line by line."""

    def __init__(self, command, timeout, stderr):
        self.command = command
        self.timeout = timeout
        self.process = subprocess.Popen(shlex.split(command), stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=stderr, text=True,
                                        bufsize=1)
        self.lines = queue.Queue()
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()
        self.name = command

    def _read(self):
        for line in self.process.stdout:
            self.lines.put(line)
        self.lines.put(None)

    def _next_line(self, deadline):
        try:
            line = self.lines.get(timeout=max(0.0, deadline - time.monotonic()))
        except queue.Empty:
            raise EngineFailure("no answer within %g s" % self.timeout)
        if line is None:
            raise EngineFailure("the engine ended")
        return line.rstrip("\r\n")

    def send(self, command):
        """(True, answer) for '=', (False, message) for '?'; EngineFailure otherwise."""
        try:
            self.process.stdin.write(command + "\n")
            self.process.stdin.flush()
        except OSError:
            raise EngineFailure("the engine ended")
        deadline = time.monotonic() + self.timeout
        first = self._next_line(deadline)
        while not first.strip():
            first = self._next_line(deadline)
        if first[0] not in "=?":
            raise EngineFailure("not a GTP answer to %r: %r" % (command, first))
        lines = [first[1:].strip()]
        while True:
            line = self._next_line(deadline)
            if not line.strip():
                break
            lines.append(line)
        return first[0] == "=", "\n".join(lines).strip()

    def knows(self, command):
        ok, answer = self.send("known_command " + command)
        return ok and answer == "true"

    def close(self):
        try:
            if self.process.poll() is None:
                self.send("quit")
        except (EngineFailure, OSError):
            pass
        try:
            self.process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.reader.join(timeout=5)
        for pipe in (self.process.stdin, self.process.stdout):
            try:
                pipe.close()
            except OSError:
                pass


class Forfeit(Exception):
    def __init__(self, colour, reason):
        super().__init__(reason)
        self.colour = colour
        self.reason = reason


class Game:
    """One refereed game and its record."""

    def __init__(self, number, options, commands):
        self.number = number
        self.options = options
        self.commands = commands  # colour -> command line
        self.board = Board(options.size)
        self.handicap = handicap_points(options.size, options.handicap)
        self.moves = []  # (colour, point)
        self.names = {}
        self.seconds = {BLACK: [], WHITE: []}
        self.result = ""
        self.reason = ""
        self.score = None
        self.fault = False

    def run(self, stderr):
        engines = {}
        try:
            for colour in (BLACK, WHITE):
                engines[colour] = GtpEngine(self.commands[colour], self.options.timeout, stderr)
            for colour, engine in engines.items():
                self.set_up(colour, engine)
            self.play(engines)
        except Forfeit as f:
            self.fault = True
            self.result = ("B+F" if f.colour == WHITE else "W+F")
            self.reason = "%s forfeits: %s" % (colour_to_gtp(f.colour), f.reason)
        finally:
            for engine in engines.values():
                engine.close()

    def ask(self, colour, engine, command):
        try:
            ok, answer = engine.send(command)
        except EngineFailure as e:
            raise Forfeit(colour, "%s (after %r)" % (e, command))
        if not ok:
            raise Forfeit(colour, "%r failed: %s" % (command, answer))
        return answer

    def set_up(self, colour, engine):
        try:
            ok, name = engine.send("name")
        except EngineFailure as e:
            raise Forfeit(colour, str(e))
        self.names[colour] = name if ok and name else engine.command
        self.ask(colour, engine, "boardsize %d" % self.options.size)
        self.ask(colour, engine, "clear_board")
        self.ask(colour, engine, "komi %g" % self.options.komi)
        if self.handicap:
            self.place_handicap(colour, engine)

    def place_handicap(self, colour, engine):
        vertices = [self.board.vertex(p) for p in self.handicap]
        if engine.knows("set_free_handicap"):
            self.ask(colour, engine, "set_free_handicap " + " ".join(vertices))
            return
        if engine.knows("fixed_handicap"):
            placed = self.ask(colour, engine, "fixed_handicap %d" % len(vertices)).upper().split()
            if sorted(placed) == sorted(vertices):
                return
            # The engine has its own placement: start again and place ours stone by stone.
            self.ask(colour, engine, "clear_board")
        for v in vertices:
            self.ask(colour, engine, "play black " + v)

    def play(self, engines):
        for p in self.handicap:
            self.board.points[p] = BLACK
        colour = WHITE if self.handicap else BLACK
        passes = 0
        while len(self.moves) < self.options.max_moves:
            started = time.monotonic()
            answer = self.ask(colour, engines[colour], "genmove " + colour_to_gtp(colour))
            self.seconds[colour].append(time.monotonic() - started)
            if answer.lower() == "resign":
                self.result = ("W+R" if colour == BLACK else "B+R")
                self.reason = colour_to_gtp(colour) + " resigned"
                return
            try:
                p = self.board.parse_vertex(answer)
            except ValueError:
                raise Forfeit(colour, "genmove answered %r" % answer)
            why = self.board.why_illegal(colour, p)
            if why is not None:
                raise Forfeit(colour, "illegal move %s (%s)" % (answer, why))
            self.board.play(colour, p)
            self.moves.append((colour, p))
            other = opponent(colour)
            self.ask(other, engines[other],
                     "play %s %s" % (colour_to_gtp(colour), self.board.vertex(p)))
            passes = passes + 1 if p == PASS else 0
            if passes == 2:
                self.finish("two passes")
                return
            colour = other
        self.finish("move cap")

    def finish(self, reason):
        self.score = self.board.area_score(self.options.komi)
        self.result = result_text(*self.score)
        self.reason = reason
        if self.options.scorer:
            self.result = self.scorer_result()
            self.reason += ", scored by %s" % self.options.scorer

    def scorer_result(self):
        """The scoring engine's final_score of the game; a scorer that fails stops the match,
        since no result could be trusted."""
        scorer = GtpEngine(self.options.scorer, self.options.timeout, subprocess.DEVNULL)
        try:
            for command in self.scorer_commands():
                ok, answer = scorer.send(command)
                if not ok:
                    raise SystemExit("scorer: %r failed: %s" % (command, answer))
            return answer.strip().upper()
        except EngineFailure as e:
            raise SystemExit("scorer: %s" % e)
        finally:
            scorer.close()

    def scorer_commands(self):
        b = self.board
        commands = ["boardsize %d" % b.size, "clear_board", "komi %g" % self.options.komi]
        commands += ["play black %s" % b.vertex(p) for p in self.handicap]
        commands += ["play %s %s" % (colour_to_gtp(c), b.vertex(p)) for c, p in self.moves]
        return commands + ["final_score"]

    def winner(self):
        if self.result.startswith("B+"):
            return BLACK
        if self.result.startswith("W+"):
            return WHITE
        return None

    def line(self):
        text = "game %d: B %s, W %s: %s after %d moves (%s)" % (
            self.number, self.names.get(BLACK, "?"), self.names.get(WHITE, "?"), self.result,
            len(self.moves), self.reason)
        if self.score:
            text += " [B %g, W %g]" % self.score
        return text

    def sgf(self):
        b = self.board

        def text(s):
            return s.replace("\\", "\\\\").replace("]", "\\]")

        head = "(;GM[1]FF[4]CA[UTF-8]AP[obrin-referee:1]SZ[%d]KM[%g]" % (b.size, self.options.komi)
        head += "DT[%s]PB[%s]PW[%s]RE[%s]" % (datetime.date.today().isoformat(),
                                             text(self.names.get(BLACK, "")),
                                             text(self.names.get(WHITE, "")), text(self.result))
        if self.handicap:
            head += "HA[%d]AB%s" % (len(self.handicap),
                                    "".join("[%s]" % b.sgf_point(p) for p in self.handicap))
        body = "".join(";%s[%s]" % ("B" if c == BLACK else "W", b.sgf_point(p))
                       for c, p in self.moves)
        return "%s%s\nC[%s])\n" % (head, body, text(self.reason))


def summary(games, labels):
    """Wins per engine (A is --black in the first game), faults and thinking times."""
    lines = []
    for key in ("A", "B"):
        wins = sum(1 for g in games if g.winner() is not None and labels[g.number][g.winner()] == key)
        as_black = sum(1 for g in games if g.winner() == BLACK and labels[g.number][BLACK] == key)
        times = [s for g in games for c in (BLACK, WHITE) if labels[g.number][c] == key
                 for s in g.seconds[c]]
        median = "%.1f ms" % (1000 * statistics.median(times)) if times else "-"
        name = next((g.names[c] for g in games for c in (BLACK, WHITE)
                     if labels[g.number][c] == key and c in g.names), key)
        lines.append("%s (%s): %d wins of %d (%d as black); median %s per move" % (
            key, name, wins, len(games), as_black, median))
    draws = sum(1 for g in games if g.result == "0")
    faults = sum(1 for g in games if g.fault)
    moves = [len(g.moves) for g in games]
    lines.append("%d games, %d draws, %d with faults; moves per game median %g, max %d" % (
        len(games), draws, faults, statistics.median(moves) if moves else 0,
        max(moves) if moves else 0))
    return lines


def parse_arguments(argv):
    parser = argparse.ArgumentParser(
        description=__doc__.split("\n\n")[0],
        formatter_class=argparse.RawDescriptionHelpFormatter, epilog=__doc__.split("\n\n", 1)[1])
    parser.add_argument("--black", required=True, help="command of engine A (black in game 1)")
    parser.add_argument("--white", required=True, help="command of engine B (white in game 1)")
    parser.add_argument("--games", type=int, default=1)
    parser.add_argument("--size", type=int, default=19)
    parser.add_argument("--komi", type=float, default=7.5)
    parser.add_argument("--handicap", type=int, default=0, help="stones for black (2 to 9)")
    parser.add_argument("--max-moves", type=int, default=1000, help="move cap of a game")
    parser.add_argument("--alternate", action="store_true",
                        help="swap colours from game to game")
    parser.add_argument("--seed", type=int, default=1, help="replaces {seed} plus the game's number")
    parser.add_argument("--timeout", type=float, default=60.0, help="seconds for one answer")
    parser.add_argument("--sgf-dir", help="folder for the SGF records")
    parser.add_argument("--scorer", help="command of an engine whose final_score decides")
    parser.add_argument("--engine-stderr", action="store_true",
                        help="let the engines write to standard error")
    options = parser.parse_args(argv)
    if options.handicap == 1 or options.handicap < 0:
        parser.error("a handicap is 2 stones or more")
    try:
        handicap_points(options.size, options.handicap)
        Board(options.size)
    except ValueError as e:
        parser.error(str(e))
    return options


def main(argv):
    options = parse_arguments(argv)
    stderr = None if options.engine_stderr else subprocess.DEVNULL
    if options.sgf_dir:
        os.makedirs(options.sgf_dir, exist_ok=True)
    games, labels = [], {}
    for number in range(1, options.games + 1):
        swap = options.alternate and number % 2 == 0
        seed = str(options.seed + number - 1)
        a = options.black.replace("{seed}", seed)
        b = options.white.replace("{seed}", seed)
        commands = {BLACK: b, WHITE: a} if swap else {BLACK: a, WHITE: b}
        labels[number] = {BLACK: "B", WHITE: "A"} if swap else {BLACK: "A", WHITE: "B"}
        game = Game(number, options, commands)
        game.run(stderr)
        games.append(game)
        print(game.line(), flush=True)
        if options.sgf_dir:
            path = os.path.join(options.sgf_dir, "game-%03d.sgf" % number)
            with open(path, "w", encoding="utf-8") as f:
                f.write(game.sgf())
    for line in summary(games, labels):
        print(line)
    return 1 if any(g.fault for g in games) else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
