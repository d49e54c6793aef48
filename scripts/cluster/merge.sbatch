#!/bin/bash
# The merge step of a sharded vevuvedu search, run by Slurm once every task of the array has ended,
# however it ended (scripts/cluster/submit makes it depend on the array with afterany).
#
#   sbatch --dependency=afterany:ARRAY_JOB merge.sbatch RUN
#
# When a shard of the run has no complete result (its task was cancelled or failed, or was left
# out of `submit --array`), the job says which in its log, merges nothing and ends with status 75:
# submitting the same run again continues the missing shards, and its merge then runs. Otherwise it
# runs `vevuvedu --merge RUN/shards`, which checks that the result files belong together and that
# none is missing, repeated or damaged, and writes exactly what `vevuvedu N` would. Its standard
# output becomes RUN/result.out and its status RUN/result.status (written last, so a run is
# finished when RUN/result.status is there). A refused set, or a merge that fails or is killed,
# leaves neither (its partial output is RUN/merge-output.part) and fails the job.
#
#SBATCH --job-name=vevuvedu-merge
#SBATCH --ntasks=1
#SBATCH --cpus-per-task=1
#SBATCH --open-mode=append

set -u
if [ $# -ne 1 ]; then
    echo "usage: sbatch merge.sbatch RUN" >&2
    exit 2
fi
run=$1
program=${VEVUVEDU:-vevuvedu}
partial=$run/merge-output.part
rm -f "$partial"
log() { TZ=UTC0 printf 'merge.sbatch: %(%Y-%m-%dT%H:%M:%SZ)T %s\n' -1 "$*"; }

# The number of shards comes from the run's record (RUN/search, written by submit); without one,
# the program's own check of the set is all there is.
count=$(sed -n 's/^shards \([0-9][0-9]*\)$/\1/p' "$run/search" 2>/dev/null)
if [ -n "$count" ]; then
    missing=()
    for ((k = 0; k < count; k++)); do
        [ -f "$run/shards/shard-$k.vvr" ] || missing+=("$k")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        shown="${missing[*]:0:20}"
        [ ${#missing[@]} -le 20 ] || shown="$shown ..."
        log "not merged: ${#missing[@]} of $count shards have no complete result (shard $shown);" \
            "submit the same run again to continue them, and its merge runs when all are complete"
        exit 75
    fi
fi

"$program" --merge "$run/shards" >"$partial"
status=$?
# A whole search ends with the length of its final line: 37 when nothing was found, 44 plus
# the digits of the count otherwise. Any other status is a failure: the merge refused the files
# (2), could not write (1), ran out of memory (3), or was killed (128 + the signal); it has
# said why on standard error, or the signal did. Only a whole answer becomes result.out.
if ! { [ "$status" = 37 ] || { [ "$status" -ge 45 ] && [ "$status" -le 54 ]; }; }; then
    rm -f "$partial"
    echo "merge.sbatch: $program --merge $run/shards failed with status $status" >&2
    [ "$status" -lt 256 ] && [ "$status" != 0 ] || status=1
    exit "$status"
fi
mv "$partial" "$run/result.out"
echo "$status" >"$run/result.status.part" && mv "$run/result.status.part" "$run/result.status"
log "$run/result.out: $(wc -c <"$run/result.out") bytes, status $status"
