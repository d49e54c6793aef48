#!/usr/bin/env bash
# Fills the manual pages with a long install prefix, as `cmake --install` does, and renders the
# filled pages as lint.sh does: a path wider than the line must break there without a warning.
# A short prefix is filled too, to check that the filled path still reads as the prefix given.
#
#   long_prefix.sh CMAKE VERSION MAN_DIR
set -u
cmake=$1 version=$2 man=$3
here=$(dirname "$0")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fill() {  # fill PREFIX DIR
    "$cmake" -Dorv_man_source="$man" -Dorv_man_filled="$2" -Dorv_docdir=share/doc/orv-programs \
        -DCMAKE_INSTALL_PREFIX="$1" -P "$man/fill_prefix.cmake"
}
long=/opt/a-rather-long-install-prefix/for-the-orv-programs/version-$version/x86_64-linux-gnu
fill "$long" "$scratch/long" || { echo "FAIL: fill_prefix.cmake"; exit 1; }
bash "$here/lint.sh" "$version" "$scratch/long"/*.1 || exit 1
fill /opt/orv "$scratch/short" || { echo "FAIL: fill_prefix.cmake"; exit 1; }
# What a reader sees: the page as text, the path in one piece.
shown=$(groff -k -man -Tutf8 -P-cbou "$scratch/short/orv-layout.1" 2>&1)
samples=/opt/orv/share/doc/orv-programs/layout/samples/
grep -qF "$samples" <<<"$shown" || { echo "FAIL: the filled page does not show $samples"; exit 1; }
echo "ok: pages filled with a long prefix render without a warning"
