#!/bin/bash
# One work unit (shard) of a vevuvedu search, run as one task of a Slurm job array.
#
#   sbatch --array=0-$((M - 1)) --output=RUN/logs/shard-%a.log \
#          vevuvedu.sbatch M RUN/shards [--split-depth D] N|--box AxBxC [--taken FILE]
#
# scripts/cluster/submit writes this command (and the merge job that waits for the array).
# Task K runs `vevuvedu --shard /M --out RUN/shards/shard-K.vvr ...`: the program takes K from
# SLURM_ARRAY_TASK_ID. The program is $VEVUVEDU, or vevuvedu from PATH.
#
# Requeue-safe: a task may run any number of times. A shard whose result file is complete ends at
# once with status 0; one that was stopped continues from its checkpoint (shard-K.vvr.checkpoint
# beside the result), and the result file is the same as from a run that was never stopped.
# - Before the task's time limit the program stops by itself: the script asks Slurm how much time
#   the task has left and gives the program a --time-limit a margin shorter (a tenth of it, 20 s
#   to 5 min). The program writes its checkpoint and ends with status 75; the script then puts
#   the task back in the queue (scontrol requeue), and the next run continues. Where Slurm names
#   no limit, its warning does the same: USR1 300 s before the end (--signal=B:USR1@300), handed
#   on to the program. (With a limit of its own the program does not need the warning, which
#   under a limit of a few minutes would come at its start.)
# - Preemption, `scontrol requeue` and a node failure end the task with SIGTERM (the program
#   checkpoints) or SIGKILL (it loses at most the minutes since its last checkpoint); Slurm itself
#   requeues the task (--requeue). `scancel` ends it for good; submitting the array again continues.
#
#SBATCH --job-name=vevuvedu
#SBATCH --ntasks=1
#SBATCH --cpus-per-task=1
#SBATCH --requeue
#SBATCH --signal=B:USR1@300
#SBATCH --open-mode=append

set -u

# A signal that arrives while the program runs is handed on to it; `caught` tells the wait below
# that it was woken by a signal rather than by the program's end.
pid= caught=0 terminated=0 own_limit=0
trap 'caught=1; [ -n "$pid" ] && [ "$own_limit" = 0 ] && kill -USR1 "$pid" 2>/dev/null' USR1
trap 'caught=1; terminated=1; [ -n "$pid" ] && kill -TERM "$pid" 2>/dev/null' TERM INT

# The time comes from the shell itself: a `date` run just after the requeue would be ended by the
# SIGTERM that Slurm sends every process of the task.
log() { TZ=UTC0 printf 'vevuvedu.sbatch: %(%Y-%m-%dT%H:%M:%SZ)T %s\n' -1 "$*"; }

if [ $# -lt 3 ]; then
    log "usage: sbatch --array=0-LAST vevuvedu.sbatch M SHARD_DIR N|--box AxBxC [...]" >&2
    exit 2
fi
count=$1 shards=$2
shift 2
if [ -z "${SLURM_ARRAY_TASK_ID:-}" ]; then
    log "SLURM_ARRAY_TASK_ID is not set: submit this script as a job array (sbatch --array)" >&2
    exit 2
fi
program=${VEVUVEDU:-vevuvedu}
task=$SLURM_ARRAY_TASK_ID
job="${SLURM_ARRAY_JOB_ID:-$SLURM_JOB_ID}_$task"
# A shard is one unit of a larger search: one thread each, unless the task asked for more CPUs.
export VEVUVEDU_THREADS=${VEVUVEDU_THREADS:-${SLURM_CPUS_PER_TASK:-1}}

# seconds_left: how long the task may still run, as Slurm tells it (M:SS, H:MM:SS or D-H:MM:SS);
# fails where it names no limit (UNLIMITED, NOT_SET) or does not answer.
seconds_left() {
    local left days=0 fields total=0 field
    left=$(squeue -h -j "$SLURM_JOB_ID" -o %L 2>/dev/null) || return 1
    [[ $left =~ ^([0-9]+-)?[0-9]+(:[0-9]+){1,2}$ ]] || return 1
    if [[ $left == *-* ]]; then
        days=${left%%-*}
        left=${left#*-}
    fi
    IFS=: read -ra fields <<<"$left"
    for field in "${fields[@]}"; do
        total=$((total * 60 + 10#$field))
    done
    echo $((total + 86400 * 10#$days))
}
limit=()
if left=$(seconds_left) && ! [[ " $* " == *" --time-limit "* ]]; then
    margin=$((left / 10))
    [ "$margin" -ge 20 ] || margin=20
    [ "$margin" -le 300 ] || margin=300
    if [ $((left - margin)) -ge 10 ]; then
        limit=(--time-limit $((left - margin)))
        own_limit=1
    fi
fi

# The runs of a shard are counted over every job that ran it, from its log, which each run
# appends to (a new submission starts Slurm's own count of restarts again).
runs=$(grep -c "^vevuvedu.sbatch: .* shard $task/$count of job .* started on" \
    "${shards%/*}/logs/shard-$task.log" 2>/dev/null) || runs=0
"$program" --shard "/$count" --out "$shards/shard-$task.vvr" \
    --progress "${VEVUVEDU_PROGRESS:-600}" "${limit[@]}" "$@" &
pid=$!
log "shard $task/$count of job $job (run $((runs + 1))) started on" \
    "$(hostname) as pid $pid: $program --shard /$count --out $shards/shard-$task.vvr" \
    "${limit[*]}${limit[*]:+ }$*"

# Wait for the program's own end: a trapped signal ends `wait` early (status above 128), so wait
# again. (Should the program die of a signal just as one is caught, the second wait says 127.)
while :; do
    caught=0
    wait "$pid"
    status=$?
    [ "$caught" = 1 ] && [ "$status" -gt 128 ] && continue
    break
done

case $status in
0)
    log "shard $task/$count complete: $shards/shard-$task.vvr"
    exit 0
    ;;
75)
    log "shard $task/$count stopped at a checkpoint (status 75)"
    # Stopped by the program's own time limit or by Slurm's warning before the task's time limit:
    # run it again. After SIGTERM (scancel, preemption, requeue) Slurm decides what comes next.
    if [ "$terminated" = 0 ]; then
        # The requeue itself ends this task with SIGTERM, scontrol included, at times before
        # scontrol has heard that it was done: it runs with SIGTERM ignored, which it inherits.
        trap '' TERM
        if scontrol requeue "$job"; then
            log "shard $task/$count requeued to continue from its checkpoint"
            exit 0
        fi
        log "shard $task/$count could not be requeued: submit the array again to continue"
    else
        log "shard $task/$count was sent SIGTERM (a requeue, preemption or scancel): if Slurm" \
            "does not run it again, submitting the same run again continues it"
    fi
    exit 75
    ;;
73)
    # A unit runs in one process at a time: another one holds its lock (the same task run twice,
    # or the run's folder used from two places). That one goes on; this task ends, failed, so
    # the merge does not start before it.
    log "shard $task/$count failed: another process runs it already (it holds" \
        "$shards/shard-$task.vvr.lock); once that has ended, submit the same run again"
    exit 73
    ;;
*)
    log "shard $task/$count failed: $program ended with status $status (its message is above);" \
        "running it again will not mend this: mend the cause, then submit the same run again"
    exit "$status"
    ;;
esac
