#!/usr/bin/env python3
"""Throws random GTP input at obrin-cli and checks that every command gets a framed answer.

Each line sent is one of a few kinds: a valid command with valid arguments, a known command with
bad arguments (bad vertices, colours, numbers), garbage, odd whitespace and control characters,
very long lines, ids of any length, and loadsgf of odd files (empty, a folder, a device, a FIFO,
damaged records, huge values). After every line the answer must be "=" or "?", the echoed id,
text without an empty line, and one empty line; the process must not die, and the sanitizers
must report nothing on its standard error.

  scripts/gtp_fuzz.py --cli build-asan/bin/obrin-cli --seconds 1200
"""

import argparse
import collections
import os
import random
import select
import subprocess
import sys
import tempfile
import time

COLUMNS = "ABCDEFGHJKLMNOPQRST"
SIMPLE = ["protocol_version", "name", "version", "list_commands", "clear_board", "showboard",
          "undo", "final_score", "obrin_groups", "obrin_fields", "gogui-analyze_commands",
          "obrin_goals", "obrin_goal_tree", "obrin_patterns", "obrin_rules", "printsgf"]
WITH_COLOUR = ["list_stones", "captures", "genmove", "reg_genmove"]
WITH_VERTEX = ["obrin_status", "attack", "defend", "ladder_attack", "obrin_pattern_anchors",
               "obrin_assoc_points"]


def vertex(rng):
    return rng.choice(COLUMNS) + str(rng.randint(1, 19))


def bad_vertex(rng):
    return rng.choice(["I5", "Z9", "A0", "A20", "T99", "PASSS", "", "a", "4D", "D-4", "D4.5",
                       "\u00e44", "A" + "9" * 40, "pass pass", "D04"])


def colour(rng):
    return rng.choice(["b", "w", "B", "W", "black", "white", "BLACK"])


def odd_files(folder):
    """Files loadsgf should refuse or read without harm."""
    files = {}
    os.makedirs(folder, exist_ok=True)

    def write(name, data):
        path = os.path.join(folder, name)
        with open(path, "wb") as f:
            f.write(data)
        files[name] = path

    write("empty.sgf", b"")
    write("good.sgf", b"(;FF[4]SZ[19]KM[6.5];B[dd];W[pp];B[dp])")
    write("nine.sgf", b"(;SZ[9];B[ee])")
    write("unclosed.sgf", b"(;B[dd];W[pp]C[never ends")
    write("garbage.sgf", bytes(range(256)) * 40)
    write("deep.sgf", b"(;B[aa]" + b"(;W[bb]" * 5000 + b")" * 5000 + b")")
    write("hugekomi.sgf", b"(;KM[1e308];B[dd])")
    write("nankomi.sgf", b"(;KM[nan];B[dd])")
    write("checker.sgf", b"(;AB" + b"".join(
        b"[" + bytes([97 + x, 97 + y]) + b"]" for x in range(19) for y in range(19)
        if (x + y) % 2 == 0) + b"AW" + b"".join(
        b"[" + bytes([97 + x, 97 + y]) + b"]" for x in range(19) for y in range(19)
        if (x + y) % 2 == 1) + b")")
    write("bom.sgf", b"\xef\xbb\xbf(;B[dd])")
    write("crlf.sgf", b"(;B[dd]\r\n;W[pp]\r\n)\r\n")
    write("notes.txt", b"(;B[dd])")
    folder_sgf = os.path.join(folder, "folder.sgf")
    os.makedirs(folder_sgf, exist_ok=True)
    files["folder.sgf"] = folder_sgf
    for name, target in (("zero.sgf", "/dev/zero"), ("null.sgf", "/dev/null"),
                         ("dangling.sgf", os.path.join(folder, "nowhere.sgf"))):
        path = os.path.join(folder, name)
        if not os.path.lexists(path):
            os.symlink(target, path)
        files[name] = path
    fifo = os.path.join(folder, "fifo.sgf")
    if not os.path.exists(fifo):
        os.mkfifo(fifo)
    files["fifo.sgf"] = fifo
    files["missing.sgf"] = os.path.join(folder, "missing.sgf")
    return files


