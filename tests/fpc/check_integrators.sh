#!/bin/sh
# Builds tests/fpc/integtest.pas against the runtime and runs it: the
# integrators on equations bound by hand, against exact solutions.
set -u
here=$(cd "$(dirname "$0")" && pwd)
rt=$(cd "$here/../../runtime" && pwd)
tmp=$(mktemp -d "${TMPDIR:-/tmp}/integtest.XXXXXX")
trap 'rm -rf "$tmp"' EXIT INT TERM
if ! fpc -Mdelphi -O2 -Fu"$rt" -FU"$tmp" -FE"$tmp" "$here/integtest.pas" >"$tmp/fpc.log" 2>&1; then
    cat "$tmp/fpc.log" >&2
    echo "integrators: integtest.pas does not compile" >&2
    exit 1
fi
"$tmp/integtest" </dev/null || exit 1
