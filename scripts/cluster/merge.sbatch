#!/bin/bash
# The merge step of a sharded vevuvedu search, run by Slurm once every task of the array has ended
# well (scripts/cluster/submit makes it depend on the array with afterok).
#
#   sbatch --dependency=afterok:ARRAY_JOB merge.sbatch RUN
#
# Runs `vevuvedu --merge RUN/shards`, which checks that the result files belong together and that
# none is missing, repeated or damaged, and writes exactly what `vevuvedu N` would. Its standard
# output becomes RUN/result.out and its status RUN/result.status (written last, so a run is
# finished when RUN/result.status is there). A refused set leaves neither and fails the job.
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

"$program" --merge "$run/shards" >"$run/result.out.part"
status=$?
# A whole search ends with the length of its final line, 37 or more; below that the merge refused
# the files (2) or could not write (1), and has said why on standard error.
if [ "$status" -lt 37 ]; then
    rm -f "$run/result.out.part"
    echo "merge.sbatch: $program --merge $run/shards failed with status $status" >&2
    exit "$status"
fi
mv "$run/result.out.part" "$run/result.out"
echo "$status" >"$run/result.status.part" && mv "$run/result.status.part" "$run/result.status"
TZ=UTC0 printf 'merge.sbatch: %(%Y-%m-%dT%H:%M:%SZ)T %s: %s bytes, status %s\n' -1 \
    "$run/result.out" "$(wc -c <"$run/result.out")" "$status"
