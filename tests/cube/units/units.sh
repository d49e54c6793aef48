#!/usr/bin/env bash
# End-to-end tests of vevuvedu's work units: shards merged against the plain run, refused sets,
# the double-run check, and runs stopped and resumed.
#
#   units.sh VEVUVEDU CASES_DIR PART
#
# PART: cubes (N = 1 .. 5), boxes (the boxes with fillings of CASES_DIR), refusals, guards
# (files and command lines that must not hang, fill the memory or run a unit twice), resume.
# Every comparison is byte for byte, output and exit status.
set -u
program=$(realpath "$1")
cases=$(cd "$2" && pwd)
part=$3
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
failed=0
fail() { echo "FAIL units $part: $*"; failed=1; }

# plain NAME ARGS...: the plain run's output in NAME.out and its status in NAME.status.
plain() {
    local name=$1
    shift
    "$program" "$@" >"$name.out" 2>"$name.err"
    echo $? >"$name.status"
}

# shards DIR M D ARGS...: runs every shard of M into DIR, on 1 or 2 threads by turns.
shards() {
    local dir=$1 m=$2 d=$3 k status
    shift 3
    rm -rf "$dir"
    mkdir -p "$dir"
    for ((k = 0; k < m; k++)); do
        VEVUVEDU_THREADS=$((k % 2 + 1)) "$program" --shard "$k/$m" --split-depth "$d" \
            --out "$dir/shard-$k.vvr" "$@" >"$dir.out" 2>"$dir.err"
        status=$?
        [ "$status" = 0 ] || fail "shard $k/$m, depth $d of '$*': status $status $(cat "$dir.err")"
        [ -s "$dir.out" ] && fail "shard $k/$m of '$*' wrote on standard output"
    done
}

# merged NAME DIR LABEL [INPUTS...]: merges DIR (or the inputs) and compares with the plain run.
merged() {
    local name=$1 dir=$2 label=$3 status
    shift 3
    [ $# -gt 0 ] || set -- "$dir"
    "$program" --merge "$@" >merged.out 2>merged.err
    status=$?
    cmp -s merged.out "$name.out" || fail "$label: merged output differs from the plain run"
    [ "$status" = "$(cat "$name.status")" ] || fail "$label: merge status $status"
    [ -s merged.err ] && fail "$label: merge wrote on standard error: $(cat merged.err)"
}

# compare NAME M D ARGS...: shards of the subject merged against its plain run.
compare() {
    local name=$1 m=$2 d=$3
    shift 3
    shards "units-$m-$d" "$m" "$d" "$@"
    merged "$name" "units-$m-$d" "'$*' in $m shards, depth $d"
}

# refused LABEL TEXT ARGS...: a run that must fail with status 2, nothing on standard output,
# and a message holding TEXT.
refused() {
    local label=$1 text=$2 status
    shift 2
    "$program" "$@" >refused.out 2>refused.err
    status=$?
    [ "$status" = 2 ] || fail "$label: status $status, expected 2 ($(cat refused.err))"
    [ -s refused.out ] && fail "$label: wrote on standard output"
    grep -qF -- "$text" refused.err || fail "$label: message '$(cat refused.err)' does not name '$text'"
}

case $part in
cubes)
    for n in 1 2 3 4 5; do
        plain "cube-$n" "$n"
        splits=("1 8" "3 1")
        [ "$n" = 5 ] && splits=("1 8" "2 1" "7 3" "13 8")
        for md in "${splits[@]}"; do
            compare "cube-$n" $md "$n"
        done
    done
    # The same through --box, files named one by one, and a shard from the batch engine's index.
    plain box-5 --box 5x5x5
    cmp -s box-5.out cube-5.out || fail "--box 5x5x5 differs from 5"
    shards byname 3 4 5
    merged cube-5 byname "files named one by one" byname/shard-2.vvr byname/shard-0.vvr byname/shard-1.vvr
    rm -rf engine
    mkdir engine
    SLURM_ARRAY_TASK_ID=0 "$program" --shard /2 --split-depth 4 --out engine/a.vvr 5 || fail "SLURM_ARRAY_TASK_ID"
    JOB_COMPLETION_INDEX=1 "$program" --shard /2 --split-depth 4 --out engine/b.vvr 5 || fail "JOB_COMPLETION_INDEX"
    merged cube-5 engine "shard numbers from the batch engine"
    ;;
