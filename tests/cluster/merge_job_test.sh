#!/usr/bin/env bash
# The merge job (scripts/cluster/merge.sbatch) run as Slurm would run it, with stand-ins for
# vevuvedu that end as a merge can: only a whole answer becomes RUN/result.out and
# RUN/result.status; a refused, failed or killed merge leaves no result.* and fails the job.
#
#   merge_job_test.sh SCRIPTS_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
scripts=$(realpath "$1")
top=$(mktemp -d "${TMPDIR:-/tmp}/merge-job-test.XXXXXX") || fail "no temporary folder"
trap 'rm -rf "$top"' EXIT

# stand_in STATUS: a vevuvedu whose merge writes a line, then ends with STATUS, or is killed
# by signal S for "kill-S".
stand_in() {
    local end=$1
    [ "${end#kill-}" != "$end" ] && end="kill -${end#kill-} \$\$" || end="exit $end"
    printf '#!/bin/bash\necho partial\n%s\n' "$end" >"$top/vevuvedu"
    chmod +x "$top/vevuvedu"
}

for end in 45 37 54 2 1 3 kill-9 kill-15 36 55; do
    rm -rf "$top/run"
    mkdir -p "$top/run/shards"
    stand_in "$end"
    VEVUVEDU=$top/vevuvedu bash "$scripts/merge.sbatch" "$top/run" >"$top/log" 2>&1
    status=$?
    case $end in
    37 | 45 | 54)
        [ "$status" = 0 ] || fail "a merge ending $end: the job failed ($status): $(cat "$top/log")"
        [ "$(cat "$top/run/result.status")" = "$end" ] || fail "a merge ending $end: wrong status file"
        [ "$(cat "$top/run/result.out")" = partial ] || fail "a merge ending $end: wrong output"
        ;;
    *)
        [ "$status" != 0 ] || fail "a merge ending $end: the job succeeded"
        left=$(cd "$top/run" && ls -d result.* merge-output.* 2>/dev/null)
        [ -z "$left" ] || fail "a merge ending $end left $left"
        ;;
    esac
done
say "only whole answers become result.out and result.status"
