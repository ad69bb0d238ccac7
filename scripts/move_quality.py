#!/usr/bin/env python3
"""Measures Obrin's moves against GNU Go's judgement of the same positions.

For every chosen position of the given game records (SGF files, or the teacher-game text files
training/games-*.txt) Obrin answers reg_genmove and obrin_goal_tree, and GNU Go (level 10 by
default) answers reg_genmove, top_moves, all_move_values and move_reasons for Obrin's move. The
goal just above Obrin's move in its goal tree (MUSTERZUG, GEBIETSZUG, FREIHEIT-WEGNEHMEN, ...) is
the move's kind. Prints per kind and per line of Obrin's move how many moves were GNU Go's choice,
how many among GNU Go's top five and the mean value lost (GNU Go's best value minus its value of
Obrin's move; a move GNU Go gives no value counts 0, so it loses the whole best value). With --csv
writes one row per position; --compare A.csv B.csv sets two such runs side by side, and
--tables A.csv prints a run's tables again (with --kind-depth, kinds of more levels).

Positions are the ones before a move, with the side to move of that move. --from and --to
limit the move numbers, --colour or --player the side, --every K keeps every K-th of what is left
in each game and --limit N stops after N positions in all.

Both engines start afresh for every game, so a game's figures do not depend on the games before
it; with the same records, options and engines every run gives the same figures.

Examples:
  scripts/move_quality.py --player Obrin --every 3 --limit 400 --csv before.csv \\
      tests/data/quality-test/*.sgf
  scripts/move_quality.py --compare before.csv after.csv
"""

import argparse
import collections
import concurrent.futures
import csv
import json
import os
import re
import shlex
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from go_rules import COLUMNS, handicap_points  # noqa: E402
from gtp_referee import EngineFailure, GtpEngine  # noqa: E402

NO_KIND = "(none)"
CLEANUP_KIND = "(cleanup)"
LINES = ("1", "2", "3", "4", "5+", "pass")
CSV_FIELDS = ("game", "move", "colour", "obrin", "kind", "gnugo", "top1", "top5", "lost",
              "line", "obrin_value", "best_value", "reasons", "tree")


class StudyError(Exception):
    """A record or table that cannot be read, or an engine that refuses or fails; the message
    names the file and the place."""


class Record:
    """One game: its name, board size, komi, setup stones and moves as (colour, vertex), colour
    'B' or 'W', vertex upper case or 'PASS'."""

    def __init__(self, name, size=19, komi=6.5):
        self.name = name
        self.size = size
        self.komi = komi
        self.setup = []
        self.moves = []
        self.players = {}


# ---- SGF

def sgf_nodes(text, path):
    """The nodes of the main line of the first game, each a dict of property name -> list of
    values. The main line goes on into the first variation of every branching and ends where
    that variation closes, so it is every node before the first ')'."""
    nodes, i = [], text.find("(")
    if i < 0:
        raise StudyError("%s: no SGF game found" % path)
    while i < len(text) and text[i] != ")":
        if text[i] == ";":
            node, i = sgf_node(text, i + 1, path)
            nodes.append(node)
        elif text[i] == "[":
            raise StudyError("%s: a property value outside a node (at character %d)" % (path, i))
        else:
            i += 1
    if not nodes:
        raise StudyError("%s: no SGF game found" % path)
    return nodes


def sgf_node(text, i, path):
    """Reads the properties of one node from text[i:]; returns (node, index after it)."""
    node = {}
    while i < len(text):
        while i < len(text) and text[i].isspace():
            i += 1
        m = re.compile(r"[A-Za-z]+").match(text, i)
        if not m:
            break
        name = re.sub("[a-z]", "", m.group(0))
        i = m.end()
        values = []
        while True:
            while i < len(text) and text[i].isspace():
                i += 1
            if i >= len(text) or text[i] != "[":
                break
            value, i = sgf_value(text, i + 1, path)
            values.append(value)
        if not values:
            raise StudyError("%s: property %s without a value (at character %d)"
                              % (path, name, i))
        node.setdefault(name, []).extend(values)
    return node, i