class Generator:
    def __init__(self, rng, files):
        self.rng = rng
        self.files = files
        self.counts = collections.Counter()

    def line(self):
        kinds = [("valid", 40), ("bad arguments", 20), ("garbage", 10), ("whitespace", 8),
                 ("long line", 3), ("id", 8), ("loadsgf", 8), ("komi", 3)]
        kind = self.rng.choices([k for k, _ in kinds], [w for _, w in kinds])[0]
        self.counts[kind] += 1
        return getattr(self, "_" + kind.replace(" ", "_"))()

    def _valid(self):
        r = self.rng
        choice = r.random()
        if choice < 0.45:
            return "play %s %s" % (colour(r), vertex(r) if r.random() < 0.95 else "pass")
        if choice < 0.6:
            return r.choice(SIMPLE)
        if choice < 0.7:
            return "%s %s" % (r.choice(WITH_COLOUR), colour(r))
        if choice < 0.8:
            return "%s %s" % (r.choice(WITH_VERTEX), vertex(r))
        if choice < 0.85:
            return "is_legal %s %s" % (colour(r), vertex(r))
        if choice < 0.9:
            return "fixed_handicap %d" % r.randint(2, 9)
        if choice < 0.95:
            return "obrin_field %s" % r.choice(["Gruppenstatus", "ScoreField", "Neutral",
                                                "Feldstaerkefeld", "NNSAugen"])
        return "final_status_list %s" % r.choice(["dead", "alive", "seki"])

    def _bad_arguments(self):
        r = self.rng
        command = r.choice(SIMPLE + WITH_COLOUR + WITH_VERTEX +
                           ["play", "is_legal", "boardsize", "komi", "fixed_handicap",
                            "known_command", "obrin_field", "final_status_list", "time_left",
                            "time_settings", "obrin_compare", "obrin_expand", "obrin_assoc"])
        args = [r.choice([bad_vertex(r), colour(r), vertex(r), str(r.randint(-10**12, 10**12)),
                          "x", "-", "1e999", "nan", ""]) for _ in range(r.randint(0, 4))]
        return " ".join([command] + args)

    def _garbage(self):
        r = self.rng
        alphabet = "abcdefghijklmnopqrstuvwxyz_0123456789 #\t=?[]();\\\"'"
        return "".join(r.choice(alphabet) for _ in range(r.randint(1, 60)))

    def _whitespace(self):
        r = self.rng
        base = self._valid()
        pieces = []
        for word in base.split(" "):
            pieces.append(word)
            pieces.append(r.choice([" ", "  ", "\t", " \t ", "\x01", "\x7f", "\r"]))
        line = "".join(pieces)
        if r.random() < 0.3:
            line += " # a comment " + r.choice(["", "play b D4", "\t"])
        return r.choice(["", " ", "\t"]) + line

    def _long_line(self):
        r = self.rng
        size = r.choice([1000, 10000, 100000, 1000000])
        return r.choice(["name ", "play b ", "known_command ", "", "1 "]) + \
            r.choice(["x", "D4 ", "9"]) * size

    def _id(self):
        r = self.rng
        digits = "".join(r.choice("0123456789") for _ in range(r.choice([1, 5, 10, 11, 19,
                                                                          20, 40, 300])))
        return digits + " " + r.choice([self._valid(), self._bad_arguments(), ""])

    def _loadsgf(self):
        r = self.rng
        name = r.choice(sorted(self.files))
        extra = r.choice(["", "", " 1", " 3", " 0", " -1", " x", " 99999999999"])
        return "loadsgf " + self.files[name] + extra

    def _komi(self):
        return "komi " + self.rng.choice(["6.5", "0", "-7.5", "1e308", "-1e308", "inf", "nan",
                                          "1e17", "1000", "1000.5", "0x10", "+3", "7,5", ""])


class Engine:
    def __init__(self, cli, home, seed):
        self.stderr = tempfile.TemporaryFile()
        env = dict(os.environ, OBRIN_HOME=home)
        self.proc = subprocess.Popen([cli, "gtp", "--deterministic", "--seed", str(seed),
                                      "--reading-ms", "200"],
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=self.stderr, env=env, cwd=home)
        self.buffer = b""

    def ask(self, line, timeout):
        """The answer to line, or None when the process died or took longer than timeout."""
        self.proc.stdin.write(line.encode("utf-8", "surrogateescape") + b"\n")
        self.proc.stdin.flush()
        deadline = time.monotonic() + timeout
        while b"\n\n" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0:
                return None
            ready, _, _ = select.select([self.proc.stdout], [], [], left)
            if not ready:
                return None
            chunk = os.read(self.proc.stdout.fileno(), 65536)
            if not chunk:
                return None
            self.buffer += chunk
        answer, self.buffer = self.buffer.split(b"\n\n", 1)
        return answer.decode("utf-8", "replace") + "\n\n"

    def kill(self):
        self.proc.kill()
        self.proc.wait()
        self.stderr.seek(0)
        return self.stderr.read().decode("utf-8", "replace")

    def close(self):
        try:
            self.proc.stdin.write(b"quit\n")
            self.proc.stdin.flush()
            self.proc.wait(timeout=30)
        except (BrokenPipeError, subprocess.TimeoutExpired):
            self.proc.kill()
            self.proc.wait()
        self.stderr.seek(0)
        return self.proc.returncode, self.stderr.read().decode("utf-8", "replace")


