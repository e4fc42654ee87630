#!/usr/bin/env bash
# The translator's folders stand in layers; a folder may include the
# headers of, and call, only its own layer and the ones below:
#   0 ground (compiler object, channels, diagnostics)
#   1 source   2 symbols   3 decl, expr   4 stmt, continuous (equations
#   are statements)   5 model   6 codegen  7 cli (the commands and the
#   pass order)
# Calls are read from the built objects (each object's undefined symbols,
# mapped to the folder whose object defines them), includes from the source.
# A folder's state header (<name>_state.h) holds data types only, no free
# routine: any file may include it (the compiler object holds every
# folder's state); its routines are in the folder's other headers.
# What runs against the order today is listed in allowed.txt beside this
# script; the list may only shrink: a new upward call or include fails, and
# so does a listed one that is gone (take its line out).
#
# usage: check.sh SOURCE_DIR BUILD_DIR
set -u
src=$(realpath "${1:?usage: check.sh SOURCE_DIR BUILD_DIR}")
build=$(realpath "${2:?}")
allowed=$src/tests/layers/allowed.txt
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

rank() {
    case $1 in
        ground) echo 0 ;; source) echo 1 ;; symbols) echo 2 ;;
        decl | expr) echo 3 ;; stmt | continuous) echo 4 ;; model) echo 5 ;;
        codegen) echo 6 ;; cli) echo 7 ;; *) echo 99 ;;
    esac
}
for f in "$src"/src/*/; do
    f=$(basename "$f")
    [ "$(rank "$f")" = 99 ] && { echo "layers: folder src/$f has no layer (add it to check.sh)"; exit 1; }
done

# A routine declared in a state header: "routine HEADER:LINE". A line at
# the top level naming something with "(" but opening no body declares one
# (inline helpers, written with their body, are data's own).
for file in "$src"/src/*/*_state.h; do
    rel=${file#"$src"/src/}
    grep -nE '^[A-Za-z_].*[A-Za-z0-9_] *\(' "$file" | grep -v '{' | grep -vE '^[0-9]+:static_assert' |
        sed -E "s|^([0-9]+):.*|routine $rel:\\1|"
done >"$tmp/found"

# Upward includes: "include FILE -> HEADER"; state headers are below all.
for file in "$src"/src/*/*.h "$src"/src/*/*.cpp; do
    from=$(basename "$(dirname "$file")")
    rel=${file#"$src"/src/}
    grep -oE '^#include "[a-z_]+/[a-z_]+\.h"' "$file" | sed -E 's/#include "(.*)"/\1/' |
        while read -r h; do
            to=${h%%/*}
            case $h in *_state.h) continue ;; esac
            [ "$(rank "$to")" -gt "$(rank "$from")" ] && echo "include $rel -> $h"
        done
done >>"$tmp/found"

# Upward calls: "call FROM -> TO NAME" (names without their arguments).
objs=$(ls "$build"/CMakeFiles/talvencore.dir/src/*/*.o "$build"/CMakeFiles/talvencli.dir/src/*/*.o 2>/dev/null)
[ -n "$objs" ] || { echo "layers: no built objects under $build"; exit 1; }
name() { sed -E 's/\(anonymous namespace\):://g; s/ \[clone.*//; s/\[abi:cxx11\]//g; s/\(.*//'; }
for o in $objs; do
    f=$(basename "$(dirname "$o")")
    # an object left by a source since moved or deleted is not the program
    rel=${o#*.dir/}
    [ -f "$src/${rel%.o}" ] || continue
    nm -C --defined-only "$o" | awk '$2 ~ /^[TDBR]$/ {$1 = ""; $2 = ""; sub(/^  /, ""); print}' |
        name | sed "s/^/$f\t/" >>"$tmp/def"
    nm -C -u "$o" | awk '{$1 = ""; sub(/^ /, ""); print}' | name | sed "s/^/$f\t/" >>"$tmp/use"
done
awk -F'\t' 'NR == FNR {def[$2] = $1; next} ($2 in def) && def[$2] != $1 {print $1 "\t" def[$2] "\t" $2}' \
    "$tmp/def" "$tmp/use" | sort -u |
    while IFS=$'\t' read -r from to sym; do
        [ "$(rank "$to")" -gt "$(rank "$from")" ] && echo "call $from -> $to $sym"
    done >>"$tmp/found"
sort -u "$tmp/found" -o "$tmp/found"
grep -vE '^(#|$)' "$allowed" | sort -u >"$tmp/allowed"

new=$(comm -23 "$tmp/found" "$tmp/allowed")
gone=$(comm -13 "$tmp/found" "$tmp/allowed")
status=0
if [ -n "$new" ]; then
    echo "layers: against the order of the folders (move the routine down, or call it from above):"
    echo "$new" | sed 's/^/  /'
    status=1
fi
if [ -n "$gone" ]; then
    echo "layers: no longer needed, take these lines out of tests/layers/allowed.txt:"
    echo "$gone" | sed 's/^/  /'
    status=1
fi
echo "layers: $(wc -l <"$tmp/allowed") allowed exceptions ($(grep -c '^call' "$tmp/allowed") calls, $(grep -c '^include' "$tmp/allowed") includes)"
exit $status