boxes)
    for subject in box-six-fillings box-mirrored-pairs box-flat box-one-cell; do
        case $subject in
        box-six-fillings) splits=("1 8" "3 2" "16 5" "4 12") ;;
        box-mirrored-pairs) splits=("2 1" "5 2" "3 8") ;;
        *) splits=("2 1" "3 8") ;;
        esac
        mapfile -t args <"$cases/$subject/args"
        for i in "${!args[@]}"; do
            [ "${args[$i]}" = taken ] && args[$i]=$cases/$subject/files/taken
        done
        plain "$subject" "${args[@]}"
        for md in "${splits[@]}"; do
            compare "$subject" $md "${args[@]}"
        done
    done
    ;;
refusals)
    six=(--box 6x6x6 --taken "$cases/box-six-fillings/files/taken")
    plain six "${six[@]}"
    shards set 4 3 "${six[@]}"
    merged six set "the whole set"
    # Where the run stands: every unit complete, its six fillings; then with one not begun.
    "$program" --status set >status.out 2>status.err || fail "--status: status $?"
    [ -s status.err ] && fail "--status wrote on standard error: $(cat status.err)"
    grep -qx "díly 4" status.out && grep -qx "hotové 4" status.out &&
        grep -qx "vyplnění 6" status.out && grep -qx "nezačaté-díly" status.out ||
        fail "--status of the whole set: $(cat status.out)"
    mkdir -p part && cp set/shard-0.vvr set/shard-1.vvr set/shard-3.vvr part/
    "$program" --status part >status.out 2>status.err || fail "--status part: status $?"
    grep -qx "hotové 3" status.out && grep -qx "nezačaté-díly 2" status.out ||
        fail "--status without unit 2: $(cat status.out)"
    refused "missing shard" "chybí 1 z 4 dílů (2)" --merge set/shard-0.vvr set/shard-1.vvr set/shard-3.vvr
    cp set/shard-1.vvr set/copy.vvr
    refused "duplicated shard" "copy.vvr" --merge set
    rm set/copy.vvr
    head -c 300 set/shard-2.vvr >cut.vvr
    refused "truncated file" "cut.vvr" --merge set/shard-0.vvr set/shard-1.vvr cut.vvr set/shard-3.vvr
    sed '0,/^cells 1 /s//cells 2 /' set/shard-1.vvr >altered.vvr
    cmp -s altered.vvr set/shard-1.vvr && fail "the file to alter holds no filling"
    refused "altered file" "altered.vvr" --merge set/shard-0.vvr altered.vvr set/shard-2.vvr set/shard-3.vvr
    shards other-depth 4 5 "${six[@]}"
    refused "foreign depth" "hloubka dělení" --merge set/shard-0.vvr set/shard-1.vvr other-depth/shard-2.vvr set/shard-3.vvr
    shards other-box 4 3 5
    refused "foreign box" "other-box/shard-2.vvr" --merge set/shard-0.vvr set/shard-1.vvr other-box/shard-2.vvr set/shard-3.vvr
    shards other-count 5 3 "${six[@]}"
    refused "foreign count" "počet dílů" --merge set/shard-0.vvr set/shard-1.vvr other-count/shard-2.vvr set/shard-3.vvr
    mkdir empty
    refused "empty folder" "empty" --merge empty
    refused "missing file" "nothing.vvr" --merge nothing.vvr
    # A finished shard run again does nothing; a result of another run under its name is refused.
    cp set/shard-2.vvr kept.vvr
    touch -d '2001-01-01' set/shard-2.vvr
    "$program" --shard 2/4 --split-depth 3 --out set/shard-2.vvr "${six[@]}" >again.out 2>again.err
    status=$?
    [ "$status" = 0 ] || fail "re-run of a complete shard: status $status"
    [ -s again.out ] || [ -s again.err ] && fail "re-run of a complete shard wrote something"
    [ "$(stat -c %Y set/shard-2.vvr)" = "$(date -d 2001-01-01 +%s)" ] || fail "re-run rewrote the result"
    cmp -s kept.vvr set/shard-2.vvr || fail "re-run changed the result"
    refused "result of another run" "jinému běhu" --shard 2/4 --split-depth 4 --out set/shard-2.vvr "${six[@]}"
    refused "shard out of range" "0 do 3" --shard 4/4 --out x.vvr 5
    refused "no array index" "SLURM_ARRAY_TASK_ID" --shard /4 --out x.vvr 5
    SLURM_ARRAY_TASK_ID=9 refused "array index out of range" "SLURM_ARRAY_TASK_ID" --shard /4 --out x.vvr 5
    refused "--shard without --out" "--out" --shard 1/4 5
    "$program" --shard 0/1 --out nowhere/x.vvr 5 >/dev/null 2>unwritable.err
    status=$?
    [ "$status" = 1 ] || fail "a result folder that does not exist: status $status"
    grep -qF "nowhere/x.vvr" unwritable.err || fail "the unwritable file is not named"
    # The double-run check: the same set run again agrees, a differing unit is named.
    shards again 4 3 "${six[@]}"
    "$program" --verify set again >verify.out 2>verify.err
    status=$?
    [ "$status" = 0 ] || fail "verify of two equal sets: status $status $(cat verify.err)"
    python3 "$here/edit_unit.py" again/shard-1.vvr calls 1
    "$program" --verify set again >verify.out 2>verify.err
    status=$?
    [ "$status" = 4 ] || fail "verify of differing sets: status $status"
    grep -qF "díl 1/4" verify.err || fail "verify does not name the differing unit: $(cat verify.err)"
    grep -qF "díl 0/4" verify.err && fail "verify names a unit that agrees"
    refused "verify of foreign sets" "nepatří ke stejnému běhu" --verify set other-depth
    # A checkpoint is no result; a checkpoint of another run is refused.
    VEVUVEDU_THREADS=1 "$program" --shard 0/1 --time-limit 0.05 --out stopped.vvr --box 6x6x6 \
        --taken "$here/slow-taken" >/dev/null 2>&1
    if [ -f stopped.vvr.checkpoint ]; then
        refused "checkpoint in a merge" "kontrolní bod" --merge stopped.vvr.checkpoint
        refused "checkpoint of another run" "jinému běhu" --shard 0/2 --out stopped.vvr --box 6x6x6 \
            --taken "$here/slow-taken"
    else
        fail "the stopped run left no checkpoint"
    fi
    ;;
