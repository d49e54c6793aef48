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

# signals PID: the signals process PID has a handler for or keeps blocked (to take them with
# sigwait or a signalfd), as a number whose bit S-1 stands for signal S; empty when it has ended.
signals() {
    local caught blocked
    caught=$(sed -n 's/^SigCgt:[[:space:]]*//p' "/proc/$1/status" 2>/dev/null)
    blocked=$(sed -n 's/^SigBlk:[[:space:]]*//p' "/proc/$1/status" 2>/dev/null)
    [ -n "$caught" ] && [ -n "$blocked" ] && echo $((0x$caught | 0x$blocked))
}
