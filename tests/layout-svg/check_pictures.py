#!/usr/bin/env python3
"""Draws every listing that orv-layout writes in its end-to-end cases and checks the picture.

    check_pictures.py ORV_LAYOUT_SVG LAYOUT_CASES_DIR

The image must be well-formed XML (read by Python's XML parser) and hold one dot per vertex in
the centre of its cell, on one common scale, labelled with its number; one line per pair of
vertices the listing joins, with an arrow exactly when only one of the two lists the other; and
a ring for a vertex that lists itself. Broken copies of the listings must be refused with status
2, a message naming the line and nothing on standard output.
"""
import pathlib
import subprocess
import sys
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


def near(a, b, tolerance=0.02):
    return abs(a - b) <= tolerance


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
    dots = {c.get("id"): c for c in root.iter(SVG + "circle") if c.get("class") == "vertex"}
    if len(dots) != 285 or set(dots) != {f"v{n}" for n in range(1, 286)}:
        fail(case, f"{len(dots)} vertex dots, not one for each of the 285 vertices")
        return
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

    edges = [e for e in root.iter() if "edge" in (e.get("class") or "").split()]
    if len(edges) != len(pairs):
        fail(case, f"{len(edges)} edges drawn for {len(pairs)} joined pairs")
    drawn_loops, drawn_one_way, drawn_both = set(), set(), set()
    for e in edges:
        kinds = e.get("class").split()
        if "loop" in kinds:
            at = (float(e.get("cx")), float(e.get("cy")))
            drawn_loops |= {n for n, c in centre.items() if near(c[0], at[0]) and near(c[1], at[1])}
            continue
        start = (float(e.get("x1")), float(e.get("y1")))
        end = (float(e.get("x2")), float(e.get("y2")))
        # The vertices whose dots the line starts and ends in (a directed line ends at the rims).
        a = [n for n, c in centre.items() if abs(c[0] - start[0]) + abs(c[1] - start[1]) <= 1.5 * radius]
        b = [n for n, c in centre.items() if abs(c[0] - end[0]) + abs(c[1] - end[1]) <= 1.5 * radius]
        if len(a) != 1 or len(b) != 1:
            fail(case, f"a line from {start} to {end} does not join two dots")
            continue
        if "directed" in kinds:
            if e.get("marker-end") is None:
                fail(case, f"the directed edge {a[0]} -> {b[0]} has no arrow")
            drawn_one_way.add((a[0], b[0]))
        else:
            drawn_both.add(frozenset((a[0], b[0])))
    if drawn_loops != loops:
        fail(case, f"rings around {sorted(drawn_loops)}, vertices listing themselves {sorted(loops)}")
    if drawn_one_way != one_way:
        fail(case, f"{len(drawn_one_way ^ one_way)} one-way edges drawn wrongly or missing")
    if drawn_both != both_ways:
        fail(case, f"{len(drawn_both ^ both_ways)} both-ways edges drawn wrongly or missing")


def check_refused(program, case, text, expected_line):
    run = subprocess.run([program], input=text.encode(), capture_output=True)
    message = run.stderr.decode()
    if run.returncode != 2 or run.stdout or not message.startswith(f"orv-layout-svg: řádek {expected_line}: "):
        fail(case, f"a broken listing gave status {run.returncode}, {len(run.stdout)} bytes "
                   f"on standard output and the message {message!r}")


def main():
    program, cases = sys.argv[1], pathlib.Path(sys.argv[2])
    drawn = 0
    for listing_file in sorted(cases.glob("*/stdout")):
        text = listing_file.read_text()
        if text.count("\n") < 285:
            continue  # a case where orv-layout refused its graph
        case = listing_file.parent.name
        run = subprocess.run([program], input=text.encode(), capture_output=True)
        if run.returncode != 0 or run.stderr:
            fail(case, f"status {run.returncode}, {run.stderr.decode()!r}")
            continue
        cells, mentions = parse_listing(text)
        check_picture(case, run.stdout.decode(), cells, mentions)
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
    if drawn < 5:
        fail("all", f"only {drawn} listings found under {cases}")
    print("\n".join(failures) if failures else f"ok: {drawn} pictures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
