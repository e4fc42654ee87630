#!/usr/bin/env bash
# Sweeps through a real one-node Slurm cluster started for the test: a
# two-factor design of 4 points x 10 replications gives the results the
# same sweep gives on this machine's cores, and 40 replications in 4
# array tasks merge into the files one run of them all writes.  A cluster
# that cannot start fails the test with the daemons' logs.
#   run.sh TALVEN SOURCEDIR
set -uo pipefail
talven=$(realpath "$1")
src=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)

# short: slurmd makes a socket per job step under the cluster directory
tmp=$(mktemp -d /tmp/tsl.XXXXXX) || exit 1
cluster=$tmp/c
cleanup() {
  bash "$here/cluster.sh" stop "$cluster"
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

fail() {
  echo "FAIL: $*" >&2
  bash "$here/cluster.sh" logs "$cluster" >&2
  exit 1
}

conf=$(bash "$here/cluster.sh" start "$cluster") || fail "the cluster did not start"
export "${conf?}"

w=$tmp/w
mkdir -p "$w" && cd "$w" || exit 1
cp "$src/tests/models/sweep_desk.tlv" queue.tlv
cp "$src/examples/bank.tlv" bank.tlv
printf 'MEANT,SERVT\n2,0.5\n1,0.5\n2,0.7\n1,0.7\n' >design.csv

"$talven" sweep queue.tlv --reps 10 --design design.csv --out local --quiet ||
  fail "local sweep"
# bounded: a cluster that takes no work must fail the test, not hang it
timeout 120 "$talven" sweep queue.tlv --reps 10 --design design.csv --out cluster --slurm \
  --time=5 2>cluster.err || { cat cluster.err >&2; fail "sweep through Slurm"; }
grep -q '^submitted Slurm job [0-9]*: 4 tasks' cluster.err || { cat cluster.err >&2; fail "no job submitted"; }
grep -q 'tasks 4/4 done' cluster.err || { cat cluster.err >&2; fail "no progress shown"; }
for f in results.csv results.json; do
  cmp local/$f cluster/$f || fail "$f differs between the local and the Slurm sweep"
done
[ "$(grep -c ',DESK_utilisation,' cluster/results.csv)" = 4 ] || fail "4 points expected"

"$talven" run bank.tlv -- --reps 40 --out serial --quiet || fail "serial run"
timeout 120 "$talven" sweep bank.tlv --reps 40 --tasks 4 --out blocks --quiet --slurm ||
  fail "blocks through Slurm"
for f in replications.csv summary.csv summary.json; do
  cmp serial/$f blocks/$f || fail "$f differs between the serial run and the Slurm sweep"
done
[ "$(grep -c '^#SBATCH --array=1-4$' blocks/sweep.sbatch)" = 1 ] || fail "job script"
echo "slurm sweeps: results equal"
