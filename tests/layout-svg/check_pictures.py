#!/usr/bin/env python3
"""Draws real orv-layout listings and checks every picture against its listing, on its own.

    check_pictures.py ORV_LAYOUT_SVG ORV_LAYOUT LAYOUT_CASES_DIR SAMPLES_DIR

The listings: every one orv-layout writes in its end-to-end cases, and the ones it writes for
the shipped sample graphs (run here in a scratch folder). Each picture must be well-formed XML
(read by Python's XML parser) and hold one dot per vertex in the centre of its cell, on one
common scale, labelled with its number; one curve per pair of vertices the listing joins,
with an arrow exactly when only one of the two lists the other; a ring for a vertex that lists
itself. Measured geometrically: no edge comes nearer to a dot other than its own two than half
its width (it would read as passing through that vertex), and no arrowhead covers any part of
a dot. The caption's counts and total edge length must match what is worked out here from the
listing. Broken copies of the listings must be refused with status 2, a message naming the
line and nothing on standard output.
"""
import math
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

SVG = "{http://www.w3.org/2000/svg}"
failures = []


def fail(case, message):
    failures.append(f"FAIL {case}: {message}")


def parse_listing(text):
    """The cell of every vertex and the (lister, listed) pairs, read independently here."""
    cells, mentions, current = {}, [], None
    for line in text.splitlines():
        neighbour = line.startswith("\t")
        coordinates, number = line.strip().split(" : ")
        x, y = map(int, coordinates.split())
        if neighbour:
            mentions.append((current, int(number)))
        else:
            current = int(number)
            cells[current] = (x, y)
    return cells, mentions


def czech(n, one, few, many):
    return f"{n} {one if n == 1 else few if 2 <= n <= 4 else many}"


def near(a, b, tolerance=0.02):
    return abs(a - b) <= tolerance


def curve_points(d, spacing=0.1):
    """Points along a path of straight ("L x y") and quadratic ("Q cx cy x y") pieces after its
    start ("M x y"), at most `spacing` apart; None for a path of another form."""
    tokens = d.replace("M", " M ").replace("L", " L ").replace("Q", " Q ").split()
    if len(tokens) < 3 or tokens[0] != "M":
        return None
    try:
        here = (float(tokens[1]), float(tokens[2]))
        points, i = [here], 3
        while i < len(tokens):
            if tokens[i] == "L":
                end = (float(tokens[i + 1]), float(tokens[i + 2]))
                control, i = ((here[0] + end[0]) / 2, (here[1] + end[1]) / 2), i + 3
            elif tokens[i] == "Q":
                control = (float(tokens[i + 1]), float(tokens[i + 2]))
                end, i = (float(tokens[i + 3]), float(tokens[i + 4])), i + 5
            else:
                return None
            reach = math.dist(here, control) + math.dist(control, end)
            steps = max(2, math.ceil(reach / spacing))
            for k in range(1, steps + 1):
                t = k / steps
                s = 1 - t
                points.append(tuple(s * s * here[n] + 2 * s * t * control[n] + t * t * end[n] for n in (0, 1)))
            here = end
    except (IndexError, ValueError):
        return None
    return points if len(points) > 1 else None


