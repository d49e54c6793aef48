#!/usr/bin/env bash
# Installs a build into a fresh prefix and checks that the programs, their manual pages, the
# README, the samples and the cluster scripts are all in place and that an installed program runs.
#
#   check_install.sh BUILD_DIR
set -u
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }
failed=0
for program in orv-editor orv-layout vevuvedu rum-sim orv-layout-svg vevuvedu-svg; do
    [ -x "$prefix/bin/$program" ] || { echo "FAIL: bin/$program missing"; failed=1; }
    [ -f "$prefix/share/man/man1/$program.1" ] || { echo "FAIL: man page of $program missing"; failed=1; }
done
doc=$prefix/share/doc/orv-programs
for file in README.md editor/samples/demo.txt layout/samples/symmetric-300.orv-graph \
    layout/samples/directed-1100.orv-graph; do
    [ -f "$doc/$file" ] || { echo "FAIL: share/doc/orv-programs/$file missing"; failed=1; }
done
# Every sample the README names lies at that path beside the installed README.
for sample in $(grep -oE '(editor|layout|cube)/samples/[A-Za-z0-9._-]+\.(txt|orv-graph|out|taken)' \
    "$doc/README.md" 2>/dev/null | sort -u); do
    [ -f "$doc/$sample" ] || { echo "FAIL: the README names $sample, not installed there"; failed=1; }
done
# Every installed path the README names, as PREFIX/... or as installed with --prefix ~/.local
# (the commands of its cluster recipe), is there.
for named in $(grep -oE '(PREFIX|~/\.local)/[A-Za-z0-9/._-]+' "$doc/README.md" 2>/dev/null | sort -u); do
    case $named in
    PREFIX/*) path=$prefix/${named#PREFIX/} ;;
    *) path=$prefix/${named#\~/.local/} ;;
    esac
    [ -e "$path" ] || { echo "FAIL: the README names $named, not installed there"; failed=1; }
done
# ... and its cluster recipe runs the scripts where they are installed, not from the source tree.
if grep -nE '^(\$ )?scripts/cluster/' "$doc/README.md"; then
    echo "FAIL: the README runs a cluster script from scripts/cluster/, which is not installed"
    failed=1
fi
# The pages' FILES sections name the prefix installed to, and what they name is there. A path
# is read as the page shows it: without the break points \: and the mark \% of the roff text.
shown() { sed 's/\\[:%]//g; s/\\-/-/g' "$1"; }
for page in orv-editor orv-layout orv-layout-svg vevuvedu-svg vevuvedu; do
    shown "$prefix/share/man/man1/$page.1" | grep -qF "$doc/" ||
        { echo "FAIL: the page of $page does not name $doc"; failed=1; }
done
shown "$prefix/share/man/man1/vevuvedu.1" | grep -qF "$prefix/share/orv-programs/cluster/submit " ||
    { echo "FAIL: the page of vevuvedu does not name the installed cluster scripts"; failed=1; }
for page in "$prefix"/share/man/man1/*.1; do
    if shown "$page" | grep -qE '/usr/local|PREFIX|~/\.local'; then
        echo "FAIL: $(basename "$page") still names /usr/local, PREFIX or ~/.local"
        failed=1
    fi
    for named in $(shown "$page" | sed -n 's/^\.I \(\/.*\)$/\1/p' | grep -F "$prefix/"); do
        [ -e "$named" ] || { echo "FAIL: $(basename "$page") names $named, not installed"; failed=1; }
    done
done
for script in submit vevuvedu.sbatch merge.sbatch vevuvedu-parallel; do
    [ -x "$prefix/share/orv-programs/cluster/$script" ] ||
        { echo "FAIL: share/orv-programs/cluster/$script missing"; failed=1; }
done
[ -f "$prefix/share/orv-programs/cluster/run-folder.sh" ] ||
    { echo "FAIL: share/orv-programs/cluster/run-folder.sh, which the scripts read, missing"; failed=1; }
# Every picture the README shows is installed beside it.
for picture in $(grep -o 'docs/[A-Za-z0-9._-]*\.svg' "$doc/README.md" 2>/dev/null | sort -u); do
    [ -f "$doc/$picture" ] || { echo "FAIL: the README's picture $picture is not installed"; failed=1; }
done
"$prefix/bin/vevuvedu" 1 >/dev/null
[ $? = 45 ] || { echo "FAIL: the installed vevuvedu does not run"; failed=1; }
[ "$failed" = 0 ] && echo "ok: installed into a fresh prefix"
exit "$failed"
