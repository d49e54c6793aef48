#!/usr/bin/env python3
"""An independent, deliberately simple model of orv-layout, used to derive and cross-check the
expected outputs of the end-to-end cases. It reads the graph file given as its argument (valid
files only), writes the listing to stdout, the trace and totals to stderr, and exits with the
status. Python floats are IEEE doubles and math.sqrt is correctly rounded, so its totals are
the program's to the last bit; it is slow (about a second per pass)."""
import math
import sys

N, W, H = 285, 15, 19


def read(data):
    lists = [[] for _ in range(N)]
    cur = None
    i = 0
    while True:
        while i < len(data) and (data[i] == '\n' or data[i:i + 2] == '\r\n'):
            i += 1
        if i == len(data):
            break
        tab = data[i] == '\t'
        while i < len(data) and data[i] in ' \t\n\v\f\r':
            i += 1
        if i == len(data):
            break
        j = i
        while j < len(data) and data[j].isdigit():
            j += 1
        n = int(data[i:j])
        i = j
        if not tab:
            cur = n - 1
            lists[cur] = []
        elif cur is not None:
            lists[cur].append(n - 1)
    return lists


def main():
    lists = read(open(sys.argv[1], newline='').read())
    err = []
    depth = [999] * N
    depth[0] = 0
    while True:
        changed = False
        for i in range(1, N):
            m = min([999] + [depth[n] for n in lists[i]])
            if depth[i] != m + 1:
                depth[i] = m + 1
                changed = True
            err.append('The depth of %d is %d.\n' % (i, depth[i]))
        if not changed:
            break
    order = sorted(range(N), key=lambda v: depth[v])  # Python's sort is stable
    cells = [(x, d - x) for d in range(33) for x in range(d, -1, -1) if x < W and d - x < H]
    pos = [None] * N
    grid = {}
    for i, v in enumerate(order):
        pos[v] = cells[i]
        grid[cells[i]] = v

    def dist(a, b):
        return math.sqrt((pos[a][0] - pos[b][0]) ** 2 + (pos[a][1] - pos[b][1]) ** 2)

    total = 0.0
    for v in range(N):
        for n in lists[v]:
            total += dist(n, v)

    def check(c1, c2):
        a, b = grid[c1], grid[c2]
        p, q = (a, b) if sum(c1) > sum(c2) else (b, a)
        old = new = 0.0
        for owner, other in ((p, q), (q, p)):
            for n in lists[owner]:
                if n in (p, q):
                    continue
                d1, d2 = dist(owner, n), dist(other, n)
                if d1 != 0 and d2 != 0:
                    old += d1
                    new += d2
            if owner == p:
                e1 = (total - old) + new
        return ((total - old) + new, e1)

    status = 10000
    for p in range(10000):
        moved = 0
        for j in range(N):
            c = 0 if (j + p) % 15 == 0 else 1
            best, partner = (total, total), None
            v = order[j]
            for k in range(N):
                if k != j:
                    s = check(pos[v], pos[order[k]])
                    if best[c] > s[c]:
                        best, partner = s, k
            if total > best[0]:
                w = order[partner]
                c1, c2 = pos[v], pos[w]
                grid[c1], grid[c2] = w, v
                pos[w], pos[v] = c1, c2
                total = best[0]
                moved += 1
        err.append('%f\n' % total)
        if moved == 0:
            status = p
            break
    sys.stderr.write(''.join(err))
    for v in range(N):
        sys.stdout.write('%d %d : %03d\n' % (pos[v][0], pos[v][1], v + 1))
        for n in lists[v]:
            sys.stdout.write('\t%d %d : %03d\n' % (pos[n][0], pos[n][1], n + 1))
    sys.exit(status % 256)


main()