def expected_id(line):
    """The id a well-behaved engine echoes for line, after GTP's preprocessing."""
    cleaned = "".join(" " if c == "\t" else c for c in line.split("#", 1)[0]
                      if c == "\t" or (32 <= ord(c) != 127))
    words = cleaned.split()
    if not words or not words[0].isdigit() or not words[0].isascii():
        return ""
    return words[0]


def framing_error(line, answer):
    if answer is None:
        return "no answer"
    if answer[0] not in "=?":
        return "answer starts with %r" % answer[0]
    body = answer[:-2]
    if any(not text.strip(" \t\r") for text in body.split("\n")[1:]):
        return "blank line inside the answer"
    ident = expected_id(line)
    head = body.split("\n", 1)[0]
    if not head[1:].startswith(ident + " ") and head[1:] != ident:
        return "id %r not echoed: %r" % (ident, head[:60])
    return None


def is_command(line):
    cleaned = "".join(c for c in line.split("#", 1)[0] if c == "\t" or 32 <= ord(c) != 127)
    return cleaned.strip() != ""


def run(args):
    rng = random.Random(args.seed)
    args.cli = os.path.abspath(args.cli)
    home = tempfile.mkdtemp(prefix="obrin-gtp-fuzz-")
    # The shipped pattern library and networks are read next to the program.
    files = odd_files(os.path.join(home, "files"))
    for name in args.skip:
        files.pop(name, None)
    generator = Generator(rng, files)
    start = time.monotonic()
    sessions, lines, failures, slow = 0, 0, [], []
    sanitizer_reports = 0
    while time.monotonic() - start < args.seconds and len(failures) < 20:
        sessions += 1
        engine = Engine(args.cli, home, rng.randint(1, 10**6))
        last_load = ""
        timed_out = False
        for _ in range(rng.randint(20, args.session_length)):
            if time.monotonic() - start >= args.seconds:
                break
            line = generator.line()
            if "quit" in line:
                continue
            lines += 1
            if not is_command(line):
                continue
            if line.startswith("loadsgf"):
                last_load = line
            answer = engine.ask(line, args.timeout)
            if answer is None and engine.proc.poll() is None:
                # Still thinking: a move that overruns any controller's time limit. Counted
                # apart; the process is ended, its input is no longer in step.
                slow.append("%r (after %r)" % (line[:80], last_load))
                timed_out = True
                break
            problem = framing_error(line, answer)
            if problem:
                failures.append("%s: %r -> %r" % (problem, line[:200],
                                                  (answer or "")[:200]))
                break
        if timed_out:
            status, errors = None, engine.kill()
        else:
            status, errors = engine.close()
        if "ERROR: AddressSanitizer" in errors or "runtime error:" in errors or \
                "LeakSanitizer" in errors:
            sanitizer_reports += 1
            failures.append("sanitizer report:\n" + errors[-4000:])
        elif status not in (0, None) and status != -9:
            failures.append("exit status %s\n%s" % (status, errors[-2000:]))
    print("sessions %d, lines %d, %.0f s" % (sessions, lines, time.monotonic() - start))
    for kind, count in sorted(generator.counts.items()):
        print("  %-14s %d" % (kind, count))
    print("sanitizer reports %d" % sanitizer_reports)
    print("answers slower than %.0f s: %d" % (args.timeout, len(slow)))
    for s in slow:
        print("SLOW " + s)
    for f in failures:
        print("FAIL " + f)
    print("%d passed, %d failed" % (sessions - len(failures), len(failures)))
    return 1 if failures else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--cli", required=True)
    parser.add_argument("--seconds", type=float, default=30)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--session-length", type=int, default=200)
    parser.add_argument("--timeout", type=float, default=60,
                        help="seconds an answer may take before it counts as missing")
    parser.add_argument("--skip", action="append", default=[], metavar="FILE",
                        help="an odd file not to load (checker.sgf: its genmove is slow)")
    return run(parser.parse_args())


if __name__ == "__main__":
    sys.exit(main())
