#!/usr/bin/env bash
# The files of runs of the binary: two translations at once in one
# directory, writes that fail (a file size limit), a FIFO as the model.
# usage: files.sh TALVEN_BINARY SOURCE_DIR
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

# Each model's outputs alone, for reference.
for m in gen_modules msg_bank; do
  mkdir "ref-$m" && cp "$src/tests/models/$m.tlv" "ref-$m/$m.tlv"
  (cd "ref-$m" && "$bin" "$m.tlv" >/dev/null 2>&1) || echo "FAIL: reference run of $m"
done

# Two translations at once, many times: each ends well, and PRU.PAS and
# unid1.pas come whole from one model, the same one.
mkdir together && cp "$src"/tests/models/{gen_modules,msg_bank}.tlv together/
mixed=0 failed=0
for i in $(seq 20); do
  (cd together || exit 1
   "$bin" gen_modules.tlv >a.out 2>a.err & pid=$!
   "$bin" msg_bank.tlv >b.out 2>b.err; b=$?; wait $pid; a=$?
   [ $a -eq 0 ] && [ $b -eq 0 ] && [ ! -s a.err ] && [ ! -s b.err ]) || failed=$((failed+1))
  from=none
  for m in gen_modules msg_bank; do
    cmp -s together/PRU.PAS "ref-$m/PRU.PAS" && cmp -s together/unid1.pas "ref-$m/unid1.pas" && from=$m
  done
  [ $from = none ] && mixed=$((mixed+1))
done
check "two runs at once both succeed" test $failed -eq 0
check "outputs of runs at once come whole from one model" test $mixed -eq 0
check "each main program whole" cmp -s together/gen_modules.DPR ref-gen_modules/gen_modules.DPR
check "each main program whole (2)" cmp -s together/msg_bank.DPR ref-msg_bank/msg_bank.DPR

# Writes cut short by a file size limit: exit 2 naming the file, and the
# outputs of the good run before are all still there, unchanged.
mkdir limited && cp "$src/tests/models/msg_bank.tlv" limited/
(cd limited && "$bin" msg_bank.tlv >/dev/null 2>&1)
(cd limited && ls -A && cat PRU.PAS unid1.pas msg_bank.DPR) >before.txt
(cd limited && ulimit -f 1 && exec "$bin" msg_bank.tlv >out.txt 2>err.txt); code=$?
(cd limited && ls -A && cat PRU.PAS unid1.pas msg_bank.DPR) | grep -v '^\(out\|err\)\.txt$' >after.txt
check "failed write exits 2" test $code -eq 2
check "failed write names the file" grep -q '^talven: PRU.PAS: ' limited/err.txt
check "failed write leaves the outputs as they were" cmp -s before.txt after.txt

# A FIFO without a writer: refused at once, not waited on.
mkfifo fifo.tlv
timeout 10 "$bin" fifo.tlv >out.txt 2>err.txt; code=$?
check "FIFO refused with exit 2" test $code -eq 2
check "FIFO message" grep -qx 'talven: fifo.tlv: not a regular file' err.txt
check "nothing written for the FIFO" test ! -e PRU.PAS -a ! -e Testigo.TLQ

echo "$pass passed, $fail failed"
test $fail -eq 0
