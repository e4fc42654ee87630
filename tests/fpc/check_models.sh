#!/bin/sh
# Translates every model that must translate (the models named in
# tests/models/valid.txt, and every model of examples/) with the built
# compiler, each in a temporary directory of its own, and compiles the
# generated program (PRU.PAS, unid<n>.pas, <model>.DPR) with
# fpc -Mdelphi against runtime/.  The dBase tables of a model <stem>.tlv
# are copied from tests/dbf/<stem>/ beside it.  Exit status 0 only when
# all of them translate with exit code 0 and compile.
#
# usage: check_models.sh TALVEN_BINARY SOURCE_DIR
set -u

bin=${1:?usage: check_models.sh TALVEN_BINARY SOURCE_DIR}
src=$(cd "${2:?usage: check_models.sh TALVEN_BINARY SOURCE_DIR}" && pwd)
case $bin in /*) ;; *) bin=$(pwd)/$bin ;; esac
rt=$src/runtime
tmp=$(mktemp -d "${TMPDIR:-/tmp}/models.XXXXXX")
trap 'rm -rf "$tmp"' EXIT INT TERM

models=""
while read -r name _; do
    case $name in ''|'#'*) continue ;; esac
    models="$models $src/tests/models/$name"
done <"$src/tests/models/valid.txt"
for m in "$src"/examples/*.tlv; do
    [ -f "$m" ] && models="$models $m"
done

pass=0
fail=0
for m in $models; do
    name=$(basename "$m")
    stem=${name%%.*}
    dir=$tmp/$stem
    mkdir -p "$dir/units"
    cp "$m" "$dir/$name"
    # Tables a model reads while it is translated lie beside it.
    [ -d "$src/tests/dbf/$stem" ] && cp -R "$src/tests/dbf/$stem/." "$dir/"
    if ! (cd "$dir" && "$bin" "$name" </dev/null >talven.log 2>&1); then
        echo "FAIL $name: translation failed" >&2
        cat "$dir/talven.log" >&2
        fail=$((fail + 1))
        continue
    fi
    if ! (cd "$dir" && fpc -Mdelphi -Fu"$rt" -FUunits -FEunits "$stem.DPR" >fpc.log 2>&1); then
        echo "FAIL $name: generated program does not compile" >&2
        grep -E 'Error|Fatal' "$dir/fpc.log" >&2
        fail=$((fail + 1))
        continue
    fi
    echo "ok   $name"
    pass=$((pass + 1))
done

echo "models: $pass passed, $fail failed"
[ "$fail" -eq 0 ] && [ "$pass" -gt 0 ]
