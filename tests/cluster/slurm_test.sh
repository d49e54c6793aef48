#!/usr/bin/env bash
# A sharded vevuvedu search on a real Slurm: starts a one-node cluster (munged, slurmctld, slurmd
# from Debian's packages) in a temporary folder, submits an array of shards and its merge job with
# scripts/cluster/submit, stops tasks midway in the ways a cluster does, and checks that the
# merged output and status are the plain run's. Nothing outside the temporary folder is touched
# (SLURM_CONF and munged's key and socket point into it), and every daemon is stopped on the way
# out, however the test ends.
#
#   slurm_test.sh PROGRAM SCRIPTS_DIR PROBLEM...
#
# What the tasks go through (M = 6 shards on a node of 2 CPUs; the array is submitted held and
# its tasks released one step at a time, and a task's program is held midway while it is signalled,
# so each step meets a task in the state it needs):
#   0  completes, then is requeued and runs again: its complete result is left as it was;
#   1  gets USR1 while running (Slurm's warning before a time limit): the program checkpoints, the
#      job script requeues the task, and it continues from the checkpoint;
#   2  is requeued by `scontrol requeue` while running (as on preemption): SIGTERM, checkpoint,
#      Slurm requeues it, it continues;
#   3  is cancelled while running, and 5 while still pending: the merge job, waiting on the whole
#      array, runs once the array has ended and says in its log that shards 3 and 5 are not
#      complete, merging nothing;
#   4  runs undisturbed.
# Then the same run is submitted again: complete shards end at once, shard 3 continues from its
# checkpoint, shard 5 runs, and the merge runs. Last, another search submitted into the same run
# is refused, and the same search submitted once more clears the old result before merging anew.
# A requeued task would wait about two minutes before it may start again; the test moves its
# start to now (`scontrol update starttime=now`). `sbatch --wait` polls slowly (2, 8, 32 s), so
# the test polls the queue itself.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
read_arguments "$@"
shards=6

PATH=$PATH:/usr/sbin:/sbin # the daemons' folder, which a user's PATH may leave out
for command in slurmctld slurmd sbatch squeue scontrol scancel sinfo; do
    needs "$command" slurm-wlm
done
needs munged munge
needs python3 python3

# ---- a one-node cluster in a temporary folder ----------------------------------------------------
# (munged refuses a folder inside one that others may write to without the sticky bit of /tmp.)
top=$(mktemp -d "${TMPDIR:-/tmp}/slurm-test.XXXXXX") || fail "no temporary folder"
chmod 755 "$top" # munged's socket is in here, and job steps may run as another user
mkdir -p "$top/munge" "$top/state" "$top/spool" "$top/log" "$top/run"
export SLURM_CONF=$top/slurm.conf
pids=()

