#!/usr/bin/env python3
"""Writes the record of every pattern in a library file from the diagram above it.

A diagram is a block of comment lines starting with "#|", top row first, one character per
point separated by blanks:  X O  stones of +1 and -1,  .  empty,  #  off the board,
?  not part of the pattern, a b c ...  empty points the handler names, and the anchor as  x  o
or  +  (empty).  The record line that
follows ("[...] N") gets the cells of the diagram in spiral order; its number is kept.

usage: scripts/muster_sync.py data/muster.txt        (rewrites the file in place)
"""
import sys


def spiral():
    cells = [(0, 0)]
    x = y = leg = 0
    steps = [(0, 1), (1, 0), (0, -1), (-1, 0)]
    while len(cells) < 256:
        for _ in range(leg // 2 + 1):
            if len(cells) == 256:
                break
            x += steps[leg % 4][0]
            y += steps[leg % 4][1]
            cells.append((x, y))
        leg += 1
    return cells


SYMBOL = {'X': 'x', 'O': 'o', '.': '.', '#': 'a', 'x': 'x', 'o': 'o', '+': '.'}
SYMBOL.update({letter: '.' for letter in 'abcdefgh'})  # empty points the handler names


def record_cells(rows, where):
    grid = [row.split() for row in rows]
    anchors = [(c, r) for r, row in enumerate(grid) for c, t in enumerate(row) if t in 'xo+']
    if len(anchors) != 1:
        raise SystemExit(f"{where}: the diagram needs exactly one anchor (x, o or +)")
    ax, ay = anchors[0]
    cells = []
    for dx, dy in spiral():
        r, c = ay - dy, ax + dx
        token = grid[r][c] if 0 <= r < len(grid) and 0 <= c < len(grid[r]) else '?'
        cells.append(token)
    last = max(k for k, t in enumerate(cells) if t != '?')
    text = ''
    for k in range(last + 1):
        if cells[k] not in SYMBOL:
            raise SystemExit(f"{where}: spiral cell {k} is not given ({cells[k]!r})")
        text += SYMBOL[cells[k]]
    return text


def main(path):
    lines = open(path, encoding='utf-8').read().split('\n')
    diagram = []
    for i, line in enumerate(lines):
        if line.startswith('#|'):
            diagram.append(line[2:])
        elif '[' in line and diagram:
            number = line[line.index(']') + 1:].strip()
            lines[i] = '[' + record_cells(diagram, f"{path}:{i + 1}") + '] ' + number
            diagram = []
        elif line.strip() and not line.startswith('#'):
            diagram = []
    open(path, 'w', encoding='utf-8').write('\n'.join(lines))


if __name__ == '__main__':
    main(sys.argv[1])
