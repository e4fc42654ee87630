#!/bin/sh
# The benchmark models: genmodel writes models of about the size asked
# for, the same text for the same seed, with random names or names
# numbered in order; each of them, and each model kept in bench/models/,
# translates with exit code 0 and no message, and its generated program
# compiles with fpc -Mdelphi against runtime/.
#
# usage: check_generated.sh GENMODEL_BINARY TALVEN_BINARY SOURCE_DIR
set -u

gen=${1:?usage: check_generated.sh GENMODEL TALVEN SOURCE_DIR}
bin=${2:?}
src=$(cd "${3:?}" && pwd)
case $gen in /*) ;; *) gen=$(pwd)/$gen ;; esac
case $bin in /*) ;; *) bin=$(pwd)/$bin ;; esac
tmp=$(mktemp -d "${TMPDIR:-/tmp}/generated.XXXXXX")
trap 'rm -rf "$tmp"' EXIT INT TERM
fail=0

bad() {
    echo "FAIL $*" >&2
    fail=1
}

# model FILE: translate and build it in a directory of its own.
build() {
    name=$(basename "$1")
    dir=$tmp/${name%.tlv}
    mkdir -p "$dir/units"
    cp "$1" "$dir/m.tlv"
    if ! (cd "$dir" && "$bin" m.tlv </dev/null >talven.log 2>err.log) || [ -s "$dir/err.log" ]; then
        bad "$name: translation failed"
        cat "$dir/err.log" >&2
        return
    fi
    if ! (cd "$dir" && fpc -Mdelphi -dRTMODEL -Fu"$src/runtime" -FUunits -FEunits m.DPR >fpc.log 2>&1); then
        bad "$name: fpc failed"
        grep -E 'Error|Fatal' "$dir/fpc.log" | head -5 >&2
    fi
}

for sizes in "random 400" "ordered 400" "random 3000 7" "ordered 3000"; do
    set -- $sizes
    file=$tmp/gen_$1_$2.tlv
    "$gen" "$2" "$1" ${3:-} >"$file" || { bad "genmodel $sizes"; continue; }
    lines=$(wc -l <"$file")
    [ "$lines" -ge $(($2 * 9 / 10)) ] && [ "$lines" -le $(($2 * 11 / 10)) ] ||
        bad "genmodel $sizes: $lines lines"
    build "$file"
done

"$gen" 3000 random 7 | cmp -s - "$tmp/gen_random_3000.tlv" || bad "the same seed gave another model"
"$gen" 3000 random 8 | cmp -s - "$tmp/gen_random_3000.tlv" && bad "another seed gave the same model"
# Ordered names: the node headers name N000001, N000002, ... in order.
grep -o '^  N[0-9]* (' "$tmp/gen_ordered_400.tlv" | tr -dc '0-9\n' | sort -c -n ||
    bad "ordered names out of order"
grep -q '^  N[0-9]* (' "$tmp/gen_random_400.tlv" && bad "random names look numbered"

for m in "$src"/bench/models/*.tlv; do
    [ -f "$m" ] && build "$m"
done
exit $fail
