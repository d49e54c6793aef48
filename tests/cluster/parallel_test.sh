#!/usr/bin/env bash
# A sharded vevuvedu search with GNU parallel (scripts/cluster/vevuvedu-parallel), interrupted
# twice and resumed, against the plain run:
#   1. Ctrl-C (SIGINT to the whole process group) while shards run: status 75, nothing on standard
#      output, the running shards leave checkpoints;
#   2. the same command again, and one running shard killed outright (SIGKILL, as by a power cut):
#      status 75 again, the killed shard recorded as failed in the job log;
#   3. the same command again: the merged output and status are the plain run's, and every
#      shard that was complete before was left as it was;
#   4. a complete result deleted: the same command searches it again;
#   5. a damaged result: status 69 (running again does not mend it) every time, never 75;
#   6. the script itself killed outright while its shards run: a second run refuses (status 73)
#      until they have ended, then completes;
#   7. another search in the same folder: refused (status 65); with --fresh, its own answer.
#
#   parallel_test.sh PROGRAM SCRIPTS_DIR PROBLEM...
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
read_arguments "$@"
shards=6

needs parallel parallel
top=$(mktemp -d "${TMPDIR:-/tmp}/parallel-test.XXXXXX") || fail "no temporary folder"
run=$top/run
group=

cleanup() {
    local status=$?
    trap - EXIT INT TERM
    # GNU parallel and the shards run in sessions of their own: find them by the run's folder.
    [ -n "$group" ] && kill -KILL -- "-$group" 2>/dev/null
    for p in $(pgrep -f -- "$run/"); do kill -KILL "$p" 2>/dev/null; done
    wait 2>/dev/null
    if [ "$status" != 0 ] && [ -f "$run/joblog" ]; then
        echo "---- joblog"
        cat "$run/joblog"
        for f in "$top"/err-*; do echo "---- ${f#$top/}"; tail -n 20 "$f"; done
    fi
    rm -rf "$top"
    exit "$status"
}
trap cleanup EXIT
trap 'fail "interrupted"' INT TERM

plain_run "$program" "$top" "${problem[@]}"

