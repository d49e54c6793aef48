#!/usr/bin/env python3
"""The README's "How the code is laid out" against the folders: every .cpp and .hpp of a
program's folder is named once on that folder's line, nothing named is missing, and every
unit includes only units named before it on its line (or itself).

    check_layout.py PROJECT_DIR"""
import pathlib
import re
import sys

top = pathlib.Path(sys.argv[1])
text = (top / "README.md").read_text(encoding="utf-8")
section = text.split("## How the code is laid out", 1)[1].split("\n## ", 1)[0]
failed = []
folders = 0
for item in re.split(r"\n- ", section)[1:]:
    item = " ".join(item.split())
    match = re.match(r"`([a-z-]+)/`: (.*)", item)
    if not match:
        continue
    folders += 1
    folder, rest = top / match.group(1), match.group(2)
    # The names in backticks that are units of the folder, in order (others, such as `dump`,
    # are names of the code).
    stems = {p.stem for p in folder.glob("*.[ch]pp")}
    named = [n for n in re.findall(r"`([a-z_]+)`", rest) if n in stems]
    for stem in sorted(stems - set(named)):
        failed.append(f"{match.group(1)}/{stem} is not named")
    for stem in {n for n in named if named.count(n) > 1}:
        failed.append(f"{match.group(1)}/{stem} is named twice")
    order = {stem: i for i, stem in enumerate(named)}
    for source in sorted(folder.glob("*.[ch]pp")):
        for included in re.findall(r'#include "([a-z_]+)\.hpp"', source.read_text(encoding="utf-8")):
            if included != source.stem and order.get(included, -1) > order.get(source.stem, -1):
                failed.append(f"{match.group(1)}/{source.name} includes {included}, named after it")
programs = {p.parent.name for p in top.glob("*/main.cpp")}
if folders != len(programs):
    failed.append(f"{folders} folders described, {len(programs)} programs: {sorted(programs)}")
for line in failed:
    print("FAIL:", line)
if not failed:
    print(f"ok: {folders} folders, every unit named once, every include points down")
sys.exit(1 if failed else 0)
