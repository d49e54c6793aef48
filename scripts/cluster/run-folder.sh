# A run folder belongs to one search. Sourced by vevuvedu-parallel and submit, which keep it
# beside them: the folder's file `search` records the search its files are of, and a command for
# another search is refused there (or, asked with --fresh, starts afresh).
#
# The record, one field a line:
#   vevuvedu-run 1                  the record's format
#   program NAME VERSION            what `vevuvedu --version` says
#   shards M
#   search ARGUMENTS                the search's arguments as given, the taken-cell file named
#                                   by the SHA-256 of its contents (--taken sha256:HEX)

# The exit status of a command refused because the folder holds another search's files.
foreign_run_status=65

# search_record PROGRAM M ARGS...: prints the record of the search that `PROGRAM --shard K/M
# ARGS...` runs; fails with a message when the taken-cell file cannot be read.
search_record() {
    local program=$1 count=$2 version words=() taken
    shift 2
    version=$("$program" --version) || return 1
    while [ $# -gt 0 ]; do
        if [ "$1" = --taken ] && [ $# -ge 2 ]; then
            taken=$(sha256sum <"$2") || {
                echo "the taken-cell file $2 cannot be read" >&2
                return 1
            }
            words+=(--taken "sha256:${taken%% *}")
            shift 2
        else
            words+=("$1")
            shift
        fi
    done
    printf 'vevuvedu-run 1\nprogram %s\nshards %s\nsearch %s\n' "$version" "$count" "${words[*]}"
}

# claim_run NAME RUN RECORD FRESH: makes RUN the folder of the search RECORD describes. A folder
# with no record takes this one (a new folder, or one from before records: every shard still
# checks its own files); a folder of the same search is left as it is. A folder of another
# search is refused with foreign_run_status, unless FRESH is 1: then the files of that search
# (shards, logs, job logs, result, record) are deleted first. NAME starts the messages.
claim_run() {
    local name=$1 run=$2 record=$3 fresh=$4
    if [ -f "$run/search" ] && [ "$(cat "$run/search")" != "$record" ]; then
        if [ "$fresh" != 1 ]; then
            {
                echo "$name: $run holds the files of another search:"
                sed 's/^/    /' "$run/search"
                echo "  and this command is:"
                sed 's/^/    /' <<<"$record"
                echo "  Use another folder, or add --fresh to delete that search's files and" \
                    "start this one in $run."
            } >&2
            return "$foreign_run_status"
        fi
        echo "$name: --fresh: deleting the files of the other search in $run" >&2
    fi
    if [ "$fresh" = 1 ]; then
        rm -rf "$run/shards" "$run/logs" "$run"/*joblog* "$run"/result.* "$run"/merge-output.* \
            "$run/search" || return 1
    fi
    mkdir -p "$run/shards" || return 1
    [ -f "$run/search" ] && return 0
    printf '%s\n' "$record" >"$run/search.part" && mv "$run/search.part" "$run/search"
}

