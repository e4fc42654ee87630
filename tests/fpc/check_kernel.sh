#!/bin/sh
# Builds tests/fpc/kerntest.pas against the runtime and runs it: the
# kernel's event list and message lists against plain reference versions.
set -u
here=$(cd "$(dirname "$0")" && pwd)
rt=$(cd "$here/../../runtime" && pwd)
tmp=$(mktemp -d "${TMPDIR:-/tmp}/kerntest.XXXXXX")
trap 'rm -rf "$tmp"' EXIT INT TERM
if ! fpc -Mdelphi -O2 -Fu"$rt" -FU"$tmp" -FE"$tmp" "$here/kerntest.pas" >"$tmp/fpc.log" 2>&1; then
    cat "$tmp/fpc.log" >&2
    echo "kernel: kerntest.pas does not compile" >&2
    exit 1
fi
"$tmp/kerntest" </dev/null || exit 1
