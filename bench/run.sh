#!/usr/bin/env bash
# make bench: how the translator's time and memory grow with the model.
# For generated models of 1 000 to 200 000 lines, with random names and with
# names numbered in order: the translation time (median of several runs),
# its time per source line and peak memory; up to 40 000 lines also the time
# fpc takes to build the generated program, and the ratio of the two (the
# median of paired runs). Then
# whether the targets hold, and the Google Benchmark of the hot routines.
# Times are CPU times (user + system, children included): on a shared
# machine they vary far less than wall times, which are shown beside them.
# The ratio compares like with like: the translation of one generated model
# (the whole process, from start to the files written) against fpc building
# the program generated from that same model with the command talven build
# runs, the runtime units compiled beforehand as an installed or an earlier
# build has them (fpc compiles again only those that use the model's units).
#
# usage: run.sh BUILD_DIR      (environment: SIZES, FPCMAX, BENCHDIR, ROUNDS, PAIRS)
set -eu
build=$(realpath "${1:-build}")
src=$(cd "$(dirname "$0")/.." && pwd)
sizes=${SIZES:-"1000 2000 5000 10000 20000 40000 100000 200000"}
fpcmax=${FPCMAX:-40000}
base=${BENCHDIR:-/dev/shm}   # a memory file system keeps disk waits out
[ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
work=$(mktemp -d "$base/talven-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
havefpc=$(command -v fpc >/dev/null && echo 1 || echo 0)
table=$work/table.txt

# The runtime units compiled once, by building a small model's program.
rtunits=$work/rtunits
if [ "$havefpc" = 1 ]; then
  mkdir -p "$work/rt" "$rtunits"
  "$build/genmodel" 1000 random >"$work/rt/m.tlv"
  (cd "$work/rt" && "$build/talven" m.tlv >/dev/null &&
   fpc -Mdelphi "-Fu$src/runtime" "-FU$rtunits" -FE. m.DPR >/dev/null) || havefpc=0
  rm -f "$rtunits"/PRU.* "$rtunits"/unid* "$rtunits"/m.*   # the model's own
  rm -rf "$work/rt"
fi

# How busy the machine is, which the wall times show.
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg 2>/dev/null || echo unknown)"
# What a run costs whatever the model (the process, its thread, the files
# it creates and renames): the smallest model's time. It weighs on the
# time per line of small models only, so the time per line is also shown
# without it (net/line), which is what must stay flat as models grow; of a
# static "hello" this machine's exec alone takes about 0.6 ms.
# It is timed in the rounds below, with the models.
mkdir -p "$work/start"
cp "$src/tests/models/minimal.tlv" "$work/start/m.tlv"
# On a shared machine the speed of the processor drifts over seconds, so
# the runs are taken in rounds, each round running every model once: a slow
# spell then weighs on every size alike instead of on whichever size it
# fell on. The fpc build is timed in rounds too, each beside a translation
# of the same model, and the ratio is the median of these pairs.
rounds=${ROUNDS:-7}
pairs=${PAIRS:-3}
models=()
for mode in random ordered; do
  for n in $sizes; do
    dir=$work/$mode$n
    mkdir -p "$dir"
    "$build/genmodel" "$n" "$mode" >"$dir/m.tlv"
    models+=("$mode$n")
  done
done
for ((r = 0; r < rounds; r++)); do
  (cd "$work/start" && "$build/measure" 3 "$build/talven" m.tlv) >>"$work/start/runs"
  for m in "${models[@]}"; do
    (cd "$work/$m" && "$build/measure" 1 "$build/talven" m.tlv) >>"$work/$m/runs"
  done
done
read -r startcpu < <(sort -n -k2 "$work/start/runs" | awk '{ c[NR] = $2 }
  END { print NR % 2 ? c[(NR + 1) / 2] : (c[NR / 2] + c[NR / 2 + 1]) / 2 }')
awk -v c="$startcpu" 'BEGIN { printf "start-up (a model of a few lines): %.2f ms\n", 1000 * c }'
if [ "$havefpc" = 1 ]; then
  for ((r = 0; r < pairs; r++)); do
    for m in "${models[@]}"; do
      n=${m#random}; n=${n#ordered}
      [ "$n" -le "$fpcmax" ] || continue
      dir=$work/$m
      rm -rf "$dir/bin"
      cp -R "$rtunits" "$dir/bin"
      read -r _ tcpu _ < <(cd "$dir" && "$build/measure" 3 "$build/talven" m.tlv)
      read -r fwall fcpu _ < <(cd "$dir" && "$build/measure" 1 \
        fpc -Mdelphi "-Fu$src/runtime" -FUbin -FEbin m.DPR)
      echo "$fwall $fcpu $tcpu" >>"$dir/pairs"
    done
  done
fi
printf '%-7s %7s %9s %9s %9s %7s %8s %7s %7s %9s %9s %7s\n' \
  names lines bytes wall_ms cpu_ms us/line net/line rss_MB lim_MB fpc_wall fpc_cpu tr/fpc
for m in "${models[@]}"; do
  dir=$work/$m
  lines=$(wc -l <"$dir/m.tlv")
  bytes=$(wc -c <"$dir/m.tlv")
  # medians of the rounds; the largest peak memory
  read -r wall cpu rss < <(awk '{ w[NR] = $1; c[NR] = $2; if ($3 > r) r = $3 }
    function med(a, n,   i, j, t) {
      for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j] < a[j - 1]; j--) {
        t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
      return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2 }
    END { print med(w, NR), med(c, NR), r }' "$dir/runs")
  fwall=- fcpu=- ratio=-
  if [ -s "$dir/pairs" ]; then
    read -r fwall fcpu ratio < <(awk '{ w[NR] = $1; c[NR] = $2; q[NR] = $3 / $2 }
      function med(a, n,   i, j, t) {
        for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j] < a[j - 1]; j--) {
          t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
        return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2 }
      END { print med(w, NR), med(c, NR), med(q, NR) }' "$dir/pairs")
  fi
  mode=${m%%[0-9]*}
  awk -v m="$mode" -v l="$lines" -v b="$bytes" -v w="$wall" -v c="$cpu" -v r="$rss" \
      -v fw="$fwall" -v fc="$fcpu" -v q="$ratio" -v s="$startcpu" 'BEGIN {
    lim = (10 * b + 10 * 1048576) / 1048576
    if (fc == "-") { fws = "-"; fcs = "-"; ratio = "-" }
    else { fws = sprintf("%.2f", fw); fcs = sprintf("%.2f", fc)
           ratio = sprintf("%.2f%%", 100 * q) }
    printf "%-7s %7d %9d %9.1f %9.1f %7.2f %8.2f %7.1f %7.1f %9s %9s %7s\n",
      m, l, b, 1000 * w, 1000 * c, 1e6 * c / l, 1e6 * (c - s) / l, r / 1024, lim,
      fws, fcs, ratio
  }' | tee -a "$table"
done

# The targets, from the table: time per line (net of the start-up) within
# 25 % across sizes for each kind of names, translation at most 2 % of the
# fpc build, peak memory at most 10 times the source plus 10 MB.
awk '{
  if (!($1 in lo) || $7 < lo[$1]) lo[$1] = $7
  if (!($1 in hi) || $7 > hi[$1]) hi[$1] = $7
  if (!($1 in rlo) || $6 < rlo[$1]) rlo[$1] = $6
  if (!($1 in rhi) || $6 > rhi[$1]) rhi[$1] = $6
  if ($8 > $9) { mem = mem " " $1 "/" $2 }
  if ($12 != "-") { r = $12; sub("%", "", r); if (r + 0 > worst) worst = r + 0 }
} END {
  ok = 1
  for (m in lo) {
    spread = 100 * (hi[m] - lo[m]) / lo[m]
    flat = spread <= 25
    ok = ok && flat
    printf "time per line, %s names: %.2f to %.2f us net of the start-up, spread %.0f %% (%s); with it %.2f to %.2f us (%.0f %%)\n",
      m, lo[m], hi[m], spread, flat ? "within 25 %" : "MISSED: over 25 %",
      rlo[m], rhi[m], 100 * (rhi[m] - rlo[m]) / rlo[m]
  }
  if (worst > 0) {
    printf "translation / fpc build: at most %.2f %% (%s)\n", worst,
      worst <= 2 ? "within 2 %" : "MISSED: over 2 %"
    ok = ok && worst <= 2
  }
  printf "peak memory: %s\n", mem == "" ? "within 10 x source + 10 MB" : "MISSED at" mem
  ok = ok && mem == ""
  print ok ? "bench: every target holds" : "bench: a target is missed"
}' "$table"

if [ -x "$build/talven_bench" ]; then
  echo
  "$build/talven_bench" --benchmark_min_time=0.2
fi
