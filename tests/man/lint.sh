#!/usr/bin/env bash
# Renders every manual page with groff, all warnings on, and fails on any warning or error.
#
#   lint.sh PAGE...
set -u
failed=0
for page in "$@"; do
    messages=$(groff -k -man -Tutf8 -ww -z "$page" 2>&1)
    if [ $? -ne 0 ] || [ -n "$messages" ]; then
        echo "FAIL $(basename "$page"):"
        echo "$messages"
        failed=1
    fi
done
[ "$failed" = 0 ] && echo "ok: $# manual pages"
exit "$failed"
