#!/usr/bin/env bash
# Runs the two fuzz targets one after the other, SECONDS each, on one core
# at the lowest priority, with the language's dictionary and every model of
# the repository as seeds.
#   smoke:    a fresh corpus; a finding fails (make test).
#   campaign: the corpus is kept in BUILD/fuzz between runs (make fuzz).
# A finding is kept in BUILD/fuzz/findings. The last lines of each run give
# its executions and coverage.
#
# usage: run.sh BUILD SOURCE_DIR SECONDS smoke|campaign
set -u
build=$(realpath "${1:?usage: run.sh BUILD SOURCE_DIR SECONDS smoke|campaign}")
src=$(realpath "${2:?}")
seconds=${3:?}
mode=${4:?}
base=$build/fuzz
mkdir -p "$base/findings" "$base/seeds"
"$build/talven_fuzz_dict" >"$base/talven.dict" || exit 1
(cd "$src" && { git ls-files '*.tlv' 2>/dev/null || find . -name '*.tlv' -not -path './build*'; }) |
  while IFS= read -r f; do cp "$src/$f" "$base/seeds/$(echo "$f" | tr / _)"; done
tmp=$(mktemp -d "${TMPDIR:-/tmp}/talven-fuzz.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
status=0
for kind in text model; do
  if [ "$mode" = campaign ]; then corpus=$base/corpus-$kind; else corpus=$tmp/corpus-$kind; fi
  mkdir -p "$corpus" "$tmp/work-$kind"
  case $kind in text) maxlen=65536 ;; model) maxlen=4096 ;; esac
  log=$base/$kind.log
  # The translator's files land in a scratch directory, not among the seeds.
  (cd "$tmp/work-$kind" && nice -n 19 "$build/talven_fuzz_$kind" "$corpus" "$base/seeds" \
    -dict="$base/talven.dict" -max_len=$maxlen -timeout=20 -rss_limit_mb=2048 \
    -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$base/findings/$kind-" >"$log" 2>&1)
  code=$?
  grep -E '^#[0-9]+.*(DONE|pulse)' "$log" | tail -1 | sed "s/^/$kind: /"
  grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" | sed "s/^/$kind: /"
  if [ $code -ne 0 ]; then
    echo "$kind: FINDING (exit $code); see $log and $base/findings" >&2
    grep -E 'ERROR|SUMMARY|==[0-9]+==' "$log" | head -5 >&2
    status=1
  fi
done
exit $status
