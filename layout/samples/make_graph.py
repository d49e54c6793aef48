#!/usr/bin/env python3
"""Writes a random "orv-graph" file for orv-layout to standard output.

  make_graph.py [--seed S] [--edges E] [--symmetric] [--hubs H] [--unmentioned U]
                [--self-loops L] [--duplicates D]

Every vertex listed gets a line with its number and one tab-indented line per neighbour. Most
edges join vertices with nearby numbers, so the graph has some structure worth laying out;
--symmetric lists every edge from both ends, --hubs gives H vertices 20 to 50 neighbours,
--unmentioned leaves U vertices out of the file altogether, --self-loops and --duplicates add
that many self-loops and repeated neighbours."""
import argparse
import random

N = 285

ap = argparse.ArgumentParser()
ap.add_argument('--seed', type=int, default=1)
ap.add_argument('--edges', type=int, default=1100)
ap.add_argument('--symmetric', action='store_true')
ap.add_argument('--hubs', type=int, default=0)
ap.add_argument('--unmentioned', type=int, default=0)
ap.add_argument('--self-loops', type=int, default=0)
ap.add_argument('--duplicates', type=int, default=0)
a = ap.parse_args()
rnd = random.Random(a.seed)

left_out = set(rnd.sample(range(2, N + 1), a.unmentioned))
present = [v for v in range(1, N + 1) if v not in left_out]
lists = {v: [] for v in present}


def room(v):
    return len(lists[v]) < 50


def add(u, v):
    if room(u) and (not a.symmetric or room(v)):
        lists[u].append(v)
        if a.symmetric and u != v:
            lists[v].append(u)


hubs = rnd.sample(present, a.hubs) if a.hubs else []
for h in hubs:
    for v in rnd.sample(present, rnd.randint(20, 45)):
        if v != h:
            add(h, v)
edges = sum(len(l) for l in lists.values())
while edges < a.edges:
    u = rnd.choice(present)
    if rnd.random() < 0.7:  # a near number
        v = u + rnd.choice([-3, -2, -1, 1, 2, 3, 15, -15])
        if v not in lists:
            continue
    else:
        v = rnd.choice(present)
    if u == v or v in lists[u]:
        continue
    before = sum(len(l) for l in (lists[u], lists[v]))
    add(u, v)
    edges += sum(len(l) for l in (lists[u], lists[v])) - before
for _ in range(a.self_loops):
    v = rnd.choice(present)
    if room(v):
        lists[v].insert(rnd.randint(0, len(lists[v])), v)
for _ in range(a.duplicates):
    v = rnd.choice([v for v in present if lists[v] and room(v)])
    lists[v].insert(rnd.randint(0, len(lists[v])), rnd.choice(lists[v]))

out = []
for v in present:
    out.append('%d\n' % v)
    out.extend('\t%d\n' % n for n in lists[v])
print(''.join(out), end='')
