#!/usr/bin/env python3
"""Draws real outputs of vevuvedu and checks every picture against its output, on its own.

    check_pictures.py VEVUVEDU_SVG SOURCE_DIR

The outputs: the shipped sample of N = 6 (cube/samples/vevuvedu-6.out) and every output of
vevuvedu's end-to-end cases (tests/cube/cases/*/stdout) that ends with its final line. Each is
drawn from its file and through standard input (the same bytes), as a picture and as a page.
Each picture must be well-formed XML (read by Python's XML parser); the path of every filling is
traced here from the output's numbers, and for every filling the picture must draw every cell of
the box once: a free cell with its number, its place on the path and its segment, filled in its
segment's colour, the colours' hue falling from the start to the end; a taken cell grey and
crossed. The tube of the three-dimensional view must have one piece per step of the path, in
path order, each starting where the one before ended, coloured as its segment, a dot a turn and
a grey square a taken cell. The captions must
give the numbers worked out here. The page must hold a script and ask for nothing outside itself.
Copies of the outputs with one line left out must be refused with status 2, a message naming
the line and nothing on standard output.
"""
import colorsys
import pathlib
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

SVG = "{http://www.w3.org/2000/svg}"
failures = []


def fail(case, message):
    failures.append(f"FAIL {case}: {message}")


def czech(n, one, few, many):
    return f"{n} {one if n == 1 else few if 2 <= n <= 4 else many}"


def parse_output(text):
    """The box and the fillings, each a dict cell -> number, read independently here."""
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    blocks, block, final = [], [], lines[-1]
    for line in lines[:-1]:
        if line == "---":
            blocks.append(block)
            block = []
        else:
            block.append([int(v) for v in line.split(" ")[:-1]])
    fillings = []
    for b in blocks:
        if b[0][0] == 1:
            fillings.append([])
        fillings[-1].append(b)
    if not fillings:
        return None, [], final
    box = (len(fillings[0]), len(fillings[0][0]), len(fillings[0][0][0]))
    cells = []
    for f in fillings:
        cells.append({(x, y, z): f[x][y][z] for x in range(box[0]) for y in range(box[1])
                      for z in range(box[2])})
    return box, cells, final


def trace(values):
    """The path from (0,0,0): on to the one unvisited neighbour holding the same number, or else
    the one holding the next number; None when that is not unique or the path misses a cell."""
    here, path, seen = (0, 0, 0), [(0, 0, 0)], {(0, 0, 0)}
    free = sum(1 for v in values.values() if v != -1)
    while len(path) < free:
        v = values[here]
        nexts = []
        for want in (v, v + 1):
            nexts = [n for n in ((here[0] + dx, here[1] + dy, here[2] + dz)
                                 for dx, dy, dz in ((1, 0, 0), (-1, 0, 0), (0, 1, 0), (0, -1, 0),
                                                    (0, 0, 1), (0, 0, -1)))
                     if values.get(n) == want and n not in seen]
            if nexts:
                break
        if len(nexts) != 1:
            return None
        here = nexts[0]
        path.append(here)
        seen.add(here)
    return path


def reference(number, segments, saturation, lightness):
    hue = 240.0 if segments <= 1 else 240.0 * (segments - number) / (segments - 1)
    return tuple(round(c * 255) for c in colorsys.hls_to_rgb(hue / 360, lightness, saturation))