def segment_distance(p, a, b):
    dx, dy = b[0] - a[0], b[1] - a[1]
    t = max(0.0, min(1.0, ((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / (dx * dx + dy * dy)))
    return math.dist(p, (a[0] + t * dx, a[1] + t * dy))


def inside_triangle(p, a, b, c):
    def side(u, v):
        return (v[0] - u[0]) * (p[1] - u[1]) - (v[1] - u[1]) * (p[0] - u[0])
    s = (side(a, b), side(b, c), side(c, a))
    return all(v >= 0 for v in s) or all(v <= 0 for v in s)


def check_picture(case, svg_text, cells, mentions):
    try:
        root = ET.fromstring(svg_text)
    except ET.ParseError as error:
        fail(case, f"not well-formed XML: {error}")
        return
    if root.tag != SVG + "svg":
        fail(case, f"the root element is {root.tag}")
        return
    width, height = (float(v) for v in root.get("viewBox").split()[2:])
    if root.get("width") != "100%" or width > height * 210 / 297 * 1.2:
        fail(case, "the picture does not scale to the window by its viewBox")
    dots = {c.get("id"): c for c in root.iter(SVG + "circle") if "vertex" in c.get("class", "").split()}
    if len(dots) != 285 or set(dots) != {f"v{n}" for n in range(1, 286)}:
        fail(case, f"{len(dots)} vertex dots, not one for each of the 285 vertices")
        return
    if "start" not in dots["v1"].get("class").split():
        fail(case, "vertex 1 is not marked")
    centre = {n: (float(dots[f"v{n}"].get("cx")), float(dots[f"v{n}"].get("cy"))) for n in cells}
    radius = float(dots["v1"].get("r"))

    # One scale for both axes: the cell (x, y) has its centre at origin + step * (x, y).
    by_cell = {cells[n]: centre[n] for n in cells}
    origin = by_cell[(0, 0)]
    step = by_cell[(1, 0)][0] - origin[0]
    if step <= 2 * radius:
        fail(case, f"cells {step} apart hold dots of radius {radius}")
    for n, (x, y) in cells.items():
        cx, cy = centre[n]
        if not (near(cx, origin[0] + step * x) and near(cy, origin[1] + step * y)):
            fail(case, f"vertex {n} of cell {x} {y} drawn at {cx} {cy}")
        if not (radius <= cx <= width - radius and radius <= cy <= height - radius):
            fail(case, f"vertex {n} drawn outside the image")
    on_cell = {(round((c[0] - origin[0]) / step), round((c[1] - origin[1]) / step)): n
               for n, c in centre.items()}

    labels = {}
    for t in root.iter(SVG + "text"):
        labels.setdefault(t.text, []).append((float(t.get("x")), float(t.get("y"))))
    for n, (cx, cy) in centre.items():
        if not any(near(x, cx) and abs(y - cy) < radius for x, y in labels.get(str(n), [])):
            fail(case, f"vertex {n} has no label on its dot")

    # What must be drawn, worked out from the listing alone.
    listed = set(mentions)
    pairs = {frozenset(m) for m in mentions}
    loops = {next(iter(p)) for p in pairs if len(p) == 1}
    one_way = {(a, b) for (a, b) in listed if a != b and (b, a) not in listed}
    both_ways = {p for p in pairs if len(p) == 2} - {frozenset(m) for m in one_way}

    def dots_near(p):
        """The vertices whose dots could lie within a cell of the point p."""
        gx, gy = round((p[0] - origin[0]) / step), round((p[1] - origin[1]) / step)
        return [on_cell[(x, y)] for x in (gx - 1, gx, gx + 1) for y in (gy - 1, gy, gy + 1)
                if (x, y) in on_cell]

    edges = [e for e in root.iter() if "edge" in (e.get("class") or "").split()]
    if len(edges) != len(pairs):
        fail(case, f"{len(edges)} edges drawn for {len(pairs)} joined pairs")
    drawn_loops, drawn_one_way, drawn_both, under_dots, covering_arrows = set(), set(), set(), [], []
    for e in edges:
        kinds = e.get("class").split()
        if "loop" in kinds:
            at = (float(e.get("cx")), float(e.get("cy")))
            drawn_loops |= {n for n, c in centre.items() if near(c[0], at[0]) and near(c[1], at[1])}
            continue
        line = e if e.tag == SVG + "path" else next(p for p in e.iter(SVG + "path") if p.get("class") != "arrow")
        points = curve_points(line.get("d"))
        if points is None:
            fail(case, f"an edge path of another form: {line.get('d')}")
            continue
        a = [n for n, c in centre.items() if math.dist(c, points[0]) <= 0.05]
        b = [n for n, c in centre.items() if math.dist(c, points[-1]) <= 0.05]
        if len(a) != 1 or len(b) != 1:
            fail(case, f"a curve from {points[0]} to {points[-1]} does not join two dots")
            continue
        a, b = a[0], b[0]
        stroke = float(line.get("stroke-width") or e.get("stroke-width"))
        # Under a dot: some point of the curve, widened by half its stroke, reaches into the
        # dot of a vertex other than the two it joins.
        passed = {n for p in points for n in dots_near(p)
                  if n not in (a, b) and math.dist(p, centre[n]) < radius + stroke / 2}
        under_dots += [f"{a}-{b} under {n}" for n in sorted(passed)]
        if "directed" in kinds:
            arrow = next((p for p in e.iter(SVG + "path") if p.get("class") == "arrow"), None)
            if arrow is None:
                fail(case, f"the directed edge {a} -> {b} has no arrow")
            else:
                tip, left, right = [tuple(map(float, pair)) for pair in
                                    re.findall(r"(-?[\d.]+) (-?[\d.]+)", arrow.get("d"))]
                for n in dots_near(tip):
                    c = centre[n]
                    if inside_triangle(c, tip, left, right) or min(
                            segment_distance(c, u, v) for u, v in ((tip, left), (left, right), (right, tip))) < radius:
                        covering_arrows.append(f"{a}->{b} over {n}")
                # The arrow lies on its curve and points from a to b.
                i = min(range(len(points)), key=lambda k: math.dist(points[k], tip))
                tangent = (points[min(i + 1, len(points) - 1)][0] - points[max(i - 1, 0)][0],
                           points[min(i + 1, len(points) - 1)][1] - points[max(i - 1, 0)][1])
                base = ((left[0] + right[0]) / 2, (left[1] + right[1]) / 2)
                if math.dist(points[i], tip) > 0.1 or (tip[0] - base[0]) * tangent[0] + (tip[1] - base[1]) * tangent[1] <= 0:
                    fail(case, f"the arrow of {a} -> {b} is not on its curve pointing to {b}")
            drawn_one_way.add((a, b))
        else:
            drawn_both.add(frozenset((a, b)))
    if drawn_loops != loops:
        fail(case, f"rings around {sorted(drawn_loops)}, vertices listing themselves {sorted(loops)}")
    if drawn_one_way != one_way:
        fail(case, f"{len(drawn_one_way ^ one_way)} one-way edges drawn wrongly or missing")
    if drawn_both != both_ways:
        fail(case, f"{len(drawn_both ^ both_ways)} both-ways edges drawn wrongly or missing")
    if under_dots:
        edges_under = len({u.split(" under ")[0] for u in under_dots})
        fail(case, f"{edges_under} edges pass under {len(under_dots)} dots: {', '.join(under_dots[:10])}")
    if covering_arrows:
        fail(case, f"{len(covering_arrows)} arrowheads cover a dot: {', '.join(covering_arrows[:10])}")

    # The caption: the counts, in their Czech forms, and the true total edge length.
    caption = "".join(root.find(f".//{SVG}g[@class='caption']").itertext())
    counts = (f"{czech(285, 'vrchol', 'vrcholy', 'vrcholů')}, "
              f"{czech(len(both_ways), 'hrana', 'hrany', 'hran')} oběma směry, "
              f"{czech(len(one_way), 'hrana', 'hrany', 'hran')} jedním směrem, "
              f"{czech(len(loops), 'smyčka', 'smyčky', 'smyček')}")
    if counts not in caption:
        fail(case, f"the caption does not say: {counts}")
    total = 0.0
    for lister, listed_vertex in mentions:
        (x1, y1), (x2, y2) = cells[lister], cells[listed_vertex]
        total += math.sqrt((x1 - x2) ** 2 + (y1 - y2) ** 2)
    said = re.search(r"celková délka hran: ([\d.]+)", caption)
    if not said or abs(float(said.group(1)) - total) > 5e-7 * max(1.0, total) or said.group(1) != f"{total:f}":
        fail(case, f"the caption's total {said.group(1) if said else None}, the listing's {total:f}")
    return len(edges), len({u.split(" under ")[0] for u in under_dots})


def check_refused(program, case, text, expected_line):
    run = subprocess.run([program], input=text.encode(), capture_output=True)
    message = run.stderr.decode()
    if run.returncode != 2 or run.stdout or not message.startswith(f"orv-layout-svg: řádek {expected_line}: "):
        fail(case, f"a broken listing gave status {run.returncode}, {len(run.stdout)} bytes "
                   f"on standard output and the message {message!r}")


def sample_listings(layout, samples):
    """The listing orv-layout writes for each shipped sample graph."""
    listings = {}
    for graph in sorted(samples.glob("*.orv-graph")):
        with tempfile.TemporaryDirectory() as scratch:
            shutil.copy(graph, pathlib.Path(scratch) / "orv-graph")
            run = subprocess.run([layout], cwd=scratch, capture_output=True)
        listings[graph.stem] = run.stdout.decode()
    return listings


def main():
    program, layout, cases, samples = sys.argv[1], sys.argv[2], pathlib.Path(sys.argv[3]), pathlib.Path(sys.argv[4])
    listings = {f.parent.name: f.read_text() for f in sorted(cases.glob("*/stdout"))}
    listings.update(sample_listings(layout, samples))
    drawn = 0
    for case, text in listings.items():
        if text.count("\n") < 285:
            continue  # a case where orv-layout refused its graph
        run = subprocess.run([program], input=text.encode(), capture_output=True)
        if run.returncode != 0 or run.stderr:
            fail(case, f"status {run.returncode}, {run.stderr.decode()!r}")
            continue
        cells, mentions = parse_listing(text)
        counted = check_picture(case, run.stdout.decode(), cells, mentions)
        if counted and case in ("directed-1100", "symmetric-300"):
            print(f"{case}: {counted[0]} edges checked, {counted[1]} of them under a dot")
        drawn += 1

        lines = text.splitlines(keepends=True)
        check_refused(program, case, "".join(lines[:100]), 101)                  # cut short
        check_refused(program, case, "".join(l.replace("\n", "\r\n") for l in lines), 1)
        # A vertex line lost: its neighbour lines pass for the vertex before, and the next vertex
        # line is out of order.
        lost = next(i for i in range(50, len(lines)) if not lines[i].startswith("\t"))
        rest = lines[:lost] + lines[lost + 1:]
        next_vertex = next(i for i in range(lost, len(rest)) if not rest[i].startswith("\t"))
        check_refused(program, case, "".join(rest), next_vertex + 1)
    if drawn < 7 or not {"directed-1100", "symmetric-300"} <= listings.keys():
        fail("all", f"only {drawn} listings drawn, the two samples among them?")
    print("\n".join(failures) if failures else f"ok: {drawn} pictures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
