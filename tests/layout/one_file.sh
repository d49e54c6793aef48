#!/usr/bin/env bash
# Runs orv-layout on the graph of an end-to-end case with both streams sent into one file, and
# checks that the file holds the whole trace and totals followed by the whole listing: nothing of
# the listing may come before the last total, however the streams are buffered.
#
#   one_file.sh PROGRAM CASE_DIR
set -u
program=$(realpath "$1")
case_dir=$(cd "$2" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -R "$case_dir/files/." "$scratch/"
(cd "$scratch" && exec "$program" >both 2>&1 </dev/null)
cat "$case_dir/stderr" "$case_dir/stdout" >"$scratch/expected"
if ! cmp -s "$scratch/expected" "$scratch/both"; then
    echo "FAIL: the trace and the listing are not in order in one file"
    cmp "$scratch/expected" "$scratch/both"
    exit 1
fi
echo "ok: trace, totals, then listing"
