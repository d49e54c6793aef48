#!/usr/bin/env bash
# Runs vevuvedu on a terminal (a pseudo-terminal made by script(1)), standard output and the
# progress line on standard error sharing it, as a user sees them: a filling written while the
# progress line shows must start on a line of its own, not follow the line's text.
#
#   check_progress_terminal.sh VEVUVEDU SEARCH...
#
# SEARCH must find a filling after the progress line has appeared (more than a second in).
set -u
program=$(realpath "$1")
shift
out=$(mktemp)
trap 'rm -f "$out"' EXIT
timeout 120 script -qec "VEVUVEDU_THREADS=2 $(printf '%q ' "$program" "$@")" /dev/null \
    </dev/null >"$out" 2>&1
status=$?
[ "$status" != 124 ] || { echo "FAIL: the search did not end within 120 s"; exit 1; }
python3 - "$out" <<'PY'
import sys
# The terminal turns each line feed into a carriage return and a line feed; the progress line
# is drawn from a carriage return to its "erase the rest" sequence, and cleared by both.
parts = open(sys.argv[1], "rb").read().decode("utf-8", "replace").split("\r")
line = "vevuvedu: prohledáno"
glued = [p for p in parts if p.startswith(line) and not p.endswith("\x1b[K")]
after = [b for a, b in zip(parts, parts[1:]) if a.startswith(line) and b[3:4].isdigit()]
if glued:
    sys.exit("FAIL: a filling follows the progress line: %r" % glued[0][:160])
if not after:
    sys.exit("FAIL: no filling was written while the progress line showed (a longer search"
             " is needed)")
print("ok: %d filling(s) written while the progress line showed, each on a line of its own"
      % len(after))
PY