# Our own processes carry SLURM_CONF (daemons, job steps, job scripts, the program) or the munge
# socket in their environment or command line; whatever is left of them at the end is killed.
ours() {
    local f p
    local -A seen=()
    for f in $(grep -lsF -- "$top/" /proc/[0-9]*/environ /proc/[0-9]*/cmdline); do
        p=${f#/proc/}
        p=${p%%/*}
        [ -z "${seen[$p]:-}" ] || continue
        seen[$p]=1
        [ "$p" = $$ ] || [ "$p" = "$BASHPID" ] || ! alive "$p" || echo "$p"
    done
}

# alive PID: the process runs (an ended child of ours stays a zombie until it is waited for).
alive() {
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null)
    [ -n "$state" ] && [ "${state#Z}" = "$state" ]
}

cleanup() {
    local status=$? left
    set +e
    trap - EXIT INT TERM
    pkill -KILL -P "$watchdog" 2>/dev/null # its sleep; the watchdog then ends by itself
    if [ -n "${ctld_pid:-}" ] && alive "$ctld_pid"; then
        scancel --quiet --user="$(id -un)" 2>/dev/null
        scontrol shutdown >/dev/null 2>&1
    fi
    for _ in $(seq 50); do
        left=$(for p in "${pids[@]}"; do alive "$p" && echo "$p"; done)
        [ -z "$left" ] && break
        sleep 0.2
        # munged has nothing to wait for: stop it once the Slurm daemons are gone.
        [ "$left" = "${munged_pid:-}" ] && kill "$munged_pid" 2>/dev/null
    done
    for p in $(ours); do kill -KILL "$p" 2>/dev/null; done
    wait 2>/dev/null
    for _ in $(seq 25); do
        left=$(ours)
        [ -z "$left" ] && break
        sleep 0.2
    done
    if [ "$status" != 0 ]; then
        for f in "$top"/log/*.log "$top"/run/logs/*.log; do
            [ -f "$f" ] && { echo "---- ${f#$top/}"; tail -n 30 "$f"; }
        done
    fi
    # SLURM_TEST_KEEP=1 keeps the folder (logs, results) for a look after the run.
    [ -n "${SLURM_TEST_KEEP:-}" ] && say "kept $top" || rm -rf "$top"
    if [ -n "$left" ]; then
        say "FAIL: processes left running: $left"
        status=1
    else
        say "daemons stopped, nothing left running"
    fi
    exit "$status"
}
trap cleanup EXIT
trap 'fail "interrupted (or over the time the test allows itself)"' INT TERM
# A test stopped from outside may not get to stop its daemons (SIGKILL); so it stops itself first,
# well before CTest's limit.
(sleep "${SLURM_TEST_SECONDS:-200}" && kill -TERM $$) 2>/dev/null &
watchdog=$!

head -c 128 /dev/urandom >"$top/munge/munge.key" && chmod 400 "$top/munge/munge.key"
munged --foreground --socket="$top/munge/munge.socket.2" --key-file="$top/munge/munge.key" \
    --pid-file="$top/munge/munged.pid" --seed-file="$top/munge/munged.seed" \
    --log-file="$top/log/munged.log" >"$top/log/munged.out" 2>&1 &
munged_pid=$!
pids+=("$munged_pid")
wait_for 10 "munge socket" test -S "$top/munge/munge.socket.2"

# Two free ports on the loopback, for the controller and the node daemon.
read -r ctld_port node_port < <(python3 -c '
import socket
s = [socket.socket() for _ in range(2)]
for x in s: x.bind(("127.0.0.1", 0))
print(*[x.getsockname()[1] for x in s])')
user=$(id -un)
cat >"$SLURM_CONF" <<CONF
ClusterName=vevuvedutest
SlurmctldHost=localhost
SlurmctldPort=$ctld_port
SlurmdPort=$node_port
SlurmUser=$user
SlurmdUser=$user
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$top/munge/munge.socket.2
StateSaveLocation=$top/state
SlurmdSpoolDir=$top/spool
SlurmctldPidFile=$top/slurmctld.pid
SlurmdPidFile=$top/slurmd.pid
SlurmctldLogFile=$top/log/slurmctld.log
SlurmdLogFile=$top/log/slurmd.log
# No cgroups in a container: track processes by their parents, bind no tasks.
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/none
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
SchedulerType=sched/builtin
MpiDefault=none
ReturnToService=2
NodeName=localhost CPUs=2 State=UNKNOWN
PartitionName=test Nodes=localhost Default=YES MaxTime=INFINITE State=UP
CONF
slurmctld -D >"$top/log/slurmctld.out" 2>&1 &
ctld_pid=$!
pids+=("$ctld_pid")
slurmd -D -N localhost >"$top/log/slurmd.out" 2>&1 &
pids+=("$!")
node_idle() { [ "$(sinfo -h -n localhost -o %T 2>/dev/null)" = idle ]; }
wait_for 30 "idle node" node_idle
say "Slurm $(sinfo -V | cut -d' ' -f2) is up: one node, 2 CPUs, in $top"

# ---- the plain run, then the array --------------------------------------------------------
plain_run "$program" "$top" "${problem[@]}"
run=$top/run

# job_field JOB FIELD: one field of `scontrol show job`, such as JobState or Reason.
job_field() {
    scontrol show job -o "$1" 2>/dev/null | grep -o "\\b$2=[^ ]*" | head -n 1 | cut -d= -f2
}
in_state() { [ "$(job_field "$1" JobState)" = "$2" ]; }
log_has() { grep -qF -- "$2" "$run/logs/shard-$1.log" 2>/dev/null; }
gone_from_queue() { [ -z "$(squeue -h -j "$1" -o %i 2>/dev/null)" ]; }
# A requeued task may start again only after a delay of about two minutes: let it start now. Not
# at once, though: the node refuses to launch a job within the second in which it killed the job's
# last run ("Job N already killed, do not launch batch job", as the job's new credential looks
# revoked), and the job is then lost to the test.
restart_now() {
    wait_for 30 "pending task $1 after its requeue" in_state "$1" PENDING
    sleep 2
    scontrol update jobid="$1" starttime=now || fail "cannot move the start of $1 to now"
}
# started TASK RUN: the job script has started the program for the RUN-th time; sets pid to it
# and holds it midway.
started() {
    wait_for 60 "start of run $2 of shard $1" log_has "$1" "(run $2) started"
    pid=$(grep -F "(run $2) started" "$run/logs/shard-$1.log" |
        sed -n 's/.* as pid \([0-9]*\):.*/\1/p')
    [ -n "$pid" ] || fail "the log of shard $1 names no pid"
    hold_midway "$pid"
}
# ended TASK: the job script has said how a run of the program ended.
ended() {
    grep -qE "shard $1/$shards (complete|stopped|failed)" "$run/logs/shard-$1.log" 2>/dev/null
}
# stopped_midway TASK: the task's program, held midway, is let go once the signal has reached it,
# and stops at a checkpoint.
stopped_midway() {
    let_go "$pid"
    wait_for 30 "end of task $1" ended "$1"
    log_has "$1" "stopped at a checkpoint (status 75)" || fail "shard $1 did not stop at a checkpoint"
}
identity() { stat -c '%i %Y %s' "$run/shards/shard-$1.vvr"; }

# submit ARGS...: submits through scripts/cluster/submit and sets array and merge to the job ids.
submit() {
    local ids
    ids=$("$scripts/submit" "$@") || fail "submit $* failed"
    array=$(awk '$1 == "array" { print $2 }' <<<"$ids")
    merge=$(awk '$1 == "merge" { print $2 }' <<<"$ids")
    [ -n "$array" ] && [ -n "$merge" ] || fail "submit printed no job ids: $ids"
}

submit --hold --program "$program" "$shards" "$run" "${problem[@]}"
say "submitted held: array $array, merge $merge"
# Each task in a record of its own: while the array's record still holds pending tasks, Slurm
# 22.05 answers a signal to a running task with "Job can not be altered now, try again later"
# (yet delivers it), and scancel then retries, delivering it again, for half a minute.
for k in $(seq 0 $((shards - 1))); do
    scontrol update jobid="${array}_$k" nice=0 || fail "cannot update task $k"
done
scontrol release "$merge"

scontrol release "${array}_0" "${array}_1"
started 1 1
scancel --batch --signal=USR1 "${array}_1" || fail "cannot signal task 1"
stopped_midway 1
wait_for 30 "requeue by the job script" log_has 1 "requeued to continue from its checkpoint"
restart_now "${array}_1"
say "shard 1: USR1 midway, checkpoint, requeued by its job script"

wait_for 60 "shard 0 complete" in_state "${array}_0" COMPLETED
shard0=$(identity 0)
scontrol requeue "${array}_0" || fail "cannot requeue the finished task 0"
restart_now "${array}_0"
say "shard 0: complete, requeued"

scontrol release "${array}_2"
started 2 1
scontrol requeue "${array}_2" || fail "cannot requeue the running task 2"
stopped_midway 2
restart_now "${array}_2"
say "shard 2: requeued by scontrol midway"

scontrol release "${array}_3"
started 3 1
scancel "${array}_3" || fail "cannot cancel task 3"
stopped_midway 3
scancel "${array}_5" || fail "cannot cancel task 5"
scontrol release "${array}_4"
say "shard 3 cancelled midway, shard 5 cancelled before it started"

wait_for 90 "end of the array" gone_from_queue "$array"
wait_for 30 "end of the merge job" gone_from_queue "$merge"
[ "$(job_field "$merge" JobState)" = FAILED ] ||
    fail "the merge job ended $(job_field "$merge" JobState), not failed for its cancelled tasks"
grep -qF "2 of $shards shards have no complete result (shard 3 5)" "$run/logs/merge.log" ||
    fail "the merge's log does not name the missing shards: $(cat "$run/logs/merge.log")"
[ ! -e "$run/result.out" ] || fail "a merge ran on an incomplete set"
log_has 3 "submitting the same run again continues it" ||
    fail "the log of cancelled shard 3 does not say how to continue"
for k in 0 1 2 4; do
    [ -f "$run/shards/shard-$k.vvr" ] || fail "shard $k has no result after its reruns"
done
for k in 3 5; do
    [ ! -e "$run/shards/shard-$k.vvr" ] || fail "cancelled shard $k has a result"
done
log_has 0 "(run 2) started" || fail "task 0 did not run again after its requeue"
[ "$(identity 0)" = "$shard0" ] || fail "the rerun of complete shard 0 changed its result file"
for k in 1 2; do log_has "$k" "(run 2) started" || fail "shard $k did not run again"; done
say "first submission: merge refused, naming shards 3 and 5; shards 0 1 2 4 complete"

# ---- the same run submitted again ---------------------------------------------------------
submit --program "$program" "$shards" "$run" "${problem[@]}"
say "submitted again: array $array, merge $merge"
wait_for 120 "end of the second array" gone_from_queue "$array"
wait_for 60 "end of the merge job" gone_from_queue "$merge"
[ "$(job_field "$merge" JobState)" = COMPLETED ] ||
    fail "the merge job ended $(job_field "$merge" JobState): $(cat "$run/logs/merge.log")"
[ "$(identity 0)" = "$shard0" ] || fail "the second submission changed complete shard 0"
same_as_plain "$top" "$run/result.out" "$(cat "$run/result.status")"
log_has 3 "(run 2) started" || fail "the second submission's run of shard 3 is not its run 2"

# ---- another search, and the same one once more -------------------------------------------------
"$scripts/submit" --program "$program" "$shards" "$run" --box 5x5x5 >"$top/other.out" 2>&1
status=$?
[ "$status" = 65 ] || fail "another search submitted into the run: status $status, not 65"
grep -qF -- "--fresh" "$top/other.out" || fail "the refusal does not say what to do"
[ "$(cat "$run/result.status")" = "$(cat "$top/plain.status")" ] ||
    fail "the refused submission touched the result"
# The same search again: the old answer goes before the new merge can write one.
submit --hold --program "$program" "$shards" "$run" "${problem[@]}"
[ ! -e "$run/result.out" ] && [ ! -e "$run/result.status" ] ||
    fail "a new submission left the earlier result in place"
for k in $(seq 0 $((shards - 1))); do
    scontrol update jobid="${array}_$k" nice=0 || fail "cannot update task $k"
done
scontrol release "$merge"
scontrol release "$array" || fail "cannot release the array"
wait_for 120 "end of the third array" gone_from_queue "$array"
wait_for 60 "end of the third merge job" gone_from_queue "$merge"
same_as_plain "$top" "$run/result.out" "$(cat "$run/result.status")"
say "another search refused (65); the same one again: old result cleared, merged anew"

# ---- a time limit ----------------------------------------------------------------------------
# Under a limit of two minutes a task's program gets a time limit of its own, a margin shorter
# than what Slurm says is left, and stops there by itself rather than waiting for Slurm's warning.
limited=$top/run-limited
SBATCH_TIMELIMIT=2 submit --program "$program" 1 "$limited" "${problem[@]}"
run=$limited
wait_for 120 "end of the limited array" gone_from_queue "$array"
wait_for 60 "end of the limited merge job" gone_from_queue "$merge"
given=$(sed -n 's/.* --time-limit \([0-9]*\) .*/\1/p' "$run/logs/shard-0.log" | head -n 1)
[ -n "$given" ] && [ "$given" -ge 80 ] && [ "$given" -le 100 ] ||
    fail "under a limit of 2 minutes the program got no time limit of 80 to 100 s: $given"
same_as_plain "$top" "$run/result.out" "$(cat "$run/result.status")"
say "under a 2-minute limit the program stops by itself after $given s at most"
