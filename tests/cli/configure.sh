#!/usr/bin/env bash
# The translator builds on a machine without GoogleTest, from a source
# tree whose path holds blanks, dots and letters beyond ASCII: the tree
# copied there, CMake configured as if GoogleTest were missing, talven
# built (unoptimised, which is quicker), then a model translated and an
# example built and run with the tree's own runtime units.
# usage: configure.sh SOURCE_DIR
set -u
src=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A compiler cache, when one is used, sees the same relative paths on
# every run of this test.
export CCACHE_BASEDIR="$work"
fail() { echo "FAIL: $1"; cat "$work/log"; exit 1; }
tree="$work/Mes sources v2.1/año.d"
mkdir -p "$tree"
for f in CMakeLists.txt cmake src bench runtime examples docs man README.md; do
  [ -e "$src/$f" ] && cp -r "$src/$f" "$tree/"
done
rm -rf "$tree"/examples/*-build
b="$tree/b uild"
cmake -S "$tree" -B "$b" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON >"$work/log" 2>&1 || fail "configure without GoogleTest"
cmake --build "$b" --target help >"$work/targets" 2>&1
grep -q 'talven_tests' "$work/targets" && fail "test program configured without GoogleTest"
cmake --build "$b" -j 2 --target talven >"$work/log" 2>&1 || fail "talven does not build"
cp "$src/examples/bank.tlv" "$work/"
(cd "$work" && "$b/talven" bank.tlv >"$work/log" 2>&1) || fail "the built talven does not translate"
test -f "$work/bank.DPR" || fail "no main program"
"$b/talven" --version >"$work/log" 2>&1
grep -qxF "runtime units: $tree/runtime" "$work/log" || fail "the tree's runtime units not found"
(cd "$tree" && "$b/talven" run examples/bank.tlv -- --reps 1 --quiet --out "ré sults.1" \
  </dev/null >"$work/log" 2>&1) || fail "talven run in the tree"
test -s "$tree/ré sults.1/bank.report.txt" || fail "no report from talven run in the tree"
test -x "$tree/examples/bank-build/bank" || fail "no program beside the example"
echo "configure without GoogleTest: talven built in '$tree', translating, building and running"