guards)
    # What the files and the command line may not do: hang a merge, fill the memory, run one unit
    # twice at once, leave a killed write's files behind, or take an option twice.
    six=(--box 6x6x6 --taken "$cases/box-six-fillings/files/taken")
    plain six "${six[@]}"
    shards set 2 3 "${six[@]}"
    # Counts of events far beyond what the box can have, the checksum right: refused at once,
    # not looped over.
    mkdir crafted
    cp set/shard-0.vvr set/shard-1.vvr crafted/
    for field in events next-event owned; do
        python3 "$here/edit_unit.py" crafted/shard-0.vvr "$field" 9223372036854775000
    done
    for args in "--merge crafted" "--verify crafted set"; do
        timeout 5 "$program" $args >refused.out 2>refused.err
        status=$?
        [ "$status" = 2 ] || fail "$args with crafted counts: status $status $(cat refused.err)"
        grep -qF "shard-0.vvr" refused.err || fail "$args: the crafted file is not named"
    done
    # Counts that do not add up to the events are refused before any loop over the events.
    cp set/shard-1.vvr kept-1.vvr
    python3 "$here/edit_unit.py" set/shard-1.vvr owned 1
    refused "owned events that do not add up" "neuvádějí události" --merge set
    cp kept-1.vvr set/shard-1.vvr
    # A result with a gigabyte after it (a sparse file): refused before it is read.
    mkdir big
    cp set/shard-0.vvr set/shard-1.vvr big/
    truncate -s 1G big/shard-1.vvr
    timeout 5 "$program" --merge big >refused.out 2>refused.err
    status=$?
    [ "$status" = 2 ] || fail "a 1 GB unit file: status $status"
    grep -qF "bajtů" refused.err || fail "a 1 GB unit file: $(cat refused.err)"
    # A unit that another process runs (it holds the unit's lock) ends at once with status 73
    # and changes nothing; the lock gone, the unit runs.
    exec 8>lonely.vvr.lock
    flock 8 || fail "cannot take the lock"
    timeout 10 "$program" --shard 0/1 --out lonely.vvr 5 >busy.out 2>busy.err
    status=$?
    [ "$status" = 73 ] || fail "a unit whose lock is held: status $status $(cat busy.err)"
    grep -qF "jiný proces" busy.err || fail "a unit whose lock is held: $(cat busy.err)"
    [ -e lonely.vvr ] || [ -e lonely.vvr.checkpoint ] && fail "a locked-out unit wrote its files"
    exec 8>&-
    # A killed write's temporary files go with the next run of the unit; others stay.
    touch lonely.vvr.Ab12Cd lonely.vvr.checkpoint.x9Y8z7 lonely.vvr.notes other.vvr.Ab12Cd
    "$program" --shard 0/1 --out lonely.vvr 5 || fail "the unit after its lock was let go"
    [ -e lonely.vvr.Ab12Cd ] || [ -e lonely.vvr.checkpoint.x9Y8z7 ] &&
        fail "a killed write's temporary files stayed"
    [ -e lonely.vvr.notes ] && [ -e other.vvr.Ab12Cd ] || fail "a file that is no leftover went"
    # Every option once; numbers spelled one way.
    for option in "--split-depth 3" "--time-limit 9" "--progress 9" "--out y.vvr" "--shard 0/2"; do
        refused "$option twice" "zadána dvakrát" --shard 0/2 --out x.vvr $option $option 5
    done
    refused "a shard with a leading zero" "00/3" --shard 00/3 --out x.vvr 5
    refused "a count with a leading zero" "0/03" --shard 0/03 --out x.vvr 5
    refused "a depth with a leading zero" "--split-depth" --shard 0/3 --split-depth 08 --out x.vvr 5
    ;;
