#!/usr/bin/env bash
# Writes into OUTDIR everything the translator produces for every model of
# tests/models and examples/ (and any extra .tlv given): the generated files,
# standard output and error, and the exit code, once plainly and once in
# trace mode.  Two such directories, taken before and after a change that
# must not alter behaviour, are compared with `diff -r`.
#
# usage: generated.sh TALVEN_BINARY SOURCE_DIR OUTDIR [MODEL.tlv ...]
set -u
bin=$(realpath "${1:?usage: generated.sh TALVEN_BINARY SOURCE_DIR OUTDIR}")
src=$(realpath "${2:?}")
out=$(realpath -m "${3:?}")
shift 3
mkdir -p "$out"
tmp=$(mktemp -d "${TMPDIR:-/tmp}/oracle.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
for m in "$src"/tests/models/*.tlv "$src"/examples/*.tlv "$@"; do
    [ -f "$m" ] || continue
    name=$(basename "$m"); stem=${name%%.*}
    for mode in plain trace; do
        dir=$tmp/$stem.$mode
        rm -rf "$dir"; mkdir -p "$dir"
        cp "$m" "$dir/$name"
        [ -d "$src/tests/dbf/$stem" ] && cp -R "$src/tests/dbf/$stem/." "$dir/"
        if [ $mode = plain ]; then
            (cd "$dir" && "$bin" "$name" </dev/null >stdout.txt 2>stderr.txt; echo $? >exit.txt)
        else
            (cd "$dir" && "$bin" "$name" trace </dev/null >stdout.txt 2>stderr.txt; echo $? >exit.txt)
        fi
        rm -f "$dir/$name"
        (cd "$dir" && find . -name '*.dbf' -delete)
        mkdir -p "$out/$stem.$mode"
        cp -R "$dir/." "$out/$stem.$mode/"
    done
done
