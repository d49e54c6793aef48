#!/usr/bin/env bash
# Fills the manual pages with a long install prefix, as `cmake --install` does, and renders the
# filled pages as lint.sh does: a path wider than the line must break there without a warning.
# An unusual short prefix is filled too, to check that every page then shows the installed paths
# in one piece, the prefix given and no other: no /usr/local, PREFIX or ~/.local left.
#
#   long_prefix.sh CMAKE VERSION MAN_DIR
set -u
cmake=$1 version=$2 man=$3
here=$(dirname "$0")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fill() {  # fill PREFIX DIR
    "$cmake" -Dorv_man_source="$man" -Dorv_man_filled="$2" -Dorv_docdir=share/doc/orv-programs \
        -Dorv_datadir=share -DCMAKE_INSTALL_PREFIX="$1" -P "$man/fill_prefix.cmake"
}
long=/opt/a-rather-long-install-prefix/for-the-orv-programs/version-$version/x86_64-linux-gnu
fill "$long" "$scratch/long" || { echo "FAIL: fill_prefix.cmake"; exit 1; }
bash "$here/lint.sh" "$version" "$scratch/long"/*.1 || exit 1
short=/srv/orv-1
fill "$short" "$scratch/short" || { echo "FAIL: fill_prefix.cmake"; exit 1; }
# What a reader sees: the page as text, a path in one piece.
shown() { groff -k -man -Tutf8 -P-cbou "$scratch/short/$1.1" 2>&1; }
failed=0
expect() {  # expect PAGE PATH: the filled page shows PATH
    shown "$1" | grep -qF -- "$2" || { echo "FAIL: the filled $1(1) does not show $2"; failed=1; }
}
doc=$short/share/doc/orv-programs
expect orv-editor "$doc/editor/samples/demo.txt"
expect orv-layout "$doc/layout/samples/"
expect orv-layout-svg "$doc/docs/"
expect vevuvedu-svg "$doc/cube/samples/"
expect vevuvedu "$doc/cube/samples/"
expect vevuvedu "$short/share/orv-programs/cluster/"           # FILES
expect vevuvedu "$ $short/share/orv-programs/cluster/submit "  # the examples of CLUSTER
expect vevuvedu "$ $short/share/orv-programs/cluster/vevuvedu-parallel "
for page in "$scratch/short"/*.1; do
    name=$(basename "$page" .1)
    if shown "$name" | grep -nE '/usr/local|PREFIX|~/\.local'; then
        echo "FAIL: the filled $name(1) still names a path of another prefix"
        failed=1
    fi
done
[ "$failed" = 0 ] || exit 1
echo "ok: pages filled with a long prefix render without a warning, and name the prefix given"
