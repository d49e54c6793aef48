#!/usr/bin/env bash
# Checks that a program answers --help and --version and does nothing else.
#
#   check_usage.sh PROGRAM NAME VERSION
#
# Both answers go to standard output with status 0 and nothing on standard error. The program
# runs in an empty working directory with a dialogue waiting on standard input, so a program that
# went on to its normal work would read it, write more, or fail on the missing graph file.
set -u
program=$(realpath "$1")
name=$2
version=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
printf '1/2\n1\n2\n3\n4\n' >"$scratch/stdin"
failed=0
fail() { echo "FAIL $name: $*"; failed=1; }

# run ARGS...: runs the program in the empty directory; sets status, out and err.
run() {
    (cd "$scratch" && mkdir -p wd && cd wd && exec "$program" "$@") \
        <"$scratch/stdin" >"$scratch/out" 2>"$scratch/err"
    status=$?
    out=$(cat "$scratch/out")
    err=$(cat "$scratch/err")
}

run --version
[ "$status" = 0 ] || fail "--version: exit status $status"
[ "$out" = "$name $version" ] || fail "--version wrote '$out'"
[ -z "$err" ] || fail "--version wrote to standard error: $err"

run --help extra words
[ "$status" = 0 ] || fail "--help: exit status $status"
case $(head -n 1 "$scratch/out") in
    "použití: $name"*) ;;
    *) fail "--help does not start with the usage" ;;
esac
tail -n 1 "$scratch/out" | grep -q -- '--version' || fail "--help wrote more than its text"
[ -z "$err" ] || fail "--help wrote to standard error: $err"
[ -z "$(ls -A "$scratch/wd")" ] || fail "--help left files behind"

# An answer that cannot be written is a failure, not a success.
(cd "$scratch/wd" && exec "$program" --help) >/dev/full 2>/dev/null </dev/null
[ "$?" != 0 ] || fail "--help into a full disk ended with status 0"

# Anything else is handled as before: "--help=1" is not the help.
run --help=1
[ "$(head -c 9 "$scratch/out")" != "použití" ] || fail "--help=1 was taken for --help"

[ "$failed" = 0 ] && echo "ok $name --help and --version"
exit "$failed"
