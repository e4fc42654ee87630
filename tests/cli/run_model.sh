#!/usr/bin/env bash
# talven run as a newcomer uses it: an empty directory holding only a
# model, then `talven run`, then the same again without a change.
# usage: run_model.sh TALVEN_BINARY SOURCE_DIR
set -u
bin=$1
src=$2
. "$(dirname "$0")/lib.sh"
cp "$src/examples/bank.tlv" model.tlv

# Three replications: each report, then the summary; the program's files
# in the working directory.
"$bin" run model.tlv -- --reps 3 >out.txt 2>err.txt </dev/null; code=$?
check "run exits 0" test $code -eq 0
check "nothing on stderr" test ! -s err.txt
for k in 1 2 3; do
  check "replication $k reported" grep -q "^time .*replication $k\$" out.txt
done
check "summary of three" grep -q '^replications 1 to 3 ' out.txt
check "report file in the working directory" test -s model.report.txt
check "replications table" test "$(wc -l <replications.csv)" -eq 4
check "program built" test -x model-build/model
check "no generated files beside the model" \
  test ! -e PRU.PAS -a ! -e unid1.pas -a ! -e model.DPR -a ! -e Testigo.TLQ

# Unchanged: run again without building; the arguments reach the program.
before=$(stat -c %Y.%y model-build/model)
"$bin" run model.tlv --rep 2 >out2.txt 2>&1 </dev/null; code=$?
check "second run exits 0" test $code -eq 0
check "second run not rebuilt" test "$(stat -c %Y.%y model-build/model)" = "$before"
check "second run ran replication 2" grep -q '^time .*replication 2$' out2.txt
check "second run ran nothing else" bash -c "! grep -q 'replication 1\$' out2.txt"

# The program's exit code is talven run's.
"$bin" run model.tlv -- --no-such-option >out3.txt 2>&1 </dev/null; code=$?
check "bad argument exits 2 as the program does" test $code -eq 2

# A model error stops before anything runs, exit 3.
cp "$src/tests/models/no_end.tlv" broken.tlv
"$bin" run broken.tlv >out4.txt 2>err4.txt </dev/null; code=$?
check "model error exits 3" test $code -eq 3
check "model error line" grep -qx 'broken.tlv:12:1: error: END. missing or misplaced' err4.txt
check "nothing ran" test ! -s out4.txt

# Without fpc: said so, exit 2, nothing half built taken for a program.
cp model.tlv other.tlv
env PATH=/nonexistent "$bin" build other.tlv >out5.txt 2>err5.txt; code=$?
check "no fpc exits 2" test $code -eq 2
check "no fpc said" grep -q '^talven: fpc not found' err5.txt
check "no program without fpc" test ! -e other-build/other

finish
