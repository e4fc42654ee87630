#!/usr/bin/env bash
# make install into a temporary PREFIX (its install step: cmake --install
# of the build directory), then talven build of an example from another
# directory with only the installed files: the runtime units come
# precompiled from PREFIX, nothing from the source tree.
# usage: install.sh BUILD_DIR SOURCE_DIR
set -u
build=$1
src=$(cd "$2" && pwd)
. "$(dirname "$0")/lib.sh"
prefix="$work/pre fix.d/ünïts"

cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; code=$?
check "install exits 0" test $code -eq 0 || cat "$work/install.log"
check "talven installed" test -x "$prefix/bin/talven"
check "runtime precompiled" test -f "$prefix/lib/talven/runtime/rtkern.ppu" -a -f "$prefix/lib/talven/runtime/rtkern.o"
check "no source of precompiled units" test ! -e "$prefix/lib/talven/runtime/rtkern.pas"
check "documentation" test -f "$prefix/share/doc/talven/README.md"
for d in "$src"/docs/*.md; do
  check "docs/$(basename "$d")" cmp -s "$d" "$prefix/share/doc/talven/docs/$(basename "$d")"
done
if [ -f "$src/man/talven.1" ]; then
  check "manual page" cmp -s "$src/man/talven.1" "$prefix/share/man/man1/talven.1"
fi
"$prefix/bin/talven" --version >version.txt 2>&1
check "installed talven finds its units" \
  grep -qxF "runtime units: $(cd "$prefix/lib/talven/runtime" && pwd -P)" version.txt
check "examples" test -f "$prefix/share/doc/talven/examples/bank.tlv"
check "only the examples' models" \
  test -z "$(find "$prefix/share/doc/talven/examples" -mindepth 1 ! -name '*.tlv')"

mkdir -p "$work/models" "$work/elsewhere"
cp "$prefix/share/doc/talven/examples/bank.tlv" "$work/models/"
cd "$work/elsewhere"
"$prefix/bin/talven" build ../models/bank.tlv >out.txt 2>err.txt; code=$?
check "build exits 0" test $code -eq 0 || cat err.txt
check "program path printed" grep -qx "$work/models/bank-build/bank" out.txt
check "program built" test -x "$work/models/bank-build/bank"
log="$work/models/bank-build/fpc.log"
check "runtime from PREFIX" grep -q "Compiling $prefix/lib/talven/runtime/" "$log"
check "precompiled units not compiled again" bash -c "! grep -q 'Compiling .*rtkern.pas' '$log'"
check "nothing from the source tree" bash -c "! grep -qF '$src' '$log'"
"$work/models/bank-build/bank" --reps 1 >run.txt 2>&1
check "program runs" grep -q '^time .*replication 1$' run.txt

finish