def sgf_value(text, i, path):
    out = []
    while i < len(text):
        ch = text[i]
        if ch == "\\" and i + 1 < len(text):
            out.append(text[i + 1])
            i += 2
        elif ch == "]":
            return "".join(out), i + 1
        else:
            out.append(ch)
            i += 1
    raise StudyError("%s: a property value is not closed" % path)


def sgf_vertex(value, size, path, where):
    """'dp' -> 'D4'; '' and 'tt' (on boards up to 19) -> 'PASS'."""
    if value == "" or (value == "tt" and size <= 19):
        return "PASS"
    if len(value) != 2 or not all("a" <= c < chr(ord("a") + size) for c in value):
        raise StudyError("%s: %s: not a point: [%s]" % (path, where, value))
    x, y = ord(value[0]) - ord("a"), ord(value[1]) - ord("a")
    return "%s%d" % (COLUMNS[x], size - y)


def sgf_points(values, size, path, where):
    """Setup points, with compressed ranges 'aa:cc' opened."""
    points = []
    for value in values:
        corners = value.split(":")
        if len(corners) == 1:
            points.append(sgf_vertex(value, size, path, where))
            continue
        (x0, y0), (x1, y1) = [(ord(c[0]) - ord("a"), ord(c[1]) - ord("a")) for c in corners]
        for x in range(min(x0, x1), max(x0, x1) + 1):
            for y in range(min(y0, y1), max(y0, y1) + 1):
                points.append(sgf_vertex(chr(ord("a") + x) + chr(ord("a") + y), size, path, where))
    return points


def read_sgf(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        nodes = sgf_nodes(f.read(), path)
    root = nodes[0]
    record = Record(os.path.basename(path))
    try:
        record.size = int(root.get("SZ", ["19"])[0].split(":")[0])
        record.komi = float(root.get("KM", ["0"])[0] or 0)
    except ValueError:
        raise StudyError("%s: the root node's SZ or KM is not a number" % path)
    for colour in ("B", "W"):
        record.players[colour] = root.get("P" + colour, [""])[0]
        record.setup += [(colour, v) for v in
                         sgf_points(root.get("A" + colour, []), record.size, path, "root")]
    for number, node in enumerate(nodes[1:], start=1):
        where = "node %d" % number
        if "AB" in node or "AW" in node or "AE" in node:
            raise StudyError("%s: %s: setup stones after the root are not supported"
                              % (path, where))
        for colour in ("B", "W"):
            for value in node.get(colour, []):
                record.moves.append((colour, sgf_vertex(value, record.size, path, where)))
    return record


# ---- teacher-game text files

def read_teacher_games(path):
    """The games of a training/games-*.txt file. Black moves before White's first one are GNU
    Go's handicap stones, played with komi 0.5; other games have komi 6.5."""
    records = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, start=1):
            words = line.split()
            if not words:
                continue
            if words[0] == "game":
                if len(words) < 2:
                    raise StudyError("%s:%d: 'game' without a number" % (path, number))
                records.append(Record("%s#%s" % (os.path.basename(path), words[1])))
            elif words[0] == "moves":
                if not records:
                    raise StudyError("%s:%d: moves before the first 'game' line" % (path, number))
                records[-1].moves = [teacher_move(w, path, number) for w in words[1:]]
                leading_black = next((i for i, (c, _) in enumerate(records[-1].moves) if c != "B"),
                                     len(records[-1].moves))
                records[-1].komi = 0.5 if leading_black > 1 else 6.5
    return records


def teacher_move(word, path, line):
    colour, _, vertex = word.partition(":")
    if colour not in ("B", "W") or not vertex:
        raise StudyError("%s:%d: not a move: %r" % (path, line, word))
    return colour, vertex.upper()


def read_records(paths):
    records = []
    for path in paths:
        try:
            if path.lower().endswith(".sgf"):
                records.append(read_sgf(path))
            else:
                records += read_teacher_games(path)
        except OSError as e:
            raise StudyError("%s: %s" % (path, e.strerror))
    return records


