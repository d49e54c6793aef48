# Helpers of the cluster tests (sourced): failing with a message, waiting for a condition, and
# the plain run that every sharded run is compared with.

started_at=$(date +%s%N)

# read_arguments PROGRAM SCRIPTS_DIR PROBLEM...: the arguments of every cluster test, the program,
# the folder of the cluster scripts, and what to search (the program's arguments, such as
# --box AxBxC), into program, scripts and problem.
read_arguments() {
    if [ $# -lt 3 ]; then
        echo "usage: $(basename "$0") PROGRAM SCRIPTS_DIR PROBLEM..." >&2
        exit 2
    fi
    program=$(realpath "$1")
    scripts=$(realpath "$2")
    shift 2
    problem=("$@")
}

say() {
    local tenths=$((($(date +%s%N) - started_at) / 100000000))
    printf '[%3d.%d s] %s\n' $((tenths / 10)) $((tenths % 10)) "$*"
}

fail() {
    say "FAIL: $*"
    exit 1
}

# needs COMMAND PACKAGE...: fails (never skips) when an engine the test runs is not installed.
needs() {
    local command=$1
    shift
    command -v "$command" >/dev/null ||
        fail "$command is not installed (Debian package $*; scripts/test installs it)"
}

# wait_for SECONDS WHAT COMMAND...: runs COMMAND every 0.2 s until it succeeds; fails naming WHAT
# after SECONDS.
wait_for() {
    local seconds=$1 what=$2 deadline
    shift 2
    deadline=$(($(date +%s) + seconds))
    until "$@"; do
        [ "$(date +%s)" -lt "$deadline" ] || fail "no $what after $seconds s"
        sleep 0.2
    done
}

# plain_run PROGRAM FOLDER PROBLEM...: the whole search in one process, into FOLDER/plain.out and
# FOLDER/plain.status. The problem must have fillings, or the merge would be checked on nothing.
plain_run() {
    local program=$1 folder=$2 status
    shift 2
    "$program" "$@" >"$folder/plain.out" 2>"$folder/plain.err"
    status=$?
    echo "$status" >"$folder/plain.status"
    [ "$status" -gt 37 ] ||
        fail "the plain run of '$*' ended with status $status, not with fillings found" \
            "(37: none; below: an error): $(head -c 300 "$folder/plain.err")"
    say "plain run of '$*': $(wc -c <"$folder/plain.out") bytes, status $status"
}

# same_as_plain FOLDER OUT STATUS: the merged output and status are the plain run's, byte for byte.
same_as_plain() {
    local folder=$1 out=$2 status=$3
    cmp "$folder/plain.out" "$out" || fail "the merged output differs from the plain run's"
    [ "$status" = "$(cat "$folder/plain.status")" ] ||
        fail "the merged status $status differs from the plain run's $(cat "$folder/plain.status")"
    say "merged output and status $status are the plain run's"
}

# ---- holding a running program midway ------------------------------------------------------------
# A test that stops a shard midway must meet it running, however fast the machine: it waits until
# the program has set up its signal handlers and searched for a moment, stops it with SIGSTOP,
# sends what it tests (a signal, a requeue, a cancel), and lets it go on once that has arrived. The
# polls read /proc with bash's own commands only: on a machine busy with shards, polls that start
# processes (grep, sed, pgrep) came too seldom to catch a shard of a second.
exec {nap_fd}<> <(:)
# nap: a hundredth of a second, without starting a process.
nap() { read -r -t 0.01 -u "$nap_fd" _ || true; }

# proc_status PID: the fields of /proc/PID/status (State, SigCgt, SigBlk, SigPnd, ShdPnd, ...)
# into the array proc; fails when the process has ended.
declare -A proc=()
proc_status() {
    local key value
    proc=()
    while IFS=$':\t ' read -r key value; do
        [ -z "$key" ] || proc[$key]=$value
    done 2>/dev/null <"/proc/$1/status" || return 1
    [ -n "${proc[State]:-}" ] && [ "${proc[State]:0:1}" != Z ]
}

# ready PID: the program has a handler for USR1 and TERM, or keeps them blocked to take them with
# sigwait or a signalfd (a signal that came before would just end it), and has used three
# hundredths of a second of processor time.
ready() {
    local line fields mask
    proc_status "$1" || return 1
    mask=$((0x${proc[SigCgt]:-0} | 0x${proc[SigBlk]:-0}))
    (((mask >> 9) & 1 && (mask >> 14) & 1)) || return 1
    read -r line 2>/dev/null <"/proc/$1/stat" || return 1
    read -ra fields <<<"${line##*) }" # after the command's name: state, ..., utime, stime
    ((${fields[11]:-0} + ${fields[12]:-0} >= 3))
}

# stop_now PID: stops the program PID and waits until it is stopped; fails when it ended first.
stop_now() {
    kill -STOP "$1" 2>/dev/null || return 1
    while proc_status "$1"; do
        [ "${proc[State]:0:1}" != T ] || return 0
    done
    return 1
}

# hold_midway PID: waits until the program PID is ready, then stops it; fails when it ends first.
hold_midway() {
    local deadline=$((SECONDS + 60))
    until ready "$1"; do
        proc_status "$1" || fail "pid $1 ended before it could be held midway"
        [ "$SECONDS" -lt "$deadline" ] || fail "pid $1 was not ready after 60 s"
        nap
    done
    stop_now "$1" || fail "pid $1 ended before it could be held midway"
}

# let_go PID: once a signal waits for the held program PID (handed on by a job script or GNU
# parallel), or it runs again (Slurm sends SIGCONT itself with TERM), or it has ended, lets it
# go on.
let_go() {
    local deadline=$((SECONDS + 30))
    while proc_status "$1" && [ "${proc[State]:0:1}" = T ] &&
        [ $((0x${proc[SigPnd]:-0} | 0x${proc[ShdPnd]:-0})) = 0 ]; do
        [ "$SECONDS" -lt "$deadline" ] || fail "no signal reached held pid $1 after 30 s"
        nap
    done
    kill -CONT "$1" 2>/dev/null || true
}
