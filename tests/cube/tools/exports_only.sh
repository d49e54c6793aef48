#!/usr/bin/env bash
# Fails unless the object files define exactly one symbol other files can link to, SYMBOL
# (beside the sanitizers' own marks of it, __odr_asan.SYMBOL).
#   exports_only.sh SYMBOL OBJECT...
set -euo pipefail
symbol=$1
shift
exported=$(nm --defined-only --extern-only "$@" | awk 'NF == 3 && $3 !~ /^__odr_asan/ { print $3 }' | sort -u)
if [ "$exported" != "$symbol" ]; then
    echo "expected only $symbol to be defined for other files; found:" >&2
    echo "$exported" >&2
    exit 1
fi