# ---- choosing positions

class Position:
    """The position before move `number` (1 is the first move) of a record."""

    def __init__(self, record, number):
        self.record = record
        self.number = number
        self.colour = record.moves[number - 1][0]


def studied_colours(record, options):
    if options.player:
        wanted = options.player.lower()
        return {c for c, name in record.players.items() if wanted in name.lower()}
    return {"B", "W"} if options.colour == "both" else {options.colour.upper()}


def choose_positions(records, options):
    """The positions the options choose, game by game, at most options.limit in all."""
    chosen = []
    for record in records:
        colours = studied_colours(record, options)
        if not colours:
            print("%s: no player named %r, skipped" % (record.name, options.player),
                  file=sys.stderr)
            continue
        last = min(len(record.moves), options.to or len(record.moves))
        numbers = [n for n in range(max(1, options.start), last + 1)
                   if record.moves[n - 1][0] in colours]
        chosen += [Position(record, n) for n in numbers[::options.every]]
    return chosen[:options.limit] if options.limit else chosen


# ---- engines

def set_up_game(engine, record, where):
    """boardsize, clear_board, komi and the setup stones, as the referee places handicaps."""
    ask(engine, "boardsize %d" % record.size, where)
    ask(engine, "clear_board", where)
    ask(engine, "komi %g" % record.komi, where)
    black = [v for c, v in record.setup if c == "B"]
    white = [v for c, v in record.setup if c == "W"]
    if len(black) >= 2 and not white and engine.knows("set_free_handicap"):
        ask(engine, "set_free_handicap " + " ".join(black), where)
    elif len(black) >= 2 and not white and fixed_handicap_fits(record.size, black) \
            and engine.knows("fixed_handicap"):
        ask(engine, "fixed_handicap %d" % len(black), where)
    else:
        for colour, vertex in record.setup:
            ask(engine, "play %s %s" % (colour, vertex), where)


