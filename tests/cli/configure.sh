#!/usr/bin/env bash
# The translator builds on a machine without GoogleTest: CMake configured
# as if it were missing, then talven built (unoptimised, which is quicker)
# and used.
# usage: configure.sh SOURCE_DIR
set -u
src=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $1"; cat "$work/log"; exit 1; }
cmake -S "$src" -B "$work/b" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON >"$work/log" 2>&1 || fail "configure without GoogleTest"
cmake --build "$work/b" --target help >"$work/targets" 2>&1
grep -q 'talven_tests' "$work/targets" && fail "test program configured without GoogleTest"
cmake --build "$work/b" -j 2 --target talven >"$work/log" 2>&1 || fail "talven does not build"
cp "$src/examples/bank.tlv" "$work/"
(cd "$work" && "$work/b/talven" bank.tlv >"$work/log" 2>&1) || fail "the built talven does not translate"
test -f "$work/bank.DPR" || fail "no main program"
echo "configure without GoogleTest: talven built and translating"
