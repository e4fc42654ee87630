#!/usr/bin/env bash
# talven run as a newcomer uses it: an empty directory holding only a
# model, then `talven run`, then the same again without a change.
# usage: run_model.sh TALVEN_BINARY SOURCE_DIR
set -u
bin=$1
src=$2
fail=0
pass=0
check() {  # check NAME CONDITION...
  local name=$1; shift
  if "$@"; then pass=$((pass+1)); else echo "FAIL: $name"; fail=$((fail+1)); fi
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$src/examples/bank.tlv" model.tlv

# Three replications (the menu's N 3 reports the last).
echo "N 3" | "$bin" run model.tlv >out.txt 2>err.txt; code=$?
check "run exits 0" test $code -eq 0
check "nothing on stderr" test ! -s err.txt
check "third replication reported" grep -q '^time .*replication 3$' out.txt
check "program built" test -x model-build/model
check "no generated files beside the model" \
  test ! -e PRU.PAS -a ! -e unid1.pas -a ! -e model.DPR -a ! -e Testigo.TLQ

# Unchanged: run again without building.
before=$(stat -c %Y.%y model-build/model)
echo "N 1" | "$bin" run model.tlv >out2.txt 2>&1; code=$?
check "second run exits 0" test $code -eq 0
check "second run not rebuilt" test "$(stat -c %Y.%y model-build/model)" = "$before"
check "second run ran" grep -q 'replication 1$' out2.txt

# Arguments after -- reach the program; without a terminal it reads its
# input from the pipe as before.
printf 'Q\n' | "$bin" run model.tlv -- >out3.txt 2>&1; code=$?
check "run with -- exits 0" test $code -eq 0

# A model error stops before anything runs, exit 3.
cp "$src/tests/models/no_end.tlv" broken.tlv
"$bin" run broken.tlv >out4.txt 2>err4.txt </dev/null; code=$?
check "model error exits 3" test $code -eq 3
check "model error line" grep -qx 'broken.tlv:12:1: error: END. missing or misplaced' err4.txt
check "nothing ran" test ! -s out4.txt

echo "$pass passed, $fail failed"
test $fail -eq 0
