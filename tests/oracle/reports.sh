#!/usr/bin/env bash
# Builds and runs the simulation of every model that must translate (the
# models of tests/models/valid.txt and examples/, and any extra .tlv given)
# and keeps what each run prints, in OUTDIR/<model>.txt.  A change that
# must not alter results leaves two such directories identical.
#
# usage: reports.sh TALVEN_BINARY SOURCE_DIR OUTDIR [MODEL.tlv ...]
# RUNARGS (environment) are passed to every simulation program; its
# standard input is empty, so the menu runs the model once.
set -u
bin=$(realpath "${1:?usage: reports.sh TALVEN_BINARY SOURCE_DIR OUTDIR}")
src=$(realpath "${2:?}")
out=$(realpath -m "${3:?}")
shift 3
mkdir -p "$out"
tmp=$(mktemp -d "${TMPDIR:-/tmp}/reports.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
models=()
while read -r name _; do
    case $name in ''|'#'*) continue ;; esac
    models+=("$src/tests/models/$name")
done <"$src/tests/models/valid.txt"
models+=("$src"/examples/*.tlv "$@")
fail=0
for m in "${models[@]}"; do
    name=$(basename "$m"); stem=${name%%.*}
    dir=$tmp/$stem; mkdir -p "$dir/bin"
    cp "$m" "$dir/$name"
    [ -d "$src/tests/dbf/$stem" ] && cp -R "$src/tests/dbf/$stem/." "$dir/"
    if ! (cd "$dir" && "$bin" "$name" </dev/null >talven.log 2>&1 &&
          fpc -Mdelphi -Fu"$src/runtime" -FUbin -FEbin "$stem.DPR" >fpc.log 2>&1); then
        echo "FAIL $name: not built" >&2; fail=1; continue
    fi
    (cd "$dir" && timeout 120 ./bin/"$stem" ${RUNARGS:-} </dev/null >"$out/$stem.txt" 2>&1; echo "exit $?" >>"$out/$stem.txt")
done
exit $fail
