#!/usr/bin/env bash
# Runs one end-to-end case against a real executable and compares its results byte for byte.
#
#   run_case.sh PROGRAM CASE_DIR
#
# A case folder holds:
#   args       optional; one command-line argument per line
#   stdin      optional; fed to standard input (otherwise standard input is empty)
#   files/     optional; copied into a fresh temporary working directory
#   stdout     expected standard output (required unless stdout-to is given)
#   stdout-to  optional; a path (such as /dev/full) that standard output is sent to instead
#   stderr-to  optional; a path (such as /dev/full) that standard error is sent to instead
#   stderr     expected standard error (missing means empty; not compared with stderr-to)
#   status     expected exit status (missing means 0)
set -u

program=$(realpath "$1")
case_dir=$(cd "$2" && pwd)
name=$(basename "$(dirname "$case_dir")")/$(basename "$case_dir")

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/wd" "$scratch/out"
[ -d "$case_dir/files" ] && cp -R "$case_dir/files/." "$scratch/wd/"

args=()
[ -f "$case_dir/args" ] && mapfile -t args <"$case_dir/args"
input=/dev/null
[ -f "$case_dir/stdin" ] && input=$case_dir/stdin
output=$scratch/out/stdout
[ -f "$case_dir/stdout-to" ] && output=$(head -n 1 "$case_dir/stdout-to")
errors=$scratch/out/stderr
[ -f "$case_dir/stderr-to" ] && errors=$(head -n 1 "$case_dir/stderr-to")

(cd "$scratch/wd" && exec "$program" "${args[@]}") <"$input" >"$output" 2>"$errors"
status=$?

failed=0
# Reports the first line where an actual stream differs from the expected one.
compare() {
    local stream=$1 expected=$2 actual=$3
    cmp -s "$expected" "$actual" && return 0
    failed=1
    local report line
    report=$(cmp "$expected" "$actual" 2>&1)
    line=$(sed -n 's/.*line \([0-9]*\).*/\1/p' <<<"$report")
    case $report in  # one stream is a prefix of the other: the first extra or missing line
        *EOF*) line=$((${line:-0} + 1)) ;;
    esac
    echo "FAIL $name: $stream differs at line $line"
    echo "  expected: $(sed -n "${line}{p;q}" "$expected" | cat -ET)"
    echo "  actual:   $(sed -n "${line}{p;q}" "$actual" | cat -ET)"
}

empty=$scratch/empty
: >"$empty"
if [ ! -f "$case_dir/stdout-to" ]; then
    compare stdout "$case_dir/stdout" "$scratch/out/stdout"
fi
if [ ! -f "$case_dir/stderr-to" ]; then
    expected_stderr=$empty
    [ -f "$case_dir/stderr" ] && expected_stderr=$case_dir/stderr
    compare stderr "$expected_stderr" "$scratch/out/stderr"
fi
expected_status=0
[ -f "$case_dir/status" ] && expected_status=$(tr -d '[:space:]' <"$case_dir/status")
if [ "$status" != "$expected_status" ]; then
    failed=1
    echo "FAIL $name: exit status $status, expected $expected_status"
fi

[ "$failed" = 0 ] && echo "ok $name"
exit "$failed"