def fixed_handicap_fits(size, stones):
    try:
        points = handicap_points(size, len(stones))
    except ValueError:
        return False
    wanted = {"%s%d" % (COLUMNS[p % size], p // size + 1) for p in points}
    return wanted == set(stones)


def ask(engine, command, where):
    """The answer to command; a refusal is an error naming the engine and the place."""
    try:
        ok, answer = engine.send(command)
    except EngineFailure as e:
        raise StudyError("%s: %s, asked %r: %s" % (where, engine.name, command, e))
    if not ok:
        raise StudyError("%s: %s refused %r: %s" % (where, engine.name, command, answer))
    return answer


class Teacher:
    """GNU Go's view of a position: its choice, its valued moves and the reasons for a move."""

    def __init__(self, engine):
        self.engine = engine

    def judge(self, colour, obrin_move, where):
        choice = ask(self.engine, "reg_genmove " + colour, where).upper()
        top = parse_move_values(ask(self.engine, "top_moves", where), where)
        # GNU Go 3.8 ends an empty all_move_values answer without the blank line, which would
        # take the next answer for it; when top_moves lists nothing no move has a value anyway.
        values = dict(top)
        if top:
            values.update(parse_move_values(ask(self.engine, "all_move_values", where), where))
        reasons = None
        if obrin_move not in ("PASS", "RESIGN"):
            ok, answer = self.engine.send("move_reasons " + obrin_move)
            reasons = answer.strip() if ok else ""
        return choice, top, values, reasons


class TeacherCache:
    """GNU Go's choice and move values per position, kept in a JSON file between runs, so that a
    second run of the same positions asks only Obrin. A cached position has no move reasons."""

    def __init__(self, path):
        self.path = path
        self.entries = {}
        if os.path.exists(path):
            try:
                with open(path, encoding="utf-8") as f:
                    self.entries = json.load(f)
            except (OSError, ValueError) as e:
                raise StudyError("%s: not a teacher cache: %s" % (path, e))
        self.lock = threading.Lock()

    @staticmethod
    def key(position):
        return "%s|%d|%s" % (position.record.name, position.number, position.colour)

    def has(self, position):
        return self.key(position) in self.entries

    def teacher_for(self, position, teacher):
        return CachedJudge(self, self.key(position), teacher)

    def save(self):
        with open(self.path, "w", encoding="utf-8") as f:
            json.dump(self.entries, f, sort_keys=True)


class CachedJudge:
    """Judges from the cache, or asks the teacher and keeps what it answered."""

    def __init__(self, cache, key, teacher):
        self.cache, self.key, self.teacher = cache, key, teacher

    def judge(self, colour, obrin_move, where):
        entry = self.cache.entries.get(self.key)
        if entry is not None:
            top = [tuple(pair) for pair in entry["top"]]
            return entry["choice"], top, dict(entry["values"]), None
        if self.teacher is None:
            raise StudyError("%s: not in the teacher cache" % where)
        choice, top, values, reasons = self.teacher.judge(colour, obrin_move, where)
        with self.cache.lock:
            self.cache.entries[self.key] = {"choice": choice, "top": top, "values": values}
        return choice, top, values, reasons


def parse_move_values(text, where):
    """'M9 9.65 G7 9.06' or one 'M9 9.65' a line -> [('M9', 9.65), ...] in the given order."""
    words = text.split()
    if len(words) % 2:
        raise StudyError("%s: move values without pairs: %r" % (where, text[:80]))
    pairs = []
    for vertex, value in zip(words[::2], words[1::2]):
        try:
            pairs.append((vertex.upper(), float(value)))
        except ValueError:
            raise StudyError("%s: not a move value: %r %r" % (where, vertex, value))
    return pairs


def goal_kind(tree_lines, move, size, depth=1):
    """The goal one level above the chosen goal of the tree, by its name without numbers (with
    depth 2 or more, the names of that many levels up the first purposes: MUSTERZUG>FORMZUG);
    the chosen goal itself when nothing is above it, as for VERZICHTEN, the pass. (none) for an
    empty tree, and (cleanup) for a stone whose point the tree's goal does not name (the search
    passed and the engine takes a dead stone off instead)."""
    lines = [line for line in tree_lines if line.strip()]
    if not lines:
        return NO_KIND
    if move not in ("PASS", "RESIGN") and not goal_is_at(lines[0].split(), move, size):
        return CLEANUP_KIND
    names = first_purposes(lines)
    return ">".join(names[1:1 + depth]) or names[0]


def goal_is_at(words, move, size):
    """Whether the words of a goal line end in the point of move (points are row * size +
    column, counted from the lower left)."""
    points = [int(w) for w in words[1:] if w.isdigit()]
    if not points:
        return False
    column, row = COLUMNS.index(move[0]), int(move[1:]) - 1
    return points[-1] == row * size + column


def indent(line):
    return len(line) - len(line.lstrip(" "))


def first_purposes(tree_lines):
    """The goal names from the chosen goal up the first purpose of each goal: the lines of the
    tree's first branch, up to the line where the tree turns back to a second purpose."""
    names, depth = [], indent(tree_lines[0]) - 1 if tree_lines else 0
    for line in tree_lines:
        if not line.strip():
            continue
        if indent(line) != depth + 1:
            break
        names.append(line.split()[0])
        depth += 1
    return names


def tree_path(tree_lines):
    return ">".join(first_purposes([line for line in tree_lines if line.strip()]))


def line_of(move, size):
    if move in ("PASS", "RESIGN"):
        return "pass"
    column, row = COLUMNS.index(move[0]), int(move[1:])
    line = min(column + 1, row, size - column, size + 1 - row)
    return str(line) if line < 5 else "5+"


# ---- one game

def study_game(record, positions, options, progress):
    """Rows for the positions of one record, both engines started for this game alone."""
    engines = []
    rows = []
    try:
        cache = options.teacher_cache
        cached = cache is not None and all(cache.has(p) for p in positions)
        commands = [options.obrin_command] + ([] if cached else [options.gnugo])
        for command in commands:
            engines.append(start_engine(command, options))
        for engine in engines:
            set_up_game(engine, record, record.name)
        obrin = engines[0]
        teacher = Teacher(engines[1]) if not cached else None
        played = 0
        for position in positions:
            while played < position.number - 1:
                colour, vertex = record.moves[played]
                where = "%s move %d" % (record.name, played + 1)
                for engine in engines:
                    ask(engine, "play %s %s" % (colour, vertex), where)
                played += 1
            started = time.monotonic()
            judge = cache.teacher_for(position, teacher) if cache is not None else teacher
            rows.append(study_position(position, obrin, judge, options.kind_depth))
            progress(rows[-1], time.monotonic() - started)
    finally:
        for engine in engines:
            engine.close()
    return rows


def start_engine(command, options):
    try:
        return GtpEngine(command, options.timeout, options.engine_stderr)
    except (OSError, ValueError) as e:
        raise StudyError("cannot start %s: %s" % (command, e))


def study_position(position, obrin, teacher, kind_depth):
    record, colour = position.record, position.colour
    where = "%s move %d" % (record.name, position.number)
    move = ask(obrin, "reg_genmove " + colour, where).upper()
    tree = ask(obrin, "obrin_goal_tree", where).splitlines()
    choice, top, values, reasons = teacher.judge(colour, move, where)
    best = max([v for _, v in top] + list(values.values()) + [0.0])
    own = best if move == choice else values.get(move, 0.0)
    top_five = [v for v, _ in top[:5]] or [choice]
    return {
        "game": record.name, "move": position.number, "colour": colour, "obrin": move,
        "kind": goal_kind(tree, move, record.size, kind_depth), "gnugo": choice,
        "top1": int(move == choice), "top5": int(move == choice or move in top_five),
        "lost": round(max(0.0, best - own), 2), "line": line_of(move, record.size),
        "obrin_value": own, "best_value": best,
        "reasons": "" if reasons is None else ("yes" if reasons else "no"),
        "tree": tree_path(tree),
    }


# ---- tables

def table(rows, key, order=None):
    """Lines of a table of rows grouped by key: moves, top-1, top-5, mean value lost and the
    moves GNU Go gave no reason for."""
    groups = collections.defaultdict(list)
    for row in rows:
        groups[row[key]].append(row)
    names = order or sorted(groups, key=lambda k: (-len(groups[k]), k))
    width = max([len(key)] + [len(n) for n in names] + [len("all")])
    lines = ["%-*s %6s %7s %7s %9s %10s" % (width, key, "moves", "top-1", "top-5", "lost",
                                             "no reason")]
    for name in names:
        if groups.get(name):
            lines.append(summary_line(name, groups[name], width))
    lines.append(summary_line("all", rows, width))
    return lines


def summary_line(name, rows, width):
    n = len(rows)
    return "%-*s %6d %6.1f%% %6.1f%% %9.2f %10d" % (
        width, name, n, 100.0 * sum(int(r["top1"]) for r in rows) / n,
        100.0 * sum(int(r["top5"]) for r in rows) / n,
        sum(float(r["lost"]) for r in rows) / n, sum(1 for r in rows if r["reasons"] == "no"))


def report(rows):
    if not rows:
        return ["no positions"]
    return table(rows, "kind") + [""] + table(rows, "line", LINES) + [""] + settled_lines(rows)


def settled_lines(rows):
    """How many positions GNU Go passes in (where no move loses anything), and the totals of the
    others, where the game is still being played."""
    passes = [r for r in rows if r["gnugo"] == "PASS"]
    playing = [r for r in rows if r["gnugo"] != "PASS"]
    lines = ["GNU Go passes in %d positions (Obrin too in %d)"
             % (len(passes), sum(1 for r in passes if r["obrin"] == "PASS"))]
    if playing:
        n = len(playing)
        lines.append("the %d others: top-1 %.1f%%, top-5 %.1f%%, value lost %.2f" % (
            n, 100.0 * sum(int(r["top1"]) for r in playing) / n,
            100.0 * sum(int(r["top5"]) for r in playing) / n,
            sum(float(r["lost"]) for r in playing) / n))
    return lines


def write_csv(path, rows):
    with open(path, "w", newline="", encoding="utf-8") as f:
        writer = csv.DictWriter(f, fieldnames=CSV_FIELDS)
        writer.writeheader()
        writer.writerows(rows)


def read_csv(path):
    try:
        with open(path, newline="", encoding="utf-8") as f:
            rows = list(csv.DictReader(f))
    except OSError as e:
        raise StudyError("%s: %s" % (path, e.strerror))
    needed = ("game", "move", "colour", "obrin", "kind", "top1", "top5", "lost", "line")
    missing = [c for c in needed if rows and c not in rows[0]]
    if missing:
        raise StudyError("%s: not a move-quality table (no column %s)" % (path, missing[0]))
    for number, row in enumerate(rows, start=2):
        try:
            int(row["top1"]), int(row["top5"]), float(row["lost"])
        except (TypeError, ValueError):
            raise StudyError("%s:%d: top1, top5 or lost is not a number" % (path, number))
    return rows


def regrouped(rows, depth):
    """Rows of a table with their kinds read again from the tree column at another depth."""
    for row in rows:
        names = row["tree"].split(">") if row.get("tree") else []
        if row["kind"] not in (NO_KIND, CLEANUP_KIND) and names:
            row["kind"] = ">".join(names[1:1 + depth]) or names[0]
    return rows


def compare(path_a, path_b):
    """Totals of two runs side by side, then the same on the positions both have."""
    a, b = read_csv(path_a), read_csv(path_b)
    lines = ["%-10s %6s %7s %7s %7s" % ("", "moves", "top-1", "top-5", "lost")]
    for name, rows in (("before", a), ("after", b)):
        lines.append(compare_line(name, rows))
    key = lambda r: (r["game"], r["move"], r["colour"])  # noqa: E731
    common = set(map(key, a)) & set(map(key, b))
    if len(common) != len(a) or len(common) != len(b):
        lines.append("on the %d positions both have:" % len(common))
        lines.append(compare_line("before", [r for r in a if key(r) in common]))
        lines.append(compare_line("after", [r for r in b if key(r) in common]))
    moves_a = {key(r): r for r in a if key(r) in common}
    changed = [r for r in b if key(r) in common and moves_a[key(r)]["obrin"] != r["obrin"]]
    better = sum(1 for r in changed if float(r["lost"]) < float(moves_a[key(r)]["lost"]))
    worse = sum(1 for r in changed if float(r["lost"]) > float(moves_a[key(r)]["lost"]))
    lines.append("%d moves changed: %d lose less, %d lose more" % (len(changed), better, worse))
    return lines


def compare_line(name, rows):
    n = max(1, len(rows))
    return "%-10s %6d %6.1f%% %6.1f%% %7.2f" % (
        name, len(rows), 100.0 * sum(int(r["top1"]) for r in rows) / n,
        100.0 * sum(int(r["top5"]) for r in rows) / n, sum(float(r["lost"]) for r in rows) / n)


# ---- main

def parse_arguments(argv):
    parser = argparse.ArgumentParser(
        description=__doc__.split("\n\n")[0],
        formatter_class=argparse.RawDescriptionHelpFormatter, epilog=__doc__.split("\n\n", 1)[1])
    add = parser.add_argument
    add("records", nargs="*", help="SGF files or training/games-*.txt files")
    add("--obrin", default=default_obrin(), metavar="PATH", help="obrin-cli to run")
    add("--obrin-seed", type=int, default=1, metavar="S", help="Obrin's --seed")
    add("--obrin-args", default="", metavar="OPTIONS",
        help="more options for obrin-cli gtp, given as --obrin-args=--classic")
    add("--gnugo", default="/usr/games/gnugo --mode gtp --level 10 --seed 1", metavar="CMD",
        help="the teacher's command")
    add("--every", type=int, default=1, metavar="K", help="every K-th position of a game")
    add("--from", dest="start", type=int, default=1, metavar="N", help="first move number")
    add("--to", type=int, default=0, metavar="N", help="last move number")
    add("--limit", type=int, default=0, metavar="N", help="positions in all")
    add("--colour", choices=("b", "w", "both"), default="both", help="whose moves to study")
    add("--player", metavar="NAME", help="study the side whose PB or PW contains this name")
    add("--kind-depth", type=int, default=1, metavar="D",
        help="levels of the goal tree above the move that name its kind")
    add("--jobs", type=int, default=1, metavar="J", help="games studied at once")
    add("--timeout", type=float, default=300.0, metavar="SECONDS", help="seconds for one answer")
    add("--csv", metavar="FILE", help="write one row per position to this file")
    add("--teacher-cache", metavar="FILE.json",
        help="keep GNU Go's answers in this file and reuse them (no move reasons then)")
    add("--compare", nargs=2, metavar=("A.csv", "B.csv"),
        help="print the totals of two runs (no positions studied)")
    add("--tables", metavar="FILE.csv",
        help="print the tables of a run again, kinds at --kind-depth")
    add("--engine-stderr", action="store_true", help="let the engines write to standard error")
    options = parser.parse_args(argv)
    options.teacher_cache_path = options.teacher_cache
    if not options.compare and not options.tables and not options.records:
        parser.error("no game records given")
    if min(options.every, options.jobs, options.start, options.kind_depth) < 1 or options.limit < 0:
        parser.error("--every, --jobs, --from and --kind-depth are 1 or more, --limit 0 or more")
    options.obrin_command = "%s gtp --deterministic --seed %d %s" % (
        options.obrin, options.obrin_seed, options.obrin_args)
    options.engine_stderr = None if options.engine_stderr else subprocess.DEVNULL
    return options


def default_obrin():
    here = os.path.dirname(os.path.abspath(__file__))
    return shlex.quote(os.path.join(here, "..", "build", "bin", "obrin-cli"))


def study(positions, options):
    """Rows of every position, in the order chosen; games run --jobs at a time."""
    by_game = collections.OrderedDict()
    for p in positions:
        by_game.setdefault(id(p.record), (p.record, []))[1].append(p)
    lock, done = threading.Lock(), [0]

    def progress(row, seconds):
        with lock:
            done[0] += 1
            print("[%d/%d] %s move %d %s: obrin %s (%s), gnugo %s, lost %.2f, %.1f s" % (
                done[0], len(positions), row["game"], row["move"], row["colour"], row["obrin"],
                row["kind"], row["gnugo"], row["lost"], seconds), file=sys.stderr, flush=True)

    pool = concurrent.futures.ThreadPoolExecutor(max_workers=options.jobs)
    try:
        futures = [pool.submit(study_game, record, game_positions, options, progress)
                   for record, game_positions in by_game.values()]
        return [row for f in futures for row in f.result()]
    finally:
        pool.shutdown(cancel_futures=True)  # after a failed game, start no other


def main(argv):
    options = parse_arguments(argv)
    try:
        if options.compare:
            print("\n".join(compare(*options.compare)))
            return 0
        if options.tables:
            print("\n".join(report(regrouped(read_csv(options.tables), options.kind_depth))))
            return 0
        positions = choose_positions(read_records(options.records), options)
        started = time.monotonic()
        options.teacher_cache = (TeacherCache(options.teacher_cache_path)
                                 if options.teacher_cache_path else None)
        try:
            rows = study(positions, options)
        finally:
            if options.teacher_cache is not None:
                options.teacher_cache.save()
    except (StudyError, EngineFailure) as e:
        print("move_quality: %s" % e, file=sys.stderr)
        return 1
    if options.csv:
        write_csv(options.csv, rows)
    print("\n".join(report(rows)))
    if rows:
        print("\n%d positions in %.0f s, %.1f s a position" % (
            len(rows), time.monotonic() - started, (time.monotonic() - started) / len(rows)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