# start ROUND: the same command each time, in a process group of its own as a terminal would
# start it (job control on: without it a background command would ignore SIGINT).
set -m
start() {
    "$scripts/vevuvedu-parallel" --program "$program" --jobs 2 "$shards" "$run" \
        "${problem[@]}" >"$top/out-$1" 2>"$top/err-$1" &
    group=$!
}
# finish: waits for the command started last and sets status to its exit status.
finish() {
    wait "$group"
    status=$?
    group=
}
complete() { ls "$run"/shards/shard-*.vvr 2>/dev/null | wc -l; }
# hold_running FIRST: holds midway (as hold_midway does) a running shard numbered FIRST or
# above that has written its checkpoint and has no complete result (a complete shard ends at
# once); sets shard_pid and shard_number. One that ends before it is held makes way for the next.
hold_running() {
    local dir args k deadline=$((SECONDS + 60))
    while [ "$SECONDS" -lt "$deadline" ]; do
        for dir in /proc/[0-9]*; do
            # The program itself, not a shell GNU parallel may start it through.
            [ "$dir/exe" -ef "$program" ] || continue
            mapfile -d '' args 2>/dev/null <"$dir/cmdline" || continue
            [[ " ${args[*]} " =~ " --out $run/shards/shard-"([0-9]+)".vvr " ]] || continue
            k=${BASH_REMATCH[1]}
            [ "$k" -ge "$1" ] && [ -f "$run/shards/shard-$k.vvr.checkpoint" ] &&
                [ ! -f "$run/shards/shard-$k.vvr" ] && ready "${dir#/proc/}" &&
                stop_now "${dir#/proc/}" || continue
            shard_pid=${dir#/proc/}
            shard_number=$k
            return 0
        done
        nap
    done
    fail "no running shard numbered $1 or above after 60 s"
}

# ---- 1: Ctrl-C midway ----------------------------------------------------------------------------
start 1
# Two shards run at a time, in order: a shard numbered 2 or above started after one had ended.
hold_running 2
kill -INT -- "-$group"
let_go "$shard_pid"
finish
[ "$status" = 75 ] || fail "interrupted run ended with status $status, not 75: $(cat "$top/err-1")"
[ ! -s "$top/out-1" ] || fail "an interrupted run wrote on standard output"
done_first=$(complete)
[ "$done_first" -lt "$shards" ] || fail "every shard was complete after the interrupt"
# The shard held at the interrupt stopped at a checkpoint (its message: "díl K/M zastaven"), and
# so did the one beside it, unless it was just ending.
grep -qF "díl $shard_number/$shards zastaven" "$top/err-1" &&
    [ ! -e "$run/shards/shard-$shard_number.vvr" ] ||
    fail "shard $shard_number, held at the interrupt, did not stop at a checkpoint"
stopped=$(ls "$run"/shards/*.checkpoint 2>/dev/null | wc -l)
say "1: interrupted with $done_first of $shards shards complete, $stopped at a checkpoint," \
    "status 75"

# ---- 2: one shard killed outright ----------------------------------------------------------------
start 2
hold_running 2
killed_shard=$shard_number
kill -KILL "$shard_pid"
finish
[ "$status" = 75 ] ||
    fail "run with a killed shard ended with status $status, not 75: $(cat "$top/err-2")"
awk -F'\t' 'NR > 1 && $8 == 9 { found = 1 } END { exit !found }' "$run/joblog" ||
    fail "the job log shows no shard killed by signal 9"
[ ! -e "$run/shards/shard-$killed_shard.vvr" ] ||
    fail "shard $killed_shard ended before it was killed (a larger box is needed)"
say "2: shard $killed_shard killed, $(complete) of $shards complete, status 75"

# ---- 3: resumed to the end -----------------------------------------------------------------------
results() { for f in "$run"/shards/shard-*.vvr; do [ -f "$f" ] && stat -c '%n %i %Y %s' "$f"; done; }
before=$(results)
start 3
finish
same_as_plain "$top" "$top/out-3" "$status"
# A shard that was complete before was started again, found its result and left it as it was.
while read -r name identity; do
    [ -n "$name" ] || continue
    [ "$(stat -c '%i %Y %s' "$name")" = "$identity" ] || fail "the resumed run rewrote $name"
done <<<"$before"
say "3: resumed to the end; complete shards left as they were"

# ---- 4: a lost result is searched again ----------------------------------------------------------
rm "$run/shards/shard-2.vvr"
start 4
finish
same_as_plain "$top" "$top/out-4" "$status"
[ -f "$run/shards/shard-2.vvr" ] || fail "the lost result was not searched again"
say "4: a deleted result searched again, the merge the plain run's"

# ---- 5: a failure that running again does not mend -----------------------------------------------
mv "$run/shards/shard-1.vvr" "$top/shard-1.kept"
echo damaged >"$run/shards/shard-1.vvr"
for round in 5a 5b; do
    start "$round"
    finish
    [ "$status" = 69 ] ||
        fail "a damaged result: status $status, not 69 (run $round): $(cat "$top/err-$round")"
    [ ! -s "$top/out-$round" ] || fail "a run with a damaged result wrote on standard output"
    grep -qF "shard-K.vvr" "$top/err-$round" && grep -qF ": 1 (failed with status 2)" \
        "$top/err-$round" || fail "the message does not say which shard and what to do:" \
        "$(tail -n 3 "$top/err-$round")"
done
mv "$top/shard-1.kept" "$run/shards/shard-1.vvr"
say "5: a damaged result: status 69 every time, the shard named"

# ---- 6: the script itself killed outright --------------------------------------------------------
# Its GNU parallel and the shards go on; a second run must not start the same shards again.
rm -f "$run"/shards/*
start 6
hold_running 0
kill -KILL "$group"
finish
start 6b
finish
[ "$status" = 73 ] || fail "a second run beside a killed one's shards: status $status, not 73"
grep -qF "another run works" "$top/err-6b" || fail "the second run does not say why: $(cat "$top/err-6b")"
kill -CONT "$shard_pid"
# Once the first run's GNU parallel and shards have ended, the folder is free.
timeout 120 flock "$run/lock" true || fail "the killed run's shards did not end"
start 6c
finish
same_as_plain "$top" "$top/out-6c" "$status"
say "6: the script killed: a second run refused (73) while its shards ran, then completed"

# ---- 7: another search in the same folder --------------------------------------------------------
other=(--box 5x5x5)
"$program" "${other[@]}" >"$top/other.out"
echo $? >"$top/other.status"
"$scripts/vevuvedu-parallel" --program "$program" --jobs 2 "$shards" "$run" "${other[@]}" \
    >"$top/out-7" 2>"$top/err-7"
status=$?
[ "$status" = 65 ] || fail "another search in a used folder: status $status, not 65"
[ ! -s "$top/out-7" ] || fail "another search in a used folder wrote on standard output"
grep -qF -- "--fresh" "$top/err-7" || fail "the refusal does not say what to do: $(cat "$top/err-7")"
"$scripts/vevuvedu-parallel" --program "$program" --jobs 2 --fresh "$shards" "$run" \
    "${other[@]}" >"$top/out-7b" 2>"$top/err-7b"
status=$?
cmp -s "$top/out-7b" "$top/other.out" && [ "$status" = "$(cat "$top/other.status")" ] ||
    fail "--fresh: status $status and not the other search's plain output: $(cat "$top/err-7b")"
say "7: another search refused (65), then run afresh with --fresh: its plain output"
