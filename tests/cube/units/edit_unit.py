#!/usr/bin/env python3
"""Changes one field of a vevuvedu unit file and writes its checksum again, as a unit that
really computed something else would have it: edit_unit.py FILE FIELD ADD (adds ADD to the
number in the line `FIELD N`)."""
import sys

path, field, add = sys.argv[1], sys.argv[2], int(sys.argv[3])
lines = open(path, "rb").read().split(b"\n")[:-2]  # without the checksum line and the end
for i, line in enumerate(lines):
    key, _, value = line.partition(b" ")
    if key == field.encode():
        lines[i] = key + b" " + str(int(value) + add).encode()
        break
body = b"\n".join(lines) + b"\n"
h = 0xcbf29ce484222325
for byte in body:
    h = ((h ^ byte) * 0x100000001b3) & 0xFFFFFFFFFFFFFFFF
open(path, "wb").write(body + b"checksum %016x\n" % h)