resume)
    # A box that takes about a second on this build, so that the time limit and the signals
    # find it searching: the lighter one when the build is slow (sanitizers), else the heavier.
    started=$(date +%s%N)
    plain heavy --box 6x6x6 --taken "$here/heavy-taken"
    stops=(TERM:0 INT:0.1 USR1:0.05 KILL:0 KILL:0.1 KILL:0.25)
    if [ $(($(date +%s%N) - started)) -ge 700000000 ]; then
        stops=(TERM:0 USR1:0.05 KILL:0.1)
        subject=heavy
        box=(--box 6x6x6 --taken "$here/heavy-taken")
    else
        subject=slow
        box=(--box 6x6x6 --taken "$here/slow-taken")
        plain slow "${box[@]}"
    fi
    # by_time_limit DEPTH SHARE: the unit at split depth DEPTH stopped again and again by a time
    # limit of SHARE of its whole time (at least 0.3 s), on 1 and 2 threads by turns, until it
    # ends: the same result as the unit never stopped, merged to the plain bytes.
    by_time_limit() {
        local depth=$1 share=$2 started limit rounds=0 status
        rm -f "whole-$depth.vvr" "limited-$depth.vvr"*
        started=$(date +%s%N)
        "$program" --shard 0/1 --split-depth "$depth" --out "whole-$depth.vvr" "${box[@]}" ||
            fail "the whole unit failed"
        limit=$(( ($(date +%s%N) - started) / share / 1000000 ))
        [ "$limit" -ge 300 ] || limit=300
        limit=$(printf '%d.%03d' $((limit / 1000)) $((limit % 1000)))
        while :; do
            VEVUVEDU_THREADS=$((rounds % 2 + 1)) "$program" --shard 0/1 --split-depth "$depth" \
                --time-limit "$limit" --out "limited-$depth.vvr" "${box[@]}" 2>limited.err
            status=$?
            rounds=$((rounds + 1))
            [ "$status" = 0 ] && break
            [ "$status" = 75 ] || { fail "depth $depth: status $status $(cat limited.err)"; break; }
            [ -f "limited-$depth.vvr.checkpoint" ] || { fail "depth $depth: no checkpoint"; break; }
            [ "$rounds" -lt 100 ] || { fail "depth $depth: no end after $rounds rounds"; break; }
        done
        [ "$rounds" -ge 2 ] || fail "depth $depth: the time limit never stopped the unit"
        cmp -s "limited-$depth.vvr" "whole-$depth.vvr" ||
            fail "depth $depth: the unit stopped $rounds times differs"
        [ -e "limited-$depth.vvr.checkpoint" ] &&
            fail "depth $depth: the checkpoint stayed after the result"
        merged "$subject" . "the unit at depth $depth stopped by the time limit" "limited-$depth.vvr"
    }
    # Each run walks the top of the tree again, so at the default depth the limit is a quarter
    # of the whole time: a slow build or a loaded machine still gets ahead. At depth 1 the
    # events are few and large, and a stop keeps each one's place: a tenth goes on to the end.
    by_time_limit 8 4
    by_time_limit 1 10
    cp whole-8.vvr whole.vvr  # what the signals below are compared with
    # Killed outright again and again at depth 1, each run after a fifth of the unit's whole
    # time: the checkpoints written every 0.05 s hold the places its threads last published, so
    # every run gets ahead, and the end is the unit never stopped. A thread publishes once a
    # tick (65536 calls), so the whole unit must take 2 s or more for a run to live through
    # several ticks: a larger box where this build is fast.
    rm -f killed.vvr*
    for taken in "$here/slow-taken" "$here/../../cluster/box-6x6x6.taken"; do
        killed_box=(--box 6x6x6 --taken "$taken")
        started=$(date +%s%N)
        "$program" --shard 0/1 --split-depth 1 --out whole-1.vvr.new "${killed_box[@]}" 2>/dev/null
        limit=$(( ($(date +%s%N) - started) / 5000000 ))
        mv whole-1.vvr.new whole-1.vvr
        [ "$limit" -lt 400 ] || break
    done
    [ "$limit" -ge 300 ] || limit=300
    rounds=0
    until [ -f killed.vvr ] || [ "$rounds" -ge 100 ]; do
        VEVUVEDU_CHECKPOINT_SECONDS=0.05 VEVUVEDU_THREADS=$((rounds % 2 + 1)) \
            "$program" --shard 0/1 --split-depth 1 --out killed.vvr "${killed_box[@]}" 2>/dev/null &
        pid=$!
        sleep "$(printf '%d.%03d' $((limit / 1000)) $((limit % 1000)))"
        kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        rounds=$((rounds + 1))
    done
    [ -f killed.vvr ] || fail "killed again and again at depth 1: no end after $rounds runs"
    [ "$rounds" -ge 2 ] || fail "killed again and again at depth 1: never killed"
    cmp -s killed.vvr whole-1.vvr || fail "killed again and again at depth 1: the result differs"
    # A signal at several points, then the same command again, which continues; SIGKILL leaves
    # only the checkpoint written every tenth of a second.
    interrupted=0
    for stop in "${stops[@]}"; do
        signal=${stop%:*} delay=${stop#*:}
        rm -f sig.vvr sig.vvr.checkpoint
        VEVUVEDU_CHECKPOINT_SECONDS=0.1 "$program" --shard 0/1 --progress 0.01 --out sig.vvr \
            "${box[@]}" 2>sig.err &
        pid=$!
        # The first progress line: the unit is searching, its signal handlers are in place.
        for _ in $(seq 500); do
            grep -q "díl 0/1" sig.err 2>/dev/null && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.01
        done
        sleep "$delay"
        kill -s "$signal" "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        status=$?
        case $signal:$status in
        *:0) ;;
        KILL:137 | TERM:75 | INT:75 | USR1:75) interrupted=$((interrupted + 1)) ;;
        *) fail "SIG$signal after $delay s: status $status $(cat sig.err)" ;;
        esac
        [ "$status" = 75 ] && [ ! -f sig.vvr.checkpoint ] && fail "SIG$signal: no checkpoint"
        "$program" --shard 0/1 --out sig.vvr "${box[@]}" || fail "SIG$signal: the resumed run failed"
        cmp -s sig.vvr whole.vvr || fail "SIG$signal after $delay s: the resumed result differs"
    done
    [ "$interrupted" -ge $((${#stops[@]} * 2 / 3)) ] ||
        fail "only $interrupted of the ${#stops[@]} runs were stopped by their signal"
    ;;
esac
[ "$failed" = 0 ] && echo "ok units $part"
exit "$failed"
