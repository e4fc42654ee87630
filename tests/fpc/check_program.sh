#!/bin/sh
# Builds a check program of tests/fpc against the runtime and runs it:
#   check_program.sh kerntest      the kernel's event list and message lists
#                                  against plain reference versions
#   check_program.sh integtest     the integrators on equations bound by
#                                  hand, against exact solutions
set -u
prog=$1
here=$(cd "$(dirname "$0")" && pwd)
rt=$(cd "$here/../../runtime" && pwd)
tmp=$(mktemp -d "${TMPDIR:-/tmp}/$prog.XXXXXX")
trap 'rm -rf "$tmp"' EXIT INT TERM
if ! fpc -Mdelphi -O2 -Fu"$rt" -FU"$tmp" -FE"$tmp" "$here/$prog.pas" >"$tmp/fpc.log" 2>&1; then
    cat "$tmp/fpc.log" >&2
    echo "$prog: $prog.pas does not compile" >&2
    exit 1
fi
"$tmp/$prog" </dev/null || exit 1
