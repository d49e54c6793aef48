#!/usr/bin/env bash
# Runs a drawing filter (orv-layout-svg, or the NAME given) without a file and with standard
# input a terminal (a pseudo-terminal made by script(1)): it must print its usage and MESSAGE
# and end with status 2 at once, not wait for an input nobody types.
#
#   check_terminal.sh PROGRAM [NAME MESSAGE]
set -u
program=$(realpath "$1")
name=${2:-orv-layout-svg}
message=${3:-chybí výpis}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
timeout 20 script -qec "$program" /dev/null </dev/null >"$out" 2>&1
status=$?
failed=0
[ "$status" = 2 ] || { echo "FAIL: exit status $status, expected 2 (124: it waited)"; failed=1; }
grep -q "$message" "$out" || { echo "FAIL: no message that the input is missing"; failed=1; }
grep -q "použití: $name" "$out" || { echo "FAIL: no usage"; failed=1; }
[ "$failed" = 0 ] && echo "ok: a terminal on standard input gets the usage"
[ "$failed" = 0 ] || cat "$out"
exit "$failed"
