#!/bin/sh
# Compiles every runtime unit on its own (-dRTCOMPILEONLY: without a
# model), then checks them three ways:
#  - every name of runtime/NAMES.txt is declared by the unit it lists;
#  - runtime/check/rtcheck.pas names a sample of what generated text
#    uses, in the templates' shapes, and runs the kernel on its own
#    tables;
#  - runtime/check/model holds a small generated program (I -> R -> E):
#    shapes.pas, template texts as the generator fills them, must
#    compile against its pru; the program itself is built as every
#    generated program is, so the runtime drives the model's own
#    tables, and its report must show messages leaving the network at
#    TSIM.
# Everything is written to a temporary directory.  Exit status 0 only
# when all of it holds.
set -u

here=$(cd "$(dirname "$0")" && pwd)
rt=$(cd "$here/../../runtime" && pwd)
tmp=$(mktemp -d "${TMPDIR:-/tmp}/rtcheck.XXXXXX")
trap 'rm -rf "$tmp"' EXIT INT TERM

units="rtmem rtdefs rtnote rtdist rtmath rtkern rtexp rtparam rtargs rtmodel rtresult rtjobs rtprog rtfail rtsvg rtdlg rtplot rtchart rtshell dialogs graphics forms"
fpcopt="-Mdelphi -vw -Fu$rt"
alone="$fpcopt -dRTCOMPILEONLY"

fail() {
    echo "runtime: FAILED: $1" >&2
    exit 1
}

mkdir -p "$tmp/std" "$tmp/bound" "$tmp/model" "$tmp/shapes"
cd "$tmp" || exit 1

n=0
for u in $units; do
    if ! fpc $alone -FU"$tmp/std" -FE"$tmp/std" "$rt/$u.pas" >"$tmp/$u.log" 2>&1; then
        cat "$tmp/$u.log" >&2
        fail "unit $u does not compile"
    fi
    n=$((n + 1))
done

# One program per unit, using that unit alone, so a name listed under
# the wrong unit is caught too.  Fields (x^.f, x[].f) are not listed.
for u in $(cut -f2 "$rt/NAMES.txt" | sort -u); do
    prog="$tmp/names_$u.pas"
    {
        echo "program names_$u;"
        echo "uses $u;"
        awk -F '\t' -v u="$u" '$2 == u && $1 !~ /[][^]/ {
            printf "{$IF NOT DECLARED(%s)}{$ERROR %s is not in %s}{$ENDIF}\n", $1, $1, u }' \
            "$rt/NAMES.txt"
        echo "begin end."
    } >"$prog"
    if ! fpc $alone -FU"$tmp/std" -FE"$tmp/std" "$prog" >"$tmp/names_$u.log" 2>&1; then
        grep -E 'Error|Fatal' "$tmp/names_$u.log" >&2
        fail "NAMES.txt lists names that $u does not declare"
    fi
done

if ! fpc $alone -FU"$tmp/std" -FE"$tmp/std" "$rt/check/rtcheck.pas" >"$tmp/rtcheck.log" 2>&1; then
    cat "$tmp/rtcheck.log" >&2
    fail "rtcheck.pas does not compile"
fi
"$tmp/std/rtcheck" </dev/null >"$tmp/rtcheck.out" 2>&1 || {
    cat "$tmp/rtcheck.out" >&2
    fail "rtcheck reported failures"
}
[ "$(tail -n 1 "$tmp/rtcheck.out")" = "ok" ] || fail "rtcheck did not finish"

cp "$rt"/check/model/* "$tmp/model/"
if ! fpc $fpcopt -Fu"$tmp/model" -FU"$tmp/shapes" -FE"$tmp/shapes" \
        "$tmp/model/shapes.pas" >"$tmp/shapes.log" 2>&1; then
    grep -E 'Error|Fatal' "$tmp/shapes.log" >&2
    fail "template shapes do not compile against the runtime"
fi
if ! fpc $fpcopt -Fu"$tmp/model" -FU"$tmp/bound" -FE"$tmp/bound" \
        "$tmp/model/bank.dpr" >"$tmp/bank.log" 2>&1; then
    cat "$tmp/bank.log" >&2
    fail "the sample generated program does not compile"
fi
"$tmp/bound/bank" </dev/null >"$tmp/bank.out" 2>&1 || {
    cat "$tmp/bank.out" >&2
    fail "the sample generated program failed"
}
grep -q '^time  *100\.0000' "$tmp/bank.out" || {
    cat "$tmp/bank.out" >&2
    fail "the sample run did not reach TSIM"
}
awk '$1 == "EL_SALE" && $5 > 0 { ok = 1 } END { exit !ok }' "$tmp/bank.out" || {
    cat "$tmp/bank.out" >&2
    fail "no message reached the exit node"
}

echo "runtime: $n units compiled"
