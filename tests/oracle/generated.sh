#!/usr/bin/env bash
# Writes into OUTDIR everything the translator produces for every model of
# tests/models, of the cases kept as data (tests/<behaviour>/<case>.tlv,
# stored as <behaviour>-<case>) and of examples/ (and any extra .tlv given): the generated files,
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
cases=()
for m in "$src"/tests/*/*.tlv; do
    case $m in "$src"/tests/models/*) continue ;; esac
    # a case has its expectation beside it (tests/whole/cases_test.cpp)
    more=("${m%.tlv}".*)
    [ ${#more[@]} -gt 1 ] && cases+=("$m")
done
for m in "$src"/tests/models/*.tlv "${cases[@]}" "$src"/examples/*.tlv "$@"; do
    [ -f "$m" ] || continue
    name=$(basename "$m"); stem=${name%%.*}
    case " ${cases[*]} " in *" $m "*) stem=$(basename "$(dirname "$m")")-$stem ;; esac
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
