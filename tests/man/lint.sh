#!/usr/bin/env bash
# Renders every manual page with groff, all warnings on, and fails on any warning or error or
# when a page names another version than the programs'.
#
#   lint.sh VERSION PAGE...
set -u
version=$1
shift
failed=0
for page in "$@"; do
    if ! head -n 1 "$page" | grep -qF "\"orv-programs $version\""; then
        echo "FAIL $(basename "$page"): its title line does not name version $version"
        failed=1
    fi
    messages=$(groff -k -man -Tutf8 -ww -z "$page" 2>&1)
    if [ $? -ne 0 ] || [ -n "$messages" ]; then
        echo "FAIL $(basename "$page"):"
        echo "$messages"
        failed=1
    fi
done
[ "$failed" = 0 ] && echo "ok: $# manual pages"
exit "$failed"