def rgb(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def close(a, b):
    return all(abs(p - q) <= 1 for p, q in zip(a, b))


def hue_of(colour):
    return colorsys.rgb_to_hls(*(c / 255 for c in colour))[0] * 360


def check_filling(case, g, n, count, box, values):
    path = trace(values)
    if path is None:
        fail(case, f"filling {n}: no path traced here")
        return
    segments = max(values.values())
    taken = sum(1 for v in values.values() if v == -1)
    cells = box[0] * box[1] * box[2]
    caption = g.find(f"{SVG}text[@class='caption']")
    want = (f"Vyplnění {n} z {count}: {czech(segments, 'úsek', 'úseky', 'úseků')}, kvádr "
            f"{box[0]} x {box[1]} x {box[2]} ({czech(cells, 'pole', 'pole', 'polí')}")
    want += f", z toho {czech(taken, 'obsazené', 'obsazená', 'obsazených')})" if taken else ")"
    if caption is None or caption.text != want:
        fail(case, f"filling {n}: caption {caption.text if caption is not None else None!r}, not {want!r}")
    step_of = {c: i for i, c in enumerate(path)}
    drawn = {}
    for rect in g.iter(f"{SVG}rect"):
        if "cell" not in rect.get("class", "").split():
            continue
        c = (int(rect.get("data-x")), int(rect.get("data-y")), int(rect.get("data-z")))
        if c in drawn:
            fail(case, f"filling {n}: cell {c} drawn twice")
        drawn[c] = rect
    if set(drawn) != set(values):
        fail(case, f"filling {n}: {len(drawn)} cells drawn, the box has {len(values)}")
        return
    last_hue = 361
    for c in path:
        rect, v = drawn[c], values[c]
        if (rect.get("data-step"), rect.get("data-segment")) != (str(step_of[c]), str(v)):
            fail(case, f"filling {n}: cell {c} carries step {rect.get('data-step')} and segment "
                       f"{rect.get('data-segment')}, not {step_of[c]} and {v}")
        fill = rgb(rect.get("fill"))
        if not close(fill, reference(v, segments, 0.8, 0.84)):
            fail(case, f"filling {n}: cell {c} of segment {v} filled {rect.get('fill')}")
        if hue_of(fill) > last_hue + 1.5:
            fail(case, f"filling {n}: the hue rises at cell {c}, step {step_of[c]}")
        last_hue = min(last_hue, hue_of(fill))
    taken_rects = [c for c, r in drawn.items() if "taken" in r.get("class").split()]
    if sorted(taken_rects) != sorted(c for c, v in values.items() if v == -1):
        fail(case, f"filling {n}: the taken cells drawn are not the output's")
    crosses = g.find(f".//{SVG}g[@class='crosses']")
    if crosses is None or len(crosses.findall(f"{SVG}path")) != taken:
        fail(case, f"filling {n}: not one cross per taken cell")
    numbers = {(int(t.get("data-x")), int(t.get("data-y")), int(t.get("data-z"))): t.text
               for t in g.iter(f"{SVG}text") if t.get("class") == "number"}
    if numbers != {c: str(v) for c, v in values.items() if v != -1}:
        fail(case, f"filling {n}: the numbers on the cells are not the output's")
    pieces = sorted((int(p.get("data-step")), p) for p in g.iter(f"{SVG}line") if p.get("class") == "piece")
    if [i for i, _ in pieces] != list(range(len(path) - 1)):
        fail(case, f"filling {n}: {len(pieces)} pieces of tube for {len(path) - 1} steps")
        return
    for i, p in pieces:
        v = values[path[i + 1]]
        if p.get("data-segment") != str(v) or not close(rgb(p.get("stroke")), reference(v, segments, 0.85, 0.42)):
            fail(case, f"filling {n}: piece {i} not of segment {v} or not in its colour")
        if i > 0:
            before = pieces[i - 1][1]
            if (abs(float(before.get("x2")) - float(p.get("x1"))) > 0.011 or
                    abs(float(before.get("y2")) - float(p.get("y1"))) > 0.011):
                fail(case, f"filling {n}: piece {i} does not start where piece {i - 1} ends")
    if len([r for r in g.iter(f"{SVG}rect") if r.get("class") == "taken"]) != taken:
        fail(case, f"filling {n}: not one grey square per taken cell in the 3D view")
    turns = [t for t in g.iter(f"{SVG}circle") if t.get("class") == "turn"]
    if len(turns) != max(0, segments - 2):
        fail(case, f"filling {n}: {len(turns)} turns marked, the path has {max(0, segments - 2)}")


def run(program, args, stdin=None):
    return subprocess.run([program, *args], input=stdin, capture_output=True)


def check_output(program, case, source):
    text = source.read_text(encoding="utf-8")
    box, fillings, final = parse_output(text)
    from_file = run(program, [str(source)])
    from_stdin = run(program, [], stdin=text.encode())
    if from_file.returncode != 0 or from_file.stdout != from_stdin.stdout:
        fail(case, f"status {from_file.returncode} ({from_file.stderr.decode()}) or another picture through standard input")
        return
    root = ET.fromstring(from_file.stdout)
    groups = [g for g in root.iter(f"{SVG}g") if g.get("class") == "filling"]
    if len(groups) != len(fillings):
        fail(case, f"{len(groups)} fillings drawn, the output has {len(fillings)}")
    for n, (g, values) in enumerate(zip(groups, fillings), 1):
        check_filling(case, g, n, len(fillings), box, values)
    if not fillings and "Nebylo nalezeno žádné vyplnění." not in root.find(f"{SVG}title").text:
        fail(case, "a picture without fillings does not say so")
    page = run(program, ["--html", str(source)])
    html = page.stdout.decode()
    outside = re.findall(r'(?:src|href)\s*=|https?://(?!www\.w3\.org/2000/svg)', html)
    if page.returncode != 0 or ("<script>" not in html) != (not fillings) or outside:
        fail(case, f"the page: status {page.returncode}, outside references {outside}")
    if html.count('class="filling-layers"') != len(fillings):
        fail(case, "the page does not hold every filling's layers")
    # Every line left out, in turn (in a long output every 23rd); the one line of an output
    # without fillings leaves it empty.
    lines = text.splitlines(keepends=True)
    for k in range(0, len(lines), 1 if len(lines) < 60 else 23):
        damaged = run(program, [], stdin="".join(lines[:k] + lines[k + 1:]).encode())
        if (damaged.returncode != 2 or damaged.stdout or
                not re.match(r"vevuvedu-svg: (řádek \d+: |výstup je prázdný)", damaged.stderr.decode())):
            fail(case, f"without line {k + 1}: status {damaged.returncode}, {len(damaged.stdout)} "
                       f"bytes out, {damaged.stderr.decode()!r}")


def main():
    program, source = sys.argv[1], pathlib.Path(sys.argv[2])
    outputs = [("sample-6", source / "cube/samples/vevuvedu-6.out")]
    for case in sorted((source / "tests/cube/cases").iterdir()):
        out = case / "stdout"
        if out.is_file() and re.search(r"(vyplnění je \d+\.|žádné vyplnění\.)\n$", out.read_text(encoding="utf-8")):
            outputs.append((case.name, out))
    failed = 0
    for case, path in outputs:
        before = len(failures)
        check_output(program, case, path)
        failed += len(failures) > before
    for f in failures:
        print(f)
    print(f"{len(outputs) - failed} passed, {failed} failed")
    sys.exit(1 if failed or not outputs else 0)


main()
