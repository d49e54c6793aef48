#!/usr/bin/env python3
"""Checks a saved output of `vevuvedu N` without searching again: every filling is one path
from (0,0,0) whose first segment runs along the first axis to its end and whose later segments
are straight, at least 2 cells long and each at a right angle to the one before; the fillings
come in the order the search tries their segments, so none is printed twice; the mirror of each
(second and third axes swapped) is among them, and the final line gives their count.

    check_fillings.py N FILE
"""
import sys

# The axes the search tries after a segment along each axis, in order.
TURNS_AFTER = {0: (1, 2), 1: (0, 2), 2: (1, 0)}


def read(n, text):
    *blocks, last = text.split("---\n")
    fillings, current = [], []
    for block in blocks:
        current.append([[int(v) for v in line.split()] for line in block.rstrip("\n").split("\n")])
        if len(current) == n:
            fillings.append(current)
            current = []
    return fillings, last, current


def trials(n, f):
    """The continuation each segment after the first is at its level of the search (the axis
    tried first numbers its targets from 0, the other from n), or None when f is not a path."""
    cells = {}
    for x in range(n):
        for y in range(n):
            for z in range(n):
                cells.setdefault(f[x][y][z], []).append((x, y, z))
    if sorted(cells) != list(range(1, len(cells) + 1)) or cells[1] != [(0, 0, 0)]:
        return None
    if n > 1 and sorted(cells[2]) != [(x, 0, 0) for x in range(1, n)]:
        return None
    head, axis, tried = (n - 1, 0, 0), 0, []
    for segment in range(3, len(cells) + 1):
        c = cells[segment]
        moved = {a for p in c for a in range(3) if p[a] != head[a]}
        if len(c) < 2 or len(moved) != 1 or axis in moved:
            return None
        a = moved.pop()
        if sorted(abs(p[a] - head[a]) for p in c) != list(range(1, len(c) + 1)):
            return None
        head = max(c, key=lambda p: abs(p[a] - head[a]))
        tried.append((0 if a == TURNS_AFTER[axis][0] else n) + head[a])
        axis = a
    return tried


def main():
    n, text = int(sys.argv[1]), open(sys.argv[2], encoding="utf-8").read()
    fillings, last, rest = read(n, text)
    errors = []
    if rest:
        errors.append("a block of lines that is not a whole filling")
    order = [trials(n, f) for f in fillings]
    if None in order:
        errors.append("a filling that is not one path of straight segments")
    elif any(a >= b for a, b in zip(order, order[1:])):
        errors.append("fillings out of the search's order, or one printed twice")
    flat = lambda f, m: tuple(f[x][z][y] if m else f[x][y][z]
                              for x in range(n) for y in range(n) for z in range(n))
    plain = [flat(f, False) for f in fillings]
    if len(set(plain)) != len(plain):
        errors.append("a filling printed twice")
    if set(plain) != {flat(f, True) for f in fillings}:
        errors.append("a filling whose mirror is missing")
    expected = (f"Celkový počet nalezených vyplnění je {len(fillings)}.\n" if fillings
                else "Nebylo nalezeno žádné vyplnění.\n")
    if last != expected:
        errors.append(f"final line {last!r}, expected {expected!r}")
    for e in errors:
        print(f"{sys.argv[2]}: {e}")
    if not errors:
        print(f"ok {sys.argv[2]}: {len(fillings)} fillings")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
