#!/bin/sh
# Installs the runtime units into DEST, compiled once: every unit that
# does not depend on a model is compiled here with fpc and installed as
# .ppu/.o only, so a model's build never compiles it again; a unit that
# names the model's unit pru in a uses clause, or uses such a unit, can
# only be compiled with a model and is installed as source.
#
# usage: install-runtime.sh RUNTIME_SOURCE_DIR DEST
set -eu
src=$(cd "${1:?usage: install-runtime.sh RUNTIME_SOURCE_DIR DEST}" && pwd)
dest=${2:?usage: install-runtime.sh RUNTIME_SOURCE_DIR DEST}
command -v fpc >/dev/null || {
    echo "install-runtime: fpc not found: install Free Pascal (Debian: apt-get install fpc)" >&2
    exit 1
}
mkdir -p "$dest"
dest=$(cd "$dest" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/talven-rt.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM

# The units each unit uses, one "unit used" pair a line, lower case:
# comments and directives are dropped, the text between conditionals kept,
# so a unit used under any condition counts.
for f in "$src"/*.pas; do
    u=$(basename "$f" .pas | tr 'A-Z' 'a-z')
    sed -e 's|//.*||' "$f" | tr 'A-Z\n' 'a-z ' |
        sed -e 's/{[^}]*}/ /g' -e 's/(\*[^*]*\*)/ /g' |
        grep -o 'uses[^;]*;' |
        sed -e 's/^uses//' -e 's/;$//' | tr ',' '\n' | tr -d ' \t' |
        sed -e '/^$/d' -e "s/^/$u /"
done >"$work/uses"

# Units bound to a model: pru's users, then their users, until none is new.
echo pru >"$work/bound"
while :; do
    awk 'NR == FNR { b[$1] = 1; next } ($2 in b) && !($1 in b) { print $1 }' \
        "$work/bound" "$work/uses" | sort -u >"$work/new"
    [ -s "$work/new" ] || break
    cat "$work/new" >>"$work/bound"
done

rm -f "$dest"/*.pas "$dest"/*.ppu "$dest"/*.o
mkdir -p "$work/units"
n=0
for f in "$src"/*.pas; do
    u=$(basename "$f" .pas | tr 'A-Z' 'a-z')
    if grep -qx "$u" "$work/bound"; then
        cp "$f" "$dest/"
        continue
    fi
    fpc -Mdelphi -Fu"$src" -FU"$work/units" "$f" >"$work/fpc.log" 2>&1 || {
        cat "$work/fpc.log" >&2
        echo "install-runtime: unit $u does not compile" >&2
        exit 1
    }
    n=$((n + 1))
done
cp "$work"/units/*.ppu "$work"/units/*.o "$dest/"
echo "install-runtime: $n units compiled, $(($(wc -l <"$work/bound") - 1)) installed as source, in $dest"
