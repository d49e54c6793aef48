#!/usr/bin/env bash
# The merge job (scripts/cluster/merge.sbatch) run as Slurm would run it, with stand-ins for
# vevuvedu that end as a merge can: only a whole answer becomes RUN/result.out and
# RUN/result.status; a refused, failed or killed merge leaves no result.* and fails the job; a run
# with a shard not yet complete is not merged at all, and the job's log names the shard.
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

# A run of three shards whose shard 1 has no complete result yet (cancelled, failed, or left out
# of `submit --array`): nothing is merged, the log names it and says how to go on, status 75.
rm -rf "$top/run"
mkdir -p "$top/run/shards"
printf 'vevuvedu-run 1\nprogram vevuvedu 1\nshards 3\nsearch 5\n' >"$top/run/search"
touch "$top/run/shards/shard-0.vvr" "$top/run/shards/shard-2.vvr" \
    "$top/run/shards/shard-1.vvr.checkpoint"
stand_in 45
VEVUVEDU=$top/vevuvedu bash "$scripts/merge.sbatch" "$top/run" >"$top/log" 2>&1
status=$?
[ "$status" = 75 ] || fail "a run with a shard missing: status $status, not 75: $(cat "$top/log")"
grep -qF "1 of 3 shards have no complete result (shard 1)" "$top/log" ||
    fail "the log does not name the missing shard: $(cat "$top/log")"
grep -qF "submit the same run again" "$top/log" || fail "the log does not say what to do"
left=$(cd "$top/run" && ls -d result.* merge-output.* 2>/dev/null)
[ -z "$left" ] || fail "a run with a shard missing left $left"
touch "$top/run/shards/shard-1.vvr"
VEVUVEDU=$top/vevuvedu bash "$scripts/merge.sbatch" "$top/run" >"$top/log" 2>&1
status=$?
[ "$status" = 0 ] && [ "$(cat "$top/run/result.status")" = 45 ] ||
    fail "the complete run did not merge ($status): $(cat "$top/log")"
say "a run with a shard missing is not merged; the log names the shard"
