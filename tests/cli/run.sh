#!/usr/bin/env bash
# The binary as a user runs it: exit codes, standard streams and files.
set -u
bin=$1
src=$2
. "$(dirname "$0")/lib.sh"
mkdir models
cp "$src/tests/models/no_end.tlv" models/bank.tlv
cp "$src/tests/models/minimal.tlv" good.tlv

"$bin" models/bank.tlv >out.txt 2>err.txt; code=$?
check "model error exits 3" test $code -eq 3
check "editor line" grep -qx 'models/bank.tlv:12:1: error: END. missing or misplaced' err.txt
check "witness in working dir" test -f Testigo.TLQ
check "no temporaries" test ! -e MODINI -a ! -e MODPRO -a ! -e MODEDI
rm -f Testigo.TLQ

"$bin" good.tlv trace </dev/null >out.txt 2>err.txt; code=$?
check "trace with closed input finishes" test $code -eq 0
check "trace printed" grep -q '^PROCESAR good.tlv$' out.txt
check "witness written" grep -qx 'Fin precompilacion' Testigo.TLQ

"$bin" >out.txt 2>err.txt; code=$?
check "no argument exits 2" test $code -eq 2
check "banner first" grep -qx 'TALVEN Compiler. Castavel.' out.txt
"$bin" missing.tlv >out.txt 2>err.txt; code=$?
check "unreadable source exits 2" test $code -eq 2
check "one line on stderr" test "$(wc -l <err.txt)" -eq 1
"$bin" --help >out.txt; check "help exits 0" test $? -eq 0
"$bin" --version >out.txt; check "version exits 0" test $? -eq 0
check "version names the tree's units" grep -qxF "runtime units: $src/runtime" out.txt
"$bin" help >out.txt; check "help as a word exits 0" test $? -eq 0
check "help names talven run" grep -q '^  talven run MODEL' out.txt
"$bin" --bogus >out.txt 2>err.txt; check "unknown option exits 2" test $? -eq 2
check "unknown option named" grep -qx 'talven: unknown option --bogus' err.txt

finish
