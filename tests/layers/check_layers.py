"""The engine's layers as the includes show them: a file may include its own folder and the folders
below it, never one above. Window files (Form*) sit above every engine folder, next to the
subsystem they show; app/ holds the programs' main() on top of everything.

Run with the source folder as the argument; prints every upward include and exits 1 if any."""
import pathlib
import re
import sys

LAYERS = ["board", "settings", "context", "tactics", "analysis", "patterns", "goals", "game", "records",
          "gtp", "tools", "ui"]
WINDOWS = len(LAYERS)
PROGRAMS = WINDOWS + 1
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/[^"]+"', re.M)


def rank(folder, name):
    if folder == "app":
        return PROGRAMS
    if name.startswith("Form"):
        return WINDOWS
    return LAYERS.index(folder)


def main(src):
    problems = []
    for path in sorted(pathlib.Path(src).rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        folder = path.parent.name
        if folder not in LAYERS and folder != "app":
            problems.append(f"{path}: folder {folder} has no place among the layers")
            continue
        own = rank(folder, path.name)
        for included in INCLUDE.findall(path.read_text(encoding="utf-8")):
            if included not in LAYERS and included != "app":
                problems.append(f"{path}: includes from unknown folder {included}/")
            elif included == "app" and own != PROGRAMS:
                problems.append(f"{path}: includes app/")
            elif included != "app" and LAYERS.index(included) > own:
                problems.append(f"{path}: {folder}/ includes the higher layer {included}/")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
