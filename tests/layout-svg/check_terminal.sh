#!/usr/bin/env bash
# Runs orv-layout-svg without a file and with standard input a terminal (a pseudo-terminal made
# by script(1)): it must print its usage and end with status 2 at once, not wait for a listing
# nobody types.
#
#   check_terminal.sh ORV_LAYOUT_SVG
set -u
program=$(realpath "$1")
out=$(mktemp)
trap 'rm -f "$out"' EXIT
timeout 20 script -qec "$program" /dev/null </dev/null >"$out" 2>&1
status=$?
failed=0
[ "$status" = 2 ] || { echo "FAIL: exit status $status, expected 2 (124: it waited)"; failed=1; }
grep -q "chybí výpis" "$out" || { echo "FAIL: no message that the listing is missing"; failed=1; }
grep -q "použití: orv-layout-svg" "$out" || { echo "FAIL: no usage"; failed=1; }
[ "$failed" = 0 ] && echo "ok: a terminal on standard input gets the usage"
[ "$failed" = 0 ] || cat "$out"
exit "$failed"
